#include "ScenarioCommand.h"

#include "DebriefLog.h"
#include "OutputFile.h"
#include "ScenarioFile.h"
#include "ScenarioRunner.h"
#include "TraceCommand.h"
#include "Utf8Text.h"

#include <QCoreApplication>
#include <QTranslator>

#include <cstdio>
#include <ctime>
#include <memory>

namespace pulsavo::strip {

const char* const scenarioUsage =
    "pulsavo-strip scenario check FILE\n"
    "  Reads and validates a scenario file: exit 0, or 2 with the step and the reason\n"
    "pulsavo-strip scenario play FILE [--csv FILE] [--png FILE] [--svg FILE] [--pdf FILE]\n"
    "                    [--log FILE] [--seed N] [--grid] [--ladder] [--row-seconds S]\n"
    "                    [--lang ja|en]\n"
    "  Plays the whole scenario headless as the instructor's console plays it, every\n"
    "  manual step advancing after its duration_s (30 s when it gives none), and writes the\n"
    "  trace as trace does (CSV on standard output when no file is named)\n"
    "  --seed N        step i draws from N + i (default: the file's seed, else the time)\n"
    "  --log FILE      the debrief log as CSV: seconds,tick,kind,step,subject,value,detail\n"
    "  --csv, --png, --svg, --pdf, --grid, --ladder, --row-seconds, --lang as for trace\n";

namespace {

// Problems are written for the console in Japanese; the command line speaks English.
void englishMessages() {
    static QTranslator translator;
    if (translator.isEmpty() && translator.load(QStringLiteral(":/strip-i18n/pulsavo_en.qm"))) {
        QCoreApplication::installTranslator(&translator);
    }
}

int check(Arguments args) {
    if (args.size() != 1) {
        throw UsageError(message("scenario check takes one FILE"));
    }
    const scenario::Scenario scenario = readCheckedScenario(args[0]);
    std::printf("%s: %zu steps, %lld s headless\n", quoted(args[0]).c_str(), scenario.steps.size(),
                scenario.headlessTicks() / ticksPerSecond);
    return 0;
}

QStringList captionOf(const scenario::Scenario& scenario, std::uint32_t seed, bool english) {
    constexpr int maxLines = 12;
    QStringList lines{QStringLiteral("%1  seed %2").arg(scenario.title.in(english)).arg(seed)};
    long long start = 0;
    for (std::size_t i = 0; i < scenario.steps.size(); ++i) {
        const scenario::Step& step = scenario.steps[i];
        if (lines.size() == maxLines) {
            lines << QStringLiteral("…");
            break;
        }
        lines << QStringLiteral("%1. %2:%3  %4  %5")
                     .arg(i + 1)
                     .arg(start / ticksPerSecond / 60)
                     .arg(start / ticksPerSecond % 60, 2, 10, QLatin1Char('0'))
                     .arg(utf8Text(infoOf(step.rhythm).id), step.title.in(english));
        start += step.headlessTicks();
    }
    return lines;
}

int play(Arguments args) {
    if (args.empty()) {
        throw UsageError(message("scenario play needs FILE"));
    }
    const std::string_view path = args[0];
    std::vector<std::string> traceText;
    std::optional<std::uint32_t> seed;
    std::optional<std::string> logPath;
    SingleOptions single;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg != "--grid" && arg != "--ladder") {
            single.once(arg);
        }
        if (arg == "--seed") {
            seed = static_cast<std::uint32_t>(
                parseInteger(optionValue(args, i), 0, UINT32_MAX, "--seed"));
        } else if (arg == "--log") {
            logPath = std::string(optionValue(args, i));
            checkOutputPath(arg, *logPath);
        } else if (arg == "--csv" || arg == "--png" || arg == "--svg" || arg == "--pdf" ||
                   arg == "--row-seconds" || arg == "--lang") {
            traceText.emplace_back(arg);
            traceText.emplace_back(optionValue(args, i));
        } else if (arg == "--grid" || arg == "--ladder") {
            traceText.emplace_back(arg);
        } else {
            throw UsageError(message("unknown option %1 for scenario play", {quoted(arg)}));
        }
    }
    const auto played = std::make_shared<const scenario::Scenario>(readCheckedScenario(path));
    const long long ticks = played->headlessTicks();
    if (ticks > maxTicks) {
        throw UsageError(message("%1 plays longer than 24 hours", {quoted(path)}));
    }
    traceText.insert(traceText.begin(), {"--ticks", std::to_string(ticks)});
    const std::vector<std::string_view> traceArgs(traceText.begin(), traceText.end());
    TraceOptions options = parseTraceOptions(traceArgs);

    std::vector<NamedFile> outputs;
    for (const auto& [option, file] :
         {std::pair{"--csv", options.csvPath}, std::pair{"--png", options.image.pngPath},
          std::pair{"--svg", options.image.svgPath}, std::pair{"--pdf", options.image.pdfPath},
          std::pair{"--log", logPath}}) {
        if (file) {
            outputs.push_back({option, *file});
        }
    }
    if (!options.csvPath && !options.image.requested()) {
        outputs.push_back({"--csv", "-"});
    }
    checkOutputsApart(outputs, {{"FILE", std::string(path)}});

    const std::uint32_t first =
        seed.value_or(played->seed.value_or(static_cast<std::uint32_t>(std::time(nullptr))));
    options.caption = captionOf(*played, first, options.language == catalogue::Language::english);
    const auto log = std::make_shared<scenario::DebriefLog>();
    // The CSV and the pictures are separate passes; each gets a fresh runner and log.
    options.driver = [played, first, log] {
        log->clear();
        std::shared_ptr<scenario::ScenarioRunner> runner;
        return std::function<void(Monitor&)>([played, first, log,
                                              runner](Monitor& monitor) mutable {
            if (!runner) {
                runner = std::make_shared<scenario::ScenarioRunner>(*played, monitor.simulation(),
                                                                    first, log.get());
                runner->setHeadless(true);
            }
            runner->tick();
        });
    };
    std::vector<ExtraOutput> extra;
    if (logPath) {
        extra.push_back({*logPath, [log] { return log->csv().toStdString(); }});
    }
    writeTraceOutputs(options, extra);
    return 0;
}

} // namespace

scenario::Scenario readCheckedScenario(std::string_view path) {
    englishMessages();
    const scenario::ReadResult result = scenario::readScenarioFile(utf8Text(path));
    if (!result.ok()) {
        throw UsageError(quoted(path) + ": " +
                         result.problem.text(catalogue::Language::english).toStdString());
    }
    return *result.scenario;
}

int scenarioCommand(Arguments args) {
    if (args.empty()) {
        throw UsageError(
            message("scenario needs check or play; try 'pulsavo-strip scenario --help'"));
    }
    if (args[0] == "check") {
        // Reading needs no font database: a core application is enough for the translation.
        if (QCoreApplication::instance() != nullptr) {
            return check(args.subspan(1));
        }
        int argc = 1;
        char name[] = "pulsavo-strip";
        char* argv[] = {name, nullptr};
        const QCoreApplication application(argc, argv);
        return check(args.subspan(1));
    }
    if (args[0] == "play") {
        int status = 0;
        withGuiApplication([&] { status = play(args.subspan(1)); });
        return status;
    }
    throw UsageError(message("unknown scenario command %1 (check or play)", {quoted(args[0])}));
}

} // namespace pulsavo::strip
