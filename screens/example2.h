#pragma once

// The derivation of the equations, opened over `Example`; only ever hidden.

#include "screens/screen.h"

class QPushButton;
namespace toolkit {
class FigureBox;
}

class Example2 : public Screen
{
    Q_OBJECT

public:
    Example2();

protected:
    void closeBoxPressed() override;

private:
    toolkit::FigureBox *Image1 = nullptr;
    QPushButton *Command1 = nullptr;

    void createControls();
    void connectHandlers();

    void Command1_Click();
};
