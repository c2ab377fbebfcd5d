// Opening 成績 beside the running classic sweep: the classic dialog plays with its own clock,
// and the progress window is opened from it on a file of many answers (a million unless told).
// What the trainee would see: ticks the sweep drops, its longest pause, the time the window's
// thread spends opening it and the wait until the figures show (all wall time).
#include "DialogBench.h"
#include "ProgressHistory.h"
#include "ProgressWindow.h"
#include "TrainerApp.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace pulsavo;
using Clock = std::chrono::steady_clock;

namespace {

double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

} // namespace

// Usage: bench_progressopen [--answers N] [--busy N] [--histories DIR] [--json FILE]
int main(int argc, char** argv) {
    int answers = 1000000;
    int busy = 0;
    QString histories;
    const char* jsonPath = nullptr;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--answers") {
            answers = std::atoi(argv[i + 1]);
        } else if (arg == "--busy") {
            busy = std::atoi(argv[i + 1]);
        } else if (arg == "--histories") {
            histories = QString::fromLocal8Bit(argv[i + 1]);
        } else if (arg == "--json") {
            jsonPath = argv[i + 1];
        }
    }
    if (answers < 1 || answers > 10000000 || busy < 0 || busy > 64) {
        std::fprintf(stderr, "bench_progressopen: N answers 1 to 10^7, busy loops 0 to 64\n");
        return 2;
    }
    bench::preferOffscreen();
    bench::useFreshSettings();
    prepareWindowSystem();
    QApplication application(argc, argv);
    if (histories.isEmpty()) {
        histories = QCoreApplication::applicationDirPath() + QStringLiteral("/results/histories");
    }
    // Filled before the busy loops start: only the opening is measured under them.
    const QString database =
        bench::filledProgressDatabase(QDate::currentDate(), QString(), answers, histories);
    const bench::BusyLoops loops(busy);

    TrainerDialog dialog;
    dialog.practiceDatabase = database;
    bench::decideOn(dialog, 5);
    std::vector<Clock::time_point> wakes;
    bool measuring = false;
    QObject::connect(&dialog.monitorClock(), &MonitorClock::advanced, [&](int) {
        if (measuring) {
            wakes.push_back(Clock::now());
        }
    });
    std::int64_t droppedBefore = 0;
    double openMs = 0;
    double shownMs = -1;
    Clock::time_point clicked;
    QTimer poll;
    // A second of the sweep alone first, then the click, then half a second after the figures
    // show (or a minute without them).
    QTimer::singleShot(1000, Qt::PreciseTimer, &dialog, [&] {
        measuring = true;
        droppedBefore = dialog.monitorClock().droppedTicks();
        clicked = Clock::now();
        dialog.onProgress();
        openMs = msBetween(clicked, Clock::now());
        QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
            const bool waitedTooLong = msBetween(clicked, Clock::now()) > 60000;
            if (dialog.progressWindow()->isLoading() && !waitedTooLong) {
                return;
            }
            poll.stop();
            if (!waitedTooLong) {
                shownMs = msBetween(clicked, Clock::now());
            }
            QTimer::singleShot(500, &dialog, [&] { dialog.done(0); });
        });
        poll.start(5);
    });
    dialog.exec();

    double longest = 0;
    for (std::size_t i = 1; i < wakes.size(); ++i) {
        longest = std::max(longest, msBetween(wakes[i - 1], wakes[i]));
    }
    const auto dropped = static_cast<double>(dialog.monitorClock().droppedTicks() - droppedBefore);
    const std::string name = QGuiApplication::platformName().toStdString() + ", " +
                             (busy == 0 ? std::string("quiet") : std::to_string(busy) + " busy") +
                             ", progress window opened at " + std::to_string(answers) + ": ";
    const std::vector<bench::Figure> figures{
        {name + "ticks dropped by the classic sweep", dropped, "ticks", "0", dropped == 0},
        {name + "longest sweep pause (wall)", longest, "ms", "-", true},
        {name + "window thread, click to shown (wall)", openMs, "ms", "-", true},
        {name + "click to figures shown (wall)", shownMs, "ms", "-", shownMs >= 0},
    };
    bench::printFigures(figures);
    if (jsonPath && !bench::writeFigures(jsonPath, figures)) {
        std::fprintf(stderr, "bench_progressopen: cannot write %s\n", jsonPath);
        return 1;
    }
    return 0;
}
