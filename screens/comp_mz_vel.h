#pragma once

#include "screen.h"

class CompMzVel : public Screen
{
    Q_OBJECT

public:
    CompMzVel();
};
