#include "angle_solver.h"
#include "drag.h"
#include "drag_inputs.h"
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
        benchmark::DoNotOptimize(run.solutions.data());
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
        benchmark::DoNotOptimize(run.solutions.data());
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
        benchmark::DoNotOptimize(report.texts.answer.data());
    }
}
BENCHMARK(BM_CompMuzVel)->Unit(benchmark::kMicrosecond);

// With air resistance, on the level 1000 m problem at 150 m/s.
drag::Shot dragShot(int preset)
{
    const drag::Projectile p = drag::presets()[preset].metric;
    return {1000, 0, 0, units::metricGravity, drag::dragFactorPerLength(p, drag::Units::Metric), 150, 0.2254919};
}

constexpr int baseball = 0;
constexpr int cannonball = 4;

// One trajectory from the muzzle to its event: the vacuum low angle, falling short.
void BM_DragFlight(benchmark::State &state)
{
    const drag::Shot shot = dragShot(static_cast<int>(state.range(0)));
    int steps = 0;
    for (auto _ : state) {
        const drag::Flight f = drag::fly(shot);
        benchmark::DoNotOptimize(f.end);
        steps = f.steps;
    }
    state.counters["steps"] = steps;
}
BENCHMARK(BM_DragFlight)->Arg(baseball)->Arg(cannonball)->Unit(benchmark::kMicrosecond);

// The same, sampled for the plot.
void BM_DragFlightPath(benchmark::State &state)
{
    const drag::Shot shot = dragShot(cannonball);
    for (auto _ : state) {
        const drag::Flight f = drag::fly(shot, 240);
        benchmark::DoNotOptimize(f.path.data());
    }
}
BENCHMARK(BM_DragFlightPath)->Unit(benchmark::kMicrosecond);

// Both corrected angles for the cannonball; for the baseball, which cannot reach the
// target at this velocity, the farthest distance instead.
void BM_DragHitAngles(benchmark::State &state)
{
    const drag::Shot shot = dragShot(static_cast<int>(state.range(0)));
    int flights = 0;
    for (auto _ : state) {
        const drag::HitAngles hit = drag::hitAngles(shot);
        benchmark::DoNotOptimize(hit.low.value);
        flights = hit.flights;
    }
    state.counters["flights"] = flights;
}
BENCHMARK(BM_DragHitAngles)->Arg(cannonball)->Arg(baseball)->Unit(benchmark::kMillisecond);

// The muzzle velocity that hits at 45 degrees with the cannonball.
void BM_DragHitVelocity(benchmark::State &state)
{
    drag::Shot shot = dragShot(cannonball);
    shot.angle = 0.7853981633974483;
    int flights = 0;
    for (auto _ : state) {
        const drag::HitVelocity hit = drag::hitVelocity(shot);
        benchmark::DoNotOptimize(hit.hit.value);
        flights = hit.flights;
    }
    state.counters["flights"] = flights;
}
BENCHMARK(BM_DragHitVelocity)->Unit(benchmark::kMillisecond);

} // namespace
