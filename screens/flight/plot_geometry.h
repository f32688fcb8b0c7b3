#pragma once

// What the trajectory plot draws and where, apart from the widgets that draw it:
// the lines, markers and labels of a problem and its solutions, the axes that fit
// them into the plot area, and the free places around a point for its label. All
// of it in plain values, in the problem's units or the plot's pixels.

#include "model/figure_text.h"
#include "solvers/target_problem.h"

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

struct PlotProblem : TargetProblem
{
    QString distanceUnit; // "Meters" or "Feet"
};

// What the result screen asks: the angles for a given velocity, or the velocity
// for a given angle.
struct PlotQuestion
{
    bool angleGiven = false;
    bool radians = false;
    QString angleUnit; // "Degrees" or "Radians"
};

struct PlotSolution
{
    int number = 1;   // 1 or 2: "Solution # 1", "Solution # 2"
    double angle = 0; // radians
    double velocity = 0;
    double flightTime = 0;         // seconds, as the result screen computed it
    double apogee = 0;             // altitude, as the result screen computed it
    figure_text::Texts texts = {}; // its figures as the result screen shows them
};

namespace plot {

// Solution 1 and solution 2; a screen has no more.
inline constexpr std::size_t maxSolutions = 2;
inline constexpr double markerSize = 10;
// Between a label and the point it names: clear of the point's marker.
inline constexpr double labelGap = 7;

// The solution as its result boxes show it: its angle and time of flight for a
// given velocity, its velocity for a given angle.
QString legend(const PlotSolution &s, const PlotProblem &p, const PlotQuestion &q);
// "Solution # 1 with air resistance"
QString airName(const PlotSolution &s);

enum class Stroke {
    Ground,
    Sight,
    Vacuum, // a solution's flight, solid for solution 1 and dashed for solution 2
    Air,    // the same shot with air resistance, dotted in a lighter shade
};

struct Line
{
    QString name;
    Stroke stroke;
    std::size_t solution = 0; // the colour of a flight
    std::vector<QPointF> points;
};

enum class Marker {
    Apogee,
    Arrival, // where a flight with air resistance ends
    Site,    // the firing point and the target
};

struct Markers
{
    QString name;
    Marker shape;
    std::size_t solution = 0;
    std::vector<QPointF> points;
};

struct Label
{
    QPointF at;
    QString text;
    Qt::Alignment side; // where it goes when there is room: right of the point, left of it, centred above
};

struct Scene
{
    std::vector<Line> lines;      // the legend's: ground, line of sight, each solution's flight
    std::vector<Line> airLines;   // each flight with air resistance there is
    std::vector<Markers> markers; // in drawing order
    std::vector<Label> labels;
    // Everything drawn: what the axes must always show.
    QRectF bounds;
};

// Each solution's flight with air resistance, where one was flown.
using AirPaths = std::vector<std::optional<std::vector<QPointF>>>;

Scene scene(const PlotProblem &p, const PlotQuestion &q, const std::vector<PlotSolution> &solutions,
            const AirPaths &air = {});

struct AxisFit
{
    double x0 = 0, x1 = 1; // the horizontal axis's range
    double y0 = 0, y1 = 1;
    double xStep = 1, yStep = 1; // between tick labels
    QString xFormat, yFormat;    // printf formats for the tick labels
    bool equalScales = false;
    QString note; // says whether the scales are equal, and if not, which is stretched and how far
};

using TextWidth = std::function<double(const QString &)>;

// Axes that show everything within `bounds` in a plot area of `area` pixels, with
// room above and below for labels `labelHeight` high, and tick labels written no
// closer than they fit: to equal scales unless that would squeeze the drawing into
// a sliver of the area.
AxisFit fitAxes(const QRectF &bounds, const QSizeF &area, double labelHeight, const TextWidth &textWidth);

// 1, 2, 2.5 or 5 times a power of ten, the smallest at least `rough`.
double niceStep(double rough);

// Enough decimals to write every multiple of `step` exactly.
int decimals(double step);
QString labelFormat(double step);

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
std::vector<LabelPosition> labelPositions(const QPointF &p, const QSizeF &size, Qt::Alignment side, const QRectF &area);

struct LabelSpot
{
    QPointF point; // in pixels, with a marker on it
    QSizeF size;
    Qt::Alignment side;
};

// Each label at a free position around its point (see labelPositions): one that
// hides no marker and is nearer its own point than any other, in the nearest ring
// that has one, and there the one crossing the fewest of the `ink` pixels. A label
// that finds no room is placed first on the next try; one that finds none in any
// order is left out.
std::vector<std::optional<QRectF>> arrangeLabels(const std::vector<LabelSpot> &spots, const QRectF &area,
                                                 const std::vector<QPointF> &ink);

// Where the plot window goes beside its result screen `owner` (frames included) on
// the desktop's available area: right of it, else left, else below or above, at
// most `wanted` and at least `least` in size; on a desktop too small for that,
// where it covers as little as it can of the screen's `input` frame, then of the
// screen.
QRect placeBeside(const QRect &avail, const QRect &owner, const QSize &least, const QSize &wanted, const QRect &input);

} // namespace plot
