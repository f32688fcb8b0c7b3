#include "screen.h"

#include "application.h"
#include "platform/messages.h"
#include "screens.h"
#include "toolkit/controls.h"
#include "toolkit/figure_box.h"

#include <QCloseEvent>
#include <QScreen>

Screen::Screen(const char *name, const QString &caption, int clientWidthTwips, int clientHeightTwips, Frame frame)
    : QWidget(nullptr, frame == Frame::FixedToolWindow
                           ? Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                           : Qt::Window)
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
    setFont(toolkit::controlFont());
    const QSize client = toolkit::twipsSize(clientWidthTwips, clientHeightTwips);
    if (frame == Frame::FixedToolWindow)
        setFixedSize(client);
    else
        resize(client);
    centre();
}

void Screen::centre()
{
    QRect outline = frameGeometry();
    outline.moveCenter(screen()->availableGeometry().center());
    move(outline.topLeft());
}

void Screen::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The frame's size is known only once the window is on screen.
    if (!m_centredWithFrame && frameGeometry() != geometry()) {
        m_centredWithFrame = true;
        centre();
    }
}

void Screen::showFigure(toolkit::FigureBox *box, Figure figure)
{
    box->setFigure(resourcePath(figure));
    box->setAccessibleName(figureName(figure));
    box->setAccessibleDescription(figureDescription(figure));
}

void Screen::closeBoxPressed()
{
    exitConfirmation();
}

void Screen::closeEvent(QCloseEvent *event)
{
    // The window never closes by itself: each screen decides what leaving it
    // means, and the process must not linger without a visible window.
    event->ignore();
    closeBoxPressed();
    if (!Screens::anyShown())
        platform::endProcess();
}
