#pragma once

#include "CommandLine.h"
#include "Language.h"
#include "ProgressTypes.h"

#include <optional>
#include <string>

namespace pulsavo::strip {

struct ProgressOptions {
    std::optional<std::string> dbPath; // none: the trainer's own database
    std::string examCode;              // canonical; empty: every answer
    std::optional<std::string> csvPath;
    catalogue::Language language = catalogue::Language::japanese;
};

ProgressOptions parseProgressOptions(Arguments args);

// One line per rhythm (attempts, accuracy, median answer time) and a total, columns aligned
// for a terminal that shows East Asian characters two cells wide.
std::string progressTable(const RhythmStatsTable& stats, catalogue::Language language);

int progressCommand(Arguments args);

extern const char* const progressUsage;

} // namespace pulsavo::strip
