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
#include <QLineF>
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
#include <numeric>
#include <optional>
#include <tuple>

namespace {

// Beyond this ratio between the two axes' scales, equal scales would squeeze the
// flight into a sliver of the plot: the axes are then scaled apart and say so.
constexpr double maxScaleRatio = 4.0;

constexpr double markerSize = 10;
// Between a label and the point it names: clear of the point's marker.
constexpr double labelGap = 7;
// The label sizes tried, full size first: smaller only when the labels find no
// room at full size, and left out only when they find none at the smallest.
constexpr std::array<double, 3> labelScales{1.0, 0.85, 0.7};

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
    series->setMarkerSize(markerSize);
    series->setColor(colour);
    series->setBorderColor(colour);
    for (const QPointF &p : points)
        series->append(p);
    return series;
}

// A sample of the line's pen and its name. The chart's own legend keeps to one
// row and cuts long names short; these wrap onto rows of their own, and a name
// wraps within its row when the window is narrow.
QWidget *legendEntry(const QPen &pen, const QString &name, qreal pixelRatio)
{
    auto *entry = new QWidget;
    auto *row = new QHBoxLayout(entry);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    const int line = entry->fontMetrics().height();
    const QSizeF size(2.5 * line, line);
    QPixmap sample((size * pixelRatio).toSize());
    sample.setDevicePixelRatio(pixelRatio);
    sample.fill(Qt::transparent);
    QPainter painter(&sample);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen);
    painter.drawLine(QPointF(1, size.height() / 2), QPointF(size.width() - 1, size.height() / 2));
    painter.end();
    auto *key = new QLabel;
    key->setPixmap(sample);
    row->addWidget(key, 0, Qt::AlignTop);
    auto *text = new QLabel(name);
    text->setWordWrap(true);
    row->addWidget(text, 1);
    return entry;
}

// QRectF::united() skips empty rectangles, so single points are added by hand.
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

double distance(const QPointF &p, const QRectF &r)
{
    return QLineF(p, QPointF(std::clamp(p.x(), r.left(), r.right()), std::clamp(p.y(), r.top(), r.bottom()))).length();
}

struct LabelPosition
{
    QRectF rect;
    int ring; // 0 next to the point, then a row further out each
};

// Where a label of `size` may go around the point `p`, the preferred first: above
// or below it, sliding from the preferred side across to the other, or level with
// it on either side; then above or below again, a row further out each time. A
// position crossing an edge of `area` is pulled back in while it still reaches
// the point's column or row.
std::vector<LabelPosition> labelPositions(const QPointF &p, const QSizeF &size, Qt::Alignment side, const QRectF &area)
{
    const double w = size.width(), h = size.height();
    // 0 puts the label right of the point, 1 left of it.
    std::array<double, 5> slide{0.5, 0.25, 0.75, 0, 1};
    if (side == Qt::AlignRight)
        slide = {0, 0.25, 0.5, 0.75, 1};
    else if (side == Qt::AlignLeft)
        slide = {1, 0.75, 0.5, 0.25, 0};
    const bool aboveFirst = side == Qt::AlignHCenter;
    const double highestLeft = std::max(area.left(), area.right() - w);
    const double highestTop = std::max(area.top(), area.bottom() - h);

    std::vector<LabelPosition> positions;
    for (int ring = 0; ring < 3; ++ring) {
        const double reach = labelGap + ring * (h + 2);
        for (const bool above : {aboveFirst, !aboveFirst}) {
            const double top = above ? p.y() - reach - h : p.y() + reach;
            for (const double f : slide) {
                const double left = std::clamp(p.x() + labelGap - f * (w + 2 * labelGap), area.left(), highestLeft);
                if (left <= p.x() + labelGap && left + w >= p.x() - labelGap)
                    positions.push_back({QRectF(left, top, w, h), ring});
            }
        }
        if (ring > 0)
            continue;
        const double top = std::clamp(p.y() - h / 2, area.top(), highestTop);
        if (top > p.y() + labelGap || top + h < p.y() - labelGap)
            continue;
        for (const bool leftOfPoint : {side == Qt::AlignLeft, side != Qt::AlignLeft})
            positions.push_back({QRectF(leftOfPoint ? p.x() - labelGap - w : p.x() + labelGap, top, w, h), ring});
    }
    return positions;
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
    // Room for the plot, its labels and a wrapped legend, in the window's own text size.
    setMinimumSize(QSize(26, 24) * fontMetrics().height());

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
    m_note->setWordWrap(true);
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
        text->setPos(2, 1);
        m_marks.push_back({label.at, text, label.side});
    }
    setLabelScale(1);

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
        QWidget *entry = legendEntry(line->pen(), line->name(), devicePixelRatioF());
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
    // Pixels kept free around the drawing, so the highest and lowest points have
    // room for a label above or below them.
    const double side = 16;
    const double above = QFontMetricsF(m_x->labelsFont()).height() + 2 + labelGap + 2, below = above;
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
        m_scaleText = QStringLiteral("Equal scales on both axes");
    else
        m_scaleText = QStringLiteral("Axes not to equal scale (%1 \u00d7%2)")
                          .arg(ky > kx ? QStringLiteral("vertical") : QStringLiteral("horizontal"),
                               QString::number(ratio, 'f', ratio < 10 ? 1 : 0));

    m_x->setTickInterval(xStep);
    m_x->setLabelFormat(labelFormat(xStep));
    m_y->setTickInterval(yStep);
    m_y->setLabelFormat(labelFormat(yStep));
    m_x->setRange(x0, x1);
    m_y->setRange(y0, y1);
}

void TrajectoryPlot::setLabelScale(double scale)
{
    QFont font = m_x->labelsFont();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * scale);
    else
        font.setPixelSize(std::max(1, qRound(font.pixelSize() * scale)));
    for (const Mark &mark : m_marks) {
        mark.text->setFont(font);
        auto *box = static_cast<QGraphicsRectItem *>(mark.text->parentItem());
        box->setRect(QRectF(QPointF(0, 0), mark.text->boundingRect().size() + QSizeF(4, 2)));
    }
}

// Each label goes to a free position around its point (see labelPositions): one
// that hides no marker and is nearer its own point than any other, in the nearest
// ring that has one, and there the one crossing the fewest drawn lines. A label
// that finds no room is placed first on the next try; when no order fits them
// all, they are tried smaller; one that still finds no room is left out, and the
// note under the plot says so.
void TrajectoryPlot::placeLabels()
{
    const QRectF area = m_chart->plotArea();
    if (area.isEmpty() || m_marks.empty()) {
        m_note->setText(m_scaleText);
        return;
    }

    // Both axes are linear: three points give the mapping for all.
    const QPointF origin = m_chart->mapToPosition({0, 0});
    const QPointF perX = m_chart->mapToPosition({1, 0}) - origin, perY = m_chart->mapToPosition({0, 1}) - origin;
    const auto pixel = [&](const QPointF &v) { return origin + v.x() * perX + v.y() * perY; };

    std::vector<QPointF> points;
    std::vector<QRectF> markers;
    const QPointF corner(markerSize / 2 + 1, markerSize / 2 + 1);
    for (const Mark &mark : m_marks) {
        points.push_back(pixel(mark.at));
        markers.emplace_back(points.back() - corner, points.back() + corner);
    }
    // The lines drawn, sampled every few pixels.
    std::vector<QPointF> ink;
    for (QAbstractSeries *s : m_chart->series()) {
        if (s->type() != QAbstractSeries::SeriesTypeLine)
            continue;
        std::optional<QPointF> last;
        for (const QPointF &value : static_cast<QLineSeries *>(s)->points()) {
            const QPointF p = pixel(value);
            if (last)
                for (int i = 1, n = int(QLineF(*last, p).length() / 3); i <= n; ++i)
                    ink.push_back(*last + (p - *last) * i / (n + 1));
            ink.push_back(p);
            last = p;
        }
    }

    const std::size_t n = m_marks.size();
    const auto arrange = [&](const std::vector<std::size_t> &order) {
        std::vector<std::optional<QRectF>> placed(n);
        std::vector<QRectF> taken;
        for (const std::size_t i : order) {
            const QSizeF size = m_marks[i].text->parentItem()->boundingRect().size();
            std::optional<std::tuple<bool, bool, int, std::ptrdiff_t, std::size_t>> best;
            const std::vector<LabelPosition> positions = labelPositions(points[i], size, m_marks[i].side, area);
            for (std::size_t k = 0; k < positions.size(); ++k) {
                const QRectF r = positions[k].rect;
                // A couple of pixels between labels, so their boxes never touch.
                const QRectF spaced = r.adjusted(-2, -2, 2, 2);
                if (!area.contains(r)
                    || std::any_of(taken.begin(), taken.end(), [&](const QRectF &t) { return t.intersects(spaced); }))
                    continue;
                const bool hidesMarker =
                    std::any_of(markers.begin(), markers.end(), [&](const QRectF &m) { return m.intersects(r); });
                // Nearer another point than its own, a label seems to name that one.
                const double own = distance(points[i], r);
                const bool misleads = std::any_of(points.begin(), points.end(),
                                                  [&](const QPointF &q) { return distance(q, r) < own - 1; });
                const auto rank = std::make_tuple(hidesMarker, misleads, positions[k].ring);
                if (best && rank > std::make_tuple(std::get<0>(*best), std::get<1>(*best), std::get<2>(*best)))
                    continue;
                const auto crossed =
                    std::count_if(ink.begin(), ink.end(), [&](const QPointF &p) { return r.contains(p); });
                const auto cost = std::tuple_cat(rank, std::make_tuple(crossed, k));
                if (!best || cost < *best) {
                    best = cost;
                    placed[i] = r;
                }
            }
            if (placed[i])
                taken.push_back(*placed[i]);
        }
        return placed;
    };
    const auto missing = [](const std::vector<std::optional<QRectF>> &placed) {
        return std::count(placed.begin(), placed.end(), std::nullopt);
    };

    std::vector<std::optional<QRectF>> placed;
    for (const double scale : labelScales) {
        setLabelScale(scale);
        std::vector<std::size_t> order(n);
        std::iota(order.begin(), order.end(), std::size_t{0});
        for (std::size_t attempt = 0; attempt < n; ++attempt) {
            placed = arrange(order);
            const auto failed = std::find_if(order.begin(), order.end(), [&](std::size_t i) { return !placed[i]; });
            if (failed == order.end() || failed == order.begin())
                break;
            std::rotate(order.begin(), failed, failed + 1);
        }
        if (missing(placed) == 0)
            break;
    }

    for (std::size_t i = 0; i < n; ++i) {
        QGraphicsItem *box = m_marks[i].text->parentItem();
        box->setVisible(placed[i].has_value());
        if (placed[i])
            box->setPos(placed[i]->topLeft() - box->boundingRect().topLeft());
    }
    const auto left = missing(placed);
    if (left == 0)
        m_note->setText(m_scaleText);
    else if (left == 1)
        m_note->setText(m_scaleText + QStringLiteral("; a label left out, enlarge the window to see it"));
    else
        m_note->setText(m_scaleText + QStringLiteral("; %1 labels left out, enlarge the window to see them").arg(left));
}

void TrajectoryPlot::showBeside()
{
    if (!isVisible())
        placeWindow();
    show();
    raise();
    activateWindow();
}

// Right of the screen, as tall as it, unless the left side has markedly more
// room; below or above it when neither side is wide enough. On a desktop too
// small for any of these, the window keeps its least size and goes where it
// covers least of the screen's input frame (velocity or angle and Compute, in
// Frame1 on both result screens), normally none of it, then least of the rest.
void TrajectoryPlot::placeWindow()
{
    QWidget *owner = parentWidget();
    const QRect avail = owner->screen()->availableGeometry();
    const QRect s = owner->frameGeometry();
    const QRect inner = owner->geometry();
    // This window's frame is not known before it is shown: assume the owner's.
    const QSize decoration(s.width() - inner.width(), s.height() - inner.height());
    const QSize least = minimumSize() + decoration;
    const QSize wanted = least.expandedTo(QSize(720, 540) + decoration);
    constexpr int gap = 8;
    const int right = avail.right() - s.right() - gap;
    const int left = s.left() - avail.left() - gap;
    const int below = avail.bottom() - s.bottom() - gap;
    const int above = s.top() - avail.top() - gap;

    QRect outline;
    if (std::max(left, right) >= least.width()) {
        const bool onRight = right >= least.width() && right >= std::min(left, wanted.width()) * 7 / 8;
        const int width = std::min(onRight ? right : left, wanted.width());
        const int height = std::max(least.height(), std::min(s.height(), avail.height()));
        const int x = onRight ? s.right() + 1 + gap : s.left() - gap - width;
        const int y = std::clamp(s.top(), avail.top(), std::max(avail.top(), avail.bottom() + 1 - height));
        outline = QRect(x, y, width, height);
    } else if (std::max(above, below) >= least.height()) {
        const int height = std::min(std::max(above, below), wanted.height());
        const int width = std::max(least.width(), std::min(s.width(), avail.width()));
        const int y = below >= above ? s.bottom() + 1 + gap : s.top() - gap - height;
        const int x = std::clamp(s.left(), avail.left(), std::max(avail.left(), avail.right() + 1 - width));
        outline = QRect(x, y, width, height);
    } else {
        const QWidget *input = owner->findChild<QWidget *>(QStringLiteral("Frame1"));
        const QRect keep = input ? QRect(input->mapToGlobal(QPoint(0, 0)), input->size()).adjusted(-gap, -gap, gap, gap)
                                 : QRect();
        const int w = least.width(), h = least.height();
        const auto fitX = [&](int x) {
            return std::clamp(x, avail.left(), std::max(avail.left(), avail.right() + 1 - w));
        };
        const auto fitY = [&](int y) {
            return std::clamp(y, avail.top(), std::max(avail.top(), avail.bottom() + 1 - h));
        };
        const int xs[] = {fitX(avail.right()), fitX(avail.left()), fitX(keep.right() + 1), fitX(keep.left() - w)};
        const int ys[] = {fitY(s.top()), fitY(avail.bottom()), fitY(keep.bottom() + 1), fitY(avail.top())};
        const auto area = [](const QRect &r) { return qint64(r.width()) * r.height(); };
        std::optional<std::pair<qint64, qint64>> best;
        for (const int y : ys)
            for (const int x : xs) {
                const QRect r(x, y, w, h);
                const auto cost = std::make_pair(area(r & keep), area(r & s));
                if (!best || cost < *best) {
                    best = cost;
                    outline = r;
                }
            }
    }
    resize(outline.size() - decoration);
    move(outline.topLeft());
}
