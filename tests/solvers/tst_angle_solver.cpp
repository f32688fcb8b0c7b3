#include "model/module1.h"
#include "screens/comp_angle_record.h"
#include "solvers/angle_solver.h"
#include "solvers/min_velocity.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstdint>

Q_DECLARE_METATYPE(DynamicValue)

namespace {
constexpr double metres = 9.80665;
constexpr double feet = 32.1740485564;

// V(theta) = (Sx / cos) sqrt(g / (2 (Sx tan - (Sy - So)))), in long double as an outside reference.
long double velocityAt(const AngleProblem &p, long double theta)
{
    const long double sx = p.sx;
    return (sx / std::cos(theta)) * std::sqrt(p.g / (2 * (sx * std::tan(theta) - ((long double)p.sy - p.so))));
}

// Both roots of tan from the quadratic g Sx^2 t^2 - 2 Sx V^2 t + (g Sx^2 + 2 (Sy - So) V^2) = 0.
bool referenceRoots(const AngleProblem &p, long double &low, long double &high)
{
    const long double v2 = (long double)p.v * p.v;
    const long double gsx = (long double)p.g * p.sx;
    const long double disc = v2 * v2 - p.g * (gsx * p.sx + 2 * ((long double)p.sy - p.so) * v2);
    if (disc < 0)
        return false;
    low = std::atan((v2 - std::sqrt(disc)) / gsx);
    high = std::atan((v2 + std::sqrt(disc)) / gsx);
    return true;
}

// Each solution's figures in the order of the table's rows as the screen lists them, then its notices.
QStringList played(const AngleRun &run)
{
    QStringList out;
    for (std::size_t i = 0; i < run.solutions.size(); ++i) {
        const SolutionReport &s = run.solutions[i];
        const QString column = i == 0 ? QStringLiteral("low=") : QStringLiteral("high=");
        if (s.figures) {
            const figure_text::Texts &t = s.figures->texts;
            for (const std::string *text :
                 {&t.answer, &t.horizontal, &t.vertical, &t.timeToApogee, &t.flightTime, &t.apogee})
                out << column + QString::fromStdString(*text);
        }
        for (const Notice &n : s.notices) {
            if (const auto *m = std::get_if<notice::Message>(&n))
                out << QString::fromStdString(m->title + ": " + m->text);
            else
                out << QStringLiteral("beep");
        }
    }
    return out;
}

void setProblem(double sx, double so, double sy, double v, double g = metres)
{
    Module1 = ProblemModel{};
    Module1.TargetDistance = sx;
    Module1.FiringElevation = so;
    Module1.TargetElevation = sy;
    Module1.Gravity = g;
    Module1.resetSolverSettings();
    Module1.MuzzleVelocity = v;
}

QStringList boxes(const char *column, const QStringList &texts)
{
    QStringList out;
    for (const QString &text : texts)
        out << QString::fromLatin1(column) + "=" + text;
    return out;
}
} // namespace

class TestAngleSolver : public QObject
{
    Q_OBJECT

private slots:
    void init() { Module1 = ProblemModel{}; }

    void wholeRun_data();
    void wholeRun();
    void convergence_data();
    void convergence();
    void workingFieldsInTheModel();
    void zeroDistanceIsReported();
    void steepSightLinesFindTheirOwnRoots_data();
    void steepSightLinesFindTheirOwnRoots();
    void targetAtTheApogee_data();
    void targetAtTheApogee();
    void sweepOverSetupRanges();
};

void TestAngleSolver::wholeRun_data()
{
    QTest::addColumn<double>("sx");
    QTest::addColumn<double>("so");
    QTest::addColumn<double>("sy");
    QTest::addColumn<double>("v");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("tol");
    QTest::addColumn<DynamicValue>("limit");
    QTest::addColumn<QStringList>("effects");

    const DynamicValue hundred{std::int16_t{100}};
    const QString exceeded = "Error: Angle exceeds 89.9";
    QTest::newRow("level 1000, V 150") << 1000.0 << 0.0 << 0.0 << 150.0 << "d" << 1e-7 << hundred
                                       << boxes("low", {"12.92", "146.20", "33.54", "3.42", "6.84", "57.3"}) +
                                              boxes("high", {"77.08", "33.54", "146.20", "14.91", "29.82", "1089.8"});
    QTest::newRow("level 1000, V 150, radians")
        << 1000.0 << 0.0 << 0.0 << 150.0 << "r" << 1e-7 << hundred
        << boxes("low", {".225", "146.20", "33.54", "3.42", "6.84", "57.3"}) +
               boxes("high", {"1.345", "33.54", "146.20", "14.91", "29.82", "1089.8"});
    QTest::newRow("target 100 above") << 1000.0 << 0.0 << 100.0 << 150.0 << "d" << 1e-7 << hundred
                                      << boxes("low", {"18.97", "141.86", "48.75", "4.97", "7.05", "121.2"}) +
                                             boxes("high", {"76.74", "34.39", "146.00", "14.89", "29.08", "1086.9"});
    QTest::newRow("target 100 below") << 1000.0 << 100.0 << 0.0 << 150.0 << "d" << 1e-7 << hundred
                                      << boxes("low", {"6.91", "148.91", "18.04", "1.84", "6.72", "116.6"}) +
                                             boxes("high", {"77.38", "32.76", "146.38", "14.93", "30.52", "1192.4"});
    // Solution 1 passes the target still climbing; it would come back down to its height at 11.42 s.
    QTest::newRow("target 500 above: climbing through it, then descending onto it")
        << 1000.0 << 0.0 << 500.0 << 150.0 << "d" << 1e-7 << hundred
        << boxes("low", {"41.70", "112.00", "99.78", "10.17", "8.93", "507.6"}) +
               boxes("high", {"74.87", "39.16", "144.80", "14.77", "25.54", "1069.0"});
    // Here the climbing test tells the components apart: V sin - g Sx / (V sin) would call
    // solution 1 descending and solution 2 climbing.
    QTest::newRow("target 400 above at 160: solution 1 climbing, solution 2 descending")
        << 1000.0 << 0.0 << 400.0 << 160.0 << "d" << 1e-7 << hundred
        << boxes("low", {"34.22", "132.30", "89.98", "9.18", "7.56", "412.8"}) +
               boxes("high", {"77.58", "34.41", "156.26", "15.93", "29.06", "1244.9"});
    QTest::newRow("firing 500 above: negative angle, no apogee time")
        << 1000.0 << 500.0 << 0.0 << 150.0 << "d" << 1e-7 << hundred
        << boxes("low", {"-14.93", "144.94", "-38.64", "NA", "6.90", "576.1"}) +
               boxes("high", {"78.36", "30.26", "146.92", "14.98", "33.05", "1600.5"});
    QTest::newRow("V 2000: high root above the limit")
        << 1000.0 << 0.0 << 0.0 << 2000.0 << "d" << 1e-7 << hundred
        << boxes("low", {".07", "2000.00", "2.45", ".25", ".50", ".3"}) + QStringList{exceeded};
    QTest::newRow("V 90: below the minimum, no root")
        << 1000.0 << 0.0 << 0.0 << 90.0 << "d" << 1e-7 << hundred << QStringList{exceeded, exceeded};
    QTest::newRow("limit 2: solution 1 runs out, no beep")
        << 1000.0 << 0.0 << 0.0 << 150.0 << "d" << 1e-7 << DynamicValue{std::int16_t{2}}
        << QStringList{"Note!: No convergence in 2 iterations"};
    QTest::newRow("limit 3: solution 2 runs out after a beep")
        << 1000.0 << 0.0 << 0.0 << 150.0 << "d" << 1e-7 << DynamicValue{std::int16_t{3}}
        << boxes("low", {"12.92", "146.20", "33.54", "3.42", "6.84", "57.3"}) +
               QStringList{"beep", "Note!: No convergence in 3 iterations"};
    QTest::newRow("limit 0.5 makes no iteration") << 1000.0 << 0.0 << 0.0 << 150.0 << "d" << 1e-7 << DynamicValue{0.5}
                                                  << QStringList{"Note!: No convergence in 0.5 iterations"};
    QTest::newRow("whole-number limit 100 prints as digits") << 1000.0 << 0.0 << 0.0 << 150.0 << "d" << 0.0 << hundred
                                                             << QStringList{"Note!: No convergence in 100 iterations"};
    QTest::newRow("double limit 50.5 prints in the general form")
        << 1000.0 << 0.0 << 0.0 << 150.0 << "d" << 0.0 << DynamicValue{50.5}
        << QStringList{"Note!: No convergence in 50.5 iterations"};
    QTest::newRow("overflowing velocity ends as no convergence, not NaN")
        << 1000.0 << 0.0 << 0.0 << 1e154 << "d" << 1e-7 << hundred
        << QStringList{"Note!: No convergence in 100 iterations"};
}

void TestAngleSolver::wholeRun()
{
    QFETCH(double, sx);
    QFETCH(double, so);
    QFETCH(double, sy);
    QFETCH(double, v);
    QFETCH(QString, unit);
    QFETCH(double, tol);
    QFETCH(DynamicValue, limit);
    QFETCH(QStringList, effects);

    setProblem(sx, so, sy, v);
    Module1.AngleUnitCode = unit.toStdString();
    Module1.Tolerance = tol;
    Module1.MaxIterations = limit;
    const AngleRun run = comp_angle_record::computeSuperElevation(Module1);
    QCOMPARE(played(run), effects);

    // Climbing or descending, the shell meets the target once its constant horizontal speed has covered Sx.
    const std::pair<const NewtonResult *, const DynamicValue *> solutions[] = {
        {run.solutions.empty() ? nullptr : &run.solutions[0].result, &Module1.FlightTime1},
        {run.solutions.size() < 2 ? nullptr : &run.solutions[1].result, &Module1.FlightTime2}};
    for (const auto &[solution, flightTime] : solutions) {
        if (!solution || solution->outcome != NewtonOutcome::Converged)
            continue;
        const double arrival = sx / (v * std::cos(solution->angle));
        QVERIFY2(std::fabs(flightTime->toNumber() - arrival) <= 1e-9 * arrival,
                 qPrintable(QStringLiteral("%1 s, arrival at %2 s").arg(flightTime->toNumber()).arg(arrival)));
    }
}

void TestAngleSolver::convergence_data()
{
    QTest::addColumn<double>("v");
    QTest::addColumn<long>("iterations1");
    QTest::addColumn<long>("iterations2");
    QTest::addColumn<double>("angle1");
    QTest::addColumn<double>("angle2");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("text2");

    QTest::newRow("V 150") << 150.0 << 3L << 4L << 0.2254919 << 1.3453045 << "12.92"
                           << "77.08";
    QTest::newRow("V just above the minimum") << 99.032 << 10L << 11L << 0.7794799 << 0.7913165 << "44.66"
                                              << "45.34";
}

void TestAngleSolver::convergence()
{
    QFETCH(double, v);
    QFETCH(long, iterations1);
    QFETCH(long, iterations2);
    QFETCH(double, angle1);
    QFETCH(double, angle2);
    QFETCH(QString, text1);
    QFETCH(QString, text2);

    const AngleProblem p{1000, 0, 0, metres, v};
    const SuperElevation r = solveSuperElevation(p, 1e-7, 100);
    QCOMPARE(r.first.outcome, NewtonOutcome::Converged);
    QVERIFY(r.second && r.second->outcome == NewtonOutcome::Converged);
    QCOMPARE(r.first.iteration, iterations1);
    QCOMPARE(r.second->iteration, iterations2);
    QVERIFY(!r.first.restarted && !r.second->restarted);
    QVERIFY(std::fabs(r.first.angle - angle1) < 1e-7);
    QVERIFY(std::fabs(r.second->angle - angle2) < 1e-7);
    QCOMPARE(QString::fromStdString(solutionFigures(r.first.angle, p, false).texts.answer), text1);
    QCOMPARE(QString::fromStdString(solutionFigures(r.second->angle, p, false).texts.answer), text2);
}

void TestAngleSolver::workingFieldsInTheModel()
{
    setProblem(1000, 0, 0, 150);
    const AngleRun run = comp_angle_record::computeSuperElevation(Module1);
    const AngleProblem p{1000, 0, 0, metres, 150};
    QCOMPARE(Module1.FlightTime1.toNumber(), solutionFigures(run.solutions[0].result.angle, p, false).flightTime);
    QCOMPARE(Module1.FlightTime2.toNumber(), solutionFigures(run.solutions[1].result.angle, p, false).flightTime);
    QVERIFY(Module1.FlightTime1.isDouble() && Module1.FlightTime2.isDouble());
    // Solution 2's loop wrote last: its angle, the iterate before it, its counter.
    QCOMPARE(Module1.NextAngle, run.solutions[1].result.angle);
    QVERIFY(Module1.ElevationAngle != Module1.NextAngle);
    QVERIFY(std::fabs(Module1.ElevationAngle - Module1.NextAngle) < 1e-3);
    QCOMPARE(Module1.IterationCounter.toNumber(), 4.0);
    QCOMPARE(Module1.NextAngle,
             Module1.ElevationAngle - Module1.AngleResidual.toNumber() / Module1.AngleSlope.toNumber());

    // Solution 1 alone: the slope is the sum of its two parts; the counter ends past the limit.
    setProblem(1000, 0, 0, 150);
    Module1.MaxIterations = DynamicValue{std::int16_t{2}};
    comp_angle_record::computeSuperElevation(Module1);
    QCOMPARE(Module1.AngleSlope.toNumber(), Module1.AngleSlopePart1.toNumber() + Module1.AngleSlopePart2.toNumber());
    QCOMPARE(Module1.IterationCounter.toNumber(), 3.0);
    QCOMPARE(Module1.ElevationAngle, Module1.NextAngle);
    QVERIFY(Module1.FlightTime1.isEmpty());
}

void TestAngleSolver::zeroDistanceIsReported()
{
    setProblem(0, 0, 100, 150);
    const AngleRun run = comp_angle_record::computeSuperElevation(Module1);
    QVERIFY(run.solutions.empty());
    QVERIFY(Module1.AngleResidual.isEmpty());
    QVERIFY(!closedFormAngle({0, 0, 100, metres, 150}, AngleSolution::Low));
}

void TestAngleSolver::steepSightLinesFindTheirOwnRoots_data()
{
    QTest::addColumn<double>("sx");
    QTest::addColumn<double>("so");
    QTest::addColumn<double>("sy");
    QTest::addColumn<double>("v");
    QTest::addColumn<NewtonOutcome>("second");

    const NewtonOutcome converged = NewtonOutcome::Converged;
    // Solution 1 from 0.1 ran past 89.9 degrees with both roots below it.
    QTest::newRow("Sx 200 dy 1849 at 190.712, both roots near 86.9") << 200.0 << 0.0 << 1849.0 << 190.712 << converged;
    QTest::newRow("Sx 10000 dy 15000 at 569.116") << 10000.0 << 0.0 << 15000.0 << 569.116 << converged;
    QTest::newRow("Sx 10000 dy 15000 at 853.6") << 10000.0 << 0.0 << 15000.0 << 853.6 << converged;
    // Solution 2 from 1.5 converged to the low root: both columns showed 85.98.
    QTest::newRow("Sx 200 dy 1849 at 200, high root 87.84") << 200.0 << 0.0 << 1849.0 << 200.0 << converged;
    // The same, but solution 2's own root lies above 89.9 degrees.
    QTest::newRow("low root not shown twice, high root past the limit")
        << 37.0 << 0.0 << 1849.0 << 371.3998021 << NewtonOutcome::AngleLimitExceeded;
    // Solution 1 strayed past a right angle and settled on -12900 rad, or ran out of iterations there.
    QTest::newRow("converged to a copy of the root 12900 rad away") << 1.0 << 500.0 << 0.0 << 20.32032351 << converged;
    QTest::newRow("wandered beyond a right angle until the limit")
        << 1.0 << 500.0 << 0.0 << 50.0 << NewtonOutcome::AngleLimitExceeded;
}

void TestAngleSolver::steepSightLinesFindTheirOwnRoots()
{
    QFETCH(double, sx);
    QFETCH(double, so);
    QFETCH(double, sy);
    QFETCH(double, v);
    QFETCH(NewtonOutcome, second);

    const AngleProblem p{sx, so, sy, metres, v};
    long double low = 0, high = 0;
    QVERIFY(referenceRoots(p, low, high));
    const SuperElevation r = solveSuperElevation(p, 1e-7, 100);
    QCOMPARE(r.first.outcome, NewtonOutcome::Converged);
    QVERIFY2(std::fabs(r.first.angle - low) < 1e-9, qPrintable(QString::number(r.first.angle, 'g', 12)));
    QVERIFY(r.second);
    QCOMPARE(r.second->outcome, second);
    if (second == NewtonOutcome::Converged)
        QVERIFY2(std::fabs(r.second->angle - high) < 1e-9, qPrintable(QString::number(r.second->angle, 'g', 12)));
    else
        QVERIFY(high > angles::limit);
}

void TestAngleSolver::targetAtTheApogee_data()
{
    QTest::addColumn<double>("sx");
    QTest::addColumn<double>("sy");
    QTest::addColumn<double>("v");
    QTest::addColumn<AngleSolution>("which");

    const auto apogeeVelocity = [](double sx, double sy) {
        return std::sqrt(metres * (sx * sx + 4 * sy * sy) / (2 * sy));
    };
    // V^2 sin^2 - 2 g (Sy - So) rounds to about -3.3e-9 there, while the shell still rises at 6e-5.
    QTest::newRow("solution 2's fixed start lands on the apogee root")
        << 200.0 << 1849.0 << 190.712 << AngleSolution::High;
    // V^2 = g (Sx^2 + 4 Sy^2) / (2 Sy) puts the target at the apogee of tan = 2 Sy / Sx; the
    // vertical speed there comes out 0 and V^2 sin^2 - 2 g Sy about -3.6e-15.
    QTest::newRow("velocity that puts a target 1 m up at solution 1's apogee")
        << 1000.0 << 1.0 << apogeeVelocity(1000, 1) << AngleSolution::Low;
}

void TestAngleSolver::targetAtTheApogee()
{
    QFETCH(double, sx);
    QFETCH(double, sy);
    QFETCH(double, v);
    QFETCH(AngleSolution, which);

    const AngleProblem p{sx, 0, sy, metres, v};
    const double start = which == AngleSolution::Low ? angles::lowStart : angles::highStart;
    const NewtonResult r = newtonIterate(p, which, start, 1e-7, 100);
    QCOMPARE(r.outcome, NewtonOutcome::Converged);
    const SolutionFigures f = solutionFigures(r.angle, p, false);
    QVERIFY(std::isfinite(f.flightTime));
    QVERIFY(std::fabs(f.flightTime - f.timeToApogee) < 1e-3);
    QCOMPARE(f.texts.flightTime, f.texts.timeToApogee);
}

// Across the set-up ranges and every velocity the scroll bar offers: each converged angle is
// the solution's own root and carries the projectile at V through the target.
void TestAngleSolver::sweepOverSetupRanges()
{
    int solved = 0;
    int restarted = 0;
    for (double g : {metres, feet}) {
        const double top = g == metres ? 2000.0 : 3000.0;
        for (double sx : {1.0, 37.0, 1000.0, 9000.0, 32000.0}) {
            for (const auto &[so, sy] : {std::pair{0.0, 0.0},
                                         {-10000.0, 20000.0},
                                         {20000.0, -10000.0},
                                         {0.0, 1849.0},
                                         {500.0, 0.0},
                                         {-10000.0, -9999.0}}) {
                const double least = searchMinVelocity(sx, so, sy, g).minVelocity;
                for (double f : {0.0, 1e-4, 0.01, 0.1, 0.3, 0.6, 1.0}) {
                    const double v = least + f * (top - least);
                    if (v > top)
                        continue;
                    const AngleProblem p{sx, so, sy, g, v};
                    const SuperElevation r = solveSuperElevation(p, 1e-7, 100);
                    long double low = 0, high = 0;
                    const bool roots = referenceRoots(p, low, high);
                    std::vector<std::pair<AngleSolution, NewtonResult>> results{{AngleSolution::Low, r.first}};
                    if (r.second)
                        results.emplace_back(AngleSolution::High, *r.second);
                    for (const auto &[which, res] : results) {
                        const QString where = QStringLiteral("Sx %1 So %2 Sy %3 g %4 V %5 solution %6")
                                                  .arg(sx)
                                                  .arg(so)
                                                  .arg(sy)
                                                  .arg(g)
                                                  .arg(v, 0, 'g', 10)
                                                  .arg(which == AngleSolution::Low ? 1 : 2);
                        QVERIFY2(roots, qPrintable(where));
                        const long double own = which == AngleSolution::Low ? low : high;
                        const long double other = which == AngleSolution::Low ? high : low;
                        if (res.outcome != NewtonOutcome::Converged) {
                            // Only a root above 89.9 degrees is out of reach.
                            QVERIFY2(own > angles::limit, qPrintable(where));
                            continue;
                        }
                        ++solved;
                        restarted += res.restarted;
                        QVERIFY2(std::fabs(res.angle - own) <= std::fabs(res.angle - other) || high - low < 1e-6,
                                 qPrintable(where));
                        // Just above the line of sight V(theta) is so steep that an angle good to
                        // 1e-12 rad moves V by more than 1e-9 of itself: allow for that.
                        const long double back = velocityAt(p, res.angle);
                        const long double th = res.angle;
                        const long double steepness = std::fabs(
                            std::tan(th) - sx / (2 * std::pow(std::cos(th), 2) * (sx * std::tan(th) - (sy - so))));
                        const double allowed = std::max(1e-9, double(1e-12 * steepness));
                        QVERIFY2(std::fabs(back - v) / v < allowed,
                                 qPrintable(where + QStringLiteral(": %1").arg((double)back, 0, 'g', 15)));
                        for (bool radians : {false, true}) {
                            const SolutionFigures figures = solutionFigures(res.angle, p, radians);
                            for (const std::string *t : figures.texts.rows()) {
                                const QString text = QString::fromStdString(*t).toLower();
                                QVERIFY2(!text.contains("nan") && !text.contains("inf"), qPrintable(where));
                            }
                        }
                    }
                }
            }
        }
    }
    qInfo("%d converged solutions checked, %d of them from the closed form", solved, restarted);
}

QTEST_GUILESS_MAIN(TestAngleSolver)
#include "tst_angle_solver.moc"
