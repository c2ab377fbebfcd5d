#pragma once

#include "Rhythm.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pulsavo {

// A subset of the 18 rhythms as a bit mask: bit i is the rhythm with index i.
class RhythmSet {
public:
    static constexpr std::uint32_t allBits = (1U << rhythmCount) - 1;

    constexpr RhythmSet() = default;
    static constexpr RhythmSet all() { return fromBits(allBits); }
    // Bits above the 18 rhythms are dropped.
    static constexpr RhythmSet fromBits(std::uint32_t bits) {
        RhythmSet set;
        set.mask = bits & allBits;
        return set;
    }
    static RhythmSet of(std::initializer_list<Rhythm> rhythms) {
        RhythmSet set;
        for (const Rhythm rhythm : rhythms) {
            set.insert(rhythm);
        }
        return set;
    }

    constexpr std::uint32_t bits() const { return mask; }
    constexpr bool contains(Rhythm rhythm) const { return (mask >> indexOf(rhythm) & 1U) != 0; }
    constexpr void insert(Rhythm rhythm) { mask |= 1U << indexOf(rhythm); }
    constexpr void erase(Rhythm rhythm) { mask &= ~(1U << indexOf(rhythm)); }
    constexpr bool empty() const { return mask == 0; }
    int size() const;
    // In index order.
    std::vector<Rhythm> list() const;

    friend constexpr bool operator==(RhythmSet, RhythmSet) = default;

private:
    std::uint32_t mask = 0;
};

struct RhythmListResult {
    RhythmSet rhythms;
    std::string error; // empty when the list was read
    bool ok() const { return error.empty(); }
};

// Reads a list of rhythm indices such as "0,4,5,10-11" (ranges inclusive, spaces allowed,
// repeats harmless). On failure `error` is one line naming the offending item.
RhythmListResult parseRhythmList(std::string_view text);

// The shortest list parseRhythmList reads back as `rhythms`, e.g. "0,4-5,10-11".
std::string formatRhythmList(RhythmSet rhythms);

} // namespace pulsavo
