#pragma once

// The base of every screen: a top-level window with a fixed client size in
// twips, opened centred, whose controls sit at fixed positions. Screens are
// created, loaded, shown, hidden and discarded only through `Screens`.

#include "figures.h"

#include <QString>
#include <QWidget>

namespace toolkit {
class FigureBox;
}

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

private:
    friend class Screens;
    void centre();
    bool m_centredWithFrame = false;
};
