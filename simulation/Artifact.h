#pragma once

#include "RandomSource.h"
#include "WaveEvent.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pulsavo {

// What besides the heart reaches the ECG electrodes. The order is the order of the artifact
// wave kinds.
enum class ArtifactKind : std::uint8_t { wander, tremor, mains, motion, leadOff, cpr };

inline constexpr int artifactKindCount = 6;

inline constexpr std::array<ArtifactKind, artifactKindCount> allArtifactKinds{
    ArtifactKind::wander, ArtifactKind::tremor,  ArtifactKind::mains,
    ArtifactKind::motion, ArtifactKind::leadOff, ArtifactKind::cpr};

constexpr WaveKind waveKindOf(ArtifactKind kind) {
    return static_cast<WaveKind>(static_cast<int>(WaveKind::wander) + static_cast<int>(kind));
}

// The names the command line takes: wander, tremor, mains, motion, lead_off, cpr.
std::string_view artifactName(ArtifactKind kind);
std::optional<ArtifactKind> parseArtifactKind(std::string_view name);

// The artifact laid over the trace, each kind with its own strength (1 to maxStrength, 0 off)
// and its own waves, reported like the heart's with role artifact and beat 0. It draws from a
// random source of its own, so the heart's draws, and with them the rhythm, are the same with
// artifact or without. Stepped once per tick; nothing is allocated.
class Artifact {
public:
    static constexpr int maxStrength = 10;
    static constexpr int defaultStrength = 5;

    // A kind not on before starts with a new wave on the next step; strengths are clamped.
    void set(ArtifactKind kind, int strength);
    int strength(ArtifactKind kind) const { return layers[index(kind)].strength; }
    bool any() const { return active != 0; }
    void clear();
    // The waves under way play out; the ones drawn later come from this seed.
    void seed(std::uint32_t value);

    // The offset in pixels (down positive, as the trace's y) for `tick`, reporting every wave
    // that starts on it.
    float step(std::int64_t tick, WaveListener* listener);
    // Whether a lead is off: the trace is flat then.
    bool leadOff() const { return leadIsOff; }

private:
    struct Layer {
        int strength = 0;
        std::int64_t next = 0; // the tick of its next decision
        std::int64_t waveStart = 0;
        std::int64_t waveEnd = 0;
        int stage = 0; // where a motion burst or a compression stands
        float amplitude = 0;
    };
    // Each kind adds gain × a sine kept by rotation: a multiply-add or two per tick instead of
    // a call to sin(). Kept as one array per quantity, the kinds turn side by side in vector
    // registers; lanes past the kinds stay zero.
    static constexpr std::size_t lanes = 8;
    struct Oscillators {
        std::array<float, lanes> gain{};
        std::array<float, lanes> sine{};
        std::array<float, lanes> cosine{};
        std::array<float, lanes> turnSine{};
        std::array<float, lanes> turnCosine{};
    };

    static std::size_t index(ArtifactKind kind) { return static_cast<std::size_t>(kind); }
    int draw(int lo, int hi);
    float noise(); // uniform in -1..1
    void report(WaveListener* listener, ArtifactKind kind, std::int64_t tick, int length,
                int peak) const;
    void startSine(ArtifactKind kind, double radiansPerTick, double phase);
    float& gainOf(ArtifactKind kind) { return waves.gain[index(kind)]; }

    void decideDue(std::int64_t tick, WaveListener* listener);
    void wander(Layer& layer, std::int64_t tick, WaveListener* listener);
    void tremor(Layer& layer, std::int64_t tick, WaveListener* listener);
    void mains(Layer& layer, std::int64_t tick, WaveListener* listener);
    void motion(Layer& layer, std::int64_t tick, WaveListener* listener);
    void leadOffSegment(Layer& layer, std::int64_t tick, WaveListener* listener) const;
    void cpr(Layer& layer, std::int64_t tick, WaveListener* listener);

    std::array<Layer, artifactKindCount> layers{};
    Oscillators waves;
    unsigned active = 0;
    std::int64_t nextDecision = 0;
    bool leadIsOff = false;
    RandomSource random;
    // Electrode motion: the lobes of the burst under way.
    std::array<float, 5> lobeHeights{};
    std::array<int, 5> lobeWidths{};
    int lobeCount = 0;
    int lobe = 0;
    // Chest compressions: where the cycle of 30 stands.
    int compressions = 0;
    int compressionCycle = 0;
    bool mains60 = false;
};

} // namespace pulsavo
