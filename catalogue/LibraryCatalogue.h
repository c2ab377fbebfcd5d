#pragma once

#include "Language.h"
#include "RhythmLibrary.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace pulsavo::catalogue {

using LibraryEntries = std::array<std::string_view, libraryRhythmCount>;

// Names and explanations of the library rhythms in LibraryRhythm order, in the frame of the
// classic texts: danger line, then key points, waveform, management and drugs, each under its
// heading, CR LF between lines. The key points state the figures the conduction model plays.
// libraryNames and libraryTexts are the Japanese edition.
extern const LibraryEntries libraryNames;
extern const LibraryEntries libraryTexts;
extern const LibraryEntries libraryEnglishNames;
extern const LibraryEntries libraryEnglishTexts;

inline const LibraryEntries& libraryNamesIn(Language language) {
    return language == Language::japanese ? libraryNames : libraryEnglishNames;
}
inline const LibraryEntries& libraryTextsIn(Language language) {
    return language == Language::japanese ? libraryTexts : libraryEnglishTexts;
}

inline std::string_view nameOf(LibraryRhythm rhythm, Language language = Language::japanese) {
    return libraryNamesIn(language)[static_cast<std::size_t>(rhythm)];
}
inline std::string_view textOf(LibraryRhythm rhythm, Language language = Language::japanese) {
    return libraryTextsIn(language)[static_cast<std::size_t>(rhythm)];
}

} // namespace pulsavo::catalogue
