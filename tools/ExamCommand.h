#pragma once

#include "CommandLine.h"
#include "ExamCode.h"
#include "Language.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>

namespace pulsavo::strip {

struct ExamOptions {
    int count = 0;
    std::optional<std::uint32_t> seed; // none: a random one, which the code then carries
    RhythmSet rhythms = RhythmSet::classic();
    std::string pdfPath;
    std::optional<std::string> keyPath;
    catalogue::Language language = catalogue::Language::japanese;
    ExamSettings settings;
};

inline constexpr int examStripsPerPage = 4;

ExamOptions parseExamOptions(Arguments args);

// The exam the options ask for; a UsageError when makeExam refuses them.
Exam buildExam(const ExamOptions& options);

// The question sheets: examStripsPerPage numbered strips to an A4 portrait page at 25 mm/s,
// the exam's code and blanks for the learner's name on every page, answer blanks under each strip.
// The answer key: number, rhythm name, the strip's measured rates, PR and QRS, and the seed. Both
// need a QGuiApplication and come out byte for byte the same for the same exam and language.
QByteArray examPdf(const Exam& exam, catalogue::Language language);
QByteArray examKeyPdf(const Exam& exam, catalogue::Language language);

int examCommand(Arguments args);

extern const char* const examUsage;

} // namespace pulsavo::strip
