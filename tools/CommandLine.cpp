#include "CommandLine.h"

#include "ExamCode.h"
#include "OutputFile.h"
#include "Utf8Text.h"
#include <QCoreApplication>
#include <QString>

#include <algorithm>
#include <charconv>

namespace pulsavo::strip {

long long parseInteger(std::string_view text, long long lo, long long hi, std::string_view what) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < lo || value > hi) {
        throw UsageError(message("%1 must be a whole number from %2 to %3, not %4",
                                 {what, std::to_string(lo), std::to_string(hi), quoted(text)}));
    }
    return value;
}

std::string_view optionValue(Arguments args, std::size_t& i) {
    if (i + 1 >= args.size()) {
        throw UsageError(message("option %1 needs a value", {args[i]}));
    }
    return args[++i];
}

void SingleOptions::once(std::string_view option) {
    if (std::find(seen.begin(), seen.end(), option) != seen.end()) {
        throw UsageError(message("%1 is given twice; give it once", {option}));
    }
    seen.push_back(option);
}

catalogue::Language parseLanguage(std::string_view text) {
    if (const auto language = catalogue::parseLanguageCode(text)) {
        return *language;
    }
    throw UsageError(QStringLiteral("unknown language '%1' for --lang (ja or en)")
                         .arg(utf8Text(text))
                         .toStdString());
}

std::string examCodeOption(std::string_view text) {
    const ExamResult parsed = parseExamCode(text);
    if (!parsed.ok()) {
        throw UsageError("--exam: " + parsed.message);
    }
    return parsed.exam.code;
}

void writeOutput(const std::string& path, std::string_view data) {
    OutputFile file(path);
    file.open();
    file.write(data);
    commitTogether({&file});
}

} // namespace pulsavo::strip
