#pragma once

// What the two result screens have in common: the problem they show, the input
// value with its scroll bar and compute button, the table of figures with one
// column per solution, Back, Print Results and Exit, and the extras (trajectory
// plot, Copy Results). Each screen lays the controls out in its own places and
// says what it computes.

#include "screens/screen.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

namespace figure_text {
struct Texts;
}
namespace typed {
struct Scale;
struct Wording;
} // namespace typed
class QGroupBox;
class QLineEdit;
class QPushButton;
class QScrollBar;
class ResultExtras;
namespace toolkit {
class Label;
}

class ResultScreen : public Screen
{
    Q_OBJECT

protected:
    // `angleGiven`: the screen computes the velocity for a chosen angle.
    ResultScreen(const char *name, const QString &caption, int clientWidthTwips, int clientHeightTwips,
                 bool angleGiven);

    // One solution's boxes, in the order of the table's rows: the answer (angle or
    // velocity), the x and y components, time to apogee, apogee altitude, time of flight.
    struct Column
    {
        toolkit::Label *name = nullptr; // "Solution # 1"
        std::array<QLineEdit *, 6> boxes{};
    };

    // Back, Print Results and Exit; the input's in-place editor.
    void connectCommon(const QString &typingName, const std::function<typed::Scale()> &scale,
                       const std::function<typed::Wording()> &wording, const std::function<QString(int)> &boxText);
    // The problem's boxes and the plot's problem.
    void showProblem(const QString &gravity, const QString &distanceUnit);
    void showFigures(const Column &column, const figure_text::Texts &texts);
    // Every figure box emptied, and the plot's solutions with them.
    void emptyFigures();

    // The input row of Copy Results ("Muzzle velocity", ...) and the unit after g.
    virtual QStringList inputRow() const = 0;
    virtual QString gravityUnit() const = 0;
    QList<QStringList> resultRows() const;

    ResultExtras *extras() const { return m_extras; }

    // The form both screens share, each laying it out in its own places: the input,
    // the problem and the output frames and their captions.
    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QGroupBox *Frame3 = nullptr;
    toolkit::Label *Label2 = nullptr;  // "Muzzle Velocity Components"
    toolkit::Label *Label3 = nullptr;  // "x - direction"
    toolkit::Label *Label4 = nullptr;  // "y - direction"
    toolkit::Label *Label5 = nullptr;  // "Time to apogee"
    toolkit::Label *Label6 = nullptr;  // "Apogee altitude"
    toolkit::Label *Label7 = nullptr;  // "Projectile time of flight"
    toolkit::Label *Label8 = nullptr;  // "Solution # 1"
    toolkit::Label *Label10 = nullptr; // the captions of Sx, g, So and Sy
    toolkit::Label *Label12 = nullptr;
    toolkit::Label *Label13 = nullptr;
    toolkit::Label *Label14 = nullptr;
    toolkit::Label *Label11 = nullptr; // the least velocity or angle

    QLineEdit *Text1 = nullptr; // the input value
    QScrollBar *HScroll1 = nullptr;
    QPushButton *Command4 = nullptr;           // compute
    QLineEdit *Text2 = nullptr;                // Sx
    QLineEdit *Text4 = nullptr;                // g
    QLineEdit *Text5 = nullptr;                // So
    QLineEdit *Text6 = nullptr;                // Sy
    toolkit::Label *Label1 = nullptr;          // the answer's row: "Angle" or "Muzzle Velocity"
    toolkit::Label *Label15 = nullptr;         // "unit"
    std::array<toolkit::Label *, 6> m_units{}; // each row's unit, Label16 to Label21
    std::vector<Column> m_columns;
    QPushButton *Command1 = nullptr; // << Back
    QPushButton *Command3 = nullptr; // Print Results
    QPushButton *Command2 = nullptr; // Exit

private:
    void goBack();

    ResultExtras *m_extras = nullptr;
};
