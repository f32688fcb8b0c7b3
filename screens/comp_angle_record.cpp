#include "screens/comp_angle_record.h"

#include "model/module1.h"

#include <cstdint>
#include <limits>

namespace comp_angle_record {
namespace {

void keepWorkingValues(ProblemModel &m, const NewtonResult &r, AngleSolution which)
{
    m.ElevationAngle = r.theta;
    m.NextAngle = r.nextAngle;
    m.IterationCounter = r.iteration <= std::numeric_limits<std::int32_t>::max()
                             ? DynamicValue{static_cast<std::int32_t>(r.iteration)}
                             : DynamicValue{static_cast<double>(r.iteration)};
    if (!r.evaluated)
        return;
    m.AngleResidual = r.residual;
    m.AngleSlope = r.slope;
    if (which == AngleSolution::Low) {
        m.AngleSlopePart1 = r.slopePart1;
        m.AngleSlopePart2 = r.slopePart2;
    }
}

} // namespace

TargetProblem targetOf(const ProblemModel &m)
{
    return {m.TargetDistance, m.FiringElevation, m.TargetElevation, m.Gravity};
}

MinVelocityReport computeMinVelocity(ProblemModel &m)
{
    MinVelocityReport report = ::computeMinVelocity(targetOf(m));
    const MinVelocitySearch &r = report.search;
    if (r.outcome == MinVelocityOutcome::NoHorizontalDistance)
        return report;

    m.SightAngle = r.sightAngle;
    m.Increment = minvel::step;
    m.SearchAngle = r.lastAngle;
    if (r.steps == 0) {
        m.SearchPrevVelocity = DynamicValue{std::int32_t{200000}};
        m.SearchVelocity = DynamicValue{std::int32_t{199990}};
    } else {
        // After a single step the previous velocity is still the whole-number start value.
        m.SearchPrevVelocity = r.steps == 1 ? DynamicValue{std::int32_t{199990}} : DynamicValue{r.prevVelocity};
        m.SearchVelocity = r.velocity;
        m.SearchVelocityScale = r.velocityScale;
        m.SearchVelocityRoot = r.velocityRoot;
    }
    m.MinVelocity = r.minVelocity;
    return report;
}

AngleRun computeSuperElevation(ProblemModel &m)
{
    const AngleQuestion q{
        {targetOf(m), m.MuzzleVelocity.toNumber()}, m.Tolerance, m.MaxIterations, m.AngleUnitCode == "r"};
    AngleRun run = ::computeSuperElevation(q);
    for (std::size_t i = 0; i < run.solutions.size(); ++i) {
        const SolutionReport &s = run.solutions[i];
        const AngleSolution which = i == 0 ? AngleSolution::Low : AngleSolution::High;
        keepWorkingValues(m, s.result, which);
        if (s.figures)
            (which == AngleSolution::Low ? m.FlightTime1 : m.FlightTime2) = s.figures->flightTime;
    }
    return run;
}

} // namespace comp_angle_record
