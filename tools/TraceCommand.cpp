#include "TraceCommand.h"

#include <ctime>
#include <iostream>

namespace pulsavo::strip {

const char* const traceUsage =
    "pulsavo-strip trace --ticks N [--width W] [--height H] --select TICK:RHYTHM[@SEED]\n"
    "                    [--select ...] [--csv FILE]\n"
    "  Steps the monitor N ticks of 10 ms and prints one CSV row per tick:\n"
    "  tick,x,y,drawn_y,red,beep\n"
    "  --select T:R@S  decide on rhythm R (0..17, or 'none') just before tick T is drawn,\n"
    "                  seeding the random source with S (default: the current time);\n"
    "                  several selections in increasing T\n"
    "  --width, --height  panel size in pixels (default 599 x 146: the panel's 342 x 78\n"
    "                  dialog units at 7 x 15 px base units, 96 DPI)\n"
    "  --csv FILE      write the CSV to FILE instead of standard output\n";

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

} // namespace

TraceOptions parseTraceOptions(Arguments args) {
    TraceOptions options;
    std::vector<std::string_view> selections;
    bool haveTicks = false;
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
    return options;
}

void runTrace(const TraceOptions& options, const std::function<void(const TraceTick&)>& onTick) {
    Simulation simulation;
    Sweep sweep(options.width, options.height);
    auto next = options.selections.begin();
    TraceTick tick;
    for (tick.tick = 1; tick.tick <= options.ticks; ++tick.tick) {
        if (next != options.selections.end() && next->tick == tick.tick) {
            simulation.selectRhythm(next->rhythm, next->seed);
            ++next;
        }
        tick.sample = simulation.step();
        tick.step = sweep.advance(tick.sample);
        onTick(tick);
    }
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

int traceCommand(Arguments args) {
    const TraceOptions options = parseTraceOptions(args);
    writeOutput(options.csvPath.value_or("-"), traceCsv(options));
    return 0;
}

} // namespace pulsavo::strip
