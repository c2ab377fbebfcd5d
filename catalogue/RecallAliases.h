#pragma once

#include "RhythmLibrary.h"

#include <array>
#include <string_view>

namespace pulsavo::catalogue {

// Per rhythm (classic 0..17, then the library), its recall aliases separated by '|': the first
// all-kana entry is the reading of its Japanese name. A classic rhythm and its library
// counterpart may share an alias; the catalogue names of both languages are added by Recall.cpp.
extern const std::array<std::string_view, totalRhythmCount> recallAliasRows;

} // namespace pulsavo::catalogue
