// The progress window's open time with 100,000 attempts: constructing it (the summary queries,
// the charts and the heat map) and showing it, headless.
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

constexpr int historySize = 100000;

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

// A year of answers up to today, written in one transaction (a commit per row would take
// minutes), so that the last 30 days carry a line.
QString filledDatabase() {
    static const QString path = [] {
        const QString file = folder().filePath(QStringLiteral("history.sqlite"));
        { ProgressStore create(file); }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "fill");
            db.setDatabaseName(file);
            db.open();
            QSqlQuery query(db);
            query.exec(QStringLiteral("BEGIN"));
            query.prepare(QStringLiteral(
                "INSERT INTO answers (time, round_id, shown, seed, answer, correct, hinted,"
                " answer_ms, app_version, exam_code) VALUES (?, NULL, ?, ?, ?, ?, 0, ?, ?, NULL)"));
            std::mt19937 random(42);
            std::uniform_int_distribution<int> rhythm(0, rhythmCount - 1);
            std::uniform_int_distribution<int> day(0, 364);
            std::uniform_int_distribution<int> ms(800, 15000);
            std::uniform_int_distribution<int> percent(0, 99);
            const QDateTime start = QDate::currentDate().addDays(-364).startOfDay(Qt::UTC);
            for (int i = 0; i < historySize; ++i) {
                const int shown = rhythm(random);
                const int answer = percent(random) < 70 ? shown : rhythm(random);
                query.addBindValue(start.addDays(day(random))
                                       .addSecs(i % 86400)
                                       .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ")));
                query.addBindValue(shown);
                query.addBindValue(i);
                query.addBindValue(answer);
                query.addBindValue(answer == shown ? 1 : 0);
                query.addBindValue(ms(random));
                query.addBindValue(QStringLiteral("bench"));
                if (!query.exec()) {
                    std::fprintf(stderr, "fill: %s\n", qPrintable(query.lastError().text()));
                    break;
                }
            }
            query.exec(QStringLiteral("COMMIT"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("fill"));
        return file;
    }();
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
BENCHMARK(BM_OpenProgressWindow)->Unit(benchmark::kMillisecond)->MinTime(2.0);

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
