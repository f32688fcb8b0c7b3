#pragma once

// The base of every screen: a top-level window with a fixed client size in
// twips, opened centred, whose controls sit at fixed positions. A form larger
// than its screen's free area scrolls in a window that fits (toolkit/window_fit.h).
// Screens are created, loaded, shown, hidden and discarded only through `Screens`.

#include "resources/figures.h"

#include <QMargins>
#include <QSize>
#include <QString>
#include <QWidget>

#include <optional>

class QScrollArea;

namespace toolkit {
class FigureBox;
struct WindowFit;
} // namespace toolkit

class Screen : public QWidget
{
    Q_OBJECT

public:
    enum class Frame {
        Sizable,         // ordinary window with minimise and maximise boxes
        FixedToolWindow, // small title bar with a close box only, no task-bar entry
    };

protected:
    Screen(const char *name, const QString &caption, int clientWidthTwips, int clientHeightTwips,
           Frame frame = Frame::Sizable);

    // The screen's load step: runs once right after creation, before any show returns.
    virtual void Form_Load() {}

    // What the title-bar close box does. The policy for the whole system is the
    // exit confirmation; a screen that is only ever left with a back button
    // does what that button does instead.
    virtual void closeBoxPressed();

    // Draws `figure` in `box` and tells screen readers what it shows.
    static void showFigure(toolkit::FigureBox *box, Figure figure);

    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    friend class Screens;
    void centre();
    // Once its controls exist, and again once the window manager has framed it.
    void fitToScreen();
    toolkit::WindowFit fitWithin(const QMargins &frame) const;
    // The window's frame, once the window manager has finished framing it.
    std::optional<QMargins> knownFrame() const;

    QSize m_form;
    bool m_fixedSize;
    QScrollArea *m_area = nullptr;
    std::optional<QMargins> m_fittedFrame;
    bool m_centredWithFrame = false;
};
