// The progress window's open time with 100,000 attempts: constructing it (the summary queries,
// the charts and the heat map) and showing it, headless.
#include "ProgressHistory.h"
#include "ProgressStore.h"
#include "ProgressWindow.h"

#include <QApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVariant>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

using namespace pulsavo;

namespace {

using bench::historySize;

QString filledDatabase() {
    static const QString path = bench::filledProgressDatabase(QDate::currentDate(), QString());
    return path;
}

void BM_OpenProgressWindow(benchmark::State& state) {
    const QString path = filledDatabase();
    for (auto _ : state) {
        ProgressWindow window(path);
        window.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.summary().attempts);
        state.PauseTiming();
        window.close();
        state.ResumeTiming();
    }
    state.counters["attempts"] = historySize;
}
// What the learner waits for: wall time.
BENCHMARK(BM_OpenProgressWindow)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

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
