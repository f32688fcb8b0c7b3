#include "solvers/drag.h"

#include "solvers/angle_solver.h"
#include "solvers/flight_integration.h"
#include "solvers/muzzle_velocity.h"

#include <boost/math/tools/toms748_solve.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace drag {

namespace {

using flight::State;
using flight::Stops;

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

State muzzle(const Shot &shot)
{
    return {0.0, shot.so, shot.velocity * std::cos(shot.angle), shot.velocity * std::sin(shot.angle)};
}

// Integrates from the muzzle to the first stop. `onStep(t1, stepper)` sees every
// accepted step, the last one cut short at the stop, and may read the interpolant in it.
template <class OnStep>
flight::Ending integrate(const Shot &shot, const Stops &stops, OnStep onStep)
{
    const Equations equations{shot.k, shot.g};
    const State start = muzzle(shot);
    // A first step well inside the quickest change: the climb under gravity, or the
    // slowing down by drag.
    double dt = shot.g > 0 ? 1e-3 * shot.velocity / shot.g : 1e-3 * shot.sx / shot.velocity;
    if (shot.k > 0)
        dt = std::min(dt, 1e-2 / (shot.k * shot.velocity));
    return flight::integrate(equations, start, dt, stops, onStep);
}

flight::Ending integrate(const Shot &shot, const Stops &stops)
{
    return integrate(shot, stops, [](double, const auto &) {});
}

flight::Reach reachAtTargetHeight(Shot shot, double angle)
{
    shot.angle = angle;
    Stops stops = flight::arrivalStops(shot);
    stops.sx = std::numeric_limits<double>::infinity();
    return flight::reachFrom(integrate(shot, stops), shot);
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
    if (!valid(shot))
        return {};
    const Stops stops = flight::arrivalStops(shot);
    Flight flight = flight::flightFrom(integrate(shot, stops), shot);
    if (samples > 0)
        flight.path = flight::samplePath(flight, muzzle(shot), samples,
                                         [&](const auto &onStep) { integrate(shot, stops, onStep); });
    return flight;
}

std::optional<double> heightAtTarget(const Shot &shot)
{
    if (!valid(shot))
        return std::nullopt;
    const Stops stops = flight::heightStops(shot);
    return flight::heightFrom(integrate(shot, stops), shot, stops);
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
        return flight::squeezed(flight::value(heightAtTarget(probe)), scale);
    };
}

HitAngles hitAngles(const Shot &shot)
{
    HitAngles result;
    std::optional<Shot> searched = searchable(shot, &Shot::angle, 0);
    if (!searched)
        return result;
    Shot &probe = *searched;

    const auto height = missAtTarget(probe, &Shot::angle, flight::problemScale(shot), result.flights);
    const auto root = [&](double lo, double hi, double hlo, double hhi) {
        std::uintmax_t iterations = flight::rootIterations;
        const auto r = boost::math::tools::toms748_solve(
            height, lo, hi, hlo, hhi, [](double a, double b) { return std::abs(b - a) <= flight::angleTolerance; },
            iterations);
        return (r.first + r.second) / 2;
    };
    const auto notReachable = [&] {
        result.low = result.high = {HitOutcome::NotReachable, 0};
        const double sight = std::atan((shot.sy - shot.so) / shot.sx);
        const auto reach = [&](double angle) {
            ++result.flights;
            return reachAtTargetHeight(shot, angle);
        };
        const double best = flight::maximumArgument([&](double a) { return reach(a).distance; }, sight, angles::limit);
        const flight::Reach r = reach(best);
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
    const double top = flight::maximumArgument(height, vacuumLow, vacuumHigh);
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

    const auto height = missAtTarget(probe, &Shot::velocity, flight::problemScale(shot), result.flights);
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
    std::uintmax_t iterations = flight::rootIterations;
    const auto r = boost::math::tools::toms748_solve(
        height, lo, hi, hlo, hhi, boost::math::tools::eps_tolerance<double>(flight::velocityBits), iterations);
    result.hit = {HitOutcome::Found, (r.first + r.second) / 2};
    return result;
}

} // namespace drag
