// Fresh processes, process start to the first tick drawn: wall time, and peak memory.
#include "DialogBench.h"
#include "PulsavoVersion.h"
#include "TrainerApp.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace pulsavo;

namespace {

constexpr int runs = 5;

// The kernel records when the process was started, in clock ticks since boot; this counts the
// dynamic loading and static initialisation that no timer inside main could see.
double secondsSinceProcessStart() {
    std::ifstream statFile("/proc/self/stat");
    std::string stat;
    std::getline(statFile, stat);
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    // After the command name: state is field 3, starttime field 22.
    for (int i = 3; i <= 22; ++i) {
        fields >> field;
    }
    const double started = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9 - started;
}

// Closes the dialog once the panel has painted a tick: the first trace the trainee can see.
class FirstTickWatch : public QObject {
public:
    explicit FirstTickWatch(TrainerDialog& dialog) : dialog(dialog) {
        connect(&dialog.frameTimer(), &QTimer::timeout, this, [this] { ticked = true; });
        dialog.findChild<QWidget*>(QStringLiteral("scopePanel"))->installEventFilter(this);
    }

    double drawnAt = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && ticked && drawnAt == 0) {
            // Queued behind the paint event, so it runs when the panel has been painted.
            QTimer::singleShot(0, this, [this] {
                drawnAt = secondsSinceProcessStart();
                dialog.done(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TrainerDialog& dialog;
    bool ticked = false;
};

// One start-up, as main() does it, printing seconds to the first drawn tick and peak RSS in kB.
int measureOnce(int argc, char** argv) {
    bench::preferOffscreen();
    bench::useFreshSettings();
    prepareWindowSystem();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pulsavo"));
    QApplication::setApplicationVersion(QStringLiteral(PULSAVO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("io.github.pulsavo.Pulsavo"));
    double drawnAt = 0;
    {
        TrainerDialog dialog;
        FirstTickWatch watch(dialog);
        dialog.exec();
        drawnAt = watch.drawnAt;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.6f %ld\n", drawnAt, usage.ru_maxrss);
    return drawnAt > 0 ? 0 : 1;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

// Usage: bench_startup [--json FILE]
// Starts the trainer five times in fresh processes and reports the time from process start to
// the first tick drawn on the panel and the peak resident memory.
int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--child") {
        return measureOnce(argc, argv);
    }
    const char* jsonPath = argc > 2 && std::string(argv[1]) == "--json" ? argv[2] : nullptr;
    bench::preferOffscreen();
    bench::useFreshSettings();
    std::vector<double> startMs;
    std::vector<double> rssMb;
    const std::string command = std::string("'") + argv[0] + "' --child";
    for (int run = 0; run < runs; ++run) {
        std::FILE* child = popen(command.c_str(), "r");
        double seconds = 0;
        long rssKb = 0;
        const bool read = child && std::fscanf(child, "%lf %ld", &seconds, &rssKb) == 2;
        if (!child || pclose(child) != 0 || !read) {
            std::fprintf(stderr, "bench_startup: run %d failed\n", run + 1);
            return 1;
        }
        startMs.push_back(seconds * 1000);
        rssMb.push_back(static_cast<double>(rssKb) / 1024);
    }
    const double startMedian = median(startMs);
    const double startWorst = *std::max_element(startMs.begin(), startMs.end());
    const double rssWorst = *std::max_element(rssMb.begin(), rssMb.end());
    const std::string platform = qgetenv("QT_QPA_PLATFORM").toStdString() + ": ";
    const std::vector<bench::Figure> figures{
        {platform + "start-up to first tick, median (wall)", startMedian, "ms", "<= 300",
         startMedian <= 300},
        {platform + "start-up to first tick, slowest (wall)", startWorst, "ms", "<= 300",
         startWorst <= 300},
        {platform + "peak resident memory", rssWorst, "MB", "<= 80", rssWorst <= 80},
    };
    std::printf("Start-up, %d runs (process start measured in 10 ms clock ticks):\n", runs);
    bench::printFigures(figures);
    if (jsonPath && !bench::writeFigures(jsonPath, figures)) {
        std::fprintf(stderr, "bench_startup: cannot write %s\n", jsonPath);
        return 1;
    }
    return 0;
}
