#include "RhythmLibrary.h"

#include <charconv>

namespace pulsavo {

namespace {

constexpr std::string_view classicPrefix = "classic_";

std::optional<int> classicNumber(std::string_view digits) {
    int value = 0;
    const char* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, value);
    // "007" and "+1" are not how a number is written here.
    if (digits.empty() || ec != std::errc() || ptr != end ||
        (digits.size() > 1 && digits[0] == '0')) {
        return std::nullopt;
    }
    if (value < 0 || value >= rhythmCount) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::string rhythmId(Rhythm rhythm) {
    if (const auto library = libraryRhythmOf(rhythm)) {
        return std::string(infoOf(*library).id);
    }
    return std::string(classicPrefix) + std::to_string(indexOf(rhythm));
}

std::optional<Rhythm> parseRhythmId(std::string_view text) {
    if (text.starts_with(classicPrefix)) {
        text.remove_prefix(classicPrefix.size());
    }
    if (const auto number = classicNumber(text)) {
        return static_cast<Rhythm>(*number);
    }
    for (const LibraryRhythm rhythm : allLibraryRhythms) {
        if (infoOf(rhythm).id == text) {
            return rhythmOf(rhythm);
        }
    }
    return std::nullopt;
}

std::string_view familyId(LibraryFamily family) {
    switch (family) {
    case LibraryFamily::sinus:
        return "sinus";
    case LibraryFamily::atrial:
        return "atrial";
    case LibraryFamily::junctional:
        return "junctional";
    case LibraryFamily::avBlock:
        return "av_block";
    case LibraryFamily::ventricularEctopy:
        return "ventricular_ectopy";
    case LibraryFamily::ventricular:
        return "ventricular";
    case LibraryFamily::paced:
        return "paced";
    case LibraryFamily::conduction:
        return "conduction";
    }
    return {};
}

} // namespace pulsavo
