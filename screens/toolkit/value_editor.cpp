#include "toolkit/value_editor.h"

#include "toolkit/accessibility.h"
#include "toolkit/window_fit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolTip>

#include <algorithm>

namespace toolkit {

namespace {

// The note stays until the user's next key or click in its window.
class NextAction : public QObject
{
public:
    NextAction(QObject *parent, QWidget *window, std::function<void()> then)
        : QObject(parent), m_window(window), m_then(std::move(then))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        const bool action = type == QEvent::KeyPress || type == QEvent::MouseButtonPress;
        if ((action && watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == m_window) ||
            (type == QEvent::Hide && watched == m_window))
            m_then();
        return false;
    }

private:
    QWidget *m_window;
    std::function<void()> m_then;
};

bool opensEditor(const QKeyEvent *event)
{
    const auto modifiers = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (modifiers != Qt::NoModifier)
        return false;
    const QString text = event->text();
    return text.size() == 1 && QStringLiteral("0123456789+-.").contains(text.front());
}

QRect thumbRect(const QScrollBar *bar)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    if (bar->orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
}

} // namespace

// Its own handlers, unlike an event filter, no longer run once it is being destroyed.
class TypingLine : public QLineEdit
{
public:
    TypingLine(QWidget *parent, ValueEditor *owner) : QLineEdit(parent), m_owner(owner) {}

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (!m_owner || !m_owner->editorKey(event))
            QLineEdit::keyPressEvent(event);
    }

    void focusOutEvent(QFocusEvent *event) override
    {
        QLineEdit::focusOutEvent(event);
        if (m_owner)
            m_owner->editorLeft(event->reason());
    }

    void hideEvent(QHideEvent *event) override
    {
        QLineEdit::hideEvent(event);
        // Its window went away with it open: nothing was typed.
        if (m_owner && !isHidden())
            m_owner->abandon();
    }

private:
    QPointer<ValueEditor> m_owner;
};

ValueEditor::ValueEditor(QWidget *control, QLineEdit *box, ValueTyping typing)
    : QObject(control), m_controlId(control), m_boxId(box), m_control(control), m_box(box), m_typing(std::move(typing))
{
    control->installEventFilter(this);
    box->installEventFilter(this);
}

void ValueEditor::open(const QString &text, bool selected)
{
    if (!m_control || !m_box || !m_control->isEnabled() || !m_control->isVisible())
        return;
    hideNote();
    if (!m_editor) {
        m_editor = new TypingLine(m_box->parentWidget(), this);
        m_editor->setObjectName(m_box->objectName() + QStringLiteral("Editor"));
        m_editor->setAccessibleName(m_typing.name);
        m_editor->setFont(m_box->font());
        m_editor->setAlignment(m_box->alignment());
        m_editor->setMaxLength(64);
    }
    const QString accepts = m_typing.accepts();
    m_editor->setToolTip(accepts);
    m_editor->setAccessibleDescription(accepts);
    m_editor->setGeometry(m_box->geometry());
    m_editor->setText(text);
    if (selected)
        m_editor->selectAll();
    else
        m_editor->end(false);
    m_editor->show();
    m_editor->raise();
    m_editor->setFocus(Qt::OtherFocusReason);
}

bool ValueEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched == m_controlId)
        return controlKey(static_cast<QKeyEvent *>(event));
    if (event->type() == QEvent::MouseButtonDblClick && watched == m_boxId && m_box)
        open(m_box->text().trimmed(), true);
    return false;
}

bool ValueEditor::controlKey(QKeyEvent *event)
{
    const bool f2 = event->key() == Qt::Key_F2 && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (f2 && m_box)
        open(m_box->text().trimmed(), true);
    else if (opensEditor(event))
        open(event->text(), false);
    else
        return false;
    return true;
}

bool ValueEditor::editorKey(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        commit();
    else if (event->key() == Qt::Key_Escape)
        close();
    else
        return false;
    return true;
}

void ValueEditor::editorLeft(Qt::FocusReason reason)
{
    // Its own context menu, or another window coming to the front, is no leaving.
    if (!m_closing && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
        abandon();
}

void ValueEditor::abandon()
{
    m_editor->hide();
    hideNote();
}

void ValueEditor::commit()
{
    const TypedPosition verdict = m_typing.read(m_editor->text());
    if (!verdict.position) {
        m_editor->setAccessibleDescription(verdict.note);
        showNote(verdict.note);
        return;
    }
    // Said with the control as the focus comes back to it, and shown once it has moved.
    if (m_control && !verdict.note.isEmpty())
        m_control->setAccessibleDescription(verdict.note);
    close();
    if (!m_control)
        return;
    const QPointer<ValueEditor> alive(this);
    m_typing.apply(*verdict.position);
    if (!alive || verdict.note.isEmpty())
        return;
    showNote(verdict.note);
    m_noteUntilNextAction = true;
    m_nextAction = new NextAction(this, m_note->window(), [owner = QPointer(this)] {
        if (owner)
            owner->hideNote();
    });
}

void ValueEditor::close()
{
    m_closing = true;
    if (m_editor->hasFocus() && m_control)
        m_control->setFocus(Qt::OtherFocusReason);
    m_editor->hide();
    m_closing = false;
    hideNote();
}

void ValueEditor::showNote(const QString &text)
{
    if (!m_box)
        return;
    // The form's own surface: it scrolls with the form when the window is smaller.
    QWidget *surface = formSurface(m_box);
    if (!m_note) {
        m_note = new QLabel(surface);
        m_note->setObjectName(m_box->objectName() + QStringLiteral("Note"));
        m_note->setTextFormat(Qt::PlainText);
        m_note->setWordWrap(true);
        m_note->setFrameStyle(QFrame::Box | QFrame::Plain);
        m_note->setMargin(3);
        m_note->setAutoFillBackground(true);
        m_note->setAttribute(Qt::WA_TransparentForMouseEvents);
        QPalette palette = m_note->palette();
        palette.setColor(QPalette::Window, palette.color(QPalette::ToolTipBase));
        palette.setColor(QPalette::WindowText, palette.color(QPalette::ToolTipText));
        m_note->setPalette(palette);
    }
    m_note->setText(text);

    const int edge = 4;
    const int room = surface->width() - 2 * edge;
    const int extra = 2 * (m_note->margin() + m_note->frameWidth()) + 1;
    const int width = std::min(room, m_note->fontMetrics().horizontalAdvance(text) + extra);
    const int height = m_note->heightForWidth(width);
    // Under the box and its control, so that neither is hidden, unless the form ends first.
    const QRect boxArea(m_box->mapTo(surface, QPoint(0, 0)), m_box->size());
    QRect area = boxArea;
    if (m_control)
        area |= QRect(m_control->mapTo(surface, QPoint(0, 0)), m_control->size());
    int top = area.bottom() + 3;
    if (top + height > surface->height())
        top = area.top() - 2 - height;
    const int left = std::clamp(boxArea.left(), edge, surface->width() - edge - width);
    m_note->setGeometry(left, top, width, height);
    m_note->show();
    m_note->raise();
}

void ValueEditor::hideNote()
{
    if (!m_note)
        return;
    m_note->hide();
    if (m_noteUntilNextAction) {
        m_noteUntilNextAction = false;
        // Possibly called from its own filter.
        if (m_nextAction)
            m_nextAction->deleteLater();
        if (m_control)
            m_control->setAccessibleDescription(QString());
    }
}

ValueEditor *typeInto(QWidget *control, QLineEdit *box, ValueTyping typing)
{
    return new ValueEditor(control, box, std::move(typing));
}

ValueEditor *typeInto(QScrollBar *bar, QLineEdit *box, ValueTyping typing, const std::function<QString(int)> &boxText)
{
    if (!typing.apply)
        typing.apply = [bar](int position) { bar->setValue(position); };
    auto *editor = typeInto(static_cast<QWidget *>(bar), box, std::move(typing));
    pairValueBox(bar, box);
    QObject::connect(bar, &QScrollBar::sliderMoved, editor, [bar, boxText](int position) {
        const QRect thumb = thumbRect(bar);
        QToolTip::showText(bar->mapToGlobal(QPoint(thumb.center().x(), bar->height() / 2)), boxText(position), bar);
    });
    QObject::connect(bar, &QScrollBar::sliderReleased, editor, [] { QToolTip::hideText(); });
    return editor;
}

} // namespace toolkit
