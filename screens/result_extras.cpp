#include "screens/result_extras.h"

#include "model/module1.h"
#include "platform/print.h"
#include "toolkit/controls.h"

#include <QAction>
#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QWidget>

#include <utility>

ResultExtras::ResultExtras(QWidget *screen, bool angleGiven, std::function<QList<QStringList>()> rows)
    : QObject(screen), m_screen(screen), m_angleGiven(angleGiven), m_rows(std::move(rows))
{
    addAction(QStringLiteral("Show Trajectory"), QKeySequence(Qt::CTRL | Qt::Key_T), [this] { showTrajectory(); });
    addAction(QStringLiteral("Copy Results"), QKeySequence(Qt::CTRL | Qt::Key_C), [this] { copyResults(); });
    addAction(QStringLiteral("Print Results"), QKeySequence(Qt::CTRL | Qt::Key_P), [this] { print(); });
    addAction(QStringLiteral("Firing Table"), QKeySequence(Qt::CTRL | Qt::Key_R), [this] { showFiringTable(); });

    // Text boxes are disabled and pass right clicks on to the screen, so the menu
    // opens wherever the user clicks.
    screen->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(screen, &QWidget::customContextMenuRequested, this, &ResultExtras::showMenu);
    screen->installEventFilter(this);
}

QAction *ResultExtras::addAction(const QString &text, const QKeySequence &key, const std::function<void()> &run)
{
    auto *action = new QAction(text, this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, run);
    m_screen->addAction(action);
    m_actions.append(action);
    return action;
}

void ResultExtras::showMenu(const QPoint &at)
{
    auto *menu = new QMenu(m_screen);
    menu->setObjectName(QStringLiteral("resultsMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addActions(m_actions);
    menu->popup(m_screen->mapToGlobal(at));
}

void ResultExtras::setProblem(const PlotProblem &problem)
{
    m_problem = problem;
    if (m_plot) {
        m_plot->setQuestion(question());
        m_plot->setProblem(problem);
    }
    updateFiringTable();
}

PlotQuestion ResultExtras::question() const
{
    return {m_angleGiven, Module1.AngleUnitCode == "r", toolkit::qs(Module1.AngleUnitName)};
}

void ResultExtras::setSolutions(const std::vector<PlotSolution> &solutions)
{
    // Emptying boxes that are empty already happens on every scroll move: nothing to redraw.
    if (solutions.empty() && m_solutions.empty())
        return;
    m_solutions = solutions;
    if (m_plot)
        m_plot->setSolutions(solutions);
    updateFiringTable();
}

void ResultExtras::showTrajectory()
{
    if (!m_plot) {
        m_plot = new TrajectoryPlot(m_screen);
        m_plot->setQuestion(question());
        m_plot->setProblem(m_problem);
        m_plot->setSolutions(m_solutions);
        connect(m_plot, &TrajectoryPlot::rebuilt, this, &ResultExtras::updateFiringTable);
    }
    m_plot->showBeside();
}

// The problem as the screen holds it now: its velocity or angle whether computed or not.
firing::Problem ResultExtras::firingProblem() const
{
    firing::Problem p;
    p.question = m_angleGiven ? firing::Question::Velocity : firing::Question::Angles;
    p.feet = Module1.DistanceUnitCode != "m";
    p.radians = Module1.AngleUnitCode == "r";
    p.distance = m_problem.sx;
    p.firing = m_problem.so;
    p.target = m_problem.sy;
    p.velocity = Module1.MuzzleVelocity.toNumber();
    p.angle = p.radians ? Module1.ElevationAngle : (Module1.ElevationAngle * 180) / 3.14159;
    p.tolerance = Module1.Tolerance;
    p.iterationLimit = Module1.MaxIterations;
    return p;
}

void ResultExtras::updateFiringTable()
{
    if (!m_table)
        return;
    m_table->setProblem(firingProblem());
    std::optional<firing::AirShot> air;
    if (m_plot && m_plot->isVisible())
        if (const std::optional<flight::AirSetup> setup = m_plot->airSetup())
            air = firing::AirShot{setup->shot.projectile, setup->shot.air, setup->shot.wind};
    m_table->setAir(air);
}

void ResultExtras::showFiringTable()
{
    if (!m_table)
        m_table = new FiringTableWindow(m_screen);
    updateFiringTable();
    m_table->showBeside();
}

void ResultExtras::copyResults()
{
    QList<QStringList> rows = m_rows();
    // The air rows go with the flight window, as its page goes with Print Results.
    if (m_plot && m_plot->isVisible())
        rows += m_plot->airRows();
    QGuiApplication::clipboard()->setText(flight::tabSeparated(rows));
}

void ResultExtras::print()
{
    QList<QWidget *> pages;
    if (m_plot && m_plot->isVisible())
        pages << m_plot->printPage();
    platform::printWindow(m_screen, pages);
}

bool ResultExtras::eventFilter(QObject *watched, QEvent *event)
{
    // A screen hidden by the program is being left or discarded: its plot goes with it.
    if (watched == m_screen && event->type() == QEvent::Hide && !event->spontaneous()) {
        if (m_plot)
            m_plot->hide();
        if (m_table)
            m_table->close();
    }
    return QObject::eventFilter(watched, event);
}
