// The answers database: one answer's commit (synced to disk, as the learner waits for the
// feedback), and the progress window's queries over 100,000 attempts.
#include "BusyLoops.h"
#include "NativePath.h"
#include "ProgressHistory.h"
#include "ProgressStore.h"
#include "ProgressTally.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <benchmark/benchmark.h>

#include <string>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

using namespace pulsavo;

namespace {

using bench::historySize;
const QDate today(2024, 6, 30);
const ProgressFilter examFilter{QStringLiteral("PX-BENCH")};

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

QString filledDatabase() {
    static const QString path = bench::filledProgressDatabase(today, examFilter.examCode);
    return path;
}

// Stores live until main() ends them, before the application and Qt SQL go.
std::unique_ptr<ProgressStore> filled;
std::unique_ptr<ProgressStore> commits;

ProgressStore& filledStore() {
    if (!filled) {
        filled = std::make_unique<ProgressStore>(filledDatabase());
    }
    return *filled;
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[index];
}

// One commit per iteration, each timed on its own; Google Benchmark's aggregates over the
// repetitions give the median and the 99th percentile.
void answerCommit(benchmark::State& state) {
    if (!commits) {
        commits =
            std::make_unique<ProgressStore>(folder().filePath(QStringLiteral("commits.sqlite")));
    }
    ProgressStore& store = *commits;
    static std::uint32_t seed = 0;
    const std::int64_t round = store.beginRound(RoundInfo{});
    for (auto _ : state) {
        AnswerRecord answer;
        answer.roundId = round;
        answer.shown = Rhythm::atrialFlutter;
        answer.answer = Rhythm::atrialFibrillation;
        answer.seed = ++seed;
        answer.answerMs = 4321;
        if (store.recordAnswer(answer) < 0) {
            state.SkipWithError("an answer was not recorded");
        }
    }
}

// The same commits as one run, reporting the spread directly as counters (milliseconds).
void answerCommitSpread(benchmark::State& state) {
    ProgressStore store(folder().filePath(QStringLiteral("spread.sqlite")));
    std::vector<double> times;
    std::uint32_t seed = 0;
    for (auto _ : state) {
        AnswerRecord answer;
        answer.shown = Rhythm::mobitzBlock;
        answer.answer = Rhythm::wenckebachBlock;
        answer.seed = ++seed;
        const auto begin = std::chrono::steady_clock::now();
        store.recordAnswer(answer);
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
                .count());
    }
    state.counters["median_ms"] = percentile(times, 0.5);
    state.counters["p99_ms"] = percentile(times, 0.99);
    state.counters["max_ms"] = percentile(times, 1.0);
}

// Everything the progress window reads when it opens, on an open store.
void progressWindowQueries(benchmark::State& state) {
    ProgressStore& store = filledStore();
    const ProgressFilter filter = state.range(0) != 0 ? examFilter : ProgressFilter{};
    for (auto _ : state) {
        const ProgressSummary summary = store.summary(filter, 30, today);
        benchmark::DoNotOptimize(summary.attempts);
    }
}

// A database of `answers` answers (one round, spread over a year), made once per size.
QString databaseOf(int answers) {
    const QString path = folder().filePath(QStringLiteral("open-%1.sqlite").arg(answers));
    if (QFileInfo::exists(path)) {
        return path;
    }
    { ProgressStore store(path); }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "fill");
        db.setDatabaseName(path);
        db.open();
        db.transaction();
        QSqlQuery query(db);
        query.prepare(QStringLiteral("INSERT INTO answers (time, shown, seed, answer, correct,"
                                     " hinted, answer_ms, app_version) VALUES (?, ?, ?, ?, ?, 0,"
                                     " ?, 'bench')"));
        std::mt19937 random(answers);
        for (int i = 0; i < answers; ++i) {
            const auto shown = QStringLiteral("classic_%1").arg(random() % 18);
            query.addBindValue(
                QDateTime(today.addDays(-static_cast<int>(random() % 365)), QTime(12, 0), Qt::UTC)
                    .toString(Qt::ISODateWithMs));
            query.addBindValue(shown);
            query.addBindValue(i);
            query.addBindValue(shown);
            query.addBindValue(1);
            query.addBindValue(static_cast<int>(1000 + random() % 5000));
            query.exec();
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return path;
}

// Opening the store of a file closed cleanly: no page is read beyond what opening needs, at
// any size (wall time; the window waits for it).
void openStore(benchmark::State& state) {
    const QString path = databaseOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ProgressStore store(path);
        benchmark::DoNotOptimize(store.checkedEveryPage());
    }
}

// The same while another store has the file open, as after a crash: every page is read.
void openStoreNotClosedCleanly(benchmark::State& state) {
    const QString path = databaseOf(static_cast<int>(state.range(0)));
    ProgressStore other(path);
    AnswerRecord answer;
    answer.shown = Rhythm::sinusRhythm;
    other.recordAnswer(answer);
    for (auto _ : state) {
        ProgressStore store(path);
        if (!store.checkedEveryPage()) {
            state.SkipWithError("the open did not read every page");
        }
    }
}

// Opening the store (checking every page only after an unclean shutdown) and then the
// window's queries.
void openStoreAndQueries(benchmark::State& state) {
    const QString path = filledDatabase();
    for (auto _ : state) {
        ProgressStore store(path);
        const ProgressSummary summary = store.summary({}, 30, today);
        benchmark::DoNotOptimize(summary.attempts);
    }
}

void rhythmStats(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(filledStore().rhythmStats());
    }
}

void confusionMatrix(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(filledStore().confusion());
    }
}

void accuracyByDay(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(filledStore().accuracyByDay(30, {}, today));
    }
}

void streak(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(filledStore().streak({}, today));
    }
}

void topConfusions(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(filledStore().topConfusions(5));
    }
}

void exportCsv(benchmark::State& state) {
    for (auto _ : state) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        filledStore().exportCsv(buffer);
        benchmark::DoNotOptimize(bytes.size());
    }
}

// The review schedule's read when the practice window opens: every naming answer with its
// local day, then the schedule built from them.
void reviewHistory(benchmark::State& state) {
    ProgressStore& store = filledStore(); // written once, outside the timing
    for (auto _ : state) {
        const std::vector<ReviewAnswer> history = store.reviewHistory();
        benchmark::DoNotOptimize(ReviewSchedule::fromAnswers(history));
    }
}

// What the progress window's thread reads in the background when it opens: a read-only
// connection of its own and every figure the window shows (wall time).
void fullLoad(benchmark::State& state) {
    const QString path = databaseOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const ProgressStore reader(ProgressStore::ReadOnly::tag, nativeFromPath(path));
        const ProgressSummary summary = reader.summary({}, 30, today);
        benchmark::DoNotOptimize(summary.attempts);
    }
}

// What an answer costs the open window's figures: folded in, no file read (wall time).
void oneAnswerFold(benchmark::State& state) {
    const QString path = databaseOf(static_cast<int>(state.range(0)));
    const ProgressStore reader(ProgressStore::ReadOnly::tag, nativeFromPath(path));
    ProgressSummary summary = reader.summary({}, 30, today);
    AnswerRecord answer;
    answer.shown = Rhythm::atrialFlutter;
    answer.answer = Rhythm::atrialFibrillation;
    answer.correct = false;
    answer.time = QDateTime(today, QTime(12, 0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ProgressTally::fold(summary, answer, {}));
    }
}

// The one figure an answer leaves behind, read afterwards on the window's background thread.
void medianAfterAnswer(benchmark::State& state) {
    const QString path = databaseOf(static_cast<int>(state.range(0)));
    const ProgressStore reader(ProgressStore::ReadOnly::tag, nativeFromPath(path));
    const int attempts = reader.rhythmStats()[indexOf(Rhythm::atrialFlutter)].attempts;
    for (auto _ : state) {
        benchmark::DoNotOptimize(reader.medianMs(Rhythm::atrialFlutter, attempts));
    }
}

double p99(const std::vector<double>& values) {
    return percentile(values, 0.99);
}

} // namespace

// A commit waits for the disk (synchronous=FULL): the figure is wall time, not CPU time.
BENCHMARK(answerCommit)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(500)
    ->ComputeStatistics("p99", p99)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(answerCommitSpread)->UseRealTime()->Iterations(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(progressWindowQueries)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(openStoreAndQueries)->Unit(benchmark::kMillisecond);
BENCHMARK(reviewHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(openStore)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(openStoreNotClosedCleanly)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(fullLoad)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(oneAnswerFold)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(medianAfterAnswer)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(rhythmStats)->Unit(benchmark::kMillisecond);
BENCHMARK(confusionMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK(accuracyByDay)->Unit(benchmark::kMillisecond);
BENCHMARK(streak)->Unit(benchmark::kMillisecond);
BENCHMARK(topConfusions)->Unit(benchmark::kMillisecond);
BENCHMARK(exportCsv)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    // Filled before the busy loops start, so that they weigh on the figures alone.
    const QCoreApplication application(argc, argv);
    filledDatabase();
    const bench::BusyLoops loops(bench::takeBusyLoops(argc, argv));
    benchmark::AddCustomContext("busy_loops", std::to_string(loops.count()));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    filled.reset();
    commits.reset();
    return 0;
}
