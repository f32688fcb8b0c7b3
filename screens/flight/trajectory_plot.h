#pragma once

// The flight window beside a result screen: a chart of the shot (the ground, the
// firing point, the target, the line of sight, each computed solution's flight and
// its apogee, drawn to equal scales whenever the window's shape allows), a side
// panel of settings that can also fly each solution through the air, and a table of
// the figures. The table is the one source of what Copy, Save as CSV, the printed
// page and the result screen's Copy Results give. The window keeps its size, place
// and settings between runs.

#include "screens/flight/flight_results.h"
#include "screens/flight/plot_geometry.h"

#include <QList>
#include <QStringList>
#include <QWidget>

#include <vector>

class FlightChart;
class FlightSettings;
class QAction;
class QChart;
class QLabel;
class QSettings;
class QSplitter;
class QTableView;
class QToolButton;

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
    // What the results table shows now.
    const flight::Table &results() const;
    // The projectile and the figures with air, as the result screen's Copy Results
    // adds them: none unless air resistance is on and every entry valid.
    QList<QStringList> airRows();
    // What the flights fly through while air resistance is on and every entry is valid.
    std::optional<flight::AirSetup> airSetup();

    // At its last size and place when that still lies on a screen; else beside its
    // result screen: right of it, else left, else below or above; on a desktop too
    // small for that, where it leaves the screen's input frame uncovered.
    void showBeside();

    // Copy, Save as CSV, Print: the results table's rows.
    void copyResults() const;
    void saveCsv();
    void print();
    // The chart and the whole table, as the printed page shows them.
    QWidget *printPage();

    QChart *chart() const;
    bool equalScales() const;
    QString scaleNote() const;

    static const QString prompt;

signals:
    // The flights were flown again: the air, the problem or its solutions changed.
    void rebuilt();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createActions();
    void rebuild();
    void showLegend(const plot::Scene &scene);
    static void showElided(QLabel *label, const QString &text);
    void placeWindow();
    void saveState() const;

    FlightChart *m_chart = nullptr;
    QWidget *m_legend = nullptr;
    QLabel *m_scaleNote = nullptr;
    QTableView *m_table = nullptr;
    flight::ResultsModel *m_model = nullptr;
    QLabel *m_notes = nullptr;
    FlightSettings *m_settings = nullptr;
    QSplitter *m_split = nullptr;
    QToolButton *m_showSettings = nullptr;
    QWidget *m_page = nullptr;
    PlotQuestion m_question;
    PlotProblem m_problem;
    std::vector<PlotSolution> m_solutions;
    bool m_restored = false; // the settings were read back on the first problem
    bool m_shownBefore = false;
};
