#include "Artifact.h"

#include <algorithm>
#include <cmath>
#include <limits>
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
        gainOf(kind) = 0;
        startSine(kind, 0, 0);
        if (kind == ArtifactKind::cpr) {
            compressions = 0;
        }
    }
    layer.strength = strength;
    active = strength == 0 ? active & ~bit(kind) : active | bit(kind);
    leadIsOff = (active & bit(ArtifactKind::leadOff)) != 0;
    nextDecision = 0;
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
    constexpr float scale = 1.0F / 16383.5F;
    return (static_cast<float>(random.next()) - 16383.5F) * scale;
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

void Artifact::startSine(ArtifactKind kind, double radiansPerTick, double phase) {
    const std::size_t lane = index(kind);
    waves.sine[lane] = static_cast<float>(std::sin(phase));
    waves.cosine[lane] = static_cast<float>(std::cos(phase));
    waves.turnSine[lane] = static_cast<float>(std::sin(radiansPerTick));
    waves.turnCosine[lane] = static_cast<float>(std::cos(radiansPerTick));
}

float Artifact::step(std::int64_t tick, WaveListener* listener) {
    if (tick >= nextDecision) {
        decideDue(tick, listener);
    }
    // Kinds that are off have no gain; turning them costs less than testing them.
    std::array<float, lanes> terms; // NOLINT: the loop fills every lane
    for (std::size_t i = 0; i < lanes; ++i) {
        const float sine = waves.sine[i];
        terms[i] = waves.gain[i] * sine;
        waves.sine[i] = sine * waves.turnCosine[i] + waves.cosine[i] * waves.turnSine[i];
        waves.cosine[i] = waves.cosine[i] * waves.turnCosine[i] - sine * waves.turnSine[i];
    }
    float offset = 0;
    for (const float term : terms) {
        offset += term;
    }
    if ((active & bit(ArtifactKind::tremor)) != 0) {
        offset += gainOf(ArtifactKind::tremor) * noise();
    }
    return offset;
}

void Artifact::decideDue(std::int64_t tick, WaveListener* listener) {
    nextDecision = std::numeric_limits<std::int64_t>::max();
    for (const ArtifactKind kind : allArtifactKinds) {
        if ((active & bit(kind)) == 0) {
            continue;
        }
        Layer& layer = layers[index(kind)];
        if (tick >= layer.next) {
            switch (kind) {
            case ArtifactKind::wander:
                wander(layer, tick, listener);
                break;
            case ArtifactKind::tremor:
                tremor(layer, tick, listener);
                break;
            case ArtifactKind::mains:
                mains(layer, tick, listener);
                break;
            case ArtifactKind::motion:
                motion(layer, tick, listener);
                break;
            case ArtifactKind::leadOff:
                leadOffSegment(layer, tick, listener);
                break;
            case ArtifactKind::cpr:
                cpr(layer, tick, listener);
                break;
            }
        }
        nextDecision = std::min(nextDecision, layer.next);
    }
}

void Artifact::wander(Layer& layer, std::int64_t tick, WaveListener* listener) {
    // One breath, 12 to 20 a minute, each a little deeper or shallower than the last.
    const int period = draw(300, 500);
    gainOf(ArtifactKind::wander) = -static_cast<float>(layer.strength * 2 * draw(80, 120)) / 100;
    startSine(ArtifactKind::wander, 2 * pi / period, 0);
    layer.next = tick + period;
    report(listener, ArtifactKind::wander, tick, period, period / 4);
}

void Artifact::tremor(Layer& layer, std::int64_t tick, WaveListener* listener) {
    // Stretches of even intensity, the muscle tensing and relaxing: fine jitter over a 5 to
    // 7 Hz oscillation.
    const int length = draw(100, 300);
    gainOf(ArtifactKind::tremor) = static_cast<float>(layer.strength * 42 * draw(50, 100)) / 10000;
    startSine(ArtifactKind::tremor, 2 * pi / draw(14, 20), 0);
    layer.next = tick + length;
    report(listener, ArtifactKind::tremor, tick, length, length / 2);
}

void Artifact::mains(Layer& layer, std::int64_t tick, WaveListener* listener) {
    if (layer.stage == 0) {
        // East of Japan 50 Hz, west 60 Hz: the seed picks one.
        mains60 = draw(0, 1) == 1;
        layer.stage = 1;
    }
    // One sample every 10 ms cannot show 50 or 60 Hz: 50 Hz falls on the sampling's Nyquist
    // frequency and 60 Hz folds to 40 Hz. A monitor's clock is not locked to the mains, so
    // 50 Hz shows as samples alternating up and down under an envelope that swells and fades
    // (here a 0.25 Hz drift), 60 Hz as a fine 2.5-sample ripple: both the thick fuzzy line
    // interference gives on a screen.
    const double hertz = (mains60 ? 60.0 : 50.0) + 0.25;
    const double perTick = 2 * pi * hertz / 100;
    startSine(ArtifactKind::mains, perTick, std::fmod(static_cast<double>(tick) * perTick, 2 * pi));
    gainOf(ArtifactKind::mains) = static_cast<float>(layer.strength) * 0.4F;
    layer.next = tick + segmentTicks;
    report(listener, ArtifactKind::mains, tick, segmentTicks, 0);
}

void Artifact::motion(Layer& layer, std::int64_t tick, WaveListener* listener) {
    enum Stage { unscheduled, resting, swinging };
    if (layer.stage == unscheduled) {
        layer.stage = resting;
        layer.next = tick + draw(50, 400);
        return;
    }
    if (layer.stage == resting) {
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
        layer.stage = swinging;
        report(listener, ArtifactKind::motion, tick, total, lobeWidths[0] / 2);
    }
    if (++lobe == lobeCount) {
        layer.stage = resting;
        gainOf(ArtifactKind::motion) = 0;
        layer.next = tick + draw(300, 900);
        return;
    }
    const auto at = static_cast<std::size_t>(lobe);
    startSine(ArtifactKind::motion, pi / lobeWidths[at], 0);
    gainOf(ArtifactKind::motion) = lobeHeights[at];
    layer.next = tick + lobeWidths[at];
}

void Artifact::leadOffSegment(Layer& layer, std::int64_t tick, WaveListener* listener) const {
    layer.next = tick + segmentTicks;
    report(listener, ArtifactKind::leadOff, tick, segmentTicks, 0);
}

void Artifact::cpr(Layer& layer, std::int64_t tick, WaveListener* listener) {
    enum Stage { waiting, pushing, recoiling };
    const int width = compressionCycle * 45 / 100;
    const int recoil = compressionCycle * 40 / 100;
    if (layer.stage == pushing) {
        // The chest's recoil overshoots the other way: broad biphasic swings that can hide or
        // mimic the rhythm beneath.
        startSine(ArtifactKind::cpr, pi / recoil, 0);
        gainOf(ArtifactKind::cpr) = 0.35F * layer.amplitude;
        layer.stage = recoiling;
        layer.next = layer.waveStart + width + recoil;
        return;
    }
    gainOf(ArtifactKind::cpr) = 0;
    layer.stage = waiting;
    if (tick < layer.waveEnd) {
        layer.next = layer.waveEnd;
        return;
    }
    if (compressions == compressionsPerCycle) {
        // Two breaths after 30 compressions.
        compressions = 0;
        layer.next = layer.waveEnd = tick + draw(300, 500);
        return;
    }
    if (compressions == 0) {
        compressionCycle = 6000 / draw(100, 120);
    }
    ++compressions;
    const int push = compressionCycle * 45 / 100;
    layer.amplitude = static_cast<float>(layer.strength * 6 * draw(85, 100)) / 100;
    startSine(ArtifactKind::cpr, pi / push, 0);
    gainOf(ArtifactKind::cpr) = -layer.amplitude;
    layer.stage = pushing;
    layer.waveStart = tick;
    layer.waveEnd = tick + compressionCycle;
    layer.next = tick + push;
    report(listener, ArtifactKind::cpr, tick, compressionCycle, push / 2);
}

} // namespace pulsavo
