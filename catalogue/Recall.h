#pragma once

#include "Language.h"
#include "RhythmLibrary.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pulsavo::catalogue {

// What a learner's typed answer names among the rhythms in play. `rhythms` is empty when nothing
// matches, holds one rhythm when the answer is clear, and several (in candidate order) when it
// could be any of them, so the window can ask which one was meant.
struct RecallResult {
    std::vector<Rhythm> rhythms;
    // Matched only after a small edit: the answer counts, and the window says how it is spelled.
    bool closeMisspelling = false;
    // The entry the answer was matched to, as written (name, reading or abbreviation), and the
    // rhythm's name in the language of that entry; both empty for no match.
    std::string_view matchedEntry;
    std::string_view canonicalName;

    bool matched() const { return rhythms.size() == 1; }
    bool ambiguous() const { return rhythms.size() > 1; }
    bool none() const { return rhythms.empty(); }
};

struct Completion {
    Rhythm rhythm;
    // The name, reading or abbreviation that starts with the typed prefix, as written.
    std::string_view entry;
    Language language;
};

// The answer read through the same folding the names go through: full-width forms and half-width
// katakana to their usual width, katakana to hiragana, Latin letters to lower case, Ⅰ–Ⅲ to
// digits; spaces, hyphens, middle dots, commas, full stops and brackets dropped.
std::string normalizeTyped(std::string_view typed);

// The reading of a normalised kana or romaji answer as plain romaji, with the usual variants
// (si/shi, tu/tsu, ti/chi, hu/fu, sya/sha, n/nn) read alike and long vowels (ou, oo, ō, ー)
// shortened; empty when the text is not kana or romaji.
std::string romajiKey(std::string_view normalized);

// Which of `candidates` the learner meant by `typed`: by any name in either language, its kana
// reading in hiragana or katakana, its romaji, or an abbreviation. An answer that is exactly an
// entry of a rhythm not in play is no match (it names that other rhythm); otherwise an entry
// within a Damerau–Levenshtein distance of 1 (answers up to 6 characters) or 2 counts as a close
// misspelling.
RecallResult matchTypedName(std::string_view typed, std::span<const Rhythm> candidates);

// The candidates with an entry starting with `prefix`, best first: a whole entry before a longer
// one, then the shorter entry, then candidate order. One completion per rhythm.
std::vector<Completion> completeTypedName(std::string_view prefix,
                                          std::span<const Rhythm> candidates);

// Every alias of a rhythm from the recall table (not its catalogue names), for tests and tools.
std::vector<std::string_view> recallAliasesOf(Rhythm rhythm);

} // namespace pulsavo::catalogue
