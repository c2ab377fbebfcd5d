#include "Pleth.h"

#include <algorithm>
#include <cmath>

namespace pulsavo {

namespace {

constexpr int templateLength = 100;

// One pulse over 100 steps: a steep upstroke, the systolic peak, the dicrotic notch and wave,
// a slow diastolic run-off. Worked out once, resampled to each pulse's length.
const std::array<float, templateLength + 1>& pulseTemplate() {
    static const std::array<float, templateLength + 1> shape = [] {
        std::array<float, templateLength + 1> values{};
        for (int i = 0; i <= templateLength; ++i) {
            const double x = static_cast<double>(i) / templateLength;
            const double rise = x < 0.16 ? 0.5 - 0.5 * std::cos(x / 0.16 * 3.14159265) : 1.0;
            const double fall = x < 0.16 ? 1.0 : std::exp(-(x - 0.16) * 3.2);
            const double notch = 0.12 * std::exp(-std::pow((x - 0.46) / 0.06, 2));
            const double end = x > 0.85 ? (1 - x) / 0.15 : 1.0;
            values[static_cast<std::size_t>(i)] = static_cast<float>((rise * fall + notch) * end);
        }
        return values;
    }();
    return shape;
}

} // namespace

void Pleth::reset() {
    ring.fill(0);
    lastPeak = 0;
    lastPulseTick = 0;
    meanRr = 0;
}

std::optional<WaveEvent> Pleth::onComplex(const WaveEvent& complex, bool pulseless) {
    const std::int64_t peak = complex.peakTick();
    const std::int64_t rr = lastPeak > 0 ? peak - lastPeak : 0;
    lastPeak = std::max(lastPeak, peak);
    if (pulseless || (rr > 0 && rr < fillingTicks)) {
        return std::nullopt;
    }
    float strength = 1;
    if (rr > 0) {
        const auto interval = static_cast<float>(rr);
        // A pause counts as two beats' time at most, so the beats after it are not weakened.
        meanRr = meanRr == 0 ? interval : meanRr + (std::min(interval, 2 * meanRr) - meanRr) / 4;
        const float ratio = interval / meanRr;
        strength = std::clamp(ratio * ratio, 0.15F, 1.25F);
    }
    const std::int64_t foot = peak + transitTicks;
    const int length = std::clamp(static_cast<int>(rr > 0 ? rr : 80) * 9 / 10, 20, longestPulse);
    if (foot - stepped < 1 || foot + length - stepped >= ringLength) {
        return std::nullopt; // cannot happen: waves are laid at most a queue's length ahead
    }
    // Resampled in 16.16 fixed point: no division per sample.
    const auto& shape = pulseTemplate();
    const int stride = (templateLength << 16) / length;
    auto slot = static_cast<std::size_t>(foot % ringLength);
    for (int i = 0, at = 0; i < length; ++i, at += stride) {
        ring[slot] += static_cast<int>(unitsPerPercent * 100 * strength *
                                       shape[static_cast<std::size_t>(at >> 16)]);
        slot = (slot + 1) % ringLength;
    }
    WaveEvent pulse;
    pulse.tick = foot;
    pulse.kind = WaveKind::pulse;
    pulse.role = complex.role;
    pulse.length = length;
    pulse.beat = complex.beat;
    pulse.peak = length * 16 / 100;
    return pulse;
}

int Pleth::step(std::int64_t tick) {
    stepped = tick;
    int& slot = ring[static_cast<std::size_t>(tick % ringLength)];
    const int sample = (slot + unitsPerPercent / 2) / unitsPerPercent;
    if (sample > 0) {
        lastPulseTick = tick;
    }
    slot = 0;
    return sample;
}

std::optional<int> Pleth::saturation() const {
    if (lastPulseTick == 0 || stepped - lastPulseTick > saturationHoldTicks) {
        return std::nullopt;
    }
    return saturationPercent;
}

} // namespace pulsavo
