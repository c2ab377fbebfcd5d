#pragma once

#include "Rhythm.h"
#include "RhythmLibrary.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pulsavo {

// A subset of every rhythm the program plays, the classic 18 and the library, as a bit mask:
// bit i is the rhythm with index i.
class RhythmSet {
public:
    // The classic 18 as the 18-bit mask that version-1 exam codes and the practice settings
    // of earlier releases store.
    static constexpr std::uint32_t allClassicBits = (1U << rhythmCount) - 1;

    constexpr RhythmSet() = default;
    static constexpr RhythmSet classic() { return fromClassicBits(allClassicBits); }
    static constexpr RhythmSet library() {
        RhythmSet set;
        for (const LibraryRhythm rhythm : allLibraryRhythms) {
            set.insert(rhythmOf(rhythm));
        }
        return set;
    }
    static constexpr RhythmSet every() { return classic() | library(); }
    static constexpr RhythmSet family(LibraryFamily family) {
        RhythmSet set;
        for (const LibraryRhythm rhythm : allLibraryRhythms) {
            if (infoOf(rhythm).family == family) {
                set.insert(rhythmOf(rhythm));
            }
        }
        return set;
    }
    // Bits above the 18 classic rhythms are dropped.
    static constexpr RhythmSet fromClassicBits(std::uint32_t bits) {
        RhythmSet set;
        set.words[0] = bits & allClassicBits;
        return set;
    }
    // The masks wordAt() gives; bits past the last rhythm are dropped.
    static constexpr RhythmSet fromWords(std::uint64_t low, std::uint64_t high) {
        RhythmSet set;
        set.words = {low, high};
        return set & every();
    }
    static constexpr RhythmSet of(std::initializer_list<Rhythm> rhythms) {
        RhythmSet set;
        for (const Rhythm rhythm : rhythms) {
            set.insert(rhythm);
        }
        return set;
    }

    // The classic part only, as fromClassicBits reads it.
    constexpr std::uint32_t classicBits() const {
        return static_cast<std::uint32_t>(words[0]) & allClassicBits;
    }
    constexpr bool contains(Rhythm rhythm) const {
        return valid(rhythm) && (words[word(rhythm)] >> bit(rhythm) & 1U) != 0;
    }
    // Values outside the 67 rhythms are ignored.
    constexpr void insert(Rhythm rhythm) {
        if (valid(rhythm)) {
            words[word(rhythm)] |= std::uint64_t{1} << bit(rhythm);
        }
    }
    constexpr void erase(Rhythm rhythm) {
        if (valid(rhythm)) {
            words[word(rhythm)] &= ~(std::uint64_t{1} << bit(rhythm));
        }
    }
    constexpr bool empty() const { return words[0] == 0 && words[1] == 0; }
    constexpr bool isSubsetOf(RhythmSet other) const { return (*this & other) == *this; }
    int size() const;
    // In index order: the classic 18, then the library.
    std::vector<Rhythm> list() const;
    // Bit i of word w (0 or 1) is the rhythm with index 64 * w + i.
    constexpr std::uint64_t wordAt(int w) const { return words[w == 0 ? 0 : 1]; }

    friend constexpr RhythmSet operator|(RhythmSet a, RhythmSet b) {
        a.words[0] |= b.words[0];
        a.words[1] |= b.words[1];
        return a;
    }
    friend constexpr RhythmSet operator&(RhythmSet a, RhythmSet b) {
        a.words[0] &= b.words[0];
        a.words[1] &= b.words[1];
        return a;
    }
    friend constexpr bool operator==(RhythmSet, RhythmSet) = default;

private:
    static constexpr bool valid(Rhythm rhythm) { return anyRhythmAt(indexOf(rhythm)).has_value(); }
    static constexpr std::size_t word(Rhythm rhythm) {
        return static_cast<std::size_t>(indexOf(rhythm) / 64);
    }
    static constexpr int bit(Rhythm rhythm) { return indexOf(rhythm) % 64; }

    std::array<std::uint64_t, 2> words{};
};

static_assert(totalRhythmCount <= 128, "RhythmSet holds 128 rhythms");

// The groups a learner chooses rhythms by: the library's families and the classic 18 as one
// set. Group ids are the family ids ("sinus", "av_block", ...) and "classic".
struct RhythmGroup {
    std::string_view id;
    RhythmSet rhythms;
};
inline constexpr std::string_view classicGroupId = "classic";
inline constexpr std::string_view libraryGroupId = "library";
// The 8 families in library order, then the classic 18.
std::vector<RhythmGroup> rhythmGroups();

// What a practice round offers before the learner has chosen: the library.
RhythmSet defaultPracticeRhythms();

// The rhythms a practice set-up left saved: its list as formatRhythmList wrote it (empty: none
// chosen), else the classic mask that releases before the library saved, else the default. A
// list that does not read falls back the same way.
RhythmSet savedPracticeRhythms(const std::optional<std::string>& list,
                               std::optional<std::uint32_t> classicBits);

// The names a learner answers from while `inPlay` is asked: the classic 18 when any classic
// rhythm is in play, the library when any library rhythm is, so that a classic round looks
// as it always has and a rhythm is never asked without its own name among the answers.
RhythmSet answerChoicesFor(RhythmSet inPlay);

struct RhythmListResult {
    RhythmSet rhythms;
    std::string error; // empty when the list was read
    bool ok() const { return error.empty(); }
};

// Reads a list such as "0,4,5,10-11" or "sinus_bradycardia,mobitz_1,av_block": classic
// numbers and ranges of them (inclusive, spaces allowed, repeats harmless), rhythm ids
// (rhythmId), family ids, "classic" (the 18) and "library" (the 49). On failure `error` is one
// line naming the offending item.
RhythmListResult parseRhythmList(std::string_view text);

// The shortest list parseRhythmList reads back as `rhythms`: the classic part as numbers
// ("0,4-5,10-11", as earlier releases wrote it), then "library", whole families or ids.
std::string formatRhythmList(RhythmSet rhythms);

} // namespace pulsavo
