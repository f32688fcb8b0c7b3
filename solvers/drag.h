#pragma once

// Flight through still air: besides gravity a deceleration k |v| v against the velocity,
// k = rho Cd A / (2 m) with A = pi d^2 / 4, in air of constant density. The state is
// integrated by Boost.Odeint's Dormand-Prince 5(4) with error control, and the events
// (apex, the target's distance, coming down through a height) are found on its dense
// output between steps, so their places do not depend on where the steps fall.
//
// A drag trajectory always lies below the vacuum trajectory of the same velocity and
// angle (its path bends by g / vx^2 per unit of distance, and vx only drops), so the
// angles that hit with drag lie between the two vacuum angles, and the velocity that
// hits at a given angle lies above the vacuum one. The searches below start from that.

#include "solvers/target_problem.h"

#include <optional>
#include <vector>

namespace drag {

struct Shot : TargetProblem
{
    double k = 0;        // drag factor, per unit of length; 0 is vacuum
    double velocity = 0; // muzzle velocity
    double angle = 0;    // radians
};

// rho Cd (pi d^2 / 4) / (2 m), in whatever units the four share: kg, m and kg/m^3 give
// it per metre, lb, ft and lb/ft^3 per foot.
double dragFactor(double mass, double diameter, double dragCoefficient, double airDensity);

// sqrt(g / k): what a dropped body's speed approaches; none in vacuum.
std::optional<double> terminalVelocity(double k, double g);

// Safety caps: every valid shot ends by an event long before either, but a flight that
// reaches one ends there and says so instead of running on.
inline constexpr double maxFlightTime = 1e6; // seconds
inline constexpr int maxSteps = 100000;

enum class Arrival {
    AtDistance,        // reached the target's distance: `miss` is its height there above the target
    ShortAtHeight,     // came down through the target's height `shortBy` before its distance
    BelowTargetHeight, // never rose to the target's height; came back down through the firing
                       // elevation `shortBy` before the target's distance
    NoArrival,         // none of these within maxFlightTime or maxSteps, or the integration failed
    InvalidShot,       // a non-finite input, Sx not above 0, g or k below 0, velocity not above 0,
                       // or an angle beyond +-90 degrees
};

struct Point
{
    double t = 0;
    double x = 0;
    double y = 0;
    double vx = 0;
    double vy = 0;
};

struct Flight
{
    Arrival arrival = Arrival::InvalidShot;
    Point end;                 // where the flight ended: at its event, or where a cap stopped it
    double miss = 0;           // AtDistance: height above the target (negative below)
    double shortBy = 0;        // ShortAtHeight, BelowTargetHeight: Sx - x
    std::optional<Point> apex; // the highest point, when the shot climbs and tops out before its end
    int steps = 0;             // accepted integration steps
    std::vector<Point> path;   // when asked for: the muzzle, even steps of time, the apex, the end
};

// The shot from the muzzle at (0, So) to its first event. With `samples` above 0 the
// path holds that many even steps of time from the muzzle to the end, with the apex.
Flight fly(const Shot &shot, int samples = 0);

// The height at the target's distance above the target, negative below. A shot that
// falls far below both the firing point and the target before getting there (or never
// gets there) gives instead a value extrapolated along its path from that depth: still
// negative and continuous in the velocity and angle, so root finders can bracket it.
// None for an invalid shot or one that reached a cap.
std::optional<double> heightAtTarget(const Shot &shot);

enum class HitOutcome {
    Found,           // `value` hits the target
    AboveAngleLimit, // the high angle lies above 89.9 degrees: a shot there still passes above the target
    NotReachable,    // no angle (no velocity within the cap) reaches the target
    InvalidShot,     // as for a flight, or no gravity
};

struct Hit
{
    HitOutcome outcome = HitOutcome::InvalidShot;
    double value = 0; // radians or velocity
};

struct HitAngles
{
    Hit low;  // the flatter angle that hits
    Hit high; // the steeper angle that hits
    // When no angle reaches the target: the farthest distance at which a shot at this
    // velocity comes down through the target's height, or none when no shot rises that
    // high, and then the highest it rises.
    std::optional<double> farthest;
    double highest = 0;
    int flights = 0; // trajectories integrated
};

// The two launch angles whose drag trajectories at the shot's velocity pass through the
// target (the shot's angle is not used), found by toms748 on heightAtTarget either side
// of the angle that carries highest at the target's distance.
HitAngles hitAngles(const Shot &shot);

// The muzzle velocity above the vacuum one is searched up to this multiple of it.
inline constexpr double maxVelocityFactor = 100;

struct HitVelocity
{
    Hit hit;
    double searchedUpTo = 0; // the highest velocity tried when none hits
    int flights = 0;
};

// The muzzle velocity whose drag trajectory at the shot's angle passes through the
// target (the shot's velocity is not used).
HitVelocity hitVelocity(const Shot &shot);

// The vacuum roots, tan theta = (V^2 -+ sqrt(V^4 - g (g Sx^2 + 2 (Sy - So) V^2))) / (g Sx).
std::optional<std::pair<double, double>> vacuumAngles(const Shot &shot);

// V = (Sx / cos theta) sqrt(g / (2 (Sx tan theta - (Sy - So)))); none below the line of sight.
std::optional<double> vacuumVelocity(const Shot &shot);

} // namespace drag
