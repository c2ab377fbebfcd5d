#pragma once

#include "WaveEvent.h"

#include <array>
#include <cstdint>
#include <optional>

namespace pulsavo {

// The beat tone of a bedside monitor that follows the QRS: one tone at the peak of every QRS
// complex and every ventricular beat, whatever its height or direction. A height threshold
// misses the beats of a ventricular tachycardia that start on the tail of the one before and
// every inverted beat; the wave events know each complex and when its peak is drawn.
//
// Listen to the simulation (Simulation::setWaveListener, directly or through the caller's own
// listener), then ask sounds() once per tick after step(), with Simulation::tickCount.
class QrsTone : public WaveListener {
public:
    void onWave(const WaveEvent& event) override;

    // Whether the tone sounds on `tick`. Ticks are asked in increasing order; peaks before the
    // tick asked are forgotten. Several complexes peaking on one tick give one tone.
    bool sounds(std::int64_t tick);

    void clear() { count = 0; }
    int pending() const { return count; }
    // The earliest peak still to sound, or none; after sounds(tick), a tick after `tick`.
    std::optional<std::int64_t> nextPeak() const {
        return count > 0 ? std::optional<std::int64_t>(peaks[0]) : std::nullopt;
    }

    // Far more than can be pending: the queue reaches 210 ticks ahead and complexes come at
    // least 17 ticks apart, also while a previous rhythm's waves play out.
    static constexpr int capacity = 64;

private:
    std::array<std::int64_t, capacity> peaks{}; // ascending
    int count = 0;
};

} // namespace pulsavo
