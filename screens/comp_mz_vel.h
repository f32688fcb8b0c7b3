#pragma once

// The user picks a launch angle above the line of sight with a scroll bar and
// has the muzzle velocity that hits the target computed, with its figures.
// Opened by the set-up screen's "Next >>" and discarded by "<< Back", so every
// visit loads afresh from the committed problem.

#include "result_screen.h"

#include <QStringList>

class QGroupBox;
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

    QGroupBox *Frame1 = nullptr;
    toolkit::Label *Label9 = nullptr;
    toolkit::Label *Label11 = nullptr;

    QGroupBox *Frame2 = nullptr;
    toolkit::Label *Label10 = nullptr;
    toolkit::Label *Label12 = nullptr;
    toolkit::Label *Label13 = nullptr;
    toolkit::Label *Label14 = nullptr;

    QGroupBox *Frame3 = nullptr;
    toolkit::Label *Label8 = nullptr;
    toolkit::Label *Label2 = nullptr;
    toolkit::Label *Label3 = nullptr;
    toolkit::Label *Label4 = nullptr;
    toolkit::Label *Label5 = nullptr;
    toolkit::Label *Label6 = nullptr;
    toolkit::Label *Label7 = nullptr;
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
