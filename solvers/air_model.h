#pragma once

// Flight through real air: besides gravity a deceleration against the velocity relative
// to the air, rho |u|^2 Cd(M) A / (2 m) with u = v - w, w a wind along the line of fire
// constant with height, M = |u| / a; the density rho and the speed of sound a from the
// atmosphere at the shot's height. For a standard projectile's curve the area per mass is
// the ballistic coefficient's: A Cd / (2 m) = pi Cd_G / (8 BC), BC = m / (i d^2) in kg/m^2.
//
// With one drag coefficient, one density and no wind this is the drag solver's flight,
// and the functions below hand such a shot to it unchanged: their results are its
// results. Every other shot is integrated the same way, with the same events.
//
// The searches bracket from the model itself: the height at the target is scanned over
// every angle from straight down to straight up and each change of sign is closed by
// toms748, so they hold when a tail wind carries a shot above its vacuum path, or a
// spinning ball's lift does.
//
// A spinning ball (ball_aero.h) flies on its own measured drag and lift instead of the
// drag law: both 1/2 rho A C |u|^2, the lift across u in the plane of flight, the spin
// decaying as exp(-t / tau) when a decay time is given. Without spin the ball is not
// read at all, and the shot flies on its drag law exactly as any other.

#include "solvers/atmosphere.h"
#include "solvers/ball_aero.h"
#include "solvers/drag.h"
#include "solvers/drag_inputs.h"
#include "solvers/drag_law.h"
#include "solvers/target_problem.h"

#include <memory>
#include <optional>

namespace air {

// SI, whatever the problem's units.
struct Projectile
{
    DragCurve curve = DragCurve::Constant;
    double dragCoefficient = 0;             // Constant
    std::shared_ptr<const DragTable> table; // Table: the projectile's own Cd against Mach
    double mass = 0;                        // kg: Constant, Sphere, Table
    double diameter = 0;                    // m: Constant, Sphere, Table
    double ballisticCoefficient = 0;        // kg/m^2: G1, G7
    // Spin about the axis across the line of fire, in rpm: backspin positive, topspin
    // negative, 0 none. A spinning ball takes its drag and lift from `ball` (with its
    // mass and diameter) whatever the drag law; spin needs a ball.
    double spin = 0;
    Ball ball = Ball::None;
    double spinDecayTime = 0; // s, the spin's e-folding time; 0 holds the spin
};

// kg/m^2 in a ballistic coefficient of 1 lb/in^2, the unit makers publish them in.
inline constexpr double poundPerSquareInch = 703.0695796;

struct Shot : TargetProblem
{
    drag::Units units = drag::Units::Metric; // sx, so, sy, g, velocity and wind in metres or feet
    double velocity = 0;                     // muzzle velocity
    double angle = 0;                        // radians
    double wind = 0;                         // along the line of fire, a tail wind positive
    Projectile projectile;
    Atmosphere air;
};

struct Flight : drag::Flight
{
    // Where the flight read its drag curve beyond the table's ends (the end values held).
    bool belowTableMach = false;
    bool aboveTableMach = false;
    // Where it rose above 11 km, into the standard's isothermal layer, or beyond the
    // atmosphere's -5 km to 20 km (the edge values held); only with density with height.
    bool aboveTroposphere = false;
    bool outsideAtmosphere = false;
    // Where a spinning ball's spin factor or Reynolds number left the range its
    // coefficients were measured over (the end values held).
    bool beyondBallData = false;
};

// The shot from the muzzle at (0, So) to its first event, in the shot's units; with
// `samples` above 0 the path as well, as drag::fly gives it. InvalidShot besides
// drag::fly's reasons when the projectile or the air is not valid: a mass, diameter or
// ballistic coefficient not above 0, a negative drag coefficient, no table, spin without
// a ball or not finite, a negative decay time, or !valid(air).
Flight fly(const Shot &shot, int samples = 0);

// As drag::heightAtTarget: the height at the target's distance above the target, or a
// negative value continuous in the angle and velocity for a shot that falls far short.
std::optional<double> heightAtTarget(const Shot &shot);

// The flattest and the steepest launch angle at the shot's velocity whose flights pass
// through the target (the shot's angle is not used). A side that none hits says why:
// NotReachable (no angle comes up to the target, and `farthest` or `highest` say how
// near they come), AboveAngleLimit (only angles above 89.9 degrees would, or a shot
// there still passes above the target), InvalidShot. The low side is also NotReachable
// when a tail wind carries even a shot fired straight down above the target.
drag::HitAngles hitAngles(const Shot &shot);

// The muzzle velocity whose flight at the shot's angle passes through the target (the
// shot's velocity is not used), searched from the vacuum velocity (or sqrt(g Sx)) down to
// a millionth of it and up to drag::maxVelocityFactor times it.
drag::HitVelocity hitVelocity(const Shot &shot);

// The figures of a flight that a result shows, in its units.
struct Figures
{
    double timeOfFlight = 0;
    double arrivalSpeed = 0;
    double arrivalAngle = 0; // radians from the horizontal, negative coming down
    std::optional<double> timeToApex;
    std::optional<double> apexHeight;
};

Figures figures(const drag::Flight &flight);

// The flight of a found angle (`unknown` = &Shot::angle) or velocity (&Shot::velocity);
// none unless `hit` was found.
std::optional<Flight> flyHit(Shot shot, double Shot::*unknown, const drag::Hit &hit, int samples = 0);

} // namespace air
