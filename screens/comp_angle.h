#pragma once

// The first computation's result screen: the user picks a muzzle velocity at or
// above the least one that reaches the target and gets both super-elevation angles
// with the figures of their trajectories.

#include "screen.h"

#include <QList>
#include <QStringList>

#include <array>

struct AngleRun;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QScrollBar;
class ResultExtras;
namespace toolkit {
class Label;
class Line;
} // namespace toolkit

class CompAngle : public Screen
{
    Q_OBJECT

public:
    CompAngle();

    QGroupBox *Frame1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QPushButton *Command4 = nullptr;
    toolkit::Label *Label26 = nullptr;
    toolkit::Label *Label11 = nullptr;

    QGroupBox *Frame2 = nullptr;
    toolkit::Label *Label10 = nullptr;
    QLineEdit *Text2 = nullptr;
    toolkit::Label *Label12 = nullptr;
    QLineEdit *Text4 = nullptr;
    toolkit::Label *Label13 = nullptr;
    QLineEdit *Text5 = nullptr;
    toolkit::Label *Label14 = nullptr;
    QLineEdit *Text6 = nullptr;
    toolkit::Label *Label25 = nullptr;
    toolkit::Label *Label23 = nullptr;
    toolkit::Label *Label24 = nullptr;

    QGroupBox *Frame3 = nullptr;
    toolkit::Label *Label8 = nullptr;
    toolkit::Label *Label9 = nullptr;
    toolkit::Label *Label15 = nullptr;
    toolkit::Label *Label1 = nullptr;
    QLineEdit *Text7 = nullptr;
    QLineEdit *Text8 = nullptr;
    toolkit::Label *Label16 = nullptr;
    toolkit::Label *Label2 = nullptr;
    toolkit::Label *Label3 = nullptr;
    QLineEdit *Text9 = nullptr;
    QLineEdit *Text11 = nullptr;
    toolkit::Label *Label17 = nullptr;
    toolkit::Label *Label4 = nullptr;
    QLineEdit *Text10 = nullptr;
    QLineEdit *Text12 = nullptr;
    toolkit::Label *Label18 = nullptr;
    toolkit::Label *Label5 = nullptr;
    QLineEdit *Text13 = nullptr;
    QLineEdit *Text15 = nullptr;
    toolkit::Label *Label19 = nullptr;
    toolkit::Label *Label6 = nullptr;
    QLineEdit *Text14 = nullptr;
    QLineEdit *Text16 = nullptr;
    toolkit::Label *Label20 = nullptr;
    toolkit::Label *Label7 = nullptr;
    QLineEdit *Text17 = nullptr;
    QLineEdit *Text18 = nullptr;
    toolkit::Label *Label21 = nullptr;
    std::array<toolkit::Line *, 7> resultRules{};

    QPushButton *Command5 = nullptr;
    toolkit::Label *Label22 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command2 = nullptr;

protected:
    void Form_Load() override;

private:
    void createControls();
    void createResultTable();
    void connectHandlers();
    void connectTyping();

    void showUnits();
    void showProblem();
    void refuseWithoutDistance();
    // Text1 set to `text`; the velocity change runs even when the text stays the
    // same, so the result boxes never outlive a move of the scroll bar.
    void setVelocityText(const QString &text);
    QString minVelocityText() const;
    std::array<QLineEdit *, 12> resultBoxes() const;
    void drawSolutions(const AngleRun &run);
    QList<QStringList> resultRows() const;

    void HScroll1_Change();
    void Text1_Change();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();

    ResultExtras *m_extras = nullptr;
};
