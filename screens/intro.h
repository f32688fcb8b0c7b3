#pragma once

// The start-up screen: what the program does, with an example figure, and the
// way on to the set-up screen.

#include "screens/screen.h"

class QPushButton;
namespace toolkit {
class FigureBox;
class Label;
} // namespace toolkit

class Intro : public Screen
{
    Q_OBJECT

public:
    Intro();

private:
    toolkit::Label *Label1 = nullptr;
    toolkit::Label *Label2 = nullptr;
    toolkit::FigureBox *Picture1 = nullptr;
    toolkit::Label *Label3 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;

    void createControls();
    void connectHandlers();

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
};
