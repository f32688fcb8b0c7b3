#include "min_velocity.h"

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

} // namespace
