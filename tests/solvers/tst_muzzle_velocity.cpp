#include "model/module1.h"
#include "screens/comp_mz_vel_record.h"
#include "solvers/angle_solver.h"
#include "solvers/muzzle_velocity.h"

#include <QtTest>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {
constexpr double metres = 9.80665;
constexpr double feet = 32.1740485564;

void setProblem(double sx, double so, double sy, const char *unit = "d", double g = metres)
{
    Module1 = ProblemModel{};
    Module1.TargetDistance = sx;
    Module1.FiringElevation = so;
    Module1.TargetElevation = sy;
    Module1.Gravity = g;
    Module1.AngleUnitCode = unit;
}

// Velocity, x and y components, time to apogee, apogee altitude, time of flight.
QStringList texts(const MuzzleVelocityReport &r)
{
    QStringList out;
    for (const std::string *text : r.texts.rows())
        out << QString::fromStdString(*text);
    return out;
}

// V(theta) = (Sx / cos) sqrt(g / (2 (Sx tan - (Sy - So)))), in long double as an outside reference.
long double velocityAt(double sx, double so, double sy, double g, long double theta)
{
    return (sx / std::cos(theta)) * std::sqrt(g / (2 * (sx * std::tan(theta) - ((long double)sy - so))));
}
} // namespace

class TestMuzzleVelocity : public QObject
{
    Q_OBJECT

private slots:
    void init() { Module1 = ProblemModel{}; }

    void screenTexts_data();
    void screenTexts();
    void gravityTexts();
    void workingFieldsInTheModel();
    void angleRanges_data();
    void angleRanges();
    void noApogeeTimeBelowTheHorizontal();
    void targetAtTheApogee();
    void sweepOverSetupRanges();
};

void TestMuzzleVelocity::screenTexts_data()
{
    QTest::addColumn<double>("so");
    QTest::addColumn<double>("sy");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QString>("minimumText");
    QTest::addColumn<QString>("angleText");
    QTest::addColumn<QStringList>("results");

    QTest::newRow("level, 45 degrees") << 0.0 << 0.0 << "d" << 7854 << 15707 << "Min. angle = 0.000 degrees"
                                       << "45.000"
                                       << QStringList({"99.03", "70.02", "70.02", "7.14", "250.0", "14.28"});
    QTest::newRow("level, lowest position")
        << 0.0 << 0.0 << "d" << 1 << 15707 << "Min. angle = 0.000 degrees"
        << "0.006" << QStringList({"7002.37", "7002.37", ".70", ".07", ".0", ".14"});
    QTest::newRow("level, top position: wide integer parts")
        << 0.0 << 0.0 << "d" << 15707 << 15707 << "Min. angle = 0.000 degrees"
        << "89.995" << QStringList({"7134.64", ".69", "7134.64", "727.53", "2595331.9", "1455.06"});
    QTest::newRow("target 100 below: negative minimum angle")
        << 100.0 << 0.0 << "d" << 3000 << 16704 << "Min. angle = -5.711 degrees"
        << "11.478" << QStringList({"129.80", "127.20", "25.83", "2.63", "134.0", "7.86"});
    // Still climbing at the target: it would come back down to its height at 12.26 s.
    QTest::newRow("target 500 above, 40.001 degrees: climbing through it")
        << 0.0 << 500.0 << "d" << 2345 << 11070 << "Min. angle = 26.565 degrees"
        << "40.001" << QStringList({"156.97", "120.24", "100.90", "10.29", "519.1", "8.32"});
    QTest::newRow("target 500 above, 55.213 degrees: descending onto it")
        << 0.0 << 500.0 << "d" << 5000 << 11070 << "Min. angle = 26.565 degrees"
        << "55.213" << QStringList({"126.62", "72.24", "103.99", "10.60", "551.4", "13.84"});
    QTest::newRow("level, radians") << 0.0 << 0.0 << "r" << 1 << 15707 << "Min. angle = 0.000 radians"
                                    << "0.000" << QStringList({"7002.37", "7002.37", ".70", ".07", ".0", ".14"});
}

void TestMuzzleVelocity::screenTexts()
{
    QFETCH(double, so);
    QFETCH(double, sy);
    QFETCH(QString, unit);
    QFETCH(int, position);
    QFETCH(int, maximum);
    QFETCH(QString, minimumText);
    QFETCH(QString, angleText);
    QFETCH(QStringList, results);

    setProblem(1000, so, sy, unit.toLatin1().constData());
    const AngleRange range = comp_mz_vel_record::setUpMinimumAngle(Module1);
    QCOMPARE(range.outcome, AngleRangeOutcome::Available);
    QCOMPARE(int(range.scrollMaximum), maximum);
    QCOMPARE(QString::fromStdString(minimumAngleText(Module1)), minimumText);
    QCOMPARE(QString::fromStdString(positionAngleText(Module1, position, AngleTextMoment::Load)), angleText);
    QCOMPARE(QString::fromStdString(positionAngleText(Module1, position, AngleTextMoment::Change)), angleText);
    comp_mz_vel_record::selectAnglePosition(Module1, position);
    const MuzzleVelocityReport report = comp_mz_vel_record::computeMuzzleVelocity(Module1);
    QCOMPARE(report.outcome, MuzzleVelocityOutcome::Computed);
    QCOMPARE(texts(report), results);

    // Climbing or descending, the shell meets the target once its constant horizontal speed has covered Sx.
    const double arrival = 1000 / (Module1.MuzzleVelocity.toNumber() * std::cos(Module1.ElevationAngle));
    QVERIFY2(std::fabs(Module1.FlightTime - arrival) <= 1e-9 * arrival,
             qPrintable(QStringLiteral("%1 s, arrival at %2 s").arg(Module1.FlightTime).arg(arrival)));
}

void TestMuzzleVelocity::gravityTexts()
{
    QCOMPARE(QString::fromStdString(gravityText(metres)), QStringLiteral("9.80665"));
    QCOMPARE(QString::fromStdString(gravityText(feet)), QStringLiteral("32.17405"));
}

void TestMuzzleVelocity::workingFieldsInTheModel()
{
    setProblem(1000, 100, 0);
    comp_mz_vel_record::setUpMinimumAngle(Module1);
    QVERIFY(Module1.SightAngle.isDouble() && Module1.AngleSpanSteps.isDouble());
    QCOMPARE(Module1.AngleSpanSteps.toNumber(), (1.57079 + std::atan(0.1)) * 10000);
    comp_mz_vel_record::selectAnglePosition(Module1, 3000);
    QCOMPARE(Module1.ElevationAngle, Module1.SightAngle.toNumber() + 0.3);
    comp_mz_vel_record::computeMuzzleVelocity(Module1);

    const double d = (((Module1.DenominatorTerm1.toNumber() + Module1.DenominatorTerm2.toNumber()) +
                       Module1.DenominatorTerm3.toNumber()) +
                      Module1.DenominatorTerm4.toNumber()) +
                     Module1.DenominatorTerm5.toNumber();
    QCOMPARE(Module1.VelocityScale.toNumber(), -1 / d);
    QVERIFY(Module1.MuzzleVelocity.isDouble());
    QCOMPARE(Module1.MuzzleVelocity.toNumber(), Module1.VelocityScale.toNumber() * Module1.VelocityRoot.toNumber());
    const long double reference = velocityAt(1000, 100, 0, metres, Module1.ElevationAngle);
    QVERIFY(std::fabs(Module1.MuzzleVelocity.toNumber() - reference) / reference < 1e-12);
    QVERIFY(std::fabs(Module1.FlightTime - 7.86) < 0.005);
}

void TestMuzzleVelocity::angleRanges_data()
{
    QTest::addColumn<double>("sx");
    QTest::addColumn<double>("dy");
    QTest::addColumn<AngleRangeOutcome>("outcome");
    QTest::addColumn<int>("maximum");

    QTest::newRow("steepest with a range, dy/Sx 6396") << 1.0 << 6396.0 << AngleRangeOutcome::Available << 1;
    QTest::newRow("maximum 0 from dy/Sx 6397") << 1.0 << 6397.0 << AngleRangeOutcome::NoAngleRange << 0;
    QTest::newRow("position 1 at a right angle, dy/Sx 10000") << 1.0 << 10000.0 << AngleRangeOutcome::NoAngleRange << 0;
    QTest::newRow("zero distance") << 0.0 << 100.0 << AngleRangeOutcome::NoHorizontalDistance << 0;
}

void TestMuzzleVelocity::angleRanges()
{
    QFETCH(double, sx);
    QFETCH(double, dy);
    QFETCH(AngleRangeOutcome, outcome);
    QFETCH(int, maximum);

    setProblem(sx, 0, dy);
    const AngleRange range = comp_mz_vel_record::setUpMinimumAngle(Module1);
    QCOMPARE(range.outcome, outcome);
    QCOMPARE(int(range.scrollMaximum), maximum);
    QCOMPARE(Module1.SightAngle.isEmpty(), outcome == AngleRangeOutcome::NoHorizontalDistance);
    if (outcome == AngleRangeOutcome::Available)
        return;
    // Were the screen to compute anyway, nothing non-finite may come out.
    comp_mz_vel_record::selectAnglePosition(Module1, 1);
    const MuzzleVelocityReport report = comp_mz_vel_record::computeMuzzleVelocity(Module1);
    if (report.outcome != MuzzleVelocityOutcome::Computed) {
        for (const QString &text : texts(report))
            QVERIFY(text.isEmpty());
        QVERIFY(Module1.MuzzleVelocity.isEmpty());
    }
}

void TestMuzzleVelocity::noApogeeTimeBelowTheHorizontal()
{
    // Target 100 below: the lowest angles point downward and the apogee would lie before the shot.
    setProblem(1000, 100, 0);
    const AngleRange range = comp_mz_vel_record::setUpMinimumAngle(Module1);
    const int level = int(std::ceil(-range.sightAngle * 10000));
    for (int position : {1, level - 1, level}) {
        comp_mz_vel_record::selectAnglePosition(Module1, position);
        const MuzzleVelocityReport report = comp_mz_vel_record::computeMuzzleVelocity(Module1);
        const bool rising = Module1.ElevationAngle > 0;
        QCOMPARE(report.texts.timeToApogee == "NA", !rising);
        // The apogee altitude is shown either way, and never below the firing position.
        QVERIFY(std::stod(report.texts.apogee) >= 100);
    }
}

void TestMuzzleVelocity::targetAtTheApogee()
{
    // Position 5 of Sx 1, Sy 1000 meets the target at its apogee; V^2 sin^2 - 2 g (Sy - So)
    // rounds to about -1.8e-6 there.
    setProblem(1, 0, 1000);
    comp_mz_vel_record::setUpMinimumAngle(Module1);
    comp_mz_vel_record::selectAnglePosition(Module1, 5);
    const MuzzleVelocityReport report = comp_mz_vel_record::computeMuzzleVelocity(Module1);
    QCOMPARE(report.outcome, MuzzleVelocityOutcome::Computed);
    QVERIFY(std::isfinite(Module1.FlightTime));
    QCOMPARE(report.texts.flightTime, report.texts.timeToApogee);
}

// Every problem shape of the set-up ranges at positions spread over each scroll range: finite
// texts, the closed-form velocity, and the angle solver finds the angle again at that velocity.
void TestMuzzleVelocity::sweepOverSetupRanges()
{
    int roundTrips = 0;
    for (double g : {metres, feet}) {
        for (double sx : {1.0, 37.0, 1000.0, 9000.0, 32000.0}) {
            for (const auto &[so, sy] : {std::pair{0.0, 0.0},
                                         {-10000.0, 20000.0},
                                         {20000.0, -10000.0},
                                         {0.0, 1849.0},
                                         {500.0, 0.0},
                                         {100.0, 0.0}}) {
                const AngleRange range = minimumAngleRange(sx, so, sy);
                if (range.outcome != AngleRangeOutcome::Available)
                    continue;
                const int top = range.scrollMaximum;
                for (int position : {1, 2, top / 100 + 1, top / 3, top / 2, 2 * top / 3, top - 100, top - 1, top}) {
                    if (position < 1)
                        continue;
                    const double theta = angleForPosition(range.sightAngle, position);
                    const MuzzleVelocity r = muzzleVelocityFor(sx, so, sy, g, theta);
                    const QString where = QStringLiteral("Sx %1 So %2 Sy %3 g %4 position %5")
                                              .arg(sx)
                                              .arg(so)
                                              .arg(sy)
                                              .arg(g)
                                              .arg(position);
                    QVERIFY2(r.outcome == MuzzleVelocityOutcome::Computed, qPrintable(where));
                    // The five terms nearly cancel next to a steep line of sight: allow for the
                    // rounding of their sum, which V inherits at half strength.
                    double magnitude = 0;
                    for (double t : r.terms)
                        magnitude += std::fabs(t);
                    const double d = (((r.terms[0] + r.terms[1]) + r.terms[2]) + r.terms[3]) + r.terms[4];
                    const double allowed = std::max(1e-9, 4 * DBL_EPSILON * magnitude / std::fabs(d));
                    const long double reference = velocityAt(sx, so, sy, g, theta);
                    QVERIFY2(std::fabs(r.velocity - reference) / reference < allowed, qPrintable(where));

                    setProblem(sx, so, sy, "d", g);
                    comp_mz_vel_record::setUpMinimumAngle(Module1);
                    comp_mz_vel_record::selectAnglePosition(Module1, position);
                    for (QString text : texts(comp_mz_vel_record::computeMuzzleVelocity(Module1))) {
                        text = text.toLower();
                        QVERIFY2(!text.isEmpty() && !text.contains("nan") && !text.contains("inf"), qPrintable(where));
                    }

                    if (std::fabs(theta) > angles::limit || r.velocity > 1e6)
                        continue;
                    const SuperElevation back = solveSuperElevation({sx, so, sy, g, r.velocity}, 1e-7, 100);
                    const bool found = (back.first.outcome == NewtonOutcome::Converged &&
                                        std::fabs(back.first.angle - theta) < 1e-6) ||
                                       (back.second && back.second->outcome == NewtonOutcome::Converged &&
                                        std::fabs(back.second->angle - theta) < 1e-6);
                    QVERIFY2(found, qPrintable(where));
                    ++roundTrips;
                }
            }
        }
    }
    qInfo("%d angles found again by the angle solver", roundTrips);
}

QTEST_GUILESS_MAIN(TestMuzzleVelocity)
#include "tst_muzzle_velocity.moc"
