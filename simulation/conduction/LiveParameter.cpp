#include "LiveParameter.h"

#include <algorithm>
#include <cmath>

namespace pulsavo::conduction {

namespace {

constexpr std::array<std::string_view, 4> ectopyChoices{"none", "pac", "pjc", "pvc"};
constexpr std::array<std::string_view, 5> patternChoices{"random", "bigeminy", "trigeminy",
                                                         "couplets", "runs"};
constexpr std::array<std::string_view, 4> pacingChoices{"off", "atrial", "ventricular", "dual"};

using enum LiveParameterId;

const std::array<LiveParameter, liveParameterCount> table{{
    {atrialRate, "atrial_rate", "/min", 20, 350, 1, {}},
    {ventricularRate, "ventricular_rate", "/min", 15, 300, 1, {}},
    {prMs, "pr_ms", "ms", 60, 400, 10, {}},
    {qrsMs, "qrs_ms", "ms", 60, 200, 10, {}},
    {blockRatio, "block_ratio", ":1", 1, 8, 1, {}},
    {ectopyKind, "ectopy_kind", "", 0, 3, 1, ectopyChoices},
    {ectopyEvery, "ectopy_every", "beats", 1, 20, 1, {}},
    {ectopyPattern, "ectopy_pattern", "", 0, 4, 1, patternChoices},
    {pacingMode, "pacing_mode", "", 0, 3, 1, pacingChoices},
    {pacingRate, "pacing_rate", "/min", 30, 180, 1, {}},
    {pacingOutput, "pacing_output", "mA", 0, 200, 5, {}},
    {captureThreshold, "capture_threshold", "mA", 0, 200, 5, {}},
    {vfAmplitude, "vf_amplitude", "mm", 0.5, 12, 0.5, {}},
}};

// Ticks per beat at `rate` per minute, and back; a cycle of 0 means the pacemaker is unused.
int cycleOf(double rate) {
    return static_cast<int>(std::lround(6000.0 / rate));
}
double rateOf(int cycle) {
    return cycle > 0 ? std::round(6000.0 / cycle) : 0;
}

// Pixels per millimetre at 10 mm/mV (a 1 mV R wave is about 42 px).
constexpr double pixelsPerMm = 4;

bool atriaConduct(const Params& p) {
    const bool atrialImpulses = p.atria == Atria::sinus || p.atria == Atria::focal ||
                                p.atria == Atria::multifocal || p.pacer == Pacer::atrial;
    return atrialImpulses && p.av != AvNode::complete && p.av != AvNode::fibrillation;
}

void setPattern(Params& p, Pattern pattern) {
    p.pattern = pattern;
    if (pattern == Pattern::bigeminy || pattern == Pattern::trigeminy) {
        p.everyLo = p.everyHi = pattern == Pattern::bigeminy ? 1 : 2;
    }
    if ((pattern == Pattern::couplets || pattern == Pattern::runs) && p.runCycle == 0) {
        p.runCycle = 40;
    }
    if (pattern == Pattern::runs && p.runLo == 0) {
        p.runLo = 3;
        p.runHi = 10;
    }
}

void setEctopy(Params& p, Ectopy kind) {
    if (kind == p.ectopy) {
        return;
    }
    p.ectopy = kind;
    if (kind == Ectopy::none) {
        return;
    }
    p.marks |= markEctopic;
    if (p.everyLo == 0) {
        p.everyLo = 3;
        p.everyHi = 8;
    }
    // Coupled as the presets couple each kind to this cycle: premature, clear of the T wave.
    const int cycle = p.atrialCycle;
    switch (kind) {
    case Ectopy::none:
        break;
    case Ectopy::pac:
        p.couplingLo = p.couplingHi = (cycle * 62 + 99) / 100;
        break;
    case Ectopy::pjc:
        p.couplingLo = cycle * 62 / 100;
        p.couplingHi = cycle * 72 / 100;
        break;
    case Ectopy::pvc: {
        const int latest = std::min(cycle * 70 / 100, cycle - 14);
        p.couplingLo = p.couplingHi = std::clamp(cycle * 62 / 100, std::min(40, latest), latest);
        p.ventricularWidth = std::max(p.ventricularWidth, 13);
        break;
    }
    }
}

void setPacer(Params& p, Pacer mode) {
    if (mode == p.pacer) {
        return;
    }
    p.pacer = mode;
    p.pacerSenses = true;
    if (mode == Pacer::none) {
        return;
    }
    if (p.pacerCycle == 0) {
        p.pacerCycle = cycleOf(70);
    }
    if (p.avDelay == 0) {
        p.avDelay = 16;
    }
    p.ventricularWidth = std::max(p.ventricularWidth, 14);
}

} // namespace

const std::array<LiveParameter, liveParameterCount>& liveParameters() {
    return table;
}

const LiveParameter& liveParameter(LiveParameterId which) {
    return table[static_cast<std::size_t>(which)];
}

std::optional<LiveParameterId> liveParameterOf(std::string_view id) {
    const auto* const found = std::find_if(table.begin(), table.end(),
                                           [id](const LiveParameter& p) { return p.id == id; });
    return found != table.end() ? std::optional(found->which) : std::nullopt;
}

std::optional<int> liveChoiceOf(LiveParameterId which, std::string_view name) {
    const auto choices = liveParameter(which).choices;
    const auto found = std::find(choices.begin(), choices.end(), name);
    return found != choices.end() ? std::optional(static_cast<int>(found - choices.begin()))
                                  : std::nullopt;
}

bool appliesTo(LiveParameterId which, const Params& p) {
    switch (which) {
    case atrialRate:
        return p.atria == Atria::sinus || p.atria == Atria::focal || p.atria == Atria::multifocal ||
               p.atria == Atria::flutter;
    case ventricularRate:
        return p.lower != Lower::none || p.av == AvNode::fibrillation;
    case prMs:
        return atriaConduct(p);
    case qrsMs:
        return atriaConduct(p) || p.lower == Lower::junctional ||
               (p.atria != Atria::silent && p.av != AvNode::complete);
    case blockRatio:
        return p.av == AvNode::ratio || p.av == AvNode::wenckebach || p.av == AvNode::mobitz2;
    case ectopyKind:
        return p.atria == Atria::sinus && atriaConduct(p);
    case ectopyEvery:
        return p.ectopy != Ectopy::none && p.pattern != Pattern::bigeminy &&
               p.pattern != Pattern::trigeminy;
    case ectopyPattern:
        return p.ectopy == Ectopy::pvc;
    case pacingMode:
        return true;
    case pacingRate:
    case pacingOutput:
    case captureThreshold:
        return p.pacer != Pacer::none;
    case vfAmplitude:
        return p.fibrillatingVentricles;
    }
    return false;
}

bool appliesTo(LiveParameterId which, LibraryRhythm rhythm) {
    // What applies follows the preset's kinds, which no seed changes.
    RandomSource random;
    return appliesTo(which, drawPreset(rhythm, random));
}

double liveValue(const Params& p, LiveParameterId which) {
    switch (which) {
    case atrialRate:
        return rateOf(p.atrialCycle);
    case ventricularRate:
        return rateOf(p.av == AvNode::fibrillation && p.lower == Lower::none ? p.fibrillationRr
                                                                             : p.lowerCycle);
    case prMs:
        return p.pr * 10.0;
    case qrsMs:
        return p.qrsWidth * 10.0;
    case blockRatio:
        if (p.av == AvNode::ratio) {
            return p.ratio;
        }
        return std::round((p.groupLo + std::max(p.groupLo, p.groupHi)) / 2.0) + 1;
    case ectopyKind:
        return static_cast<double>(p.ectopy);
    case ectopyEvery:
        return std::round((p.everyLo + std::max(p.everyLo, p.everyHi)) / 2.0);
    case ectopyPattern:
        return static_cast<double>(p.pattern);
    case pacingMode:
        return static_cast<double>(p.pacer);
    case pacingRate:
        return rateOf(p.pacerCycle);
    case pacingOutput:
        return p.pacingOutput;
    case captureThreshold:
        return p.captureThreshold;
    case vfAmplitude:
        // Mean amplitude a px is a peak-to-trough height of 2a px.
        return std::round((p.amplitudeLo + p.amplitudeHi) / pixelsPerMm * 2) / 2;
    }
    return 0;
}

Params withLiveValue(Params p, LiveParameterId which, double value) {
    const LiveParameter& info = liveParameter(which);
    const double v = std::round(std::clamp(value, info.lo, info.hi) / info.step) * info.step;
    const int n = static_cast<int>(std::lround(v));
    switch (which) {
    case atrialRate:
        p.atrialCycle = cycleOf(v);
        break;
    case ventricularRate:
        if (p.av == AvNode::fibrillation && p.lower == Lower::none) {
            p.fibrillationRr = cycleOf(v);
        } else {
            p.lowerCycle = cycleOf(v);
        }
        break;
    case prMs:
        p.pr = n / 10;
        break;
    case qrsMs:
        p.qrsWidth = n / 10;
        break;
    case blockRatio:
        if (p.av == AvNode::ratio) {
            p.ratio = n;
        } else {
            // A group of N atrial impulses: N - 1 conducted and one blocked.
            p.groupLo = p.groupHi = std::max(1, n - 1);
        }
        break;
    case ectopyKind:
        setEctopy(p, static_cast<Ectopy>(n));
        break;
    case ectopyEvery:
        p.everyLo = p.everyHi = n;
        break;
    case ectopyPattern:
        setPattern(p, static_cast<Pattern>(n));
        break;
    case pacingMode:
        setPacer(p, static_cast<Pacer>(n));
        break;
    case pacingRate:
        p.pacerCycle = cycleOf(v);
        break;
    case pacingOutput:
        p.pacingOutput = n;
        break;
    case captureThreshold:
        p.captureThreshold = n;
        break;
    case vfAmplitude: {
        // The spread of the wave heights keeps its proportion to their mean.
        const double mean = v * pixelsPerMm / 2;
        const int sum = p.amplitudeLo + p.amplitudeHi;
        const double lowShare = sum > 0 ? 2.0 * p.amplitudeLo / sum : 1;
        const double highShare = sum > 0 ? 2.0 * p.amplitudeHi / sum : 1;
        p.amplitudeLo = std::max(1, static_cast<int>(std::lround(mean * lowShare)));
        p.amplitudeHi = std::max(p.amplitudeLo, static_cast<int>(std::lround(mean * highShare)));
        break;
    }
    }
    return p;
}

} // namespace pulsavo::conduction
