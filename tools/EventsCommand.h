#pragma once

#include "CommandLine.h"
#include "TraceCommand.h"
#include "WaveEvent.h"

#include <optional>
#include <string>
#include <vector>

namespace pulsavo::strip {

struct EventsOptions {
    long long ticks = 0;
    std::vector<Selection> selections;
    std::vector<ArtifactOption> artifacts;
    bool pleth = false;
    std::optional<std::string> csvPath;
};

// --ticks, --select, --artifact and --pleth as for trace, and --csv.
EventsOptions parseEventsOptions(Arguments args);

// Steps a fresh simulation through the ticks, making each selection just before its tick, and
// returns the waves whose first step is drawn by the last tick, in the order of that tick (waves
// starting on the same tick in the order they were laid).
std::vector<WaveEvent> recordEvents(const EventsOptions& options);

std::string eventsCsv(const EventsOptions& options);
// One row of that CSV: tick,kind,beat,length,role and a newline.
void appendEventRow(std::string& out, const WaveEvent& event);

class OutputFile;
// The same CSV as eventsCsv, written row by row as the simulation steps: memory stays flat at
// any number of ticks.
void writeEventsCsv(const EventsOptions& options, OutputFile& file);

int eventsCommand(Arguments args);

extern const char* const eventsUsage;

} // namespace pulsavo::strip
