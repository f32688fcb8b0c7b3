#pragma once

// A picture of the shot in its own window beside a result screen: the ground,
// the firing point, the target, the line of sight and each computed solution's
// flight to the target with the apogee it reaches on the way, drawn to equal
// scales whenever the window's shape allows.

#include <QPointF>
#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

class QAbstractSeries;
class QChart;
class QGraphicsSimpleTextItem;
class QLabel;
class QValueAxis;

struct PlotProblem
{
    double sx = 0; // horizontal distance to the target
    double so = 0; // firing elevation
    double sy = 0; // target elevation
    double g = 0;
    QString distanceUnit; // "Meters" or "Feet"
};

struct PlotSolution
{
    QString legend;     // the solution as its result boxes show it
    QString apogeeText; // the apogee altitude box
    double angle = 0;   // radians
    double velocity = 0;
};

namespace plot {

// The flight from the muzzle at (0, So) to the target's distance, in even steps of
// distance (so of time too), with the apex among them when the shot reaches it.
std::vector<QPointF> flightPath(const PlotProblem &p, double angle, double velocity, int steps = 240);

// The apex (V^2 sin cos / g, So + V^2 sin^2 / (2 g)); none for a shot aimed below
// the horizontal, whose highest point is the muzzle itself, nor for one still
// climbing when it meets the target.
std::optional<QPointF> apogee(const PlotProblem &p, double angle, double velocity);

// 1, 2, 2.5 or 5 times a power of ten, the smallest at least `rough`.
double niceStep(double rough);

} // namespace plot

class TrajectoryPlot : public QWidget
{
    Q_OBJECT

public:
    // A window of its own, owned by the result screen.
    explicit TrajectoryPlot(QWidget *resultScreen);

    void setProblem(const PlotProblem &problem);
    // Solution 1 solid, solution 2 dashed; none shows the problem and the prompt.
    void setSolutions(const std::vector<PlotSolution> &solutions);

    // Shows the window beside its result screen: right of it, else left, else
    // below or above; on a desktop too small for that, where it leaves the
    // screen's input frame uncovered.
    void showBeside();

    QChart *chart() const { return m_chart; }
    bool equalScales() const { return m_equalScales; }
    QString scaleNote() const;

    static const QString prompt;

private:
    void rebuild();
    void showLegend(const std::vector<QAbstractSeries *> &listed);
    void fitAxes();
    void placeLabels();
    void setLabelScale(double scale);
    void placeWindow();

    struct Mark
    {
        QPointF at;
        QGraphicsSimpleTextItem *text;
        Qt::Alignment side; // where it goes when there is room: right of the mark, left of it, centred above
    };

    QChart *m_chart = nullptr;
    QValueAxis *m_x = nullptr;
    QValueAxis *m_y = nullptr;
    QLabel *m_note = nullptr;
    QString m_scaleText;
    QWidget *m_legend = nullptr;
    PlotProblem m_problem;
    std::vector<PlotSolution> m_solutions;
    std::vector<Mark> m_marks;
    // Everything drawn, in the problem's units: what the axes must always show.
    QRectF m_bounds;
    bool m_equalScales = false;
    bool m_fitting = false;
    bool m_placed = false;
};
