#include "Waveform.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pulsavo::conduction {

namespace {

// Shapes are drawn on every beat, continuous waves many times a second: tables instead of
// calls to cos and sin keep a wave's cost to a few nanoseconds a step.
constexpr int tableSize = 512;

struct Tables {
    std::array<float, tableSize + 2> bump{}; // 0.5 (1 + cos(pi x)) for x in [0, 1]
    std::array<float, tableSize + 2> sine{}; // sin(2 pi x) for x in [0, 1]
    Tables() {
        for (int i = 0; i <= tableSize + 1; ++i) {
            const double x = static_cast<double>(i) / tableSize;
            bump[static_cast<std::size_t>(i)] =
                static_cast<float>(0.5 * (1 + std::cos(std::numbers::pi * x)));
            sine[static_cast<std::size_t>(i)] =
                static_cast<float>(std::sin(2 * std::numbers::pi * x));
        }
    }
};

const Tables& tables() {
    static const Tables instance;
    return instance;
}

float lookup(const std::array<float, tableSize + 2>& table, float x) {
    const float position = x * tableSize;
    const auto index = static_cast<int>(position);
    const float fraction = position - static_cast<float>(index);
    const auto at = static_cast<std::size_t>(index);
    return table[at] + (table[at + 1] - table[at]) * fraction;
}

// sin(2 pi x) for any x >= 0.
float turn(float x) {
    return lookup(tables().sine, x - std::floor(x));
}

int rounded(float value) {
    return static_cast<int>(value < 0 ? value - 0.5F : value + 0.5F);
}

} // namespace

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
                sum += bump.height * lookup(tables().bump, distance);
            }
        }
        return sum;
    }
    case Profile::sawtooth: {
        // Lead II: a slow fall to the trough over most of the cycle, a quicker climb back.
        const float turn = last * 0.7F;
        return t <= turn ? -amplitude * t / turn : -amplitude * (last - t) / (last - turn);
    }
    case Profile::shock:
        return t < 1 ? -amplitude : 0.4F * amplitude * std::exp((1 - t) / 6);
    case Profile::sine:
        break; // drawn by render() in one loop
    }
    return 0;
}

void Waveform::render(float gain, std::span<int> heights) const {
    const int steps = std::min(length, static_cast<int>(heights.size()));
    if (steps <= 0) {
        return;
    }
    if (profile == Profile::sine) {
        // The sine's own loop: the harmonic's phase and offset are worked out once a wave.
        const Tables& table = tables();
        const auto last = static_cast<float>(length - 1);
        const float shift = phase / (2 * std::numbers::pi_v<float>);
        const float offset = harmonic * turn(shift);
        for (int i = 0; i < steps - 1; ++i) {
            const float x = static_cast<float>(i) / last;
            float second = 2 * x + shift;
            // 2x + shift lies in [0, 3): two subtractions at most, no floor call.
            second -= second >= 2 ? 2.0F : second >= 1 ? 1.0F : 0.0F;
            const float value =
                lookup(table.sine, x) + harmonic * lookup(table.sine, second) - offset * (1 - x);
            heights[static_cast<std::size_t>(i)] = rounded(gain * amplitude * value);
        }
    } else {
        for (int i = 0; i < steps - 1; ++i) {
            heights[static_cast<std::size_t>(i)] = rounded(gain * heightAt(i));
        }
    }
    heights[static_cast<std::size_t>(steps - 1)] = 0;
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

Waveform Waveform::shock(int length, float depth) {
    Waveform wave = ofLength(length);
    wave.profile = Profile::shock;
    wave.amplitude = depth;
    return wave;
}

} // namespace pulsavo::conduction
