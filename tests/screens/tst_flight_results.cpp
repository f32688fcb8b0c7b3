#include "screens/flight/flight_results.h"

#include <QtTest>

// The rows every view of the flight window's table is made from.
class TestFlightResults : public QObject
{
    Q_OBJECT

private slots:
    void csvQuotesWhatNeedsIt_data();
    void csvQuotesWhatNeedsIt();
    void rowsHoldOneValueEach_data();
    void rowsHoldOneValueEach();
    void notesSayWhereTheModelRanOut_data();
    void notesSayWhereTheModelRanOut();
};

void TestFlightResults::csvQuotesWhatNeedsIt_data()
{
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<QString>("line");
    QTest::newRow("plain figures") << QStringList{"Angle", "12.92", "77.08", "Degrees"}
                                   << "Angle,12.92,77.08,Degrees\r\n";
    QTest::newRow("a comma") << QStringList{"Projectile", "Ball, golf"} << "Projectile,\"Ball, golf\"\r\n";
    QTest::newRow("a quote doubled") << QStringList{"Note", "the \"12-pounder\""}
                                     << "Note,\"the \"\"12-pounder\"\"\"\r\n";
    QTest::newRow("a line break") << QStringList{"a\nb", ""} << "\"a\nb\",\r\n";
    QTest::newRow("empty cells stay empty") << QStringList{"", "", ""} << ",,\r\n";
    QTest::newRow("UTF-8 text as is") << QStringList{"Air density", "1.225", "kg/m\u00b3"}
                                      << "Air density,1.225,kg/m\u00b3\r\n";
}

void TestFlightResults::csvQuotesWhatNeedsIt()
{
    QFETCH(QStringList, row);
    QFETCH(QString, line);
    QCOMPARE(flight::csv({row}), line);
    QCOMPARE(flight::tabSeparated({row}), row.join(QLatin1Char('\t')) + QLatin1Char('\n'));
}

void TestFlightResults::rowsHoldOneValueEach_data()
{
    QTest::addColumn<bool>("angleGiven");
    QTest::addColumn<double>("k");
    QTest::addColumn<QStringList>("figures");

    QTest::newRow("angles at a velocity, in vacuum")
        << false << 0.0
        << QStringList{"Muzzle velocity", "Angle",           "Velocity x - direction",   "Velocity y - direction",
                       "Time to apogee",  "Apogee altitude", "Projectile time of flight"};
    QTest::newRow("velocity at an angle, with air") << true << 1e-4
                                                    << QStringList{"Angle",
                                                                   "Muzzle velocity",
                                                                   "Velocity x - direction",
                                                                   "Velocity y - direction",
                                                                   "Time to apogee",
                                                                   "Apogee altitude",
                                                                   "Projectile time of flight",
                                                                   "With air: arrival",
                                                                   "With air: distance short of the target",
                                                                   "With air: time of flight",
                                                                   "With air: apogee",
                                                                   "With air: arrival speed",
                                                                   "With air: arrival angle",
                                                                   "Corrected velocity",
                                                                   "Corrected time of flight",
                                                                   "Corrected apogee",
                                                                   "Corrected arrival speed",
                                                                   "Corrected arrival angle"};
}

// Level 1000 m at 45 degrees and 99.03 m/s: the vacuum shot; with air it falls short
// and a faster one hits.
void TestFlightResults::rowsHoldOneValueEach()
{
    QFETCH(bool, angleGiven);
    QFETCH(double, k);
    QFETCH(QStringList, figures);

    const PlotProblem p{{1000, 0, 0, 9.80665}, QStringLiteral("Meters")};
    const PlotQuestion q{angleGiven, false, QStringLiteral("Degrees")};
    figure_text::Texts texts{"45.00", "70.03", "70.03", "7.14", "250.0", "14.28"};
    const std::vector<PlotSolution> solutions{{1, 0.785398, 99.03, 14.28, 250.0, texts}};
    std::optional<flight::AirFigures> air;
    if (k > 0)
        air = flight::flyThroughAir(p, q, solutions, flight::AirSetup{{}, k}, 0);
    const flight::Table table = flight::resultTable(p, q, solutions, air ? &*air : nullptr);

    QStringList shown;
    for (const flight::Row &row : table.rows) {
        shown << row.figure;
        QCOMPARE(row.cells.size(), 1);
        // A number alone, or an arrival in words: never a unit inside a cell.
        QVERIFY2(!row.cells[0].contains(QLatin1String("Meters")) && !row.cells[0].contains(QLatin1String("Degrees")),
                 qPrintable(row.cells[0]));
    }
    QCOMPARE(shown, figures);
    QCOMPARE(table.header(), (QStringList{"Figure", "Solution # 1", "Unit"}));
    QVERIFY(table.notes.isEmpty());
}

// A 10 g ball at 150 m/s, level 1000 m: where its flights leave a table's Mach range or
// the troposphere, the notes under the table say so, each flight named once.
void TestFlightResults::notesSayWhereTheModelRanOut_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<double>("altitude");
    QTest::addColumn<QString>("note");

    const QString both = QStringLiteral("Solution # 1 with air, the corrected shot of Solution # 1, Solution # 2 with "
                                        "air, the corrected shot of Solution # 2");
    QTest::newRow("within the table") << QByteArray("0,0.3\n2,0.3\n") << 0.0 << QString();
    QTest::newRow("faster than the table")
        << QByteArray("0.01,0.3\n0.3,0.3\n") << 0.0
        << "Faster than Mach 0.30, the drag table's highest, its last drag coefficient was held: " + both + ".";
    QTest::newRow("slower than the table")
        << QByteArray("0.5,0.3\n2,0.3\n") << 0.0
        << "Slower than Mach 0.50, the drag table's lowest, its first drag coefficient was held: " + both + ".";
    QTest::newRow("into the stratosphere")
        << QByteArray("0,0.3\n2,0.3\n") << 10500.0
        << "Above 11 km the air is taken as isothermal, as in the standard atmosphere: Solution # 2 with air, the "
           "corrected shot of Solution # 2 rose there.";
}

void TestFlightResults::notesSayWhereTheModelRanOut()
{
    QFETCH(QByteArray, table);
    QFETCH(double, altitude);
    QFETCH(QString, note);

    const PlotProblem p{{1000, 0, 0, 9.80665}, QStringLiteral("Meters")};
    const PlotQuestion q{false, false, QStringLiteral("Degrees")};
    const std::vector<PlotSolution> solutions{{1, 0.22546, 150, 6.84, 57.3, {}}, {2, 1.34533, 150, 29.82, 1089.8, {}}};
    flight::AirSetup setup;
    setup.shot.projectile.curve = air::DragCurve::Table;
    setup.shot.projectile.table = air::readDragTable(table.toStdString()).table;
    setup.shot.projectile.mass = 0.5;
    setup.shot.projectile.diameter = 0.05;
    setup.shot.air.model = air::AirModel::Standard;
    setup.shot.air.altitude = altitude;
    const flight::AirFigures air = flight::flyThroughAir(p, q, solutions, setup, 0);
    QVERIFY(air.corrected[0] && air.corrected[1]);
    const flight::Table shown = flight::resultTable(p, q, solutions, &air);
    QCOMPARE(shown.notes.join(QLatin1Char('\n')), note);
}

QTEST_GUILESS_MAIN(TestFlightResults)
#include "tst_flight_results.moc"
