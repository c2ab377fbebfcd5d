#pragma once

#include "Language.h"

#include <QString>

namespace pulsavo {

// Printed reports and files speak the language asked for, whatever the window's language.
inline QString inLanguage(const char* japanese, const char* english, catalogue::Language language) {
    return QString::fromUtf8(language == catalogue::Language::japanese ? japanese : english);
}

} // namespace pulsavo
