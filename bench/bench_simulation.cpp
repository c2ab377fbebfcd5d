#include "QrsTone.h"
#include "RhythmLibrary.h"
#include "Simulation.h"

#include <benchmark/benchmark.h>

#include <cstdint>

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

// A listener that looks at every field, as a ladder or a log would.
class Tally : public pulsavo::WaveListener {
public:
    void onWave(const pulsavo::WaveEvent& event) override {
        sum += event.tick + event.beat + event.length + static_cast<int>(event.role);
    }
    std::int64_t sum = 0;
};

// The same with the wave events going to a listener and the QRS tone asked every tick.
void stepRhythmListened(benchmark::State& state) {
    struct Both : pulsavo::WaveListener {
        void onWave(const pulsavo::WaveEvent& event) override {
            tally.onWave(event);
            tone.onWave(event);
        }
        Tally tally;
        pulsavo::QrsTone tone;
    } listener;
    pulsavo::Simulation sim;
    sim.setWaveListener(&listener);
    sim.selectRhythm(static_cast<int>(state.range(0)), 20240611);
    for (auto _ : state) {
        benchmark::DoNotOptimize(sim.step());
        benchmark::DoNotOptimize(listener.tone.sounds(sim.tickCount));
    }
    benchmark::DoNotOptimize(listener.tally.sum);
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(stepRhythm)->ArgName("rhythm")->DenseRange(0, pulsavo::rhythmCount - 1);
BENCHMARK(stepRhythmListened)->ArgName("rhythm")->DenseRange(0, pulsavo::rhythmCount - 1);
// The rhythm library through the conduction model, listened to as above.
BENCHMARK(stepRhythmListened)
    ->Name("stepLibraryListened")
    ->ArgName("rhythm")
    ->DenseRange(pulsavo::rhythmCount, pulsavo::totalRhythmCount - 1);

BENCHMARK_MAIN();
