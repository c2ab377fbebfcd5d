#pragma once

#include "CommandLine.h"
#include "Language.h"
#include "Monitor.h"
#include "StripPainter.h"
#include "Sweep.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pulsavo::strip {

inline constexpr long long maxTicks = 8'640'000; // 24 hours of monitor time

// A --select: the decision the monitor takes just before its tick.
using Selection = Monitor::Selection;

inline constexpr int defaultRowSeconds = 6;

struct ImageOptions {
    std::optional<std::string> pngPath;
    std::optional<std::string> svgPath;
    std::optional<std::string> pdfPath;
    StripStyle style = StripStyle::strip;
    bool grid = false;
    bool ladder = false;
    int rowSeconds = defaultRowSeconds;
    long long from = 1;

    bool requested() const { return pngPath || svgPath || pdfPath; }
};

struct ArtifactOption {
    ArtifactKind kind = ArtifactKind::wander;
    int strength = Artifact::defaultStrength;
};

struct TraceOptions {
    long long ticks = 0;
    int width = defaultPanelWidth;
    int height = defaultPanelHeight;
    std::vector<Selection> selections;
    std::vector<ArtifactOption> artifacts;
    // The pulse wave channel: a pleth column in the CSV, PULSE waves in events.
    bool pleth = false;
    std::optional<std::string> csvPath;
    ImageOptions image;
    // Of the rhythm names in the strip caption; parseTraceOptions starts from the system's.
    catalogue::Language language = catalogue::Language::japanese;
    // Made afresh for every pass through the ticks, then called just before each tick is
    // drawn: what drives the monitor besides the selections (a scenario's runner).
    std::function<std::function<void(Monitor&)>()> driver;
    // The strip's caption when the selections do not describe the trace.
    QStringList caption;
};

// A file written beside the trace's outputs and committed with them, all or none.
struct ExtraOutput {
    std::string path;
    std::function<std::string()> content; // called once the trace has run
};

// One tick as the monitor drew it.
struct TraceTick {
    long long tick = 0;
    TickSample sample;
    Sweep::Step step;
    int nextColumn = 1; // where the sweep stands for the next tick
    int pleth = 0;
};

TraceOptions parseTraceOptions(Arguments args);

// KIND[:STRENGTH] of --artifact; a UsageError for an unknown kind or a strength out of 1..10.
ArtifactOption parseArtifact(std::string_view text);
// Lays artifact and the pulse channel on a simulation about to be stepped.
void applyLayers(const std::vector<ArtifactOption>& artifacts, bool pleth, Simulation& simulation);

// Steps a fresh monitor through the ticks, making each selection just before its tick; every
// wave laid goes to `waves` when one is given.
void runTrace(const TraceOptions& options, const std::function<void(const TraceTick&)>& onTick,
              WaveListener* waves = nullptr);

// The CSV of the trace, handed to `sink` in chunks as the trace steps.
void writeTraceCsv(const TraceOptions& options, const std::function<void(std::string_view)>& sink);

std::string traceCsv(const TraceOptions& options);

// The trace drawn as the options ask; a UsageError when the picture would be too large.
StripPainter stripFor(const TraceOptions& options);

// Runs `run` with a QGuiApplication (text needs its font database), making one when there is none.
void withGuiApplication(const std::function<void()>& run);

// Writes every output the options name, and `extra`, committed together.
void writeTraceOutputs(const TraceOptions& options, const std::vector<ExtraOutput>& extra = {});

int traceCommand(Arguments args);

extern const char* const traceUsage;

} // namespace pulsavo::strip
