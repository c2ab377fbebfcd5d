// The sweep painting a tick: CPU time per tick hot; at the real cadence with the caches cold,
// wall time of each tick (monitorTickAtCadence, timed by hand).
#include "BusyLoops.h"
#include "Cadence.h"
#include "Monitor.h"
#include "Simulation.h"
#include "Sweep.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <string>

#include <vector>

using namespace pulsavo;

namespace {

// The panel's drawing area at 96 DPI: 342 x 78 dialog units less the frame.
constexpr int panelWidth = 599;
constexpr int panelHeight = 146;

// A minute of atrial flutter: red waves, green complexes and a beep at every R peak.
std::vector<TickSample> recordedMinute() {
    Simulation simulation;
    simulation.selectRhythm(5, 42);
    std::vector<TickSample> samples(6000);
    for (TickSample& sample : samples) {
        sample = simulation.step();
    }
    return samples;
}

// One tick as the panel paints it: a painter opened on the backing image for this tick only,
// the wipe and the segment. On ECG paper the wipe copies its columns of the paper instead of
// filling black.
void sweepPaintPerTick(benchmark::State& state) {
    const auto ratio = static_cast<qreal>(state.range(0));
    QImage backing(QSize(panelWidth, panelHeight) * ratio, QImage::Format_RGB32);
    backing.setDevicePixelRatio(ratio);
    backing.fill(Qt::black);
    Sweep sweep(panelWidth, panelHeight);
    if (state.range(1) != 0) {
        sweep.paper = Sweep::paperImage(panelWidth, panelHeight, ratio);
    }
    const std::vector<TickSample> samples = recordedMinute();
    std::size_t next = 0;
    for (auto _ : state) {
        QPainter painter(&backing);
        sweep.paint(painter, sweep.advance(samples[next]));
        next = next + 1 == samples.size() ? 0 : next + 1;
    }
    benchmark::DoNotOptimize(backing.constBits());
    state.SetItemsProcessed(state.iterations());
}

// A whole tick of a monitor painting into its surface: simulation step, sweep, history.
void monitorTick(benchmark::State& state) {
    QImage backing(QSize(panelWidth, panelHeight), QImage::Format_RGB32);
    backing.fill(Qt::black);
    Monitor monitor(panelWidth, panelHeight);
    monitor.setSurface(&backing);
    monitor.select(Rhythm::atrialFlutter, 42);
    for (auto _ : state) {
        monitor.run();
    }
    benchmark::DoNotOptimize(backing.constBits());
    state.SetItemsProcessed(state.iterations());
}

// A whole tick of the ward monitor: the same with the pulse channel, the heart-rate numeric and
// the alarms read, and the pulse wave painted on its own sweep under the ECG.
void wardTick(benchmark::State& state) {
    QImage backing(QSize(panelWidth, panelHeight), QImage::Format_RGB32);
    QImage plethBacking(QSize(panelWidth, panelHeight / 2), QImage::Format_RGB32);
    backing.fill(Qt::black);
    plethBacking.fill(Qt::black);
    Monitor monitor(panelWidth, panelHeight);
    monitor.setSurface(&backing);
    monitor.setPlethSurface(&plethBacking, panelWidth, panelHeight / 2);
    monitor.setWard(true);
    monitor.select(Rhythm::atrialFlutter, 42);
    for (auto _ : state) {
        monitor.run();
    }
    benchmark::DoNotOptimize(backing.constBits());
    benchmark::DoNotOptimize(plethBacking.constBits());
    state.SetItemsProcessed(state.iterations());
}

// One tick at the trainer's cadence (see Cadence), timed by the wall clock around the tick
// alone: warm after a frame's sleep, or cold.
void monitorTickAtCadence(benchmark::State& state) {
    QImage backing(QSize(panelWidth, panelHeight), QImage::Format_RGB32);
    backing.fill(Qt::black);
    Monitor monitor(panelWidth, panelHeight);
    monitor.setSurface(&backing);
    monitor.select(Rhythm::atrialFlutter, 42);
    monitor.run(2 * panelWidth);
    bench::Cadence cadence(state.range(0) != 0);
    for (auto _ : state) {
        cadence.waitForNextFrame();
        cadence.time(state, [&] { monitor.run(); });
    }
    benchmark::DoNotOptimize(backing.constBits());
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(sweepPaintPerTick)->ArgNames({"dpr", "grid"})->ArgsProduct({{1, 2}, {0, 1}});
BENCHMARK(monitorTick);
BENCHMARK(wardTick);
BENCHMARK(monitorTickAtCadence)
    ->ArgName("cold")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    const pulsavo::bench::BusyLoops loops(pulsavo::bench::takeBusyLoops(argc, argv));
    benchmark::AddCustomContext("busy_loops", std::to_string(loops.count()));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
