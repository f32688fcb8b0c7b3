#include "drag.h"

#include "angle_solver.h"
#include "muzzle_velocity.h"

#include <boost/math/tools/minima.hpp>
#include <boost/math/tools/toms748_solve.hpp>
#include <boost/numeric/odeint/stepper/generation.hpp>
#include <boost/numeric/odeint/stepper/runge_kutta_dopri5.hpp>
#include <boost/numeric/odeint/util/odeint_error.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace drag {

namespace {

namespace odeint = boost::numeric::odeint;

using State = std::array<double, 4>; // x, y, vx, vy

// Per step, relative to the size of each component: tight enough that an event found
// on the interpolant lies within micrometres on a flight of kilometres.
constexpr double absTolerance = 1e-10;
constexpr double relTolerance = 1e-10;

// Bracket widths at which the root finders stop: well below a millimetre at the target.
constexpr double angleTolerance = 1e-11; // radians
constexpr int velocityBits = 38;         // relative
constexpr int maximumBits = 16;          // where the best angle lies: only splits the two roots
constexpr std::uintmax_t rootIterations = 100;

// Stands for a flight that reached a cap: below anything a flight gives.
constexpr double lost = -1e300;

struct Equations
{
    double k;
    double g;
    void operator()(const State &s, State &d, double /*t*/) const
    {
        const double speed = std::sqrt(s[2] * s[2] + s[3] * s[3]);
        d[0] = s[2];
        d[1] = s[3];
        d[2] = -k * speed * s[2];
        d[3] = -g - k * speed * s[3];
    }
};

Point point(double t, const State &s)
{
    return {t, s[0], s[1], s[2], s[3]};
}

bool finite(const State &s)
{
    return std::all_of(s.begin(), s.end(), [](double v) { return std::isfinite(v); });
}

bool valid(const Shot &s)
{
    const bool numbers = std::isfinite(s.sx) && std::isfinite(s.so) && std::isfinite(s.sy) && std::isfinite(s.g) &&
                         std::isfinite(s.k) && std::isfinite(s.velocity) && std::isfinite(s.angle);
    return numbers && s.sx > 0 && s.g >= 0 && s.k >= 0 && s.velocity > 0 && std::abs(s.angle) <= std::numbers::pi / 2;
}

// The shot with the quantity searched for set to a valid stand-in; none when the
// rest of the shot is invalid or there is no gravity to bring it down.
std::optional<Shot> searchable(Shot shot, double Shot::*unknown, double standIn)
{
    shot.*unknown = standIn;
    if (!valid(shot) || !(shot.g > 0))
        return std::nullopt;
    return shot;
}

// Where a flight stops: at the distance `sx`, or coming down through either of
// `levels`, whichever comes first.
struct Stops
{
    double sx = std::numeric_limits<double>::infinity();
    std::array<double, 2> levels{-std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    std::array<Arrival, 2> kinds{Arrival::ShortAtHeight, Arrival::ShortAtHeight};
};

struct Ending
{
    Arrival arrival = Arrival::NoArrival;
    double t = 0;
    State state{};
    std::optional<Point> apex;
    int steps = 0;
};

// The root of f in [lo, hi], where f changes sign (or is 0 at an end).
template <class F>
double locate(F f, double lo, double hi, double flo, double fhi)
{
    if (flo == 0)
        return lo;
    if (fhi == 0)
        return hi;
    std::uintmax_t iterations = rootIterations;
    const auto r = boost::math::tools::toms748_solve(f, lo, hi, flo, fhi, boost::math::tools::eps_tolerance<double>(50),
                                                     iterations);
    return (r.first + r.second) / 2;
}

// Integrates from the muzzle to the first stop. `onStep(t1, stepper)` sees every
// accepted step, the last one cut short at the stop, and may read the interpolant in it.
template <class OnStep>
Ending integrate(const Shot &shot, const Stops &stops, OnStep onStep)
{
    const Equations equations{shot.k, shot.g};
    const State start{0.0, shot.so, shot.velocity * std::cos(shot.angle), shot.velocity * std::sin(shot.angle)};
    // A first step well inside the quickest change: the climb under gravity, or the
    // slowing down by drag.
    double dt = shot.g > 0 ? 1e-3 * shot.velocity / shot.g : 1e-3 * shot.sx / shot.velocity;
    if (shot.k > 0)
        dt = std::min(dt, 1e-2 / (shot.k * shot.velocity));

    auto stepper = odeint::make_dense_output(absTolerance, relTolerance, odeint::runge_kutta_dopri5<State>());
    stepper.initialize(start, 0.0, dt);
    const auto at = [&stepper](double t) {
        State s;
        stepper.calc_state(t, s);
        return s;
    };

    Ending end;
    try {
        while (end.steps < maxSteps) {
            const auto [t0, t1] = stepper.do_step(equations);
            ++end.steps;
            const State a = stepper.previous_state();
            const State b = stepper.current_state();
            // Reported as no arrival, with the last finite state as its end.
            if (!finite(b))
                break;

            // vy falls all the time it is positive and never rises above 0 again: the
            // step holds at most one apex, and the height only falls after it.
            double descent = t0;
            double descentHeight = a[1];
            if (a[3] > 0 && b[3] <= 0) {
                const double t = locate([&](double u) { return at(u)[3]; }, t0, t1, a[3], b[3]);
                const State s = at(t);
                end.apex = point(t, s);
                descent = t;
                descentHeight = s[1];
            }

            std::optional<std::pair<double, Arrival>> first;
            const auto consider = [&first](double t, Arrival kind) {
                if (!first || t < first->first)
                    first = std::pair{t, kind};
            };
            if (b[0] >= stops.sx)
                consider(
                    locate([&](double u) { return at(u)[0] - stops.sx; }, t0, t1, a[0] - stops.sx, b[0] - stops.sx),
                    Arrival::AtDistance);
            if (b[3] <= 0)
                for (std::size_t i = 0; i < stops.levels.size(); ++i) {
                    const double level = stops.levels[i];
                    if (descentHeight >= level && b[1] < level)
                        consider(locate([&](double u) { return at(u)[1] - level; }, descent, t1, descentHeight - level,
                                        b[1] - level),
                                 stops.kinds[i]);
                }

            if (first) {
                end.arrival = first->second;
                end.t = first->first;
                end.state = at(end.t);
                if (end.apex && end.apex->t > end.t)
                    end.apex.reset();
                onStep(end.t, stepper);
                return end;
            }
            onStep(t1, stepper);
            end.t = t1;
            end.state = b;
            if (t1 >= maxFlightTime)
                break;
        }
    } catch (const odeint::odeint_error &) {
        // The step size could not be adjusted to the tolerance: reported as no arrival.
    }
    end.arrival = Arrival::NoArrival;
    return end;
}

Ending integrate(const Shot &shot, const Stops &stops)
{
    return integrate(shot, stops, [](double, const auto &) {});
}

// The events a user sees: the target's distance, the target's height on the way down,
// and for a target above, the firing elevation when the shot never rose to the target.
Stops arrivalStops(const Shot &shot)
{
    Stops stops;
    stops.sx = shot.sx;
    stops.levels[0] = shot.sy;
    if (shot.sy > shot.so) {
        stops.levels[1] = shot.so;
        stops.kinds[1] = Arrival::BelowTargetHeight;
    }
    return stops;
}

double value(const std::optional<double> &v)
{
    return v && std::isfinite(*v) ? *v : lost;
}

// The height at the target squeezed into (-scale, scale): unchanged near a hit, so the
// root finders keep their pace there, while misses by whole kilometres no longer
// drag their interpolation towards themselves.
double squeezed(double height, double scale)
{
    return height / (1 + std::abs(height) / scale);
}

double problemScale(const Shot &s)
{
    return std::max({s.sx, std::abs(s.sy - s.so), 1.0});
}

// A depth below both ends of the problem where a shot is surely past hitting anything.
double floorLevel(const Shot &shot)
{
    return std::min(shot.so, shot.sy) - problemScale(shot);
}

double maximumArgument(const auto &f, double lo, double hi)
{
    std::uintmax_t iterations = rootIterations;
    return boost::math::tools::brent_find_minima([&f](double x) { return -f(x); }, lo, hi, maximumBits, iterations)
        .first;
}

// How far at the target's height a shot at `angle` comes down, or when it never rises
// that high, how far below it tops out (negative); and that apex.
struct Reach
{
    double distance = lost;
    double apexHeight = 0;
};

Reach reachAtTargetHeight(Shot shot, double angle)
{
    shot.angle = angle;
    Stops stops = arrivalStops(shot);
    stops.sx = std::numeric_limits<double>::infinity();
    const Ending end = integrate(shot, stops);
    const double apex = end.apex ? end.apex->y : shot.so;
    if (end.arrival == Arrival::ShortAtHeight)
        return {end.state[0], apex};
    if (end.arrival == Arrival::BelowTargetHeight)
        return {apex - shot.sy, apex};
    return {lost, apex};
}

} // namespace

double dragFactor(double mass, double diameter, double dragCoefficient, double airDensity)
{
    const double area = std::numbers::pi * diameter * diameter / 4;
    return airDensity * dragCoefficient * area / (2 * mass);
}

std::optional<double> terminalVelocity(double k, double g)
{
    if (!(k > 0) || !(g > 0))
        return std::nullopt;
    return std::sqrt(g / k);
}

Flight fly(const Shot &shot, int samples)
{
    Flight flight;
    if (!valid(shot))
        return flight;
    const Stops stops = arrivalStops(shot);
    const Ending end = integrate(shot, stops);
    flight.arrival = end.arrival;
    flight.end = point(end.t, end.state);
    flight.apex = end.apex;
    flight.steps = end.steps;
    if (end.arrival == Arrival::AtDistance)
        flight.miss = end.state[1] - shot.sy;
    else if (end.arrival == Arrival::ShortAtHeight || end.arrival == Arrival::BelowTargetHeight)
        flight.shortBy = shot.sx - end.state[0];
    if (samples <= 0)
        return flight;

    // Once more with the same steps, now reading the interpolant at even times.
    const double span = end.t;
    flight.path.reserve(static_cast<std::size_t>(samples) + 3);
    flight.path.push_back(
        point(0.0, {0.0, shot.so, shot.velocity * std::cos(shot.angle), shot.velocity * std::sin(shot.angle)}));
    int next = 1;
    integrate(shot, stops, [&](double t1, const auto &stepper) {
        for (; next < samples; ++next) {
            const double t = span * next / samples;
            if (t > t1)
                break;
            if (flight.apex && flight.path.back().t < flight.apex->t && flight.apex->t < t)
                flight.path.push_back(*flight.apex);
            State s;
            stepper.calc_state(t, s);
            flight.path.push_back(point(t, s));
        }
    });
    if (flight.apex && flight.path.back().t < flight.apex->t)
        flight.path.push_back(*flight.apex);
    flight.path.push_back(flight.end);
    return flight;
}

std::optional<double> heightAtTarget(const Shot &shot)
{
    if (!valid(shot))
        return std::nullopt;
    Stops stops;
    stops.sx = shot.sx;
    stops.levels[0] = floorLevel(shot);
    const Ending end = integrate(shot, stops);
    if (end.arrival == Arrival::AtDistance)
        return end.state[1] - shot.sy;
    if (end.arrival != Arrival::ShortAtHeight)
        return std::nullopt;
    // Along the tangent from the floor to the target's distance: equal to the height
    // there when the floor is met right at that distance, and falling steeply after.
    // Once drag has taken nearly all its horizontal speed, vx is noise about 0.
    const double vx = end.state[2];
    const double extrapolated = stops.levels[0] - shot.sy + end.state[3] * (shot.sx - end.state[0]) / vx;
    if (!(vx > 0) || !(extrapolated > lost / 2))
        return lost / 2;
    return extrapolated;
}

std::optional<std::pair<double, double>> vacuumAngles(const Shot &s)
{
    if (!(s.sx > 0) || !(s.g > 0) || !(s.velocity > 0))
        return std::nullopt;
    const double v2 = s.velocity * s.velocity;
    const double disc = v2 * v2 - s.g * (s.g * s.sx * s.sx + 2 * (s.sy - s.so) * v2);
    if (!(disc >= 0) || !std::isfinite(disc))
        return std::nullopt;
    const double root = std::sqrt(disc);
    const double gsx = s.g * s.sx;
    return std::pair{std::atan((v2 - root) / gsx), std::atan((v2 + root) / gsx)};
}

std::optional<double> vacuumVelocity(const Shot &s)
{
    // The muzzle velocity screen's own closed form, so both start from the same figure.
    const MuzzleVelocity m = muzzleVelocityFor(s.sx, s.so, s.sy, s.g, s.angle);
    if (m.outcome != MuzzleVelocityOutcome::Computed || !(m.velocity > 0))
        return std::nullopt;
    return m.velocity;
}

// The height at the target's distance above the target, squeezed, as a function of the
// quantity searched for; each call flies `probe` once and counts it.
static auto missAtTarget(Shot &probe, double Shot::*unknown, double scale, int &flights)
{
    return [&probe, unknown, scale, &flights](double x) {
        ++flights;
        probe.*unknown = x;
        return squeezed(value(heightAtTarget(probe)), scale);
    };
}

HitAngles hitAngles(const Shot &shot)
{
    HitAngles result;
    std::optional<Shot> searched = searchable(shot, &Shot::angle, 0);
    if (!searched)
        return result;
    Shot &probe = *searched;

    const auto height = missAtTarget(probe, &Shot::angle, problemScale(shot), result.flights);
    const auto root = [&](double lo, double hi, double hlo, double hhi) {
        std::uintmax_t iterations = rootIterations;
        const auto r = boost::math::tools::toms748_solve(
            height, lo, hi, hlo, hhi, [](double a, double b) { return std::abs(b - a) <= angleTolerance; }, iterations);
        return (r.first + r.second) / 2;
    };
    const auto notReachable = [&] {
        result.low = result.high = {HitOutcome::NotReachable, 0};
        const double sight = std::atan((shot.sy - shot.so) / shot.sx);
        const auto reach = [&](double angle) {
            ++result.flights;
            return reachAtTargetHeight(shot, angle);
        };
        const double best = maximumArgument([&](double a) { return reach(a).distance; }, sight, angles::limit);
        const Reach r = reach(best);
        if (r.distance >= 0) {
            result.farthest = r.distance;
        } else {
            result.highest = reach(angles::limit).apexHeight;
        }
        return result;
    };

    // Drag only lowers the trajectory: both roots lie between the vacuum ones.
    const auto vacuum = vacuumAngles(probe);
    if (!vacuum)
        return notReachable();
    const auto [vacuumLow, vacuumHigh] = *vacuum;
    const double top = maximumArgument(height, vacuumLow, vacuumHigh);
    const double topHeight = height(top);
    if (topHeight < 0)
        return notReachable();

    const double limit = angles::limit;
    const double lowEnd = std::min(top, limit);
    const double lowHeight = top > limit ? height(limit) : topHeight;
    const double vacuumLowHeight = height(vacuumLow);
    if (vacuumLow > limit || lowHeight < 0)
        result.low = {HitOutcome::AboveAngleLimit, 0};
    else if (vacuumLowHeight >= 0)
        result.low = {HitOutcome::Found, vacuumLow};
    else
        result.low = {HitOutcome::Found, root(vacuumLow, lowEnd, vacuumLowHeight, lowHeight)};

    const double highEnd = std::min(vacuumHigh, limit);
    const double highEndHeight = top >= limit ? 0.0 : height(highEnd);
    if (top >= limit || (vacuumHigh > limit && highEndHeight > 0))
        result.high = {HitOutcome::AboveAngleLimit, 0};
    else if (highEndHeight >= 0)
        result.high = {HitOutcome::Found, highEnd};
    else
        result.high = {HitOutcome::Found, root(top, highEnd, topHeight, highEndHeight)};
    return result;
}

HitVelocity hitVelocity(const Shot &shot)
{
    HitVelocity result;
    std::optional<Shot> searched = searchable(shot, &Shot::velocity, 1);
    if (!searched)
        return result;
    Shot &probe = *searched;
    const std::optional<double> vacuum = vacuumVelocity(probe);
    if (!vacuum) {
        result.hit = {HitOutcome::NotReachable, 0};
        return result;
    }

    const auto height = missAtTarget(probe, &Shot::velocity, problemScale(shot), result.flights);
    double lo = *vacuum;
    double hlo = height(lo);
    if (hlo >= 0) {
        result.hit = {HitOutcome::Found, lo};
        return result;
    }
    const double cap = maxVelocityFactor * *vacuum;
    double hi = lo;
    double hhi = hlo;
    while (hhi < 0) {
        if (hi >= cap) {
            result.hit = {HitOutcome::NotReachable, 0};
            result.searchedUpTo = cap;
            return result;
        }
        lo = hi;
        hlo = hhi;
        hi = std::min(2 * hi, cap);
        hhi = height(hi);
    }
    std::uintmax_t iterations = rootIterations;
    const auto r = boost::math::tools::toms748_solve(
        height, lo, hi, hlo, hhi, boost::math::tools::eps_tolerance<double>(velocityBits), iterations);
    result.hit = {HitOutcome::Found, (r.first + r.second) / 2};
    return result;
}

} // namespace drag
