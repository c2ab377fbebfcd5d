#pragma once

#include "Language.h"
#include "LibraryCatalogue.h"
#include "Rhythm.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace pulsavo::catalogue {

inline constexpr int entryCount = 18;
inline constexpr int noEntry = -1;

using Entries = std::array<std::string_view, entryCount>;

// Names and explanations in rhythm-index order, UTF-8, CR LF between the lines of a text.
// rhythmNames and rhythmTexts are the Japanese edition.
extern const Entries rhythmNames;
extern const Entries rhythmTexts;
extern const Entries englishNames;
extern const Entries englishTexts;

// The Japanese message as a string_view, and the message in any language through a call:
// noSelectionMessage(Language::english).
struct NoSelectionMessage : std::string_view {
    std::string_view operator()(Language language) const;
};

inline constexpr NoSelectionMessage noSelectionMessage{"波形が選択されていません"};
inline constexpr std::string_view englishNoSelectionMessage = "No waveform has been selected";

inline std::string_view NoSelectionMessage::operator()(Language language) const {
    return language == Language::japanese ? std::string_view(*this) : englishNoSelectionMessage;
}

static_assert(entryCount == rhythmCount, "one catalogue entry per rhythm");

inline const Entries& namesIn(Language language) {
    return language == Language::japanese ? rhythmNames : englishNames;
}
inline const Entries& textsIn(Language language) {
    return language == Language::japanese ? rhythmTexts : englishTexts;
}

// The name and text of any rhythm, classic or library; empty for a value that is neither, so
// that a number read from outside never indexes past the tables.
inline std::string_view nameOf(Rhythm rhythm, Language language = Language::japanese) {
    if (const auto library = libraryRhythmOf(rhythm)) {
        return nameOf(*library, language);
    }
    return isClassic(rhythm) ? namesIn(language)[static_cast<std::size_t>(indexOf(rhythm))]
                             : std::string_view();
}
inline std::string_view textOf(Rhythm rhythm, Language language = Language::japanese) {
    if (const auto library = libraryRhythmOf(rhythm)) {
        return textOf(*library, language);
    }
    return isClassic(rhythm) ? textsIn(language)[static_cast<std::size_t>(indexOf(rhythm))]
                             : std::string_view();
}

// The rhythm index (as indexOf gives it) of the name equal to `name` byte for byte, or noEntry:
// among the Japanese names, or among the names of `language`. The classic names are searched
// first, so a classic index comes back as before; a library name gives rhythmCount and up.
int findRhythm(std::string_view name);
int findRhythm(std::string_view name, Language language);

} // namespace pulsavo::catalogue
