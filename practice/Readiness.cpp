#include "Readiness.h"

#include "RhythmSet.h"

namespace pulsavo {

std::vector<ReadinessArea> readiness(std::span<const std::array<int, 2>, totalRhythmCount> tally) {
    const std::vector<RhythmGroup> groups = rhythmGroups();
    std::vector<ReadinessArea> areas;
    for (std::size_t place = 0; place < groups.size(); ++place) {
        ReadinessArea area{place, 0, 0};
        for (const Rhythm rhythm : groups[place].rhythms.list()) {
            const std::array<int, 2>& counts = tally[static_cast<std::size_t>(indexOf(rhythm))];
            area.attempts += counts[0];
            area.correct += counts[1];
        }
        areas.push_back(area);
    }
    return areas;
}

} // namespace pulsavo
