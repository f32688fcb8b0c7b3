#include "screens/comp_mz_vel_record.h"

#include "model/module1.h"
#include "screens/comp_angle_record.h"

namespace comp_mz_vel_record {

AngleRange setUpMinimumAngle(ProblemModel &m)
{
    const AngleRange r = minimumAngleRange(m.TargetDistance, m.FiringElevation, m.TargetElevation);
    if (r.outcome != AngleRangeOutcome::NoHorizontalDistance) {
        m.SightAngle = r.sightAngle;
        m.AngleSpanSteps = r.spanSteps;
    }
    return r;
}

void selectAnglePosition(ProblemModel &m, int position)
{
    m.ElevationAngle = angleForPosition(m.SightAngle.toNumber(), position);
}

MuzzleVelocityReport computeMuzzleVelocity(ProblemModel &m)
{
    MuzzleVelocityReport report = ::computeMuzzleVelocity(comp_angle_record::targetOf(m), m.ElevationAngle);
    if (report.outcome != MuzzleVelocityOutcome::Computed)
        return report;
    const MuzzleVelocity &r = report.figures;
    m.DenominatorTerm1 = r.terms[0];
    m.DenominatorTerm2 = r.terms[1];
    m.DenominatorTerm3 = r.terms[2];
    m.DenominatorTerm4 = r.terms[3];
    m.DenominatorTerm5 = r.terms[4];
    m.VelocityScale = r.velocityScale;
    m.VelocityRoot = r.velocityRoot;
    m.MuzzleVelocity = r.velocity;
    m.FlightTime = r.flightTime;
    return report;
}

} // namespace comp_mz_vel_record
