#pragma once

// Control factories. Each creates its control as a child of `parent` at a
// twips geometry, names it (objectName is the control's name) and gives it its
// font. Screens place controls absolutely: there are no layouts, so nothing
// moves or scales when a window is resized.

#include "toolkit/twips.h"

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QString>
#include <QWidget>

#include <initializer_list>
#include <optional>
#include <string>

class QGroupBox;
class QPainter;
class QRadioButton;

namespace toolkit {

// The model and the solvers write std::string.
inline QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

// The forms' own light palette (Qt's built-in light colours), the same whatever
// the desktop's theme or colour scheme: the forms are a fixed-colour design.
QPalette formPalette();

// Maps the layout tables' font faces onto installed, metric-compatible ones.
// Call once before any control is created (start-up and test set-up).
void installFontSubstitutions();

// A font by face, size in points and weight. The size is fixed in pixels at
// 96 DPI, like the twips geometry, so text keeps fitting its control whatever
// DPI the display reports.
QFont controlFont(const QString &face = QStringLiteral("MS Sans Serif"), double points = 8.25, bool bold = false);

// A two-pixel frame in the highlight colour just inside `widget`'s edge, for
// controls whose style draws no focus of their own (scroll bars, up-downs,
// picture boxes). Call at the end of the widget's paintEvent.
void paintFocusFrame(QWidget *widget, QPainter &painter);

inline const QColor yellow{255, 255, 0};
// Greyed text that stays readable: 7:1 on the button face, so that even
// a thin, anti-aliased "0" keeps 4.5:1.
inline const QColor readableGrey{80, 80, 80};
inline const QColor lightYellow{255, 255, 128};

// A command button that Enter and keypad Enter press as well as Space, as on
// the desktop the forms come from, without becoming a dialog's default button.
// Its caption wraps at word boundaries when it is too wide for one line, as
// the original buttons' did; the text itself stays one line for everything
// that reads it (screen readers, the clipboard).
class CommandButton : public QPushButton
{
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

QPushButton *button(QWidget *parent, const char *name, const QString &caption, TwipsRect r,
                    const QFont &font = controlFont());

enum class BackColour { ButtonFace, Yellow };
void setBackColour(QPushButton *button, BackColour colour);
BackColour backColour(const QPushButton *button);

enum class LabelSizing {
    Fixed,        // keeps its size; text clipped
    Wrap,         // keeps its size; text wrapped at word boundaries
    AutoSize,     // one line; width and height follow the text
    AutoSizeWrap, // keeps its width; height follows the wrapped text
};

struct LabelStyle
{
    QFont font = controlFont();
    Qt::Alignment align = Qt::AlignLeft;
    LabelSizing sizing = LabelSizing::Fixed;
    std::optional<QColor> foreground = {};
    std::optional<QColor> background = {};
};

// A label whose setText() re-applies its sizing, so auto-size labels follow
// captions written at run time. Its top-left corner stays where it was laid
// out, except that a one-line auto-size label whose caption would run past its
// container's right edge moves left just enough to show it whole.
class Label : public QLabel
{
public:
    Label(QWidget *parent, LabelSizing sizing);
    void setText(const QString &text);
    LabelSizing sizing() const { return m_sizing; }

private:
    void fitToText();
    LabelSizing m_sizing;
    std::optional<int> m_laidOutLeft;
};

Label *label(QWidget *parent, const char *name, const QString &text, TwipsRect r, const LabelStyle &style = {});

struct TextBoxStyle
{
    QFont font = controlFont();
    Qt::Alignment align = Qt::AlignCenter;
    std::optional<QColor> background = {};
};

// A value box that shows a text too long for it as its beginning ended with
// "…" at a character boundary, so that no digit shows cut in half; text()
// stays whole.
class ValueBox : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;
    // The whole text, or the longest beginning that fits followed by "…".
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Line
    {
        QRect contents; // inside the frame
        QRect text;     // the line of text within it
    };
    Line line() const;
};

// A display-only text box: disabled, so it never takes focus, and greyed in a
// grey dark enough to read (4.5:1 on button face and on yellow). A text longer
// than the box shows its beginning (see ValueBox) and is whole in the tool tip.
// textChanged fires for every text set from code, which the screens' change
// chains rely on.
QLineEdit *textBox(QWidget *parent, const char *name, const QString &text, TwipsRect r, const TextBoxStyle &style = {});

struct ScrollRange
{
    int minimum = 0;
    int maximum = 32767;
    int smallChange = 1;
    int largeChange = 1;
    int value = 0;
};

// Qt's scroll bars invert their keys (Right lowers a horizontal bar's value) and
// show no focus under Fusion; this one moves Right and Left one small change
// towards the maximum and the minimum and frames itself while focused.
class ScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    using QScrollBar::QScrollBar;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

// Horizontal, tracking off: valueChanged after arrow and track clicks, keys and
// at the end of a drag (the Change event), sliderMoved during a drag (Scroll).
QScrollBar *hScrollBar(QWidget *parent, const char *name, TwipsRect r, const ScrollRange &range);

// A frame's children are positioned relative to the frame's top-left corner;
// disabling the frame disables them.
QGroupBox *frame(QWidget *parent, const char *name, const QString &caption, TwipsRect r,
                 const QFont &font = controlFont());

// Mutually exclusive with the other option buttons of the same parent (frame).
QRadioButton *optionButton(QWidget *parent, const char *name, const QString &caption, TwipsRect r,
                           const QFont &font = controlFont());

// A one-pixel black line between two points given in the parent's twips.
class Line : public QWidget
{
public:
    Line(QWidget *parent, TwipsPoint from, TwipsPoint to);
    QPoint from() const { return m_from; }
    QPoint to() const { return m_to; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPoint m_from;
    QPoint m_to;
};

Line *line(QWidget *parent, const char *name, TwipsPoint from, TwipsPoint to);

// Keyboard focus order, first to last; the first control gets the focus when
// its window is activated.
void setFocusOrder(std::initializer_list<QWidget *> order);

} // namespace toolkit
