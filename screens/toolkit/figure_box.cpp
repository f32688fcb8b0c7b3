#include "toolkit/figure_box.h"

#include "toolkit/controls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QSvgRenderer>

namespace toolkit {

namespace {

// Screen readers announce a figure as an image with its name and description,
// not as an empty frame.
QAccessibleInterface *figureAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("toolkit::FigureBox") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Graphic);
    return nullptr;
}

} // namespace

FigureBox::FigureBox(QWidget *parent, Border border) : QFrame(parent)
{
    static const bool factoryInstalled = (QAccessible::installFactory(figureAccessible), true);
    Q_UNUSED(factoryInstalled);
    if (border == Border::Sunken) {
        setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        setLineWidth(2);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }
}

FigureBox::~FigureBox() = default;

bool FigureBox::setFigure(const QString &path)
{
    m_drawing.reset();
    m_image = QPixmap();
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        auto drawing = std::make_unique<QSvgRenderer>(path);
        if (drawing->isValid())
            m_drawing = std::move(drawing);
    } else {
        m_image.load(path);
    }
    update();
    return m_drawing || !m_image.isNull();
}

QSize FigureBox::figureSize() const
{
    if (m_drawing)
        return m_drawing->defaultSize();
    return m_image.deviceIndependentSize().toSize();
}

void FigureBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    if (m_drawing)
        m_drawing->render(&painter, QRectF(figureOrigin(), QSizeF(m_drawing->defaultSize())));
    else if (!m_image.isNull())
        painter.drawPixmap(figureOrigin(), m_image);
    if (hasFocus()) {
        painter.setClipping(false);
        paintFocusFrame(this, painter);
    }
}

FigureBox *pictureBox(QWidget *parent, const char *name, TwipsRect r, const QColor &background)
{
    auto *box = pictureBox(parent, name, r);
    QPalette palette = box->palette();
    palette.setColor(QPalette::All, QPalette::Window, background);
    box->setPalette(palette);
    return box;
}

FigureBox *pictureBox(QWidget *parent, const char *name, TwipsRect r)
{
    auto *box = new FigureBox(parent, FigureBox::Border::Sunken);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(twips(r));
    box->setAutoFillBackground(true);
    box->setFocusPolicy(Qt::TabFocus);
    return box;
}

FigureBox *imageBox(QWidget *parent, const char *name, TwipsRect r)
{
    auto *box = new FigureBox(parent, FigureBox::Border::None);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(twips(r));
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

} // namespace toolkit
