#pragma once

// The muzzle velocity that carries a shot fired at a chosen angle through the target,
// in closed form V = (Sx / cos theta) sqrt(g / (2 (Sx tan theta - (Sy - So)))), and the
// figures of that trajectory. The angle moves in steps of 1/10000 rad from one step above
// the line of sight to just below a right angle.

#include "model/figure_text.h"
#include "model/typed_value.h"
#include "solvers/target_problem.h"

#include <array>
#include <cstdint>
#include <string>

struct ProblemModel;

enum class AngleRangeOutcome {
    Available,            // positions 1 to the maximum lie between the line of sight and a right angle
    NoHorizontalDistance, // Sx is not above 0: the line of sight has no angle
    NoAngleRange,         // the target is so nearly straight above that the maximum falls below 1
};

struct AngleRange
{
    AngleRangeOutcome outcome = AngleRangeOutcome::NoHorizontalDistance;
    double sightAngle = 0.0;        // phi = atan((Sy - So) / Sx), the minimum angle
    double spanSteps = 0.0;         // (1.57079 - phi) * 10000
    std::int16_t scrollMaximum = 0; // spanSteps - 1, rounded half to even
};

AngleRange minimumAngleRange(double sx, double so, double sy);

// theta = phi + p / 10000
double angleForPosition(double sightAngle, int position);

enum class MuzzleVelocityOutcome {
    Computed,             // V and every figure are finite
    NoHorizontalDistance, // Sx is not above 0
    NoFiniteVelocity,     // theta is not between the line of sight and a right angle (the denominator
                          // sum is not negative), or the velocity overflowed
};

struct MuzzleVelocity
{
    MuzzleVelocityOutcome outcome = MuzzleVelocityOutcome::NoHorizontalDistance;
    std::array<double, 5> terms{}; // the denominator sum's terms, in the order they are added
    double velocityScale = 0.0;    // -1 / D
    double velocityRoot = 0.0;     // ((-g) D)^0.5 Sx
    double velocity = 0.0;
    double horizontal = 0.0;   // V cos theta
    double vertical = 0.0;     // V sin theta
    double timeToApogee = 0.0; // negative for a shot aimed below the horizontal
    double apogee = 0.0;       // altitude
    double flightTime = 0.0;   // to the target: the later time at its height, or the arrival while still climbing
};

MuzzleVelocity muzzleVelocityFor(double sx, double so, double sy, double g, double theta);

namespace muzvel {
inline constexpr double rightAngle = 1.57079;
inline constexpr double stepsPerRadian = 10000;
} // namespace muzvel

enum class AngleTextMoment {
    Load,   // "0.000"
    Change, // "#0.000" in degrees, which reads the same
};

// The angle of a position in the chosen metric, unrounded: radians, or radians * 180 / 3.14159.
double positionAngle(const ProblemModel &model, int position);

// The angle of a position in the chosen metric, from the position rather than the stored angle.
std::string positionAngleText(const ProblemModel &model, int position, AngleTextMoment moment);

// The angle scroll bar's positions as its box shows them after a change; reads the
// model's sight angle and metric when used.
typed::Scale angleScale(const ProblemModel &model, int minimum, int maximum);

// "Min. angle = " and the sight angle in the chosen metric.
std::string minimumAngleText(const ProblemModel &model);

std::string gravityText(double g);

struct MuzzleVelocityReport
{
    MuzzleVelocityOutcome outcome = MuzzleVelocityOutcome::NoHorizontalDistance;
    MuzzleVelocity figures;   // as computed
    figure_text::Texts texts; // empty unless computed; the answer is the velocity
};

// "Compute Muzzle Velocity" for the elevation angle theta (radians).
MuzzleVelocityReport computeMuzzleVelocity(const TargetProblem &p, double theta);
