#include "comp_mz_vel.h"

CompMzVel::CompMzVel() : Screen("CompMzVel", QStringLiteral("Compute Muzzle Velocity Given Angle"), 7605, 7770)
{
}
