#pragma once

// What every flight through air shares, whatever slows it: Dormand-Prince 5(4) with error
// control from the muzzle, the events (apex, the target's distance, coming down through
// a height) found on its dense output between steps, and the height at the target that
// the searches bracket. The drag solver and the air model both integrate through it, so a
// flight's events and the searches' numbers mean the same in either.
//
// Internal to the solvers: the state is x, y, vx, vy over the ground, in the caller's units.

#include "solvers/drag.h"
#include "solvers/target_problem.h"

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
#include <optional>
#include <utility>
#include <vector>

namespace flight {

namespace odeint = boost::numeric::odeint;

using State = std::array<double, 4>; // x, y, vx, vy

// Per step, relative to the size of each component: tight enough that an event found
// on the interpolant lies within micrometres on a flight of kilometres.
inline constexpr double absTolerance = 1e-10;
inline constexpr double relTolerance = 1e-10;

// Bracket widths at which the root finders stop: well below a millimetre at the target.
inline constexpr double angleTolerance = 1e-11; // radians
inline constexpr int velocityBits = 38;         // relative
inline constexpr int maximumBits = 16;          // where the best angle lies: only splits the two roots
inline constexpr std::uintmax_t rootIterations = 100;

// Stands for a flight that reached a cap: below anything a flight gives.
inline constexpr double lost = -1e300;

inline drag::Point point(double t, const State &s)
{
    return {t, s[0], s[1], s[2], s[3]};
}

inline bool finite(const State &s)
{
    return std::all_of(s.begin(), s.end(), [](double v) { return std::isfinite(v); });
}

// Where a flight stops: at the distance `sx`, or coming down through either of
// `levels`, whichever comes first.
struct Stops
{
    double sx = std::numeric_limits<double>::infinity();
    std::array<double, 2> levels{-std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    std::array<drag::Arrival, 2> kinds{drag::Arrival::ShortAtHeight, drag::Arrival::ShortAtHeight};
};

struct Ending
{
    drag::Arrival arrival = drag::Arrival::NoArrival;
    double t = 0;
    State state{};
    std::optional<drag::Point> apex;
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

// Integrates `equations` from `start` to the first stop, trying `dt` first. `onStep(t1,
// stepper)` sees every accepted step, the last one cut short at the stop, and may read
// the interpolant in it.
template <class Equations, class OnStep>
Ending integrate(const Equations &equations, const State &start, double dt, const Stops &stops, OnStep onStep)
{
    auto stepper = odeint::make_dense_output(absTolerance, relTolerance, odeint::runge_kutta_dopri5<State>());
    stepper.initialize(start, 0.0, dt);
    const auto at = [&stepper](double t) {
        State s;
        stepper.calc_state(t, s);
        return s;
    };

    Ending end;
    try {
        while (end.steps < drag::maxSteps) {
            const auto [t0, t1] = stepper.do_step(equations);
            ++end.steps;
            const State a = stepper.previous_state();
            const State b = stepper.current_state();
            // Reported as no arrival, with the last finite state as its end.
            if (!finite(b))
                break;

            // Under drag alone vy falls all the time it is positive and never rises above
            // 0 again; a spinning ball's lift can lift it once more, so a flight may top out
            // more than once and its apex is the highest. A step holds at most one.
            double descent = t0;
            double descentHeight = a[1];
            std::optional<drag::Point> stepApex;
            if (a[3] > 0 && b[3] <= 0) {
                const double t = locate([&](double u) { return at(u)[3]; }, t0, t1, a[3], b[3]);
                const State s = at(t);
                stepApex = point(t, s);
                descent = t;
                descentHeight = s[1];
            }
            const auto keepApex = [&end](const drag::Point &p) {
                if (!end.apex || p.y > end.apex->y)
                    end.apex = p;
            };

            std::optional<std::pair<double, drag::Arrival>> first;
            const auto consider = [&first](double t, drag::Arrival kind) {
                if (!first || t < first->first)
                    first = std::pair{t, kind};
            };
            if (b[0] >= stops.sx)
                consider(
                    locate([&](double u) { return at(u)[0] - stops.sx; }, t0, t1, a[0] - stops.sx, b[0] - stops.sx),
                    drag::Arrival::AtDistance);
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
                if (stepApex && stepApex->t <= end.t)
                    keepApex(*stepApex);
                onStep(end.t, stepper);
                return end;
            }
            if (stepApex)
                keepApex(*stepApex);
            onStep(t1, stepper);
            end.t = t1;
            end.state = b;
            if (t1 >= drag::maxFlightTime)
                break;
        }
    } catch (const odeint::odeint_error &) {
        // The step size could not be adjusted to the tolerance: reported as no arrival.
    }
    end.arrival = drag::Arrival::NoArrival;
    return end;
}

// The path of `flight`: the muzzle, `samples` even steps of time from it to the end, the
// apex and the end. `again(onStep)` integrates the flight once more with the same steps,
// and the points are read from its interpolant.
template <class Again>
std::vector<drag::Point> samplePath(const drag::Flight &flight, const State &start, int samples, Again again)
{
    std::vector<drag::Point> path;
    const double span = flight.end.t;
    path.reserve(static_cast<std::size_t>(samples) + 3);
    path.push_back(point(0.0, start));
    int next = 1;
    again([&](double t1, const auto &stepper) {
        for (; next < samples; ++next) {
            const double t = span * next / samples;
            if (t > t1)
                break;
            if (flight.apex && path.back().t < flight.apex->t && flight.apex->t < t)
                path.push_back(*flight.apex);
            State s;
            stepper.calc_state(t, s);
            path.push_back(point(t, s));
        }
    });
    if (flight.apex && path.back().t < flight.apex->t)
        path.push_back(*flight.apex);
    path.push_back(flight.end);
    return path;
}

// The events a user sees: the target's distance, the target's height on the way down,
// and for a target above, the firing elevation when the shot never rose to the target.
inline Stops arrivalStops(const TargetProblem &problem)
{
    Stops stops;
    stops.sx = problem.sx;
    stops.levels[0] = problem.sy;
    if (problem.sy > problem.so) {
        stops.levels[1] = problem.so;
        stops.kinds[1] = drag::Arrival::BelowTargetHeight;
    }
    return stops;
}

// A flight as the caller sees it, from where it ended.
inline drag::Flight flightFrom(const Ending &end, const TargetProblem &problem)
{
    drag::Flight flight;
    flight.arrival = end.arrival;
    flight.end = point(end.t, end.state);
    flight.apex = end.apex;
    flight.steps = end.steps;
    if (end.arrival == drag::Arrival::AtDistance)
        flight.miss = end.state[1] - problem.sy;
    else if (end.arrival == drag::Arrival::ShortAtHeight || end.arrival == drag::Arrival::BelowTargetHeight)
        flight.shortBy = problem.sx - end.state[0];
    return flight;
}

inline double value(const std::optional<double> &v)
{
    return v && std::isfinite(*v) ? *v : lost;
}

// The height at the target squeezed into (-scale, scale): unchanged near a hit, so the
// root finders keep their pace there, while misses by whole kilometres no longer
// drag their interpolation towards themselves.
inline double squeezed(double height, double scale)
{
    return height / (1 + std::abs(height) / scale);
}

inline double problemScale(const TargetProblem &s)
{
    return std::max({s.sx, std::abs(s.sy - s.so), 1.0});
}

// A depth below both ends of the problem where a shot is surely past hitting anything.
inline double floorLevel(const TargetProblem &problem)
{
    return std::min(problem.so, problem.sy) - problemScale(problem);
}

// Where the height at the target is read: the target's distance, or the floor.
inline Stops heightStops(const TargetProblem &problem)
{
    Stops stops;
    stops.sx = problem.sx;
    stops.levels[0] = floorLevel(problem);
    return stops;
}

// The height at the target's distance above the target, from a flight stopped by
// heightStops; none when it reached a cap.
inline std::optional<double> heightFrom(const Ending &end, const TargetProblem &problem, const Stops &stops)
{
    if (end.arrival == drag::Arrival::AtDistance)
        return end.state[1] - problem.sy;
    if (end.arrival != drag::Arrival::ShortAtHeight)
        return std::nullopt;
    // Along the tangent from the floor to the target's distance: equal to the height
    // there when the floor is met right at that distance, and falling steeply after.
    // Once drag has taken nearly all its horizontal speed, vx is noise about 0.
    const double vx = end.state[2];
    const double extrapolated = stops.levels[0] - problem.sy + end.state[3] * (problem.sx - end.state[0]) / vx;
    if (!(vx > 0) || !(extrapolated > lost / 2))
        return lost / 2;
    return extrapolated;
}

template <class F>
double maximumArgument(const F &f, double lo, double hi)
{
    std::uintmax_t iterations = rootIterations;
    return boost::math::tools::brent_find_minima([&f](double x) { return -f(x); }, lo, hi, maximumBits, iterations)
        .first;
}

// How far at the target's height a shot comes down, or when it never rises that high,
// how far below it tops out (negative); and that apex.
struct Reach
{
    double distance = lost;
    double apexHeight = 0;
};

// From a flight stopped by arrivalStops without the target's distance.
inline Reach reachFrom(const Ending &end, const TargetProblem &problem)
{
    const double apex = end.apex ? end.apex->y : problem.so;
    if (end.arrival == drag::Arrival::ShortAtHeight)
        return {end.state[0], apex};
    if (end.arrival == drag::Arrival::BelowTargetHeight)
        return {apex - problem.sy, apex};
    return {lost, apex};
}

} // namespace flight
