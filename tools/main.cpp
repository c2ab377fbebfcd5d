#include "CatalogueCommands.h"
#include "CommandLine.h"
#include "EventsCommand.h"
#include "ExamCommand.h"
#include "ProgressCommand.h"
#include "PulsavoVersion.h"
#include "TraceCommand.h"

#include <cstdio>
#include <exception>
#include <string_view>
#include <vector>

namespace {

using namespace pulsavo::strip;

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
}

int run(Arguments args) {
    if (args.empty()) {
        throw UsageError("missing command; try 'pulsavo-strip --help'");
    }
    const std::string_view command = args.front();
    const Arguments rest = args.subspan(1);
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
    throw UsageError("unknown command '" + std::string(command) + "'; try 'pulsavo-strip --help'");
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    try {
        return run(args);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "pulsavo-strip: %s\n", error.what());
        return usageExitCode;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "pulsavo-strip: %s\n", error.what());
        return 1;
    }
}
