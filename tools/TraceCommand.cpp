#include "TraceCommand.h"

#include "Catalogue.h"
#include "StripPainter.h"

#include <QGuiApplication>
#include <QSaveFile>

#include <algorithm>
#include <ctime>
#include <iostream>
#include <memory>

namespace pulsavo::strip {

const char* const traceUsage =
    "pulsavo-strip trace --ticks N [--width W] [--height H] --select TICK:RHYTHM[@SEED]\n"
    "                    [--select ...] [--csv FILE] [--png FILE] [--svg FILE] [--pdf FILE]\n"
    "                    [--style strip|monitor] [--grid] [--row-seconds S] [--from TICK]\n"
    "                    [--lang ja|en]\n"
    "  Steps the monitor N ticks of 10 ms and prints one CSV row per tick:\n"
    "  tick,x,y,drawn_y,red,beep\n"
    "  --select T:R@S  decide on rhythm R (0..17, or 'none') just before tick T is drawn,\n"
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
    "  --style monitor the panel as the sweep leaves it after the last tick, W x H pixels;\n"
    "                  it starts black where the trainer shows the dialog background\n"
    "  --lang ja|en    the language of the rhythm names in the strip's caption\n";

namespace {

Selection parseSelection(std::string_view text, long long ticks) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        throw UsageError("selection '" + std::string(text) + "' is not TICK:RHYTHM[@SEED]");
    }
    Selection selection;
    selection.tick = parseInteger(text.substr(0, colon), 1, ticks, "selection tick");
    std::string_view rest = text.substr(colon + 1);
    const auto at = rest.find('@');
    const std::string_view rhythm = rest.substr(0, at);
    if (rhythm == "none") {
        selection.rhythm = noRhythm;
    } else {
        selection.rhythm = static_cast<int>(parseInteger(rhythm, 0, rhythmCount - 1, "rhythm"));
    }
    if (at == std::string_view::npos) {
        selection.seed = static_cast<std::uint32_t>(std::time(nullptr));
    } else {
        selection.seed =
            static_cast<std::uint32_t>(parseInteger(rest.substr(at + 1), 0, UINT32_MAX, "seed"));
    }
    return selection;
}

ImageStyle parseStyle(std::string_view text) {
    if (text == "strip") {
        return ImageStyle::strip;
    }
    if (text == "monitor") {
        return ImageStyle::monitor;
    }
    throw UsageError("unknown style '" + std::string(text) + "' for --style (strip or monitor)");
}

// Two outputs into one file would leave only the last; standard output can take only one.
void checkDistinctOutputs(const TraceOptions& options) {
    std::vector<std::string> paths;
    for (const auto* path : {&options.csvPath, &options.image.pngPath, &options.image.svgPath,
                             &options.image.pdfPath}) {
        if (!*path) {
            continue;
        }
        if (std::find(paths.begin(), paths.end(), **path) != paths.end()) {
            throw UsageError(**path == "-"
                                 ? std::string("only one output can go to standard output")
                                 : "'" + **path + "' is given for two outputs");
        }
        paths.push_back(**path);
    }
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
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
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
            options.csvPath = std::string(optionValue(args, i));
        } else if (arg == "--png") {
            options.image.pngPath = std::string(optionValue(args, i));
        } else if (arg == "--svg") {
            options.image.svgPath = std::string(optionValue(args, i));
        } else if (arg == "--pdf") {
            options.image.pdfPath = std::string(optionValue(args, i));
        } else if (arg == "--style") {
            options.image.style = parseStyle(optionValue(args, i));
            imageOption = arg;
        } else if (arg == "--grid") {
            options.image.grid = true;
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
        } else {
            throw UsageError("unknown option '" + std::string(arg) + "' for trace");
        }
    }
    if (!haveTicks) {
        throw UsageError("trace needs --ticks N");
    }
    for (const std::string_view text : selections) {
        const Selection selection = parseSelection(text, options.ticks);
        if (!options.selections.empty() && selection.tick <= options.selections.back().tick) {
            throw UsageError("selections must be in increasing tick order ('" + std::string(text) +
                             "')");
        }
        options.selections.push_back(selection);
    }
    if (from) {
        options.image.from = parseInteger(*from, 1, options.ticks, "--from");
    }
    const std::optional<std::string_view> needsImage = stripOption ? stripOption : imageOption;
    if (needsImage && !options.image.requested()) {
        throw UsageError(std::string(*needsImage) + " needs --png, --svg or --pdf");
    }
    if (stripOption && options.image.style != ImageStyle::strip) {
        throw UsageError(std::string(*stripOption) + " applies to --style strip only");
    }
    checkDistinctOutputs(options);
    return options;
}

void runTrace(const TraceOptions& options, const std::function<void(const TraceTick&)>& onTick) {
    Monitor monitor(options.width, options.height, 1);
    auto next = options.selections.begin();
    TraceTick tick;
    for (tick.tick = 1; tick.tick <= options.ticks; ++tick.tick) {
        if (next != options.selections.end() && next->tick == tick.tick) {
            monitor.select(rhythmAt(next->rhythm), next->seed);
            ++next;
        }
        monitor.run();
        tick.sample = monitor.lastSample();
        tick.step = monitor.lastStep();
        tick.nextColumn = monitor.sweep().sweepX;
        onTick(tick);
    }
}

StripDescription stripDescription(const TraceOptions& options) {
    StripDescription description;
    description.style =
        options.image.style == ImageStyle::monitor ? StripStyle::monitor : StripStyle::strip;
    description.grid = options.image.grid;
    description.width = options.width;
    description.height = options.height;
    description.rowSeconds = options.image.rowSeconds;
    // Every column is wiped within W - 2 ticks, so what the panel shows at the end was drawn by
    // the last W ticks at most; replaying only those onto black gives the same pixels.
    description.firstTick = description.style == StripStyle::monitor
                                ? std::max(1LL, options.ticks - options.width + 1)
                                : options.image.from;
    description.lastTick = options.ticks;
    if (description.style == StripStyle::strip) {
        std::vector<Monitor::Selection> selections;
        for (const Selection& selection : options.selections) {
            selections.push_back({selection.tick, rhythmAt(selection.rhythm), selection.seed});
        }
        description.caption = stripCaption(
            selections, description.firstTick, description.lastTick,
            options.height != defaultHeight ? std::optional<int>(options.height) : std::nullopt,
            [&options](std::optional<Rhythm> rhythm) {
                const std::string_view name = rhythm
                                                  ? catalogue::nameOf(*rhythm, options.language)
                                                  : catalogue::noSelectionMessage(options.language);
                return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
            });
    }
    return description;
}

StripPainter stripFor(const TraceOptions& options) {
    StripDescription description = stripDescription(options);
    try {
        StripPainter::pictureSize(description);
    } catch (const StripTooLarge& error) {
        throw UsageError(error.what());
    }
    description.samples.reserve(
        static_cast<std::size_t>(description.lastTick - description.firstTick + 1));
    runTrace(options, [&description](const TraceTick& t) {
        if (t.tick + 1 == description.firstTick) {
            description.startColumn = t.nextColumn;
        }
        if (t.tick >= description.firstTick) {
            description.samples.push_back(t.sample);
        }
    });
    return StripPainter(std::move(description));
}

std::string traceCsv(const TraceOptions& options) {
    std::string csv = "tick,x,y,drawn_y,red,beep\n";
    csv.reserve(csv.size() + static_cast<std::size_t>(options.ticks) * 24);
    runTrace(options, [&csv](const TraceTick& t) {
        csv += std::to_string(t.tick);
        csv += ',';
        csv += std::to_string(t.step.to.x());
        csv += ',';
        csv += std::to_string(t.sample.y);
        csv += ',';
        csv += std::to_string(t.step.to.y());
        csv += t.sample.red ? ",1" : ",0";
        csv += t.sample.beep ? ",1\n" : ",0\n";
    });
    return csv;
}

// Text needs a font database and so a QGuiApplication; the offscreen platform unless the caller
// chose one.
void withGuiApplication(const std::function<void()>& run) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        run();
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
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

namespace {

struct Output {
    std::string path;
    std::function<QByteArray()> render;
    std::unique_ptr<QSaveFile> file;
};

void failWriting(const Output& output) {
    throw UsageError("cannot write " + output.path + ": " +
                     output.file->errorString().toStdString());
}

// Every file is opened before anything is drawn and renamed into place only when all of them
// are written, so a bad path or a failure leaves no file behind, complete or partial.
void writeImages(const TraceOptions& options) {
    std::optional<StripPainter> strip;
    std::vector<Output> outputs;
    const auto add = [&outputs](const std::optional<std::string>& path,
                                std::function<QByteArray()> render) {
        if (path) {
            outputs.push_back({*path, std::move(render), nullptr});
        }
    };
    add(options.csvPath, [&options] { return QByteArray::fromStdString(traceCsv(options)); });
    add(options.image.pngPath, [&strip] { return renderPng(*strip); });
    add(options.image.svgPath, [&strip] { return renderSvg(*strip); });
    add(options.image.pdfPath, [&strip] { return renderPdf(*strip); });
    for (Output& output : outputs) {
        if (output.path != "-") {
            output.file = std::make_unique<QSaveFile>(QString::fromStdString(output.path));
            if (!output.file->open(QIODevice::WriteOnly)) {
                failWriting(output);
            }
        }
    }
    std::optional<QByteArray> toStandardOutput;
    withGuiApplication([&] {
        strip.emplace(stripFor(options));
        for (Output& output : outputs) {
            const QByteArray data = output.render();
            if (!output.file) {
                toStandardOutput = data;
            } else if (output.file->write(data) != data.size()) {
                failWriting(output);
            }
        }
    });
    for (Output& output : outputs) {
        if (output.file && !output.file->commit()) {
            failWriting(output);
        }
    }
    if (toStandardOutput) {
        writeOutput("-", std::string_view(toStandardOutput->constData(),
                                          static_cast<std::size_t>(toStandardOutput->size())));
    }
}

} // namespace

int traceCommand(Arguments args) {
    const TraceOptions options = parseTraceOptions(args);
    if (options.image.requested()) {
        writeImages(options);
    } else {
        writeOutput(options.csvPath.value_or("-"), traceCsv(options));
    }
    return 0;
}

} // namespace pulsavo::strip
