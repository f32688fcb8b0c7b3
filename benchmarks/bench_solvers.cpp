#include "angle_solver.h"
#include "min_velocity.h"
#include "module1.h"
#include "muzzle_velocity.h"

#include <benchmark/benchmark.h>

namespace {

void BM_MinVelocityLevel1000m(benchmark::State &state)
{
    long steps = 0;
    for (auto _ : state) {
        const MinVelocitySearch r = searchMinVelocity(1000, 0, 0, 9.80665);
        benchmark::DoNotOptimize(r.minVelocity);
        steps = r.steps;
    }
    state.counters["steps"] = static_cast<double>(steps);
}
BENCHMARK(BM_MinVelocityLevel1000m)->Unit(benchmark::kMillisecond);

// The longest search of the set-up range: far below and a little away.
void BM_MinVelocityLongest(benchmark::State &state)
{
    long steps = 0;
    for (auto _ : state) {
        const MinVelocitySearch r = searchMinVelocity(2190, 20000, -10000, 9.80665);
        benchmark::DoNotOptimize(r.minVelocity);
        steps = r.steps;
    }
    state.counters["steps"] = static_cast<double>(steps);
}
BENCHMARK(BM_MinVelocityLongest)->Unit(benchmark::kMillisecond);

ProblemModel levelProblem(double v)
{
    ProblemModel m;
    m.TargetDistance = 1000;
    m.Gravity = units::metricGravity;
    m.resetSolverSettings();
    m.MuzzleVelocity = v;
    return m;
}

// "Compute Super Elevation Angles" at V 150: both solutions, their twelve texts and the model.
void BM_SuperElevationRunLevel150(benchmark::State &state)
{
    ProblemModel m = levelProblem(150);
    for (auto _ : state) {
        AngleRun run = computeSuperElevation(m);
        benchmark::DoNotOptimize(run.effects.data());
    }
}
BENCHMARK(BM_SuperElevationRunLevel150)->Unit(benchmark::kMicrosecond);

// A steep line of sight where both fixed starts miss and the closed form restarts them.
void BM_SuperElevationRunSteepRestart(benchmark::State &state)
{
    ProblemModel m = levelProblem(200);
    m.TargetDistance = 200;
    m.TargetElevation = 1849;
    for (auto _ : state) {
        AngleRun run = computeSuperElevation(m);
        benchmark::DoNotOptimize(run.effects.data());
    }
}
BENCHMARK(BM_SuperElevationRunSteepRestart)->Unit(benchmark::kMicrosecond);

// "Compute Muzzle Velocity" at 45 degrees on the level 1000 m problem, texts included.
void BM_CompMuzVel(benchmark::State &state)
{
    ProblemModel m = levelProblem(0);
    setUpMinimumAngle(m);
    selectAnglePosition(m, 7854);
    for (auto _ : state) {
        MuzzleVelocityReport report = computeMuzzleVelocity(m);
        benchmark::DoNotOptimize(report.texts.data());
    }
}
BENCHMARK(BM_CompMuzVel)->Unit(benchmark::kMicrosecond);

} // namespace
