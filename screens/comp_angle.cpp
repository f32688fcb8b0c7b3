#include "comp_angle.h"

CompAngle::CompAngle() : Screen("CompAngle", QStringLiteral("Compute Angle Given Muzzle Velocity"), 7635, 7620)
{
}
