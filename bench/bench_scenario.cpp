#include "DebriefLog.h"
#include "ScenarioFile.h"
#include "ScenarioRunner.h"
#include "Simulation.h"

#include <benchmark/benchmark.h>

#include <QByteArray>

namespace {

using namespace pulsavo;
using namespace pulsavo::scenario;

// The largest file the reader takes: 100 steps whose notes fill it to nearly 1 MiB.
QByteArray largestScenario() {
    QByteArray steps;
    for (int i = 0; i < maxSteps; ++i) {
        steps += (i == 0 ? "" : ",");
        steps += R"({"title": {"ja": "手順", "en": "Step"}, "rhythm": "vf_coarse",
            "parameters": {"vf_amplitude": 5}, "duration_s": 10, "notes": ")" +
                 QByteArray(3 * maxTextLength / 2, 'n') + R"("})";
    }
    return R"({"format": "pulsavo-scenario", "version": 1, "title": {"ja": "a", "en": "a"},
        "steps": [)" +
           steps + "]}";
}

void readLargestScenario(benchmark::State& state) {
    const QByteArray data = largestScenario();
    for (auto _ : state) {
        benchmark::DoNotOptimize(parseScenario(data));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * data.size());
}

// A hostile file just under the cap: its duplicate key is found in the raw scan.
void refuseDuplicateKeyAtTheEnd(benchmark::State& state) {
    QByteArray data = largestScenario();
    data.chop(2);
    data += R"(], "seed": 1, "seed": 2})";
    for (auto _ : state) {
        benchmark::DoNotOptimize(parseScenario(data));
    }
}

// One tick of a scenario playing, runner and simulation, against the simulation alone.
void stepWithRunner(benchmark::State& state) {
    Scenario scenario = *parseScenario(largestScenario()).scenario;
    Simulation simulation;
    DebriefLog log;
    ScenarioRunner runner(scenario, simulation, 1, &log);
    runner.setHeadless(true);
    for (auto _ : state) {
        runner.tick();
        benchmark::DoNotOptimize(simulation.step());
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(readLargestScenario)->Unit(benchmark::kMillisecond);
BENCHMARK(refuseDuplicateKeyAtTheEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(stepWithRunner);

BENCHMARK_MAIN();
