#include "solvers/air_model.h"

#include "solvers/angle_solver.h"
#include "solvers/flight_integration.h"

#include <boost/math/tools/toms748_solve.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

namespace air {

namespace {

using flight::State;
using flight::Stops;

constexpr double footInM = 0.3048;

// The angle scan's steps from straight down to straight up: 5 degrees, fine enough that
// a pair of roots closer than that is still caught by the search for the best angle.
constexpr int angleSteps = 36;

// How far below the first guess the velocity search goes before it gives up.
constexpr double leastVelocityFactor = 1e-6;

double metresPerUnit(drag::Units units)
{
    return units == drag::Units::Imperial ? footInM : 1.0;
}

bool finite(double v)
{
    return std::isfinite(v);
}

bool valid(const Projectile &p)
{
    const bool body = finite(p.mass) && finite(p.diameter) && p.mass > 0 && p.diameter > 0;
    if (!(finite(p.spinDecayTime) && p.spinDecayTime >= 0) || !finite(p.spin))
        return false;
    // The ball's own drag replaces the law's, so only its body counts.
    if (p.spin != 0)
        return body && p.ball != Ball::None;
    switch (p.curve) {
    case DragCurve::Constant:
        return body && finite(p.dragCoefficient) && p.dragCoefficient >= 0;
    case DragCurve::Sphere:
        return body;
    case DragCurve::Table:
        return body && p.table;
    case DragCurve::G1:
    case DragCurve::G7:
        return finite(p.ballisticCoefficient) && p.ballisticCoefficient > 0;
    }
    return false;
}

// The projectile, the air and the wind; the rest is checked as the drag solver checks it.
bool validInputs(const Shot &shot)
{
    return valid(shot.projectile) && valid(shot.air) && finite(shot.wind);
}

// The drag solver's own shot: one drag coefficient in still air of one density.
bool plain(const Shot &shot)
{
    return shot.projectile.curve == DragCurve::Constant && shot.air.model == AirModel::ConstantDensity &&
           shot.wind == 0 && shot.projectile.spin == 0;
}

drag::Shot dragShot(const Shot &shot)
{
    const Projectile &p = shot.projectile;
    // Per metre, and per foot as a metre's worth of it times a foot in metres.
    const double k =
        drag::dragFactor(p.mass, p.diameter, p.dragCoefficient, shot.air.density) * metresPerUnit(shot.units);
    return {{shot.sx, shot.so, shot.sy, shot.g}, k, shot.velocity, shot.angle};
}

// Cd against Mach, and what turns rho |u|^2 Cd into a deceleration.
struct Drag
{
    std::shared_ptr<const DragTable> table; // none: the constant
    double dragCoefficient = 0;
    double perDensity = 0; // A / (2 m), or pi / (8 BC)

    double at(double mach) const { return table ? table->at(mach) : dragCoefficient; }
};

Drag dragOf(const Projectile &p)
{
    const double areaPerMass = std::numbers::pi * p.diameter * p.diameter / (8 * p.mass);
    switch (p.curve) {
    case DragCurve::Constant:
        return {nullptr, p.dragCoefficient, areaPerMass};
    case DragCurve::Sphere:
        return {standardTable(DragCurve::Sphere), 0, areaPerMass};
    case DragCurve::Table:
        return {p.table, 0, areaPerMass};
    case DragCurve::G1:
    case DragCurve::G7:
        return {standardTable(p.curve), 0, std::numbers::pi / (8 * p.ballisticCoefficient)};
    }
    return {};
}

// A spinning ball's spin along the flight, and what turns its coefficients into
// decelerations.
struct Spinning
{
    Ball ball = Ball::None;
    double rate = 0;  // rad/s at the muzzle, backspin positive; 0 none
    double decay = 0; // 1/s
    double radius = 0;
    double diameter = 0;
    double perDensity = 0; // A / (2 m)

    double at(double t) const { return decay > 0 ? rate * std::exp(-decay * t) : rate; }
};

Spinning spinningOf(const Projectile &p)
{
    if (p.spin == 0)
        return {};
    return {p.ball,
            radiansPerSecond(p.spin),
            p.spinDecayTime > 0 ? 1 / p.spinDecayTime : 0,
            p.diameter / 2,
            p.diameter,
            std::numbers::pi * p.diameter * p.diameter / (8 * p.mass)};
}

// The shot in SI, with its drag and air made ready once for every flight of a search.
struct Model
{
    TargetProblem problem;
    double velocity = 0;
    double angle = 0;
    double wind = 0;
    double unit = 1; // metres per unit of the shot's lengths
    Drag drag;
    AirColumn air;
    Spinning spin;
};

bool valid(const Model &m)
{
    const TargetProblem &p = m.problem;
    const bool numbers = finite(p.sx) && finite(p.so) && finite(p.sy) && finite(p.g) && finite(m.velocity) &&
                         finite(m.angle) && finite(m.wind);
    return numbers && p.sx > 0 && p.g >= 0 && m.velocity > 0 && std::abs(m.angle) <= std::numbers::pi / 2;
}

std::optional<Model> prepare(const Shot &shot)
{
    if (!validInputs(shot))
        return std::nullopt;
    const double unit = metresPerUnit(shot.units);
    Model m{{shot.sx * unit, shot.so * unit, shot.sy * unit, shot.g * unit},
            shot.velocity * unit,
            shot.angle,
            shot.wind * unit,
            unit,
            dragOf(shot.projectile),
            AirColumn(shot.air),
            spinningOf(shot.projectile)};
    // A standard curve whose file the reader refused: no drag to fly with.
    if (shot.projectile.curve != DragCurve::Constant && !m.drag.table && m.spin.rate == 0)
        return std::nullopt;
    if (!valid(m))
        return std::nullopt;
    return m;
}

// Ready for a search of `unknown`, set meanwhile to a valid stand-in; none when the rest
// is invalid or there is no gravity to bring the shot down.
// NOLINTNEXTLINE(performance-unnecessary-value-param): written through the member pointer
std::optional<Model> searchable(Shot shot, double Shot::*unknown, double standIn)
{
    shot.*unknown = standIn;
    std::optional<Model> m = prepare(shot);
    if (!m || !(m->problem.g > 0))
        return std::nullopt;
    return m;
}

// The ball's coefficients at a velocity through the air u and time t; none at rest,
// where neither force acts.
BallCoefficients ballAt(const Model &m, double speed, const AirState &air, double t)
{
    if (!(speed > 0))
        return {};
    const double w = std::abs(m.spin.at(t));
    const Airflow flow{speed, m.spin.radius * w / speed,
                       air.density * speed * m.spin.diameter / airViscosity(air.temperature),
                       w * 30 / std::numbers::pi};
    return ballCoefficients(m.spin.ball, flow);
}

struct Motion
{
    const Model &m;
    void operator()(const State &s, State &d, double t) const
    {
        if (m.spin.rate != 0) {
            spinning(s, d, t);
            return;
        }
        const double ux = s[2] - m.wind;
        const double uy = s[3];
        const double speed = std::sqrt(ux * ux + uy * uy);
        const AirState air = m.air.at(s[1] - m.problem.so);
        const double k = air.density * m.drag.perDensity * m.drag.at(speed / air.speedOfSound);
        d[0] = s[2];
        d[1] = s[3];
        d[2] = -k * speed * ux;
        d[3] = -m.problem.g - k * speed * uy;
    }

    // Lift along (-uy, ux) for backspin: the spin axis crossed with u, whichever way the
    // ball moves through the air.
    void spinning(const State &s, State &d, double t) const
    {
        const double ux = s[2] - m.wind;
        const double uy = s[3];
        const double speed = std::sqrt(ux * ux + uy * uy);
        const AirState air = m.air.at(s[1] - m.problem.so);
        const BallCoefficients c = ballAt(m, speed, air, t);
        const double k = air.density * m.spin.perDensity * speed;
        const double lift = m.spin.at(t) > 0 ? c.lift : -c.lift;
        d[0] = s[2];
        d[1] = s[3];
        d[2] = -k * (c.drag * ux + lift * uy);
        d[3] = -m.problem.g - k * (c.drag * uy - lift * ux);
    }
};

State muzzle(const Model &m)
{
    return {0.0, m.problem.so, m.velocity * std::cos(m.angle), m.velocity * std::sin(m.angle)};
}

template <class OnStep>
flight::Ending integrate(const Model &m, const Stops &stops, OnStep onStep)
{
    const State start = muzzle(m);
    // A first step well inside the quickest change: the climb under gravity, or the
    // slowing down by drag at the muzzle.
    double dt = m.problem.g > 0 ? 1e-3 * m.velocity / m.problem.g : 1e-3 * m.problem.sx / m.velocity;
    const double ux = start[2] - m.wind;
    const double speed = std::sqrt(ux * ux + start[3] * start[3]);
    const AirState air = m.air.at(0);
    const BallCoefficients ball = ballAt(m, speed, air, 0);
    const double slowing =
        m.spin.rate != 0
            ? air.density * m.spin.perDensity * (ball.drag + ball.lift) * std::max(speed, m.velocity)
            : air.density * m.drag.perDensity * m.drag.at(speed / air.speedOfSound) * std::max(speed, m.velocity);
    if (slowing > 0)
        dt = std::min(dt, 1e-2 / slowing);
    return flight::integrate(Motion{m}, start, dt, stops, onStep);
}

flight::Ending integrate(const Model &m, const Stops &stops)
{
    return integrate(m, stops, [](double, const auto &) {});
}

// Marks where a flight went beyond its drag table, its ball's data or its atmosphere.
void watch(const Model &m, const State &s, double t, Flight &f)
{
    if (m.spin.rate != 0) {
        const double ux = s[2] - m.wind;
        const BallCoefficients c = ballAt(m, std::sqrt(ux * ux + s[3] * s[3]), m.air.at(s[1] - m.problem.so), t);
        f.beyondBallData = f.beyondBallData || !c.measured;
    } else if (m.drag.table) {
        const double ux = s[2] - m.wind;
        const double mach = std::sqrt(ux * ux + s[3] * s[3]) / m.air.at(s[1] - m.problem.so).speedOfSound;
        f.belowTableMach = f.belowTableMach || mach < m.drag.table->lowestMach();
        f.aboveTableMach = f.aboveTableMach || mach > m.drag.table->highestMach();
    }
    if (m.air.varies()) {
        const double z = m.air.altitude(s[1] - m.problem.so);
        f.aboveTroposphere = f.aboveTroposphere || z > tropopause;
        f.outsideAtmosphere = f.outsideAtmosphere || z > highestAltitude || z < lowestAltitude;
    }
}

drag::Point inUnits(drag::Point p, double unit)
{
    return {p.t, p.x / unit, p.y / unit, p.vx / unit, p.vy / unit};
}

std::optional<double> heightAtTarget(const Model &m)
{
    const Stops stops = flight::heightStops(m.problem);
    return flight::heightFrom(integrate(m, stops), m.problem, stops);
}

// The height at the target, squeezed, against the quantity searched for; each call
// flies once and counts it.
auto missAtTarget(Model &probe, double Model::*unknown, int &flights)
{
    const double scale = flight::problemScale(probe.problem);
    return [&probe, unknown, scale, &flights](double x) {
        ++flights;
        probe.*unknown = x;
        return flight::squeezed(flight::value(heightAtTarget(probe)), scale);
    };
}

struct Sample
{
    double x = 0;
    double height = 0;
};

// Where among the samples `f` is greatest, refined between the best one's neighbours and
// put in its place among them: its index.
template <class F>
std::size_t greatest(const F &f, std::vector<Sample> &samples)
{
    const auto best = std::max_element(samples.begin(), samples.end(),
                                       [](const Sample &a, const Sample &b) { return a.height < b.height; });
    const std::size_t i = static_cast<std::size_t>(best - samples.begin());
    const double lo = samples[i > 0 ? i - 1 : i].x;
    const double hi = samples[i + 1 < samples.size() ? i + 1 : i].x;
    if (!(lo < hi))
        return i;
    const double x = flight::maximumArgument(f, lo, hi);
    const double height = f(x);
    if (!(height > samples[i].height) || x == samples[i].x)
        return i;
    const auto at =
        std::lower_bound(samples.begin(), samples.end(), x, [](const Sample &s, double v) { return s.x < v; });
    return static_cast<std::size_t>(samples.insert(at, Sample{x, height}) - samples.begin());
}

std::vector<Sample> scan(const auto &f, const std::vector<double> &xs)
{
    std::vector<Sample> samples;
    samples.reserve(xs.size() + 1);
    for (const double x : xs)
        samples.push_back({x, f(x)});
    return samples;
}

// Straight down to straight up in even steps, with the angle limit among them.
std::vector<double> scanAngles()
{
    std::vector<double> angles;
    for (int i = 0; i <= angleSteps; ++i) {
        const double a = -std::numbers::pi / 2 + std::numbers::pi * i / angleSteps;
        if (a > angles::limit && (angles.empty() || angles.back() < angles::limit))
            angles.push_back(angles::limit);
        angles.push_back(a);
    }
    return angles;
}

} // namespace

Flight fly(const Shot &shot, int samples)
{
    Flight result;
    if (!validInputs(shot))
        return result;
    if (plain(shot)) {
        static_cast<drag::Flight &>(result) = drag::fly(dragShot(shot), samples);
        return result;
    }
    const std::optional<Model> model = prepare(shot);
    if (!model)
        return result;
    const Model &m = *model;
    const Stops stops = flight::arrivalStops(m.problem);
    const auto onStep = [&](double t1, const auto &stepper) {
        State s;
        stepper.calc_state(t1, s);
        watch(m, s, t1, result);
    };
    const flight::Ending end = integrate(m, stops, onStep);
    static_cast<drag::Flight &>(result) = flight::flightFrom(end, m.problem);
    watch(m, muzzle(m), 0, result);
    if (end.apex)
        watch(m, {end.apex->x, end.apex->y, end.apex->vx, end.apex->vy}, end.apex->t, result);
    if (samples > 0)
        result.path =
            flight::samplePath(result, muzzle(m), samples, [&](const auto &onStep) { integrate(m, stops, onStep); });

    result.end = inUnits(result.end, m.unit);
    if (result.apex)
        result.apex = inUnits(*result.apex, m.unit);
    for (drag::Point &p : result.path)
        p = inUnits(p, m.unit);
    result.miss /= m.unit;
    result.shortBy /= m.unit;
    return result;
}

std::optional<double> heightAtTarget(const Shot &shot)
{
    if (!validInputs(shot))
        return std::nullopt;
    if (plain(shot))
        return drag::heightAtTarget(dragShot(shot));
    const std::optional<Model> m = prepare(shot);
    if (!m)
        return std::nullopt;
    const std::optional<double> height = heightAtTarget(*m);
    if (!height)
        return std::nullopt;
    return *height / m->unit;
}

drag::HitAngles hitAngles(const Shot &shot)
{
    using drag::HitOutcome;
    drag::HitAngles result;
    if (!validInputs(shot))
        return result;
    if (plain(shot))
        return drag::hitAngles(dragShot(shot));
    std::optional<Model> searched = searchable(shot, &Shot::angle, 0);
    if (!searched)
        return result;
    Model &probe = *searched;
    const TargetProblem problem = probe.problem;
    const double limit = angles::limit;
    const std::vector<double> angles = scanAngles();

    const auto height = missAtTarget(probe, &Model::angle, result.flights);
    const auto root = [&](const Sample &a, const Sample &b) {
        if (a.height == 0)
            return a.x;
        if (b.height == 0)
            return b.x;
        std::uintmax_t iterations = flight::rootIterations;
        const auto r = boost::math::tools::toms748_solve(
            height, a.x, b.x, a.height, b.height,
            [](double lo, double hi) { return std::abs(hi - lo) <= flight::angleTolerance; }, iterations);
        return (r.first + r.second) / 2;
    };
    const auto notReachable = [&] {
        result.low = result.high = {HitOutcome::NotReachable, 0};
        const auto reach = [&](double angle) {
            ++result.flights;
            probe.angle = angle;
            Stops stops = flight::arrivalStops(problem);
            stops.sx = std::numeric_limits<double>::infinity();
            return flight::reachFrom(integrate(probe, stops), problem);
        };
        const auto distance = [&](double angle) { return reach(angle).distance; };
        std::vector<double> below;
        std::copy_if(angles.begin(), angles.end(), std::back_inserter(below), [&](double a) { return a <= limit; });
        std::vector<Sample> reaches = scan(distance, below);
        const Sample best = reaches[greatest(distance, reaches)];
        if (best.height >= 0)
            result.farthest = best.height / probe.unit;
        else
            result.highest = reach(limit).apexHeight / probe.unit;
        return result;
    };

    std::vector<Sample> samples = scan(height, angles);
    const std::size_t top = greatest(height, samples);
    if (samples[top].height < 0)
        return notReachable();
    const double topAngle = samples[top].x;
    const auto limitSample =
        std::find_if(samples.begin(), samples.end(), [&](const Sample &s) { return s.x == limit; });
    const double limitHeight = limitSample->height;

    // The flattest: the first rise through the target below the best angle.
    if (topAngle > limit && limitHeight < 0) {
        result.low = {HitOutcome::AboveAngleLimit, 0};
    } else if (samples.front().height > 0) {
        result.low = {HitOutcome::NotReachable, 0};
    } else {
        const std::size_t end = std::min<std::size_t>(top, static_cast<std::size_t>(limitSample - samples.begin()));
        for (std::size_t j = 0; j < end; ++j)
            if (samples[j].height < 0 && samples[j + 1].height >= 0) {
                result.low = {HitOutcome::Found, root(samples[j], samples[j + 1])};
                break;
            }
        if (samples.front().height == 0)
            result.low = {HitOutcome::Found, samples.front().x};
    }

    // The steepest: the first fall through the target above the best angle, up to the limit.
    if (topAngle >= limit) {
        result.high = {HitOutcome::AboveAngleLimit, 0};
        return result;
    }
    if (limitHeight >= 0)
        result.high = limitHeight > 0 ? drag::Hit{HitOutcome::AboveAngleLimit, 0} : drag::Hit{HitOutcome::Found, limit};
    for (std::size_t j = top; samples[j].x < limit; ++j)
        if (samples[j].height >= 0 && samples[j + 1].height < 0) {
            result.high = {HitOutcome::Found, root(samples[j], samples[j + 1])};
            break;
        }
    return result;
}

drag::HitVelocity hitVelocity(const Shot &shot)
{
    using drag::HitOutcome;
    drag::HitVelocity result;
    if (!validInputs(shot))
        return result;
    if (plain(shot))
        return drag::hitVelocity(dragShot(shot));
    std::optional<Model> searched = searchable(shot, &Shot::velocity, 1);
    if (!searched)
        return result;
    Model &probe = *searched;
    const TargetProblem &p = probe.problem;
    const std::optional<double> vacuum = drag::vacuumVelocity({p, 0, 1, probe.angle});
    const double first = vacuum ? *vacuum : std::sqrt(p.g * flight::problemScale(p));
    const auto height = missAtTarget(probe, &Model::velocity, result.flights);

    // Bracketed from the first guess, halving while the shot still passes above the
    // target and doubling while it passes below.
    double lo = first;
    double hlo = height(lo);
    double hi = lo;
    double hhi = hlo;
    if (hlo >= 0) {
        const double least = leastVelocityFactor * first;
        while (hlo >= 0) {
            if (hlo == 0) {
                result.hit = {HitOutcome::Found, lo / probe.unit};
                return result;
            }
            if (lo <= least) {
                result.hit = {HitOutcome::NotReachable, 0};
                return result;
            }
            hi = lo;
            hhi = hlo;
            lo = lo / 2;
            hlo = height(lo);
        }
    } else {
        const double cap = drag::maxVelocityFactor * first;
        while (hhi < 0) {
            if (hi >= cap) {
                result.hit = {HitOutcome::NotReachable, 0};
                result.searchedUpTo = cap / probe.unit;
                return result;
            }
            lo = hi;
            hlo = hhi;
            hi = std::min(2 * hi, cap);
            hhi = height(hi);
        }
        if (hhi == 0) {
            result.hit = {HitOutcome::Found, hi / probe.unit};
            return result;
        }
    }
    std::uintmax_t iterations = flight::rootIterations;
    const auto r = boost::math::tools::toms748_solve(
        height, lo, hi, hlo, hhi, boost::math::tools::eps_tolerance<double>(flight::velocityBits), iterations);
    result.hit = {HitOutcome::Found, (r.first + r.second) / 2 / probe.unit};
    return result;
}

Figures figures(const drag::Flight &flight)
{
    Figures f;
    f.timeOfFlight = flight.end.t;
    f.arrivalSpeed = std::hypot(flight.end.vx, flight.end.vy);
    f.arrivalAngle = std::atan2(flight.end.vy, flight.end.vx);
    if (flight.apex) {
        f.timeToApex = flight.apex->t;
        f.apexHeight = flight.apex->y;
    }
    return f;
}

// NOLINTNEXTLINE(performance-unnecessary-value-param): written through the member pointer
std::optional<Flight> flyHit(Shot shot, double Shot::*unknown, const drag::Hit &hit, int samples)
{
    if (hit.outcome != drag::HitOutcome::Found)
        return std::nullopt;
    shot.*unknown = hit.value;
    return fly(shot, samples);
}

} // namespace air
