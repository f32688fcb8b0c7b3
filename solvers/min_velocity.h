#pragma once

// Least muzzle velocity that still reaches the target: the elevation angle is
// stepped upward from just above the line of sight until the velocity for that
// angle, V(a) = Sx * sqrt(g / (2 cos a (Sx sin a - (Sy - So) cos a))), stops changing.

#include "model/typed_value.h"
#include "solvers/target_problem.h"

#include <string>

enum class MinVelocityOutcome {
    Stepped,              // the velocity changed by no more than the threshold: its last value stands
    ExactMinimum,         // the next step would reach a right angle or an infinite velocity (steep line
                          // of sight): the exact least velocity is used instead
    NoHorizontalDistance, // Sx is not above 0: there is no line of sight to step from
};

struct MinVelocitySearch
{
    MinVelocityOutcome outcome = MinVelocityOutcome::NoHorizontalDistance;
    double sightAngle = 0.0;    // phi = atan((Sy - So) / Sx)
    double lastAngle = 0.0;     // the last trial angle taken
    long steps = 0;             // steps taken
    double prevVelocity = 0.0;  // velocity of the step before the last
    double velocity = 0.0;      // velocity of the last step
    double velocityScale = 0.0; // -1 / D at the last step
    double velocityRoot = 0.0;  // Sx * sqrt(-D g) at the last step
    double minVelocity = 0.0;   // the result, 0.001 above the least velocity found
};

namespace minvel {
inline constexpr double startOffset = 0.0001;
inline constexpr double step = 0.00001;
inline constexpr double threshold = 0.00001;
inline constexpr double margin = 0.001;
} // namespace minvel

MinVelocitySearch searchMinVelocity(double sx, double so, double sy, double g);

// sqrt(g (dy + sqrt(Sx^2 + dy^2))) with dy = Sy - So: the exact least velocity.
double exactMinVelocity(double sx, double so, double sy, double g);

struct MinVelocityReport
{
    MinVelocitySearch search;
    std::string caption; // "min. vel = " and the velocity; empty without a distance
};

MinVelocityReport computeMinVelocity(const TargetProblem &p);

// The velocity box's text for a scroll position in tenths of the unit: a position at
// or below ten times the least velocity stands for the least velocity ("###.000").
std::string positionVelocityText(double minVelocity, int position);

// The velocity scroll bar's positions, as its box shows them.
typed::Scale velocityScale(double minVelocity, int minimum, int maximum);
