#include "EventsCommand.h"

#include "OutputFile.h"
#include "Simulation.h"
#include "Utf8Text.h"

#include <QCoreApplication>

#include <algorithm>
#include <string_view>

namespace pulsavo::strip {

const char* const eventsUsage =
    "pulsavo-strip events --ticks N --select TICK:RHYTHM[@SEED] [--select ...] [--csv FILE]\n"
    "                     [--artifact KIND[:STRENGTH]] [--pleth]\n"
    "  Steps the monitor N ticks of 10 ms as trace does and prints one CSV row per wave laid\n"
    "  whose first step is drawn by tick N, in the order of that tick:\n"
    "  tick,kind,beat,length,role\n"
    "  tick    the tick its first step is drawn on; length: its steps (ticks)\n"
    "  kind    P, QRS, T, V (ventricular beat), f (fibrillation wave), F (flutter wave),\n"
    "          VF (ventricular fibrillation wave), SA and SV (pacing spikes); artifact:\n"
    "          BW (a breath's wander), MT (tremor), AC (mains), EM (electrode motion),\n"
    "          LO (lead off), CPR (a compression); PULSE (the pulse a beat gives, --pleth)\n"
    "  beat    the number of the beat it belongs to, from 1 in the order beats are laid\n"
    "  role    conducted, blocked (no QRS follows), missing (a beat due that did not come),\n"
    "          supraventricular or ventricular (ectopic), escape, paced, artifact\n"
    "  --select, --csv, --artifact, --pleth as for trace\n";

namespace {

class EventLog : public WaveListener {
public:
    void onWave(const WaveEvent& event) override { events.push_back(event); }
    std::vector<WaveEvent> events;
};

} // namespace

EventsOptions parseEventsOptions(Arguments args) {
    // The simulation options are trace's own, parsed by trace so that both read them alike.
    std::vector<std::string_view> traceArgs;
    EventsOptions options;
    bool haveTicks = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--ticks" || arg == "--select" || arg == "--artifact") {
            haveTicks = haveTicks || arg == "--ticks";
            traceArgs.push_back(arg);
            traceArgs.push_back(optionValue(args, i));
        } else if (arg == "--pleth") {
            traceArgs.push_back(arg);
        } else if (arg == "--csv") {
            if (options.csvPath) {
                throw UsageError(message("%1 is given twice; give it once", {arg}));
            }
            options.csvPath = std::string(optionValue(args, i));
            checkOutputPath(arg, *options.csvPath);
        } else {
            throw UsageError(
                QStringLiteral("unknown option '%1' for events").arg(utf8Text(arg)).toStdString());
        }
    }
    if (!haveTicks) {
        throw UsageError("events needs --ticks N");
    }
    TraceOptions trace = parseTraceOptions(traceArgs);
    options.ticks = trace.ticks;
    options.selections = std::move(trace.selections);
    options.artifacts = std::move(trace.artifacts);
    options.pleth = trace.pleth;
    return options;
}

std::vector<WaveEvent> recordEvents(const EventsOptions& options) {
    EventLog log;
    Simulation simulation;
    simulation.setWaveListener(&log);
    applyLayers(options.artifacts, options.pleth, simulation);
    auto next = options.selections.begin();
    for (long long tick = 1; tick <= options.ticks; ++tick) {
        if (next != options.selections.end() && next->tick == tick) {
            simulation.selectRhythm(next->rhythm, next->seed);
            ++next;
        }
        simulation.step();
    }
    simulation.setWaveListener(nullptr);
    std::vector<WaveEvent>& events = log.events;
    std::erase_if(events, [&options](const WaveEvent& e) { return e.tick > options.ticks; });
    std::stable_sort(events.begin(), events.end(),
                     [](const WaveEvent& a, const WaveEvent& b) { return a.tick < b.tick; });
    return std::move(events);
}

void appendEventRow(std::string& out, const WaveEvent& event) {
    out += std::to_string(event.tick);
    out += ',';
    out += waveKindName(event.kind);
    out += ',';
    out += std::to_string(event.beat);
    out += ',';
    out += std::to_string(event.length);
    out += ',';
    out += waveRoleName(event.role);
    out += '\n';
}

std::string eventsCsv(const EventsOptions& options) {
    std::string csv = "tick,kind,beat,length,role\n";
    for (const WaveEvent& event : recordEvents(options)) {
        appendEventRow(csv, event);
    }
    return csv;
}

namespace {

// Hands on the waves whose first step is already drawn, in the order of that tick: a wave is
// laid no later than its first tick, so once tick T is stepped no wave of tick T or earlier
// can still come, and only the waves laid ahead are held.
class EventStream : public WaveListener {
public:
    explicit EventStream(OutputFile& file) : file(file) {}
    void onWave(const WaveEvent& event) override { pending.push_back(event); }

    void flushThrough(long long tick) {
        const auto due = std::stable_partition(
            pending.begin(), pending.end(), [tick](const WaveEvent& e) { return e.tick <= tick; });
        std::stable_sort(pending.begin(), due,
                         [](const WaveEvent& a, const WaveEvent& b) { return a.tick < b.tick; });
        for (auto it = pending.begin(); it != due; ++it) {
            row.clear();
            appendEventRow(row, *it);
            file.write(row);
        }
        pending.erase(pending.begin(), due);
    }

private:
    OutputFile& file;
    std::vector<WaveEvent> pending;
    std::string row;
};

} // namespace

void writeEventsCsv(const EventsOptions& options, OutputFile& file) {
    file.write("tick,kind,beat,length,role\n");
    EventStream stream(file);
    Simulation simulation;
    simulation.setWaveListener(&stream);
    applyLayers(options.artifacts, options.pleth, simulation);
    auto next = options.selections.begin();
    for (long long tick = 1; tick <= options.ticks; ++tick) {
        if (next != options.selections.end() && next->tick == tick) {
            simulation.selectRhythm(next->rhythm, next->seed);
            ++next;
        }
        simulation.step();
        stream.flushThrough(tick);
    }
    simulation.setWaveListener(nullptr);
}

int eventsCommand(Arguments args) {
    const EventsOptions options = parseEventsOptions(args);
    OutputFile file(options.csvPath.value_or("-"));
    file.open();
    writeEventsCsv(options, file);
    commitTogether({&file});
    return 0;
}

} // namespace pulsavo::strip
