#pragma once

#include "BusyLoops.h"
#include "TrainerDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace pulsavo::bench {

// The dialog benchmarks run the real dialog headless unless told to use a display.
inline void preferOffscreen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

// The figures are those of the trainer as installed: settings a user chose on this machine (the
// ladder panel, ECG paper, English) must not change them. Each run gets empty configuration and
// data folders of its own, which the processes it starts share and which go when it ends.
inline void useFreshSettings() {
    struct Folder {
        QByteArray path;
        ~Folder() {
            if (!path.isEmpty()) {
                QDir(QString::fromLocal8Bit(path)).removeRecursively();
            }
        }
    };
    static Folder folder;
    if (!qEnvironmentVariableIsEmpty("PULSAVO_BENCH_HOME")) {
        return; // started by a run that already has one
    }
    QByteArray name = QDir::tempPath().toLocal8Bit() + "/pulsavo-bench-XXXXXX";
    if (mkdtemp(name.data()) == nullptr) {
        return;
    }
    folder.path = name;
    qputenv("PULSAVO_BENCH_HOME", name);
    qputenv("XDG_CONFIG_HOME", name + "/config");
    qputenv("XDG_DATA_HOME", name + "/data");
}

// Decides on a rhythm the way the trainee does: select its list entry, then the decide button.
inline void decideOn(TrainerDialog& dialog, int rhythm) {
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("rhythmList"));
    list->setCurrentRow(rhythm);
    dialog.onDecide();
}

inline bool showAndWaitForExposure(TrainerDialog& dialog) {
    dialog.show();
    QElapsedTimer waited;
    waited.start();
    while (!(dialog.windowHandle() && dialog.windowHandle()->isExposed())) {
        if (waited.elapsed() > 5000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// One measured figure for the summary at the end of the run, beside its target.
struct Figure {
    std::string name;
    double value;
    std::string unit;
    std::string target;
    bool met;
};

// Writes the figures as a small JSON file that the summary reads with the others.
inline bool writeFigures(const char* path, const std::vector<Figure>& figures) {
    std::FILE* out = std::fopen(path, "w");
    if (!out) {
        return false;
    }
    std::fputs("{\"figures\": [\n", out);
    for (std::size_t i = 0; i < figures.size(); ++i) {
        const Figure& f = figures[i];
        std::fprintf(out,
                     "  {\"name\": \"%s\", \"value\": %.3f, \"unit\": \"%s\", \"target\": \"%s\", "
                     "\"met\": %s}%s\n",
                     f.name.c_str(), f.value, f.unit.c_str(), f.target.c_str(),
                     f.met ? "true" : "false", i + 1 < figures.size() ? "," : "");
    }
    std::fputs("]}\n", out);
    return std::fclose(out) == 0;
}

inline void printFigures(const std::vector<Figure>& figures) {
    for (const Figure& f : figures) {
        std::printf("  %-56s %10.2f %-7s target %-10s %s\n", f.name.c_str(), f.value,
                    f.unit.c_str(), f.target.c_str(), f.met ? "met" : "MISSED");
    }
}

} // namespace pulsavo::bench
