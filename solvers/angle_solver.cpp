#include "solvers/angle_solver.h"

#include "model/conversions.h"
#include "model/figure_text.h"

#include <cmath>
#include <numbers>

namespace {

struct Evaluation
{
    bool valid = false;
    double residual = 0.0;
    double slope = 0.0;
    double slopePart1 = 0.0;
    double slopePart2 = 0.0;
};

// N = Sx^2 g - 2 Sx V^2 sin cos - 2 So V^2 cos^2 + 2 Sy V^2 cos^2
double numerator(const AngleProblem &p, double s, double c, double v2, double c2)
{
    const double sx2 = std::pow(p.sx, 2);
    return (((sx2 * p.g) - (((p.sx + p.sx) * s) * v2) * c) - ((p.so + p.so) * v2) * c2) + ((p.sy + p.sy) * v2) * c2;
}

// dN/dtheta = -2 Sx V^2 (cos^2 - sin^2) + 4 So V^2 cos sin - 4 Sy V^2 cos sin
double numeratorSlope(const AngleProblem &p, double s, double c, double v2, double c2, double s2)
{
    return ((((c2 * (p.sx * -2)) * v2) + ((s2 * (p.sx + p.sx)) * v2)) + (((p.so * 4) * v2) * c) * s) -
           (((p.sy * 4) * v2) * c) * s;
}

Evaluation evaluate(const AngleProblem &p, AngleSolution which, double theta)
{
    Evaluation e;
    const double s = std::sin(theta);
    const double c = std::cos(theta);
    if (c == 0)
        return e;
    const double v2 = std::pow(p.v, 2);
    const double c2 = std::pow(c, 2);
    const double s2 = std::pow(s, 2);
    if (which == AngleSolution::Low) {
        const double c3 = std::pow(c, 3);
        // g Sx^2 / (V^2 cos^2) - 2 Sx tan + 2 (Sy - So), and its derivative in two summands:
        // N' / (V^2 cos^2) and the term from differentiating the divisor, 2 sin N / (V^2 cos^3).
        e.residual = numerator(p, s, c, v2, c2) / (v2 * c2);
        e.slopePart1 = numeratorSlope(p, s, c, v2, c2, s2) / (v2 * c2);
        e.slopePart2 = ((s + s) * numerator(p, s, c, v2, c2)) / (v2 * c3);
        e.slope = e.slopePart1 + e.slopePart2;
    } else {
        e.residual = numerator(p, s, c, v2, c2);
        e.slope = numeratorSlope(p, s, c, v2, c2, s2);
    }
    e.valid = std::isfinite(e.residual) && std::isfinite(e.slope) && std::isfinite(e.slopePart1) &&
              std::isfinite(e.slopePart2);
    return e;
}

bool finiteProblem(const AngleProblem &p)
{
    return std::isfinite(p.sx) && std::isfinite(p.so) && std::isfinite(p.sy) && std::isfinite(p.g) &&
           std::isfinite(p.v) && p.g > 0;
}

} // namespace

NewtonResult newtonIterate(const AngleProblem &p, AngleSolution which, double start, double tol, double limit)
{
    NewtonResult r;
    if (!(p.sx > 0))
        return r;
    r.outcome = NewtonOutcome::NotConverged;
    r.theta = start;
    r.nextAngle = start;
    r.iteration = 1;
    if (!finiteProblem(p) || !std::isfinite(start))
        return r;

    double theta = start;
    long k = 1;
    for (; k <= limit; ++k) {
        if (theta > angles::limit) {
            r.outcome = NewtonOutcome::AngleLimitExceeded;
            break;
        }
        const Evaluation e = evaluate(p, which, theta);
        if (!e.valid)
            break;
        const double next = theta - e.residual / e.slope;
        if (!std::isfinite(next))
            break;
        r.evaluated = true;
        r.residual = e.residual;
        r.slope = e.slope;
        r.slopePart1 = e.slopePart1;
        r.slopePart2 = e.slopePart2;
        r.nextAngle = next;
        if (std::fabs(next - theta) < tol) {
            r.outcome = NewtonOutcome::Converged;
            r.angle = next;
            break;
        }
        theta = next;
        r.theta = theta;
        if (!(std::fabs(theta) < std::numbers::pi / 2))
            r.leftHalfTurn = true;
    }
    r.iteration = k;
    return r;
}

std::optional<double> closedFormAngle(const AngleProblem &p, AngleSolution which)
{
    if (!(p.sx > 0) || !finiteProblem(p))
        return std::nullopt;
    const double v2 = p.v * p.v;
    // g (g Sx^2 + 2 (Sy - So) V^2), the product of the two tangents times (g Sx)^2
    const double lift = p.g * (p.g * p.sx * p.sx + 2 * (p.sy - p.so) * v2);
    const double disc = v2 * v2 - lift;
    if (!(disc >= 0) || !std::isfinite(disc))
        return std::nullopt;
    const double wide = v2 + std::sqrt(disc);
    if (which == AngleSolution::High)
        return std::atan(wide / (p.g * p.sx));
    // (V^2 - sqrt(disc)) / (g Sx), written without the cancellation of a fast shot.
    return std::atan(lift / (p.g * p.sx * wide));
}

NewtonResult solveAngle(const AngleProblem &p, AngleSolution which, double tol, double limit)
{
    const double start = which == AngleSolution::Low ? angles::lowStart : angles::highStart;
    const NewtonResult fixed = newtonIterate(p, which, start, tol, limit);
    const std::optional<double> own = closedFormAngle(p, which);
    if (!own)
        return fixed;

    // N has period pi: once an iterate leaves the half turn around the horizontal the loop
    // either wanders until the limit or settles on a copy of a root that fires away from the target.
    bool missed = fixed.outcome == NewtonOutcome::AngleLimitExceeded ||
                  (fixed.outcome == NewtonOutcome::NotConverged && fixed.leftHalfTurn);
    if (fixed.outcome == NewtonOutcome::Converged) {
        const AngleSolution otherSolution = which == AngleSolution::Low ? AngleSolution::High : AngleSolution::Low;
        const double other = *closedFormAngle(p, otherSolution);
        const bool distinct = std::fabs(other - *own) > angles::distinctRoots;
        missed = !(std::fabs(fixed.angle) < std::numbers::pi / 2) ||
                 (distinct && std::fabs(fixed.angle - other) < std::fabs(fixed.angle - *own));
    }
    if (!missed)
        return fixed;
    if (!(*own <= angles::limit)) {
        // Showing the other solution's angle twice would hide that this one lies past 89.9 degrees.
        NewtonResult beyond = fixed;
        if (beyond.outcome == NewtonOutcome::Converged) {
            beyond.outcome = NewtonOutcome::AngleLimitExceeded;
            beyond.angle = 0.0;
        }
        return beyond;
    }
    NewtonResult again = newtonIterate(p, which, *own, tol, limit);
    again.restarted = true;
    return again;
}

SuperElevation solveSuperElevation(const AngleProblem &p, double tol, double limit)
{
    SuperElevation r;
    r.first = solveAngle(p, AngleSolution::Low, tol, limit);
    if (r.first.outcome == NewtonOutcome::NotConverged || r.first.outcome == NewtonOutcome::NoHorizontalDistance)
        return r;
    r.second = solveAngle(p, AngleSolution::High, tol, limit);
    return r;
}

SolutionFigures solutionFigures(double theta, const AngleProblem &p, bool radians)
{
    SolutionFigures f;
    const double v = p.v;
    const double g = p.g;
    f.texts.answer = figure_text::angle(theta, radians);
    f.horizontal = v * std::cos(theta);
    f.texts.horizontal = figure_text::horizontalVelocity(f.horizontal);
    f.vertical = v * std::sin(theta);
    f.texts.vertical = figure_text::verticalVelocity(f.vertical);
    f.timeToApogee = (v * std::sin(theta)) / g;
    // Read back from the angle text: an angle that shows as zero has no apogee after the shot either.
    f.texts.timeToApogee = conv::leadingNumber(f.texts.answer) > 0 ? figure_text::timeToApogee(f.timeToApogee) : "NA";
    if (f.vertical - (g * p.sx) / f.horizontal > 0) {
        // V sin - g Sx / (V cos), the vertical speed at the target's distance, is still upward:
        // the later time at the target's height lies beyond it.
        f.flightTime = p.sx / f.horizontal;
    } else {
        // V^2 sin^2 - 2 g (Sy - So) is a square in exact arithmetic; with the target at the
        // apogee rounding can leave it a hair below zero.
        const double radicand = ((std::pow(v, 2) * std::pow(std::sin(theta), 2)) - (g + g) * p.sy) + (g + g) * p.so;
        // (V sin + sqrt(V^2 sin^2 - 2 g (Sy - So))) / g
        f.flightTime =
            (((2 * v) * std::sin(theta)) + 2 * std::pow(radicand > 0 ? radicand : 0.0, 1.0 / 2)) * (1 / (g + g));
    }
    f.texts.flightTime = figure_text::flightTime(f.flightTime);
    // So + V^2 sin^2 / (2 g)
    f.apogee = (((-g) / 2) * std::pow((v * std::sin(theta)) / g, 2)) +
               ((v * std::sin(theta)) * ((v * std::sin(theta)) / g)) + p.so;
    f.texts.apogee = figure_text::apogee(f.apogee);
    return f;
}

AngleRun computeSuperElevation(const AngleQuestion &q)
{
    AngleRun run;
    const AngleProblem &p = q.problem;
    const SuperElevation solved = solveSuperElevation(p, q.tolerance, q.iterationLimit.toNumber());
    if (solved.first.outcome == NewtonOutcome::NoHorizontalDistance)
        return run;

    const auto report = [&](const NewtonResult &r, AngleSolution which) {
        SolutionReport out{r, std::nullopt, {}};
        switch (r.outcome) {
        case NewtonOutcome::Converged:
            out.figures = solutionFigures(r.angle, p, q.radians);
            break;
        case NewtonOutcome::AngleLimitExceeded:
            out.notices.emplace_back(notice::Message{"Angle exceeds 89.9", "Error"});
            break;
        case NewtonOutcome::NotConverged:
        case NewtonOutcome::NoHorizontalDistance:
            // Solution 1 running out ends the run quietly; solution 2 beeps first.
            if (which == AngleSolution::High)
                out.notices.emplace_back(notice::Beep{});
            out.notices.emplace_back(
                notice::Message{"No convergence in " + q.iterationLimit.toText() + " iterations", "Note!"});
            break;
        }
        return out;
    };
    run.solutions.push_back(report(solved.first, AngleSolution::Low));
    if (solved.second)
        run.solutions.push_back(report(*solved.second, AngleSolution::High));
    return run;
}
