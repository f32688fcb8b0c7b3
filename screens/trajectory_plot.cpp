#include "trajectory_plot.h"

#include "conversions.h"
#include "drag.h"
#include "drag_inputs.h"

#include <QAbstractTextDocumentLayout>
#include <QBrush>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QLineF>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QScatterSeries>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QtMath>

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

// Samples of a flight with air resistance, evenly spaced in time.
constexpr int dragSamples = 240;

struct DragField
{
    drag::Field field;
    const char *name;
    const char *caption;
};
const std::array<DragField, 4> dragFields{{
    {drag::Field::Mass, "Mass", "Mass"},
    {drag::Field::Diameter, "Diameter", "Diameter"},
    {drag::Field::DragCoefficient, "DragCoefficient", "Drag coefficient"},
    {drag::Field::AirDensity, "AirDensity", "Air density"},
}};

const QColor errorText(160, 0, 0);
const QColor errorBase(255, 225, 225);

QString number(double value)
{
    return QString::fromStdString(conv::generalText(value));
}

// A figure for the air resistance lines; the solvers never hand over anything
// non-finite, but nothing non-finite reaches the screen either way.
QString figure(double value, std::string_view pattern)
{
    if (!std::isfinite(value))
        return QStringLiteral("(too large to show)");
    return QString::fromStdString(conv::formatPattern(value, pattern));
}

// "Solution # 1 with air resistance": the solution's name from its legend.
QString dragName(const PlotSolution &s)
{
    return s.legend.section(QLatin1Char(':'), 0, 0) + QStringLiteral(" with air resistance");
}

drag::Units unitsOf(const PlotProblem &p)
{
    return p.distanceUnit == QLatin1String("Feet") ? drag::Units::Imperial : drag::Units::Metric;
}

// Radians, or degrees with pi taken as 3.14159 as the result screens show them.
QString angleText(double radians, const PlotQuestion &q, bool fine)
{
    if (q.radians)
        return figure(radians, "#0.000");
    return figure(radians * 180 / 3.14159, fine ? "#0.000" : "#0.00");
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
    createDragPanel();
    layout->addWidget(m_airResistance);
    layout->addWidget(m_dragPanel);

    connect(m_chart, &QChart::plotAreaChanged, this, [this] {
        fitAxes();
        placeLabels();
    });
    rebuild();
}

void TrajectoryPlot::createDragPanel()
{
    m_airResistance = new QCheckBox(QStringLiteral("With &air resistance"));
    m_airResistance->setObjectName(QStringLiteral("AirResistance"));
    m_airResistance->setToolTip(
        QStringLiteral("Also fly each solution through still air, with drag growing as the square of the speed"));
    connect(m_airResistance, &QCheckBox::toggled, this, &TrajectoryPlot::airResistanceToggled);

    m_dragPanel = new QWidget;
    m_dragPanel->setObjectName(QStringLiteral("DragPanel"));
    m_dragPanel->hide();
    auto *grid = new QGridLayout(m_dragPanel);
    grid->setContentsMargins(8, 0, 8, 2);
    grid->setVerticalSpacing(3);

    m_projectile = new QComboBox;
    m_projectile->setObjectName(QStringLiteral("Projectile"));
    for (const drag::Preset &preset : drag::presets()) {
        m_projectile->addItem(QString::fromUtf8(preset.name));
        m_projectile->setItemData(m_projectile->count() - 1, QString::fromUtf8(preset.source), Qt::ToolTipRole);
    }
    m_projectile->addItem(QStringLiteral("Custom"));
    m_projectile->setItemData(m_projectile->count() - 1,
                              QStringLiteral("The mass, diameter, drag coefficient and air density as typed"),
                              Qt::ToolTipRole);
    auto *projectileLabel = new QLabel(QStringLiteral("&Projectile"));
    projectileLabel->setBuddy(m_projectile);
    grid->addWidget(projectileLabel, 0, 0);
    grid->addWidget(m_projectile, 0, 1, 1, 6, Qt::AlignLeft);
    connect(m_projectile, &QComboBox::currentIndexChanged, this, &TrajectoryPlot::presetChosen);

    for (const auto &field : dragFields) {
        auto *edit = new QLineEdit;
        edit->setObjectName(QLatin1String(field.name));
        edit->setAccessibleName(QLatin1String(field.caption));
        // Room for the longest preset figure and a little more.
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0.0764743")) + 16);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, &TrajectoryPlot::fieldEdited);
        connect(edit, &QLineEdit::editingFinished, this, &TrajectoryPlot::fieldFinished);
        auto *caption = new QLabel(QLatin1String(field.caption));
        caption->setBuddy(edit);
        auto *unit = new QLabel;
        unit->setObjectName(QLatin1String(field.name) + QStringLiteral("Unit"));
        // Wide enough for every unit and a gap before the next field.
        unit->setMinimumWidth(unit->fontMetrics().horizontalAdvance(QStringLiteral("lb/ft\u00b3")) + 16);
        m_fieldCaptions.push_back(caption);
        m_fields.push_back(edit);
        m_fieldUnits.push_back(unit);
    }
    m_accepted.resize(m_fields.size());
    grid->setColumnStretch(6, 1);

    m_dragNote = new QLabel;
    m_dragNote->setObjectName(QStringLiteral("DragNote"));
    m_dragNote->setWordWrap(true);
    QPalette notePalette = m_dragNote->palette();
    notePalette.setColor(QPalette::WindowText, errorText);
    m_dragNote->setPalette(notePalette);
    m_dragNote->hide();

    m_dragResults = new QTextEdit;
    m_dragResults->setObjectName(QStringLiteral("DragResults"));
    m_dragResults->setAccessibleName(QStringLiteral("Air resistance results"));
    m_dragResults->setReadOnly(true);
    m_dragResults->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_dragResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_dragResults->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(m_dragResults->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &TrajectoryPlot::fitDragResults);

    arrangeDragFields(2);
    m_twoColumnWidth = grid->minimumSize().width();
    showPresetFields();
}

// Two fields to a row, or one below the other when the window is too narrow for two.
void TrajectoryPlot::arrangeDragFields(int columns)
{
    if (columns == m_fieldColumns)
        return;
    m_fieldColumns = columns;
    auto *grid = static_cast<QGridLayout *>(m_dragPanel->layout());
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const int row = 1 + int(i) / columns, column = 3 * (int(i) % columns);
        for (QWidget *w : {static_cast<QWidget *>(m_fieldCaptions[i]), static_cast<QWidget *>(m_fields[i]),
                           static_cast<QWidget *>(m_fieldUnits[i])}) {
            grid->removeWidget(w);
            grid->addWidget(w, row, column + (w == m_fields[i] ? 1 : w == m_fieldUnits[i] ? 2 : 0));
        }
    }
    const int next = 1 + int(m_fields.size() + std::size_t(columns) - 1) / columns;
    grid->removeWidget(m_dragNote);
    grid->removeWidget(m_dragResults);
    grid->addWidget(m_dragNote, next, 0, 1, 7);
    grid->addWidget(m_dragResults, next + 1, 0, 1, 7);
}

void TrajectoryPlot::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QMargins margins = layout()->contentsMargins();
    arrangeDragFields(width() - margins.left() - margins.right() >= m_twoColumnWidth ? 2 : 1);
}

void TrajectoryPlot::setProblem(const PlotProblem &problem)
{
    const bool unitsChanged = unitsOf(problem) != unitsOf(m_problem);
    m_problem = problem;
    if (unitsChanged) {
        // A custom projectile was typed in the other units: start again from the first preset.
        if (m_projectile->currentIndex() >= int(drag::presets().size()))
            m_projectile->setCurrentIndex(0);
        showPresetFields();
    }
    rebuild();
}

void TrajectoryPlot::setQuestion(const PlotQuestion &question)
{
    m_question = question;
    if (airResistance())
        rebuild();
}

bool TrajectoryPlot::airResistance() const
{
    return m_airResistance->isChecked();
}

void TrajectoryPlot::airResistanceToggled(bool on)
{
    m_dragPanel->setVisible(on);
    rebuild();
    // Room for the panel below the plot where the desktop has it, given back when it goes.
    if (on) {
        const QRect avail = screen()->availableGeometry();
        const QRect frame = frameGeometry();
        const int wanted = m_dragPanel->sizeHint().height() + layout()->spacing();
        const int grow = std::clamp(avail.height() - frame.height(), 0, wanted);
        m_addedHeight = grow;
        if (grow > 0) {
            resize(width(), height() + grow);
            if (frame.bottom() + grow > avail.bottom())
                move(x(), std::max(avail.top(), avail.bottom() + 1 - frame.height() - grow));
        }
    } else if (m_addedHeight > 0) {
        resize(width(), std::max(minimumHeight(), height() - m_addedHeight));
        m_addedHeight = 0;
    }
}

void TrajectoryPlot::presetChosen(int index)
{
    m_projectile->setToolTip(m_projectile->itemData(index, Qt::ToolTipRole).toString());
    if (index < int(drag::presets().size())) {
        showPresetFields();
        rebuild();
    }
}

// The chosen preset's figures in the problem's units.
void TrajectoryPlot::showPresetFields()
{
    const drag::Units units = unitsOf(m_problem);
    for (std::size_t i = 0; i < dragFields.size(); ++i) {
        const drag::FieldRange range = drag::fieldRange(dragFields[i].field, units);
        m_fieldUnits[i]->setText(QString::fromUtf8(range.unit));
        m_fields[i]->setToolTip(
            QStringLiteral("%1: a number from %2 to %3%4. Enter sets it, Escape keeps the old value.")
                .arg(QLatin1String(dragFields[i].caption), QString::fromStdString(drag::fieldText(range.minimum)),
                     QString::fromStdString(drag::fieldText(range.maximum)),
                     *range.unit ? QStringLiteral(" ") + QString::fromUtf8(range.unit) : QString()));
    }
    const int index = m_projectile->currentIndex();
    if (index < 0 || index >= int(drag::presets().size()))
        return;
    const drag::Projectile p = drag::inUnits(drag::presets()[index].metric, units);
    const std::array<double, 4> values{p.mass, p.diameter, p.dragCoefficient, p.airDensity};
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        m_accepted[i] = QString::fromStdString(drag::fieldText(values[i]));
        m_fields[i]->setText(m_accepted[i]);
    }
}

// Typing makes the projectile a custom one; what is typed counts once it is entered.
void TrajectoryPlot::fieldEdited()
{
    const int custom = int(drag::presets().size());
    if (m_projectile->currentIndex() != custom) {
        const QSignalBlocker quiet(m_projectile);
        m_projectile->setCurrentIndex(custom);
        m_projectile->setToolTip(m_projectile->itemData(custom, Qt::ToolTipRole).toString());
    }
}

void TrajectoryPlot::fieldFinished()
{
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        if (drag::readEntry(m_fields[i]->text().toStdString(),
                            drag::fieldRange(dragFields[i].field, unitsOf(m_problem)))
                .outcome == drag::EntryOutcome::Valid)
            m_accepted[i] = m_fields[i]->text();
    rebuild();
}

bool TrajectoryPlot::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        const auto it = std::find(m_fields.begin(), m_fields.end(), watched);
        if (it != m_fields.end()) {
            (*it)->setText(m_accepted[std::size_t(it - m_fields.begin())]);
            rebuild();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Reads the four fields, marks each refused one in place and says why under them;
// k per unit of length when all are good.
std::optional<double> TrajectoryPlot::readProjectile()
{
    const drag::Units units = unitsOf(m_problem);
    QStringList notes;
    std::array<double, 4> values{};
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const drag::FieldRange range = drag::fieldRange(dragFields[i].field, units);
        const drag::Entry entry = drag::readEntry(m_fields[i]->text().toStdString(), range);
        const bool good = entry.outcome == drag::EntryOutcome::Valid;
        QPalette palette = m_dragPanel->palette();
        if (!good) {
            palette.setColor(QPalette::Base, errorBase);
            notes << QStringLiteral("%1: %2").arg(QLatin1String(dragFields[i].caption),
                                                  QString::fromStdString(drag::entryNote(entry, range)));
        }
        m_fields[i]->setPalette(palette);
        values[i] = entry.value;
    }
    const drag::Projectile projectile{values[0], values[1], values[2], values[3]};
    if (notes.isEmpty())
        if (const std::string tooLight = drag::tooLightNote(projectile, units); !tooLight.empty())
            notes << QString::fromStdString(tooLight);
    m_dragNote->setText(notes.join(QLatin1Char('\n')));
    m_dragNote->setVisible(!notes.isEmpty());
    if (!notes.isEmpty())
        return std::nullopt;
    return drag::dragFactorPerLength(projectile, units);
}

std::optional<TrajectoryPlot::DragFlight> TrajectoryPlot::dragFlight(const PlotSolution &s, double k) const
{
    const PlotProblem &p = m_problem;
    const drag::Flight f = drag::fly({p.sx, p.so, p.sy, p.g, k, s.velocity, s.angle}, dragSamples);
    if (f.arrival == drag::Arrival::InvalidShot)
        return std::nullopt;
    const QString unit = p.distanceUnit;
    const auto length = [&unit](double v) { return figure(v, "#0.0") + QLatin1Char(' ') + unit; };
    const auto none = [](double v) { return std::abs(v) < 0.05; };

    QString where;
    switch (f.arrival) {
    case drag::Arrival::AtDistance:
        where = none(f.miss) ? QStringLiteral("hits the target")
                             : QStringLiteral("passes %1 %2 the target")
                                   .arg(length(std::abs(f.miss)),
                                        f.miss < 0 ? QStringLiteral("below") : QStringLiteral("above"));
        break;
    case drag::Arrival::ShortAtHeight:
        where = none(f.shortBy) ? QStringLiteral("hits the target")
                                : QStringLiteral("falls %1 short, at the target's height").arg(length(f.shortBy));
        break;
    case drag::Arrival::BelowTargetHeight:
        where = f.apex ? QStringLiteral("never rises to the target's height: tops out %1 below it")
                             .arg(length(p.sy - f.apex->y))
                       : QStringLiteral("never rises to the target's height");
        break;
    case drag::Arrival::NoArrival:
    case drag::Arrival::InvalidShot:
        where = QStringLiteral("neither reaches the target's distance nor comes down to its height in %1 Seconds: "
                               "drawn as far as it got")
                    .arg(figure(f.end.t, "#0"));
        break;
    }
    DragFlight out;
    out.line = dragName(s) + QStringLiteral(": ") + where;
    if (f.arrival != drag::Arrival::NoArrival)
        out.line += QStringLiteral("; time of flight %1 Seconds").arg(figure(f.end.t, "#0.00"));
    if (f.apex)
        out.line += QStringLiteral("; apogee %1").arg(length(f.apex->y));
    out.path.reserve(f.path.size());
    for (const drag::Point &point : f.path)
        out.path.emplace_back(point.x, point.y);
    return out;
}

// What hits the target with air resistance: the two angles at the screen's velocity,
// or the velocity at its angle.
QString TrajectoryPlot::hitLine(double k) const
{
    const PlotProblem &p = m_problem;
    const PlotSolution &s = m_solutions.front();
    const QString speed = p.distanceUnit + QStringLiteral("/Sec");
    const QString angleUnit = m_question.angleUnit;
    if (m_question.angleGiven) {
        const drag::HitVelocity hit = drag::hitVelocity({p.sx, p.so, p.sy, p.g, k, 0, s.angle});
        const QString at = angleText(s.angle, m_question, true) + QLatin1Char(' ') + angleUnit;
        if (hit.hit.outcome == drag::HitOutcome::Found)
            return QStringLiteral("Muzzle velocity that hits the target with air resistance at %1: %2 %3")
                .arg(at, figure(hit.hit.value, "#0.00"), speed);
        if (hit.hit.outcome == drag::HitOutcome::NotReachable && hit.searchedUpTo > 0)
            return QStringLiteral("No muzzle velocity up to %1 %2 hits the target at %3 with air resistance")
                .arg(figure(hit.searchedUpTo, "#0.0"), speed, at);
        return QStringLiteral("No muzzle velocity hits the target at %1 with air resistance").arg(at);
    }

    const drag::HitAngles hit = drag::hitAngles({p.sx, p.so, p.sy, p.g, k, s.velocity, 0});
    const QString at = QStringLiteral("at %1 %2").arg(number(s.velocity), speed);
    const QString limit = angleText(282.428941 / 180, m_question, false) + QLatin1Char(' ') + angleUnit;
    const auto angle = [&](const drag::Hit &h) { return angleText(h.value, m_question, false); };
    const bool low = hit.low.outcome == drag::HitOutcome::Found, high = hit.high.outcome == drag::HitOutcome::Found;
    if (low && high)
        return QStringLiteral("Angles that hit the target with air resistance %1: %2 and %3 %4")
            .arg(at, angle(hit.low), angle(hit.high), angleUnit);
    if (low)
        return QStringLiteral("Angles that hit the target with air resistance %1: %2 %3, and one above %4")
            .arg(at, angle(hit.low), angleUnit, limit);
    if (hit.low.outcome == drag::HitOutcome::AboveAngleLimit)
        return QStringLiteral("Angles that hit the target with air resistance %1 lie above %2").arg(at, limit);
    if (hit.farthest)
        return QStringLiteral("No angle reaches the target with air resistance %1: it carries at most %2 %3 at the "
                              "target's height")
            .arg(at, figure(*hit.farthest, "#0.0"), p.distanceUnit);
    if (hit.low.outcome == drag::HitOutcome::NotReachable)
        return QStringLiteral("No angle reaches the target with air resistance %1: it rises no higher than %2 %3")
            .arg(at, figure(hit.highest, "#0.0"), p.distanceUnit);
    return {};
}

// As tall as its text: the whole of it shows, on screen and on the printed page.
void TrajectoryPlot::fitDragResults()
{
    const QMargins margins = m_dragResults->contentsMargins();
    const int height = qCeil(m_dragResults->document()->size().height()) + margins.top() + margins.bottom();
    if (m_dragResults->height() != height)
        m_dragResults->setFixedHeight(height);
}

QList<QStringList> TrajectoryPlot::dragRows() const
{
    if (!airResistance())
        return {};
    QList<QStringList> rows{{}, {QStringLiteral("Air resistance"), m_projectile->currentText()}};
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        QStringList row{QLatin1String(dragFields[i].caption), m_fields[i]->text()};
        if (!m_fieldUnits[i]->text().isEmpty())
            row << m_fieldUnits[i]->text();
        rows << row;
    }
    const QString shown = m_dragNote->text().isEmpty() ? QString() : m_dragNote->text() + QLatin1Char('\n');
    for (const QString &line : (shown + m_dragResults->toPlainText()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype colon = line.indexOf(QStringLiteral(": "));
        rows << (colon < 0 ? QStringList{line} : QStringList{line.left(colon), line.mid(colon + 2)});
    }
    return rows;
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
    // Beside each vacuum curve, in a lighter shade of its colour and dotted: the same
    // shot through the air, as far as its arrival, which a small square marks.
    std::vector<QAbstractSeries *> withDrag;
    QStringList dragLines;
    if (airResistance()) {
        const std::optional<double> k = readProjectile();
        for (std::size_t i = 0; k && i < m_solutions.size() && i < solutionColours.size(); ++i) {
            const std::optional<DragFlight> flight = dragFlight(m_solutions[i], *k);
            withDrag.push_back(nullptr);
            if (!flight)
                continue;
            for (const QPointF &point : flight->path)
                include(m_bounds, point);
            const QColor shade = solutionColours[i].lighter(160);
            withDrag.back() = lineSeries(dragName(m_solutions[i]), QPen(shade, 2, Qt::DotLine), flight->path);
            auto *arrival = markers(QStringLiteral("Arrival with air resistance %1").arg(i + 1),
                                    QScatterSeries::MarkerShapeRectangle, shade, {flight->path.back()});
            arrival->setMarkerSize(markerSize * 0.7);
            unlisted.push_back(arrival);
            dragLines << flight->line;
        }
        if (k && !m_solutions.empty()) {
            if (const QString hit = hitLine(*k); !hit.isEmpty())
                dragLines << hit;
        } else if (!k) {
            dragLines << QStringLiteral("Correct the entry above to see the flights with air resistance.");
        } else {
            dragLines << QStringLiteral("Compute on the result screen to see the flights with air resistance.");
        }
    }
    m_dragResults->setPlainText(dragLines.join(QLatin1Char('\n')));

    unlisted.push_back(markers(QStringLiteral("Firing point and target"), QScatterSeries::MarkerShapeCircle, Qt::black,
                               {muzzle, target}));

    for (QAbstractSeries *s : series)
        m_chart->addSeries(s);
    for (QAbstractSeries *s : withDrag)
        if (s)
            m_chart->addSeries(s);
    for (QAbstractSeries *s : unlisted)
        m_chart->addSeries(s);
    showLegend(series, withDrag);
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

void TrajectoryPlot::showLegend(const std::vector<QAbstractSeries *> &listed,
                                const std::vector<QAbstractSeries *> &withDrag)
{
    auto *legend = new QWidget;
    legend->setObjectName(QStringLiteral("legend"));
    auto *grid = new QGridLayout(legend);
    grid->setContentsMargins(8, 0, 8, 2);
    grid->setVerticalSpacing(2);
    const auto entry = [this](const QAbstractSeries *s) {
        const auto *line = static_cast<const QLineSeries *>(s);
        return legendEntry(line->pen(), line->name(), devicePixelRatioF());
    };
    // Ground and line of sight share the first row; each solution has one to itself,
    // shared with its flight through the air when there is one.
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const int row = static_cast<int>(i) - 1;
        if (i < 2)
            grid->addWidget(entry(listed[i]), 0, static_cast<int>(i));
        else if (i - 2 < withDrag.size() && withDrag[i - 2]) {
            grid->addWidget(entry(listed[i]), row, 0);
            grid->addWidget(entry(withDrag[i - 2]), row, 1);
        } else {
            grid->addWidget(entry(listed[i]), row, 0, 1, 2);
        }
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
                if (!area.contains(r) ||
                    std::any_of(taken.begin(), taken.end(), [&](const QRectF &t) { return t.intersects(spaced); }))
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
        const QRect keep =
            input ? QRect(input->mapToGlobal(QPoint(0, 0)), input->size()).adjusted(-gap, -gap, gap, gap) : QRect();
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
