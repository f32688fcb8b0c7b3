#pragma once

// What the muzzle velocity screen keeps in the shared record of its answers: the one
// place its computations are written there. The solvers themselves only return results.

#include "solvers/muzzle_velocity.h"

struct ProblemModel;

namespace comp_mz_vel_record {

// Screen load: keeps the sight angle and the span (not for Sx = 0).
AngleRange setUpMinimumAngle(ProblemModel &m);

// Keeps the angle of a scroll position as the angle to compute for.
void selectAnglePosition(ProblemModel &m, int position);

// "CompMuzVel" for the record's elevation angle: keeps the working values, the velocity
// and the time of flight.
MuzzleVelocityReport computeMuzzleVelocity(ProblemModel &m);

} // namespace comp_mz_vel_record
