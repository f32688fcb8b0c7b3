#pragma once

// The first computation's result screen: the user picks a muzzle velocity at or
// above the least one that reaches the target and gets both super-elevation angles
// with the figures of their trajectories.

#include "screens/result_screen.h"

#include <QStringList>

#include <array>

struct AngleRun;
class QLineEdit;
class QPushButton;
class QScrollBar;
namespace toolkit {
class Label;
class Line;
} // namespace toolkit

class CompAngle : public ResultScreen
{
    Q_OBJECT

public:
    CompAngle();

    // TOL and Inc as the root finding parameters screen stored them, with their unit.
    void showStoredSettings();

protected:
    void Form_Load() override;
    QStringList inputRow() const override;
    QString gravityUnit() const override;

private:
    void createControls();
    void createResultTable();
    void connectHandlers();

    void showUnits();
    void refuseWithoutDistance();
    // Text1 set to `text`; the velocity change runs even when the text stays the
    // same, so the result boxes never outlive a move of the scroll bar.
    void setVelocityText(const QString &text);
    QString minVelocityText() const;
    void showSolutions(const AngleRun &run);

    void HScroll1_Change();
    void Text1_Change();
    void Command4_Click();
    void Command5_Click();

    toolkit::Label *Label26 = nullptr; // the velocity unit
    toolkit::Label *Label25 = nullptr; // "Parameters": TOL and Inc below it
    toolkit::Label *Label23 = nullptr;
    toolkit::Label *Label24 = nullptr;
    toolkit::Label *Label9 = nullptr; // "Solution # 2"
    std::array<toolkit::Line *, 7> resultRules{};

    QPushButton *Command5 = nullptr;
    toolkit::Label *Label22 = nullptr;
};
