// The flight window's side panel on its own: drag-table files good and bad, the
// entries each drag law asks for, the standard atmosphere it shows, units, and what
// it hands the flights.

#include "platform/messages.h"
#include "screens/flight/flight_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

QLineEdit *entry(FlightSettings &s, const char *name)
{
    return s.findChild<QLineEdit *>(QLatin1String(name));
}

void type(FlightSettings &s, const char *name, const QString &text)
{
    QLineEdit *edit = entry(s, name);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

double shown(FlightSettings &s, const char *name)
{
    return entry(s, name)->text().toDouble();
}

QCheckBox *check(FlightSettings &s, const char *name)
{
    return s.findChild<QCheckBox *>(QLatin1String(name));
}

QComboBox *combo(FlightSettings &s, const char *name)
{
    return s.findChild<QComboBox *>(QLatin1String(name));
}

QString tableNote(FlightSettings &s)
{
    const auto *note = s.findChild<QLabel *>(QStringLiteral("DragTableNote"));
    return note->isVisibleTo(&s) ? note->text() : QString();
}

QString write(const QTemporaryDir &folder, const QString &name, const QByteArray &content)
{
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return file.fileName();
}

const QByteArray goodTable = "# measured by radar\nMach,Cd\n0.5,0.25\n1.0,0.45\n2.0,0.35\n";

} // namespace

class TestFlightSettings : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QSettings().clear();
        m_panel = std::make_unique<FlightSettings>();
        check(*m_panel, "AirResistance")->setChecked(true);
        m_panel->show();
    }
    void cleanup()
    {
        platform::setOpenFileHandler({});
        m_panel.reset();
    }

    void badTableFilesKeepTheTableInForce_data();
    void badTableFilesKeepTheTableInForce();
    void tableChosenFromTheLawBox();
    void eachLawAsksForItsFigures_data();
    void eachLawAsksForItsFigures();
    void standardAtmosphereAtTheAltitude_data();
    void standardAtmosphereAtTheAltitude();
    void theAirKeepsItsValueInOtherUnits();
    void flightsGetWhatThePanelShows();
    void keptBetweenRuns();

private:
    std::unique_ptr<FlightSettings> m_panel;
};

void TestFlightSettings::badTableFilesKeepTheTableInForce_data()
{
    QTest::addColumn<QByteArray>("content"); // "<folder>", "<none>" for no file, or a device's path
    QTest::addColumn<QString>("fault");

    QTest::newRow("empty") << QByteArray() << "The table is empty: type rows of Mach and Cd, such as \"0.8,0.25\".";
    QTest::newRow("only comments") << QByteArray("# nothing yet\n\n")
                                   << "The table is empty: type rows of Mach and Cd, such as \"0.8,0.25\".";
    QTest::newRow("one row") << QByteArray("Mach,Cd\n0.5,0.3\n")
                             << "The table has 1 row of Mach and Cd; it needs at least two.";
    QTest::newRow("Mach not rising") << QByteArray("Mach,Cd\n0.5,0.3\n0.50,0.4\n")
                                     << "Line 3: Mach 0.50 is not above the row before's 0.5.";
    QTest::newRow("negative Cd") << QByteArray("0.5,0.3\n1,-0.2\n") << "Line 2: Cd -0.2 is negative.";
    QTest::newRow("NaN Cd") << QByteArray("0.5,nan\n1,0.3\n") << "Line 1: Cd nan is not a finite number.";
    QTest::newRow("semicolons, not CSV") << QByteArray("0,5;0,3\n1,0;0,4\n")
                                         << "Line 1: expected two columns, Mach and Cd, separated by a comma; found 3.";
    QTest::newRow("a picture") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                               << "Line 1: expected two columns, Mach and Cd, separated by a comma; found 1.";
    QTest::newRow("a folder") << QByteArray("<folder>") << "is a folder, not a file.";
    QTest::newRow("a device") << QByteArray("/dev/zero") << "is a device or a pipe, not a file.";
    QTest::newRow("no such file") << QByteArray("<none>") << "cannot be read: No such file or directory.";
    QTest::newRow("too large") << QByteArray(2 << 20, '1')
                               << "is larger than 1 MB; a drag table is a few hundred lines of Mach,Cd.";
}

void TestFlightSettings::badTableFilesKeepTheTableInForce()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, fault);

    QTemporaryDir folder;
    QVERIFY(m_panel->loadDragTable(write(folder, QStringLiteral("radar.csv"), goodTable)));
    QCOMPARE(combo(*m_panel, "DragLaw")->currentText(), QStringLiteral("Table from file\u2026"));
    QCOMPARE(combo(*m_panel, "Projectile")->currentText(), QStringLiteral("Custom"));
    const auto before = m_panel->airSetup();
    QVERIFY(before && before->shot.projectile.table);
    QCOMPARE(before->shot.projectile.table->highestMach(), 2.0);
    const QString name = m_panel->findChild<QLabel *>(QStringLiteral("DragTableName"))->text();
    QCOMPARE(name, QStringLiteral("radar.csv\n(Mach 0.50 to 2.00)"));

    QString path = folder.filePath(QStringLiteral("bad.csv"));
    if (content.startsWith("/dev/"))
        path = QString::fromLatin1(content);
    else if (content == "<folder>")
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("bad.csv")));
    else if (content != "<none>")
        path = write(folder, QStringLiteral("bad.csv"), content);
    const QSignalSpy changed(m_panel.get(), &FlightSettings::changed);
    QVERIFY(!m_panel->loadDragTable(path));
    QCOMPARE(tableNote(*m_panel),
             QStringLiteral("%1: %2 The table from radar.csv stays in force.").arg(QFileInfo(path).fileName(), fault));
    QCOMPARE(changed.size(), 0);
    const auto after = m_panel->airSetup();
    QVERIFY(after);
    QCOMPARE(after->shot.projectile.table, before->shot.projectile.table);
    QCOMPARE(m_panel->findChild<QLabel *>(QStringLiteral("DragTableName"))->text(), name);

    // A good file again clears the note.
    QVERIFY(m_panel->loadDragTable(write(folder, QStringLiteral("second.csv"), "0,0.2\n3,0.3\n")));
    QCOMPARE(tableNote(*m_panel), QString());
    QCOMPARE(m_panel->airSetup()->shot.projectile.table->highestMach(), 3.0);
}

// Picking "Table from file…" asks for a file; with none read the law in force stays.
void TestFlightSettings::tableChosenFromTheLawBox()
{
    QTemporaryDir folder;
    QString answer;
    int asked = 0;
    platform::setOpenFileHandler([&](const QString &, const QString &) {
        ++asked;
        return answer;
    });
    QComboBox *law = combo(*m_panel, "DragLaw");
    QCOMPARE(law->currentText(), QStringLiteral("Constant coefficient")); // the baseball's
    law->setFocus();
    QTest::keyClick(law, Qt::Key_End); // cancelled
    QCOMPARE(asked, 1);
    QCOMPARE(law->currentText(), QStringLiteral("Constant coefficient"));
    QCOMPARE(combo(*m_panel, "Projectile")->currentText(), QStringLiteral("Baseball"));

    answer = write(folder, QStringLiteral("bad.csv"), "1,2,3\n");
    QTest::keyClick(law, Qt::Key_End);
    QCOMPARE(law->currentText(), QStringLiteral("Constant coefficient"));
    QCOMPARE(tableNote(*m_panel), QStringLiteral("bad.csv: Line 1: expected two columns, Mach and Cd, separated by "
                                                 "a comma; found 3. No drag table was read."));

    answer = write(folder, QStringLiteral("radar.csv"), goodTable);
    QTest::keyClick(law, Qt::Key_End);
    QCOMPARE(law->currentText(), QStringLiteral("Table from file\u2026"));
    QCOMPARE(asked, 3);
    QVERIFY(m_panel->airSetup());
    QCOMPARE(m_panel->airSetup()->shot.projectile.curve, air::DragCurve::Table);
}

void TestFlightSettings::eachLawAsksForItsFigures_data()
{
    QTest::addColumn<int>("law");
    QTest::addColumn<QStringList>("entries");

    const QStringList air{"Altitude", "Temperature", "Pressure", "Humidity", "AirDensity", "Wind"};
    const QStringList spin{"Spin", "SpinDecay"}; // a ball's, whatever its drag law
    QTest::newRow("constant") << 0 << QStringList{"Mass", "Diameter", "DragCoefficient"} + air + spin;
    QTest::newRow("sphere") << 1 << QStringList{"Mass", "Diameter"} + air + spin;
    QTest::newRow("G1") << 2 << QStringList{"BallisticCoefficient"} + air;
    QTest::newRow("G7") << 3 << QStringList{"BallisticCoefficient"} + air;
}

void TestFlightSettings::eachLawAsksForItsFigures()
{
    QFETCH(int, law);
    QFETCH(QStringList, entries);

    QComboBox *box = combo(*m_panel, "DragLaw");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < law; ++i)
        QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(box->currentIndex(), law);
    QStringList visible;
    for (const QLineEdit *edit : m_panel->findChildren<QLineEdit *>())
        if (edit->isVisibleTo(m_panel.get()))
            visible << edit->objectName();
    QCOMPARE(visible, entries);
    // The standard's own figures are shown, not typed.
    QVERIFY(!entry(*m_panel, "Temperature")->isEnabled());
    const auto setup = m_panel->airSetup();
    QVERIFY(setup);
    QCOMPARE(int(setup->shot.projectile.curve), law);
    // A law that needs a ballistic coefficient starts from the baseball's sectional density.
    if (law >= 2) {
        QVERIFY(std::abs(shown(*m_panel, "BallisticCoefficient") / (0.145 / 0.45359237 / std::pow(74 / 25.4, 2)) - 1) <
                1e-5);
        QVERIFY(std::abs(setup->shot.projectile.ballisticCoefficient / 703.0696 -
                         shown(*m_panel, "BallisticCoefficient")) < 1e-5);
    }
}

// ICAO Doc 7488's table: temperature, pressure and density at three altitudes.
void TestFlightSettings::standardAtmosphereAtTheAltitude_data()
{
    QTest::addColumn<QString>("altitude");
    QTest::addColumn<double>("celsius");
    QTest::addColumn<double>("hectopascals");
    QTest::addColumn<double>("density");

    QTest::newRow("sea level") << "0" << 15.0 << 1013.25 << 1.2250;
    QTest::newRow("1500 m") << "1500" << 5.25 << 845.56 << 1.0581;
    QTest::newRow("the tropopause") << "11000" << -56.5 << 226.32 << 0.36392;
}

void TestFlightSettings::standardAtmosphereAtTheAltitude()
{
    QFETCH(QString, altitude);
    QFETCH(double, celsius);
    QFETCH(double, hectopascals);
    QFETCH(double, density);

    type(*m_panel, "Altitude", altitude);
    QVERIFY(std::abs(shown(*m_panel, "Temperature") - celsius) < 0.01);
    QVERIFY(std::abs(shown(*m_panel, "Pressure") - hectopascals) < 0.01);
    QCOMPARE(shown(*m_panel, "Humidity"), 0.0);
    QVERIFY2(std::abs(shown(*m_panel, "AirDensity") / density - 1) < 1e-4,
             qPrintable(entry(*m_panel, "AirDensity")->text()));

    // Measured air starts from the standard's and is typed over; the density follows.
    check(*m_panel, "StandardAtmosphere")->click();
    QVERIFY(entry(*m_panel, "Temperature")->isEnabled());
    type(*m_panel, "Humidity", QStringLiteral("100"));
    QVERIFY(shown(*m_panel, "AirDensity") < density); // water vapour is lighter than air
    QCOMPARE(m_panel->airSetup()->shot.air.model, air::AirModel::Measured);
}

// Switching the problem to feet shows the same air and wind in feet; the ballistic
// coefficient stays in lb/in², as it is published.
void TestFlightSettings::theAirKeepsItsValueInOtherUnits()
{
    combo(*m_panel, "Projectile")->setCurrentIndex(5); // the G7 bullet
    check(*m_panel, "StandardAtmosphere")->click();
    type(*m_panel, "Altitude", QStringLiteral("1000"));
    type(*m_panel, "Temperature", QStringLiteral("20"));
    type(*m_panel, "Pressure", QStringLiteral("900"));
    type(*m_panel, "Humidity", QStringLiteral("50"));
    type(*m_panel, "Wind", QStringLiteral("-10"));
    const auto metric = m_panel->airSetup();
    QVERIFY(metric);

    m_panel->setUnits(drag::Units::Imperial);
    QCOMPARE(m_panel->findChild<QLabel *>(QStringLiteral("PressureUnit"))->text(), QStringLiteral("inHg"));
    const struct
    {
        const char *name;
        double value;
    } expected[] = {{"Altitude", 1000 / 0.3048},    {"Temperature", 68},
                    {"Pressure", 90000 / 3386.389}, {"Humidity", 50},
                    {"Wind", -10 / 0.3048},         {"BallisticCoefficient", 0.366}};
    for (const auto &e : expected)
        QVERIFY2(std::abs(shown(*m_panel, e.name) / e.value - 1) < 1e-5, e.name);
    const auto feet = m_panel->airSetup();
    QVERIFY(feet);
    QVERIFY(std::abs(feet->shot.air.pressure / metric->shot.air.pressure - 1) < 1e-5);
    QVERIFY(std::abs(feet->shot.air.temperature - metric->shot.air.temperature) < 1e-4);
    QVERIFY(std::abs(feet->shot.wind * 0.3048 - metric->shot.wind) < 1e-4);
    QCOMPARE(feet->shot.units, drag::Units::Imperial);

    // The density held along the flight, in SI whatever it is shown in.
    check(*m_panel, "DensityWithHeight")->click();
    const double held = m_panel->airSetup()->shot.air.density;
    QVERIFY2(std::abs(held / air::moistAirDensity(metric->shot.air.temperature, 90000, 0.5) - 1) < 1e-5,
             qPrintable(QString::number(held)));
}

// The drag solver's own shot only while every choice keeps it one: one coefficient,
// the density held, no wind.
void TestFlightSettings::flightsGetWhatThePanelShows()
{
    auto setup = m_panel->airSetup(); // a baseball in the standard atmosphere, at its typical spin
    QVERIFY(setup && !setup->plainFactor);
    QCOMPARE(setup->shot.air.model, air::AirModel::Standard);
    QVERIFY(setup->shot.air.densityWithHeight);
    QCOMPARE(setup->shot.projectile.spin, air::presets()[0].spin);
    QCOMPARE(setup->shot.projectile.ball, air::Ball::Baseball);

    // A typed density holds along the flight; without spin the shot is the drag solver's own.
    type(*m_panel, "AirDensity", QStringLiteral("1.1"));
    QVERIFY(!m_panel->airSetup()->plainFactor);
    type(*m_panel, "Spin", QStringLiteral("0"));
    QVERIFY(!check(*m_panel, "DensityWithHeight")->isChecked());
    setup = m_panel->airSetup();
    QVERIFY(setup && setup->plainFactor);
    QCOMPARE(*setup->plainFactor, drag::dragFactorPerLength({0.145, 74, 0.35, 1.1}, drag::Units::Metric));
    QCOMPARE(setup->shot.air.density, 1.1);

    type(*m_panel, "Wind", QStringLiteral("5"));
    setup = m_panel->airSetup();
    QVERIFY(setup && !setup->plainFactor);
    QCOMPARE(setup->shot.wind, 5.0);
    QCOMPARE(setup->shot.air.model, air::AirModel::ConstantDensity);

    // Density with height again: the air's own density comes back.
    check(*m_panel, "DensityWithHeight")->click();
    QCOMPARE(entry(*m_panel, "AirDensity")->text(), QStringLiteral("1.225"));

    // A refused entry: no flights, and the reason in place.
    type(*m_panel, "Wind", QStringLiteral("60"));
    QVERIFY(!m_panel->airSetup());
    QCOMPARE(m_panel->findChild<QLabel *>(QStringLiteral("DragNote"))->text(),
             QStringLiteral("Wind: Out of range: type a number from -50 to 50 m/s."));
}

void TestFlightSettings::keptBetweenRuns()
{
    QTemporaryDir folder;
    QVERIFY(m_panel->loadDragTable(write(folder, QStringLiteral("radar.csv"), goodTable)));
    type(*m_panel, "Mass", QStringLiteral("0.05"));
    check(*m_panel, "StandardAtmosphere")->click();
    type(*m_panel, "Temperature", QStringLiteral("30"));
    type(*m_panel, "AirDensity", QStringLiteral("1.05"));
    type(*m_panel, "Wind", QStringLiteral("3"));
    const QList<QStringList> rows = m_panel->inputRows();
    QVERIFY(rows.size() > 10);
    {
        QSettings settings;
        m_panel->save(settings);
    }
    QFile::remove(folder.filePath(QStringLiteral("radar.csv"))); // the table itself was kept

    FlightSettings again;
    QSettings settings;
    again.restore(settings);
    QCOMPARE(again.inputRows(), rows);
    QCOMPARE(again.airSetup()->shot.projectile.table->highestMach(), 2.0);

    // And on to the run after.
    again.save(settings);
    FlightSettings third;
    third.restore(settings);
    QCOMPARE(third.inputRows(), rows);
}

QTEST_MAIN(TestFlightSettings)
#include "tst_flight_settings.moc"
