#include "screens/flight/plot_geometry.h"

#include "model/conversions.h"
#include "model/figure_text.h"
#include "solvers/trajectory.h"
#include "toolkit/controls.h"

#include <QLineF>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <string>
#include <tuple>

namespace {

using toolkit::qs;

// Beyond this ratio between the two axes' scales, equal scales would squeeze the
// flight into a sliver of the plot: the axes are then scaled apart and say so.
constexpr double maxScaleRatio = 4.0;

// Pixels kept free left and right of the drawing.
constexpr double sideRoom = 16;

QString number(double value)
{
    return qs(conv::generalText(value));
}

// QRectF::united() skips empty rectangles, so single points are added by hand.
void include(QRectF &bounds, const QPointF &p)
{
    const double left = std::min(bounds.left(), p.x()), right = std::max(bounds.right(), p.x());
    const double top = std::min(bounds.top(), p.y()), bottom = std::max(bounds.bottom(), p.y());
    bounds = QRectF(QPointF(left, top), QPointF(right, bottom));
}

void include(QRectF &bounds, const std::vector<QPointF> &points)
{
    for (const QPointF &p : points)
        include(bounds, p);
}

// Each solution's flight without air resistance, and its apogee where it reaches one.
void addFlights(plot::Scene &scene, const PlotProblem &p, const PlotQuestion &q,
                const std::vector<PlotSolution> &solutions)
{
    for (std::size_t i = 0; i < solutions.size() && i < plot::maxSolutions; ++i) {
        const PlotSolution &s = solutions[i];
        const trajectory::Shot shot{p.so, p.g, s.angle, s.velocity};
        std::vector<QPointF> path;
        for (const trajectory::Point &point : trajectory::flightPath(shot, p.sx))
            path.emplace_back(point.x, point.y);
        include(scene.bounds, path);
        scene.lines.push_back({plot::legend(s, p, q), plot::Stroke::Vacuum, i, std::move(path)});
        if (const std::optional<trajectory::Point> apex = trajectory::apogee(shot, p.sx)) {
            const QPointF at(apex->x, apex->y);
            include(scene.bounds, at);
            scene.markers.push_back({QStringLiteral("Apogee %1").arg(i + 1), plot::Marker::Apogee, i, {at}});
            scene.labels.push_back(
                {at, QStringLiteral("Apogee %1 %2").arg(qs(figure_text::apogee(s.apogee)), p.distanceUnit),
                 Qt::AlignHCenter});
        }
    }
}

// Each flight with air resistance, as far as its arrival, which a small square marks.
void addAirFlights(plot::Scene &scene, const std::vector<PlotSolution> &solutions, const plot::AirPaths &air)
{
    for (std::size_t i = 0; i < solutions.size() && i < plot::maxSolutions && i < air.size(); ++i) {
        if (!air[i] || air[i]->empty())
            continue;
        include(scene.bounds, *air[i]);
        scene.airLines.push_back({plot::airName(solutions[i]), plot::Stroke::Air, i, *air[i]});
        scene.markers.push_back(
            {QStringLiteral("Arrival with air resistance %1").arg(i + 1), plot::Marker::Arrival, i, {air[i]->back()}});
    }
}

// The axis range [low, high] grown evenly about its middle to `span`.
void grow(double &low, double &high, double span)
{
    const double middle = (low + high) / 2;
    low = middle - span / 2;
    high = middle + span / 2;
}

struct Scales
{
    double kx; // pixels per unit
    double ky;
};

// The ranges of `fit` from the drawing's to the whole area's, with room above and
// below the drawing for a label on its highest and lowest points.
Scales fitRanges(plot::AxisFit &fit, const QSizeF &area, double labelHeight)
{
    double &x0 = fit.x0, &x1 = fit.x1, &y0 = fit.y0, &y1 = fit.y1;
    if (x1 - x0 < 1e-9 * std::max(1.0, y1 - y0))
        grow(x0, x1, std::max(y1 - y0, 1.0));
    if (y1 - y0 < 1e-9 * std::max(1.0, x1 - x0))
        grow(y0, y1, std::max((x1 - x0) / 10, 1.0));

    const double above = labelHeight + 2 + plot::labelGap + 2, below = above;
    double kx = std::max(area.width() - 2 * sideRoom, 1.0) / (x1 - x0);
    double ky = std::max(area.height() - above - below, 1.0) / (y1 - y0);
    const double ratio = std::max(kx, ky) / std::min(kx, ky);
    fit.equalScales = ratio <= maxScaleRatio;
    if (fit.equalScales) {
        kx = ky = std::min(kx, ky);
        fit.note = QStringLiteral("Equal scales on both axes");
    } else {
        fit.note = QStringLiteral("Axes not to equal scale (%1 \u00d7%2)")
                       .arg(ky > kx ? QStringLiteral("vertical") : QStringLiteral("horizontal"),
                            QString::number(ratio, 'f', ratio < 10 ? 1 : 0));
    }
    x0 -= sideRoom / kx;
    x1 += sideRoom / kx;
    y0 -= below / ky;
    y1 += above / ky;
    if (fit.equalScales) {
        grow(x0, x1, std::max(area.width(), 1.0) / kx);
        grow(y0, y1, std::max(area.height(), 1.0) / ky);
    }
    return {kx, ky};
}

// The step between horizontal tick labels: the widest label and a gap apart.
double tickStep(double unitsPerPixel, double low, double high, const plot::TextWidth &textWidth)
{
    const int d = plot::decimals(plot::niceStep(unitsPerPixel * 80));
    const double widest = std::max(textWidth(QString::number(low, 'f', d)), textWidth(QString::number(high, 'f', d)));
    return plot::niceStep(unitsPerPixel * (widest + 24));
}

double distance(const QPointF &p, const QRectF &r)
{
    return QLineF(p, QPointF(std::clamp(p.x(), r.left(), r.right()), std::clamp(p.y(), r.top(), r.bottom()))).length();
}

struct Room
{
    const std::vector<plot::LabelSpot> &spots;
    const QRectF &area;
    const std::vector<QPointF> &ink;
    std::vector<QRectF> markers;
};

// The best free position for label `i` next to the labels already `taken`.
std::optional<QRectF> bestPosition(const Room &room, std::size_t i, const std::vector<QRectF> &taken)
{
    const plot::LabelSpot &spot = room.spots[i];
    std::optional<QRectF> placed;
    std::optional<std::tuple<bool, bool, int, std::ptrdiff_t, std::size_t>> best;
    const std::vector<plot::LabelPosition> positions =
        plot::labelPositions(spot.point, spot.size, spot.side, room.area);
    for (std::size_t k = 0; k < positions.size(); ++k) {
        const QRectF r = positions[k].rect;
        // A couple of pixels between labels, so their boxes never touch.
        const QRectF spaced = r.adjusted(-2, -2, 2, 2);
        if (!room.area.contains(r) ||
            std::any_of(taken.begin(), taken.end(), [&](const QRectF &t) { return t.intersects(spaced); }))
            continue;
        const bool hidesMarker =
            std::any_of(room.markers.begin(), room.markers.end(), [&](const QRectF &m) { return m.intersects(r); });
        // Nearer another point than its own, a label seems to name that one.
        const double own = distance(spot.point, r);
        const bool misleads = std::any_of(room.spots.begin(), room.spots.end(),
                                          [&](const plot::LabelSpot &q) { return distance(q.point, r) < own - 1; });
        const auto rank = std::make_tuple(hidesMarker, misleads, positions[k].ring);
        if (best && rank > std::make_tuple(std::get<0>(*best), std::get<1>(*best), std::get<2>(*best)))
            continue;
        const auto crossed =
            std::count_if(room.ink.begin(), room.ink.end(), [&](const QPointF &p) { return r.contains(p); });
        const auto cost = std::tuple_cat(rank, std::make_tuple(crossed, k));
        if (!best || cost < *best) {
            best = cost;
            placed = r;
        }
    }
    return placed;
}

std::vector<std::optional<QRectF>> placeInOrder(const Room &room, const std::vector<std::size_t> &order)
{
    std::vector<std::optional<QRectF>> placed(room.spots.size());
    std::vector<QRectF> taken;
    for (const std::size_t i : order) {
        placed[i] = bestPosition(room, i, taken);
        if (placed[i])
            taken.push_back(*placed[i]);
    }
    return placed;
}

} // namespace

namespace plot {

QString legend(const PlotSolution &s, const PlotProblem &p, const PlotQuestion &q)
{
    const QString name = QStringLiteral("Solution # %1: ").arg(s.number);
    if (q.angleGiven)
        return name + qs(figure_text::muzzleVelocity(s.velocity)) + QLatin1Char(' ') + p.distanceUnit +
               QStringLiteral(" / sec");
    return name + qs(figure_text::angle(s.angle, q.radians)) + QLatin1Char(' ') + q.angleUnit + QStringLiteral(", ") +
           qs(figure_text::flightTime(s.flightTime)) + QStringLiteral(" Seconds");
}

QString airName(const PlotSolution &s)
{
    return QStringLiteral("Solution # %1 with air resistance").arg(s.number);
}

Scene scene(const PlotProblem &p, const PlotQuestion &q, const std::vector<PlotSolution> &solutions,
            const AirPaths &air)
{
    Scene scene;
    const QPointF muzzle(0, p.so);
    const QPointF target(p.sx, p.sy);
    scene.bounds = QRectF(QPointF(0, 0), QSizeF(0, 0));
    include(scene.bounds, muzzle);
    include(scene.bounds, target);
    include(scene.bounds, QPointF(p.sx, 0));
    scene.lines.push_back({QStringLiteral("Ground"), Stroke::Ground, 0, {{0, 0}, {p.sx, 0}}});
    scene.lines.push_back({QStringLiteral("Line of sight"), Stroke::Sight, 0, {muzzle, target}});
    scene.labels = {
        {muzzle, QStringLiteral("Firing point (0, %1)").arg(number(p.so)), Qt::AlignRight},
        {target, QStringLiteral("Target (%1, %2)").arg(number(p.sx), number(p.sy)), Qt::AlignLeft},
    };
    addFlights(scene, p, q, solutions);
    addAirFlights(scene, solutions, air);
    scene.markers.push_back({QStringLiteral("Firing point and target"), Marker::Site, 0, {muzzle, target}});
    return scene;
}

AxisFit fitAxes(const QRectF &bounds, const QSizeF &area, double labelHeight, const TextWidth &textWidth)
{
    AxisFit fit;
    fit.x0 = bounds.left();
    fit.x1 = bounds.right();
    fit.y0 = bounds.top();
    fit.y1 = bounds.bottom();
    const Scales k = fitRanges(fit, area, labelHeight);
    fit.xStep = tickStep(1 / k.kx, fit.x0, fit.x1, textWidth);
    fit.yStep = niceStep(labelHeight * 2.2 / k.ky);
    if (fit.equalScales)
        fit.xStep = fit.yStep = std::max(fit.xStep, fit.yStep);
    fit.xFormat = labelFormat(fit.xStep);
    fit.yFormat = labelFormat(fit.yStep);
    return fit;
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

std::vector<std::optional<QRectF>> arrangeLabels(const std::vector<LabelSpot> &spots, const QRectF &area,
                                                 const std::vector<QPointF> &ink)
{
    Room room{spots, area, ink, {}};
    const QPointF corner(markerSize / 2 + 1, markerSize / 2 + 1);
    for (const LabelSpot &spot : spots)
        room.markers.emplace_back(spot.point - corner, spot.point + corner);

    std::vector<std::size_t> order(spots.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::vector<std::optional<QRectF>> placed;
    for (std::size_t attempt = 0; attempt < spots.size(); ++attempt) {
        placed = placeInOrder(room, order);
        const auto failed = std::find_if(order.begin(), order.end(), [&](std::size_t i) { return !placed[i]; });
        if (failed == order.end() || failed == order.begin())
            break;
        std::rotate(order.begin(), failed, failed + 1);
    }
    return placed;
}

QRect placeBeside(const QRect &avail, const QRect &owner, const QSize &least, const QSize &wanted, const QRect &input)
{
    constexpr int gap = 8;
    const QRect &s = owner;
    const int right = avail.right() - s.right() - gap;
    const int left = s.left() - avail.left() - gap;
    const int below = avail.bottom() - s.bottom() - gap;
    const int above = s.top() - avail.top() - gap;

    if (std::max(left, right) >= least.width()) {
        const bool onRight = right >= least.width() && right >= std::min(left, wanted.width()) * 7 / 8;
        const int width = std::min(onRight ? right : left, wanted.width());
        const int height = std::max(least.height(), std::min(s.height(), avail.height()));
        const int x = onRight ? s.right() + 1 + gap : s.left() - gap - width;
        const int y = std::clamp(s.top(), avail.top(), std::max(avail.top(), avail.bottom() + 1 - height));
        return QRect(x, y, width, height);
    }
    if (std::max(above, below) >= least.height()) {
        const int height = std::min(std::max(above, below), wanted.height());
        const int width = std::max(least.width(), std::min(s.width(), avail.width()));
        const int y = below >= above ? s.bottom() + 1 + gap : s.top() - gap - height;
        const int x = std::clamp(s.left(), avail.left(), std::max(avail.left(), avail.right() + 1 - width));
        return QRect(x, y, width, height);
    }

    const QRect keep = input.isNull() ? QRect() : input.adjusted(-gap, -gap, gap, gap);
    const int w = least.width(), h = least.height();
    const auto fitX = [&](int x) { return std::clamp(x, avail.left(), std::max(avail.left(), avail.right() + 1 - w)); };
    const auto fitY = [&](int y) { return std::clamp(y, avail.top(), std::max(avail.top(), avail.bottom() + 1 - h)); };
    const int xs[] = {fitX(avail.right()), fitX(avail.left()), fitX(keep.right() + 1), fitX(keep.left() - w)};
    const int ys[] = {fitY(s.top()), fitY(avail.bottom()), fitY(keep.bottom() + 1), fitY(avail.top())};
    const auto area = [](const QRect &r) { return qint64(r.width()) * r.height(); };
    QRect outline;
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
    return outline;
}

} // namespace plot
