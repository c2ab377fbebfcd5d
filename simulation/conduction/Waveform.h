#pragma once

#include <array>
#include <span>

namespace pulsavo::conduction {

// The shape of one wave at the monitor's scale: heights in pixels above the baseline (about
// 4 px to the millimetre at 10 mm/mV, so the R wave of a normal beat, 42 px, is about 1 mV),
// one sample per 10 ms step. A shape is a sum of smooth bumps (P, QRS, T, ventricular
// complexes), a sawtooth (flutter waves), a sine with a harmonic (fibrillation, torsades) or a
// shock. It always ends on the baseline, so laying it never moves the trace's resting level.
struct Waveform {
    enum class Profile { bumps, sawtooth, sine, shock };
    static constexpr int maxLength = 64;
    static constexpr int maxBumps = 4;

    struct Bump {
        float centre = 0;    // step of the bump's top
        float halfWidth = 1; // steps from the top to where it meets the baseline
        float height = 0;    // pixels, up positive
    };

    Profile profile = Profile::bumps;
    int length = 0; // steps; the last one is always back on the baseline
    int count = 0;
    std::array<Bump, maxBumps> bumps{};
    float amplitude = 0; // sawtooth depth, sine amplitude
    float harmonic = 0;  // sine: share of the second harmonic
    float phase = 0;     // sine: phase of the harmonic

    Waveform& add(float centre, float halfWidth, float height);

    // Every step's height times `gain`, rounded to whole pixels; the last is always 0.
    void render(float gain, std::span<int> heights) const;

    static Waveform ofLength(int length) {
        Waveform wave;
        wave.length = length;
        return wave;
    }
    static Waveform sawtooth(int length, float depth);
    static Waveform sine(int length, float amplitude, float harmonic, float phase);
    // A defibrillator's shock as the monitor's amplifier shows it: a deflection of `depth`
    // below the baseline, an overshoot above it and a slow recovery.
    static Waveform shock(int length, float depth);

private:
    // A bump or sawtooth profile's height at `step` before rounding.
    float heightAt(int step) const;
};

} // namespace pulsavo::conduction
