// The progress window at 10^3 to 10^6 answers, headless: what its own thread spends opening
// (the file is read on another thread), the wait until the figures show, and what one answer
// costs it while it is open. Wall time: what the monitors beside it and the learner wait for.
#include "BusyLoops.h"
#include "ProgressHistory.h"
#include "ProgressStore.h"
#include "ProgressWindow.h"

#include <QApplication>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

#include <string>

#include <chrono>

using namespace pulsavo;

namespace {

// Kept beside the results and reused: a million answers take minutes to write.
QString filledDatabase(int size) {
    return bench::filledProgressDatabase(QDate::currentDate(), QString(), size,
                                         QCoreApplication::applicationDirPath() +
                                             QStringLiteral("/results/histories"));
}

// The window's thread from the click to a window on screen saying it is loading.
void openWindowThread(benchmark::State& state) {
    const QString path = filledDatabase(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ProgressWindow window(path);
        window.show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        window.finishLoading();
        window.close();
        state.ResumeTiming();
    }
}

// From the click until the figures are shown.
void openUntilShown(benchmark::State& state) {
    const QString path = filledDatabase(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ProgressWindow window(path);
        window.show();
        window.finishLoading();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.summary().attempts);
        state.PauseTiming();
        window.close();
        state.ResumeTiming();
    }
}

// One answer into the open window: folded, the charts updated and repainted on its thread; the
// median follows later on the background thread (not timed, waited for between answers).
void oneAnswerUpdate(benchmark::State& state) {
    const QString path = filledDatabase(static_cast<int>(state.range(0)));
    ProgressWindow window(path);
    window.show();
    window.finishLoading();
    QCoreApplication::processEvents();
    ProgressStore::Written written;
    AnswerRecord answer;
    answer.shown = Rhythm::atrialFlutter;
    answer.answer = Rhythm::atrialFibrillation;
    answer.correct = false;
    answer.answerMs = 3000;
    answer.time = QDateTime::currentDateTime();
    written.answers.push_back(answer);
    double updateMs = 0;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        window.addAnswers(written);
        updateMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
                .count();
        QCoreApplication::processEvents();
        state.PauseTiming();
        window.finishLoading();
        state.ResumeTiming();
    }
    // The figures changed, before the repaint that the event loop then does.
    state.counters["update_ms"] = updateMs / static_cast<double>(state.iterations());
}

} // namespace

// A fixed count: each pass waits, untimed, for the whole background read, and Google
// Benchmark's own choice at a few milliseconds timed ran hundreds of them at 10⁶ answers.
BENCHMARK(openWindowThread)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Iterations(20)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(openUntilShown)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(oneAnswerUpdate)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QStandardPaths::setTestModeEnabled(true);
    const int busy = bench::takeBusyLoops(argc, argv);
    QApplication application(argc, argv);
    // Under busy loops the files are filled first (or found kept), so that the loops weigh on
    // the figures alone.
    for (const int size : {1000, 10000, 100000, 1000000}) {
        if (busy > 0) {
            filledDatabase(size);
        }
    }
    const bench::BusyLoops loops(busy);
    benchmark::AddCustomContext("busy_loops", std::to_string(loops.count()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
