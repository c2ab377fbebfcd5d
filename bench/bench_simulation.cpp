#include "Simulation.h"

#include <benchmark/benchmark.h>

namespace {

// One tick of the monitor with rhythm range(0) selected; items are ticks.
void stepRhythm(benchmark::State& state) {
    pulsavo::Simulation sim;
    sim.selectRhythm(static_cast<int>(state.range(0)), 20240611);
    for (auto _ : state) {
        benchmark::DoNotOptimize(sim.step());
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(stepRhythm)->ArgName("rhythm")->DenseRange(0, pulsavo::rhythmCount - 1);

BENCHMARK_MAIN();
