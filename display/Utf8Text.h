#pragma once

#include <QString>

#include <string_view>

namespace pulsavo {

// The standard-C++ layers keep their texts as UTF-8 views; Qt wants them as QString.
inline QString utf8Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace pulsavo
