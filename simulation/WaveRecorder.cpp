#include "WaveRecorder.h"

#include <algorithm>

namespace pulsavo {

WaveRecorder::WaveRecorder(std::size_t capacity) : ring(std::max<std::size_t>(1, capacity)) {}

void WaveRecorder::onWave(const WaveEvent& event) {
    if (count == ring.size()) {
        // Waves are laid ahead of the present by differing offsets, so the one overwritten is
        // the oldest laid, not necessarily the earliest tick.
        complete = std::max(complete, ring[next].tick + 1);
    } else {
        ++count;
    }
    ring[next] = event;
    next = (next + 1) % ring.size();
}

void WaveRecorder::clear() {
    next = 0;
    count = 0;
    complete = 1;
}

std::vector<WaveEvent> WaveRecorder::events(std::int64_t firstTick, std::int64_t lastTick) const {
    std::vector<WaveEvent> kept;
    std::size_t at = (next + ring.size() - count) % ring.size();
    for (std::size_t i = 0; i < count; ++i) {
        const WaveEvent& event = ring[at];
        if (event.tick >= firstTick && event.tick <= lastTick) {
            kept.push_back(event);
        }
        at = (at + 1) % ring.size();
    }
    std::stable_sort(kept.begin(), kept.end(),
                     [](const WaveEvent& a, const WaveEvent& b) { return a.tick < b.tick; });
    return kept;
}

} // namespace pulsavo
