#include "KeyPoints.h"

#include "Catalogue.h"

#include <string_view>

namespace pulsavo::catalogue {

namespace {

std::string sectionOf(Rhythm rhythm, Language language, std::string_view heading) {
    // Every heading opens with the bracket of its language's points heading.
    const std::string_view bracket = heading.substr(0, language == Language::japanese ? 3 : 1);
    std::string_view text = textOf(rhythm, language);
    const std::size_t start = text.find(heading);
    if (start == std::string_view::npos) {
        return {};
    }
    text.remove_prefix(start + heading.size());
    std::string points;
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);
        if (line.starts_with(bracket)) {
            break;
        }
        if (!line.empty()) {
            points += points.empty() ? "" : "\n";
            points += line;
        }
    }
    return points;
}

} // namespace

std::string keyPointsOf(Rhythm rhythm, Language language) {
    return sectionOf(rhythm, language,
                     language == Language::japanese ? "＜判定のポイント＞" : "<Key points>");
}

std::string managementOf(Rhythm rhythm, Language language) {
    return sectionOf(rhythm, language,
                     language == Language::japanese ? "＜対処方法＞" : "<Management>");
}

} // namespace pulsavo::catalogue
