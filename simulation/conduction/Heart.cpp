#include "Heart.h"

#include "Simulation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>

namespace pulsavo::conduction {

namespace {

constexpr std::int64_t never = std::numeric_limits<std::int64_t>::max() / 2;
constexpr int beepAlways = 1 << 20;
constexpr int beepNever = -(1 << 20);
// Ventricles accept a conducted impulse this long after a supraventricular beat: shorter than
// the fastest conducted cycle the library plays (250/min, 24 ticks).
constexpr int normalRefractory = 20;
// After a ventricular ectopic beat the AV node stays refractory from the concealed retrograde
// impulse: the next sinus beat is blocked, so the pause is fully compensatory.
constexpr int ectopicRefractory = 45;
constexpr int pacedRefractory = 30;
constexpr int spikeHeight = 30;
// A pause is marked from about where the last beat's T wave ends.
constexpr int pauseMarkFrom = 60;
// A transition waits this long for the beat that triggers it before making one.
constexpr int triggerWait = 300;

Waveform pWave(float height = 5, int length = 10) {
    const float half = static_cast<float>(length - 1) / 2;
    return Waveform::ofLength(length).add(half, half, height);
}

Waveform tWave(float height, int length = 30) {
    const auto l = static_cast<float>(length);
    return Waveform::ofLength(length)
        .add(0.58F * l, 0.42F * l, height * 0.75F)
        .add(0.72F * l, 0.2F * l, height * 0.35F);
}

Waveform spike() {
    return Waveform::ofLength(2).add(0, 1, spikeHeight);
}

// The atrial P' shapes of ectopic foci: peaked, biphasic, inverted, notched.
Waveform ectopicP(int shape) {
    switch (shape % 4) {
    case 0:
        return Waveform::ofLength(8).add(3.5F, 3, 6);
    case 1:
        return Waveform::ofLength(10).add(2.5F, 2.5F, 3.5F).add(6.5F, 2.5F, -3.5F);
    case 2:
        return Waveform::ofLength(9).add(4, 4, -4);
    default:
        return Waveform::ofLength(11).add(3, 2.6F, 4).add(7, 2.6F, 4);
    }
}

} // namespace

int Heart::draw(int lo, int hi) {
    return uniform(*random, lo, hi);
}

std::int64_t Heart::newBeat() {
    return owner->newBeat();
}

void Heart::select(LibraryRhythm rhythm, Simulation& sim) {
    owner = &sim;
    random = &sim.random;
    p = drawPreset(rhythm, sim.random);
    plannedCount = 0;
    nextPlanned = 0;
    wake = 0;
    colourUntil = 0;
    rampState.reset();
    pending.reset();
    pvcPending = blockPending = escapePending = false;
    // Selected between two steps: the next step draws the queue's head, and its generator call
    // is the first that can lay a wave, for the tick after it.
    const std::int64_t start = sim.tickCount + 2;
    decidedThrough = start - 1;
    startPacemakers(start);
}

void Heart::startPacemakers(std::int64_t start) {
    atrialNext = start;
    pacerNext = start;
    chaosNext = start;
    lastP = start - p.atrialCycle;
    lastNormalQrs = start - p.atrialCycle;
    ventReady = start;
    avReady = start;
    lastSpike = start - p.pacerCycle;
    lastIntrinsic = start - p.pacerCycle;
    lastV = p.lowerStartsAnywhere ? start + draw(0, p.lowerCycle - 1) - p.lowerCycle
                                  : start - p.lowerCycle;
    countdown =
        std::max(draw(p.arrestEveryLo, p.arrestEveryHi), draw(p.dropEveryLo, p.dropEveryHi));
    groupPosition = 0;
    groupSize = p.av == AvNode::mobitz2 ? draw(p.groupLo, p.groupHi) : p.groupLo;
    normalBeats = 0;
    ectopicDue = draw(p.everyLo, p.everyHi);
    captureCountdown = draw(p.captureEveryLo, p.captureEveryHi);
    lowerBeats = 0;
}

void Heart::setParameters(const Params& next) {
    rampState.reset();
    pending.reset();
    apply(next, decidedThrough + 1);
    wake = 0;
}

void Heart::apply(const Params& next, std::int64_t horizon) {
    const Params before = p;
    p = next;
    if (p.lower == Lower::junctional || p.lower == Lower::ventricular) {
        // No escape or tachycardia beats closer than the ventricles can follow.
        p.lowerCycle = std::max(p.lowerCycle, normalRefractory);
    }
    if (p.atria == Atria::silent) {
        atrialNext = never;
    } else if (atrialNext >= never) {
        atrialNext = horizon;
    }
    if (p.av != before.av) {
        groupPosition = 0;
        groupSize = p.av == AvNode::mobitz2 ? draw(p.groupLo, p.groupHi) : p.groupLo;
    }
    // Counters of a group left longer than the new group would block at once or never.
    groupSize = std::clamp(groupSize, p.groupLo, std::max(p.groupLo, p.groupHi));
    groupPosition = std::min(groupPosition, groupSize);
    if (p.ectopy != before.ectopy) {
        normalBeats = 0;
        ectopicDue = draw(p.everyLo, p.everyHi);
    }
    ectopicDue = std::clamp(ectopicDue, p.everyLo, std::max(p.everyLo, p.everyHi));
    if (p.pacer != before.pacer) {
        pacerNext = std::max(pacerNext, horizon);
        captureCountdown = draw(p.captureEveryLo, p.captureEveryHi);
    }
    if (p.fibrillatingVentricles && !before.fibrillatingVentricles) {
        chaosNext = std::max(chaosNext, horizon);
    }
    if (p.lower != before.lower) {
        lowerBeats = 0;
    }
    colourUntil = 0;
}

void Heart::ramp(const Params& target, int ticks) {
    if (ticks <= 0) {
        setParameters(target);
        return;
    }
    pending.reset();
    const std::int64_t start = decidedThrough + 1;
    rampState = ParameterRamp{p, target, start, start + ticks};
    apply(rampState->at(start), start);
    wake = 0;
}

void Heart::setLive(LiveParameterId which, double value) {
    if (rampState) {
        rampState->from = withLiveValue(rampState->from, which, value);
        rampState->target = withLiveValue(rampState->target, which, value);
    }
    if (pending) {
        pending->next = withLiveValue(pending->next, which, value);
    }
    apply(withLiveValue(p, which, value), decidedThrough + 1);
    wake = 0;
}

void Heart::transition(const Params& next, Transition how) {
    switch (how.kind) {
    case TransitionKind::direct:
        setParameters(next);
        return;
    case TransitionKind::ramp:
        ramp(next, how.ticks);
        return;
    case TransitionKind::rOnT:
    case TransitionKind::pac:
    case TransitionKind::pause:
        rampState.reset();
        pending = Pending{how.kind, next, decidedThrough + 1 + triggerWait, -1};
        wake = 0;
        return;
    }
}

std::optional<TransitionKind> Heart::pendingTransition() const {
    return pending ? std::optional(pending->kind) : std::nullopt;
}

void Heart::shock(const Params& after, int pauseTicks) {
    const std::int64_t at = decidedThrough + 1;
    // Whatever the heart had planned beyond this tick never happens.
    plannedCount = 0;
    rampState.reset();
    pending.reset();
    pvcPending = blockPending = escapePending = false;
    p = after;
    startPacemakers(at + std::max(pauseTicks, shockLength));
    const int entry = planWave(at, Waveform::shock(shockLength, shockDepth), WaveKind::shock,
                               WaveRole::artifact, 0, false);
    planned[static_cast<std::size_t>(entry)].marked = false;
    wake = 0;
    colourUntil = 0;
}

int Heart::plan(const Planned& wave) {
    if (plannedCount == static_cast<int>(planned.size())) {
        return -1; // cannot happen at the library's rates; the trace stays whole without it
    }
    planned[static_cast<std::size_t>(plannedCount++)] = wave;
    if (plannedCount == 1 || wave.tick < nextPlanned) {
        nextPlanned = wave.tick;
    }
    return plannedCount - 1;
}

int Heart::planWave(std::int64_t tick, const Waveform& wave, WaveKind kind, WaveRole role,
                    std::int64_t beat, bool marked, float gain) {
    Planned entry;
    entry.tick = tick;
    entry.wave = wave;
    entry.gain = gain;
    entry.kind = kind;
    entry.role = role;
    entry.beat = beat;
    entry.marked = marked || marks(markAll);
    return plan(entry);
}

void Heart::planMissing(std::int64_t tick) {
    Planned entry;
    entry.tick = tick;
    entry.wave = pWave();
    entry.role = WaveRole::missing;
    entry.beat = newBeat();
    entry.entry = Planned::Entry::missing;
    plan(entry);
}

void Heart::planSpan(std::int64_t from, std::int64_t to) {
    Planned entry;
    entry.tick = from;
    entry.entry = Planned::Entry::span;
    entry.marked = true;
    entry.span = static_cast<int>(to - from);
    plan(entry);
}

void Heart::tick(Simulation& sim) {
    // Normally one horizon tick a step; right after a selection every tick from the next one
    // drawn, so the rhythm is under way at once instead of after the lookahead.
    const std::int64_t horizon = sim.tickCount + 1 + lookahead;
    for (std::int64_t at = decidedThrough + 1; at <= horizon; ++at) {
        if (at >= wake) {
            owner = &sim;
            random = &sim.random;
            decide(at);
            layDue(sim, at);
            wake = nextWake();
        }
    }
    decidedThrough = horizon;

    // Most ticks change neither the pen nor the tone: both are worked out again only on the
    // ticks where a marked span starts or ends, or a beep is due.
    const std::int64_t next = sim.tickCount + 1;
    if (next >= colourUntil) {
        sim.alertColour = colourAt(next);
    }
    if (beepCount > 0 && beeps[0] < next) {
        int passed = 0;
        while (passed < beepCount && beeps[static_cast<std::size_t>(passed)] < next) {
            ++passed;
        }
        std::copy(beeps.begin() + passed, beeps.begin() + beepCount, beeps.begin());
        beepCount -= passed;
    }
    sim.beepLevel = beepCount > 0 && beeps[0] == next ? beepAlways : beepNever;
}

void Heart::decide(std::int64_t horizon) {
    if (rampState) {
        apply(rampState->at(horizon), horizon);
        if (horizon >= rampState->endTick) {
            rampState.reset();
        }
    }
    if (pending && pending->kind == TransitionKind::pause) {
        const bool pWaves =
            p.atria == Atria::sinus || p.atria == Atria::focal || p.atria == Atria::multifocal;
        if (!pWaves || horizon >= atrialNext) {
            // The next atrial beat is the first of the new rhythm: missing if its atria are
            // silent, blocked if they no longer conduct. The lower pacemaker ends the pause.
            apply(pending->next, horizon);
            pending.reset();
            escapePending = p.lower != Lower::none;
            if (pWaves && p.atria == Atria::silent) {
                planMissing(horizon);
            }
        }
    }
    if (horizon >= atrialNext) {
        switch (p.atria) {
        case Atria::sinus:
            fireSinus(horizon);
            break;
        case Atria::focal:
        case Atria::multifocal:
            fireFocus(horizon);
            break;
        case Atria::flutter:
            fireFlutterWave(horizon);
            break;
        case Atria::fibrillation:
            fireFibrillationWave(horizon);
            break;
        case Atria::silent:
            atrialNext = never;
            break;
        }
    }
    if (p.pacer != Pacer::none && horizon >= pacerNext) {
        firePacer(horizon);
    }
    if (p.lower != Lower::none && horizon >= lastV + p.lowerCycle) {
        fireLower(horizon);
    }
    if (p.fibrillatingVentricles && horizon >= chaosNext) {
        fireChaos(horizon);
    }
    if (pvcPending) {
        pvcPending = false;
        planPvc(std::max(horizon, ventReady), 0, true);
    }
    if (pending) {
        triggerPending(horizon);
    }
}

void Heart::triggerPending(std::int64_t horizon) {
    if (pending->triggerAt < 0) {
        if (pending->kind == TransitionKind::pac && lastP == horizon && p.atria != Atria::flutter &&
            p.atria != Atria::fibrillation) {
            // Premature, about 60 % into the cycle of the P wave just fired.
            triggerPac(lastP + p.atrialCycle * 3 / 5);
        } else if (horizon >= pending->deadline) {
            if (pending->kind == TransitionKind::pac) {
                triggerPac(horizon);
            } else {
                triggerPvc(horizon);
            }
        }
    }
    const std::int64_t at = pending->triggerAt;
    if (at < 0) {
        return;
    }
    // The trigger planned: the new rhythm runs from it, the heart's timing kept.
    apply(pending->next, horizon);
    if (pending->kind == TransitionKind::rOnT) {
        chaosNext = at + p.ventricularWidth;
        lastV = at;
    } else if (p.atria == Atria::fibrillation) {
        atrialNext = at + 8;
    } else if (p.atria != Atria::silent) {
        atrialNext = at + p.atrialCycle;
    }
    pending.reset();
}

void Heart::triggerPvc(std::int64_t at) {
    at = std::max(at, ventReady);
    pending->triggerAt = at;
    lastV = std::max(lastV, at);
    lastIntrinsic = std::max(lastIntrinsic, at);
    ventReady = std::max(ventReady, at + normalRefractory);
    // Its repolarisation never comes: the rhythm it starts takes over at its end.
    planWave(at, ventricularShape(0, false), WaveKind::ventricularBeat, WaveRole::ventricular,
             newBeat(), true);
}

void Heart::triggerPac(std::int64_t at) {
    // Down the slow pathway: a long PR, and the circuit the fast one closes.
    const int pr = std::min(p.pr + 8, 40);
    at = std::max(at, ventReady - pr);
    pending->triggerAt = at;
    lastP = at;
    const int entry =
        planWave(at, ectopicP(1), WaveKind::p, WaveRole::supraventricular, newBeat(), true);
    conduct(entry, pr, WaveRole::supraventricular);
}

void Heart::armROnT(std::int64_t tAt, int tLength) {
    if (pending && pending->kind == TransitionKind::rOnT && pending->triggerAt < 0) {
        // On the T wave's upstroke, the ventricles' vulnerable period.
        triggerPvc(tAt + tLength * 2 / 5);
    }
}

void Heart::layDue(Simulation& sim, std::int64_t horizon) {
    if (plannedCount == 0 || horizon < nextPlanned) {
        return;
    }
    std::int64_t earliest = never;
    for (int i = 0; i < plannedCount;) {
        Planned& entry = planned[static_cast<std::size_t>(i)];
        if (entry.tick <= horizon) {
            lay(sim, entry);
            entry = planned[static_cast<std::size_t>(--plannedCount)];
            continue;
        }
        earliest = std::min(earliest, entry.tick);
        ++i;
    }
    nextPlanned = earliest;
}

std::int64_t Heart::nextWake() const {
    std::int64_t at = std::min(atrialNext, plannedCount > 0 ? nextPlanned : never);
    if (p.pacer != Pacer::none) {
        at = std::min(at, pacerNext);
    }
    if (p.lower != Lower::none) {
        at = std::min(at, lastV + p.lowerCycle);
    }
    if (p.fibrillatingVentricles) {
        at = std::min(at, chaosNext);
    }
    if (rampState) {
        at = std::min(at, rampState->endTick);
    }
    if (pending) {
        at = std::min(at, pending->deadline);
    }
    return at;
}

bool Heart::colourAt(std::int64_t tick) {
    bool red = marks(markAll);
    bool green = false;
    colourUntil = never;
    int kept = 0;
    for (int i = 0; i < spanCount; ++i) {
        const Span& span = spans[static_cast<std::size_t>(i)];
        if (span.to <= tick) {
            continue;
        }
        if (span.from <= tick) {
            (span.green ? green : red) = true;
            colourUntil = std::min(colourUntil, span.to);
        } else {
            colourUntil = std::min(colourUntil, span.from);
        }
        spans[static_cast<std::size_t>(kept++)] = span;
    }
    spanCount = kept;
    return red && !green;
}

int Heart::ticksUntilBeep(std::int64_t tickCount) const {
    for (int i = 0; i < beepCount; ++i) {
        const std::int64_t ahead = beeps[static_cast<std::size_t>(i)] - (tickCount + 1);
        if (ahead >= 0) {
            return static_cast<int>(ahead);
        }
    }
    return -1;
}

void Heart::lay(Simulation& sim, const Planned& entry) {
    const auto offset = static_cast<int>(entry.tick - (sim.tickCount + 1));
    if (entry.marked || entry.green) {
        const int length = entry.entry == Planned::Entry::span ? entry.span : entry.wave.length;
        if (spanCount < static_cast<int>(spans.size())) {
            spans[static_cast<std::size_t>(spanCount++)] = {entry.tick, entry.tick + length,
                                                            entry.green};
            colourUntil = std::min(colourUntil, entry.tick);
        }
    }
    if (entry.entry == Planned::Entry::span) {
        return;
    }
    if (entry.entry == Planned::Entry::missing) {
        sim.reportWave({entry.tick, WaveKind::p, WaveRole::missing, entry.wave.length, entry.beat});
        return;
    }
    int previous = 0;
    int peak = 0;
    int farthest = -1;
    bool below = false;
    const int length = std::min({entry.wave.length, queueLength - offset, Waveform::maxLength});
    std::array<int, Waveform::maxLength> heights; // NOLINT: render() fills what is read
    entry.wave.render(entry.gain, std::span(heights).first(static_cast<std::size_t>(length)));
    int* const slots = sim.deltaQueue.data() + offset;
    for (int i = 0; i < length; ++i) {
        const int height = heights[static_cast<std::size_t>(i)];
        slots[i] += previous - height;
        previous = height;
        if (std::abs(height) > farthest) {
            farthest = std::abs(height);
            peak = i;
            below = height < 0;
        }
    }
    if (isVentricularComplex(entry.kind) && beepCount < static_cast<int>(beeps.size())) {
        const std::int64_t at = entry.tick + peak;
        auto* const end = beeps.begin() + beepCount;
        auto* const where = std::lower_bound(beeps.begin(), end, at);
        if (where == end || *where != at) {
            std::copy_backward(where, end, end + 1);
            *where = at;
            ++beepCount;
        }
    }
    WaveEvent event;
    event.tick = entry.tick;
    event.kind = entry.kind;
    event.role = entry.role;
    event.length = length;
    event.beat = entry.beat;
    event.inverted = below;
    event.peak = peak;
    sim.reportWave(event);
}

void Heart::fireSinus(std::int64_t at) {
    int cycle = p.atrialCycle;
    if (p.breathDepth > 0) {
        const double phase =
            2 * std::numbers::pi * static_cast<double>(at % p.breathPeriod) / p.breathPeriod;
        cycle = static_cast<int>(
            std::lround(p.atrialCycle * (1 + p.breathDepth / 100.0 * std::sin(phase))));
    }
    if (p.arrestEveryLo > 0 && --countdown <= 0) {
        // The node falls silent for a pause that is no whole number of cycles.
        countdown = draw(p.arrestEveryLo, p.arrestEveryHi);
        const int whole = std::max(2, static_cast<int>(std::lround(275.0 / cycle - 0.5)));
        const int pause = whole * cycle + cycle * draw(35, 65) / 100;
        planMissing(at);
        atrialNext = lastP + pause;
        if (marks(markPause)) {
            planSpan(lastP + pauseMarkFrom, atrialNext);
        }
        return;
    }
    if (p.dropEveryLo > 0 && --countdown <= 0) {
        // Exit block: the node fires on time but the impulse never leaves it.
        countdown = draw(p.dropEveryLo, p.dropEveryHi);
        planMissing(at);
        atrialNext = at + cycle;
        if (marks(markPause)) {
            planSpan(lastP + pauseMarkFrom, atrialNext);
        }
        return;
    }
    const std::int64_t beat = newBeat();
    lastP = at;
    atrialNext = at + cycle;
    const bool dissociated = p.av == AvNode::complete;
    const int entry =
        planWave(at, pWave(), WaveKind::p, dissociated ? WaveRole::blocked : WaveRole::conducted,
                 beat, marks(markAllP) || marks(markPr));
    const std::int64_t qrs = conduct(entry, avVerdict(p.pr), WaveRole::conducted);
    if (marks(markPr)) {
        planSpan(at + 10, at + p.pr);
    }
    if (qrs >= 0) {
        afterNormalBeat(at, qrs);
    }
}

int Heart::avVerdict(int pr) {
    switch (p.av) {
    case AvNode::normal:
        return pr;
    case AvNode::wenckebach: {
        if (groupPosition == groupSize) {
            groupPosition = 0;
            return -1;
        }
        // Each increment smaller than the one before: the R–R shortens through the group.
        double lengthened = pr;
        for (int k = 1; k <= groupPosition; ++k) {
            lengthened += static_cast<double>(p.prIncrement) / k;
        }
        ++groupPosition;
        return static_cast<int>(std::lround(lengthened));
    }
    case AvNode::mobitz2:
        if (groupPosition == groupSize) {
            groupPosition = 0;
            groupSize = draw(p.groupLo, p.groupHi);
            return -1;
        }
        ++groupPosition;
        return pr;
    case AvNode::ratio:
        groupPosition = (groupPosition + 1) % p.ratio;
        return groupPosition == 1 || p.ratio == 1 ? pr : -1;
    case AvNode::variableRatio:
        if (--groupPosition > 0) {
            return -1;
        }
        groupPosition = draw(2, 4);
        return pr;
    case AvNode::fibrillation:
    case AvNode::complete:
        return -1;
    }
    return -1;
}

std::int64_t Heart::conduct(int pEntry, int pr, WaveRole role) {
    if (pEntry < 0) {
        return -1;
    }
    Planned& pWaveEntry = planned[static_cast<std::size_t>(pEntry)];
    const std::int64_t at = pWaveEntry.tick;
    const std::int64_t beat = pWaveEntry.beat;
    // A pacer blind to the intrinsic rhythm captures first when its spike is due before the
    // conducted impulse arrives and the ventricles are ready for it.
    const bool pacedFirst = p.pacer == Pacer::ventricular && !p.pacerSenses &&
                            pacerNext >= ventReady && pacerNext + 3 <= at + pr;
    if (blockPending && pr >= 0 && role != WaveRole::supraventricular) {
        blockPending = false;
        pr = -1;
    }
    if (pr < 0 || at + pr < ventReady || pacedFirst) {
        if (pr < 0 && p.av != AvNode::complete) {
            pWaveEntry.marked = pWaveEntry.marked || marks(markBlockedP);
        }
        if (role == WaveRole::conducted) {
            pWaveEntry.role = WaveRole::blocked;
        }
        return -1;
    }
    activate(at + pr, Origin::supraventricular, role, beat, false);
    return at + pr;
}

void Heart::afterNormalBeat(std::int64_t pAt, std::int64_t qrsAt) {
    lastNormalQrs = qrsAt;
    if (p.ectopy == Ectopy::none || ++normalBeats < ectopicDue) {
        return;
    }
    normalBeats = 0;
    ectopicDue = draw(p.everyLo, p.everyHi);
    const int coupling = draw(p.couplingLo, p.couplingHi);
    switch (p.ectopy) {
    case Ectopy::none:
        break;
    case Ectopy::pac: {
        const std::int64_t at = pAt + coupling;
        const std::int64_t beat = newBeat();
        const int entry =
            planWave(at, ectopicP(1), WaveKind::p, WaveRole::supraventricular, beat, true);
        // An ectopic P' starts farther from the node: a slightly longer PR, still under 200 ms.
        conduct(entry, std::min(p.pr + 2, 19), WaveRole::supraventricular);
        // The premature impulse discharges the sinus node, which starts a new cycle from it.
        atrialNext = at + p.atrialCycle;
        lastP = at;
        break;
    }
    case Ectopy::pjc: {
        const std::int64_t at = qrsAt + coupling;
        const int pr = draw(6, 9);
        const std::int64_t beat = newBeat();
        planWave(at - pr, ectopicP(2), WaveKind::p, WaveRole::supraventricular, beat, true);
        activate(at, Origin::supraventricular, WaveRole::supraventricular, beat, true);
        atrialNext = at - pr + p.atrialCycle;
        lastP = at - pr;
        break;
    }
    case Ectopy::pvc: {
        const int shapes = p.ectopicShapes;
        std::int64_t at = qrsAt + coupling;
        int beats = 1;
        if (p.pattern == Pattern::couplets) {
            beats = 2;
        } else if (p.pattern == Pattern::runs) {
            beats = draw(p.runLo, p.runHi);
        }
        for (int i = 0; i < beats; ++i) {
            planPvc(at, shapes > 1 ? draw(0, shapes - 1) : 0, i == 0);
            at += p.runCycle;
        }
        break;
    }
    }
}

void Heart::planPvc(std::int64_t at, int shape, bool first) {
    activate(at, Origin::ventricular, WaveRole::ventricular, newBeat(), true, shape);
    if (first) {
        // The sinus beat due next is blocked however early the ectopic beat came: the pause
        // is fully compensatory.
        ventReady = std::max(at + ectopicRefractory, lastNormalQrs + p.atrialCycle + 6);
    } else {
        ventReady = std::max(ventReady, at + std::max(ectopicRefractory, p.runCycle + 2));
    }
}

Waveform Heart::qrsShape() const {
    const auto w = static_cast<float>(p.qrsWidth);
    Waveform wave = Waveform::ofLength(p.qrsWidth);
    switch (p.qrs) {
    case Qrs::narrow:
        wave.add(0.9F, 0.9F, -3).add(0.42F * w, 0.24F * w, 42).add(0.74F * w, 0.2F * w, -11);
        break;
    case Qrs::bundleBranch:
        // rsR': the late second peak of the delayed ventricle.
        wave.add(0.18F * w, 0.16F * w, 16)
            .add(0.4F * w, 0.12F * w, -9)
            .add(0.7F * w, 0.24F * w, 36);
        break;
    case Qrs::preExcited:
        // The delta wave: a slow slurred upstroke before the R.
        wave.add(0.34F * w, 0.34F * w, 12)
            .add(0.56F * w, 0.2F * w, 32)
            .add(0.84F * w, 0.12F * w, -8);
        break;
    }
    return wave;
}

Waveform Heart::ventricularShape(int shape, bool paced) const {
    const int width = p.ventricularWidth;
    const auto w = static_cast<float>(width);
    Waveform wave = Waveform::ofLength(width);
    if (paced) {
        return wave.add(0.5F * w, 0.5F * w, -34);
    }
    switch (shape % 3) {
    case 0:
        return wave.add(0.46F * w, 0.46F * w, 48);
    case 1:
        return wave.add(0.1F * w, 0.1F * w, 5).add(0.55F * w, 0.43F * w, -38);
    default:
        return wave.add(0.28F * w, 0.27F * w, 30).add(0.72F * w, 0.26F * w, -26);
    }
}

void Heart::activate(std::int64_t at, Origin origin, WaveRole role, std::int64_t beat, bool marked,
                     int shape) {
    lastV = std::max(lastV, at);
    if (origin != Origin::paced) {
        lastIntrinsic = std::max(lastIntrinsic, at);
    }
    if (origin == Origin::supraventricular) {
        ventReady = std::max(ventReady, at + normalRefractory);
        const bool abnormal = p.qrs != Qrs::narrow;
        const int entry = planWave(at, qrsShape(), WaveKind::qrs, role, beat,
                                   marked || (abnormal && marks(markQrs)));
        // Through continuous flutter or fibrillation waves the QRS itself stays green.
        if (entry >= 0 && !marked && !marks(markAll) &&
            (p.atria == Atria::flutter || p.atria == Atria::fibrillation)) {
            planned[static_cast<std::size_t>(entry)].green = true;
        }
        const float tHeight = p.qrs == Qrs::bundleBranch ? -8.0F : 11.0F;
        planWave(at + p.qrsWidth + 2, tWave(tHeight), WaveKind::t, role, beat, marked);
        armROnT(at + p.qrsWidth + 2, 30);
        return;
    }
    const bool paced = origin == Origin::paced;
    ventReady = std::max(ventReady, at + (paced ? pacedRefractory : normalRefractory));
    const Waveform complex = ventricularShape(shape, paced);
    planWave(at, complex, WaveKind::ventricularBeat, role, beat, marked);
    // Repolarisation runs against the complex: a discordant T.
    float main = 0;
    for (int i = 0; i < complex.count; ++i) {
        const float height = complex.bumps[static_cast<std::size_t>(i)].height;
        main = std::abs(height) > std::abs(main) ? height : main;
    }
    planWave(at + p.ventricularWidth + 3, tWave(main > 0 ? -13.0F : 13.0F, 32), WaveKind::t, role,
             beat, marked);
    armROnT(at + p.ventricularWidth + 3, 32);
}

void Heart::fireFocus(std::int64_t at) {
    const std::int64_t beat = newBeat();
    int cycle = p.atrialCycle;
    int shape = 0;
    int pr = p.pr;
    if (p.atria == Atria::multifocal) {
        shape = draw(0, p.pShapes - 1);
        // Each focus has its own distance from the node, so its own PR.
        pr = p.pr + shape * 2 + draw(0, 1);
        cycle = p.atrialCycle * (100 + draw(-p.cycleJitter, p.cycleJitter)) / 100;
    }
    const int entry = planWave(at, ectopicP(shape), WaveKind::p, WaveRole::supraventricular, beat,
                               marks(markAtrialWaves));
    atrialNext = at + cycle;
    conduct(entry, avVerdict(pr), WaveRole::supraventricular);
}

void Heart::fireFlutterWave(std::int64_t at) {
    const std::int64_t beat = newBeat();
    const int entry =
        planWave(at, Waveform::sawtooth(p.atrialCycle + 1, 10), WaveKind::atrialFlutter,
                 WaveRole::conducted, beat, marks(markAtrialWaves));
    atrialNext = at + p.atrialCycle;
    conduct(entry, avVerdict(p.flutterDelay), WaveRole::conducted);
}

void Heart::fireFibrillationWave(std::int64_t at) {
    const int cycle = draw(10, 17);
    const std::int64_t beat = newBeat();
    const auto amplitude = static_cast<float>(draw(15, 35)) / 10;
    const auto harmonic = static_cast<float>(draw(0, 5)) / 10;
    const auto phase = static_cast<float>(draw(0, 62)) / 10;
    const int entry =
        planWave(at, Waveform::sine(cycle + 1, amplitude, harmonic, phase),
                 WaveKind::atrialFibrillation, WaveRole::conducted, beat, marks(markAtrialWaves));
    atrialNext = at + cycle;
    const int delay = 6;
    const bool blocked = blockPending && at + delay >= avReady && at + delay >= ventReady;
    blockPending = blockPending && !blocked;
    if (!blocked && at + delay >= avReady && at + delay >= ventReady) {
        // Concealed conduction: how long the node stays shut after passing an impulse varies
        // from beat to beat, so the ventricles answer irregularly irregularly.
        const int mean = p.fibrillationRr - 7;
        avReady = at + delay + mean * draw(55, 145) / 100;
        activate(at + delay, Origin::supraventricular, WaveRole::conducted, beat, false);
    } else if (entry >= 0) {
        planned[static_cast<std::size_t>(entry)].role = WaveRole::blocked;
    }
}

void Heart::fireLower(std::int64_t at) {
    const std::int64_t beat = newBeat();
    ++lowerBeats;
    const bool slow = escapePending || p.lowerCycle >= (p.lower == Lower::junctional ? 100 : 150);
    escapePending = false;
    const bool marked = marks(markLower);
    switch (p.lower) {
    case Lower::none:
        break;
    case Lower::junctional: {
        const WaveRole role = slow ? WaveRole::escape : WaveRole::supraventricular;
        activate(at, Origin::supraventricular, role, beat, marked);
        if (p.retrogradeP) {
            planWave(at + p.retrogradeDelay, pWave(-4, 8), WaveKind::p, role, beat, marked);
        }
        break;
    }
    case Lower::ventricular:
        activate(at, Origin::ventricular, slow ? WaveRole::escape : WaveRole::ventricular, beat,
                 marked);
        break;
    case Lower::torsades: {
        // The axis turns about the baseline: amplitude waxes and wanes and the polarity twists.
        const double turn = std::cos(std::numbers::pi * lowerBeats / p.twistBeats);
        const double size = p.amplitudeLo + (p.amplitudeHi - p.amplitudeLo) * std::abs(turn);
        const auto gain = static_cast<float>(turn < 0 ? -size : size);
        lastV = at;
        planWave(at, Waveform::sine(p.lowerCycle + 1, 1, 0.25F, 1.2F), WaveKind::ventricularBeat,
                 WaveRole::ventricular, beat, marked, gain);
        break;
    }
    case Lower::flutter:
        lastV = at;
        planWave(at, Waveform::sine(p.lowerCycle + 1, static_cast<float>(p.amplitudeHi), 0, 0),
                 WaveKind::ventricularBeat, WaveRole::ventricular, beat, marked);
        break;
    }
}

void Heart::firePacer(std::int64_t at) {
    pacerNext = at + p.pacerCycle;
    const std::int64_t beat = newBeat();
    const bool spikesRed = marks(markSpikes);
    // Below its threshold the output depolarises nothing: spikes alone.
    const bool strongEnough = p.pacingOutput >= p.captureThreshold;
    const bool lostRed = spikesRed || (!strongEnough && marks(markLostSpikes));
    switch (p.pacer) {
    case Pacer::none:
        break;
    case Pacer::atrial: {
        planWave(at, spike(), WaveKind::pacingAtrial, WaveRole::paced, beat, lostRed);
        if (strongEnough) {
            const int entry =
                planWave(at + 1, pWave(4, 11), WaveKind::p, WaveRole::paced, beat, false);
            conduct(entry, avVerdict(p.pr - 1), WaveRole::paced);
        }
        break;
    }
    case Pacer::dual: {
        planWave(at, spike(), WaveKind::pacingAtrial, WaveRole::paced, beat, lostRed);
        if (strongEnough) {
            planWave(at + 1, pWave(4, 11), WaveKind::p, WaveRole::paced, beat, false);
        }
        planWave(at + p.avDelay, spike(), WaveKind::pacingVentricular, WaveRole::paced, beat,
                 lostRed);
        if (strongEnough && at + p.avDelay + 1 >= ventReady) {
            activate(at + p.avDelay + 1, Origin::paced, WaveRole::paced, beat, false);
        }
        break;
    }
    case Pacer::ventricular: {
        // A demand pacer times its cycle from its own last spike or the last beat it sensed.
        const std::int64_t due = std::max(lastSpike, lastIntrinsic) + p.pacerCycle;
        if (p.pacerSenses && at < due) {
            pacerNext = due;
            return;
        }
        lastSpike = at;
        bool captures = strongEnough && at >= ventReady && lastV < at;
        if (p.captureEveryLo > 0 && --captureCountdown < 0) {
            captureCountdown = draw(p.captureEveryLo, p.captureEveryHi);
            captures = false;
        }
        planWave(at, spike(), WaveKind::pacingVentricular, WaveRole::paced, beat,
                 spikesRed || (!captures && marks(markLostSpikes)));
        if (captures) {
            activate(at + 1, Origin::paced, WaveRole::paced, beat, false);
        }
        break;
    }
    }
}

void Heart::fireChaos(std::int64_t at) {
    const int cycle = draw(p.chaosCycleLo, p.chaosCycleHi);
    const auto amplitude = static_cast<float>(draw(p.amplitudeLo * 10, p.amplitudeHi * 10)) / 10;
    const auto harmonic = static_cast<float>(draw(0, 4)) / 10;
    const auto phase = static_cast<float>(draw(0, 62)) / 10;
    planWave(at, Waveform::sine(cycle + 1, amplitude, harmonic, phase),
             WaveKind::ventricularFibrillation, WaveRole::ventricular, newBeat(), false);
    chaosNext = at + cycle;
}

} // namespace pulsavo::conduction
