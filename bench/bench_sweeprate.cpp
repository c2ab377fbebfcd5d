#include "DialogBench.h"
#include "TrainerApp.h"

#include <QApplication>
#include <QProcess>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

using namespace pulsavo;
using Clock = std::chrono::steady_clock;

namespace {

// CPU time of a whole process, every thread included, in seconds; -1 when it cannot be read.
double processCpuSeconds(pid_t pid) {
    clockid_t clock{};
    if (clock_getcpuclockid(pid, &clock) != 0) {
        return -1;
    }
    timespec now{};
    if (clock_gettime(clock, &now) != 0) {
        return -1;
    }
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[at];
}

struct Wake {
    Clock::time_point at;
    int ticks;
};

} // namespace

// Usage: bench_sweeprate [--seconds S] [--busy N] [--floor PROGRAM] [--json FILE]
// Runs the real dialog with its own clock for S seconds of wall time (default 10) after two
// seconds of warm-up, with N busy loops beside it (default none), and measures the sweep as the
// trainee sees it: ticks per second, the spacing of the wakes, and the CPU time the whole
// process spends. With a floor program (bench_floor) running in the same window of time, the
// CPU time is also given as a multiple of the floor's.
int main(int argc, char** argv) {
    double seconds = 10;
    int busy = 0;
    const char* jsonPath = nullptr;
    const char* floorProgram = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--json" && i + 1 < argc) {
            jsonPath = argv[++i];
        } else if (arg == "--floor" && i + 1 < argc) {
            floorProgram = argv[++i];
        } else if (arg == "--busy" && i + 1 < argc) {
            busy = std::atoi(argv[++i]);
        } else if (arg == "--seconds" && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else {
            seconds = std::atof(argv[i]);
        }
    }
    if (!(seconds >= 1 && seconds <= 3600) || busy < 0 || busy > 64) {
        std::fprintf(stderr, "bench_sweeprate: SECONDS must be 1 to 3600, N 0 to 64\n");
        return 2;
    }

    const bench::BusyLoops loops(busy);
    bench::preferOffscreen();
    bench::useFreshSettings();
    // The floor program gets the window-system settings the trainer makes (under X11 repaints
    // over the connection, not through shared memory), so that the two pay the same transport.
    prepareWindowSystem();
    const QProcessEnvironment floorEnvironment = QProcessEnvironment::systemEnvironment();
    QApplication application(argc, argv);
    const std::string condition =
        QGuiApplication::platformName().toStdString() + ", " +
        (busy == 0 ? std::string("quiet") : std::to_string(busy) + " busy loops");

    QProcess floor;
    if (floorProgram != nullptr) {
        floor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        floor.setProcessEnvironment(floorEnvironment);
        floor.start(QString::fromLocal8Bit(floorProgram), {});
        if (!floor.waitForStarted(5000)) {
            std::fprintf(stderr, "bench_sweeprate: cannot start %s\n", floorProgram);
            return 1;
        }
    }

    TrainerDialog dialog;
    bench::decideOn(dialog, 5);

    // Two seconds of warm-up first, so that showing the windows and loading their fonts, which
    // happen once, do not count against the running cost; then the measured run.
    constexpr int warmUpMs = 2000;
    std::vector<Wake> wakes;
    wakes.reserve(static_cast<std::size_t>(seconds * 200) + 100);
    bool measuring = false;
    QObject::connect(&dialog.monitorClock(), &MonitorClock::advanced, [&](int ticks) {
        if (measuring) {
            wakes.push_back({Clock::now(), ticks});
        }
    });
    double cpuBefore = 0;
    double floorBefore = 0;
    double cpu = 0;
    double floorCpu = 0;
    Clock::time_point wallBefore;
    Clock::time_point wallAfter;
    std::int64_t droppedBefore = 0;
    const auto floorPid = static_cast<pid_t>(floor.processId());
    QTimer::singleShot(warmUpMs, Qt::PreciseTimer, &dialog, [&] {
        measuring = true;
        droppedBefore = dialog.monitorClock().droppedTicks();
        cpuBefore = processCpuSeconds(getpid());
        floorBefore = floorPid > 0 ? processCpuSeconds(floorPid) : -1;
        wallBefore = Clock::now();
        QTimer::singleShot(static_cast<int>(seconds * 1000), Qt::PreciseTimer, &dialog, [&] {
            cpu = processCpuSeconds(getpid()) - cpuBefore;
            floorCpu = floorPid > 0 ? processCpuSeconds(floorPid) - floorBefore : -1;
            wallAfter = Clock::now();
            dialog.done(0);
        });
    });
    dialog.exec();
    if (floorProgram != nullptr) {
        floor.kill();
        floor.waitForFinished(5000);
    }
    const double wall = std::chrono::duration<double>(wallAfter - wallBefore).count();

    if (wakes.size() < 3) {
        std::fprintf(stderr, "bench_sweeprate: only %zu wakes in %.1f s\n", wakes.size(), wall);
        return 1;
    }
    std::vector<double> intervals;
    intervals.reserve(wakes.size() - 1);
    long long ticks = 0;
    int mostTicks = 0;
    for (std::size_t i = 1; i < wakes.size(); ++i) {
        intervals.push_back(
            std::chrono::duration<double, std::milli>(wakes[i].at - wakes[i - 1].at).count());
        ticks += wakes[i].ticks;
        mostTicks = std::max(mostTicks, wakes[i].ticks);
    }
    const double span = std::chrono::duration<double>(wakes.back().at - wakes.front().at).count();
    const double rate = static_cast<double>(ticks) / span;
    const double median = percentile(intervals, 0.5);
    const double p99 = percentile(intervals, 0.99);
    const double longest = *std::max_element(intervals.begin(), intervals.end());
    const double cpuShare = 100 * cpu / wall;
    const auto dropped = static_cast<double>(dialog.monitorClock().droppedTicks() - droppedBefore);

    // Only a real X server shows what repainting costs; offscreen figures are for comparison.
    const bool xcb = QGuiApplication::platformName() == QLatin1String("xcb");
    const std::string name = condition + ": ";
    std::vector<bench::Figure> figures{
        {name + "sweep rate (wall)", rate, "ticks/s", "100 +- 0.5", std::abs(rate - 100) <= 0.5},
        {name + "wake interval median (wall)", median, "ms", "-", true},
        {name + "wake interval p99 (wall)", p99, "ms", "-", true},
        {name + "wake interval longest (wall)", longest, "ms", "-", true},
        {name + "ticks in one wake, most", static_cast<double>(mostTicks), "ticks", "-", true},
        {name + "ticks dropped after stalls", dropped, "ticks", "-", true},
    };
    // The targets hold quiet and loaded, under a real X server; offscreen figures are for
    // comparison.
    if (xcb) {
        figures.push_back(
            {name + "trainer CPU / wall", cpuShare, "% core", "<= 1.6", cpuShare <= 1.6});
    } else {
        figures.push_back({name + "trainer CPU / wall", cpuShare, "% core", "-", true});
    }
    if (floorCpu > 0) {
        const double ratio = cpu / floorCpu;
        figures.push_back({name + "floor CPU / wall", 100 * floorCpu / wall, "% core", "-", true});
        figures.push_back({name + "trainer CPU / floor CPU", ratio, "x", xcb ? "<= 0.8" : "-",
                           !xcb || ratio <= 0.8});
    }
    std::printf("Sweep-rate run (%s): %lld ticks in %zu wakes, %.2f s of wall time, %.3f s of "
                "CPU time, floor %.3f s\n",
                condition.c_str(), ticks, wakes.size() - 1, wall, cpu, floorCpu);
    bench::printFigures(figures);
    if (jsonPath && !bench::writeFigures(jsonPath, figures)) {
        std::fprintf(stderr, "bench_sweeprate: cannot write %s\n", jsonPath);
        return 1;
    }
    return 0;
}
