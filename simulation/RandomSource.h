#pragma once

#include <cstdint>

namespace pulsavo {

// The classic C runtime generator (srand/rand): one seed always gives one trace, so an
// instructor can reproduce a strip from the seed printed on it.
class RandomSource {
public:
    static constexpr int maxValue = 0x7FFF;

    void seed(std::uint32_t value) { state = value; }

    int next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }

    // Repeats next() until the value lies in lo..hi; starts from 0, so a range that contains
    // 0 draws nothing at all.
    int drawInRange(int lo, int hi) {
        int value = 0;
        while (value < lo || value > hi) {
            value = next();
        }
        return value;
    }

    std::uint32_t state = 1;
};

} // namespace pulsavo
