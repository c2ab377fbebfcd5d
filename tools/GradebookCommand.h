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

// Reads one answers database or hand-in file into the gradebook; what cannot be counted
// becomes a notice naming the file.
void addGradebookFile(Gradebook& gradebook, const std::string& path);

// One line naming the file for each notice, in English.
std::string noticeLine(const GradebookNotice& notice);

// One row per learner and question, with the learner's totals beside each row.
QByteArray gradebookCsv(const GradebookResult& result, const Exam& exam,
                        catalogue::Language language);
// Per-learner table, item analysis and the commonest confusions, for a terminal.
std::string gradebookSummary(const GradebookResult& result, const Exam& exam,
                             catalogue::Language language);

int gradebookCommand(Arguments args);

extern const char* const gradebookUsage;

} // namespace pulsavo::strip
