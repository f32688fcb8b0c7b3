#pragma once

// A picture of the shot in its own window beside a result screen: the ground,
// the firing point, the target, the line of sight and each computed solution's
// flight to the target with the apogee it reaches on the way, drawn to equal
// scales whenever the window's shape allows. With air resistance turned on, a
// panel below describes the projectile, each solution's flight through the air is
// drawn beside its vacuum curve, and a text says where it arrives and what hits
// the target instead.

#include "plot_geometry.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <vector>

class QCheckBox;
class QChart;
class QComboBox;
class QGridLayout;
class QGraphicsSimpleTextItem;
class QLabel;
class QLineEdit;
class QTextEdit;
class QValueAxis;

class TrajectoryPlot : public QWidget
{
    Q_OBJECT

public:
    // A window of its own, owned by the result screen.
    explicit TrajectoryPlot(QWidget *resultScreen);

    void setProblem(const PlotProblem &problem);
    void setQuestion(const PlotQuestion &question);
    // Solution 1 solid, solution 2 dashed; none shows the problem and the prompt.
    void setSolutions(const std::vector<PlotSolution> &solutions);

    bool airResistance() const;
    // The projectile and the air resistance lines as Copy Results adds them; none
    // while air resistance is off.
    QList<QStringList> dragRows() const;

    // Shows the window beside its result screen: right of it, else left, else
    // below or above; on a desktop too small for that, where it leaves the
    // screen's input frame uncovered.
    void showBeside();

    QChart *chart() const { return m_chart; }
    bool equalScales() const { return m_equalScales; }
    QString scaleNote() const;

    static const QString prompt;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct DragFlight
    {
        std::vector<QPointF> path;
        QString line; // where it arrives, its time of flight and apogee
    };

    void createDragPanel();
    void createProjectileChoice(QGridLayout *grid);
    void createDragFields();
    void createDragTexts();
    void arrangeDragFields(int columns);
    void airResistanceToggled(bool on);
    void presetChosen(int index);
    void fieldEdited();
    void fieldFinished();
    void showPresetFields();
    std::optional<double> readProjectile();
    std::optional<DragFlight> dragFlight(const PlotSolution &s, double k) const;
    QString hitLine(double k) const;
    plot::AirPaths flyThroughAir();
    void fitDragResults();
    void rebuild();
    void clearDrawing();
    void addSeries(const plot::Scene &scene);
    void showLegend(const plot::Scene &scene);
    void addLabels(const std::vector<plot::Label> &labels);
    void fitAxes();
    void placeLabels();
    std::vector<QPointF> ink() const;
    void setLabelScale(double scale);
    void showLabels(const std::vector<std::optional<QRectF>> &placed);
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
    QCheckBox *m_airResistance = nullptr;
    QWidget *m_dragPanel = nullptr;
    QComboBox *m_projectile = nullptr;
    std::vector<QLabel *> m_fieldCaptions;
    std::vector<QLineEdit *> m_fields; // mass, diameter, drag coefficient, air density
    std::vector<QLabel *> m_fieldUnits;
    std::vector<QString> m_accepted; // each field's last text that was read, for Escape
    QLabel *m_dragNote = nullptr;
    QTextEdit *m_dragResults = nullptr;
    int m_addedHeight = 0; // what turning air resistance on added to the window
    int m_fieldColumns = 0;
    int m_twoColumnWidth = 0; // the panel's least width with two fields to a row
    PlotQuestion m_question;
    PlotProblem m_problem;
    std::vector<PlotSolution> m_solutions;
    std::vector<Mark> m_marks;
    // Everything drawn, in the problem's units: what the axes must always show.
    QRectF m_bounds;
    bool m_equalScales = false;
    bool m_fitting = false;
};
