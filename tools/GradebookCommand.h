#pragma once

#include "CommandLine.h"
#include "Gradebook.h"
#include "Language.h"

#include <QByteArray>

#include <optional>
#include <string>
#include <vector>

namespace pulsavo::strip {

struct GradebookOptions {
    std::string examCode; // canonical
    std::optional<std::string> csvPath;
    std::optional<std::string> pdfPath;
    catalogue::Language language = catalogue::Language::japanese;
    std::vector<std::string> files;
};

GradebookOptions parseGradebookOptions(Arguments args);

// One line naming the file for each notice, in English.
std::string noticeLine(const GradebookNotice& notice);

// Per-learner table, item analysis and the commonest confusions, for a terminal.
std::string gradebookSummary(const GradebookResult& result, const Exam& exam,
                             catalogue::Language language);

int gradebookCommand(Arguments args);

extern const char* const gradebookUsage;

} // namespace pulsavo::strip
