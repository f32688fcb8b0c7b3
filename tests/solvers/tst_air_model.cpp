#include "solvers/air_inputs.h"
#include "solvers/air_model.h"
#include "solvers/atmosphere.h"
#include "solvers/drag_law.h"

#include <QtTest>

#include <bit>
#include <cstdint>

#include <boost/numeric/odeint/integrate/integrate_adaptive.hpp>
#include <boost/numeric/odeint/stepper/generation.hpp>
#include <boost/numeric/odeint/stepper/runge_kutta_fehlberg78.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>

Q_DECLARE_METATYPE(air::Shot)
Q_DECLARE_METATYPE(air::Field)
Q_DECLARE_METATYPE(drag::Units)
Q_DECLARE_METATYPE(drag::HitOutcome)
Q_DECLARE_METATYPE(drag::EntryOutcome)

namespace {
constexpr double metres = 9.80665;
constexpr double feet = 32.1740485564;
constexpr double foot = 0.3048;
constexpr double degree = std::numbers::pi / 180;

enum Preset { Baseball, GolfBall, SoccerBall, ShotPut, Cannonball, BulletG7, BulletG1 };

air::Shot shot(Preset preset, double sx, double so, double sy, double velocity, double wind)
{
    air::Shot s;
    static_cast<TargetProblem &>(s) = {sx, so, sy, metres};
    s.velocity = velocity;
    s.wind = wind;
    s.projectile = air::presets()[preset].projectile;
    s.air.model = air::AirModel::Standard;
    return s;
}

air::Shot inFeet(air::Shot s)
{
    s.units = drag::Units::Imperial;
    for (double *v : {&s.sx, &s.so, &s.sy, &s.velocity, &s.wind})
        *v /= foot;
    s.g = feet;
    return s;
}

std::shared_ptr<const air::DragTable> table(const char *text)
{
    return air::readDragTable(text).table;
}

// An outside reference: Fehlberg 7(8) over distance, so the target's distance is an end
// point rather than an event; the shot's own curve and air, but none of the model's code
// of motion.
double referenceHeightAtTarget(const air::Shot &s)
{
    namespace odeint = boost::numeric::odeint;
    const double unit = s.units == drag::Units::Imperial ? foot : 1;
    const air::Projectile &p = s.projectile;
    const bool standard = p.curve == air::DragCurve::G1 || p.curve == air::DragCurve::G7;
    const double perDensity = standard ? std::numbers::pi / (8 * p.ballisticCoefficient)
                                       : std::numbers::pi * p.diameter * p.diameter / (8 * p.mass);
    const auto curve = p.curve == air::DragCurve::Table ? p.table : air::standardTable(p.curve);
    const air::AirColumn column(s.air);
    using State = std::array<double, 3>; // y, vx, vy
    const auto slopes = [&](const State &q, State &d, double) {
        const double ux = q[1] - s.wind * unit;
        const double speed = std::hypot(ux, q[2]);
        const air::AirState a = column.at(q[0] - s.so * unit);
        const double cd = curve ? curve->at(speed / a.speedOfSound) : p.dragCoefficient;
        const double k = a.density * perDensity * cd * speed;
        d = {q[2] / q[1], -k * ux / q[1], (-s.g * unit - k * q[2]) / q[1]};
    };
    State q{s.so * unit, s.velocity * unit * std::cos(s.angle), s.velocity * unit * std::sin(s.angle)};
    odeint::integrate_adaptive(odeint::make_controlled(1e-14, 1e-14, odeint::runge_kutta_fehlberg78<State>()), slopes,
                               q, 0.0, s.sx * unit, s.sx * unit / 1000);
    return (q[0] - s.sy * unit) / unit;
}

bool finitePoint(const drag::Point &p)
{
    return std::isfinite(p.t) && std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.vx) && std::isfinite(p.vy);
}

bool sameBits(const drag::Point &a, const drag::Point &b)
{
    const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    return bits(a.t) == bits(b.t) && bits(a.x) == bits(b.x) && bits(a.y) == bits(b.y) && bits(a.vx) == bits(b.vx) &&
           bits(a.vy) == bits(b.vy);
}
} // namespace

class TestAirModel : public QObject
{
    Q_OBJECT

private slots:
    void readsTables_data();
    void readsTables();
    void tableReaderNeverFails();
    void interpolates_data();
    void interpolates();
    void standardAtmosphere_data();
    void standardAtmosphere();
    void moistAir_data();
    void moistAir();
    void plainShotsAreTheDragSolvers_data();
    void plainShotsAreTheDragSolvers();
    void windActsOnTheRelativeVelocity();
    void droppedSphereNearsTerminalVelocity();
    void publishedFigures_data();
    void publishedFigures();
    void searchesHitTheTarget_data();
    void searchesHitTheTarget();
    void outcomesWhenNoneHits_data();
    void outcomesWhenNoneHits();
    void flagsWhereTheModelRunsOut_data();
    void flagsWhereTheModelRunsOut();
    void fields_data();
    void fields();
    void presetsFlyInEitherUnitSystem();
};

void TestAirModel::readsTables_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("rows"); // 0 when refused
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("error");

    QTest::newRow("header, comments and blank lines")
        << QByteArray("# radar, 2024\n\nMach,Cd\n0.5,0.3\n# mid\n1,0.5\n") << 2 << 0 << "";
    QTest::newRow("byte order mark, CRLF, blanks, quotes and a plus sign")
        << QByteArray("\xEF\xBB\xBF\"Mach\",\"Cd\"\r\n 0.5 ,\t+0.3\r\n\"1.0\",5E-1\r\n") << 2 << 0 << "";
    QTest::newRow("empty") << QByteArray("") << 0 << 0 << "The table is empty";
    QTest::newRow("one row") << QByteArray("Mach,Cd\n0.5,0.3\n") << 0 << 0 << "it needs at least two";
    QTest::newRow("Mach falling") << QByteArray("Mach,Cd\n0.5,0.3\n0.95,0.4\n0.9,0.5\n") << 0 << 4
                                  << "Line 4: Mach 0.9 is not above the row before's 0.95.";
    QTest::newRow("Mach repeated") << QByteArray("0.5,0.3\n0.50,0.4\n") << 0 << 2 << "is not above";
    QTest::newRow("negative Cd") << QByteArray("0.5,0.3\n1,-0.1\n") << 0 << 2 << "Line 2: Cd -0.1 is negative.";
    QTest::newRow("negative Mach") << QByteArray("-0.5,0.3\n") << 0 << 1 << "Line 1: Mach -0.5 is negative.";
    QTest::newRow("NaN Cd") << QByteArray("0.5,nan\n") << 0 << 1 << "Cd nan is not a finite number";
    QTest::newRow("infinite Mach") << QByteArray("Mach,Cd\ninf,0.3\n") << 0 << 2 << "not a finite number";
    QTest::newRow("beyond a double") << QByteArray("0.5,1e999\n") << 0 << 1 << "too large or too small";
    QTest::newRow("semicolons") << QByteArray("0.5;0.3\n") << 0 << 1 << "found 1.";
    QTest::newRow("three columns") << QByteArray("0.5,0.3,7\n") << 0 << 1 << "found 3.";
    QTest::newRow("letters after a number") << QByteArray("0.5,0.3x\n") << 0 << 1 << "Cd \"0.3x\" is not a number.";
    QTest::newRow("a header after the first row") << QByteArray("0.5,0.3\nMach,Cd\n") << 0 << 2 << "is not a number";
    QTest::newRow("two signs") << QByteArray("+-0.5,0.3\n") << 0 << 1 << "is not a number";
    QTest::newRow("a long field cut before a character, not inside it")
        << QByteArray("0.5,0.3\nabcdefghijklmnopqrstuvw\xC3\xA9,0.4\n") << 0 << 2
        << "Line 2: Mach \"abcdefghijklmnopqrstuvw...\" is not a number.";
}

void TestAirModel::readsTables()
{
    QFETCH(QByteArray, text);
    QFETCH(int, rows);
    QFETCH(int, line);
    QFETCH(QString, error);

    const air::TableRead read = air::readDragTable(std::string_view(text.constData(), std::size_t(text.size())));
    QCOMPARE(read.table ? int(read.table->machs().size()) : 0, rows);
    QCOMPARE(read.line, line);
    QVERIFY2(QString::fromStdString(read.error).contains(error), read.error.c_str());
    QCOMPARE(read.error.empty(), rows > 0);
    if (rows > 0) {
        QCOMPARE(read.table->lowestMach(), 0.5);
        QCOMPARE(read.table->at(1), 0.5);
    }
}

// Random texts from the characters a table is made of, and raw bytes: an answer every time.
void TestAirModel::tableReaderNeverFails()
{
    std::mt19937 random(20240607);
    const std::string alphabet = "0123456789.,,,\n\n\r #+-eE\"naifx\xEF\xBB\xBF";
    for (int i = 0; i < 4000; ++i) {
        std::string text(random() % 80, ' ');
        for (char &c : text)
            c = i % 4 == 0 ? char(random()) : alphabet[random() % alphabet.size()];
        const air::TableRead read = air::readDragTable(text);
        QVERIFY(read.table ? read.error.empty() && read.table->machs().size() >= 2 : !read.error.empty());
        if (read.table)
            QVERIFY(std::isfinite(read.table->at(0.7)) && read.table->at(0.7) >= 0);
    }
}

void TestAirModel::interpolates_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("points");

    const auto shipped = [](air::DragCurve c) {
        return QByteArray::fromStdString(std::string(air::standardTableText(c)));
    };
    QTest::newRow("smooth sphere, BRL via JBM") << shipped(air::DragCurve::Sphere) << 81;
    QTest::newRow("G1, BRL via JBM") << shipped(air::DragCurve::G1) << 79;
    QTest::newRow("G7, BRL via JBM") << shipped(air::DragCurve::G7) << 84;
    QTest::newRow("two points: a straight line") << QByteArray("0.5,0.2\n1.5,0.6\n") << 2;
    QTest::newRow("flat stretch, then a cliff") << QByteArray("0,0.2\n0.8,0.2\n0.9,0.2\n1,0.9\n2,0.9\n3,0.5\n") << 6;
}

// Through every point, between its neighbours everywhere else (no overshoot), a smooth
// slope across the points, and the end values beyond the ends.
void TestAirModel::interpolates()
{
    QFETCH(QByteArray, text);
    QFETCH(int, points);

    const air::TableRead read = air::readDragTable(text.toStdString());
    QVERIFY2(read.table, read.error.c_str());
    const air::DragTable &t = *read.table;
    QCOMPARE(int(t.machs().size()), points);
    const auto m = t.machs();
    const auto cd = t.dragCoefficients();
    QCOMPARE(t.at(m.front() - 1), cd.front());
    QCOMPARE(t.at(m.back() + 1), cd.back());
    for (std::size_t k = 0; k < m.size(); ++k) {
        QCOMPARE(t.at(m[k]), cd[k]);
        if (k + 1 == m.size())
            break;
        for (double f = 0.05; f < 1; f += 0.1) {
            const double v = t.at(m[k] + f * (m[k + 1] - m[k]));
            QVERIFY2(v >= std::min(cd[k], cd[k + 1]) - 1e-12 && v <= std::max(cd[k], cd[k + 1]) + 1e-12,
                     qPrintable(QStringLiteral("Mach %1").arg(m[k] + f * (m[k + 1] - m[k]))));
        }
        if (k > 0) {
            const double h = 1e-7 * (m[k + 1] - m[k - 1]);
            const double left = (t.at(m[k]) - t.at(m[k] - h)) / h;
            const double right = (t.at(m[k] + h) - t.at(m[k])) / h;
            QVERIFY2(std::abs(left - right) <= 1e-4 * (1 + std::abs(left)), qPrintable(QString::number(m[k])));
        }
    }
    if (points == 2)
        QCOMPARE(t.at(0.75), 0.3);
}

void TestAirModel::standardAtmosphere_data()
{
    QTest::addColumn<double>("altitude");
    QTest::addColumn<double>("density");
    QTest::addColumn<double>("speedOfSound");
    QTest::addColumn<double>("pressure");

    // ICAO Doc 7488 (ISO 2533) tables.
    QTest::newRow("sea level") << 0.0 << 1.2250 << 340.294 << 101325.0;
    QTest::newRow("1,500 m") << 1500.0 << 1.0581 << 334.49 << 84556.0;
    QTest::newRow("5,000 m") << 5000.0 << 0.73612 << 320.53 << 54020.0;
    QTest::newRow("11,000 m, the tropopause") << 11000.0 << 0.36392 << 295.07 << 22632.0;
    QTest::newRow("15,000 m, isothermal") << 15000.0 << 0.19367 << 295.07 << 12045.0;
    QTest::newRow("20,000 m") << 20000.0 << 0.088035 << 295.07 << 5474.9;
}

void TestAirModel::standardAtmosphere()
{
    QFETCH(double, altitude);
    QFETCH(double, density);
    QFETCH(double, speedOfSound);
    QFETCH(double, pressure);

    const air::AirState a = air::standardAir(altitude);
    QVERIFY2(std::abs(a.density / density - 1) < 2e-4, qPrintable(QString::number(a.density, 'g', 8)));
    QVERIFY2(std::abs(a.speedOfSound / speedOfSound - 1) < 2e-5, qPrintable(QString::number(a.speedOfSound)));
    QVERIFY2(std::abs(a.pressure / pressure - 1) < 2e-4, qPrintable(QString::number(a.pressure)));

    // The same air measured at that altitude, carried down to sea level by the lapse.
    air::Atmosphere measured;
    measured.model = air::AirModel::Measured;
    measured.altitude = altitude;
    measured.temperature = a.temperature;
    measured.pressure = a.pressure;
    QVERIFY(std::abs(air::AirColumn(measured).at(-altitude).density / air::standardAir(0).density - 1) < 1e-12);
}

void TestAirModel::moistAir_data()
{
    QTest::addColumn<double>("celsius");
    QTest::addColumn<double>("humidity");
    QTest::addColumn<double>("saturation"); // Pa over water, IAPWS-95 (Wagner and Pruss 2002)

    QTest::newRow("0 degrees C, dry") << 0.0 << 0.0 << 611.2;
    QTest::newRow("15 degrees C, 78 %: the bullet table's air") << 15.0 << 0.78 << 1705.7;
    QTest::newRow("20 degrees C, saturated") << 20.0 << 1.0 << 2339.2;
    QTest::newRow("30 degrees C, half saturated") << 30.0 << 0.5 << 4247.0;
}

// Water vapour lightens the air: rho = p / (Rd T) (1 - 0.378 e / p) at 101325 Pa; dry air
// at 0 degrees C is 1.2922 kg/m^3.
void TestAirModel::moistAir()
{
    QFETCH(double, celsius);
    QFETCH(double, humidity);
    QFETCH(double, saturation);

    const double t = celsius + 273.15;
    QVERIFY2(std::abs(air::saturationVapourPressure(t) / saturation - 1) < 1e-3,
             qPrintable(QString::number(air::saturationVapourPressure(t))));
    const double dry = 1.2922 * 273.15 / t;
    const double rho = air::moistAirDensity(t, 101325, humidity);
    QVERIFY2(std::abs(rho / (dry * (1 - 0.378 * humidity * saturation / 101325)) - 1) < 2e-4,
             qPrintable(QString::number(rho, 'g', 6)));
}

void TestAirModel::plainShotsAreTheDragSolvers_data()
{
    QTest::addColumn<air::Shot>("shot");

    air::Shot cannonball = shot(Cannonball, 1000, 0, 0, 150, 0);
    cannonball.projectile = air::fromFields(drag::presets()[4].metric, drag::Units::Metric);
    cannonball.air.model = air::AirModel::ConstantDensity;
    QTest::newRow("cannonball, level 1000 m at 150 m/s") << cannonball;
    air::Shot baseball = cannonball;
    baseball.projectile = air::presets()[Baseball].projectile;
    baseball.sx = 100;
    baseball.sy = 20;
    baseball.velocity = 60;
    QTest::newRow("baseball in feet, target above") << inFeet(baseball);
}

// One drag coefficient, one density, no wind: the drag solver's results, to the last bit.
void TestAirModel::plainShotsAreTheDragSolvers()
{
    QFETCH(air::Shot, shot);

    const air::Projectile &p = shot.projectile;
    const double perUnit = shot.units == drag::Units::Imperial ? foot : 1;
    drag::Shot d{shot, drag::dragFactor(p.mass, p.diameter, p.dragCoefficient, shot.air.density) * perUnit,
                 shot.velocity, 0};
    const drag::HitAngles a = air::hitAngles(shot);
    const drag::HitAngles b = drag::hitAngles(d);
    QCOMPARE(a.low.outcome, drag::HitOutcome::Found);
    QCOMPARE(a.low.value, b.low.value);
    QCOMPARE(a.high.value, b.high.value);
    shot.angle = d.angle = a.low.value;
    const air::Flight f = air::fly(shot, 20);
    const drag::Flight g = drag::fly(d, 20);
    QVERIFY(sameBits(f.end, g.end) && f.path.size() == g.path.size() && f.steps == g.steps);
    for (std::size_t i = 0; i < f.path.size(); ++i)
        QVERIFY(sameBits(f.path[i], g.path[i]));
    QCOMPARE(air::hitVelocity(shot).hit.value, drag::hitVelocity(d).hit.value);
}

void TestAirModel::windActsOnTheRelativeVelocity()
{
    // Riding the wind at its own speed, without gravity: no drag at all.
    air::Shot riding = shot(SoccerBall, 300, 0, 0, 20, 20);
    riding.g = 0;
    const air::Flight f = air::fly(riding, 10);
    QCOMPARE(f.arrival, drag::Arrival::AtDistance);
    QVERIFY(std::abs(f.end.t - 15) < 1e-9 && std::abs(f.end.vx - 20) < 1e-12);

    // A ball let go in a wind is carried at the wind's speed, drifting downwind.
    air::Shot dropped = shot(SoccerBall, 1e6, 2000, 0, 1e-9, -15);
    dropped.angle = -std::numbers::pi / 2;
    const air::Flight drift = air::fly(dropped);
    QCOMPARE(drift.arrival, drag::Arrival::ShortAtHeight);
    QVERIFY2(std::abs(drift.end.vx + 15) < 1e-3 && drift.end.x < -1000, qPrintable(QString::number(drift.end.vx)));

    // A head wind shortens a shot and a tail wind lengthens it.
    air::Shot lob = shot(Baseball, 1e5, 0, 0, 40, 0);
    lob.angle = 40 * degree;
    std::array<double, 3> ranges{};
    for (int i = 0; i < 3; ++i) {
        lob.wind = 10.0 * (i - 1);
        ranges[std::size_t(i)] = air::fly(lob).end.x;
    }
    QVERIFY(ranges[0] < ranges[1] && ranges[1] < ranges[2]);
}

// Dropped from 20 km in air of one density, it nears sqrt(2 m g / (rho Cd A)) with the
// sphere's Cd at the speed it nears.
void TestAirModel::droppedSphereNearsTerminalVelocity()
{
    air::Shot s = shot(Cannonball, 1, 20000, 0, 1e-9, 0);
    s.angle = -std::numbers::pi / 2;
    s.air.densityWithHeight = false;
    const air::Projectile &p = s.projectile;
    const double area = std::numbers::pi * p.diameter * p.diameter / 4;
    double terminal = 100;
    for (int i = 0; i < 20; ++i)
        terminal = std::sqrt(2 * p.mass * metres /
                             (1.225 * area * air::standardTable(air::DragCurve::Sphere)->at(terminal / 340.294)));
    const air::Flight f = air::fly(s);
    QCOMPARE(f.arrival, drag::Arrival::ShortAtHeight);
    QVERIFY2(std::abs(-f.end.vy / terminal - 1) < 2e-3,
             qPrintable(QStringLiteral("%1 %2").arg(-f.end.vy).arg(terminal)));
}

void TestAirModel::publishedFigures_data()
{
    QTest::addColumn<air::Shot>("shot");
    QTest::addColumn<int>("figure"); // 0 range in yd, 1 speed at the target in ft/s, 2 time to it in s
    QTest::addColumn<double>("published");
    QTest::addColumn<double>("tolerance"); // relative

    // US 12-pounder field gun, model 1857: 12.3 lb shot, 1,440 to 1,485 ft/s, 1,619 yd at 5 degrees
    // (Cole 2002 via Wikipedia, "Field artillery in the American Civil War").
    for (const double fps : {1440.0, 1485.0}) {
        air::Shot gun = inFeet(shot(Cannonball, 10000, 0, 0, fps * foot, 0));
        gun.angle = 5 * degree;
        QTest::addRow("12-pounder at %g ft/s, range at 5 degrees", fps) << gun << 0 << 1619.0 << 0.10;
    }
    // G1 BC 0.365 lb/in^2 at 2,600 ft/s in 59 F, 29.92 inHg, 78 %: 984.7 ft/s and 2.018 s at 1,000 yd.
    air::Shot bullet = inFeet(shot(BulletG1, 3000 * foot, 0, -1000, 2600 * foot, 0));
    bullet.projectile.ballisticCoefficient = 0.365 * air::poundPerSquareInch;
    bullet.air = {air::AirModel::Measured, 0, 0, 0, 288.15, 29.92 * 3386.389, 0.78, true};
    QTest::newRow("G1 0.365, speed at 1,000 yd") << bullet << 1 << 984.7 << 0.01;
    QTest::newRow("G1 0.365, time to 1,000 yd") << bullet << 2 << 2.018 << 0.01;
}

void TestAirModel::publishedFigures()
{
    QFETCH(air::Shot, shot);
    QFETCH(int, figure);
    QFETCH(double, published);
    QFETCH(double, tolerance);

    const air::Flight f = air::fly(shot);
    const air::Figures figures = air::figures(f);
    QCOMPARE(f.arrival, figure == 0 ? drag::Arrival::ShortAtHeight : drag::Arrival::AtDistance);
    const std::array<double, 3> reached{f.end.x / 3, figures.arrivalSpeed, figures.timeOfFlight};
    const double value = reached[std::size_t(figure)];
    qInfo("%s: %.4g against %.4g published, %+.2f %%", QTest::currentDataTag(), value, published,
          100 * (value / published - 1));
    QVERIFY(std::abs(value / published - 1) <= tolerance);
}

void TestAirModel::searchesHitTheTarget_data()
{
    QTest::addColumn<air::Shot>("shot");
    QTest::addColumn<bool>("vacuumReaches");

    QTest::newRow("G7 bullet, 1000 m, 5 m/s head wind") << shot(BulletG7, 1000, 0, 0, 850, -5) << true;
    air::Shot measured = shot(Cannonball, 1500, 0, 50, 440, 10);
    measured.air = {air::AirModel::Measured, 0, 0, 300, 268.15, 98000, 0.2, true};
    QTest::newRow("cannonball, target 50 m up, cold measured air, tail wind") << measured << true;
    QTest::newRow("soccer ball carried past its vacuum range by a tail wind")
        << shot(SoccerBall, 50, 0, 0, 20, 35) << false;
    QTest::newRow("soccer ball lobbed above its vacuum path by a tail wind")
        << shot(SoccerBall, 20, 0, 0, 20, 15) << true;
    air::Shot radar = inFeet(shot(ShotPut, 15, 2, 0, 14, 0));
    radar.projectile.curve = air::DragCurve::Table;
    radar.projectile.table = table("Mach,Cd\n0,0.5\n0.5,0.55\n1.5,1.0\n");
    radar.air.altitude = 1500;
    QTest::newRow("measured table in feet, thrown from 1,500 m up") << radar << true;
}

void TestAirModel::searchesHitTheTarget()
{
    QFETCH(air::Shot, shot);
    QFETCH(bool, vacuumReaches);

    // The reference's own spread, over a minute's flight through a curve smooth only in its
    // slope, is about a millimetre.
    const double millimetres = shot.units == drag::Units::Imperial ? 0.003 / foot : 0.003;
    drag::Shot vacuum{shot, 0, shot.velocity, 0};
    QCOMPARE(drag::vacuumAngles(vacuum).has_value(), vacuumReaches);
    const drag::HitAngles hit = air::hitAngles(shot);
    QCOMPARE(hit.low.outcome, drag::HitOutcome::Found);
    QCOMPARE(hit.high.outcome, drag::HitOutcome::Found);
    QVERIFY(hit.low.value < hit.high.value);
    for (const double angle : {hit.low.value, hit.high.value}) {
        shot.angle = angle;
        const double miss = referenceHeightAtTarget(shot);
        QVERIFY2(std::abs(miss) < millimetres, qPrintable(QString::number(miss)));
    }
    // Beyond the vacuum roots, where a bracket between them would never look.
    if (QByteArray(QTest::currentDataTag()).contains("above its vacuum path"))
        QVERIFY(hit.high.value > drag::vacuumAngles(vacuum)->second);

    shot.angle = (hit.low.value + hit.high.value) / 2;
    const drag::HitVelocity needed = air::hitVelocity(shot);
    const std::optional<air::Flight> flown = air::flyHit(shot, &air::Shot::velocity, needed.hit);
    // At the target, whichever of its distance and its height the flight met first.
    QVERIFY(flown && std::hypot(flown->end.x - shot.sx, flown->end.y - shot.sy) < millimetres);
    shot.velocity = needed.hit.value;
    QVERIFY2(std::abs(referenceHeightAtTarget(shot)) < millimetres, qPrintable(QString::number(flown->miss)));
}

void TestAirModel::outcomesWhenNoneHits_data()
{
    QTest::addColumn<air::Shot>("shot");
    QTest::addColumn<drag::HitOutcome>("low");
    QTest::addColumn<drag::HitOutcome>("high");
    QTest::addColumn<drag::HitOutcome>("velocity"); // at 45 degrees

    using O = drag::HitOutcome;
    QTest::newRow("baseball at 60 m/s, short of 300 m")
        << shot(Baseball, 300, 0, 0, 60, 0) << O::NotReachable << O::NotReachable << O::Found;
    air::Shot far = shot(Baseball, 32000, 0, 0, 60, 0);
    QTest::newRow("baseball, 32 km out of any velocity's reach")
        << far << O::NotReachable << O::NotReachable << O::NotReachable;
    QTest::newRow("blown over the target even when fired at 89.9 degrees")
        << shot(SoccerBall, 20, 0, 0, 30, 15) << O::Found << O::AboveAngleLimit << O::Found;
    QTest::newRow("1 m away: the high angle above 89.9 degrees")
        << shot(BulletG7, 1, 0, 0, 300, 0) << O::Found << O::AboveAngleLimit << O::Found;
    air::Shot invalid = shot(Cannonball, 1000, 0, 0, 150, 0);
    invalid.projectile.mass = 0;
    QTest::newRow("no mass") << invalid << O::InvalidShot << O::InvalidShot << O::InvalidShot;
    invalid = shot(BulletG7, 1000, 0, 0, 850, 0);
    invalid.projectile.ballisticCoefficient = -0.3;
    QTest::newRow("negative ballistic coefficient") << invalid << O::InvalidShot << O::InvalidShot << O::InvalidShot;
    invalid.projectile.curve = air::DragCurve::Table;
    QTest::newRow("a table curve without a table") << invalid << O::InvalidShot << O::InvalidShot << O::InvalidShot;
    invalid = shot(BulletG7, 1000, 0, 0, 850, std::nan(""));
    QTest::newRow("NaN wind") << invalid << O::InvalidShot << O::InvalidShot << O::InvalidShot;
    invalid = shot(BulletG7, 1000, 0, 0, 850, 0);
    invalid.air = {air::AirModel::Measured, 0, 0, 0, 288.15, 101325, 1.5, true};
    QTest::newRow("humidity above 100 %") << invalid << O::InvalidShot << O::InvalidShot << O::InvalidShot;
    invalid = shot(BulletG7, 1000, 0, 0, 850, 0);
    invalid.g = 0;
    QTest::newRow("no gravity") << invalid << O::InvalidShot << O::InvalidShot << O::InvalidShot;
}

void TestAirModel::outcomesWhenNoneHits()
{
    QFETCH(air::Shot, shot);
    QFETCH(drag::HitOutcome, low);
    QFETCH(drag::HitOutcome, high);
    QFETCH(drag::HitOutcome, velocity);

    const drag::HitAngles hit = air::hitAngles(shot);
    QCOMPARE(hit.low.outcome, low);
    QCOMPARE(hit.high.outcome, high);
    if (low == drag::HitOutcome::NotReachable) {
        // The farthest any angle carries it, flown every 0.05 degrees.
        double farthest = 0;
        for (air::Shot s = shot; s.angle < 89.9 * degree; s.angle += 0.05 * degree) {
            s.sx = 1e7;
            farthest = std::max(farthest, air::fly(s).end.x);
        }
        QVERIFY(hit.farthest && std::abs(*hit.farthest / farthest - 1) < 1e-4);
        air::Shot nearer = shot;
        nearer.sx = *hit.farthest * 0.999;
        QCOMPARE(air::hitAngles(nearer).low.outcome, drag::HitOutcome::Found);
        nearer.sx = *hit.farthest * 1.001;
        QCOMPARE(air::hitAngles(nearer).low.outcome, drag::HitOutcome::NotReachable);
    }
    if (low == drag::HitOutcome::InvalidShot && shot.g > 0)
        QCOMPARE(air::fly(shot).arrival, drag::Arrival::InvalidShot);
    shot.angle = std::numbers::pi / 4;
    const drag::HitVelocity v = air::hitVelocity(shot);
    QCOMPARE(v.hit.outcome, velocity);
    if (velocity == drag::HitOutcome::NotReachable)
        QCOMPARE(v.searchedUpTo, drag::maxVelocityFactor * *drag::vacuumVelocity({shot, 0, 1, shot.angle}));
}

void TestAirModel::flagsWhereTheModelRunsOut_data()
{
    QTest::addColumn<air::Shot>("shot");
    QTest::addColumn<QString>("flags"); // b below the table, a above it, t above 11 km, o outside the atmosphere

    air::Shot slow = shot(ShotPut, 10, 0, 0, 14, 0);
    slow.projectile.curve = air::DragCurve::Table;
    slow.projectile.table = table("0.5,0.5\n3,1\n");
    slow.angle = 0.7;
    QTest::newRow("thrown below the table's Mach") << slow << "b";
    air::Shot fast = slow;
    fast.velocity = 500;
    fast.angle = 0.01;
    fast.sx = 100;
    fast.projectile.table = table("0.01,0.5\n1,1\n");
    QTest::newRow("fired above the table's Mach") << fast << "a";
    air::Shot high = shot(BulletG7, 2000, 0, 0, 900, 0);
    high.angle = 1.3;
    high.air.altitude = 8000;
    QTest::newRow("climbs through the tropopause") << high << "t";
    high.air.densityWithHeight = false;
    QTest::newRow("the same in the firing point's air") << high << "";
    high.air.densityWithHeight = true;
    high.air.altitude = 18000;
    QTest::newRow("climbs out of the atmosphere") << high << "to";
    QTest::newRow("G7 bullet within the curve and the troposphere")
        << air::Shot(shot(BulletG7, 500, 0, 0, 900, 0)) << "";
}

void TestAirModel::flagsWhereTheModelRunsOut()
{
    QFETCH(air::Shot, shot);
    QFETCH(QString, flags);

    const air::Flight f = air::fly(shot);
    QVERIFY(f.arrival != drag::Arrival::InvalidShot && f.arrival != drag::Arrival::NoArrival);
    QCOMPARE(f.belowTableMach, flags.contains('b'));
    QCOMPARE(f.aboveTableMach, flags.contains('a'));
    QCOMPARE(f.aboveTroposphere, flags.contains('t'));
    QCOMPARE(f.outsideAtmosphere, flags.contains('o'));
}

void TestAirModel::fields_data()
{
    QTest::addColumn<air::Field>("field");
    QTest::addColumn<drag::Units>("units");
    QTest::addColumn<QString>("text");
    QTest::addColumn<drag::EntryOutcome>("outcome");
    QTest::addColumn<double>("model"); // in SI

    using F = air::Field;
    using O = drag::EntryOutcome;
    const drag::Units m = drag::Units::Metric;
    const drag::Units ft = drag::Units::Imperial;
    QTest::newRow("G7 BC as published") << F::BallisticCoefficient << ft << "0.243" << O::Valid << 170.84590784;
    QTest::newRow("BC of 0") << F::BallisticCoefficient << ft << "0" << O::BelowRange << 0.0;
    QTest::newRow("59 F") << F::Temperature << ft << "59" << O::Valid << 288.15;
    QTest::newRow("29.92 inHg") << F::Pressure << ft << "29.92" << O::Valid << 101320.75888;
    QTest::newRow("1013.25 hPa") << F::Pressure << m << "1013.25" << O::Valid << 101325.0;
    QTest::newRow("5,280 ft up") << F::Altitude << ft << "5280" << O::Valid << 1609.344;
    QTest::newRow("above the tropopause") << F::Altitude << m << "11001" << O::AboveRange << 0.0;
    QTest::newRow("78 %") << F::Humidity << m << "78" << O::Valid << 0.78;
    QTest::newRow("101 %") << F::Humidity << ft << "101" << O::AboveRange << 0.0;
    QTest::newRow("head wind in ft/s") << F::Wind << ft << "-10" << O::Valid << -3.048;
    QTest::newRow("a gale and more") << F::Wind << m << "-51" << O::BelowRange << 0.0;
}

void TestAirModel::fields()
{
    QFETCH(air::Field, field);
    QFETCH(drag::Units, units);
    QFETCH(QString, text);
    QFETCH(drag::EntryOutcome, outcome);
    QFETCH(double, model);

    const drag::FieldRange range = air::fieldRange(field, units);
    const drag::Entry e = drag::readEntry(text.toStdString(), range);
    QCOMPARE(e.outcome, outcome);
    QCOMPARE(drag::entryNote(e, range).empty(), outcome == drag::EntryOutcome::Valid);
    if (outcome != drag::EntryOutcome::Valid)
        return;
    const double si = air::toModel(field, e.value, units);
    QVERIFY2(std::abs(si - model) <= 1e-9 * std::max(1.0, std::abs(model)), qPrintable(QString::number(si, 'g', 12)));
    QVERIFY(std::abs(air::fromModel(field, si, units) - e.value) <= 1e-12 * std::max(1.0, std::abs(e.value)));
}

// Every preset named with its source, and flown over the set-up screen's corners in
// either unit system with and without wind: every flight ends by an event, every figure
// finite.
void TestAirModel::presetsFlyInEitherUnitSystem()
{
    const auto list = air::presets();
    QCOMPARE(list[Cannonball].projectile.curve, air::DragCurve::Sphere);
    QVERIFY(QString(list[Cannonball].source).contains("1,440") && QString(list[Cannonball].source).contains("1,485"));
    QCOMPARE(list[BulletG7].projectile.curve, air::DragCurve::G7);
    QVERIFY(std::abs(list[BulletG7].projectile.ballisticCoefficient - 0.366 * 703.0696) < 1e-3);
    int cases = 0;
    for (std::size_t preset = 0; preset < list.size(); ++preset) {
        QVERIFY(std::string_view(list[preset].source).size() > 40);
        for (const auto &[sx, so, sy] : {std::array{1000.0, 0.0, 0.0}, {1.0, 20000.0, -10000.0}, {32000.0, 0.0, 0.0}})
            for (const double wind : {0.0, 20.0})
                for (const bool feetToo : {false, true}) {
                    air::Shot s = shot(Preset(preset), sx, so, sy, 300, wind);
                    s.angle = 0.6;
                    if (feetToo)
                        s = inFeet(s);
                    const QString where =
                        QStringLiteral("preset %1, %2 %3 %4, wind %5").arg(preset).arg(sx).arg(so).arg(sy).arg(wind);
                    const air::Flight f = air::fly(s, 20);
                    QVERIFY2(f.arrival != drag::Arrival::NoArrival && f.arrival != drag::Arrival::InvalidShot,
                             qPrintable(where));
                    QVERIFY2(std::all_of(f.path.begin(), f.path.end(), finitePoint) && finitePoint(f.end),
                             qPrintable(where));
                    const drag::HitAngles hit = air::hitAngles(s);
                    QVERIFY2(hit.low.outcome != drag::HitOutcome::InvalidShot && std::isfinite(hit.low.value) &&
                                 std::isfinite(hit.high.value) && std::isfinite(hit.farthest.value_or(0)),
                             qPrintable(where));
                    ++cases;
                }
    }
    QCOMPARE(cases, 7 * 3 * 2 * 2);
}

QTEST_GUILESS_MAIN(TestAirModel)
#include "tst_air_model.moc"
