#include "DialogBench.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

using namespace pulsavo;
using Clock = std::chrono::steady_clock;

namespace {

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[at];
}

} // namespace

// Usage: bench_sweeprate [SECONDS] [--json FILE]
// Runs the real dialog with its own timer for SECONDS of wall time (default 10) after a second
// of warm-up, and measures the sweep as the trainee sees it: ticks per second, the spacing of
// the ticks, and the CPU time the whole process spends.
int main(int argc, char** argv) {
    double seconds = 10;
    const char* jsonPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--json" && i + 1 < argc) {
            jsonPath = argv[++i];
        } else {
            seconds = std::atof(argv[i]);
        }
    }
    if (!(seconds >= 1 && seconds <= 3600)) {
        std::fprintf(stderr, "bench_sweeprate: SECONDS must be 1 to 3600\n");
        return 2;
    }

    bench::preferOffscreen();
    QApplication application(argc, argv);
    TrainerDialog dialog;
    bench::decideOn(dialog, 5);

    // A second of warm-up first, so that showing the dialog and loading its fonts, which
    // happen once, do not count against the running cost; then the measured run.
    constexpr int warmUpMs = 1000;
    std::vector<Clock::time_point> ticks;
    ticks.reserve(static_cast<std::size_t>(seconds * 200) + 100);
    bool measuring = false;
    QObject::connect(&dialog.tickTimer(), &QTimer::timeout, [&] {
        if (measuring) {
            ticks.push_back(Clock::now());
        }
    });
    double cpuBefore = 0;
    Clock::time_point wallBefore;
    QTimer::singleShot(warmUpMs, Qt::PreciseTimer, &dialog, [&] {
        measuring = true;
        cpuBefore = processCpuSeconds();
        wallBefore = Clock::now();
        QTimer::singleShot(static_cast<int>(seconds * 1000), Qt::PreciseTimer, &dialog,
                           [&dialog] { dialog.done(0); });
    });
    dialog.exec();
    const double cpu = processCpuSeconds() - cpuBefore;
    const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();

    if (ticks.size() < 3) {
        std::fprintf(stderr, "bench_sweeprate: only %zu ticks in %.1f s\n", ticks.size(), wall);
        return 1;
    }
    std::vector<double> intervals;
    intervals.reserve(ticks.size() - 1);
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        intervals.push_back(
            std::chrono::duration<double, std::milli>(ticks[i] - ticks[i - 1]).count());
    }
    const double span = std::chrono::duration<double>(ticks.back() - ticks.front()).count();
    const double rate = static_cast<double>(ticks.size() - 1) / span;
    const double median = percentile(intervals, 0.5);
    const double p99 = percentile(intervals, 0.99);
    const double longest = *std::max_element(intervals.begin(), intervals.end());
    const double cpuShare = 100 * cpu / wall;

    const std::vector<bench::Figure> figures{
        {"sweep rate, ticks per second", rate, "1/s", "100 +- 0.5", std::abs(rate - 100) <= 0.5},
        {"tick interval, median", median, "ms", "-", true},
        {"tick interval, 99th percentile", p99, "ms", "<= 12", p99 <= 12},
        {"tick interval, longest", longest, "ms", "-", true},
        {"CPU time, share of one core", cpuShare, "%", "<= 2", cpuShare <= 2},
    };
    std::printf("Sweep-rate run: %zu ticks in %.2f s of wall time, %.3f s of CPU time\n",
                ticks.size(), wall, cpu);
    bench::printFigures(figures);
    if (jsonPath && !bench::writeFigures(jsonPath, figures)) {
        std::fprintf(stderr, "bench_sweeprate: cannot write %s\n", jsonPath);
        return 1;
    }
    return 0;
}
