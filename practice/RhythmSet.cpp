#include "RhythmSet.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>

namespace pulsavo {

int RhythmSet::size() const {
    return std::popcount(words[0]) + std::popcount(words[1]);
}

std::vector<Rhythm> RhythmSet::list() const {
    std::vector<Rhythm> rhythms;
    rhythms.reserve(static_cast<std::size_t>(size()));
    for (int index = 0; index < totalRhythmCount; ++index) {
        const Rhythm rhythm = *anyRhythmAt(index);
        if (contains(rhythm)) {
            rhythms.push_back(rhythm);
        }
    }
    return rhythms;
}

namespace {

constexpr std::array<LibraryFamily, libraryFamilyCount> allFamilies{
    LibraryFamily::sinus,
    LibraryFamily::atrial,
    LibraryFamily::junctional,
    LibraryFamily::avBlock,
    LibraryFamily::ventricularEctopy,
    LibraryFamily::ventricular,
    LibraryFamily::paced,
    LibraryFamily::conduction,
};

} // namespace

std::vector<RhythmGroup> rhythmGroups() {
    std::vector<RhythmGroup> groups;
    groups.reserve(allFamilies.size() + 1);
    for (const LibraryFamily family : allFamilies) {
        groups.push_back({familyId(family), RhythmSet::family(family)});
    }
    groups.push_back({classicGroupId, RhythmSet::classic()});
    return groups;
}

RhythmSet defaultPracticeRhythms() {
    return RhythmSet::library();
}

RhythmSet savedPracticeRhythms(const std::optional<std::string>& list,
                               std::optional<std::uint32_t> classicBits) {
    if (list) {
        if (list->empty()) {
            return {};
        }
        const RhythmListResult read = parseRhythmList(*list);
        if (read.ok()) {
            return read.rhythms;
        }
    }
    return classicBits ? RhythmSet::fromClassicBits(*classicBits) : defaultPracticeRhythms();
}

RhythmSet answerChoicesFor(RhythmSet inPlay) {
    RhythmSet choices;
    if (!(inPlay & RhythmSet::classic()).empty()) {
        choices = choices | RhythmSet::classic();
    }
    if (!(inPlay & RhythmSet::library()).empty()) {
        choices = choices | RhythmSet::library();
    }
    return choices;
}

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// A rhythm index 0..17 written in decimal, or -1.
int readIndex(std::string_view text) {
    if (text.empty() || text.size() > 2) {
        return -1;
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value * 10 + (c - '0');
    }
    return value < rhythmCount ? value : -1;
}

std::string quoted(std::string_view text) {
    std::string result;
    result.reserve(text.size() + 2);
    result += '"';
    result += text;
    result += '"';
    return result;
}

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A rhythm id, a family id, "classic" or "library"; none for anything else.
std::optional<RhythmSet> readName(std::string_view name) {
    if (const std::optional<Rhythm> rhythm = parseRhythmId(name)) {
        return RhythmSet::of({*rhythm});
    }
    if (name == classicGroupId) {
        return RhythmSet::classic();
    }
    if (name == libraryGroupId) {
        return RhythmSet::library();
    }
    for (const LibraryFamily family : allFamilies) {
        if (familyId(family) == name) {
            return RhythmSet::family(family);
        }
    }
    return std::nullopt;
}

} // namespace

RhythmListResult parseRhythmList(std::string_view text) {
    RhythmListResult result;
    const std::string range = "0-" + std::to_string(rhythmCount - 1);
    if (trimmed(text).empty()) {
        result.error = "empty rhythm list: give rhythm numbers " + range +
                       ", ids or families, e.g. 0,4,10-11 or sinus,mobitz_1";
        return result;
    }
    for (;;) {
        const std::size_t comma = text.find(',');
        const std::string_view item = trimmed(text.substr(0, comma));
        if (item.empty()) {
            result.error = "empty item in rhythm list (two commas in a row, or one at an end)";
            return result;
        }
        const std::size_t dash = item.find('-');
        if (dash == std::string_view::npos && !allDigits(item)) {
            const std::optional<RhythmSet> named = readName(item);
            if (!named) {
                result.error =
                    "not a rhythm number in " + range + ", rhythm id or family: " + quoted(item);
                return result;
            }
            result.rhythms = result.rhythms | *named;
        } else {
            const std::string_view firstText = trimmed(item.substr(0, dash));
            const std::string_view lastText =
                dash == std::string_view::npos ? firstText : trimmed(item.substr(dash + 1));
            const int first = readIndex(firstText);
            const int last = readIndex(lastText);
            if (firstText.empty() || lastText.empty()) {
                result.error = "incomplete range in rhythm list: " + quoted(item);
                return result;
            }
            if (first < 0 || last < 0) {
                result.error = "not a rhythm number in " + range + ": " +
                               quoted(first < 0 ? firstText : lastText) + " in " + quoted(item);
                return result;
            }
            if (first > last) {
                result.error = "range runs backwards: " + quoted(item);
                return result;
            }
            for (int index = first; index <= last; ++index) {
                result.rhythms.insert(static_cast<Rhythm>(index));
            }
        }
        if (comma == std::string_view::npos) {
            return result;
        }
        text.remove_prefix(comma + 1);
    }
}

std::string formatRhythmList(RhythmSet rhythms) {
    std::string text;
    const auto add = [&text](std::string_view item) {
        if (!text.empty()) {
            text += ',';
        }
        text += item;
    };
    int index = 0;
    while (index < rhythmCount) {
        if (!rhythms.contains(static_cast<Rhythm>(index))) {
            ++index;
            continue;
        }
        int last = index;
        while (last + 1 < rhythmCount && rhythms.contains(static_cast<Rhythm>(last + 1))) {
            ++last;
        }
        add(std::to_string(index));
        if (last > index) {
            text += (last == index + 1 ? ',' : '-') + std::to_string(last);
        }
        index = last + 1;
    }
    if (RhythmSet::library().isSubsetOf(rhythms)) {
        add(libraryGroupId);
        return text;
    }
    for (const LibraryFamily family : allFamilies) {
        const RhythmSet members = RhythmSet::family(family);
        if (members.isSubsetOf(rhythms)) {
            add(familyId(family));
            continue;
        }
        for (const Rhythm rhythm : (members & rhythms).list()) {
            add(rhythmId(rhythm));
        }
    }
    return text;
}

} // namespace pulsavo
