#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace pulsavo {

// The classic C runtime generator (srand/rand): one seed always gives one trace, so an
// instructor can reproduce a strip from the seed printed on it.
class RandomSource {
public:
    static constexpr int maxValue = 0x7FFF;

    void seed(std::uint32_t value) { state = value; }

    int next() {
        state = state * multiplier + increment;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }

    // Repeats next() until the value lies in lo..hi; starts from 0, so a range that contains
    // 0 draws nothing at all.
    int drawInRange(int lo, int hi) {
        if (lo < 1 || lo > maxValue || lo > hi) {
            int value = 0;
            while (value < lo || value > hi) {
                value = next();
            }
            return value;
        }
        // A narrow range rejects thousands of values in a row, and one next() after another is
        // a chain of dependent multiplications. Instead the states 1 to `lanes` steps ahead are
        // computed side by side from the same state, which vectorises, and the first of them in
        // range is taken: the values drawn and the state left are exactly those of next().
        // In range means lo <= bits 16..30 <= hi, tested as one unsigned comparison on the
        // state shifted left by one (bit 31 drops out, the low 16 bits stay below the limit).
        // `found` is an integer because g++ 12 does not vectorise an or over bools.
        const std::uint32_t base = static_cast<std::uint32_t>(lo) << 17;
        const std::uint32_t limit =
            (static_cast<std::uint32_t>(std::min(hi, maxValue) - lo) << 17) | 0x1FFFFu;
        for (;;) {
            std::uint32_t ahead[lanes];
            for (int k = 0; k < lanes; ++k) {
                ahead[k] = state * jumps.multipliers[k] + jumps.increments[k];
            }
            std::uint32_t found = 0;
            for (int k = 0; k < lanes; ++k) {
                found |= (ahead[k] << 1) - base <= limit;
            }
            if (found != 0) {
                for (int k = 0;; ++k) {
                    if ((ahead[k] << 1) - base <= limit) {
                        state = ahead[k];
                        return static_cast<int>((state >> 16) & 0x7FFF);
                    }
                }
            }
            state = ahead[lanes - 1];
        }
    }

    std::uint32_t state = 1;

private:
    static constexpr std::uint32_t multiplier = 214013u;
    static constexpr std::uint32_t increment = 2531011u;
    static constexpr int lanes = 32;

    // Entry k advances the state k + 1 steps at once: state * multipliers[k] + increments[k].
    struct Jumps {
        std::array<std::uint32_t, lanes> multipliers;
        std::array<std::uint32_t, lanes> increments;
    };
    static constexpr Jumps jumps = [] {
        Jumps table{};
        std::uint32_t m = 1u;
        std::uint32_t c = 0u;
        for (int k = 0; k < lanes; ++k) {
            m *= multiplier;
            c = c * multiplier + increment;
            table.multipliers[k] = m;
            table.increments[k] = c;
        }
        return table;
    }();
};

} // namespace pulsavo
