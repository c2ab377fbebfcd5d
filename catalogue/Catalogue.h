#pragma once

#include <array>
#include <string_view>

namespace pulsavo::catalogue {

inline constexpr int entryCount = 18;
inline constexpr int noEntry = -1;

// Names and explanations in rhythm-index order, UTF-8, CR LF between the lines of a text.
extern const std::array<std::string_view, entryCount> rhythmNames;
extern const std::array<std::string_view, entryCount> rhythmTexts;

inline constexpr std::string_view noSelectionMessage = "波形が選択されていません";

// Index of the first name equal to `name` byte for byte, or noEntry.
int findRhythm(std::string_view name);

} // namespace pulsavo::catalogue
