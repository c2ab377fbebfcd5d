#pragma once

#include "Language.h"
#include "ReportLanguage.h"

#include <QString>

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pulsavo::strip {

// A mistake in the command line or an output path: reported as one line, exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr int usageExitCode = 2;

using Arguments = std::span<const std::string_view>;

// Whole decimal number in lo..hi; anything else is a UsageError naming `what`.
long long parseInteger(std::string_view text, long long lo, long long hi, std::string_view what);

// Takes the value of option `name` at args[i + 1], advancing i; a UsageError when missing.
std::string_view optionValue(Arguments args, std::size_t& i);

// Refuses a second use of an option that takes one value: taking the last would drop the
// first without a word (a second --db, a second --csv).
class SingleOptions {
public:
    void once(std::string_view option);

private:
    std::vector<std::string_view> seen;
};

// An exam code given to --exam, in its canonical form; a code that does not read is a usage error.
std::string examCodeOption(std::string_view text);
// The value of --lang: "ja" or "en"; anything else is a UsageError.
// pulsavo-strip's reports speak the --lang language; its usage and error lines are English.
catalogue::Language parseLanguage(std::string_view text);

inline constexpr const char* languageUsage =
    "  --lang ja|en    Japanese or English; by default the user interface language of the\n"
    "                  environment (LANGUAGE, LC_ALL, LC_MESSAGES, LANG): Japanese when it\n"
    "                  is Japanese, English otherwise\n";

// Writes `data` to `path` ("-": standard output) through an OutputFile; throws IoError when
// it cannot be written.
void writeOutput(const std::string& path, std::string_view data);

} // namespace pulsavo::strip
