#pragma once

// The two super-elevation angles for a given muzzle velocity, by Newton's method on
// the target numerator N(theta) = Sx^2 g - 2 Sx V^2 sin cos - 2 So V^2 cos^2 + 2 Sy V^2 cos^2:
// the low angle (solution 1) on N / (V^2 cos^2) from 0.1 rad, the high angle (solution 2)
// on N itself from 1.5 rad. A fixed start that misses its own root is retried once from
// the closed-form root.

#include "model/dynamic_value.h"
#include "model/figure_text.h"
#include "solvers/target_problem.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

struct AngleProblem : TargetProblem
{
    double v = 0; // muzzle velocity
};

enum class AngleSolution {
    Low,  // solution 1: the flatter trajectory
    High, // solution 2: the lobbed trajectory
};

enum class NewtonOutcome {
    Converged,            // two iterates came closer than TOL: `angle` is the solution
    AngleLimitExceeded,   // an iterate above 89.9 degrees was about to be used
    NotConverged,         // the iterations ran out, or an iterate made the function invalid
                          // (cos = 0, overflow, a non-finite residual, slope or next angle),
                          // or the problem itself is not finite or has no gravity
    NoHorizontalDistance, // Sx is not above 0: there is no equation to solve
};

struct NewtonResult
{
    NewtonOutcome outcome = NewtonOutcome::NoHorizontalDistance;
    double angle = 0.0;     // the solution angle when converged
    long iteration = 0;     // the loop counter where the loop ended (one past the limit when it ran out)
    double theta = 0.0;     // the last iterate used
    double nextAngle = 0.0; // the last finite Newton update
    bool evaluated = false; // some iteration computed the working values below
    double residual = 0.0;  // working values of the last valid iteration
    double slope = 0.0;
    double slopePart1 = 0.0; // solution 1 only
    double slopePart2 = 0.0;
    bool leftHalfTurn = false; // an iterate lay at or beyond a right angle either way
    bool restarted = false;    // the fixed start missed its own root; this run started from the closed form
};

namespace angles {
inline constexpr double lowStart = 0.1;
inline constexpr double highStart = 1.5;
// 89.9 degrees with pi taken as 3.14159.
inline constexpr double limit = 282.428941 / 180;
// Closed-form roots closer than this are one double root: either solution may land on it.
inline constexpr double distinctRoots = 1e-6;
} // namespace angles

// Newton's loop from `start` with solution 1's or solution 2's function, as it stands.
NewtonResult newtonIterate(const AngleProblem &p, AngleSolution which, double start, double tol, double limit);

// tan theta = (V^2 -+ sqrt(V^4 - g (g Sx^2 + 2 (Sy - So) V^2))) / (g Sx): the solution's own root,
// none when the velocity cannot reach the target or Sx is not above 0.
std::optional<double> closedFormAngle(const AngleProblem &p, AngleSolution which);

// One solution: the loop from its fixed start, run again from its closed-form root when the
// start ran past the angle limit, converged to the other solution's root, or strayed beyond a
// right angle either way. Without a root of its own the start's outcome stands; with one above
// the angle limit too, except that a start converged elsewhere reports the limit.
NewtonResult solveAngle(const AngleProblem &p, AngleSolution which, double tol, double limit);

struct SuperElevation
{
    NewtonResult first;
    std::optional<NewtonResult> second; // not attempted after solution 1 ran out of iterations
};

SuperElevation solveSuperElevation(const AngleProblem &p, double tol, double limit);

struct SolutionFigures
{
    double horizontal = 0.0; // V cos theta
    double vertical = 0.0;   // V sin theta
    double timeToApogee = 0.0;
    double flightTime = 0.0; // to the target: the later time at its height, or the arrival while still climbing
    double apogee = 0.0;     // altitude
    // The time to apogee reads "NA" unless the angle text reads above 0.
    figure_text::Texts texts;
};

SolutionFigures solutionFigures(double theta, const AngleProblem &p, bool radians);

namespace notice {
struct Message
{
    std::string text;
    std::string title;
    bool operator==(const Message &) const = default;
};
struct Beep
{
    bool operator==(const Beep &) const = default;
};
} // namespace notice

using Notice = std::variant<notice::Message, notice::Beep>;

struct SolutionReport
{
    NewtonResult result;
    std::optional<SolutionFigures> figures; // when converged: shown in the solution's column
    std::vector<Notice> notices;            // then these, in order
};

struct AngleRun
{
    // Solution 1, then solution 2 when it was attempted; none without a horizontal distance.
    std::vector<SolutionReport> solutions;
};

struct AngleQuestion
{
    AngleProblem problem;
    double tolerance = 0.0;      // TOL, radians
    DynamicValue iterationLimit; // as the root-finding screen keeps it: the message writes it back
    bool radians = false;        // the angles' texts
};

// "Compute Super Elevation Angles": both solutions with their figures or notices.
AngleRun computeSuperElevation(const AngleQuestion &q);
