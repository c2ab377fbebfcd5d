#include "QrsTone.h"

#include <algorithm>

namespace pulsavo {

void QrsTone::onWave(const WaveEvent& event) {
    if (!isVentricularComplex(event.kind) || event.role == WaveRole::missing) {
        return;
    }
    const std::int64_t peak = event.peakTick();
    auto* const end = peaks.begin() + count;
    auto* const at = std::lower_bound(peaks.begin(), end, peak);
    if (at != end && *at == peak) {
        return;
    }
    if (count == capacity) {
        // Cannot happen with the generators' spacing; if it did, the latest peak is the one
        // that waits longest and is dropped.
        if (at == end) {
            return;
        }
        --count;
    }
    std::copy_backward(at, peaks.begin() + count, peaks.begin() + count + 1);
    *at = peak;
    ++count;
}

bool QrsTone::sounds(std::int64_t tick) {
    int passed = 0;
    while (passed < count && peaks[static_cast<std::size_t>(passed)] < tick) {
        ++passed;
    }
    const bool now = passed < count && peaks[static_cast<std::size_t>(passed)] == tick;
    if (now) {
        ++passed;
    }
    if (passed > 0) {
        std::copy(peaks.begin() + passed, peaks.begin() + count, peaks.begin());
        count -= passed;
    }
    return now;
}

} // namespace pulsavo
