#include "Language.h"

#include <cstdlib>

namespace pulsavo::catalogue {

std::string_view languageCode(Language language) {
    return language == Language::japanese ? "ja" : "en";
}

std::optional<Language> parseLanguageCode(std::string_view code) {
    if (code == "ja") {
        return Language::japanese;
    }
    if (code == "en") {
        return Language::english;
    }
    return std::nullopt;
}

Language languageOfLocale(std::string_view locale) {
    // "jam" or "jav" are other languages; only "ja" on its own or before a territory, codeset
    // or modifier is Japanese.
    if (locale.starts_with("ja") &&
        (locale.size() == 2 ||
         std::string_view("_-.@").find(locale[2]) != std::string_view::npos)) {
        return Language::japanese;
    }
    return Language::english;
}

Language systemLanguage() {
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            const std::string_view name(value);
            return languageOfLocale(name.substr(0, name.find(':')));
        }
    }
    return Language::english;
}

} // namespace pulsavo::catalogue
