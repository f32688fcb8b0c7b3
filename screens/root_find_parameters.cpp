#include "root_find_parameters.h"

#include "screens.h"

RootFindParameters::RootFindParameters()
    : Screen("RootFindParameters", QStringLiteral("Root finding parameters"), 9135, 7425)
{
}

void RootFindParameters::closeBoxPressed()
{
    Screens::discard<RootFindParameters>();
}
