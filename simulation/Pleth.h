#pragma once

#include "WaveEvent.h"

#include <array>
#include <cstdint>
#include <optional>

namespace pulsavo {

// The pulse oximeter's channel: a pulse wave at the finger for every ventricular beat that
// ejects blood, one sample per tick, and the saturation it reads while it sees pulses.
// Samples are in percent of a full pulse's height above the trough (0 with no pulse).
class Pleth {
public:
    // R peak to the foot of the finger's pulse: the pulse transit time, about 220 ms.
    static constexpr int transitTicks = 22;
    // Ventricles that contract sooner than this after the last beat have not filled and eject
    // nothing; beats close to it give a pulse that is barely seen.
    static constexpr int fillingTicks = 22;
    // The saturation is shown while a pulse was seen in this many ticks.
    static constexpr int saturationHoldTicks = 1000;

    // The pulse a ventricular complex gives, to be reported, or none when `pulseless` (PEA,
    // pulseless VT) or the ventricles had no time to fill. Its strength follows the R–R before
    // it against the running mean: weaker after a premature beat, stronger after a pause.
    std::optional<WaveEvent> onComplex(const WaveEvent& complex, bool pulseless);
    // The sample for `tick`; ticks are stepped in order.
    int step(std::int64_t tick);
    void reset();

    void setSaturation(int percent) { saturationPercent = percent; }
    int saturationSetting() const { return saturationPercent; }
    // The SpO2 a monitor shows on `tick` (the last stepped), none while it sees no pulse.
    std::optional<int> saturation() const;

private:
    static constexpr int ringLength = 512;
    static constexpr int longestPulse = 90;

    // The pulses laid ahead, summed where they overlap, in 1/256 of a percent.
    static constexpr int unitsPerPercent = 256;
    std::array<int, ringLength> ring{};
    std::int64_t lastPeak = 0;
    std::int64_t lastPulseTick = 0;
    std::int64_t stepped = 0;
    float meanRr = 0;
    int saturationPercent = 98;
};

} // namespace pulsavo
