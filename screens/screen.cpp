#include "screens/screen.h"

#include "platform/messages.h"
#include "screens/application.h"
#include "screens/screens.h"
#include "toolkit/controls.h"
#include "toolkit/figure_box.h"
#include "toolkit/window_fit.h"

#include <QCloseEvent>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace {

// A window's frame is known only once the window manager has put it on the
// screen; until then the last one seen is the best guess.
QMargins lastFrameSeen;

} // namespace

Screen::Screen(const char *name, const QString &caption, int clientWidthTwips, int clientHeightTwips, Frame frame)
    : QWidget(nullptr, frame == Frame::FixedToolWindow
                           ? Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                           : Qt::Window),
      m_form(toolkit::twipsSize(clientWidthTwips, clientHeightTwips)), m_fixedSize(frame == Frame::FixedToolWindow)
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
    setFont(toolkit::controlFont());
    if (m_fixedSize)
        setFixedSize(m_form);
    else
        resize(m_form);
    centre();
}

void Screen::centre()
{
    QRect outline = frameGeometry();
    outline.moveCenter(screen()->availableGeometry().center());
    move(outline.topLeft());
}

std::optional<QMargins> Screen::knownFrame() const
{
    const QRect outline = frameGeometry();
    const QRect inside = geometry();
    const QMargins frame(inside.left() - outline.left(), inside.top() - outline.top(), outline.right() - inside.right(),
                         outline.bottom() - inside.bottom());
    // While the window manager is still framing the window, Qt may report a
    // frame with sides of negative width.
    if (frame.isNull() || std::min({frame.left(), frame.top(), frame.right(), frame.bottom()}) < 0)
        return std::nullopt;
    // At a fractional scale Qt rounds the frame to whole pixels, up to half a
    // pixel too thin on a side: a window fitted to it could end a pixel off the screen.
    const qreal scale = devicePixelRatioF();
    if (scale != std::round(scale))
        return frame + QMargins(1, 1, 1, 1);
    return frame;
}

toolkit::WindowFit Screen::fitWithin(const QMargins &frame) const
{
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return toolkit::fitWindow(m_form, frame, screen()->availableGeometry(), bar);
}

void Screen::fitToScreen()
{
    const QMargins frame = knownFrame().value_or(lastFrameSeen);
    const toolkit::WindowFit fit = fitWithin(frame);
    if (!fit.scrolls && !m_area) {
        centre();
        return;
    }
    if (!m_area)
        m_area = toolkit::scrollForm(this, m_form);
    m_fittedFrame = frame;
    if (m_fixedSize)
        setFixedSize(fit.client);
    else
        resize(fit.client);
    move(fit.framePosition);
}

void Screen::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The frame's size is known only once the window is on screen.
    if (!m_centredWithFrame && frameGeometry() != geometry()) {
        m_centredWithFrame = true;
        fitToScreen();
    }
}

void Screen::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // The window manager frames the window only after it is shown: a form
    // that turns out too large for the screen with that frame is fitted again
    // at once. Moving the window keeps its frame, and so refits nothing.
    const std::optional<QMargins> frame = knownFrame();
    if (!frame || frame == m_fittedFrame)
        return;
    lastFrameSeen = *frame;
    if (m_area || fitWithin(*frame).scrolls)
        fitToScreen();
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
