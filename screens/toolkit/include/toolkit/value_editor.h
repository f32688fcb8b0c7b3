#pragma once

// Typing the value of a control that otherwise only scrolls or steps. With the
// control focused, a digit, a sign or a point starts a small editor over the
// value box beside it; F2 or a double click on the box opens it with the value
// shown, selected. Enter hands the text to the screen, which turns it into a
// position or refuses it; the control is then moved there and its own change
// chain does the rest. Escape, or leaving the editor, keeps the old value.
// Refusals and roundings are told in a note under the box, never in a message
// box. Nothing of this shows until it is used.

#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QKeyEvent;
class QScrollBar;

namespace toolkit {

struct TypedPosition
{
    std::optional<int> position = {}; // none: the text is refused
    QString note = {};                // why it is refused, or what an inexact value was set to
};

struct ValueTyping
{
    QString name = {};                                       // spoken: "Type the target elevation"
    std::function<QString()> accepts = {};                   // tool tip, asked at each opening
    std::function<TypedPosition(const QString &)> read = {}; // the screen's verdict on a text
    std::function<void(int)> apply = {};                     // moves the control as a user would
};

class ValueEditor : public QObject
{
    Q_OBJECT

public:
    ValueEditor(QWidget *control, QLineEdit *box, ValueTyping typing);

    // Over the box with `text`, all of it selected or the cursor after it.
    void open(const QString &text, bool selected);

    // Both null until first used.
    QLineEdit *editor() const { return m_editor; }
    QLabel *note() const { return m_note; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class TypingLine;

    bool controlKey(QKeyEvent *event);
    bool editorKey(QKeyEvent *event);
    void editorLeft(Qt::FocusReason reason);
    void abandon();
    void commit();
    void close();
    void showNote(const QString &text);
    void hideNote();

    // Compared only: events still come while a watched widget is being destroyed.
    const QObject *m_controlId;
    const QObject *m_boxId;
    QPointer<QWidget> m_control;
    QPointer<QLineEdit> m_box;
    ValueTyping m_typing;
    QPointer<QLineEdit> m_editor;
    QPointer<QLabel> m_note;
    bool m_closing = false;
    bool m_noteUntilNextAction = false;
    QPointer<QObject> m_nextAction;
};

// `typing.apply` sets the bar's value unless given. While the thumb is dragged a
// tool tip under it shows `boxText` of the position, which the box takes on release.
ValueEditor *typeInto(QScrollBar *bar, QLineEdit *box, ValueTyping typing, const std::function<QString(int)> &boxText);

ValueEditor *typeInto(QWidget *control, QLineEdit *box, ValueTyping typing);

} // namespace toolkit
