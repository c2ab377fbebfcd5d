#pragma once

#include <cstdint>

namespace pulsavo {

// splitmix64 with rejection sampling: fully specified arithmetic, so one seed gives the same
// questions on every platform and standard library (the standard distributions do not).
class SeededRandom {
public:
    explicit SeededRandom(std::uint64_t seed = 0) : state(seed) {}

    std::uint64_t next() {
        state += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    std::uint32_t next32() { return static_cast<std::uint32_t>(next() >> 32); }

    // Uniform in 0..bound-1 (bound > 0): values from the short top end of the 32-bit range are
    // drawn again, so that no result is more likely than another.
    std::uint32_t below(std::uint32_t bound) {
        const std::uint32_t threshold = (0U - bound) % bound;
        for (;;) {
            const std::uint32_t value = next32();
            if (value >= threshold) {
                return value % bound;
            }
        }
    }

private:
    std::uint64_t state;
};

} // namespace pulsavo
