#pragma once

// The problem description: units, the three positions and which quantity to
// compute. Groups open one after another as the previous one is answered;
// "Next >>" commits the entries to Module1 and opens the chosen result screen.
// The screen is only ever hidden, so every entry survives trips away from it.

#include "screens/screen.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
namespace toolkit {
class FigureBox;
class Label;
} // namespace toolkit

class Setup : public Screen
{
    Q_OBJECT

public:
    Setup();

protected:
    void Form_Load() override;

private:
    toolkit::Label *Label1 = nullptr;
    toolkit::FigureBox *Picture1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QRadioButton *Option3 = nullptr;
    QRadioButton *Option4 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QRadioButton *Option5 = nullptr;
    QRadioButton *Option6 = nullptr;
    QGroupBox *Frame3 = nullptr;
    toolkit::Label *Label3 = nullptr;
    QScrollBar *HScroll2 = nullptr;
    QLineEdit *Text2 = nullptr;
    toolkit::Label *Label6 = nullptr;
    toolkit::Label *Label2 = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QLineEdit *Text1 = nullptr;
    toolkit::Label *Label7 = nullptr;
    toolkit::Label *Label4 = nullptr;
    QScrollBar *HScroll3 = nullptr;
    QLineEdit *Text3 = nullptr;
    toolkit::Label *Label8 = nullptr;
    QGroupBox *Frame4 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    toolkit::Label *Label5 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;

    void createControls();
    void connectHandlers();
    void connectTyping(QScrollBar *bar, QLineEdit *box, const QString &name);
    void whenChosen(QRadioButton *option, void (Setup::*handler)());
    void showDistanceUnit(const QString &name);

    void HScroll1_Change();
    void HScroll2_Change();
    void HScroll3_Change();
    void Text1_Change();
    void Text2_Change();
    void Text3_Change();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();
    void Option5_Click();
    void Option6_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
};
