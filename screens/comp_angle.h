#pragma once

#include "screen.h"

class CompAngle : public Screen
{
    Q_OBJECT

public:
    CompAngle();
};
