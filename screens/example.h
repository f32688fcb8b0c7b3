#pragma once

// The worked example, opened over `Intro`.

#include "screens/screen.h"

class QPushButton;
namespace toolkit {
class FigureBox;
}

class Example : public Screen
{
    Q_OBJECT

public:
    Example();

protected:
    void closeBoxPressed() override;

private:
    toolkit::FigureBox *Image1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;

    void createControls();
    void connectHandlers();

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
};
