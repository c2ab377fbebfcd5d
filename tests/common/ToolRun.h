#pragma once

// Runs a command-line program of the project and collects what it did.
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

namespace pulsavo::testing {

struct ToolRun {
    int exitCode = -1; // -1 when the program crashed or did not finish
    QByteArray out;
    QByteArray err;
};

struct ToolSetup {
    QString directory;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    std::function<void()> inChild; // runs in the child just before the program starts
    QString outputFile;            // standard output goes there instead of `out`
};

inline ToolRun runTool(const QString& program, const QStringList& args,
                       const ToolSetup& setup = {}) {
    QProcess process;
    process.setWorkingDirectory(setup.directory.isEmpty() ? QDir::currentPath() : setup.directory);
    process.setProcessEnvironment(setup.environment);
    if (setup.inChild) {
        process.setChildProcessModifier(setup.inChild);
    }
    if (!setup.outputFile.isEmpty()) {
        process.setStandardOutputFile(setup.outputFile);
    }
    process.start(program, args);
    ToolRun run;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit) {
        run.exitCode = process.exitCode();
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace pulsavo::testing
