#include "model/module1.h"
#include "solvers/air_inputs.h"
#include "solvers/air_model.h"
#include "solvers/angle_solver.h"
#include "solvers/drag.h"
#include "solvers/drag_inputs.h"
#include "solvers/firing_table.h"
#include "solvers/min_velocity.h"
#include "solvers/muzzle_velocity.h"

#include <benchmark/benchmark.h>

#include <array>

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

AngleQuestion levelProblem(double v)
{
    return {
        {{1000, 0, 0, units::metricGravity}, v}, units::startTolerance, DynamicValue{units::startIterations}, false};
}

// "Compute Super Elevation Angles" at V 150: both solutions and their twelve texts.
void BM_SuperElevationRunLevel150(benchmark::State &state)
{
    const AngleQuestion q = levelProblem(150);
    for (auto _ : state) {
        AngleRun run = computeSuperElevation(q);
        benchmark::DoNotOptimize(run.solutions.data());
    }
}
BENCHMARK(BM_SuperElevationRunLevel150)->Unit(benchmark::kMicrosecond);

// A steep line of sight where both fixed starts miss and the closed form restarts them.
void BM_SuperElevationRunSteepRestart(benchmark::State &state)
{
    AngleQuestion q = levelProblem(200);
    q.problem.sx = 200;
    q.problem.sy = 1849;
    for (auto _ : state) {
        AngleRun run = computeSuperElevation(q);
        benchmark::DoNotOptimize(run.solutions.data());
    }
}
BENCHMARK(BM_SuperElevationRunSteepRestart)->Unit(benchmark::kMicrosecond);

// "Compute Muzzle Velocity" at 45 degrees on the level 1000 m problem, texts included.
void BM_CompMuzVel(benchmark::State &state)
{
    const TargetProblem level{1000, 0, 0, units::metricGravity};
    const double theta = angleForPosition(minimumAngleRange(1000, 0, 0).sightAngle, 7854);
    for (auto _ : state) {
        MuzzleVelocityReport report = computeMuzzleVelocity(level, theta);
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

// Real air: the standard atmosphere with height and a 5 m/s head wind. The G7 rifle bullet
// at 850 m/s on the level 1000 m problem, and the 12-pounder's shot on the sphere's curve
// at 440 m/s, 1500 m out.
constexpr int rifleBullet = 5;
constexpr int roundShot = 4;

air::Shot airShot(int preset)
{
    air::Shot shot;
    const bool rifle = preset == rifleBullet;
    static_cast<TargetProblem &>(shot) = {rifle ? 1000.0 : 1500.0, 0, 0, units::metricGravity};
    shot.velocity = rifle ? 850 : 440;
    shot.angle = rifle ? 0.0101 : 0.1;
    shot.wind = -5;
    shot.projectile = air::presets()[static_cast<std::size_t>(preset)].projectile;
    shot.air.model = air::AirModel::Standard;
    return shot;
}

// One trajectory to its event at the flat angle that hits.
void BM_AirFlight(benchmark::State &state)
{
    const air::Shot shot = airShot(static_cast<int>(state.range(0)));
    int steps = 0;
    for (auto _ : state) {
        const air::Flight f = air::fly(shot);
        benchmark::DoNotOptimize(f.end);
        steps = f.steps;
    }
    state.counters["steps"] = steps;
}
BENCHMARK(BM_AirFlight)->Arg(rifleBullet)->Arg(roundShot)->Unit(benchmark::kMicrosecond);

// Both corrected angles, scanned from straight down to straight up.
void BM_AirHitAngles(benchmark::State &state)
{
    const air::Shot shot = airShot(static_cast<int>(state.range(0)));
    int flights = 0;
    for (auto _ : state) {
        const drag::HitAngles hit = air::hitAngles(shot);
        benchmark::DoNotOptimize(hit.low.value);
        flights = hit.flights;
    }
    state.counters["flights"] = flights;
}
BENCHMARK(BM_AirHitAngles)->Arg(rifleBullet)->Arg(roundShot)->Unit(benchmark::kMillisecond);

// The muzzle velocity that hits at the flat angle.
void BM_AirHitVelocity(benchmark::State &state)
{
    const air::Shot shot = airShot(static_cast<int>(state.range(0)));
    int flights = 0;
    for (auto _ : state) {
        const drag::HitVelocity hit = air::hitVelocity(shot);
        benchmark::DoNotOptimize(hit.hit.value);
        flights = hit.flights;
    }
    state.counters["flights"] = flights;
}
BENCHMARK(BM_AirHitVelocity)->Arg(rifleBullet)->Arg(roundShot)->Unit(benchmark::kMillisecond);

// Spinning balls at their presets' spin in the standard atmosphere, both corrected angles:
// the golf ball at a tour drive's 75 m/s to a green 230 m out, the baseball at 48 m/s to
// a fence 120 m out and 3 m up, the soccer ball at 28 m/s to a team-mate 50 m away.
void BM_AirHitAnglesSpin(benchmark::State &state)
{
    constexpr std::array<std::array<double, 4>, 3> problems{{{75, 230, 0, 0}, {48, 120, 3, 0}, {28, 50, 0, 0}}};
    const auto preset = static_cast<std::size_t>(state.range(0));
    const auto &[velocity, sx, sy, wind] = problems[preset];
    air::Shot shot;
    static_cast<TargetProblem &>(shot) = {sx, 0, sy, units::metricGravity};
    shot.velocity = velocity;
    shot.wind = wind;
    shot.projectile = air::spinning(air::presets()[preset]);
    shot.air.model = air::AirModel::Standard;
    int flights = 0;
    for (auto _ : state) {
        const drag::HitAngles hit = air::hitAngles(shot);
        benchmark::DoNotOptimize(hit.low.value);
        flights = hit.flights;
    }
    state.counters["flights"] = flights;
}
BENCHMARK(BM_AirHitAnglesSpin)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Firing tables as trajectrix-solve prints them, every cell formatted. Without air: 1000
// distances from 10 m to 10 km at 350 m/s, which reaches them all; and 1000 velocities
// on the level 1000 m problem, whose least velocity is searched once.
std::size_t tableCells(const firing::Problem &p, firing::Varied varied, const std::vector<double> &values)
{
    std::size_t cells = 0;
    for (const firing::Row &row : firing::firingTable(p, varied, values))
        cells += firing::tableCells(p, row).size();
    return cells;
}

void BM_FiringTableVacuum(benchmark::State &state)
{
    const bool distances = state.range(0) == 0;
    firing::Problem p;
    p.distance = 1000;
    p.velocity = 350;
    const firing::Steps steps = distances ? firing::Steps{10, 10000, 10} : firing::Steps{100.1, 200, 0.1};
    const std::vector<double> values = firing::stepValues(steps, firing::maxRows).values;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            tableCells(p, distances ? firing::Varied::Distance : firing::Varied::Velocity, values));
    state.counters["rows"] = static_cast<double>(values.size());
}
BENCHMARK(BM_FiringTableVacuum)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// With air: 100 distances from 20 m to 2 km for the G7 rifle bullet at 850 m/s in the
// standard atmosphere against a 5 m/s head wind, both corrected angles and their flights.
void BM_FiringTableAir(benchmark::State &state)
{
    firing::Problem p;
    p.velocity = 850;
    firing::AirShot air;
    air.projectile = air::presets()[rifleBullet].projectile;
    air.atmosphere.model = air::AirModel::Standard;
    air.wind = -5;
    p.air = air;
    const std::vector<double> values = firing::stepValues({20, 2000, 20}, firing::maxAirRows).values;
    for (auto _ : state)
        benchmark::DoNotOptimize(tableCells(p, firing::Varied::Distance, values));
    state.counters["rows"] = static_cast<double>(values.size());
}
BENCHMARK(BM_FiringTableAir)->Unit(benchmark::kMillisecond);

} // namespace
