#include "solvers/trajectory.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double metres = 9.80665;
constexpr double feet = 32.1740485564;

bool near(double a, double b, double scale)
{
    return std::abs(a - b) <= 1e-9 * scale;
}
} // namespace

class TestTrajectory : public QObject
{
    Q_OBJECT

private slots:
    void flightPath_data();
    void flightPath();
};

void TestTrajectory::flightPath_data()
{
    QTest::addColumn<double>("so");
    QTest::addColumn<double>("g");
    QTest::addColumn<double>("degrees");
    QTest::addColumn<double>("velocity");
    QTest::addColumn<double>("distance");
    QTest::addColumn<int>("steps");
    QTest::addColumn<bool>("apexReached");

    QTest::newRow("level, 45 degrees") << 0.0 << metres << 45.0 << 99.03 << 1000.0 << 240 << true;
    QTest::newRow("lobbed from 100 m up") << 100.0 << metres << 80.0 << 150.0 << 1000.0 << 240 << true;
    QTest::newRow("flat, still climbing at the target") << 0.0 << metres << 5.0 << 300.0 << 500.0 << 240 << false;
    QTest::newRow("feet, few steps") << 0.0 << feet << 30.0 << 500.0 << 7000.0 << 7 << true;
    QTest::newRow("aimed downhill: the muzzle is the highest point")
        << 200.0 << metres << -10.0 << 100.0 << 1000.0 << 240 << false;
    QTest::newRow("level aim") << 50.0 << metres << 0.0 << 100.0 << 300.0 << 240 << false;
    QTest::newRow("no gravity: a straight line") << 0.0 << 0.0 << 30.0 << 100.0 << 1000.0 << 240 << false;
}

void TestTrajectory::flightPath()
{
    QFETCH(double, so);
    QFETCH(double, g);
    QFETCH(double, degrees);
    QFETCH(double, velocity);
    QFETCH(double, distance);
    QFETCH(int, steps);
    QFETCH(bool, apexReached);

    const double angle = degrees * std::numbers::pi / 180;
    const trajectory::Shot shot{so, g, angle, velocity};
    const std::vector<trajectory::Point> path = trajectory::flightPath(shot, distance, steps);
    const std::optional<trajectory::Point> apex = trajectory::apogee(shot, distance);
    QCOMPARE(apex.has_value(), apexReached);
    QCOMPARE(path.size(), std::size_t(steps) + 1 + (apexReached ? 1 : 0));

    QCOMPARE(path.front().x, 0.0);
    QCOMPARE(path.front().y, so);
    QCOMPARE(path.back().x, distance);
    QCOMPARE(path.back().y, trajectory::heightAt(shot, distance));

    // Each point is where the shot is at the time it takes to cover that distance.
    double scale = distance;
    for (const trajectory::Point &p : path)
        scale = std::max(scale, std::abs(p.y));
    for (std::size_t i = 0; i < path.size(); ++i) {
        const trajectory::Point at = trajectory::positionAt(shot, path[i].x / (velocity * std::cos(angle)));
        QVERIFY2(near(at.x, path[i].x, scale) && near(at.y, path[i].y, scale), qPrintable(QString::number(i)));
        if (i > 0)
            QVERIFY(path[i].x > path[i - 1].x);
    }

    const auto highest = std::max_element(path.begin(), path.end(), [](auto &a, auto &b) { return a.y < b.y; });
    if (apex) {
        const double sin = std::sin(angle);
        QVERIFY(near(apex->y, so + velocity * velocity * sin * sin / (2 * g), scale));
        const trajectory::Point top = trajectory::positionAt(shot, velocity * sin / g);
        QVERIFY(near(apex->x, top.x, scale) && near(apex->y, top.y, scale));
        QCOMPARE(highest->x, apex->x);
        QCOMPARE(highest->y, apex->y);
    } else {
        // Past its apex never, or before it all the way.
        QVERIFY(highest == path.begin() || highest == path.end() - 1);
    }
}

QTEST_GUILESS_MAIN(TestTrajectory)
#include "tst_trajectory.moc"
