#pragma once

#include <optional>
#include <string_view>

namespace pulsavo::catalogue {

// The languages the catalogue is written in; Japanese is the edition the English follows.
enum class Language { japanese, english };

// "ja" or "en", as on the command line.
std::string_view languageCode(Language language);
std::optional<Language> parseLanguageCode(std::string_view code);

// Japanese for a locale or language name such as "ja", "ja_JP.UTF-8" or "ja-JP", English for
// anything else, the C and POSIX locales and an empty name included.
Language languageOfLocale(std::string_view locale);

// The user interface language the environment asks for: the first of LANGUAGE (its first entry),
// LC_ALL, LC_MESSAGES and LANG that is set and not empty, read as by languageOfLocale.
Language systemLanguage();

} // namespace pulsavo::catalogue
