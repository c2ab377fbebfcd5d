// The trainer left open for a long time with its three windows: the classic dialog, the practice
// window playing a question and the progress window. What it costs then should be what its one
// running monitor costs, and its memory should level off.
//
// Usage: bench_soak [--minutes M] [--reference-seconds S] [--json FILE]
// First the practice window alone plays the question for S seconds (default 60): the monitor's
// cost. Then the classic dialog opens it from its menu, with the progress window on 100,000
// answers beside it, and the three stay open for M minutes (default 15) with nothing done. CPU
// time is the whole process's over the wall time; memory is the resident set, sampled every
// 10 s; paints are counted per window.
#include "DialogBench.h"
#include "PracticeWindow.h"
#include "ProgressHistory.h"
#include "ProgressWindow.h"
#include "TrainerApp.h"

#include <QApplication>
#include <QDate>
#include <QEvent>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using namespace pulsavo;
using Clock = std::chrono::steady_clock;

namespace {

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

// Paint events per top-level window, by the window's object name (its class when it has none).
class PaintCounter : public QObject {
public:
    std::map<std::string, long long> paints;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            const QWidget* window = static_cast<QWidget*>(watched)->window();
            std::string name = window->metaObject()->className();
            ++paints[name.substr(name.rfind(':') + 1)];
        }
        return false;
    }
};

// Runs the event loop for `seconds` and returns the process's CPU share of one core over it.
double cpuShareOver(double seconds) {
    const double before = processCpuSeconds();
    const Clock::time_point start = Clock::now();
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), Qt::PreciseTimer, &loop,
                       &QEventLoop::quit);
    loop.exec();
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    return 100 * (processCpuSeconds() - before) / wall;
}

const std::vector<Question> question{{Rhythm::sinusRhythm, 42}};

} // namespace

int main(int argc, char** argv) {
    double minutes = 15;
    double referenceSeconds = 60;
    const char* jsonPath = nullptr;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--minutes") {
            minutes = std::atof(argv[i + 1]);
        } else if (arg == "--reference-seconds") {
            referenceSeconds = std::atof(argv[i + 1]);
        } else if (arg == "--json") {
            jsonPath = argv[i + 1];
        }
    }
    if (!(minutes > 0 && minutes <= 24 * 60) || !(referenceSeconds >= 5)) {
        std::fprintf(stderr, "bench_soak: M must be more than 0 and S at least 5\n");
        return 2;
    }
    bench::preferOffscreen();
    bench::useFreshSettings();
    prepareWindowSystem();
    QApplication application(argc, argv);
    const QString database = bench::filledProgressDatabase(QDate::currentDate(), QString());
    PaintCounter counter;
    application.installEventFilter(&counter);

    // The monitor's own cost: the practice window alone, playing the question.
    double reference = 0;
    {
        PracticeWindow alone(database);
        alone.show();
        alone.startRound(question, RoundMode::practice);
        cpuShareOver(2);
        reference = cpuShareOver(referenceSeconds);
    }

    TrainerDialog dialog;
    dialog.practiceDatabase = database;
    dialog.show();
    bench::decideOn(dialog, 5);
    dialog.onPractice();
    dialog.practiceWindow()->startRound(question, RoundMode::practice);
    dialog.onProgress();
    cpuShareOver(5);
    counter.paints.clear();

    const double startMb = residentMegabytes();
    double maxMb = startMb;
    double halfMb = startMb;
    const int samples = std::max(1, static_cast<int>(minutes * 6));
    double cpuSum = 0;
    for (int i = 0; i < samples; ++i) {
        cpuSum += cpuShareOver(10);
        const double mb = residentMegabytes();
        maxMb = std::max(maxMb, mb);
        if (i + 1 == samples / 2) {
            halfMb = mb;
        }
    }
    const double endMb = residentMegabytes();
    const double soak = cpuSum / samples;
    const double soakMinutes = samples / 6.0;

    const std::string where = QGuiApplication::platformName().toStdString() + ", " +
                              QString::number(soakMinutes, 'g', 3).toStdString() + " min: ";
    std::vector<bench::Figure> figures{
        {where + "practice window alone, CPU / wall", reference, "% core", "-", true},
        {where + "three windows open, CPU / wall", soak, "% core", "-", true},
        {where + "three windows / practice alone", soak / reference, "x", "<= 1.2",
         soak <= 1.2 * reference},
        {where + "resident memory after warm-up", startMb, "MB", "-", true},
        {where + "resident memory at the end", endMb, "MB", "-", true},
        {where + "resident memory, most", maxMb, "MB", "-", true},
        {where + "resident memory growth, second half", endMb - halfMb, "MB", "<= 2",
         endMb - halfMb <= 2},
    };
    for (const char* window : {"TrainerDialog", "PracticeWindow", "ProgressWindow"}) {
        const auto paints = static_cast<double>(counter.paints[window]);
        const bool still = std::string(window) != "PracticeWindow";
        figures.push_back({where + window + " paints per minute", paints / soakMinutes, "/min",
                           still ? "0" : "-", !still || paints == 0});
    }
    std::printf("Soak (%s): %.1f min with three windows open\n",
                QGuiApplication::platformName().toStdString().c_str(), soakMinutes);
    bench::printFigures(figures);
    if (jsonPath && !bench::writeFigures(jsonPath, figures)) {
        std::fprintf(stderr, "bench_soak: cannot write %s\n", jsonPath);
        return 1;
    }
    return 0;
}
