#pragma once

// The user picks a launch angle above the line of sight with a scroll bar and
// has the muzzle velocity that hits the target computed, with its figures.
// Opened by the set-up screen's "Next >>" and discarded by "<< Back", so every
// visit loads afresh from the committed problem.

#include "screens/result_screen.h"

#include <QStringList>

class QLineEdit;
class QPushButton;
class QScrollBar;
namespace toolkit {
class Label;
class Line;
} // namespace toolkit

class CompMzVel : public ResultScreen
{
    Q_OBJECT

public:
    CompMzVel();

    // Computes for the angle shown and fills the six result boxes.
    void CompMuzVel();

protected:
    void Form_Load() override;
    QStringList inputRow() const override;
    QString gravityUnit() const override;

private:
    void createControls();
    void createInputFrames();
    void createOutputFrame();
    void connectHandlers();

    void HScroll1_Change();
    void Command4_Click();
    void refuseAngleInput(const QString &why);

    toolkit::Label *Label9 = nullptr; // the angle unit
    toolkit::Line *Line1 = nullptr;
    toolkit::Line *Line2 = nullptr;
    toolkit::Line *Line3 = nullptr;
    toolkit::Line *Line4 = nullptr;
    toolkit::Line *Line5 = nullptr;
    toolkit::Line *Line6 = nullptr;

    toolkit::Label *Label24 = nullptr;
    toolkit::Label *Label22 = nullptr;
    toolkit::Label *Label23 = nullptr;

    // False when the problem leaves no angle between the line of sight and a right angle.
    bool m_angleRange = false;
};
