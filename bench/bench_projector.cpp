// A parameter change on the console until it shows on the projector window. Two consoles play
// the same rhythm from the same seed, one frame of ticks at a time; one of them gets a change
// (the atrial rate, at once). Counted: frames from the change until the console's panel first
// differs from the other's, and until the projector's picture does. The projector copies the
// panel in the same wake, so the second lag is zero frames when it keeps up.
// Also timed: one frame of the console with the projector open at 1920 x 1080.
#include "InstructorConsole.h"
#include "MirrorView.h"
#include "ParameterPanel.h"
#include "ProjectorWindow.h"
#include "ScopePanel.h"

#include <QApplication>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

using namespace pulsavo;

namespace {

struct SilentBeat : ToneSink {
    void sound() override {}
};

// Ticks per frame at 60 Hz, as the clock's wakes run them on average.
constexpr int ticksPerFrame = 2;

std::unique_ptr<InstructorConsole> console(ProjectorWindow** projector) {
    auto made = std::make_unique<InstructorConsole>(std::make_unique<SilentBeat>());
    made->show();
    made->play(LibraryRhythm::sinusRhythm, 21);
    *projector = made->openProjector();
    (*projector)->resize(1920, 1080);
    return made;
}

void changeToProjector(benchmark::State& state) {
    double panelFrames = 0;
    double projectorFrames = 0;
    double lagFrames = 0;
    for (auto _ : state) {
        ProjectorWindow* changedProjector = nullptr;
        ProjectorWindow* steadyProjector = nullptr;
        auto changed = console(&changedProjector);
        auto steady = console(&steadyProjector);
        const auto warmUp = static_cast<int>(state.range(0));
        changed->monitorClock().advance(warmUp);
        steady->monitorClock().advance(warmUp);
        changed->parameterPanel()->setRampSeconds(0);
        changed->parameterPanel()->setPending(conduction::LiveParameterId::atrialRate, 150);
        changed->applyPending();
        int panelAt = -1;
        int projectorAt = -1;
        for (int frame = 1; frame <= 300 && projectorAt < 0; ++frame) {
            changed->monitorClock().advance(ticksPerFrame);
            steady->monitorClock().advance(ticksPerFrame);
            if (panelAt < 0 &&
                changed->ecgPanel()->backingImage() != steady->ecgPanel()->backingImage()) {
                panelAt = frame;
            }
            if (changedProjector->ecgView()->frame() != steadyProjector->ecgView()->frame()) {
                projectorAt = frame;
            }
        }
        panelFrames += panelAt;
        projectorFrames += projectorAt;
        lagFrames += projectorAt - panelAt;
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["frames_to_panel"] = panelFrames / runs;
    state.counters["frames_to_projector"] = projectorFrames / runs;
    state.counters["projector_lag_frames"] = lagFrames / runs;
}

// One frame's ticks with the projector open and showing: the panel's paint, the copy into the
// projector's picture and its scaled repaint.
void frameWithProjector(benchmark::State& state) {
    ProjectorWindow* projector = nullptr;
    auto shown = console(&projector);
    projector->setTheme(state.range(0) != 0 ? ProjectorWindow::Theme::light
                                            : ProjectorWindow::Theme::dark);
    for (auto _ : state) {
        shown->monitorClock().advance(ticksPerFrame);
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

// Warm-up ticks: the change lands at different points of the cardiac cycle.
BENCHMARK(changeToProjector)
    ->Arg(150)
    ->Arg(230)
    ->Arg(310)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(frameWithProjector)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
