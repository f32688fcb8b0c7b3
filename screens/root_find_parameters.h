#pragma once

// Tuning of the angle computation, opened over `CompAngle` by "Advanced": the
// tolerance of Newton's method, the increment of the minimum velocity search and
// the iteration limit.

#include "screens/screen.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QScrollBar;
namespace toolkit {
class FigureBox;
class Label;
class Line;
class UpDown;
} // namespace toolkit

class RootFindParameters : public Screen
{
    Q_OBJECT

public:
    RootFindParameters();

protected:
    void Form_Load() override;
    // Leaving through the close box is "Back without changes".
    void closeBoxPressed() override;

private:
    QGroupBox *Frame1 = nullptr;
    toolkit::FigureBox *Image1 = nullptr;
    toolkit::Label *Label3 = nullptr;
    toolkit::Label *Label8 = nullptr;
    QLineEdit *Text4 = nullptr;
    toolkit::UpDown *UpDown1 = nullptr;
    toolkit::Line *Line2 = nullptr;
    toolkit::Line *Line1 = nullptr;
    toolkit::Label *Label1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QScrollBar *HScroll1 = nullptr;
    toolkit::Label *Label6 = nullptr;
    toolkit::Label *Label2 = nullptr;
    QLineEdit *Text2 = nullptr;
    QScrollBar *HScroll2 = nullptr;
    toolkit::Label *Label7 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command1 = nullptr;

    void createControls();
    void connectHandlers();

    void HScroll1_Change();
    void HScroll2_Change();
    void Text4_Change();
    void Command1_Click();
    void Command2_Click();
    void giveWayToAngleScreen();
};
