#include "solvers/drag.h"
#include "solvers/drag_inputs.h"

#include <QtTest>

#include <boost/numeric/odeint/integrate/integrate_adaptive.hpp>
#include <boost/numeric/odeint/stepper/generation.hpp>
#include <boost/numeric/odeint/stepper/runge_kutta_fehlberg78.hpp>
#include <boost/numeric/odeint/util/resizer.hpp>

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

Q_DECLARE_METATYPE(drag::Shot)
Q_DECLARE_METATYPE(drag::EntryOutcome)

namespace {
constexpr double metres = 9.80665;
constexpr double feet = 32.1740485564;

double presetFactor(int preset, drag::Units units = drag::Units::Metric)
{
    return drag::dragFactorPerLength(drag::inUnits(drag::presets()[preset].metric, units), units);
}

// An outside reference: Fehlberg 7(8) with distance as the variable, so the target's
// distance is an end point rather than an event.
double referenceHeightAtTarget(const drag::Shot &s)
{
    namespace odeint = boost::numeric::odeint;
    using State = std::vector<double>; // y, vx, vy
    const auto slopes = [&s](const State &q, State &d, double) {
        const double speed = std::sqrt(q[1] * q[1] + q[2] * q[2]);
        d[0] = q[2] / q[1];
        d[1] = -s.k * speed;
        d[2] = (-s.g - s.k * speed * q[2]) / q[1];
    };
    State q{s.so, s.velocity * std::cos(s.angle), s.velocity * std::sin(s.angle)};
    odeint::integrate_adaptive(odeint::make_controlled(1e-13, 1e-13, odeint::runge_kutta_fehlberg78<State>()), slopes,
                               q, 0.0, s.sx, s.sx / 1000);
    return q[0] - s.sy;
}

bool finitePoint(const drag::Point &p)
{
    return std::isfinite(p.t) && std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.vx) && std::isfinite(p.vy);
}
} // namespace

class TestDrag : public QObject
{
    Q_OBJECT

private slots:
    void withoutDragTheVacuumFlight_data();
    void withoutDragTheVacuumFlight();
    void horizontalWithoutGravity();
    void droppedBodyNearsTerminalVelocity();
    void speedFallsOnTheWayUp();
    void correctedAnglesHitTheTarget_data();
    void correctedAnglesHitTheTarget();
    void velocityWithDragHitsTheTarget();
    void sweepOverSetupRangesAndPresets();
    void entries_data();
    void entries();
    void presetsInEitherUnitSystem();
};

void TestDrag::withoutDragTheVacuumFlight_data()
{
    QTest::addColumn<drag::Shot>("shot");

    QTest::newRow("level 1000 m, low angle") << drag::Shot{1000, 0, 0, metres, 0, 150, 0.2254919};
    QTest::newRow("level 1000 m, high angle") << drag::Shot{1000, 0, 0, metres, 0, 150, 1.3453045};
    QTest::newRow("level 1000 m, too slow: comes down short") << drag::Shot{1000, 0, 0, metres, 0, 90, 0.7};
    QTest::newRow("target 500 m above, met still climbing") << drag::Shot{1000, 0, 500, metres, 0, 150, 0.8};
    QTest::newRow("firing 500 m above, aimed downhill") << drag::Shot{1000, 500, 0, metres, 0, 150, -0.26};
    QTest::newRow("feet, longest level shot") << drag::Shot{32000, 0, 0, feet, 0, 3000, 0.7};
}

// Without drag: x = V cos t, y = So + V sin t - g t^2 / 2; the apex at V sin / g.
void TestDrag::withoutDragTheVacuumFlight()
{
    QFETCH(drag::Shot, shot);

    const drag::Flight f = drag::fly(shot, 50);
    const double vx = shot.velocity * std::cos(shot.angle), vy = shot.velocity * std::sin(shot.angle);
    const double g = shot.g;
    const bool atDistance = shot.so + shot.sx * std::tan(shot.angle) - g * shot.sx * shot.sx / (2 * vx * vx) >= shot.sy;
    const double arrival = atDistance ? shot.sx / vx : (vy + std::sqrt(vy * vy - 2 * g * (shot.sy - shot.so))) / g;
    QCOMPARE(f.arrival, atDistance ? drag::Arrival::AtDistance : drag::Arrival::ShortAtHeight);
    QVERIFY2(std::abs(f.end.t / arrival - 1) < 1e-9, qPrintable(QString::number(f.end.t / arrival - 1)));
    for (const drag::Point &p : f.path) {
        QVERIFY(std::abs(p.x - vx * p.t) <= 1e-9 * shot.sx);
        QVERIFY(std::abs(p.y - (shot.so + vy * p.t - g * p.t * p.t / 2)) <= 1e-9 * shot.sx);
    }
    const double apexTime = vy / g;
    QCOMPARE(f.apex.has_value(), vy > 0 && apexTime < arrival);
    if (f.apex) {
        QVERIFY(std::abs(f.apex->t / apexTime - 1) < 1e-9);
        QVERIFY(std::abs(f.apex->y / (shot.so + vy * vy / (2 * g)) - 1) < 1e-9);
    }
}

// x(t) = ln(1 + k V t) / k and vx(t) = V / (1 + k V t): it reaches Sx at (e^(k Sx) - 1) / (k V).
void TestDrag::horizontalWithoutGravity()
{
    const double k = presetFactor(0), v = 40;
    const drag::Shot shot{300, 0, 0, 0, k, v, 0};
    const drag::Flight f = drag::fly(shot, 40);
    QCOMPARE(f.arrival, drag::Arrival::AtDistance);
    QVERIFY(std::abs(f.end.t / ((std::exp(k * shot.sx) - 1) / (k * v)) - 1) < 1e-8);
    for (const drag::Point &p : f.path) {
        QVERIFY(std::abs(p.x - std::log1p(k * v * p.t) / k) < 1e-8 * shot.sx);
        QVERIFY(std::abs(p.vx / (v / (1 + k * v * p.t)) - 1) < 1e-8);
        QCOMPARE(p.y, 0.0);
    }

    // Too much drag to get there in any time: the flight stops at the cap and says so.
    const drag::Flight stalled = drag::fly({1000, 0, 0, 0, 1, v, 0});
    QCOMPARE(stalled.arrival, drag::Arrival::NoArrival);
    QVERIFY(stalled.end.t >= drag::maxFlightTime && stalled.end.x < 1000 && finitePoint(stalled.end));
}

// From rest: v = vt tanh(g t / vt), drop = (vt^2 / g) ln cosh(g t / vt), vt = sqrt(g / k).
void TestDrag::droppedBodyNearsTerminalVelocity()
{
    const double k = presetFactor(4), height = 3000;
    const double vt = *drag::terminalVelocity(k, metres);
    const drag::Flight f = drag::fly({1, height, 0, metres, k, 1e-9, -std::numbers::pi / 2}, 60);
    QCOMPARE(f.arrival, drag::Arrival::ShortAtHeight);
    QVERIFY(std::abs(f.end.t / ((vt / metres) * std::acosh(std::exp(metres * height / (vt * vt)))) - 1) < 1e-8);
    for (std::size_t i = 1; i < f.path.size(); ++i) {
        const drag::Point &p = f.path[i];
        QVERIFY(std::abs(-p.vy / (vt * std::tanh(metres * p.t / vt)) - 1) < 1e-7);
    }
    QVERIFY(-f.end.vy < vt && -f.end.vy > 0.95 * vt);
}

void TestDrag::speedFallsOnTheWayUp()
{
    for (std::size_t preset = 0; preset < drag::presets().size(); ++preset)
        for (const double angle : {0.2, 0.8, 1.4}) {
            const drag::Flight f = drag::fly({1000, 0, 0, metres, presetFactor(int(preset)), 300, angle}, 200);
            double last = INFINITY;
            for (const drag::Point &p : f.path) {
                if (p.vy < 0)
                    break;
                const double speed = std::hypot(p.vx, p.vy);
                QVERIFY2(speed <= last,
                         qPrintable(QStringLiteral("preset %1, angle %2, t %3").arg(preset).arg(angle).arg(p.t)));
                last = speed;
            }
        }
}

void TestDrag::correctedAnglesHitTheTarget_data()
{
    QTest::addColumn<drag::Shot>("shot");
    QTest::addColumn<int>("preset");
    QTest::addColumn<bool>("metric");

    QTest::newRow("cannonball, level 1000 m at 150 m/s") << drag::Shot{1000, 0, 0, metres, 0, 150, 0} << 4 << true;
    QTest::newRow("shot put, target 100 m above") << drag::Shot{1000, 0, 100, metres, 0, 150, 0} << 3 << true;
    QTest::newRow("golf ball, firing 500 m above, 400 m out")
        << drag::Shot{400, 500, 0, metres, 0, 150, 0} << 1 << true;
    QTest::newRow("baseball, 100 m at 60 m/s") << drag::Shot{100, 0, 0, metres, 0, 60, 0} << 0 << true;
    QTest::newRow("cannonball in feet, 3000 ft at 1000 ft/s") << drag::Shot{3000, 0, 0, feet, 0, 1000, 0} << 4 << false;
}

void TestDrag::correctedAnglesHitTheTarget()
{
    QFETCH(drag::Shot, shot);
    QFETCH(int, preset);
    QFETCH(bool, metric);

    shot.k = presetFactor(preset, metric ? drag::Units::Metric : drag::Units::Imperial);
    const drag::HitAngles hit = drag::hitAngles(shot);
    const auto vacuum = drag::vacuumAngles(shot);
    QVERIFY(vacuum);
    QCOMPARE(hit.low.outcome, drag::HitOutcome::Found);
    QCOMPARE(hit.high.outcome, drag::HitOutcome::Found);
    // Drag lowers every trajectory: the low angle must rise and the high one drop to still hit.
    QVERIFY(hit.low.value > vacuum->first);
    QVERIFY(hit.high.value < vacuum->second);
    const double millimetre = metric ? 0.001 : 0.001 / 0.3048;
    for (const double angle : {hit.low.value, hit.high.value}) {
        shot.angle = angle;
        const double miss = referenceHeightAtTarget(shot);
        QVERIFY2(std::abs(miss) < millimetre, qPrintable(QString::number(miss)));
    }
}

void TestDrag::velocityWithDragHitsTheTarget()
{
    drag::Shot shot{1000, 0, 0, metres, presetFactor(4), 0, std::numbers::pi / 4};
    const drag::HitVelocity hit = drag::hitVelocity(shot);
    QCOMPARE(hit.hit.outcome, drag::HitOutcome::Found);
    QVERIFY(hit.hit.value > *drag::vacuumVelocity(shot));
    shot.velocity = hit.hit.value;
    QVERIFY(std::abs(referenceHeightAtTarget(shot)) < 0.001);

    // A baseball gains range only with the logarithm of its speed: 32 km is out of reach.
    shot = {32000, 0, 0, metres, presetFactor(0), 0, std::numbers::pi / 4};
    const drag::HitVelocity none = drag::hitVelocity(shot);
    QCOMPARE(none.hit.outcome, drag::HitOutcome::NotReachable);
    QCOMPARE(none.searchedUpTo, drag::maxVelocityFactor * *drag::vacuumVelocity(shot));
}

// The corners of the set-up screen's ranges and the level 1000 problem, at the velocity
// scroll bar's least and greatest, with every preset: every figure finite, every flight
// ends by an event.
void TestDrag::sweepOverSetupRangesAndPresets()
{
    std::vector<std::array<double, 3>> problems{{1000, 0, 0}};
    for (const double sx : {1.0, 32000.0})
        for (const double so : {-10000.0, 20000.0})
            for (const double sy : {-10000.0, 20000.0})
                problems.push_back({sx, so, sy});
    int cases = 0;
    for (const bool metric : {true, false}) {
        const double g = metric ? metres : feet;
        const drag::Units units = metric ? drag::Units::Metric : drag::Units::Imperial;
        for (std::size_t preset = 0; preset < drag::presets().size(); ++preset)
            for (const auto &[sx, so, sy] : problems) {
                drag::Shot shot{sx, so, sy, g, presetFactor(int(preset), units), 0, 0};
                const double dy = sy - so;
                const double least = std::sqrt(g * (dy + std::hypot(sx, dy))) + 0.001;
                for (const double v : {least, std::max(least, metric ? 2000.0 : 3000.0)}) {
                    shot.velocity = v;
                    const QString where =
                        QStringLiteral("preset %1, %2 %3 %4, %5").arg(preset).arg(sx).arg(so).arg(sy).arg(v);
                    const auto vacuum = drag::vacuumAngles(shot);
                    QVERIFY2(vacuum, qPrintable(where));
                    for (const double angle : {vacuum->first, vacuum->second}) {
                        shot.angle = angle;
                        const drag::Flight f = drag::fly(shot, 20);
                        QVERIFY2(f.arrival != drag::Arrival::NoArrival && f.arrival != drag::Arrival::InvalidShot,
                                 qPrintable(where));
                        QVERIFY2(std::all_of(f.path.begin(), f.path.end(), finitePoint) && finitePoint(f.end) &&
                                     std::isfinite(f.miss) && std::isfinite(f.shortBy),
                                 qPrintable(where));
                    }
                    const drag::HitAngles hit = drag::hitAngles(shot);
                    QVERIFY2(hit.low.outcome != drag::HitOutcome::InvalidShot && std::isfinite(hit.low.value) &&
                                 std::isfinite(hit.high.value) && std::isfinite(hit.farthest.value_or(0)) &&
                                 std::isfinite(hit.highest),
                             qPrintable(where));
                    shot.angle = (vacuum->first + vacuum->second) / 2;
                    const drag::HitVelocity needed = drag::hitVelocity(shot);
                    QVERIFY2(needed.hit.outcome != drag::HitOutcome::InvalidShot && std::isfinite(needed.hit.value),
                             qPrintable(where));
                    ++cases;
                }
            }
    }
    QCOMPARE(cases, 2 * 5 * 9 * 2);
}

void TestDrag::entries_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<drag::EntryOutcome>("outcome");
    QTest::addColumn<double>("value");

    using O = drag::EntryOutcome;
    QTest::newRow("plain decimal") << "0.145" << O::Valid << 0.145;
    QTest::newRow("blanks around, E-notation") << "  1.45E-1\t" << O::Valid << 0.145;
    QTest::newRow("point first, plus sign") << "+.5" << O::Valid << 0.5;
    QTest::newRow("empty") << "   " << O::Empty << 0.0;
    QTest::newRow("letters") << "12 kg" << O::NotANumber << 0.0;
    QTest::newRow("decimal comma") << "0,145" << O::NotANumber << 0.0;
    QTest::newRow("two numbers") << "1 2" << O::SeveralNumbers << 0.0;
    QTest::newRow("NaN") << "nan" << O::NotFinite << 0.0;
    QTest::newRow("infinity") << "-Inf" << O::NotFinite << 0.0;
    QTest::newRow("too large for a double") << "1e999" << O::NotFinite << 0.0;
    QTest::newRow("too small for a double reads as 0, below the range") << "1e-999" << O::BelowRange << 0.0;
    QTest::newRow("negative") << "-1" << O::BelowRange << -1.0;
    QTest::newRow("above the range") << "100001" << O::AboveRange << 100001.0;
}

void TestDrag::entries()
{
    QFETCH(QString, text);
    QFETCH(drag::EntryOutcome, outcome);
    QFETCH(double, value);

    const drag::FieldRange mass = drag::fieldRange(drag::Field::Mass, drag::Units::Metric);
    const drag::Entry e = drag::readEntry(text.toStdString(), mass);
    QCOMPARE(e.outcome, outcome);
    QCOMPARE(e.value, value);
    QCOMPARE(drag::entryNote(e, mass).empty(), outcome == drag::EntryOutcome::Valid);
}

// The cannonball is 12 lb and 4.52 in; k per foot is k per metre times a foot in metres.
void TestDrag::presetsInEitherUnitSystem()
{
    const drag::Projectile ball = drag::inUnits(drag::presets()[4].metric, drag::Units::Imperial);
    QCOMPARE(drag::fieldText(ball.mass), std::string("12"));
    QCOMPARE(drag::fieldText(ball.diameter), std::string("4.52"));
    QCOMPARE(drag::fieldText(ball.airDensity), std::string("0.0764743"));
    for (int preset = 0; preset < int(drag::presets().size()); ++preset)
        QVERIFY(std::abs(presetFactor(preset, drag::Units::Imperial) / (presetFactor(preset) * 0.3048) - 1) < 1e-12);
    QVERIFY(drag::tooLightNote(drag::presets()[0].metric, drag::Units::Metric).empty());
    QCOMPARE(drag::tooLightNote({0.001, 2000, 1, 1.225}, drag::Units::Metric).substr(0, 22),
             std::string("Too light for its size"));
    // In feet: sqrt(2 m g / (rho Cd A)) with g in ft/s^2, A in ft^2.
    const double area = std::numbers::pi * std::pow(80.0 / 12, 2) / 4;
    const double terminal = std::sqrt(2 * 0.002 * (9.80665 / 0.3048) / (0.0764743 * area));
    const std::string note = drag::tooLightNote({0.002, 80, 1, 0.0764743}, drag::Units::Imperial);
    const std::string::size_type at = note.find("no faster than ");
    QVERIFY2(at != std::string::npos && note.find("at least 16 ft/s") != std::string::npos, note.c_str());
    QVERIFY2(std::abs(std::stod(note.substr(at + 15)) / terminal - 1) < 0.05, note.c_str());
}

QTEST_GUILESS_MAIN(TestDrag)
#include "tst_drag.moc"
