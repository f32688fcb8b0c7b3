#include "setup.h"

Setup::Setup() : Screen("Setup", QStringLiteral("Problem Set-up"), 8715, 7815)
{
}
