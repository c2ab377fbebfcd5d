#include "RhythmSet.h"

#include <bit>

namespace pulsavo {

int RhythmSet::size() const {
    return std::popcount(mask);
}

std::vector<Rhythm> RhythmSet::list() const {
    std::vector<Rhythm> rhythms;
    rhythms.reserve(static_cast<std::size_t>(size()));
    for (const Rhythm rhythm : allRhythms) {
        if (contains(rhythm)) {
            rhythms.push_back(rhythm);
        }
    }
    return rhythms;
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

} // namespace

RhythmListResult parseRhythmList(std::string_view text) {
    RhythmListResult result;
    const std::string range = "0-" + std::to_string(rhythmCount - 1);
    if (trimmed(text).empty()) {
        result.error = "empty rhythm list: give rhythm numbers " + range + ", e.g. 0,4,10-11";
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
        if (comma == std::string_view::npos) {
            return result;
        }
        text.remove_prefix(comma + 1);
    }
}

std::string formatRhythmList(RhythmSet rhythms) {
    std::string text;
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
        if (!text.empty()) {
            text += ',';
        }
        text += std::to_string(index);
        if (last > index) {
            text += (last == index + 1 ? ',' : '-') + std::to_string(last);
        }
        index = last + 1;
    }
    return text;
}

} // namespace pulsavo
