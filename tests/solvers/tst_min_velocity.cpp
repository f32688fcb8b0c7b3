#include "model/module1.h"
#include "screens/comp_angle_record.h"
#include "solvers/min_velocity.h"

#include <QtTest>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace {
constexpr double metres = 9.80665;
constexpr double feet = 32.1740485564;
} // namespace

class TestMinVelocity : public QObject
{
    Q_OBJECT

private slots:
    void init() { Module1 = ProblemModel{}; }

    void captions_data();
    void captions();
    void levelTargetSearchPath();
    void modelFields();
    void zeroDistanceIsReported();
    void steepSightLines_data();
    void steepSightLines();
    void sweepOverSetupRanges();
};

void TestMinVelocity::captions_data()
{
    QTest::addColumn<double>("sx");
    QTest::addColumn<double>("so");
    QTest::addColumn<double>("sy");
    QTest::addColumn<double>("g");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<double>("sightAngle");

    QTest::newRow("level target 1000 m") << 1000.0 << 0.0 << 0.0 << metres << "min. vel = 99.032" << 0.0;
    QTest::newRow("target 100 m above") << 1000.0 << 0.0 << 100.0 << metres << "min. vel = 104.100" << 0.0996687;
    QTest::newRow("target 100 m below") << 1000.0 << 100.0 << 0.0 << metres << "min. vel = 94.211" << -0.0996687;
    QTest::newRow("level target 1000 ft") << 1000.0 << 0.0 << 0.0 << feet << "min. vel = 179.374" << 0.0;
}

void TestMinVelocity::captions()
{
    QFETCH(double, sx);
    QFETCH(double, so);
    QFETCH(double, sy);
    QFETCH(double, g);
    QFETCH(QString, caption);
    QFETCH(double, sightAngle);

    Module1.TargetDistance = sx;
    Module1.FiringElevation = so;
    Module1.TargetElevation = sy;
    Module1.Gravity = g;
    const MinVelocityReport report = comp_angle_record::computeMinVelocity(Module1);
    QCOMPARE(report.search.outcome, MinVelocityOutcome::Stepped);
    QCOMPARE(QString::fromStdString(report.caption), caption);
    QVERIFY(std::fabs(Module1.SightAngle.toNumber() - sightAngle) < 1e-7);
    // Never below the exact least velocity.
    QVERIFY(Module1.MinVelocity.toNumber() > exactMinVelocity(sx, so, sy, g));
}

void TestMinVelocity::levelTargetSearchPath()
{
    const MinVelocitySearch r = searchMinVelocity(1000, 0, 0, metres);
    QCOMPARE(r.outcome, MinVelocityOutcome::Stepped);
    QVERIFY2(std::fabs(r.lastAngle - 0.78036) < 1e-5, qPrintable(QString::number(r.lastAngle, 'g', 10)));
    QVERIFY2(std::fabs(r.velocity - 99.03104) < 1e-5, qPrintable(QString::number(r.velocity, 'g', 10)));
    QVERIFY2(r.steps > 78000 && r.steps < 78050, qPrintable(QString::number(r.steps)));
    QVERIFY(std::fabs(r.velocity - r.prevVelocity) <= minvel::threshold);
    QCOMPARE(r.minVelocity, r.velocity + 0.001);
    // The exact minimum is sqrt(g Sx) = 99.0285; the search stops about 0.0035 above it.
    const double excess = r.minVelocity - std::sqrt(metres * 1000);
    QVERIFY2(excess > 0.003 && excess < 0.004, qPrintable(QString::number(excess)));
}

void TestMinVelocity::modelFields()
{
    Module1.TargetDistance = 1000;
    Module1.Gravity = metres;
    Module1.Increment = 3e-6; // a value set on the root-finding screen is not used
    comp_angle_record::computeMinVelocity(Module1);
    QCOMPARE(Module1.Increment, 1e-5);
    QVERIFY(Module1.SightAngle.isDouble());
    QVERIFY(Module1.SearchVelocity.isDouble());
    QVERIFY(Module1.SearchPrevVelocity.isDouble());
    QVERIFY(Module1.MinVelocity.isDouble());
    QCOMPARE(Module1.MinVelocity.toNumber(), Module1.SearchVelocity.toNumber() + 0.001);
    QCOMPARE(Module1.SearchVelocity.toNumber(),
             Module1.SearchVelocityScale.toNumber() * Module1.SearchVelocityRoot.toNumber());
    QVERIFY(std::fabs(Module1.SearchAngle - 0.78036) < 1e-5);
}

void TestMinVelocity::zeroDistanceIsReported()
{
    Module1.TargetDistance = 0;
    Module1.Gravity = metres;
    const MinVelocityReport report = comp_angle_record::computeMinVelocity(Module1);
    QCOMPARE(report.search.outcome, MinVelocityOutcome::NoHorizontalDistance);
    QVERIFY(report.caption.empty());
    QVERIFY(Module1.MinVelocity.isEmpty());
    QVERIFY(Module1.SightAngle.isEmpty());
}

void TestMinVelocity::steepSightLines_data()
{
    QTest::addColumn<double>("sx");
    QTest::addColumn<double>("dy");
    QTest::addColumn<double>("g");

    // Each of these stepped past a right angle (square root of a negative number), or
    // started past the minimum and reported a velocity many times too high.
    QTest::newRow("first step past the minimum, Sx 1 dy 9000") << 1.0 << 9000.0 << metres;
    QTest::newRow("74 times too high, Sx 2 dy 18181") << 2.0 << 18181.0 << metres;
    QTest::newRow("Sx 100 dy 2000") << 100.0 << 2000.0 << metres;
    QTest::newRow("Sx 1 dy 50") << 1.0 << 50.0 << metres;
    QTest::newRow("82.9 degrees in metres") << 3702.0 << 29755.0 << metres;
    QTest::newRow("first trial past a right angle") << 1.0 << 10000.0 << metres;
    QTest::newRow("steepest of the set-up range") << 1.0 << 30000.0 << feet;
}

void TestMinVelocity::steepSightLines()
{
    QFETCH(double, sx);
    QFETCH(double, dy);
    QFETCH(double, g);
    const double exact = exactMinVelocity(sx, 0, dy, g);
    const MinVelocitySearch r = searchMinVelocity(sx, 0, dy, g);
    QVERIFY(std::isfinite(r.minVelocity));
    QVERIFY2(r.minVelocity >= exact && r.minVelocity < exact * 1.0001 + 0.002,
             qPrintable(QStringLiteral("%1 vs exact %2").arg(r.minVelocity).arg(exact)));

    Module1.TargetDistance = sx;
    Module1.TargetElevation = dy;
    Module1.Gravity = g;
    const MinVelocityReport report = comp_angle_record::computeMinVelocity(Module1);
    QVERIFY(!report.caption.empty());
    QVERIFY(std::isfinite(Module1.SearchVelocity.toNumber()));
    if (r.steps == 0) {
        // Nothing was stepped: the start values keep their whole-number kind.
        QVERIFY(Module1.SearchVelocity.isWhole());
        QCOMPARE(Module1.SearchVelocity.toNumber(), 199990.0);
    }
}

// Every problem the set-up screen allows: finite, never below the exact least velocity,
// and ten times it fits the angle screen's 16-bit scroll bar.
void TestMinVelocity::sweepOverSetupRanges()
{
    struct Problem
    {
        double sx, dy;
    };
    std::vector<Problem> problems;
    for (double sx : {1.0, 2.0, 7.0, 50.0, 333.0, 1000.0, 2190.0, 3702.0, 12000.0, 32000.0})
        for (double dy : {-30000.0, -10000.0, -1000.0, -1.0, 0.0, 1.0, 1000.0, 10000.0, 29755.0, 30000.0})
            problems.push_back({sx, dy});
    // A dense band of steep sight lines, above 80 degrees.
    std::mt19937 rng(20261208);
    std::uniform_real_distribution<double> angle(80.0, 89.999);
    std::uniform_int_distribution<int> distance(1, 5000);
    for (int i = 0; i < 300; ++i) {
        const double sx = distance(rng);
        const double dy = std::round(sx * std::tan(angle(rng) * M_PI / 180));
        if (dy <= 30000)
            problems.push_back({sx, dy});
    }

    double worst = 0;
    double worstExcess = 0;
    for (double g : {metres, feet}) {
        for (const Problem &p : problems) {
            const MinVelocitySearch r = searchMinVelocity(p.sx, 0, p.dy, g);
            const double exact = exactMinVelocity(p.sx, 0, p.dy, g);
            const QString where = QStringLiteral("Sx %1 dy %2 g %3: %4 vs %5")
                                      .arg(p.sx)
                                      .arg(p.dy)
                                      .arg(g)
                                      .arg(r.minVelocity, 0, 'g', 12)
                                      .arg(exact, 0, 'g', 12);
            QVERIFY2(std::isfinite(r.minVelocity), qPrintable(where));
            QVERIFY2(r.minVelocity >= exact, qPrintable(where));
            // Far below the firing point V(a) is nearly flat, so the search may stop a little
            // early (by up to 0.3 m/s); everywhere else it ends within 0.1 % of the exact value.
            QVERIFY2(r.minVelocity <= exact * 1.001 + 0.5, qPrintable(where));
            QVERIFY2(10 * std::floor(r.minVelocity) <= std::numeric_limits<std::int16_t>::max(), qPrintable(where));
            worst = std::max(worst, r.minVelocity);
            worstExcess = std::max(worstExcess, r.minVelocity - exact * 1.001);
        }
    }
    qInfo("largest least velocity %.3f, largest excess over exact + 0.1 %%: %.4f", worst, worstExcess);
}

QTEST_GUILESS_MAIN(TestMinVelocity)
#include "tst_min_velocity.moc"
