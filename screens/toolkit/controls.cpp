#include "toolkit/controls.h"

#include "toolkit/accessibility.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <utility>

namespace toolkit {

namespace {

template <class W>
W *place(W *widget, const char *name, TwipsRect r, const QFont &font)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setFont(font);
    widget->setGeometry(twips(r));
    return widget;
}

void setRoleColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::All, role, colour);
    widget->setPalette(palette);
}

// Fusion paints a palette or bare background colour as a gradient; a border in
// the sheet switches the button to flat rendering, so the yellow is exact.
const QString yellowSheet = QStringLiteral("QPushButton { background-color: rgb(255,255,0); border: 1px solid gray; }"
                                           "QPushButton:disabled { color: gray; }");
const char backColourProperty[] = "trajectrixBackColour";

} // namespace

QPalette formPalette()
{
    const QColor face(239, 239, 239);
    const QColor greyed(190, 190, 190);
    QPalette palette(Qt::black, face, Qt::white, QColor(159, 159, 159), QColor(184, 184, 184), Qt::black, Qt::white);
    palette.setColor(QPalette::Midlight, QColor(202, 202, 202));
    palette.setColor(QPalette::Window, face);
    palette.setColor(QPalette::Shadow, QColor(118, 118, 118));
    palette.setColor(QPalette::AlternateBase, QColor(247, 247, 247));
    palette.setColor(QPalette::Highlight, QColor(48, 140, 198));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, Qt::blue);
    palette.setColor(QPalette::LinkVisited, Qt::magenta);
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 220));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::PlaceholderText, QColor(0, 0, 0, 128));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::Dark})
        palette.setColor(QPalette::Disabled, role, greyed);
    palette.setColor(QPalette::Disabled, QPalette::Base, face);
    palette.setColor(QPalette::Disabled, QPalette::Shadow, QColor(177, 177, 177));
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(145, 145, 145));
    return palette;
}

void installFontSubstitutions()
{
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
}

QFont controlFont(const QString &face, double points, bool bold)
{
    QFont font(face);
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    font.setBold(bold);
    return font;
}

void paintFocusFrame(QWidget *widget, QPainter &painter)
{
    const int width = 2;
    painter.save();
    painter.setPen(QPen(widget->palette().color(QPalette::Active, QPalette::Highlight), width));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(widget->rect()).adjusted(width / 2.0, width / 2.0, -width / 2.0, -width / 2.0));
    painter.restore();
}

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier && !event->isAutoRepeat()) {
        animateClick();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void CommandButton::paintEvent(QPaintEvent *event)
{
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int flags = Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextWordWrap;
    if (option.icon.isNull() && fontMetrics().horizontalAdvance(option.text) > contents.width()) {
        QStylePainter painter(this);
        const QString caption = std::exchange(option.text, QString());
        painter.drawControl(QStyle::CE_PushButton, option);
        painter.drawItemText(contents, flags, option.palette, isEnabled(), caption, QPalette::ButtonText);
    } else {
        QPushButton::paintEvent(event);
    }
    // On the yellow face the style's own focus look is a faint tint.
    if (hasFocus() && backColour(this) == BackColour::Yellow) {
        QPainter painter(this);
        paintFocusFrame(this, painter);
    }
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, TwipsRect r, const QFont &font)
{
    auto *b = place(new CommandButton(caption, parent), name, r, font);
    b->setAutoDefault(false);
    return b;
}

void setBackColour(QPushButton *button, BackColour colour)
{
    button->setStyleSheet(colour == BackColour::Yellow ? yellowSheet : QString());
    button->setProperty(backColourProperty, colour == BackColour::Yellow);
}

BackColour backColour(const QPushButton *button)
{
    return button->property(backColourProperty).toBool() ? BackColour::Yellow : BackColour::ButtonFace;
}

Label::Label(QWidget *parent, LabelSizing sizing) : QLabel(parent), m_sizing(sizing)
{
    // Plain text keeps runs of blanks that rich text would collapse.
    setTextFormat(Qt::PlainText);
    setWordWrap(sizing == LabelSizing::Wrap || sizing == LabelSizing::AutoSizeWrap);
}

void Label::setText(const QString &text)
{
    QLabel::setText(text);
    fitToText();
}

void Label::fitToText()
{
    switch (m_sizing) {
    case LabelSizing::Fixed:
    case LabelSizing::Wrap:
        return;
    case LabelSizing::AutoSize: {
        if (!m_laidOutLeft)
            m_laidOutLeft = x();
        resize(sizeHint());
        int left = *m_laidOutLeft;
        if (const QWidget *container = parentWidget()) {
            const int room = container->contentsRect().right() + 1 - width();
            left = std::max(0, std::min(left, room));
        }
        move(left, y());
        return;
    }
    case LabelSizing::AutoSizeWrap:
        resize(width(), heightForWidth(width()));
        return;
    }
}

Label *label(QWidget *parent, const char *name, const QString &text, TwipsRect r, const LabelStyle &style)
{
    auto *l = place(new Label(parent, style.sizing), name, r, style.font);
    l->setAlignment(style.align | Qt::AlignTop);
    if (style.foreground)
        setRoleColour(l, QPalette::WindowText, *style.foreground);
    if (style.background) {
        setRoleColour(l, QPalette::Window, *style.background);
        l->setAutoFillBackground(true);
    }
    l->setText(text);
    return l;
}

ValueBox::Line ValueBox::line() const
{
    // Where QLineEdit puts its one line of text: inside the frame and the text
    // margins, two pixels in from either side, centred in height.
    const int sideMargin = 2;
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect contents =
        style()->subElementRect(QStyle::SE_LineEditContents, &panel, this).marginsRemoved(textMargins());
    const int height = fontMetrics().height();
    const int top = contents.y() + (contents.height() - height + 1) / 2;
    return {contents, QRect(contents.x() + sideMargin, top, contents.width() - 2 * sideMargin, height)};
}

QString ValueBox::shownText() const
{
    const int room = line().text.width();
    const QFontMetricsF metrics(font());
    // QLineEdit counts a pixel more than the text's own width.
    if (qRound(metrics.horizontalAdvance(text())) + 1 <= room)
        return text();
    return metrics.elidedText(text(), Qt::ElideRight, room - 1);
}

void ValueBox::paintEvent(QPaintEvent *event)
{
    const QString shown = shownText();
    if (shown == text()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);

    // Laid out and placed as QLineEdit would place a text of its own that fits.
    QTextLayout layout(shown, font());
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    layout.endLayout();
    const Line where = line();
    const int used = qRound(textLine.naturalTextWidth()) + 1;
    int scroll = 0;
    const Qt::Alignment horizontal = QStyle::visualAlignment(layoutDirection(), alignment()) & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignRight)
        scroll = used - where.text.width() + 1;
    else if (horizontal & Qt::AlignHCenter)
        scroll = (used - where.text.width()) / 2;
    painter.setClipRect(where.contents);
    painter.setPen(palette().color(QPalette::Text));
    layout.draw(&painter, where.text.topLeft() - QPoint(scroll, 0));
}

namespace {

void showBeginning(ValueBox *box)
{
    box->setCursorPosition(0);
    box->setToolTip(box->shownText() != box->text() ? box->text() : QString());
}

} // namespace

QLineEdit *textBox(QWidget *parent, const char *name, const QString &text, TwipsRect r, const TextBoxStyle &style)
{
    auto *t = place(new ValueBox(text, parent), name, r, style.font);
    t->setAlignment(style.align);
    t->setEnabled(false);
    QPalette palette = t->palette();
    palette.setColor(QPalette::Disabled, QPalette::Text, readableGrey);
    t->setPalette(palette);
    if (style.background)
        setRoleColour(t, QPalette::Base, *style.background);
    showBeginning(t);
    // Connected before any screen's handler, so they see the box as shown.
    QObject::connect(t, &QLineEdit::textChanged, t, [t] { showBeginning(t); });
    return t;
}

void ScrollBar::keyPressEvent(QKeyEvent *event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && orientation() == Qt::Horizontal && (event->key() == Qt::Key_Right || event->key() == Qt::Key_Left)) {
        const bool towardsMaximum = (event->key() == Qt::Key_Right) != (layoutDirection() == Qt::RightToLeft);
        triggerAction(towardsMaximum ? SliderSingleStepAdd : SliderSingleStepSub);
        event->accept();
        return;
    }
    QScrollBar::keyPressEvent(event);
}

void ScrollBar::paintEvent(QPaintEvent *event)
{
    QScrollBar::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        paintFocusFrame(this, painter);
    }
}

QScrollBar *hScrollBar(QWidget *parent, const char *name, TwipsRect r, const ScrollRange &range)
{
    // Before the bar exists: Qt keeps the first accessible interface made for it.
    installValueSpeech();
    auto *s = place(new ScrollBar(Qt::Horizontal, parent), name, r, controlFont());
    s->setTracking(false);
    s->setRange(range.minimum, range.maximum);
    s->setSingleStep(range.smallChange);
    s->setPageStep(range.largeChange);
    s->setValue(range.value);
    s->setFocusPolicy(Qt::StrongFocus);
    return s;
}

QGroupBox *frame(QWidget *parent, const char *name, const QString &caption, TwipsRect r, const QFont &font)
{
    return place(new QGroupBox(caption, parent), name, r, font);
}

QRadioButton *optionButton(QWidget *parent, const char *name, const QString &caption, TwipsRect r, const QFont &font)
{
    return place(new QRadioButton(caption, parent), name, r, font);
}

Line::Line(QWidget *parent, TwipsPoint from, TwipsPoint to) : QWidget(parent)
{
    const QPoint a = twips(from);
    const QPoint b = twips(to);
    const QPoint topLeft(std::min(a.x(), b.x()), std::min(a.y(), b.y()));
    setGeometry(QRect(topLeft, QSize(std::abs(a.x() - b.x()) + 1, std::abs(a.y() - b.y()) + 1)));
    m_from = a - pos();
    m_to = b - pos();
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void Line::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(m_from, m_to);
}

Line *line(QWidget *parent, const char *name, TwipsPoint from, TwipsPoint to)
{
    auto *l = new Line(parent, from, to);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

void setFocusOrder(std::initializer_list<QWidget *> order)
{
    if (order.size() == 0)
        return;
    QWidget *previous = nullptr;
    for (QWidget *w : order) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
    (*order.begin())->setFocus();
}

} // namespace toolkit
