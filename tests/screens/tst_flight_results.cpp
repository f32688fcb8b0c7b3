#include "flight_results.h"

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

QTEST_GUILESS_MAIN(TestFlightResults)
#include "tst_flight_results.moc"
