#pragma once

// Where the target lies from the gun, and the gravity that brings the shot down:
// what every computation of a shot starts from.
struct TargetProblem
{
    double sx = 0; // horizontal distance to the target
    double so = 0; // firing elevation
    double sy = 0; // target elevation
    double g = 0;
};
