#pragma once

#include "WaveEvent.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pulsavo {

// Keeps the last `capacity` waves reported, in a ring allocated once: recording a wave costs a
// copy and no allocation, so it may listen to a simulation stepped every 10 ms.
class WaveRecorder : public WaveListener {
public:
    explicit WaveRecorder(std::size_t capacity);

    void onWave(const WaveEvent& event) override;
    void clear();

    std::size_t size() const { return count; }
    std::size_t capacity() const { return ring.size(); }

    // The waves kept whose first step is drawn on a tick in [firstTick, lastTick], ordered by
    // that tick (waves of one tick in the order they were laid).
    std::vector<WaveEvent> events(std::int64_t firstTick, std::int64_t lastTick) const;

    // Every wave starting on this tick or later is still kept; before it some may have been
    // overwritten. 1 while none was.
    std::int64_t completeFrom() const { return complete; }

private:
    std::vector<WaveEvent> ring;
    std::size_t next = 0;
    std::size_t count = 0;
    std::int64_t complete = 1;
};

} // namespace pulsavo
