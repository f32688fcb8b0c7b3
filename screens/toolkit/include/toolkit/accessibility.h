#pragma once

// Screen readers announce a control by its accessible name. Text boxes, scroll
// bars and up-down arrows show no text of their own: what they hold is told by
// the labels beside them, so their names are built from those labels.

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

} // namespace toolkit
