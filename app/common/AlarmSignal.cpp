#include "AlarmSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pulsavo {

namespace {
constexpr double loudness = 0.25 * 32767;
}

AlarmSignal::AlarmSignal(int sampleRate)
    : sampleRate(std::max(sampleRate, ticksPerSecond)),
      framesPerTick(std::max(sampleRate, ticksPerSecond) / ticksPerSecond) {}

void AlarmSignal::play(AlarmPriority priority, int phaseTicks) {
    pattern = &patternOf(priority);
    position = static_cast<std::int64_t>(std::clamp(phaseTicks, 0, pattern->repeatTicks - 1)) *
               framesPerTick;
    playing = true;
}

double AlarmSignal::pulseSample(std::int64_t intoPulse, std::int64_t pulseFrames) const {
    const auto ramp = std::max<std::int64_t>(1, pulseFrames * 15 / 100);
    const double envelope =
        std::min({1.0, static_cast<double>(intoPulse) / static_cast<double>(ramp),
                  static_cast<double>(pulseFrames - intoPulse) / static_cast<double>(ramp)});
    const double t = static_cast<double>(intoPulse) / sampleRate;
    double sum = 0;
    for (int k = 1; k <= harmonics; ++k) {
        sum += std::sin(2 * std::numbers::pi * fundamentalHz * k * t) / k;
    }
    // The harmonics together reach about 1.5 times the fundamental's height.
    return loudness * envelope * sum / 1.5;
}

void AlarmSignal::render(std::int16_t* out, std::size_t frames) {
    if (!playing || pattern == nullptr) {
        std::fill(out, out + frames, std::int16_t{0});
        return;
    }
    const std::int64_t cycle = std::int64_t{pattern->repeatTicks} * framesPerTick;
    const std::int64_t pulseFrames = std::int64_t{pattern->pulseTicks} * framesPerTick;
    for (std::size_t i = 0; i < frames; ++i) {
        double value = 0;
        for (int p = 0; p < pattern->pulses; ++p) {
            const std::int64_t into =
                position -
                std::int64_t{pattern->starts[static_cast<std::size_t>(p)]} * framesPerTick;
            if (into >= 0 && into < pulseFrames) {
                value = pulseSample(into, pulseFrames);
                break;
            }
        }
        out[i] = static_cast<std::int16_t>(std::lround(std::clamp(value, -32767.0, 32767.0)));
        position = (position + 1) % cycle;
    }
}

void AlarmFollower::follow(const Alarms& alarms, AlarmSink& sink) {
    const std::optional<AlarmPriority> now = alarms.soundingPattern();
    if (now == played && (!now || alarms.burstStarts() == starts)) {
        return;
    }
    played = now;
    starts = alarms.burstStarts();
    if (now) {
        sink.play(*now, alarms.burstPhase());
    } else {
        sink.stop();
    }
}

} // namespace pulsavo
