#pragma once

// The forms are laid out in twips for a desktop of 96 DPI. On a small or
// scaled screen a form can be larger than the room its window has: that
// window is then made as large as the room and the form scrolls inside it, so
// its title bar stays on the screen and every control can be reached. Where
// the form fits, nothing of this is there.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QScrollArea;
class QWidget;

namespace toolkit {

struct WindowFit
{
    QPoint framePosition; // the window's top-left corner, frame included
    QSize client;         // the window's inside, where the form shows
    bool scrolls = false; // the inside is smaller than the form
};

// A window showing a form of `form` pixels, with a frame of `frame` around it,
// on a screen whose free area is `available`: centred, as large as the form
// where it fits; otherwise as large as the area allows, with room for a scroll
// bar `scrollBarExtent` thick along each side the form overflows.
WindowFit fitWindow(QSize form, QMargins frame, const QRect &available, int scrollBarExtent);

// Moves the controls of `window` into a scroll area that fills it. They keep
// their positions, names, focus order and visibility; scroll bars show only
// while the window is smaller than the form, and a control that takes the
// focus is scrolled into view.
QScrollArea *scrollForm(QWidget *window, QSize form);

// Where the controls of `control`'s form live: the scrolled form, or its window.
QWidget *formSurface(QWidget *control);

} // namespace toolkit
