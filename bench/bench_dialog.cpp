// The classic dialog's tick with its repaint, offscreen: hot, CPU time of the loop
// (advanceOneTick); at the real cadence with the caches cold, wall time of each tick
// (advanceOneTickAtCadence, timed by hand).
#include "Cadence.h"
#include "DialogBench.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <string>

using namespace pulsavo;

namespace {

constexpr int atrialFlutter = 5;

// The dialog on screen with a rhythm running, its own timer stopped so that only the benchmark
// ticks it.
bool prepare(benchmark::State& state, TrainerDialog& dialog) {
    dialog.frameTimer().stop();
    if (!bench::showAndWaitForExposure(dialog)) {
        state.SkipWithError("the dialog was never exposed");
        return false;
    }
    bench::decideOn(dialog, atrialFlutter);
    return true;
}

// A tick paints its areas of the panel at once; the event loop runs now and then, timing
// paused, for whatever else the dialog has to do.
void advanceOneTick(benchmark::State& state) {
    TrainerDialog dialog;
    if (!prepare(state, dialog)) {
        return;
    }
    int sinceEvents = 0;
    for (auto _ : state) {
        dialog.advanceOneTick();
        if (++sinceEvents == 64) {
            state.PauseTiming();
            QCoreApplication::processEvents();
            sinceEvents = 0;
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
}

// The dialog's tick with its repaint at the trainer's cadence (see Cadence), timed by the wall
// clock: warm after a frame's sleep, or cold.
void advanceOneTickAtCadence(benchmark::State& state) {
    TrainerDialog dialog;
    if (!prepare(state, dialog)) {
        return;
    }
    bench::Cadence cadence(state.range(0) != 0);
    for (auto _ : state) {
        QCoreApplication::processEvents();
        cadence.waitForNextFrame();
        cadence.time(state, [&] { dialog.advanceOneTick(); });
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(advanceOneTick);
BENCHMARK(advanceOneTickAtCadence)
    ->ArgName("cold")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    const bench::BusyLoops loops(bench::takeBusyLoops(argc, argv));
    benchmark::AddCustomContext("busy_loops", std::to_string(loops.count()));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    bench::preferOffscreen();
    bench::useFreshSettings();
    QApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
