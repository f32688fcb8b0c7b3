#include "toolkit/accessibility.h"

#include "toolkit/up_down.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
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

void nameIfUnnamed(QWidget *control)
{
    if (control->objectName().isEmpty() || !control->accessibleName().isEmpty())
        return;
    control->setAccessibleName(nameFromSurroundings(control));
}

} // namespace

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
