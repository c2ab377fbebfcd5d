#pragma once

#include "Rhythm.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace pulsavo::catalogue {

inline constexpr int entryCount = 18;
inline constexpr int noEntry = -1;

// Names and explanations in rhythm-index order, UTF-8, CR LF between the lines of a text.
extern const std::array<std::string_view, entryCount> rhythmNames;
extern const std::array<std::string_view, entryCount> rhythmTexts;

inline constexpr std::string_view noSelectionMessage = "波形が選択されていません";

static_assert(entryCount == rhythmCount, "one catalogue entry per rhythm");

inline std::string_view nameOf(Rhythm rhythm) {
    return rhythmNames[static_cast<std::size_t>(indexOf(rhythm))];
}
inline std::string_view textOf(Rhythm rhythm) {
    return rhythmTexts[static_cast<std::size_t>(indexOf(rhythm))];
}

// Index of the first name equal to `name` byte for byte, or noEntry.
int findRhythm(std::string_view name);

} // namespace pulsavo::catalogue
