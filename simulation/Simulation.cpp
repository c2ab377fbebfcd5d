#include "Simulation.h"

#include <algorithm>
#include <numeric>

namespace pulsavo {

void Simulation::layArtifact(int& fromY, int& y, bool& beep) {
    if (artifactShown) {
        fromY = shownY;
    }
    artifactShown = artifact.any();
    if (!artifactShown) {
        return;
    }
    const float offset = artifact.step(tickCount, waveListener);
    if (artifact.leadOff()) {
        // A lead off: the monitor has no signal, draws a flat line and sounds no beat.
        y = baselineY;
        beep = false;
    } else {
        // Rounded by truncating a positive number: the layers together stay well within 256 px.
        y += static_cast<int>(offset + 256.5F) - 256;
    }
    shownY = y;
}

void Simulation::deliver(const WaveEvent& event) {
    if (waveListener != nullptr) {
        waveListener->onWave(event);
    }
    if (plethOn && isVentricularComplex(event.kind)) {
        if (const auto pulse = plethWave.onComplex(event, pulseless())) {
            if (waveListener != nullptr) {
                waveListener->onWave(*pulse);
            }
        }
    }
}

void Simulation::enablePleth(bool on) {
    if (on != plethOn) {
        plethWave.reset();
        plethLevel = 0;
    }
    plethOn = on;
}

void Simulation::selectRhythm(int index, std::uint32_t seed) {
    LiveAction action;
    action.rhythm = anyRhythmAt(index);
    action.seed = seed;
    const LiveCall told(*this, action);
    random.seed(seed);
    artifact.seed(seed);
    auxCount = 0;
    beatTicks = 0;
    beepLevel = 0;
    alertColour = false;
    rhythmIndex = noRhythm;
    arrestBeatTick = 0;
    arrestCycle = 0;
    if (const auto library =
            anyRhythmAt(index) ? libraryRhythmOf(static_cast<Rhythm>(index)) : std::nullopt) {
        rhythmIndex = index;
        // The classic generators' counters mean nothing to the model: none is left over.
        beatInterval = 0;
        auxInterval = 0;
        heart.select(*library, *this);
        return;
    }
    if (index < 0 || index >= rhythmCount) {
        return;
    }
    rhythmIndex = index;

    switch (static_cast<Rhythm>(index)) {
    case Rhythm::sinusRhythm:
        beatInterval = ticksForRate(50, 120);
        break;
    case Rhythm::supraventricularPremature:
    case Rhythm::sporadicPvc:
    case Rhythm::rOnT:
    case Rhythm::sinoatrialBlock:
        beatInterval = ticksForRate(60, 100);
        auxInterval = ticksForRate(10, 20);
        auxCount = auxInterval;
        break;
    case Rhythm::atrialTachycardia:
    case Rhythm::junctionalTachycardia:
    case Rhythm::ventricularTachycardia:
        alertColour = true;
        beatInterval = ticksForRate(160, 250);
        break;
    case Rhythm::atrialFibrillation:
        alertColour = true;
        beatInterval = ticksForRate(350, 1500);
        auxInterval = 110;
        break;
    case Rhythm::atrialFlutter:
        alertColour = true;
        beatInterval = ticksForRate(250, 350);
        auxInterval = random.drawInRange(1, 5);
        auxCount = 1;
        beatTicks = 1;
        break;
    case Rhythm::multifocalPvc:
        beatInterval = ticksForRate(60, 100);
        auxInterval = ticksForRate(15, 25);
        auxCount = auxInterval;
        break;
    case Rhythm::shortRun:
        beatInterval = ticksForRate(60, 100);
        auxInterval = ticksForRate(10, 20);
        break;
    case Rhythm::ventricularFibrillation:
        alertColour = true;
        beatInterval = 0;
        auxInterval = 0;
        break;
    case Rhythm::sinusArrest:
        beatInterval = 0;
        auxInterval = 0;
        break;
    case Rhythm::firstDegreeBlock:
        beatInterval = ticksForRate(60, 100);
        beatTicks = beatInterval;
        break;
    case Rhythm::mobitzBlock:
        // The first run of conducted beats is drawn like every later one; inheriting whatever
        // an earlier rhythm left here could delay the first dropped beat by hundreds of beats.
        beatInterval = ticksForRate(60, 100);
        auxInterval = drawConductedBeats();
        beatTicks = beatInterval;
        break;
    case Rhythm::wenckebachBlock:
        beatInterval = ticksForRate(60, 100);
        auxInterval = 4;
        beatTicks = beatInterval;
        break;
    case Rhythm::completeBlock:
        beatInterval = ticksForRate(35, 55);
        auxInterval = ticksForRate(20, 100);
        auxCount = auxInterval;
        beatTicks = beatInterval;
        break;
    }
}

void Simulation::runGenerator() {
    switch (static_cast<Rhythm>(rhythmIndex)) {
    case Rhythm::sinusRhythm:
        tickSinusRhythm(beatInterval);
        break;
    case Rhythm::supraventricularPremature:
        tickSupraventricularPremature(beatInterval);
        break;
    case Rhythm::atrialTachycardia:
        tickAtrialTachycardia(beatInterval);
        break;
    case Rhythm::junctionalTachycardia:
        tickJunctionalTachycardia(beatInterval);
        break;
    case Rhythm::atrialFibrillation:
        tickAtrialFibrillation();
        break;
    case Rhythm::atrialFlutter:
        tickAtrialFlutter(beatInterval, auxInterval);
        break;
    case Rhythm::sporadicPvc:
        tickSporadicPvc(beatInterval);
        break;
    case Rhythm::multifocalPvc:
        tickMultifocalPvc(beatInterval);
        break;
    case Rhythm::rOnT:
        tickROnT(beatInterval);
        break;
    case Rhythm::shortRun:
        tickShortRun(beatInterval);
        break;
    case Rhythm::ventricularTachycardia:
        tickVentricularTachycardia(beatInterval);
        break;
    case Rhythm::ventricularFibrillation:
        tickVentricularFibrillation();
        break;
    case Rhythm::sinusArrest:
        tickSinusArrest();
        break;
    case Rhythm::sinoatrialBlock:
        tickSinoatrialBlock(beatInterval);
        break;
    case Rhythm::firstDegreeBlock:
        tickFirstDegreeBlock(beatInterval);
        break;
    case Rhythm::mobitzBlock:
        tickMobitzBlock(beatInterval);
        break;
    case Rhythm::wenckebachBlock:
        tickWenckebachBlock(beatInterval);
        break;
    case Rhythm::completeBlock:
        tickCompleteBlock(beatInterval, auxInterval);
        break;
    default:
        if (playsLibrary()) {
            heart.tick(*this);
        }
        break;
    }
}

int Simulation::restingLevel() const {
    return std::accumulate(deltaQueue.begin(), deltaQueue.end(), traceY);
}

int Simulation::ticksUntilBeep() const {
    if (playsLibrary()) {
        const int ahead = heart.ticksUntilBeep(tickCount);
        return ahead < 0 ? nothingDue : ahead;
    }
    int y = traceY;
    for (int i = 0; i < queueLength; ++i) {
        y += deltaQueue[static_cast<std::size_t>(i)];
        if (y < beepLevel) {
            return i;
        }
    }
    return nothingDue;
}

void Simulation::addQrsT(int qrsAt, int tAt) {
    addTemplate(qrsComplex, qrsAt);
    addTemplate(tWave, tAt);
}

void Simulation::reportBeat(WaveRole role, int pAt, int qrsAt, int tAt) {
    const std::int64_t beat = nextBeat();
    if (pAt >= 0) {
        report(WaveKind::p, role, pAt, beat);
    }
    report(WaveKind::qrs, role, qrsAt, beat);
    report(WaveKind::t, role, tAt, beat);
}

void Simulation::tickSinusRhythm(int interval) {
    if (beatTicks >= interval) {
        beepLevel = 44;
        addTemplate(pWave, 0);
        addQrsT(12, 20);
        // Paroxysmal atrial tachycardia plays its ectopic atrial beats through the sinus step.
        reportBeat(rhythmIndex == indexOf(Rhythm::atrialTachycardia) ? WaveRole::supraventricular
                                                                     : WaveRole::conducted,
                   0, 12, 20);
        beatTicks = 0;
    }
    ++beatTicks;
}

void Simulation::tickSupraventricularPremature(int interval) {
    if (auxCount >= auxInterval && beatTicks >= 40) {
        addTemplate(pWave, 0);
        addQrsT(12, 20);
        reportBeat(WaveRole::supraventricular, 0, 12, 20);
        auxCount = 0;
        beatTicks = 0;
        auxInterval = ticksForRate(10, 20);
    }
    tickSinusRhythm(interval);
    ++auxCount;
    alertColour = auxCount <= 48;
}

void Simulation::tickAtrialTachycardia(int interval) {
    tickSinusRhythm(interval);
    alertColour = true;
}

void Simulation::tickJunctionalTachycardia(int interval) {
    alertColour = true;
    if (beatTicks >= interval) {
        beepLevel = 44;
        addQrsT(12, 20);
        reportBeat(WaveRole::supraventricular, -1, 12, 20);
        beatTicks = 0;
    }
    ++beatTicks;
}

void Simulation::tickAtrialFibrillation() {
    alertColour = auxCount > 8;
    if (beatTicks >= beatInterval) {
        addTemplate(pWave, 0);
        report(WaveKind::atrialFibrillation, WaveRole::blocked, 0, nextBeat());
        beatInterval = ticksForRate(350, 1500);
        beatTicks = 0;
    }
    if (auxCount >= auxInterval) {
        addQrsT(0, 8);
        reportBeat(WaveRole::conducted, -1, 0, 8);
        auxInterval = ticksForRate(40, 110);
        auxCount = 0;
        beepLevel = 44;
    }
    ++beatTicks;
    ++auxCount;
}

void Simulation::tickAtrialFlutter(int interval, int ratio) {
    beepLevel = 45;
    alertColour = beatTicks > 8 || auxCount != 0;
    const bool flutterWave = beatTicks >= interval;
    if (flutterWave) {
        addTemplate(tWave, 0);
        beatTicks = 0;
        ++auxCount;
    }
    const bool conducts = auxCount == ratio;
    if (conducts) {
        beepLevel = 44;
        addTemplate(qrsComplex, 0);
        auxCount = 0;
        beatTicks = 0;
    }
    // The wave laid with a QRS is the one conducted; right after the selection a QRS may come
    // without a wave of its own.
    if (flutterWave || conducts) {
        const std::int64_t beat = nextBeat();
        if (flutterWave) {
            report(WaveKind::atrialFlutter, conducts ? WaveRole::conducted : WaveRole::blocked, 0,
                   beat);
        }
        if (conducts) {
            report(WaveKind::qrs, WaveRole::conducted, 0, beat);
        }
    }
    ++beatTicks;
}

void Simulation::layEctopicBeat(bool mayMirror) {
    beepLevel = 37;
    const bool mirrored = mayMirror && random.next() % 2 == 1;
    if (mirrored) {
        subtractTemplate(ventricularBeat, 0);
    } else {
        addTemplate(ventricularBeat, 0);
    }
    report(WaveKind::ventricularBeat, WaveRole::ventricular, 0, nextBeat(), mirrored);
    auxInterval = ticksForRate(10, 20);
    beatTicks = 0;
    auxCount = 0;
}

void Simulation::finishEctopicTick(int interval) {
    tickSinusRhythm(interval);
    ++auxCount;
    alertColour = auxCount < 46;
}

void Simulation::tickSporadicPvc(int interval) {
    if (auxCount >= auxInterval && beatTicks >= 50) {
        layEctopicBeat(false);
    }
    finishEctopicTick(interval);
}

void Simulation::tickMultifocalPvc(int interval) {
    if (auxCount >= auxInterval && beatTicks >= 50) {
        layEctopicBeat(true);
    }
    finishEctopicTick(interval);
}

void Simulation::tickROnT(int interval) {
    if (auxCount >= auxInterval && beatTicks == 40) {
        layEctopicBeat(false);
    }
    finishEctopicTick(interval);
}

void Simulation::tickShortRun(int interval) {
    if (auxCount >= auxInterval && beatTicks >= 40) {
        runLength = random.drawInRange(2, 5);
        beepLevel = 37;
        for (int i = 0; i < runLength; ++i) {
            addTemplate(ventricularBeat, 40 * i);
            report(WaveKind::ventricularBeat, WaveRole::ventricular, 40 * i, nextBeat());
        }
        // Negative until the run has been drawn out, which holds the sinus beats back.
        beatTicks = -(40 * runLength + 6);
        auxCount = 0;
        auxInterval = ticksForRate(10, 20);
    }
    tickSinusRhythm(interval);
    alertColour = beatTicks < 0;
    ++auxCount;
}

void Simulation::tickVentricularTachycardia(int interval) {
    beepLevel = 37;
    if (beatTicks >= interval) {
        addTemplate(ventricularBeat, 0);
        report(WaveKind::ventricularBeat, WaveRole::ventricular, 0, nextBeat());
        beatTicks = 0;
    }
    ++beatTicks;
}

void Simulation::tickVentricularFibrillation() {
    beepLevel = 37;
    alertColour = true;
    if (beatTicks >= beatInterval) {
        addTemplate(fibrillationWave, 0);
        report(WaveKind::ventricularFibrillation, WaveRole::ventricular, 0, nextBeat());
        beatTicks = 0;
        beatInterval = ticksForRate(135, 1000);
    }
    ++beatTicks;
}

// A pause at least half as long again as the cycle before it is an arrest of the sinus node:
// the beat due one such cycle after the last one is reported missing, on the tick it was due.
void Simulation::tickSinusArrest() {
    alertColour = beatTicks > 48;
    if (beatTicks >= beatInterval) {
        tickSinusRhythm(0);
        beatInterval = ticksForRate(20, 80);
        arrestCycle = arrestBeatTick > 0 ? tickCount - arrestBeatTick : 0;
        arrestBeatTick = tickCount;
    } else if (arrestCycle > 0 && tickCount == arrestBeatTick + arrestCycle &&
               2 * static_cast<std::int64_t>(beatInterval - 1) >= 3 * arrestCycle) {
        report(WaveKind::p, WaveRole::missing, 0, nextBeat());
    }
    ++beatTicks;
}

// Runs of conducted beats, auxInterval long, each followed by one beat place without a QRS:
// nothing at all in a sinoatrial block, a lone P wave in a Mobitz block. The lone P wave is
// added like every other wave; writing it over slots 0..7 would lose steps still pending from
// the previous rhythm and shift the resting level for good.
void Simulation::conductOrDropBeat(int interval, bool keepsPWave) {
    if (beatTicks >= interval && auxCount < auxInterval) {
        tickSinusRhythm(interval);
        ++auxCount;
    }
    if (beatTicks >= interval && auxCount >= auxInterval) {
        if (keepsPWave) {
            addTemplate(pWave, 0);
        }
        report(WaveKind::p, keepsPWave ? WaveRole::blocked : WaveRole::missing, 0, nextBeat());
        auxCount = 0;
        beatTicks = 0;
        auxInterval = drawConductedBeats();
    }
}

void Simulation::tickSinoatrialBlock(int interval) {
    conductOrDropBeat(interval, false);
    alertColour = auxCount == 0;
    ++beatTicks;
}

void Simulation::tickFirstDegreeBlock(int interval) {
    if (beatTicks >= interval) {
        beepLevel = 44;
        addTemplate(pWave, 0);
        addTemplate(qrsComplex, 25);
        addTemplate(tWave, 33);
        reportBeat(WaveRole::conducted, 0, 25, 33);
        beatTicks = 0;
    }
    alertColour = beatTicks >= 8 && beatTicks <= 25;
    ++beatTicks;
}

void Simulation::tickMobitzBlock(int interval) {
    conductOrDropBeat(interval, true);
    alertColour = auxCount == 0 && beatTicks <= 48;
    ++beatTicks;
}

void Simulation::tickWenckebachBlock(int interval) {
    beepLevel = 44;
    if (beatTicks >= interval && auxCount < auxInterval) {
        const int lengthening = 4 * auxCount;
        addTemplate(pWave, 0);
        addTemplate(qrsComplex, 12 + lengthening);
        addTemplate(tWave, 20 + lengthening);
        reportBeat(WaveRole::conducted, 0, 12 + lengthening, 20 + lengthening);
        beatTicks = 0;
        ++auxCount;
    }
    if (beatTicks >= interval && auxCount >= auxInterval) {
        addTemplate(pWave, 0); // the lone P wave, added for the same reason as a Mobitz block's
        report(WaveKind::p, WaveRole::blocked, 0, nextBeat());
        auxCount = 0;
        beatTicks = 0;
    }
    alertColour = beatTicks <= 4 * auxCount + 8;
    ++beatTicks;
}

void Simulation::tickCompleteBlock(int ventricularInterval, int atrialInterval) {
    beepLevel = 44;
    if (beatTicks >= ventricularInterval) {
        addTemplate(qrsComplex, 0);
        addTemplate(tWave, 8);
        reportBeat(WaveRole::escape, -1, 0, 8);
        beatTicks = 0;
    }
    if (auxCount >= atrialInterval) {
        addTemplate(pWave, 0);
        report(WaveKind::p, WaveRole::blocked, 0, nextBeat());
        auxCount = 0;
    }
    alertColour = beatTicks < 36 || auxCount < 8;
    ++beatTicks;
    ++auxCount;
}

conduction::Params Simulation::libraryTarget() const {
    return heart.target();
}

bool Simulation::rampLibraryParameters(const conduction::Params& target, int ticks) {
    LiveAction action;
    action.kind = LiveAction::Kind::ramp;
    action.from = libraryTarget();
    action.target = target;
    action.ticks = ticks;
    const LiveCall told(*this, action);
    if (!playsLibrary()) {
        return false;
    }
    heart.ramp(target, ticks);
    return true;
}

std::optional<conduction::ParameterRamp> Simulation::libraryRamp() const {
    return playsLibrary() ? heart.currentRamp() : std::nullopt;
}

bool Simulation::transitionTo(LibraryRhythm next, std::uint32_t seed, conduction::Transition how) {
    LiveAction action;
    action.kind = LiveAction::Kind::transition;
    action.next = next;
    action.seed = seed;
    action.how = how;
    const LiveCall told(*this, action);
    if (!playsLibrary()) {
        selectRhythm(rhythmOf(next), seed);
        return false;
    }
    random.seed(seed);
    const conduction::Params params = conduction::drawPreset(next, random);
    rhythmIndex = indexOf(rhythmOf(next));
    heart.transition(params, how);
    return true;
}

std::optional<conduction::TransitionKind> Simulation::pendingTransition() const {
    return playsLibrary() ? heart.pendingTransition() : std::nullopt;
}

bool Simulation::pvcNow() {
    LiveAction action;
    action.kind = LiveAction::Kind::pvcNow;
    const LiveCall told(*this, action);
    const auto& p = heart.parameters();
    // Fibrillating or fluttering ventricles have no beat a premature one could come before.
    if (!playsLibrary() || p.fibrillatingVentricles || p.lower == conduction::Lower::torsades ||
        p.lower == conduction::Lower::flutter) {
        return false;
    }
    heart.pvcNow();
    return true;
}

bool Simulation::blockNextBeat() {
    LiveAction action;
    action.kind = LiveAction::Kind::blockBeat;
    const LiveCall told(*this, action);
    using namespace conduction;
    const Params& p = heart.parameters();
    if (!playsLibrary() || p.av == AvNode::complete ||
        (p.atria == Atria::silent && p.pacer != Pacer::atrial)) {
        return false;
    }
    heart.blockNextBeat();
    return true;
}

void Simulation::defibrillate(const conduction::Shock& shock) {
    LiveAction action;
    action.kind = LiveAction::Kind::shock;
    action.shock = shock;
    const LiveCall told(*this, action);
    using conduction::Heart;
    if (shock.after && playsLibrary()) {
        random.seed(shock.seed);
        rhythmIndex = indexOf(rhythmOf(*shock.after));
        heart.shock(conduction::drawPreset(*shock.after, random), shock.pauseTicks);
    } else if (shock.after) {
        // From a classic rhythm the model starts afresh, the shock first.
        selectRhythm(rhythmOf(*shock.after), shock.seed);
        heart.shock(heart.parameters(), shock.pauseTicks);
    } else if (playsLibrary()) {
        heart.shock(heart.target(), shock.pauseTicks);
    } else {
        // No model to stun: the shock is laid over whatever the queue holds.
        std::array<int, Heart::shockLength> heights{};
        conduction::Waveform::shock(Heart::shockLength, Heart::shockDepth).render(1, heights);
        int previous = 0;
        for (std::size_t i = 0; i < heights.size(); ++i) {
            deltaQueue[i] += previous - heights[i];
            previous = heights[i];
        }
        reportWave({tickCount + 1, WaveKind::shock, WaveRole::artifact, Heart::shockLength, 0});
    }
}

bool Simulation::setPacing(conduction::Pacer mode, int ratePerMin, int outputMa) {
    LiveAction action;
    action.kind = LiveAction::Kind::pacing;
    action.pacer = mode;
    action.rate = ratePerMin;
    action.output = outputMa;
    const LiveCall told(*this, action);
    if (!playsLibrary()) {
        return false;
    }
    using conduction::LiveParameterId;
    heart.setLive(LiveParameterId::pacingMode, static_cast<double>(mode));
    if (mode != conduction::Pacer::none) {
        heart.setLive(LiveParameterId::pacingRate, ratePerMin);
        heart.setLive(LiveParameterId::pacingOutput, outputMa);
    }
    return true;
}

} // namespace pulsavo
