#pragma once

// What the angle screen keeps in the shared record of its answers: the one place its
// computations are written there. The solvers themselves only return results.

#include "solvers/angle_solver.h"
#include "solvers/min_velocity.h"

struct ProblemModel;

namespace comp_angle_record {

// The committed problem as the solvers take it.
TargetProblem targetOf(const ProblemModel &m);

// "ComputeMinVelocity": the search on the committed problem; keeps the sight angle, the
// search's last steps and the least velocity.
MinVelocityReport computeMinVelocity(ProblemModel &m);

// "Compute Super Elevation Angles" with the record's velocity, TOL and iteration limit;
// keeps each solution's working values and time of flight.
AngleRun computeSuperElevation(ProblemModel &m);

} // namespace comp_angle_record
