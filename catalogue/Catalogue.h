#pragma once

#include "Language.h"
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

inline std::string_view nameOf(Rhythm rhythm, Language language = Language::japanese) {
    return namesIn(language)[static_cast<std::size_t>(indexOf(rhythm))];
}
inline std::string_view textOf(Rhythm rhythm, Language language = Language::japanese) {
    return textsIn(language)[static_cast<std::size_t>(indexOf(rhythm))];
}

// Index of the first name equal to `name` byte for byte, or noEntry: among the Japanese names,
// or among the names of `language`.
int findRhythm(std::string_view name);
int findRhythm(std::string_view name, Language language);

} // namespace pulsavo::catalogue
