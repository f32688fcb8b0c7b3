#include "toolkit/window_fit.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>

namespace toolkit {

WindowFit fitWindow(QSize form, QMargins frame, const QRect &available, int scrollBarExtent)
{
    const QSize room = available.size().shrunkBy(frame);
    bool tall = form.height() > room.height();
    bool wide = form.width() > room.width();
    // A bar along one side takes room from the other.
    wide = wide || (tall && form.width() + scrollBarExtent > room.width());
    tall = tall || (wide && form.height() + scrollBarExtent > room.height());

    WindowFit fit;
    fit.scrolls = tall || wide;
    fit.client = form;
    if (fit.scrolls)
        fit.client = QSize(std::min(form.width() + (tall ? scrollBarExtent : 0), room.width()),
                           std::min(form.height() + (wide ? scrollBarExtent : 0), room.height()));
    QRect outline(QPoint(0, 0), fit.client.grownBy(frame));
    outline.moveCenter(available.center());
    fit.framePosition = outline.topLeft();
    return fit;
}

namespace {

class FormArea : public QScrollArea
{
public:
    FormArea(QWidget *window, QSize form) : QScrollArea(window)
    {
        setFrameShape(QFrame::NoFrame);
        setFocusPolicy(Qt::NoFocus);
        horizontalScrollBar()->setFocusPolicy(Qt::NoFocus);
        verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
        viewport()->setBackgroundRole(QPalette::Window);
        setGeometry(window->rect());
        window->installEventFilter(this);
        viewport()->installEventFilter(this);

        // Inside the window before the controls move in, so that each move stays
        // within one window and Qt keeps the focus chain as the screen set it.
        auto *content = new QWidget;
        content->resize(form);
        setWidget(content);

        // Moving a shown control hides it, and the focus with it.
        const QPointer<QWidget> focus = window->focusWidget();
        const QObjectList children = window->children();
        for (QObject *child : children) {
            auto *control = qobject_cast<QWidget *>(child);
            if (!control || control == this || control->isWindow())
                continue;
            const bool shown = control->isVisible();
            control->setParent(content);
            if (shown)
                control->show();
        }
        if (focus)
            focus->setFocus(Qt::OtherFocusReason);
        // A child made while its window shows stays hidden until told.
        show();

        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { showFocused(now); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && watched == parent())
            setGeometry(parentWidget()->rect());
        // Scroll bars come and go after a resize, each taking room from the view.
        if (event->type() == QEvent::Resize && watched == viewport())
            showFocused(window()->focusWidget());
        return QScrollArea::eventFilter(watched, event);
    }

private:
    void showFocused(QWidget *focused)
    {
        if (focused && widget()->isAncestorOf(focused))
            ensureWidgetVisible(focused, 8, 8);
    }
};

} // namespace

QScrollArea *scrollForm(QWidget *window, QSize form)
{
    return new FormArea(window, form);
}

QWidget *formSurface(QWidget *control)
{
    QWidget *w = control;
    while (!w->isWindow()) {
        QWidget *viewport = w->parentWidget();
        if (const auto *area = dynamic_cast<const FormArea *>(viewport->parentWidget()); area && area->widget() == w)
            return w;
        w = viewport;
    }
    return w;
}

} // namespace toolkit
