// The simulation's step per rhythm: CPU time per tick and ticks per CPU second.
#include "Alarms.h"
#include "HeartRateMeter.h"
#include "QrsTone.h"
#include "RhythmLibrary.h"
#include "Simulation.h"
#include "conduction/LiveParameter.h"

#include <benchmark/benchmark.h>

#include <array>
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

// Rhythm range(0) with every artifact but lead-off laid over it at the middle strength, its
// waves going to a listener; items are ticks.
void stepWithArtifact(benchmark::State& state) {
    Tally tally;
    pulsavo::Simulation sim;
    sim.setWaveListener(&tally);
    for (const pulsavo::ArtifactKind kind : pulsavo::allArtifactKinds) {
        if (kind != pulsavo::ArtifactKind::leadOff) {
            sim.setArtifact(kind, pulsavo::Artifact::defaultStrength);
        }
    }
    sim.selectRhythm(static_cast<int>(state.range(0)), 20240611);
    for (auto _ : state) {
        benchmark::DoNotOptimize(sim.step());
    }
    benchmark::DoNotOptimize(tally.sum);
    state.SetItemsProcessed(state.iterations());
}

// The same with the pulse channel on and what a ward monitor reads each tick: the heart-rate
// numeric, the SpO2 and the alarms.
void stepWard(benchmark::State& state) {
    pulsavo::HeartRateMeter meter;
    pulsavo::Alarms alarms;
    pulsavo::Simulation sim;
    sim.setWaveListener(&meter);
    for (const pulsavo::ArtifactKind kind : pulsavo::allArtifactKinds) {
        if (kind != pulsavo::ArtifactKind::leadOff) {
            sim.setArtifact(kind, pulsavo::Artifact::defaultStrength);
        }
    }
    sim.enablePleth(true);
    sim.selectRhythm(static_cast<int>(state.range(0)), 20240611);
    pulsavo::VitalSigns vitals;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sim.step());
        meter.step(sim.tickCount);
        vitals.heartRate = meter.rate();
        vitals.asystole = meter.asystole();
        vitals.fibrillation = meter.fibrillation();
        vitals.ventricularTachycardia = meter.ventricularTachycardia();
        vitals.saturation = sim.plethChannel().saturation();
        alarms.step(vitals);
        benchmark::DoNotOptimize(alarms.toneOn());
    }
    state.SetItemsProcessed(state.iterations());
}

// Library rhythm range(0) with a ramp always running, its waves going to a listener: sinus
// swung between 40 and 150/min, the AF response between 60 and 140/min, VF between 1 and 8 mm,
// 20 s each way (looked for once a second, as a console would); items are ticks.
void stepWithRamp(benchmark::State& state) {
    using namespace pulsavo::conduction;
    const auto rhythm = static_cast<pulsavo::LibraryRhythm>(state.range(0));
    LiveParameterId which = LiveParameterId::atrialRate;
    std::array<double, 2> values{40, 150};
    if (appliesTo(LiveParameterId::vfAmplitude, rhythm)) {
        which = LiveParameterId::vfAmplitude;
        values = {1, 8};
    } else if (!appliesTo(which, rhythm)) {
        which = LiveParameterId::ventricularRate;
        values = {60, 140};
    }
    Tally tally;
    pulsavo::Simulation sim;
    sim.setWaveListener(&tally);
    sim.selectRhythm(pulsavo::rhythmOf(rhythm), 20240611);
    const std::array<Params, 2> ends{withLiveValue(sim.libraryParameters(), which, values[0]),
                                     withLiveValue(sim.libraryParameters(), which, values[1])};
    std::size_t next = 0;
    for (auto _ : state) {
        if (sim.tickCount % 100 == 0 && !sim.libraryRamp()) {
            sim.rampLibraryParameters(ends[next], 20 * pulsavo::ticksPerSecond);
            next = 1 - next;
        }
        benchmark::DoNotOptimize(sim.step());
    }
    benchmark::DoNotOptimize(tally.sum);
    state.SetItemsProcessed(state.iterations());
}

// Classic sinus, library sinus, rapid AF, VT and coarse VF.
constexpr int libraryIndex(pulsavo::LibraryRhythm rhythm) {
    return pulsavo::indexOf(pulsavo::rhythmOf(rhythm));
}

} // namespace

BENCHMARK(stepWithArtifact)
    ->ArgName("rhythm")
    ->Arg(0)
    ->Arg(libraryIndex(pulsavo::LibraryRhythm::sinusRhythm))
    ->Arg(libraryIndex(pulsavo::LibraryRhythm::afRapid))
    ->Arg(libraryIndex(pulsavo::LibraryRhythm::vtMonomorphic))
    ->Arg(libraryIndex(pulsavo::LibraryRhythm::vfCoarse));
BENCHMARK(stepWard)
    ->ArgName("rhythm")
    ->Arg(0)
    ->Arg(libraryIndex(pulsavo::LibraryRhythm::sinusRhythm))
    ->Arg(libraryIndex(pulsavo::LibraryRhythm::vfCoarse));
BENCHMARK(stepWithRamp)
    ->ArgName("library")
    ->Arg(static_cast<int>(pulsavo::LibraryRhythm::sinusRhythm))
    ->Arg(static_cast<int>(pulsavo::LibraryRhythm::afRapid))
    ->Arg(static_cast<int>(pulsavo::LibraryRhythm::vfCoarse));
BENCHMARK(stepRhythm)->ArgName("rhythm")->DenseRange(0, pulsavo::rhythmCount - 1);
BENCHMARK(stepRhythmListened)->ArgName("rhythm")->DenseRange(0, pulsavo::rhythmCount - 1);
// The rhythm library through the conduction model, listened to as above.
BENCHMARK(stepRhythmListened)
    ->Name("stepLibraryListened")
    ->ArgName("rhythm")
    ->DenseRange(pulsavo::rhythmCount, pulsavo::totalRhythmCount - 1);

BENCHMARK_MAIN();
