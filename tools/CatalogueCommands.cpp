#include "CatalogueCommands.h"

#include "Catalogue.h"
#include "OutputFile.h"
#include "RhythmLibrary.h"

#include <algorithm>
#include <string>
#include <vector>

namespace pulsavo::strip {

namespace catalogue = pulsavo::catalogue;

const char* const listUsage =
    "pulsavo-strip list [--library] [--lang ja|en]\n"
    "  Prints each rhythm as its index, a tab and its name (UTF-8); with --library, each rhythm\n"
    "  of the library as its id, a tab and its name\n";

const char* const explainUsage =
    "pulsavo-strip explain RHYTHM [--lang ja|en]\n"
    "  Prints the explanation of RHYTHM (an index 0..17, a library id or an exact name in either\n"
    "  language)\n"
    "  as stored: UTF-8 with CR LF between its lines, then one LF\n";

namespace {

struct CatalogueArguments {
    catalogue::Language language = catalogue::systemLanguage();
    bool library = false;
    std::vector<std::string_view> operands;
};

CatalogueArguments parseCatalogueArguments(Arguments args, bool takesLibrary) {
    CatalogueArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lang") {
            parsed.language = parseLanguage(optionValue(args, i));
        } else if (takesLibrary && args[i] == "--library") {
            parsed.library = true;
        } else {
            parsed.operands.push_back(args[i]);
        }
    }
    return parsed;
}

} // namespace

int parseRhythm(std::string_view text) {
    for (const auto language : {catalogue::Language::japanese, catalogue::Language::english}) {
        const int byName = catalogue::findRhythm(text, language);
        if (byName != catalogue::noEntry) {
            return byName;
        }
    }
    if (const auto id = parseRhythmId(text)) {
        return indexOf(*id);
    }
    const bool digits = !text.empty() && std::all_of(text.begin(), text.end(),
                                                     [](char c) { return c >= '0' && c <= '9'; });
    if (digits) {
        return static_cast<int>(parseInteger(text, 0, catalogue::entryCount - 1, "rhythm"));
    }
    throw UsageError(message("unknown rhythm %1; 'pulsavo-strip list' shows the indices and exact "
                             "names, 'pulsavo-strip list --library' the library's ids",
                             {quoted(text)}));
}

int listCommand(Arguments args) {
    const CatalogueArguments parsed = parseCatalogueArguments(args, true);
    if (!parsed.operands.empty()) {
        throw UsageError(
            message("list takes no arguments, not %1", {quoted(parsed.operands.front())}));
    }
    std::string out;
    if (parsed.library) {
        for (const LibraryRhythm rhythm : allLibraryRhythms) {
            out += infoOf(rhythm).id;
            out += '\t';
            out += catalogue::nameOf(rhythmOf(rhythm), parsed.language);
            out += '\n';
        }
        writeOutput("-", out);
        return 0;
    }
    const catalogue::Entries& names = catalogue::namesIn(parsed.language);
    for (int i = 0; i < catalogue::entryCount; ++i) {
        out += std::to_string(i);
        out += '\t';
        out += names[static_cast<std::size_t>(i)];
        out += '\n';
    }
    writeOutput("-", out);
    return 0;
}

int explainCommand(Arguments args) {
    const CatalogueArguments parsed = parseCatalogueArguments(args, false);
    if (parsed.operands.size() != 1) {
        throw UsageError(parsed.operands.empty()
                             ? "explain needs a RHYTHM (an index 0..17, a library id or an exact "
                               "name)"
                             : "explain takes one RHYTHM, not " +
                                   std::to_string(parsed.operands.size()) + " arguments");
    }
    // A name may be a library rhythm's, past the classic tables: textOf reads either.
    const int rhythm = parseRhythm(parsed.operands.front());
    std::string out(catalogue::textOf(static_cast<Rhythm>(rhythm), parsed.language));
    out += '\n';
    writeOutput("-", out);
    return 0;
}

} // namespace pulsavo::strip
