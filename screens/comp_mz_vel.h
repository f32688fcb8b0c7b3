#pragma once

// The user picks a launch angle above the line of sight with a scroll bar and
// has the muzzle velocity that hits the target computed, with its figures.
// Opened by the set-up screen's "Next >>" and discarded by "<< Back", so every
// visit loads afresh from the committed problem.

#include "screen.h"

#include <QList>
#include <QStringList>

#include <array>

class QGroupBox;
class ResultExtras;
class QLineEdit;
class QPushButton;
class QScrollBar;
namespace toolkit {
class Label;
class Line;
} // namespace toolkit

class CompMzVel : public Screen
{
    Q_OBJECT

public:
    CompMzVel();

    // Computes for the angle shown and fills the six result boxes.
    void CompMuzVel();

    QGroupBox *Frame1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QScrollBar *HScroll1 = nullptr;
    toolkit::Label *Label9 = nullptr;
    toolkit::Label *Label11 = nullptr;
    QPushButton *Command4 = nullptr;

    QGroupBox *Frame2 = nullptr;
    toolkit::Label *Label10 = nullptr;
    QLineEdit *Text2 = nullptr;
    toolkit::Label *Label12 = nullptr;
    QLineEdit *Text4 = nullptr;
    toolkit::Label *Label13 = nullptr;
    QLineEdit *Text5 = nullptr;
    toolkit::Label *Label14 = nullptr;
    QLineEdit *Text6 = nullptr;

    QGroupBox *Frame3 = nullptr;
    toolkit::Label *Label8 = nullptr;
    toolkit::Label *Label15 = nullptr;
    toolkit::Label *Label1 = nullptr;
    QLineEdit *Text7 = nullptr;
    toolkit::Label *Label16 = nullptr;
    toolkit::Label *Label2 = nullptr;
    toolkit::Label *Label3 = nullptr;
    QLineEdit *Text9 = nullptr;
    toolkit::Label *Label17 = nullptr;
    toolkit::Label *Label4 = nullptr;
    QLineEdit *Text10 = nullptr;
    toolkit::Label *Label18 = nullptr;
    toolkit::Label *Label5 = nullptr;
    QLineEdit *Text13 = nullptr;
    toolkit::Label *Label19 = nullptr;
    toolkit::Label *Label6 = nullptr;
    QLineEdit *Text14 = nullptr;
    toolkit::Label *Label20 = nullptr;
    toolkit::Label *Label7 = nullptr;
    QLineEdit *Text17 = nullptr;
    toolkit::Label *Label21 = nullptr;
    toolkit::Line *Line1 = nullptr;
    toolkit::Line *Line2 = nullptr;
    toolkit::Line *Line3 = nullptr;
    toolkit::Line *Line4 = nullptr;
    toolkit::Line *Line5 = nullptr;
    toolkit::Line *Line6 = nullptr;

    toolkit::Label *Label24 = nullptr;
    toolkit::Label *Label22 = nullptr;
    toolkit::Label *Label23 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command2 = nullptr;

protected:
    void Form_Load() override;

private:
    void createControls();
    void createInputFrames();
    void createOutputFrame();
    void connectHandlers();
    void connectTyping();

    void HScroll1_Change();
    void HScroll1_Scroll();
    void Command4_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    void emptyResults();
    QList<QStringList> resultRows() const;
    void refuseAngleInput(const QString &why);

    std::array<QLineEdit *, 6> m_results{};
    // False when the problem leaves no angle between the line of sight and a right angle.
    bool m_angleRange = false;
    ResultExtras *m_extras = nullptr;
};
