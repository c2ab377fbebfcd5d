#pragma once

#include "CommandLine.h"
#include "Language.h"
#include "ProgressTypes.h"
#include "RhythmSet.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace pulsavo::strip {

struct ProgressOptions {
    std::optional<std::string> dbPath; // none: the trainer's own database
    std::string examCode;              // canonical; empty: every answer
    std::optional<std::string> csvPath;
    std::optional<std::string> exportPath; // a hand-in file of the exam's answers
    catalogue::Language language = catalogue::Language::japanese;
    std::optional<RhythmSet> rhythms; // the rows; none: reportedRhythms()
    bool ids = false;                 // rows named by rhythm id rather than by name
};

ProgressOptions parseProgressOptions(Arguments args);

// One line per rhythm in `rows` (attempts, accuracy, median answer time) and their total,
// columns aligned for a terminal that shows East Asian characters two cells wide. Each row is
// named in `language`, or by its id with `ids`.
std::string progressTable(const RhythmStatsTable& stats, const std::vector<Rhythm>& rows,
                          catalogue::Language language, bool ids = false);

int progressCommand(Arguments args);

// Cells a terminal gives the text (two for East Asian wide characters), and padding to a width.
int displayWidth(const QString& text);
QString padRight(const QString& text, int width);
QString padLeft(const QString& text, int width);

extern const char* const progressUsage;

} // namespace pulsavo::strip
