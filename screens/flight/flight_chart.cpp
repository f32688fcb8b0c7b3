#include "screens/flight/flight_chart.h"

#include <QChart>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLineF>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QScatterSeries>
#include <QScopedValueRollback>
#include <QValueAxis>

#include <algorithm>
#include <array>

namespace {

// The label sizes tried, full size first: smaller only when the labels find no
// room at full size, and left out only when they find none at the smallest.
constexpr std::array<double, 3> labelScales{1.0, 0.85, 0.7};

const std::array<QColor, plot::maxSolutions> solutionColours{QColor(0, 90, 200), QColor(200, 40, 40)};
const std::array<Qt::PenStyle, plot::maxSolutions> solutionStyles{Qt::SolidLine, Qt::DashLine};

QLineSeries *lineSeries(const plot::Line &line)
{
    auto *series = new QLineSeries;
    series->setName(line.name);
    series->setPen(linePen(line));
    for (const QPointF &p : line.points)
        series->append(p);
    return series;
}

// Apogees as triangles in their solution's colour, arrivals through the air as
// small squares in its lighter shade, the firing point and the target as black dots.
QScatterSeries *markerSeries(const plot::Markers &markers)
{
    const bool apogee = markers.shape == plot::Marker::Apogee, arrival = markers.shape == plot::Marker::Arrival;
    const QColor colour = apogee    ? solutionColours[markers.solution]
                          : arrival ? solutionColours[markers.solution].lighter(160)
                                    : QColor(Qt::black);
    auto *series = new QScatterSeries;
    series->setName(markers.name);
    series->setMarkerShape(apogee    ? QScatterSeries::MarkerShapeTriangle
                           : arrival ? QScatterSeries::MarkerShapeRectangle
                                     : QScatterSeries::MarkerShapeCircle);
    series->setMarkerSize(arrival ? plot::markerSize * 0.7 : plot::markerSize);
    series->setColor(colour);
    series->setBorderColor(colour);
    for (const QPointF &p : markers.points)
        series->append(p);
    return series;
}

// The chart's mapping from the problem's units to pixels. Both axes are linear:
// three points give it for all.
struct PixelMap
{
    explicit PixelMap(QChart *chart)
        : origin(chart->mapToPosition({0, 0})), perX(chart->mapToPosition({1, 0}) - origin),
          perY(chart->mapToPosition({0, 1}) - origin)
    {}
    QPointF operator()(const QPointF &v) const { return origin + v.x() * perX + v.y() * perY; }

    QPointF origin;
    QPointF perX;
    QPointF perY;
};

} // namespace

QPen linePen(const plot::Line &line)
{
    switch (line.stroke) {
    case plot::Stroke::Ground:
        return QPen(QColor(130, 95, 50), 2);
    case plot::Stroke::Sight:
        return QPen(QColor(90, 90, 90), 1.5, Qt::DotLine);
    case plot::Stroke::Vacuum:
        return QPen(solutionColours[line.solution], 2, solutionStyles[line.solution]);
    case plot::Stroke::Air:
        break;
    }
    return QPen(solutionColours[line.solution].lighter(160), 2, Qt::DotLine);
}

FlightChart::FlightChart(QWidget *parent) : QChartView(new QChart, parent)
{
    setObjectName(QStringLiteral("Chart"));
    setAccessibleName(QStringLiteral("Trajectory chart"));
    setRenderHint(QPainter::Antialiasing);
    chart()->legend()->hide();
    chart()->setMargins(QMargins(4, 4, 4, 4));
    // The room goes to the plot area, not to a frame around the chart.
    chart()->layout()->setContentsMargins(0, 0, 0, 0);
    chart()->setBackgroundRoundness(0);
    m_x = new QValueAxis;
    m_y = new QValueAxis;
    for (QValueAxis *axis : {m_x, m_y}) {
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0);
        axis->setMinorTickCount(0);
    }
    chart()->addAxis(m_x, Qt::AlignBottom);
    chart()->addAxis(m_y, Qt::AlignLeft);
    // Room for a plot area of 240 pixels besides the margins, the horizontal axis's
    // labels and its title: about four lines of their text.
    const int text = QFontMetrics(m_x->labelsFont()).height();
    setMinimumSize(leastWidth, std::max(leastHeight, 240 + 4 * text));
    connect(chart(), &QChart::plotAreaChanged, this, [this] {
        fitAxes();
        placeLabels();
    });
}

void FlightChart::draw(const plot::Scene &scene, const QString &distanceUnit, const QString &prompt)
{
    clearDrawing();
    m_x->setTitleText(QStringLiteral("Distance (%1)").arg(distanceUnit));
    m_y->setTitleText(QStringLiteral("Elevation (%1)").arg(distanceUnit));
    chart()->setTitle(prompt);
    m_bounds = scene.bounds;
    addSeries(scene);
    addLabels(scene.labels);
    fitAxes();
    placeLabels();
}

void FlightChart::clearDrawing()
{
    for (const Mark &mark : m_marks)
        delete mark.text->parentItem();
    m_marks.clear();
    chart()->removeAllSeries();
}

// The legend's lines first, then the flights through the air beside them, then the
// markers on top.
void FlightChart::addSeries(const plot::Scene &scene)
{
    for (const plot::Line &line : scene.lines)
        chart()->addSeries(lineSeries(line));
    for (const plot::Line &line : scene.airLines)
        chart()->addSeries(lineSeries(line));
    for (const plot::Markers &markers : scene.markers)
        chart()->addSeries(markerSeries(markers));
    for (QAbstractSeries *s : chart()->series()) {
        s->attachAxis(m_x);
        s->attachAxis(m_y);
    }
}

void FlightChart::addLabels(const std::vector<plot::Label> &labels)
{
    for (const plot::Label &label : labels) {
        auto *box = new QGraphicsRectItem(chart());
        box->setPen(Qt::NoPen);
        box->setBrush(QColor(255, 255, 255, 210));
        box->setZValue(1000);
        auto *text = new QGraphicsSimpleTextItem(label.text, box);
        text->setPos(2, 1);
        m_marks.push_back({label.at, text, label.side});
    }
    setLabelScale(1);
}

// New ranges write new tick labels, whose widths move the plot area: fitted again
// until it stays where it is.
void FlightChart::fitAxes()
{
    if (m_fitting)
        return;
    const QScopedValueRollback guard(m_fitting, true);

    const QFontMetricsF metrics(m_x->labelsFont());
    for (int pass = 0; pass < 4; ++pass) {
        const QRectF area = chart()->plotArea();
        const plot::AxisFit fit =
            plot::fitAxes(m_bounds, area.size(), metrics.height(),
                          [&metrics](const QString &text) { return metrics.horizontalAdvance(text); });
        m_equalScales = fit.equalScales;
        m_scaleText = fit.note;
        m_x->setTickInterval(fit.xStep);
        m_x->setLabelFormat(fit.xFormat);
        m_y->setTickInterval(fit.yStep);
        m_y->setLabelFormat(fit.yFormat);
        m_x->setRange(fit.x0, fit.x1);
        m_y->setRange(fit.y0, fit.y1);
        if (chart()->plotArea() == area)
            break;
    }
}

void FlightChart::setLabelScale(double scale)
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

// The labels go where plot::arrangeLabels finds room for them; when it finds none
// for all of them, they are tried smaller. One that still finds no room is left
// out, and the note says so.
void FlightChart::placeLabels()
{
    const QRectF area = chart()->plotArea();
    if (area.isEmpty() || m_marks.empty()) {
        setNote(m_scaleText);
        return;
    }
    const PixelMap pixel(chart());
    const std::vector<QPointF> drawn = ink();
    std::vector<std::optional<QRectF>> placed;
    for (const double scale : labelScales) {
        setLabelScale(scale);
        std::vector<plot::LabelSpot> spots;
        for (const Mark &mark : m_marks)
            spots.push_back({pixel(mark.at), mark.text->parentItem()->boundingRect().size(), mark.side});
        placed = plot::arrangeLabels(spots, area, drawn);
        if (std::count(placed.begin(), placed.end(), std::nullopt) == 0)
            break;
    }
    showLabels(placed);
}

// The lines drawn, in pixels, sampled every few pixels.
std::vector<QPointF> FlightChart::ink() const
{
    const PixelMap pixel(chart());
    std::vector<QPointF> ink;
    for (QAbstractSeries *s : chart()->series()) {
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
    return ink;
}

void FlightChart::showLabels(const std::vector<std::optional<QRectF>> &placed)
{
    for (std::size_t i = 0; i < m_marks.size(); ++i) {
        QGraphicsItem *box = m_marks[i].text->parentItem();
        box->setVisible(placed[i].has_value());
        if (placed[i])
            box->setPos(placed[i]->topLeft() - box->boundingRect().topLeft());
    }
    const auto left = std::count(placed.begin(), placed.end(), std::nullopt);
    if (left == 0)
        setNote(m_scaleText);
    else if (left == 1)
        setNote(m_scaleText + QStringLiteral("; a label left out, enlarge the window to see it"));
    else
        setNote(m_scaleText + QStringLiteral("; %1 labels left out, enlarge the window to see them").arg(left));
}

void FlightChart::setNote(const QString &note)
{
    if (note == m_note)
        return;
    m_note = note;
    emit scaleNoteChanged(note);
}
