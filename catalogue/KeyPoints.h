#pragma once

#include "Language.h"
#include "Rhythm.h"

#include <string>

namespace pulsavo::catalogue {

// The lines of a rhythm's explanation under its key points heading (判定のポイント), up to the
// next heading, joined by "\n" without the heading itself: what tells the rhythm apart.
std::string keyPointsOf(Rhythm rhythm, Language language = Language::japanese);
// The lines under its management heading (対処方法), the same way: what to do.
std::string managementOf(Rhythm rhythm, Language language = Language::japanese);

} // namespace pulsavo::catalogue
