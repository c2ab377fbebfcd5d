#include "DialogBench.h"

#include <QApplication>

#include <benchmark/benchmark.h>

using namespace pulsavo;

namespace {

constexpr int atrialFlutter = 5;

// The dialog on screen with a rhythm running, its own timer stopped so that only the benchmark
// ticks it.
bool prepare(benchmark::State& state, TrainerDialog& dialog) {
    dialog.tickTimer().stop();
    if (!bench::showAndWaitForExposure(dialog)) {
        state.SkipWithError("the dialog was never exposed");
        return false;
    }
    bench::decideOn(dialog, atrialFlutter);
    return true;
}

// The event loop runs now and then, timing paused, so that repaints do not pile up as they
// never would in the trainer.
void onTimerTick(benchmark::State& state) {
    TrainerDialog dialog;
    if (!prepare(state, dialog)) {
        return;
    }
    int sinceEvents = 0;
    for (auto _ : state) {
        dialog.onTimerTick();
        if (++sinceEvents == 64) {
            state.PauseTiming();
            QCoreApplication::processEvents();
            sinceEvents = 0;
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
}

// The tick together with the repaint it causes, as the event loop delivers both.
void onTimerTickWithRepaint(benchmark::State& state) {
    TrainerDialog dialog;
    if (!prepare(state, dialog)) {
        return;
    }
    for (auto _ : state) {
        dialog.onTimerTick();
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(onTimerTick);
BENCHMARK(onTimerTickWithRepaint);

int main(int argc, char** argv) {
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
