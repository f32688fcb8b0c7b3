#pragma once

#include "screen.h"

class Setup : public Screen
{
    Q_OBJECT

public:
    Setup();
};
