// The screens' heaviest handlers, each timed to the end of the repaint it
// causes: a frame is 16 ms.

#include "benchmarks/screen_driver.h"
#include "screens/application.h"
#include "screens/comp_angle.h"
#include "screens/comp_mz_vel.h"
#include "screens/flight/trajectory_plot.h"
#include "screens/result_extras.h"
#include "screens/screens.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <benchmark/benchmark.h>

namespace {

// "Next >>" into the angle screen: create, load (the minimum velocity search
// runs here), show.
void BM_CompAngleLoad(benchmark::State &state, double sx, double so, double sy)
{
    driver::commitMetricProblem(sx, so, sy);
    for (auto _ : state) {
        Screens::show<CompAngle>();
        QCoreApplication::processEvents();
        state.PauseTiming();
        Screens::discard<CompAngle>();
        driver::settle();
        state.ResumeTiming();
    }
    state.counters["minVelocity"] = Module1.MinVelocity.toNumber();
}
BENCHMARK_CAPTURE(BM_CompAngleLoad, level_1000m, 1000.0, 0.0, 0.0)->Unit(benchmark::kMillisecond);
// Far below and a little away: the most search steps the set-up screen allows.
BENCHMARK_CAPTURE(BM_CompAngleLoad, longest_search, 2190.0, 20000.0, -10000.0)->Unit(benchmark::kMillisecond);

// "Compute Super Elevation Angles" at 150 m/s on the level 1000 m problem,
// each time right after the velocity was moved there.
void BM_ComputeSuperElevationAngles(benchmark::State &state)
{
    driver::commitMetricProblem(1000, 0, 0);
    Screens::show<CompAngle>();
    CompAngle *screen = Screens::get<CompAngle>();
    // Looked up outside the loop so the lookup is not timed.
    auto *bar = driver::control<QScrollBar>(screen, "HScroll1");
    auto *compute = driver::control<QPushButton>(screen, "Command4");
    for (auto _ : state) {
        state.PauseTiming();
        bar->setValue(1501);
        bar->setValue(1500);
        driver::settle();
        state.ResumeTiming();
        compute->click();
        QCoreApplication::processEvents();
    }
    if (driver::control<QLineEdit>(screen, "Text7")->text().isEmpty())
        state.SkipWithError("no angle computed");
    Screens::discard<CompAngle>();
    driver::settle();
}
BENCHMARK(BM_ComputeSuperElevationAngles)->Unit(benchmark::kMillisecond);

// "Compute Muzzle Velocity" at scroll position 7854 (45 degrees), level 1000 m.
void BM_ComputeMuzzleVelocity(benchmark::State &state)
{
    driver::commitMetricProblem(1000, 0, 0);
    Screens::show<CompMzVel>();
    CompMzVel *screen = Screens::get<CompMzVel>();
    auto *bar = driver::control<QScrollBar>(screen, "HScroll1");
    auto *compute = driver::control<QPushButton>(screen, "Command4");
    for (auto _ : state) {
        state.PauseTiming();
        bar->setValue(7853);
        bar->setValue(7854);
        driver::settle();
        state.ResumeTiming();
        compute->click();
        QCoreApplication::processEvents();
    }
    if (driver::control<QLineEdit>(screen, "Text7")->text().isEmpty())
        state.SkipWithError("no velocity computed");
    Screens::discard<CompMzVel>();
    driver::settle();
}
BENCHMARK(BM_ComputeMuzzleVelocity)->Unit(benchmark::kMillisecond);

// One change in the flight window (the wind typed and entered) on the angle screen's
// two solutions at 150 m/s, level 1000 m: both flights, both corrected angles and their
// flights with the full model, the chart and the table.
void BM_FlightWindowChange(benchmark::State &state, int preset)
{
    driver::commitMetricProblem(1000, 0, 0);
    Screens::show<CompAngle>();
    CompAngle *screen = Screens::get<CompAngle>();
    driver::control<QScrollBar>(screen, "HScroll1")->setValue(1500);
    driver::control<QPushButton>(screen, "Command4")->click();
    screen->findChild<ResultExtras *>()->showTrajectory();
    auto *plot = screen->findChild<TrajectoryPlot *>();
    driver::control<QComboBox>(plot, "Projectile")->setCurrentIndex(preset);
    driver::control<QCheckBox>(plot, "AirResistance")->setChecked(true);
    auto *wind = driver::control<QLineEdit>(plot, "Wind");
    driver::settle();
    int tail = 0;
    for (auto _ : state) {
        tail = 1 - tail;
        wind->setText(QString::number(tail));
        emit wind->editingFinished();
        QCoreApplication::processEvents();
    }
    if (plot->results().rows.size() < 10)
        state.SkipWithError("no flights with air");
    Screens::discard<CompAngle>();
    driver::settle();
}
BENCHMARK_CAPTURE(BM_FlightWindowChange, cannonball_sphere, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FlightWindowChange, bullet_g7, 5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char *argv[])
{
    driver::preferOffscreen();
    QApplication app(argc, argv);
    applyApplicationLook();
    const driver::AnswerEveryBox answers;

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
