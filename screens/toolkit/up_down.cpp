#include "toolkit/up_down.h"

#include "toolkit/controls.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace toolkit {

namespace {

// The arrows cover the whole control, so its focus frame lies over them.
class FocusFrame : public QWidget
{
public:
    explicit FocusFrame(QWidget *parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        paintFocusFrame(this, painter);
    }
};

} // namespace

UpDown::UpDown(QWidget *parent, QLineEdit *buddy, int minimum, int maximum, int increment)
    : QWidget(parent), m_buddy(buddy), m_minimum(minimum), m_maximum(maximum), m_increment(increment),
      m_up(new QToolButton(this)), m_down(new QToolButton(this)), m_focusFrame(new FocusFrame(this))
{
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton *arrow : {m_up, m_down}) {
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_up, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(m_down, &QToolButton::clicked, this, &UpDown::stepDown);
    setFocusPolicy(Qt::StrongFocus);
}

void UpDown::stepBy(int steps)
{
    const double shown = m_buddy->text().trimmed().toDouble();
    const long current = std::clamp<long>(std::lround(shown), m_minimum, m_maximum);
    const long next = std::clamp<long>(current + static_cast<long>(steps) * m_increment, m_minimum, m_maximum);
    m_buddy->setText(QString::number(next));
}

void UpDown::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up)
        stepUp();
    else if (event->key() == Qt::Key_Down)
        stepDown();
    else
        QWidget::keyPressEvent(event);
}

void UpDown::resizeEvent(QResizeEvent *)
{
    const int upper = height() / 2;
    m_up->setGeometry(0, 0, width(), upper);
    m_down->setGeometry(0, upper, width(), height() - upper);
    m_focusFrame->setGeometry(rect());
    m_focusFrame->raise();
}

void UpDown::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    m_focusFrame->show();
}

void UpDown::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    m_focusFrame->hide();
}

UpDown *upDown(QWidget *parent, const char *name, TwipsRect r, QLineEdit *buddy, int minimum, int maximum,
               int increment)
{
    auto *u = new UpDown(parent, buddy, minimum, maximum, increment);
    u->setObjectName(QString::fromLatin1(name));
    u->setGeometry(twips(r));
    return u;
}

} // namespace toolkit
