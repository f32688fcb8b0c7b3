#include "trajectory_plot.h"

#include "conversions.h"
#include "drag.h"
#include "drag_inputs.h"
#include "toolkit/controls.h"

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
#include <optional>

namespace {

using toolkit::qs;

// The label sizes tried, full size first: smaller only when the labels find no
// room at full size, and left out only when they find none at the smallest.
constexpr std::array<double, 3> labelScales{1.0, 0.85, 0.7};

const std::array<QColor, plot::maxSolutions> solutionColours{QColor(0, 90, 200), QColor(200, 40, 40)};
const std::array<Qt::PenStyle, plot::maxSolutions> solutionStyles{Qt::SolidLine, Qt::DashLine};

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

// A figure for the air resistance lines; the solvers never hand over anything
// non-finite, but nothing non-finite reaches the screen either way.
QString figure(double value, std::string_view pattern)
{
    if (!std::isfinite(value))
        return QStringLiteral("(too large to show)");
    return qs(conv::formatPattern(value, pattern));
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

QString length(double v, const PlotProblem &p)
{
    return figure(v, "#0.0") + QLatin1Char(' ') + p.distanceUnit;
}

// Where a flight through the air ends up, against the target.
QString arrival(const drag::Flight &f, const PlotProblem &p)
{
    const auto none = [](double v) { return std::abs(v) < 0.05; };
    switch (f.arrival) {
    case drag::Arrival::AtDistance:
        return none(f.miss) ? QStringLiteral("hits the target")
                            : QStringLiteral("passes %1 %2 the target")
                                  .arg(length(std::abs(f.miss), p),
                                       f.miss < 0 ? QStringLiteral("below") : QStringLiteral("above"));
    case drag::Arrival::ShortAtHeight:
        return none(f.shortBy) ? QStringLiteral("hits the target")
                               : QStringLiteral("falls %1 short, at the target's height").arg(length(f.shortBy, p));
    case drag::Arrival::BelowTargetHeight:
        return f.apex ? QStringLiteral("never rises to the target's height: tops out %1 below it")
                            .arg(length(p.sy - f.apex->y, p))
                      : QStringLiteral("never rises to the target's height");
    case drag::Arrival::NoArrival:
    case drag::Arrival::InvalidShot:
        break;
    }
    return QStringLiteral("neither reaches the target's distance nor comes down to its height in %1 Seconds: "
                          "drawn as far as it got")
        .arg(figure(f.end.t, "#0"));
}

QPen pen(const plot::Line &line)
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

QLineSeries *lineSeries(const plot::Line &line)
{
    auto *series = new QLineSeries;
    series->setName(line.name);
    series->setPen(pen(line));
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

    createProjectileChoice(grid);
    createDragFields();
    m_accepted.resize(m_fields.size());
    grid->setColumnStretch(6, 1);

    createDragTexts();

    arrangeDragFields(2);
    m_twoColumnWidth = grid->minimumSize().width();
    showPresetFields();
}

void TrajectoryPlot::createProjectileChoice(QGridLayout *grid)
{
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
}

void TrajectoryPlot::createDragFields()
{
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
}

void TrajectoryPlot::createDragTexts()
{
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
    // The legends say what the screen computed, the air resistance lines what it asked.
    if (airResistance() || !m_solutions.empty())
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
                .arg(QLatin1String(dragFields[i].caption), qs(drag::fieldText(range.minimum)),
                     qs(drag::fieldText(range.maximum)),
                     *range.unit ? QStringLiteral(" ") + QString::fromUtf8(range.unit) : QString()));
    }
    const int index = m_projectile->currentIndex();
    if (index < 0 || index >= int(drag::presets().size()))
        return;
    const drag::Projectile p = drag::inUnits(drag::presets()[index].metric, units);
    const std::array<double, 4> values{p.mass, p.diameter, p.dragCoefficient, p.airDensity};
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        m_accepted[i] = qs(drag::fieldText(values[i]));
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
                                                  qs(drag::entryNote(entry, range)));
        }
        m_fields[i]->setPalette(palette);
        values[i] = entry.value;
    }
    const drag::Projectile projectile{values[0], values[1], values[2], values[3]};
    if (notes.isEmpty())
        if (const std::string tooLight = drag::tooLightNote(projectile, units); !tooLight.empty())
            notes << qs(tooLight);
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
    DragFlight out;
    out.line = plot::airName(s) + QStringLiteral(": ") + arrival(f, p);
    if (f.arrival != drag::Arrival::NoArrival)
        out.line += QStringLiteral("; time of flight %1 Seconds").arg(figure(f.end.t, "#0.00"));
    if (f.apex)
        out.line += QStringLiteral("; apogee %1").arg(length(f.apex->y, p));
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
    const QString at = QStringLiteral("at %1 %2").arg(qs(conv::generalText(s.velocity)), speed);
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

// Flies each solution through the air when air resistance is on, and says under
// the plot where each arrives and what hits the target instead.
plot::AirPaths TrajectoryPlot::flyThroughAir()
{
    plot::AirPaths paths;
    QStringList lines;
    if (airResistance()) {
        const std::optional<double> k = readProjectile();
        for (std::size_t i = 0; k && i < m_solutions.size() && i < plot::maxSolutions; ++i) {
            std::optional<DragFlight> flight = dragFlight(m_solutions[i], *k);
            paths.emplace_back();
            if (!flight)
                continue;
            paths.back() = std::move(flight->path);
            lines << flight->line;
        }
        if (k && !m_solutions.empty()) {
            if (const QString hit = hitLine(*k); !hit.isEmpty())
                lines << hit;
        } else if (!k) {
            lines << QStringLiteral("Correct the entry above to see the flights with air resistance.");
        } else {
            lines << QStringLiteral("Compute on the result screen to see the flights with air resistance.");
        }
    }
    m_dragResults->setPlainText(lines.join(QLatin1Char('\n')));
    return paths;
}

void TrajectoryPlot::rebuild()
{
    clearDrawing();
    const QString unit = m_problem.distanceUnit;
    m_x->setTitleText(QStringLiteral("Distance (%1)").arg(unit));
    m_y->setTitleText(QStringLiteral("Elevation (%1)").arg(unit));
    m_chart->setTitle(m_solutions.empty() ? prompt : QString());

    const plot::Scene scene = plot::scene(m_problem, m_question, m_solutions, flyThroughAir());
    m_bounds = scene.bounds;
    addSeries(scene);
    addLabels(scene.labels);
    fitAxes();
    placeLabels();
}

void TrajectoryPlot::clearDrawing()
{
    for (const Mark &mark : m_marks)
        delete mark.text->parentItem();
    m_marks.clear();
    m_chart->removeAllSeries();
}

// The legend's lines first, then the flights through the air beside them, then the
// markers on top.
void TrajectoryPlot::addSeries(const plot::Scene &scene)
{
    for (const plot::Line &line : scene.lines)
        m_chart->addSeries(lineSeries(line));
    for (const plot::Line &line : scene.airLines)
        m_chart->addSeries(lineSeries(line));
    for (const plot::Markers &markers : scene.markers)
        m_chart->addSeries(markerSeries(markers));
    showLegend(scene);
    for (QAbstractSeries *s : m_chart->series()) {
        s->attachAxis(m_x);
        s->attachAxis(m_y);
    }
}

void TrajectoryPlot::showLegend(const plot::Scene &scene)
{
    auto *legend = new QWidget;
    legend->setObjectName(QStringLiteral("legend"));
    auto *grid = new QGridLayout(legend);
    grid->setContentsMargins(8, 0, 8, 2);
    grid->setVerticalSpacing(2);
    const auto entry = [this](const plot::Line &line) {
        return legendEntry(pen(line), line.name, devicePixelRatioF());
    };
    // Ground and line of sight share the first row; each solution has one to itself,
    // shared with its flight through the air when there is one.
    for (std::size_t i = 0; i < scene.lines.size(); ++i) {
        const plot::Line &line = scene.lines[i];
        if (i < 2) {
            grid->addWidget(entry(line), 0, static_cast<int>(i));
            continue;
        }
        const int row = static_cast<int>(i) - 1;
        const auto air = std::find_if(scene.airLines.begin(), scene.airLines.end(),
                                      [&](const plot::Line &a) { return a.solution == line.solution; });
        if (air == scene.airLines.end()) {
            grid->addWidget(entry(line), row, 0, 1, 2);
        } else {
            grid->addWidget(entry(line), row, 0);
            grid->addWidget(entry(*air), row, 1);
        }
    }
    // The layout hands back the old entry's item: it is ours to delete.
    delete layout()->replaceWidget(m_legend, legend);
    delete m_legend;
    m_legend = legend;
}

void TrajectoryPlot::addLabels(const std::vector<plot::Label> &labels)
{
    for (const plot::Label &label : labels) {
        auto *box = new QGraphicsRectItem(m_chart);
        box->setPen(Qt::NoPen);
        box->setBrush(QColor(255, 255, 255, 210));
        box->setZValue(1000);
        auto *text = new QGraphicsSimpleTextItem(label.text, box);
        text->setPos(2, 1);
        m_marks.push_back({label.at, text, label.side});
    }
    setLabelScale(1);
}

void TrajectoryPlot::fitAxes()
{
    if (m_fitting)
        return;
    const QScopedValueRollback guard(m_fitting, true);

    const QFontMetricsF metrics(m_x->labelsFont());
    const plot::AxisFit fit =
        plot::fitAxes(m_bounds, m_chart->plotArea().size(), metrics.height(),
                      [&metrics](const QString &text) { return metrics.horizontalAdvance(text); });
    m_equalScales = fit.equalScales;
    m_scaleText = fit.note;
    m_x->setTickInterval(fit.xStep);
    m_x->setLabelFormat(fit.xFormat);
    m_y->setTickInterval(fit.yStep);
    m_y->setLabelFormat(fit.yFormat);
    m_x->setRange(fit.x0, fit.x1);
    m_y->setRange(fit.y0, fit.y1);
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

// The labels go where plot::arrangeLabels finds room for them; when it finds none
// for all of them, they are tried smaller. One that still finds no room is left
// out, and the note under the plot says so.
void TrajectoryPlot::placeLabels()
{
    const QRectF area = m_chart->plotArea();
    if (area.isEmpty() || m_marks.empty()) {
        m_note->setText(m_scaleText);
        return;
    }
    const PixelMap pixel(m_chart);
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
std::vector<QPointF> TrajectoryPlot::ink() const
{
    const PixelMap pixel(m_chart);
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
    return ink;
}

void TrajectoryPlot::showLabels(const std::vector<std::optional<QRectF>> &placed)
{
    for (std::size_t i = 0; i < m_marks.size(); ++i) {
        QGraphicsItem *box = m_marks[i].text->parentItem();
        box->setVisible(placed[i].has_value());
        if (placed[i])
            box->setPos(placed[i]->topLeft() - box->boundingRect().topLeft());
    }
    const auto left = std::count(placed.begin(), placed.end(), std::nullopt);
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
    const QRect frame = owner->frameGeometry();
    const QRect inner = owner->geometry();
    // This window's frame is not known before it is shown: assume the owner's.
    const QSize decoration(frame.width() - inner.width(), frame.height() - inner.height());
    const QSize least = minimumSize() + decoration;
    const QWidget *input = owner->findChild<QWidget *>(QStringLiteral("Frame1"));
    const QRect keep = input ? QRect(input->mapToGlobal(QPoint(0, 0)), input->size()) : QRect();
    const QRect outline = plot::placeBeside(owner->screen()->availableGeometry(), frame, least,
                                            least.expandedTo(QSize(720, 540) + decoration), keep);
    resize(outline.size() - decoration);
    move(outline.topLeft());
}
