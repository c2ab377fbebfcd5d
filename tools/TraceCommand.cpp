#include "TraceCommand.h"

#include "RhythmLibrary.h"

#include "Catalogue.h"
#include "OutputFile.h"
#include "StripPainter.h"
#include "Utf8Text.h"

#include <QGuiApplication>

#include <algorithm>
#include <charconv>
#include <ctime>
#include <memory>

namespace pulsavo::strip {

const char* const traceUsage =
    "pulsavo-strip trace --ticks N [--width W] [--height H] --select TICK:RHYTHM[@SEED]\n"
    "                    [--select ...] [--csv FILE] [--png FILE] [--svg FILE] [--pdf FILE]\n"
    "                    [--style strip|monitor] [--grid] [--row-seconds S] [--from TICK]\n"
    "                    [--ladder] [--lang ja|en] [--artifact KIND[:STRENGTH]] [--pleth]\n"
    "  Steps the monitor N ticks of 10 ms and prints one CSV row per tick:\n"
    "  tick,x,y,drawn_y,red,beep (and pleth with --pleth)\n"
    "  --select T:R@S  decide on rhythm R (0..17, a library id such as sinus_bradycardia, or\n"
    "                  'none') just before tick T is drawn,\n"
    "                  seeding the random source with S (default: the current time);\n"
    "                  several selections in increasing T\n"
    "  --width, --height  panel size in pixels (default 599 x 146: the panel's 342 x 78\n"
    "                  dialog units at 7 x 15 px base units, 96 DPI)\n"
    "  --csv FILE      write the CSV to FILE instead of standard output\n"
    "  --png, --svg, --pdf FILE  draw the trace (the PDF: one A4 landscape page); with any of\n"
    "                  them the CSV is written only when --csv is given\n"
    "  --style strip   one column per tick, no wipe, in rows of --row-seconds S (1..60,\n"
    "                  default 6) from tick --from (default 1), under a caption with each\n"
    "                  rhythm, seed and the ticks shown; --grid draws it on ECG paper\n"
    "                  (small squares 40 ms, large 200 ms). The default.\n"
    "  --ladder        strip style: a ladder diagram under each row on the same time axis,\n"
    "                  drawn from the waves: A (atria), AV (node), V (ventricles); a bar ends\n"
    "                  a blocked P wave, a dashed outline marks a beat that did not come, a\n"
    "                  dot the origin of an ectopic or escape beat\n"
    "  --style monitor the panel as the sweep leaves it after the last tick, W x H pixels;\n"
    "                  it starts black where the trainer shows the dialog background\n"
    "  --lang ja|en    the language of the rhythm names in the strip's caption\n"
    "  --artifact KIND[:STRENGTH]  lay artifact over the trace, strength 1..10 (default 5);\n"
    "                  repeatable, one of each kind: wander (breathing), tremor (muscle),\n"
    "                  mains (50/60 Hz), motion (electrode), lead_off (flat line), cpr\n"
    "                  (chest compressions, 30:2)\n"
    "  --pleth         add the pulse wave (percent of a full pulse) as a last CSV column\n";

namespace {

Selection parseSelection(std::string_view text, long long ticks) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        throw UsageError(message("selection %1 is not TICK:RHYTHM[@SEED]", {quoted(text)}));
    }
    Selection selection;
    selection.tick = parseInteger(text.substr(0, colon), 1, ticks, "selection tick");
    std::string_view rest = text.substr(colon + 1);
    const auto at = rest.find('@');
    const std::string_view rhythm = rest.substr(0, at);
    if (rhythm == "none") {
        selection.rhythm = std::nullopt;
    } else if (const auto id = parseRhythmId(rhythm)) {
        selection.rhythm = *id;
    } else {
        selection.rhythm =
            anyRhythmAt(static_cast<int>(parseInteger(rhythm, 0, rhythmCount - 1, "rhythm")));
    }
    if (at == std::string_view::npos) {
        selection.seed = static_cast<std::uint32_t>(std::time(nullptr));
    } else {
        selection.seed =
            static_cast<std::uint32_t>(parseInteger(rest.substr(at + 1), 0, UINT32_MAX, "seed"));
    }
    return selection;
}

} // namespace

ArtifactOption parseArtifact(std::string_view text) {
    const auto colon = text.find(':');
    const std::string_view name = text.substr(0, colon);
    const auto kind = parseArtifactKind(name);
    if (!kind) {
        throw UsageError(message("unknown artifact %1 for --artifact (wander, tremor, mains, "
                                 "motion, lead_off or cpr)",
                                 {quoted(name)}));
    }
    ArtifactOption option;
    option.kind = *kind;
    if (colon != std::string_view::npos) {
        option.strength = static_cast<int>(
            parseInteger(text.substr(colon + 1), 1, Artifact::maxStrength, "artifact strength"));
    }
    return option;
}

void applyLayers(const std::vector<ArtifactOption>& artifacts, bool pleth, Simulation& simulation) {
    for (const ArtifactOption& artifact : artifacts) {
        simulation.setArtifact(artifact.kind, artifact.strength);
    }
    simulation.enablePleth(pleth);
}

namespace {

StripStyle parseStyle(std::string_view text) {
    if (text == "strip") {
        return StripStyle::strip;
    }
    if (text == "monitor") {
        return StripStyle::monitor;
    }
    throw UsageError(message("unknown style %1 for --style (strip or monitor)", {quoted(text)}));
}

// Two outputs into one file would leave only the last; standard output can take only one.
void checkDistinctOutputs(const TraceOptions& options) {
    std::vector<NamedFile> outputs;
    const std::pair<std::string_view, const std::optional<std::string>*> paths[] = {
        {"--csv", &options.csvPath},
        {"--png", &options.image.pngPath},
        {"--svg", &options.image.svgPath},
        {"--pdf", &options.image.pdfPath}};
    for (const auto& [option, path] : paths) {
        if (*path) {
            outputs.push_back({option, **path});
        }
    }
    checkOutputsApart(outputs);
}

std::string fileOption(Arguments args, std::size_t& i) {
    const std::string_view option = args[i];
    const std::string_view value = optionValue(args, i);
    checkOutputPath(option, value);
    return std::string(value);
}

} // namespace

TraceOptions parseTraceOptions(Arguments args) {
    TraceOptions options;
    options.language = catalogue::systemLanguage();
    std::vector<std::string_view> selections;
    bool haveTicks = false;
    std::optional<std::string_view> from;
    std::optional<std::string_view> imageOption;
    std::optional<std::string_view> stripOption;
    SingleOptions single;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg != "--select" && arg != "--grid" && arg != "--ladder" && arg != "--artifact") {
            single.once(arg);
        }
        if (arg == "--ticks") {
            options.ticks = parseInteger(optionValue(args, i), 1, maxTicks, "--ticks");
            haveTicks = true;
        } else if (arg == "--width") {
            options.width =
                static_cast<int>(parseInteger(optionValue(args, i), 31, 16384, "--width"));
        } else if (arg == "--height") {
            options.height =
                static_cast<int>(parseInteger(optionValue(args, i), 1, 16384, "--height"));
        } else if (arg == "--select") {
            selections.push_back(optionValue(args, i));
        } else if (arg == "--csv") {
            options.csvPath = fileOption(args, i);
        } else if (arg == "--png") {
            options.image.pngPath = fileOption(args, i);
        } else if (arg == "--svg") {
            options.image.svgPath = fileOption(args, i);
        } else if (arg == "--pdf") {
            options.image.pdfPath = fileOption(args, i);
        } else if (arg == "--style") {
            options.image.style = parseStyle(optionValue(args, i));
            imageOption = arg;
        } else if (arg == "--grid") {
            options.image.grid = true;
            stripOption = arg;
        } else if (arg == "--ladder") {
            options.image.ladder = true;
            stripOption = arg;
        } else if (arg == "--row-seconds") {
            options.image.rowSeconds =
                static_cast<int>(parseInteger(optionValue(args, i), 1, 60, "--row-seconds"));
            stripOption = arg;
        } else if (arg == "--lang") {
            options.language = parseLanguage(optionValue(args, i));
        } else if (arg == "--from") {
            from = optionValue(args, i);
            stripOption = arg;
        } else if (arg == "--artifact") {
            const ArtifactOption artifact = parseArtifact(optionValue(args, i));
            for (const ArtifactOption& earlier : options.artifacts) {
                if (earlier.kind == artifact.kind) {
                    throw UsageError(message("artifact %1 is given twice; give it once",
                                             {artifactName(artifact.kind)}));
                }
            }
            options.artifacts.push_back(artifact);
        } else if (arg == "--pleth") {
            options.pleth = true;
        } else {
            throw UsageError(message("unknown option %1 for trace", {quoted(arg)}));
        }
    }
    if (!haveTicks) {
        throw UsageError(message("trace needs --ticks N"));
    }
    for (const std::string_view text : selections) {
        const Selection selection = parseSelection(text, options.ticks);
        if (!options.selections.empty() && selection.tick <= options.selections.back().tick) {
            throw UsageError(
                message("selections must be in increasing tick order (%1)", {quoted(text)}));
        }
        options.selections.push_back(selection);
    }
    if (from) {
        options.image.from = parseInteger(*from, 1, options.ticks, "--from");
    }
    const std::optional<std::string_view> needsImage = stripOption ? stripOption : imageOption;
    if (needsImage && !options.image.requested()) {
        throw UsageError(message("%1 needs --png, --svg or --pdf", {*needsImage}));
    }
    if (stripOption && options.image.style != StripStyle::strip) {
        throw UsageError(message("%1 applies to --style strip only", {*stripOption}));
    }
    checkDistinctOutputs(options);
    return options;
}

void runTrace(const TraceOptions& options, const std::function<void(const TraceTick&)>& onTick,
              WaveListener* waves) {
    Monitor monitor(options.width, options.height, 1);
    monitor.simulation().setWaveListener(waves);
    applyLayers(options.artifacts, options.pleth, monitor.simulation());
    auto next = options.selections.begin();
    const std::function<void(Monitor&)> drive = options.driver ? options.driver() : nullptr;
    TraceTick tick;
    for (tick.tick = 1; tick.tick <= options.ticks; ++tick.tick) {
        if (next != options.selections.end() && next->tick == tick.tick) {
            monitor.select(next->rhythm, next->seed);
            ++next;
        }
        if (drive) {
            drive(monitor);
        }
        monitor.run();
        tick.sample = monitor.lastSample();
        tick.step = monitor.lastStep();
        tick.nextColumn = monitor.sweep().sweepX;
        tick.pleth = monitor.simulation().pleth();
        onTick(tick);
    }
}

StripDescription stripDescription(const TraceOptions& options) {
    StripDescription description;
    description.style = options.image.style;
    description.grid = options.image.grid;
    description.ladder = options.image.ladder;
    description.width = options.width;
    description.height = options.height;
    description.rowSeconds = options.image.rowSeconds;
    // Every column is wiped within W - 2 ticks, so what the panel shows at the end was drawn by
    // the last W ticks at most; replaying only those onto black gives the same pixels.
    description.firstTick = description.style == StripStyle::monitor
                                ? std::max(1LL, options.ticks - options.width + 1)
                                : options.image.from;
    description.lastTick = options.ticks;
    if (description.style == StripStyle::strip && !options.caption.isEmpty()) {
        description.caption = options.caption;
        description.caption.front() +=
            QStringLiteral("  ticks %1–%2").arg(description.firstTick).arg(description.lastTick);
    } else if (description.style == StripStyle::strip) {
        description.caption =
            stripCaption(options.selections, description.firstTick, description.lastTick,
                         options.height != defaultPanelHeight ? std::optional<int>(options.height)
                                                              : std::nullopt,
                         [&options](std::optional<Rhythm> rhythm) {
                             const std::string_view name =
                                 rhythm ? catalogue::nameOf(*rhythm, options.language)
                                        : catalogue::noSelectionMessage(options.language);
                             return utf8Text(name);
                         });
        // As the command line gives it, so that the caption still makes the strip again.
        for (const ArtifactOption& artifact : options.artifacts) {
            const std::string_view kind = artifactName(artifact.kind);
            description.caption.front() +=
                QStringLiteral("  %1:%2").arg(utf8Text(kind)).arg(artifact.strength);
        }
    }
    return description;
}

namespace {

// The waves a strip's ladder draws: those starting within its ticks or just before them.
class WaveRange : public WaveListener {
public:
    WaveRange(long long firstTick, long long lastTick) : first(firstTick), last(lastTick) {}
    void onWave(const WaveEvent& event) override {
        if (event.tick >= first && event.tick <= last) {
            events.push_back(event);
        }
    }
    std::vector<WaveEvent> events;

private:
    long long first;
    long long last;
};

} // namespace

StripPainter stripFor(const TraceOptions& options) {
    StripDescription description = stripDescription(options);
    try {
        StripPainter::pictureSize(description);
    } catch (const StripTooLarge& error) {
        throw UsageError(error.what());
    }
    description.samples.reserve(
        static_cast<std::size_t>(description.lastTick - description.firstTick + 1));
    WaveRange waves(description.firstTick - LadderPainter::lookBackTicks, description.lastTick);
    runTrace(
        options,
        [&description](const TraceTick& t) {
            if (t.tick + 1 == description.firstTick) {
                description.startColumn = t.nextColumn;
            }
            if (t.tick >= description.firstTick) {
                description.samples.push_back(t.sample);
            }
        },
        description.ladder ? &waves : nullptr);
    description.events = std::move(waves.events);
    return StripPainter(std::move(description));
}

void writeTraceCsv(const TraceOptions& options, const std::function<void(std::string_view)>& sink) {
    constexpr std::size_t chunk = std::size_t{64} * 1024;
    std::string rows =
        options.pleth ? "tick,x,y,drawn_y,red,beep,pleth\n" : "tick,x,y,drawn_y,red,beep\n";
    rows.reserve(chunk + 128);
    const auto number = [&rows](long long value) {
        char digits[24];
        rows.append(digits, std::to_chars(std::begin(digits), std::end(digits), value).ptr);
        rows += ',';
    };
    const bool pleth = options.pleth;
    runTrace(options, [&rows, &sink, &number, pleth](const TraceTick& t) {
        number(t.tick);
        number(t.step.to.x());
        number(t.sample.y);
        number(t.step.to.y());
        rows += t.sample.red ? '1' : '0';
        rows += t.sample.beep ? ",1" : ",0";
        if (pleth) {
            rows += ',';
            rows += std::to_string(t.pleth);
        }
        rows += '\n';
        if (rows.size() >= chunk) {
            sink(rows);
            rows.clear();
        }
    });
    sink(rows);
}

std::string traceCsv(const TraceOptions& options) {
    std::string csv;
    writeTraceCsv(options, [&csv](std::string_view rows) { csv += rows; });
    return csv;
}

// Text needs a font database and so a QGuiApplication. The tool is headless: always the
// offscreen platform, whatever QT_QPA_PLATFORM says for the desktop's programs.
void withGuiApplication(const std::function<void()>& run) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        run();
        return;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a desktop session Qt warns about the runtime directory on every run; a command
    // line tool keeps stderr for its own one-line errors.
    static const QtMessageHandler defaultHandler = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (type != QtWarningMsg || !message.startsWith(QLatin1String("QStandardPaths:"))) {
                defaultHandler(type, context, message);
            }
        });
    int argc = 1;
    char name[] = "pulsavo-strip";
    char* argv[] = {name, nullptr};
    const QGuiApplication application(argc, argv);
    run();
}

// Every file is opened before anything is written, the CSV is streamed as the trace steps,
// and files are renamed into place only when all of them are written and on disk: a bad path
// or a failure leaves no file behind, complete or partial, and the old files as they were.
void writeTraceOutputs(const TraceOptions& options, const std::vector<ExtraOutput>& extra) {
    struct Output {
        std::unique_ptr<OutputFile> file;
        QByteArray (*render)(const StripPainter&);
    };
    std::vector<Output> outputs;
    const auto add = [&outputs](const std::optional<std::string>& path,
                                QByteArray (*render)(const StripPainter&)) {
        if (path) {
            outputs.push_back({std::make_unique<OutputFile>(*path), render});
        }
    };
    const bool csv = options.csvPath || !options.image.requested();
    add(csv ? std::optional(options.csvPath.value_or("-")) : std::nullopt, nullptr);
    add(options.image.pngPath, renderPng);
    add(options.image.svgPath, renderSvg);
    add(options.image.pdfPath, renderPdf);
    std::vector<std::unique_ptr<OutputFile>> extraFiles;
    for (const ExtraOutput& output : extra) {
        extraFiles.push_back(std::make_unique<OutputFile>(output.path));
    }
    for (Output& output : outputs) {
        output.file->open();
    }
    for (auto& file : extraFiles) {
        file->open();
    }
    if (csv) {
        OutputFile& file = *outputs.front().file;
        writeTraceCsv(options, [&file](std::string_view rows) { file.write(rows); });
    }
    if (options.image.requested()) {
        withGuiApplication([&] {
            const StripPainter strip = stripFor(options);
            for (Output& output : outputs) {
                if (output.render) {
                    const QByteArray data = output.render(strip);
                    output.file->write(
                        std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
                }
            }
        });
    }
    std::vector<OutputFile*> files;
    files.reserve(outputs.size() + extra.size());
    for (Output& output : outputs) {
        files.push_back(output.file.get());
    }
    for (std::size_t i = 0; i < extra.size(); ++i) {
        extraFiles[i]->write(extra[i].content());
        files.push_back(extraFiles[i].get());
    }
    commitTogether(files);
}

int traceCommand(Arguments args) {
    writeTraceOutputs(parseTraceOptions(args));
    return 0;
}

} // namespace pulsavo::strip
