#include "trajectory_plot.h"

#include "conversions.h"

#include <QBrush>
#include <QChart>
#include <QChartView>
#include <QFontMetricsF>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QScatterSeries>
#include <QScopedValueRollback>
#include <QScreen>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Beyond this ratio between the two axes' scales, equal scales would squeeze the
// flight into a sliver of the plot: the axes are then scaled apart and say so.
constexpr double maxScaleRatio = 4.0;

const std::array<QColor, 2> solutionColours{QColor(0, 90, 200), QColor(200, 40, 40)};
const std::array<Qt::PenStyle, 2> solutionStyles{Qt::SolidLine, Qt::DashLine};

QString number(double value)
{
    return QString::fromStdString(conv::generalText(value));
}

// Enough to write every multiple of `step` exactly.
int decimals(double step)
{
    int d = 0;
    for (; d < 8; ++d) {
        const double scaled = step * std::pow(10.0, d);
        if (std::abs(scaled - std::round(scaled)) < 1e-6 * scaled)
            break;
    }
    return d;
}

QString labelFormat(double step)
{
    return QStringLiteral("%.%1f").arg(decimals(step));
}

// The step between horizontal tick labels: the widest label and a gap apart.
double tickStep(double unitsPerPixel, double low, double high, const QFontMetricsF &metrics)
{
    const int d = decimals(plot::niceStep(unitsPerPixel * 80));
    const double widest = std::max(metrics.horizontalAdvance(QString::number(low, 'f', d)),
                                   metrics.horizontalAdvance(QString::number(high, 'f', d)));
    return plot::niceStep(unitsPerPixel * (widest + 24));
}

QLineSeries *lineSeries(const QString &name, const QPen &pen, const std::vector<QPointF> &points)
{
    auto *series = new QLineSeries;
    series->setName(name);
    series->setPen(pen);
    for (const QPointF &p : points)
        series->append(p);
    return series;
}

QScatterSeries *markers(const QString &name, QScatterSeries::MarkerShape shape, const QColor &colour,
                        const std::vector<QPointF> &points)
{
    auto *series = new QScatterSeries;
    series->setName(name);
    series->setMarkerShape(shape);
    series->setMarkerSize(10);
    series->setColor(colour);
    series->setBorderColor(colour);
    for (const QPointF &p : points)
        series->append(p);
    return series;
}

// QRectF::united() skips empty rectangles, so single points are added by hand.
// A sample of the line's pen and its name. The chart's own legend keeps to one
// row and cuts long names short; these wrap onto rows of their own.
QWidget *legendEntry(const QPen &pen, const QString &name)
{
    auto *entry = new QWidget;
    auto *row = new QHBoxLayout(entry);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    QPixmap sample(36, 12);
    sample.fill(Qt::transparent);
    QPainter painter(&sample);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen);
    painter.drawLine(QPointF(1, 6), QPointF(35, 6));
    painter.end();
    auto *key = new QLabel;
    key->setPixmap(sample);
    row->addWidget(key);
    row->addWidget(new QLabel(name), 1);
    return entry;
}

void include(QRectF &bounds, const QPointF &p)
{
    const double left = std::min(bounds.left(), p.x()), right = std::max(bounds.right(), p.x());
    const double top = std::min(bounds.top(), p.y()), bottom = std::max(bounds.bottom(), p.y());
    bounds = QRectF(QPointF(left, top), QPointF(right, bottom));
}

// The axis range [low, high] grown evenly about its middle to `span`.
void grow(double &low, double &high, double span)
{
    const double middle = (low + high) / 2;
    low = middle - span / 2;
    high = middle + span / 2;
}

} // namespace

namespace plot {

std::vector<QPointF> flightPath(const PlotProblem &p, double angle, double velocity, int steps)
{
    const double c = std::cos(angle);
    const double t = std::tan(angle);
    const double drop = p.g / (2 * velocity * velocity * c * c);
    const auto height = [&](double x) { return p.so + x * t - drop * x * x; };

    std::vector<QPointF> path;
    path.reserve(static_cast<std::size_t>(steps) + 2);
    const std::optional<QPointF> apex = apogee(p, angle, velocity);
    for (int i = 0; i <= steps; ++i) {
        const double x = p.sx * i / steps;
        if (apex && apex->x() < x && (path.empty() || path.back().x() < apex->x()))
            path.push_back(*apex);
        path.emplace_back(x, height(x));
    }
    return path;
}

std::optional<QPointF> apogee(const PlotProblem &p, double angle, double velocity)
{
    if (!(angle > 0) || !(p.g > 0))
        return std::nullopt;
    const double v2 = velocity * velocity;
    const double s = std::sin(angle);
    const QPointF apex(v2 * s * std::cos(angle) / p.g, p.so + v2 * s * s / (2 * p.g));
    if (apex.x() > p.sx)
        return std::nullopt;
    return apex;
}

double niceStep(double rough)
{
    if (!(rough > 0) || !std::isfinite(rough))
        return 1;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double m : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (m * magnitude >= rough * (1 - 1e-9))
            return m * magnitude;
    return 10 * magnitude;
}

} // namespace plot

const QString TrajectoryPlot::prompt = QStringLiteral("Press Compute to draw the trajectory");

TrajectoryPlot::TrajectoryPlot(QWidget *resultScreen) : QWidget(resultScreen, Qt::Window)
{
    setObjectName(QStringLiteral("TrajectoryPlot"));
    setWindowTitle(QStringLiteral("Trajectory"));
    setMinimumSize(320, 260);

    m_chart = new QChart;
    m_chart->legend()->hide();
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    m_x = new QValueAxis;
    m_y = new QValueAxis;
    for (QValueAxis *axis : {m_x, m_y}) {
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0);
        axis->setMinorTickCount(0);
    }
    m_chart->addAxis(m_x, Qt::AlignBottom);
    m_chart->addAxis(m_y, Qt::AlignLeft);

    auto *view = new QChartView(m_chart);
    view->setObjectName(QStringLiteral("chartView"));
    view->setRenderHint(QPainter::Antialiasing);
    m_note = new QLabel;
    m_note->setObjectName(QStringLiteral("scaleNote"));
    m_note->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(view, 1);
    layout->addWidget(m_note);
    m_legend = new QWidget;
    layout->addWidget(m_legend);

    connect(m_chart, &QChart::plotAreaChanged, this, [this] {
        fitAxes();
        placeLabels();
    });
    rebuild();
}

void TrajectoryPlot::setProblem(const PlotProblem &problem)
{
    m_problem = problem;
    rebuild();
}

void TrajectoryPlot::setSolutions(const std::vector<PlotSolution> &solutions)
{
    m_solutions = solutions;
    rebuild();
}

QString TrajectoryPlot::scaleNote() const
{
    return m_note->text();
}

void TrajectoryPlot::rebuild()
{
    for (const Mark &mark : m_marks)
        delete mark.text->parentItem();
    m_marks.clear();
    m_chart->removeAllSeries();

    const PlotProblem &p = m_problem;
    const QString unit = p.distanceUnit;
    m_x->setTitleText(QStringLiteral("Distance (%1)").arg(unit));
    m_y->setTitleText(QStringLiteral("Elevation (%1)").arg(unit));
    m_chart->setTitle(m_solutions.empty() ? prompt : QString());

    const QPointF muzzle(0, p.so);
    const QPointF target(p.sx, p.sy);
    m_bounds = QRectF(QPointF(0, 0), QSizeF(0, 0));
    include(m_bounds, muzzle);
    include(m_bounds, target);
    include(m_bounds, QPointF(p.sx, 0));

    std::vector<QAbstractSeries *> series;
    std::vector<QAbstractSeries *> unlisted;
    series.push_back(lineSeries(QStringLiteral("Ground"), QPen(QColor(130, 95, 50), 2), {{0, 0}, {p.sx, 0}}));
    QPen sight(QColor(90, 90, 90), 1.5, Qt::DotLine);
    series.push_back(lineSeries(QStringLiteral("Line of sight"), sight, {muzzle, target}));

    struct Label
    {
        QPointF at;
        QString text;
        Qt::Alignment side;
    };
    std::vector<Label> labels{
        {muzzle, QStringLiteral("Firing point (0, %1)").arg(number(p.so)), Qt::AlignRight},
        {target, QStringLiteral("Target (%1, %2)").arg(number(p.sx), number(p.sy)), Qt::AlignLeft},
    };
    for (std::size_t i = 0; i < m_solutions.size() && i < solutionColours.size(); ++i) {
        const PlotSolution &s = m_solutions[i];
        const std::vector<QPointF> path = plot::flightPath(p, s.angle, s.velocity);
        for (const QPointF &point : path)
            include(m_bounds, point);
        QPen pen(solutionColours[i], 2, solutionStyles[i]);
        series.push_back(lineSeries(s.legend, pen, path));
        if (const std::optional<QPointF> apex = plot::apogee(p, s.angle, s.velocity)) {
            include(m_bounds, *apex);
            unlisted.push_back(markers(QStringLiteral("Apogee %1").arg(i + 1), QScatterSeries::MarkerShapeTriangle,
                                       solutionColours[i], {*apex}));
            labels.push_back({*apex, QStringLiteral("Apogee %1 %2").arg(s.apogeeText, unit), Qt::AlignHCenter});
        }
    }
    unlisted.push_back(markers(QStringLiteral("Firing point and target"), QScatterSeries::MarkerShapeCircle,
                               Qt::black, {muzzle, target}));

    for (QAbstractSeries *s : series)
        m_chart->addSeries(s);
    for (QAbstractSeries *s : unlisted)
        m_chart->addSeries(s);
    showLegend(series);
    for (QAbstractSeries *s : m_chart->series()) {
        s->attachAxis(m_x);
        s->attachAxis(m_y);
    }

    for (const Label &label : labels) {
        auto *box = new QGraphicsRectItem(m_chart);
        box->setPen(Qt::NoPen);
        box->setBrush(QColor(255, 255, 255, 210));
        box->setZValue(1000);
        auto *text = new QGraphicsSimpleTextItem(label.text, box);
        text->setFont(m_x->labelsFont());
        text->setPos(2, 1);
        box->setRect(QRectF(QPointF(0, 0), text->boundingRect().size() + QSizeF(4, 2)));
        m_marks.push_back({label.at, text, label.side});
    }

    fitAxes();
    placeLabels();
}

void TrajectoryPlot::showLegend(const std::vector<QAbstractSeries *> &listed)
{
    auto *legend = new QWidget;
    legend->setObjectName(QStringLiteral("legend"));
    auto *grid = new QGridLayout(legend);
    grid->setContentsMargins(8, 0, 8, 2);
    grid->setVerticalSpacing(2);
    // Ground and line of sight share the first row; each solution has one to itself.
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const auto *line = static_cast<const QLineSeries *>(listed[i]);
        QWidget *entry = legendEntry(line->pen(), line->name());
        if (i < 2)
            grid->addWidget(entry, 0, static_cast<int>(i));
        else
            grid->addWidget(entry, static_cast<int>(i) - 1, 0, 1, 2);
    }
    // The layout hands back the old entry's item: it is ours to delete.
    delete layout()->replaceWidget(m_legend, legend);
    delete m_legend;
    m_legend = legend;
}

void TrajectoryPlot::fitAxes()
{
    if (m_fitting)
        return;
    const QScopedValueRollback guard(m_fitting, true);

    double x0 = m_bounds.left(), x1 = m_bounds.right();
    double y0 = m_bounds.top(), y1 = m_bounds.bottom();
    if (x1 - x0 < 1e-9 * std::max(1.0, y1 - y0))
        grow(x0, x1, std::max(y1 - y0, 1.0));
    if (y1 - y0 < 1e-9 * std::max(1.0, x1 - x0))
        grow(y0, y1, std::max((x1 - x0) / 10, 1.0));

    const QRectF area = m_chart->plotArea();
    // Pixels kept free around the drawing for the labels of the points.
    const double side = 16, above = 30, below = 30;
    double kx = std::max(area.width() - 2 * side, 1.0) / (x1 - x0);
    double ky = std::max(area.height() - above - below, 1.0) / (y1 - y0);
    const double ratio = std::max(kx, ky) / std::min(kx, ky);
    m_equalScales = ratio <= maxScaleRatio;
    if (m_equalScales)
        kx = ky = std::min(kx, ky);
    x0 -= side / kx;
    x1 += side / kx;
    y0 -= below / ky;
    y1 += above / ky;
    if (m_equalScales) {
        grow(x0, x1, std::max(area.width(), 1.0) / kx);
        grow(y0, y1, std::max(area.height(), 1.0) / ky);
    }

    const QFontMetricsF metrics(m_x->labelsFont());
    double xStep = tickStep(1 / kx, x0, x1, metrics);
    double yStep = plot::niceStep(metrics.height() * 2.2 / ky);
    if (m_equalScales)
        xStep = yStep = std::max(xStep, yStep);

    if (m_equalScales)
        m_note->setText(QStringLiteral("Equal scales on both axes"));
    else
        m_note->setText(QStringLiteral("Axes not to equal scale (%1 \u00d7%2)")
                            .arg(ky > kx ? QStringLiteral("vertical") : QStringLiteral("horizontal"),
                                 QString::number(ratio, 'f', ratio < 10 ? 1 : 0)));

    m_x->setTickInterval(xStep);
    m_x->setLabelFormat(labelFormat(xStep));
    m_y->setTickInterval(yStep);
    m_y->setLabelFormat(labelFormat(yStep));
    m_x->setRange(x0, x1);
    m_y->setRange(y0, y1);
}

void TrajectoryPlot::placeLabels()
{
    const QRectF area = m_chart->plotArea();
    if (area.isEmpty())
        return;
    constexpr double gap = 6;
    std::vector<QRectF> taken;
    for (const Mark &mark : m_marks) {
        QGraphicsItem *box = mark.text->parentItem();
        const QPointF p = m_chart->mapToPosition(mark.at);
        QRectF r = box->boundingRect();
        if (mark.side == Qt::AlignRight)
            r.moveLeft(p.x() + gap);
        else if (mark.side == Qt::AlignLeft)
            r.moveRight(p.x() - gap);
        else
            r.moveLeft(p.x() - r.width() / 2);
        // Points are labelled below, where the flights leave room; apogees above.
        const auto placeAbove = [&] { r.moveBottom(p.y() - gap); };
        const auto placeBelow = [&] { r.moveTop(p.y() + gap / 2); };
        const auto fits = [&] {
            return area.contains(r)
                   && std::none_of(taken.begin(), taken.end(), [&](const QRectF &t) { return t.intersects(r); });
        };
        if (mark.side == Qt::AlignHCenter) {
            placeAbove();
            if (!fits())
                placeBelow();
        } else {
            placeBelow();
            if (!fits())
                placeAbove();
        }
        r.moveLeft(std::clamp(r.left(), area.left(), std::max(area.left(), area.right() - r.width())));
        r.moveTop(std::clamp(r.top(), area.top(), std::max(area.top(), area.bottom() - r.height())));
        box->setPos(r.topLeft() - box->boundingRect().topLeft());
        taken.push_back(r);
    }
}

void TrajectoryPlot::showBeside()
{
    if (!isVisible())
        placeWindow();
    show();
    raise();
    activateWindow();
}

// Beside the screen on the side with more room, as tall as the screen; above or
// below it when neither side is wide enough. Only a display too small to hold
// both at the plot's minimum size makes it cover part of the screen.
void TrajectoryPlot::placeWindow()
{
    QWidget *owner = parentWidget();
    const QRect avail = owner->screen()->availableGeometry();
    const QRect s = owner->frameGeometry();
    const QRect inner = owner->geometry();
    // This window's frame is not known before it is shown: assume the owner's.
    const QSize decoration(s.width() - inner.width(), s.height() - inner.height());
    const QSize least = minimumSize() + decoration;
    constexpr int gap = 8;
    const int right = avail.right() - s.right() - gap;
    const int left = s.left() - avail.left() - gap;
    const int below = avail.bottom() - s.bottom() - gap;
    const int above = s.top() - avail.top() - gap;

    QRect outline;
    if (std::max(left, right) >= least.width() || std::max(above, below) < least.height()) {
        const int width = std::max(least.width(), std::min(std::max(left, right), 720 + decoration.width()));
        const int height = std::clamp(s.height(), least.height(), std::max(least.height(), avail.height()));
        const int x = right >= left ? std::min(s.right() + 1 + gap, avail.right() + 1 - width) : std::max(s.left() - gap - width, avail.left());
        const int y = std::clamp(s.top(), avail.top(), std::max(avail.top(), avail.bottom() + 1 - height));
        outline = QRect(x, y, width, height);
    } else {
        const int height = std::max(least.height(), std::min(std::max(above, below), 540 + decoration.height()));
        const int width = std::max(least.width(), s.width());
        const int y = below >= above ? s.bottom() + 1 + gap : s.top() - gap - height;
        const int x = std::clamp(s.left(), avail.left(), std::max(avail.left(), avail.right() + 1 - width));
        outline = QRect(x, y, width, height);
    }
    resize(outline.size() - decoration);
    move(outline.topLeft());
}
