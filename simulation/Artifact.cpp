#include "Artifact.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pulsavo {

namespace {

constexpr std::array<std::string_view, artifactKindCount> names{"wander", "tremor",   "mains",
                                                                "motion", "lead_off", "cpr"};

constexpr unsigned bit(ArtifactKind kind) {
    return 1U << static_cast<unsigned>(kind);
}

constexpr double pi = std::numbers::pi;
// Continuous kinds report one wave a second, so that a listener knows they are still there.
constexpr int segmentTicks = 100;
constexpr int compressionsPerCycle = 30;

} // namespace

std::string_view artifactName(ArtifactKind kind) {
    return names[static_cast<std::size_t>(kind)];
}

std::optional<ArtifactKind> parseArtifactKind(std::string_view name) {
    for (const ArtifactKind kind : allArtifactKinds) {
        if (artifactName(kind) == name) {
            return kind;
        }
    }
    return std::nullopt;
}

void Artifact::set(ArtifactKind kind, int strength) {
    strength = std::clamp(strength, 0, maxStrength);
    Layer& layer = layers[index(kind)];
    if (strength == 0 || (active & bit(kind)) == 0) {
        layer = Layer{};
        if (kind == ArtifactKind::motion) {
            motionBurst = false;
        } else if (kind == ArtifactKind::cpr) {
            compressions = 0;
        }
    }
    layer.strength = strength;
    active = strength == 0 ? active & ~bit(kind) : active | bit(kind);
    leadIsOff = leadIsOff && (active & bit(ArtifactKind::leadOff)) != 0;
}

void Artifact::clear() {
    for (const ArtifactKind kind : allArtifactKinds) {
        set(kind, 0);
    }
}

void Artifact::seed(std::uint32_t value) {
    // A stream apart from the heart's, which the same seed starts.
    random.seed(value * 2654435761U + 0x9E37U);
}

int Artifact::draw(int lo, int hi) {
    return lo + random.next() % (hi - lo + 1);
}

float Artifact::noise() {
    return (static_cast<float>(random.next()) - 16383.5F) / 16383.5F;
}

void Artifact::report(WaveListener* listener, ArtifactKind kind, std::int64_t tick, int length,
                      int peak) const {
    if (listener != nullptr) {
        WaveEvent event;
        event.tick = tick;
        event.kind = waveKindOf(kind);
        event.role = WaveRole::artifact;
        event.length = length;
        event.peak = peak;
        listener->onWave(event);
    }
}

void Artifact::startSine(Layer& layer, double radiansPerTick, double phase) {
    layer.sine = static_cast<float>(std::sin(phase));
    layer.cosine = static_cast<float>(std::cos(phase));
    layer.turnSine = static_cast<float>(std::sin(radiansPerTick));
    layer.turnCosine = static_cast<float>(std::cos(radiansPerTick));
}

float Artifact::turn(Layer& layer) {
    const float value = layer.sine;
    const float sine = layer.sine * layer.turnCosine + layer.cosine * layer.turnSine;
    layer.cosine = layer.cosine * layer.turnCosine - layer.sine * layer.turnSine;
    layer.sine = sine;
    return value;
}

float Artifact::step(std::int64_t tick, WaveListener* listener) {
    float offset = 0;
    if ((active & bit(ArtifactKind::wander)) != 0) {
        offset += wander(layers[index(ArtifactKind::wander)], tick, listener);
    }
    if ((active & bit(ArtifactKind::tremor)) != 0) {
        offset += tremor(layers[index(ArtifactKind::tremor)], tick, listener);
    }
    if ((active & bit(ArtifactKind::mains)) != 0) {
        offset += mains(layers[index(ArtifactKind::mains)], tick, listener);
    }
    if ((active & bit(ArtifactKind::motion)) != 0) {
        offset += motion(layers[index(ArtifactKind::motion)], tick, listener);
    }
    if ((active & bit(ArtifactKind::cpr)) != 0) {
        offset += cpr(layers[index(ArtifactKind::cpr)], tick, listener);
    }
    leadIsOff = (active & bit(ArtifactKind::leadOff)) != 0;
    if (leadIsOff) {
        Layer& layer = layers[index(ArtifactKind::leadOff)];
        if (tick >= layer.waveEnd) {
            layer.waveEnd = tick + segmentTicks;
            report(listener, ArtifactKind::leadOff, tick, segmentTicks, 0);
        }
    }
    return offset;
}

float Artifact::wander(Layer& layer, std::int64_t tick, WaveListener* listener) {
    if (tick >= layer.waveEnd) {
        // One breath, 12 to 20 a minute, each a little deeper or shallower than the last.
        const int period = draw(300, 500);
        layer.amplitude = static_cast<float>(layer.strength * 2 * draw(80, 120)) / 100;
        startSine(layer, 2 * pi / period, 0);
        layer.waveEnd = tick + period;
        report(listener, ArtifactKind::wander, tick, period, period / 4);
    }
    return -layer.amplitude * turn(layer);
}

float Artifact::tremor(Layer& layer, std::int64_t tick, WaveListener* listener) {
    if (tick >= layer.waveEnd) {
        // Stretches of even intensity: the muscle tenses and relaxes.
        const int length = draw(100, 300);
        layer.amplitude = static_cast<float>(layer.strength * 7 * draw(50, 100)) / 1000;
        startSine(tremorWave, 2 * pi / draw(14, 20), 0);
        layer.waveEnd = tick + length;
        report(listener, ArtifactKind::tremor, tick, length, length / 2);
    }
    return layer.amplitude * 0.6F * (noise() + turn(tremorWave));
}

float Artifact::mains(Layer& layer, std::int64_t tick, WaveListener* listener) {
    if (layer.waveEnd == 0) {
        // East of Japan 50 Hz, west 60 Hz: the seed picks one.
        mains60 = draw(0, 1) == 1;
    }
    if (tick >= layer.waveEnd) {
        // One sample every 10 ms cannot show 50 or 60 Hz: 50 Hz falls on the sampling's
        // Nyquist frequency and 60 Hz folds to 40 Hz. A monitor's clock is not locked to the
        // mains, so 50 Hz shows as samples alternating up and down under an envelope that
        // swells and fades (here a 0.25 Hz drift), 60 Hz as a fine 2.5-sample ripple: both
        // the thick fuzzy line interference gives on a screen.
        const double hertz = (mains60 ? 60.0 : 50.0) + 0.25;
        const double perTick = 2 * pi * hertz / 100;
        startSine(layer, perTick, std::fmod(static_cast<double>(tick) * perTick, 2 * pi));
        layer.amplitude = static_cast<float>(layer.strength) * 0.4F;
        layer.waveEnd = tick + segmentTicks;
        report(listener, ArtifactKind::mains, tick, segmentTicks, 0);
    }
    return layer.amplitude * turn(layer);
}

float Artifact::motion(Layer& layer, std::int64_t tick, WaveListener* listener) {
    if (!motionBurst) {
        if (layer.waveEnd == 0) {
            layer.waveEnd = tick + draw(50, 400);
        }
        if (tick < layer.waveEnd) {
            return 0;
        }
        // A burst of broad swings of alternating sign, as a tugged lead gives: they can pass
        // for ventricular complexes.
        lobeCount = draw(2, static_cast<int>(lobeWidths.size()));
        float sign = draw(0, 1) == 0 ? 1.0F : -1.0F;
        int total = 0;
        for (int i = 0; i < lobeCount; ++i) {
            const auto at = static_cast<std::size_t>(i);
            lobeWidths[at] = draw(8, 24);
            lobeHeights[at] = sign * static_cast<float>(layer.strength * 4 * draw(40, 100)) / 100;
            sign = -sign;
            total += lobeWidths[at];
        }
        lobe = -1;
        lobeEnd = tick;
        motionBurst = true;
        layer.waveEnd = tick + total;
        report(listener, ArtifactKind::motion, tick, total, lobeWidths[0] / 2);
    }
    if (tick >= lobeEnd) {
        if (++lobe == lobeCount) {
            motionBurst = false;
            layer.waveEnd = tick + draw(300, 900);
            return 0;
        }
        const int width = lobeWidths[static_cast<std::size_t>(lobe)];
        startSine(layer, pi / width, 0);
        lobeEnd = tick + width;
    }
    return lobeHeights[static_cast<std::size_t>(lobe)] * turn(layer);
}

float Artifact::cpr(Layer& layer, std::int64_t tick, WaveListener* listener) {
    if (tick >= layer.waveEnd) {
        if (compressions == compressionsPerCycle) {
            // Two breaths after 30 compressions.
            compressions = 0;
            layer.waveEnd = tick + draw(300, 500);
            return 0;
        }
        if (compressions == 0) {
            compressionCycle = 6000 / draw(100, 120);
        }
        ++compressions;
        compressionWidth = compressionCycle * 45 / 100;
        layer.amplitude = static_cast<float>(layer.strength * 6 * draw(85, 100)) / 100;
        startSine(layer, pi / compressionWidth, 0);
        layer.waveStart = tick;
        layer.waveEnd = tick + compressionCycle;
        report(listener, ArtifactKind::cpr, tick, compressionCycle, compressionWidth / 2);
    }
    // The push, then the chest's recoil overshooting the other way: broad biphasic swings that
    // can hide or mimic the rhythm beneath.
    const std::int64_t into = tick - layer.waveStart;
    const int recoil = compressionCycle * 40 / 100;
    if (into == compressionWidth) {
        startSine(layer, pi / recoil, 0);
    }
    if (into < compressionWidth) {
        return -layer.amplitude * turn(layer);
    }
    return into < compressionWidth + recoil ? 0.35F * layer.amplitude * turn(layer) : 0.0F;
}

} // namespace pulsavo
