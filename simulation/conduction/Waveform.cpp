#include "Waveform.h"

#include <cmath>
#include <numbers>

namespace pulsavo::conduction {

Waveform& Waveform::add(float centre, float halfWidth, float height) {
    if (count < maxBumps) {
        bumps[static_cast<std::size_t>(count++)] = {centre, halfWidth, height};
    }
    return *this;
}

float Waveform::heightAt(int step) const {
    if (step < 0 || step >= length - 1) {
        return 0;
    }
    const auto t = static_cast<float>(step);
    const auto last = static_cast<float>(length - 1);
    switch (profile) {
    case Profile::bumps: {
        float sum = 0;
        for (int i = 0; i < count; ++i) {
            const Bump& bump = bumps[static_cast<std::size_t>(i)];
            const float distance = std::abs(t - bump.centre) / bump.halfWidth;
            if (distance < 1) {
                sum += bump.height * 0.5F * (1 + std::cos(std::numbers::pi_v<float> * distance));
            }
        }
        return sum;
    }
    case Profile::sawtooth: {
        // Lead II: a slow fall to the trough over most of the cycle, a quicker climb back.
        const float turn = last * 0.7F;
        return t <= turn ? -amplitude * t / turn : -amplitude * (last - t) / (last - turn);
    }
    case Profile::sine: {
        const float angle = 2 * std::numbers::pi_v<float> * t / last;
        return amplitude * (std::sin(angle) + harmonic * std::sin(2 * angle + phase) -
                            harmonic * std::sin(phase) * (1 - t / last));
    }
    }
    return 0;
}

Waveform Waveform::sawtooth(int length, float depth) {
    Waveform wave = ofLength(length);
    wave.profile = Profile::sawtooth;
    wave.amplitude = depth;
    return wave;
}

Waveform Waveform::sine(int length, float amplitude, float harmonic, float phase) {
    Waveform wave = ofLength(length);
    wave.profile = Profile::sine;
    wave.amplitude = amplitude;
    wave.harmonic = harmonic;
    wave.phase = phase;
    return wave;
}

} // namespace pulsavo::conduction
