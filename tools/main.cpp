#include "CatalogueCommands.h"
#include "ClassroomCommand.h"
#include "CommandLine.h"
#include "EventsCommand.h"
#include "ExamCommand.h"
#include "GradebookCommand.h"
#include "OutputFile.h"
#include "ProgressCommand.h"
#include "PulsavoVersion.h"
#include "ScenarioCommand.h"
#include "TraceCommand.h"

#include <QtGlobal>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string_view>
#include <vector>

namespace {

using namespace pulsavo::strip;

struct CommandUsage {
    std::string_view name;
    const char* usage;
};
const CommandUsage commandUsages[] = {
    {"list", listUsage},           {"explain", explainUsage},   {"trace", traceUsage},
    {"events", eventsUsage},       {"exam", examUsage},         {"progress", progressUsage},
    {"gradebook", gradebookUsage}, {"scenario", scenarioUsage}, {"classroom", classroomUsage},
};

void printUsage(std::FILE* out) {
    std::fputs("Usage: pulsavo-strip COMMAND [OPTIONS]\n"
               "Headless companion of the Pulsavo ECG trainer.\n\n"
               "Commands:\n",
               out);
    std::fputs(listUsage, out);
    std::fputs(explainUsage, out);
    std::fputs(traceUsage, out);
    std::fputs("\nOption of list, explain and trace:\n", out);
    std::fputs(languageUsage, out);
    std::fputs(eventsUsage, out);
    std::fputs(examUsage, out);
    std::fputs(progressUsage, out);
    std::fputs(gradebookUsage, out);
    std::fputs(scenarioUsage, out);
    std::fputs(classroomUsage, out);
}

int run(Arguments args) {
    if (args.empty()) {
        throw UsageError(message("missing command; try 'pulsavo-strip --help'"));
    }
    const std::string_view command = args.front();
    const Arguments rest = args.subspan(1);
    // `pulsavo-strip trace --help` and the like: that command's usage, whatever else is there.
    const bool wantsHelp = std::any_of(rest.begin(), rest.end(), [](std::string_view arg) {
        return arg == "--help" || arg == "-h";
    });
    if (wantsHelp) {
        for (const auto& [name, usage] : commandUsages) {
            if (command == name) {
                std::fputs(usage, stdout);
                if (name == "list" || name == "explain") {
                    std::fputs(languageUsage, stdout);
                }
                return 0;
            }
        }
    }
    if (command == "--help" || command == "-h" || command == "help") {
        printUsage(stdout);
        return 0;
    }
    if (command == "--version") {
        std::puts("pulsavo-strip " PULSAVO_VERSION);
        return 0;
    }
    if (command == "list") {
        return listCommand(rest);
    }
    if (command == "explain") {
        return explainCommand(rest);
    }
    if (command == "trace") {
        return traceCommand(rest);
    }
    if (command == "events") {
        return eventsCommand(rest);
    }
    if (command == "exam") {
        return examCommand(rest);
    }
    if (command == "progress") {
        return progressCommand(rest);
    }
    if (command == "gradebook") {
        return gradebookCommand(rest);
    }
    if (command == "scenario") {
        return scenarioCommand(rest);
    }
    if (command == "classroom") {
        return classroomCommand(rest);
    }

    throw UsageError(message("unknown command %1; try 'pulsavo-strip --help'", {quoted(command)}));
}

void report(const char* what) {
    std::fprintf(stderr, "pulsavo-strip: %s\n", escapedLine(what).c_str());
}

// What went to standard output through stdio (help, version) must have arrived, as with any
// command-line tool: a full disk or closed pipe is a failure, not a success.
int checkStandardOutput(int status) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        const int error = errno;
        report(message("cannot write %1: %2",
                       {message("standard output"), std::strerror(error != 0 ? error : EIO)})
                   .c_str());
        return status == 0 ? ioErrorExitCode : status;
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    // Headless: never a platform that needs a display, whatever the desktop asks for.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    removeTemporariesOnSignals();
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    int status = 0;
    try {
        status = run(args);
    } catch (const UsageError& error) {
        report(error.what());
        status = usageExitCode;
    } catch (const std::exception& error) {
        report(error.what());
        status = ioErrorExitCode;
    }
    return checkStandardOutput(status);
}
