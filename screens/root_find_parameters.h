#pragma once

#include "screen.h"

class RootFindParameters : public Screen
{
    Q_OBJECT

public:
    RootFindParameters();

protected:
    // Leaving through the close box is "Back without changes".
    void closeBoxPressed() override;
};
