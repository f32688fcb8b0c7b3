#pragma once

// What both result screens offer beyond their own controls, unseen until used:
// a context menu anywhere on the screen and shortcuts to show the trajectory
// (Ctrl+T), copy the results (Ctrl+C) and print them (Ctrl+P), and the
// trajectory plot window itself, created on first use and gone with its screen.

#include "screens/flight/firing_table_window.h"
#include "screens/flight/trajectory_plot.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <vector>

class QAction;

class ResultExtras : public QObject
{
    Q_OBJECT

public:
    // `angleGiven`: the screen computes the velocity for an angle, not the angles for a
    // velocity. `rows` is the table that Copy Results puts on the clipboard, one list of
    // cells per line.
    ResultExtras(QWidget *screen, bool angleGiven, std::function<QList<QStringList>()> rows);

    void setProblem(const PlotProblem &problem);
    // The solutions that the result boxes now show; none once they are emptied.
    void setSolutions(const std::vector<PlotSolution> &solutions);

    void showTrajectory();
    // The firing table of the problem on the screen, with the flight window's air while on.
    void showFiringTable();
    // The result rows, and while the flight window is open the air resistance rows it has.
    void copyResults();

    // Print Results: the screen, then the flight window's page while it is open.
    void print();

    // Null until the trajectory was first shown.
    TrajectoryPlot *plot() const { return m_plot; }
    FiringTableWindow *firingTable() const { return m_table; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *addAction(const QString &text, const QKeySequence &key, const std::function<void()> &run);
    PlotQuestion question() const;
    firing::Problem firingProblem() const;
    void updateFiringTable();
    void showMenu(const QPoint &at);

    QWidget *m_screen;
    bool m_angleGiven;
    std::function<QList<QStringList>()> m_rows;
    QList<QAction *> m_actions;
    QPointer<TrajectoryPlot> m_plot;
    QPointer<FiringTableWindow> m_table;
    PlotProblem m_problem;
    std::vector<PlotSolution> m_solutions;
};
