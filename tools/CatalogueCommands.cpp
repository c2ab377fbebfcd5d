#include "CatalogueCommands.h"

#include "Catalogue.h"
#include "OutputFile.h"

#include <algorithm>
#include <string>

namespace pulsavo::strip {

namespace catalogue = pulsavo::catalogue;

const char* const listUsage = "pulsavo-strip list\n"
                              "  Prints each rhythm as its index, a tab and its name (UTF-8)\n";

const char* const explainUsage =
    "pulsavo-strip explain RHYTHM\n"
    "  Prints the explanation of RHYTHM (an index 0..17 or an exact name) as stored:\n"
    "  UTF-8 with CR LF between its lines, then one LF\n";

int parseRhythm(std::string_view text) {
    const int byName = catalogue::findRhythm(text);
    if (byName != catalogue::noEntry) {
        return byName;
    }
    const bool digits = !text.empty() && std::all_of(text.begin(), text.end(),
                                                     [](char c) { return c >= '0' && c <= '9'; });
    if (digits) {
        return static_cast<int>(parseInteger(text, 0, catalogue::entryCount - 1, "rhythm"));
    }
    throw UsageError(message("unknown rhythm %1; 'pulsavo-strip list' shows the indices and exact "
                             "names",
                             {quoted(text)}));
}

int listCommand(Arguments args) {
    if (!args.empty()) {
        throw UsageError(message("list takes no arguments, not %1", {quoted(args.front())}));
    }
    std::string out;
    for (int i = 0; i < catalogue::entryCount; ++i) {
        out += std::to_string(i);
        out += '\t';
        out += catalogue::rhythmNames[i];
        out += '\n';
    }
    writeOutput("-", out);
    return 0;
}

int explainCommand(Arguments args) {
    if (args.size() != 1) {
        throw UsageError(args.empty() ? "explain needs a RHYTHM (an index 0..17 or an exact name)"
                                      : "explain takes one RHYTHM, not " +
                                            std::to_string(args.size()) + " arguments");
    }
    std::string out(catalogue::rhythmTexts[parseRhythm(args.front())]);
    out += '\n';
    writeOutput("-", out);
    return 0;
}

} // namespace pulsavo::strip
