#pragma once

#include "Catalogue.h"
#include "DecidingCriteria.h"
#include "KeyPoints.h"
#include "Utf8Text.h"

#include <QString>

#include <string>
#include <string_view>

namespace pulsavo {

// The catalogue's UTF-8 texts as the windows show them.
inline QString catalogueText(std::string_view text) {
    return utf8Text(text);
}

inline QString rhythmName(Rhythm rhythm, catalogue::Language language) {
    return catalogueText(catalogue::nameOf(rhythm, language));
}

// A rhythm's key points (判定のポイント) as the catalogue finds them.
inline QString pointsSection(Rhythm rhythm, catalogue::Language language) {
    return QString::fromStdString(catalogue::keyPointsOf(rhythm, language));
}

// The key points as the practice window words them: its question trace is all green.
inline QString practicePointsSection(Rhythm rhythm, catalogue::Language language) {
    return QString::fromStdString(catalogue::practiceKeyPointsOf(rhythm, language));
}

} // namespace pulsavo
