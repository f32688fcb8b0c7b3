#include "toolkit/accessibility.h"

#include "toolkit/controls.h"
#include "toolkit/up_down.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>

namespace toolkit {

namespace {

// "&x" marks an access key and shows as x; "&&" shows as "&".
QString withoutAccessKey(const QString &caption)
{
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown;
}

// One line, without the " = " that leads the eye on to the value.
QString spoken(const QString &caption)
{
    QString text = caption.simplified();
    while (text.endsWith(QLatin1Char('=')) || text.endsWith(QLatin1Char(':')))
        text = text.chopped(1).trimmed();
    return text;
}

// A label shows its "&" as is unless it gives the access key of a buddy.
QString labelText(const QLabel *label)
{
    return spoken(label->buddy() ? withoutAccessKey(label->text()) : label->text());
}

QList<QLabel *> captionsBeside(const QWidget *control)
{
    QList<QLabel *> captions;
    for (QLabel *label : control->parentWidget()->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
        if (!label->isHidden() && !labelText(label).isEmpty())
            captions.append(label);
    return captions;
}

bool sameRow(const QRect &a, const QRect &b)
{
    const auto within = [](int y, const QRect &r) { return y >= r.top() && y <= r.bottom(); };
    return within(a.center().y(), b) || within(b.center().y(), a);
}

QLabel *rowLabel(const QWidget *control, const QList<QLabel *> &captions)
{
    const QRect c = control->geometry();
    QLabel *nearest = nullptr;
    for (QLabel *label : captions) {
        const QRect l = label->geometry();
        if (l.center().x() < c.left() && sameRow(l, c) && (!nearest || l.right() > nearest->geometry().right()))
            nearest = label;
    }
    return nearest;
}

// A heading stands over its column: a wider caption above that merely
// overlaps the control belongs to something else. Its last line may reach
// into the control's top edge.
QLabel *columnHeading(const QWidget *control, const QList<QLabel *> &captions)
{
    const QRect c = control->geometry();
    QLabel *nearest = nullptr;
    for (QLabel *label : captions) {
        const QRect l = label->geometry();
        const int over = std::min(l.right(), c.right()) - std::max(l.left(), c.left()) + 1;
        const bool heading = l.center().y() < c.top() && 2 * over >= l.width();
        if (heading && (!nearest || l.bottom() > nearest->geometry().bottom()))
            nearest = label;
    }
    return nearest;
}

QString nameFromSurroundings(const QWidget *control)
{
    const QList<QLabel *> captions = captionsBeside(control);
    QStringList parts;
    if (const QLabel *row = rowLabel(control, captions))
        parts.append(labelText(row));
    if (const QLabel *heading = columnHeading(control, captions))
        parts.append(labelText(heading));
    if (parts.isEmpty())
        if (const auto *frame = qobject_cast<const QGroupBox *>(control->parentWidget()))
            parts.append(spoken(withoutAccessKey(frame->title())));
    return parts.join(QStringLiteral(", "));
}

// The unit written after a value: the nearest caption to the box's right on its row.
QLabel *unitCaption(const QWidget *box)
{
    const QRect b = box->geometry();
    QLabel *nearest = nullptr;
    for (QLabel *label : captionsBeside(box)) {
        const QRect l = label->geometry();
        if (l.center().x() > b.right() && sameRow(l, b) && (!nearest || l.left() < nearest->geometry().left()))
            nearest = label;
    }
    return nearest;
}

class ValueBoxLink : public QObject
{
public:
    ValueBoxLink(QScrollBar *bar, QLineEdit *box) : QObject(bar), box(box) {}
    QPointer<QLineEdit> box;
};

QLineEdit *valueBox(const QScrollBar *bar)
{
    for (QObject *child : bar->children())
        if (const auto *link = dynamic_cast<const ValueBoxLink *>(child))
            return link->box;
    return nullptr;
}

class SpokenScrollBar : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit SpokenScrollBar(QScrollBar *bar) : QAccessibleWidget(bar, QAccessible::ScrollBar) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        QString own = QAccessibleWidget::text(t);
        if (t == QAccessible::Value)
            return spokenValue(bar());
        if (t != QAccessible::Description)
            return own;
        const QString value = spokenValue(bar());
        if (value.isEmpty() || own.isEmpty())
            return value + own;
        return value + QStringLiteral(". ") + own;
    }

    QVariant currentValue() const override { return bar()->value(); }
    void setCurrentValue(const QVariant &value) override { bar()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    QVariant minimumStepSize() const override { return bar()->singleStep(); }

private:
    QScrollBar *bar() const { return static_cast<QScrollBar *>(widget()); }
};

QAccessibleInterface *spokenScrollBar(const QString &className, QObject *object)
{
    if (className != QLatin1String(ScrollBar::staticMetaObject.className()))
        return nullptr;
    return new SpokenScrollBar(static_cast<ScrollBar *>(object));
}

void nameIfUnnamed(QWidget *control)
{
    if (control->objectName().isEmpty() || !control->accessibleName().isEmpty())
        return;
    control->setAccessibleName(nameFromSurroundings(control));
}

} // namespace

void installValueSpeech()
{
    QAccessible::installFactory(spokenScrollBar);
}

void pairValueBox(QScrollBar *bar, QLineEdit *box)
{
    new ValueBoxLink(bar, box);
    // Screen readers that keep what they were told hear of the change.
    QObject::connect(box, &QLineEdit::textChanged, bar, [bar] {
        QAccessibleEvent event(bar, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    });
}

QString spokenValue(const QScrollBar *bar)
{
    const QLineEdit *box = valueBox(bar);
    if (!box || box->text().trimmed().isEmpty())
        return {};
    const QLabel *unit = unitCaption(box);
    const QString value = box->text().trimmed();
    return unit ? value + QLatin1Char(' ') + labelText(unit) : value;
}

void nameControlsFromLabels(QWidget *window)
{
    // Only the screen's own controls carry names; parts inside compound
    // widgets (a chart's scroll bars) are named by their owners.
    for (QLineEdit *box : window->findChildren<QLineEdit *>())
        nameIfUnnamed(box);
    for (QScrollBar *bar : window->findChildren<QScrollBar *>())
        nameIfUnnamed(bar);
    for (UpDown *upDown : window->findChildren<UpDown *>()) {
        nameIfUnnamed(upDown);
        if (upDown->upArrow()->accessibleName().isEmpty())
            upDown->upArrow()->setAccessibleName(QStringLiteral("Up"));
        if (upDown->downArrow()->accessibleName().isEmpty())
            upDown->downArrow()->setAccessibleName(QStringLiteral("Down"));
    }
}

} // namespace toolkit
