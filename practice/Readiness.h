#pragma once

#include "RhythmLibrary.h"

#include <array>
#include <cstddef>
#include <span>
#include <vector>

namespace pulsavo {

// Readiness for a telemetry test: accuracy per area of its outline (the library's families, then
// the classic 18, as rhythmGroups() orders them); an area is ready at 85 % or more.
inline constexpr int readyPercent = 85;

struct ReadinessArea {
    std::size_t group = 0; // place in rhythmGroups()
    int attempts = 0;
    int correct = 0;

    bool answered() const { return attempts > 0; }
    bool ready() const { return answered() && 100 * correct >= readyPercent * attempts; }
    int percent() const { return attempts > 0 ? 100 * correct / attempts : 0; }
};

// One area per group from each rhythm's {attempts, correct}, indexed by rhythm index.
std::vector<ReadinessArea> readiness(std::span<const std::array<int, 2>, totalRhythmCount> tally);

} // namespace pulsavo
