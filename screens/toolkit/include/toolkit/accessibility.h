#pragma once

// Screen readers announce a control by its accessible name. Text boxes, scroll
// bars and up-down arrows show no text of their own: what they hold is told by
// the labels beside them, so their names are built from those labels.

class QLineEdit;
class QScrollBar;
class QString;
class QWidget;

namespace toolkit {

// Gives each text box, scroll bar and up-down control of `window` (the screen's
// own, which have object names) that has no accessible name yet one made from
// what a sighted user reads beside it:
//   - the nearest label to its left on the same row,
//   - for a cell of a table, the column heading above it ("Angle, Solution # 1"),
//   - failing both, the title of the frame that holds it.
// Call once the controls are created and their captions set.
void nameControlsFromLabels(QWidget *window);

// A scroll bar's position means nothing to a listener (7854 for 45°): the
// toolkit's bars tell the value the user reads instead, the text of the value
// box they are paired with and the unit caption to that box's right on its row
// ("45.000 Degrees"). It is their accessible value text and, because the Linux
// bridge passes a value on only as a number, the start of their description,
// followed by whatever the bar's own description holds (the value editor's
// notes). Call before the first bar is made.
void installValueSpeech();
void pairValueBox(QScrollBar *bar, QLineEdit *box);
QString spokenValue(const QScrollBar *bar);

} // namespace toolkit
