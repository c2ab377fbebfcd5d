#include "Preset.h"

#include "Waveform.h"

#include <algorithm>

namespace pulsavo::conduction {

int uniform(RandomSource& random, int lo, int hi) {
    if (hi <= lo) {
        return lo;
    }
    return lo + random.next() % (hi - lo + 1);
}

int cycleForRate(RandomSource& random, int lo, int hi) {
    // Whole ticks from the rate range's ends inwards, so the rate a learner measures is always
    // inside the range the explanation gives.
    return uniform(random, (6000 + hi - 1) / hi, 6000 / lo);
}

Params playable(Params p) {
    const auto range = [](int& lo, int& hi, int least, int most) {
        lo = std::clamp(lo, least, most);
        hi = std::clamp(hi, lo, most);
    };
    // The shortest cycles are the fastest rhythms the library plays (flutter at 350/min).
    p.atrialCycle = std::max(p.atrialCycle, 17);
    p.fibrillationRr = std::max(p.fibrillationRr, 20);
    p.lowerCycle = p.lower == Lower::none ? p.lowerCycle : std::max(p.lowerCycle, 17);
    p.pacerCycle = p.pacer == Pacer::none ? p.pacerCycle : std::max(p.pacerCycle, 20);
    p.cycleJitter = std::clamp(p.cycleJitter, 0, 50);
    p.breathDepth = std::clamp(p.breathDepth, 0, 50);
    p.breathPeriod = std::max(p.breathPeriod, 1);
    p.ratio = std::max(p.ratio, 1);
    p.twistBeats = p.lower == Lower::torsades ? std::max(p.twistBeats, 1) : p.twistBeats;
    p.pr = std::clamp(p.pr, 0, 60);
    p.flutterDelay = std::clamp(p.flutterDelay, 0, 60);
    p.retrogradeDelay = std::clamp(p.retrogradeDelay, 0, 60);
    p.avDelay = p.pacer == Pacer::dual ? std::clamp(p.avDelay, 1, 60) : p.avDelay;
    // Coupled beats come after the beat they follow, never before the present.
    if (p.ectopy != Ectopy::none) {
        range(p.couplingLo, p.couplingHi, 10, 300);
    }
    range(p.runLo, p.runHi, 0, 30);
    p.runCycle = p.runCycle == 0 ? 0 : std::max(p.runCycle, 20);
    if (p.fibrillatingVentricles) {
        range(p.chaosCycleLo, p.chaosCycleHi, 4, 60);
    }
    range(p.amplitudeLo, p.amplitudeHi, 0, 60);
    p.qrsWidth = std::clamp(p.qrsWidth, 3, Waveform::maxLength);
    p.ventricularWidth = std::clamp(p.ventricularWidth, 3, Waveform::maxLength);
    p.pShapes = std::max(p.pShapes, 1);
    p.ectopicShapes = std::max(p.ectopicShapes, 1);
    return p;
}

namespace {

// Sinus rhythm at lo..hi per minute with a normal PR and a narrow QRS.
Params sinus(RandomSource& random, int lo = 60, int hi = 100) {
    Params p;
    p.atrialCycle = cycleForRate(random, lo, hi);
    p.pr = uniform(random, 13, 19);
    p.qrsWidth = uniform(random, 8, 10);
    return p;
}

void ectopic(Params& p, Ectopy kind, int everyLo, int everyHi, int couplingLo, int couplingHi) {
    p.ectopy = kind;
    p.everyLo = everyLo;
    p.everyHi = everyHi;
    p.couplingLo = couplingLo;
    p.couplingHi = couplingHi;
    p.marks |= markEctopic;
}

// PVCs late enough to clear the T wave and early enough to be premature.
void pvcs(Params& p, RandomSource& random, Pattern pattern, int everyLo, int everyHi) {
    const int latest = std::min(p.atrialCycle * 70 / 100, p.atrialCycle - 14);
    const int earliest = std::clamp(p.atrialCycle * 55 / 100, 40, latest);
    const int coupling = uniform(random, earliest, latest);
    ectopic(p, Ectopy::pvc, everyLo, everyHi, coupling, coupling);
    p.pattern = pattern;
    p.ventricularWidth = uniform(random, 13, 16);
}

void flutter(Params& p, RandomSource& random, AvNode av, int ratio) {
    p.atria = Atria::flutter;
    p.atrialCycle = cycleForRate(random, 250, 350);
    p.av = av;
    p.ratio = ratio;
    p.flutterDelay = uniform(random, 22, 28);
    p.marks = markAtrialWaves;
}

void fibrillation(Params& p, RandomSource& random, int lo, int hi) {
    p.atria = Atria::fibrillation;
    p.av = AvNode::fibrillation;
    p.fibrillationRr = cycleForRate(random, lo, hi);
    p.marks = markAtrialWaves;
}

// An escape cycle that is no whole multiple of the atrial cycle, so that P waves drift through
// the escape beats instead of keeping one distance from them, which would read as conduction.
int dissociated(int atrialCycle, int cycle, int longest) {
    const auto nearMultiple = [atrialCycle](int c) {
        const int rest = c % atrialCycle;
        return rest < 5 || atrialCycle - rest < 5;
    };
    if (nearMultiple(cycle)) {
        cycle += cycle + 12 <= longest ? 12 : -12;
    }
    return cycle;
}

void lowerRhythm(Params& p, Lower lower, int cycle) {
    p.atria = Atria::silent;
    p.av = AvNode::complete;
    p.lower = lower;
    p.lowerCycle = cycle;
}

// The junction alone at lo..hi per minute, its retrograde P waves seen on half the seeds.
void junctional(Params& p, RandomSource& random, int lo, int hi, int delayLo, int delayHi) {
    lowerRhythm(p, Lower::junctional, cycleForRate(random, lo, hi));
    p.retrogradeP = random.next() % 2 == 0;
    p.retrogradeDelay = uniform(random, delayLo, delayHi);
}

void paced(Params& p, RandomSource& random, Pacer pacer) {
    p.atria = Atria::silent;
    p.av = pacer == Pacer::atrial ? AvNode::normal : AvNode::complete;
    p.pacer = pacer;
    p.pacerCycle = cycleForRate(random, 60, 80);
    p.pr = uniform(random, 16, 22);
    p.avDelay = uniform(random, 12, 20);
    p.ventricularWidth = uniform(random, 14, 16);
    p.marks = markSpikes;
}

} // namespace

Params drawPreset(LibraryRhythm rhythm, RandomSource& random) {
    using enum LibraryRhythm;
    Params p;
    switch (rhythm) {
    case sinusRhythm:
        p = sinus(random);
        break;
    case sinusBradycardia:
        p = sinus(random, 40, 59);
        break;
    case sinusTachycardia:
        p = sinus(random, 101, 160);
        p.pr = uniform(random, 12, 16);
        break;
    case sinusArrhythmia:
        p = sinus(random, 65, 90);
        p.breathDepth = uniform(random, 16, 24);
        p.breathPeriod = uniform(random, 300, 500);
        break;
    case sinusArrest:
        p = sinus(random);
        p.arrestEveryLo = 4;
        p.arrestEveryHi = 8;
        p.marks = markPause;
        break;
    case saBlock:
        p = sinus(random);
        p.dropEveryLo = 3;
        p.dropEveryHi = 7;
        p.marks = markPause;
        break;
    case pac: {
        p = sinus(random);
        // Rounded up so that the P' never comes earlier than 55 % of the cycle.
        const int coupling = (p.atrialCycle * uniform(random, 55, 74) + 99) / 100;
        ectopic(p, Ectopy::pac, 3, 8, coupling, coupling);
        break;
    }
    case atrialTachycardia:
        p = sinus(random, 150, 250);
        p.atria = Atria::focal;
        p.pr = uniform(random, 12, 16);
        p.qrsWidth = uniform(random, 7, 9);
        p.marks = markAll;
        break;
    case mat:
        p = sinus(random, 110, 140);
        p.pr = 12;
        p.atria = Atria::multifocal;
        p.cycleJitter = uniform(random, 15, 22);
        p.pShapes = uniform(random, 3, 4);
        p.marks = markAtrialWaves;
        break;
    case afControlled:
        fibrillation(p, random, 65, 95);
        break;
    case afRapid:
        fibrillation(p, random, 115, 150);
        break;
    case flutter2to1:
        flutter(p, random, AvNode::ratio, 2);
        break;
    case flutter3to1:
        flutter(p, random, AvNode::ratio, 3);
        break;
    case flutter4to1:
        flutter(p, random, AvNode::ratio, 4);
        break;
    case flutterVariable:
        flutter(p, random, AvNode::variableRatio, 2);
        break;
    case pjc:
        p = sinus(random);
        ectopic(p, Ectopy::pjc, 3, 8, p.atrialCycle * 62 / 100, p.atrialCycle * 72 / 100);
        break;
    case junctionalEscape:
        junctional(p, random, 40, 60, 10, 14);
        p.marks = markLower;
        break;
    case acceleratedJunctional:
        junctional(p, random, 61, 100, 10, 14);
        p.marks = markLower;
        break;
    case junctionalTachycardia:
        junctional(p, random, 101, 140, 9, 11);
        p.marks = markAll;
        break;
    case svtAvnrt:
        lowerRhythm(p, Lower::junctional, cycleForRate(random, 150, 250));
        p.retrogradeP = true;
        p.retrogradeDelay = uniform(random, 6, 8);
        p.qrsWidth = uniform(random, 7, 9);
        p.marks = markAll;
        break;
    case wpw:
        p = sinus(random);
        p.qrs = Qrs::preExcited;
        p.pr = uniform(random, 8, 10);
        p.qrsWidth = uniform(random, 11, 13);
        p.marks = markQrs;
        break;
    case avBlock1:
        p = sinus(random);
        p.pr = uniform(random, 22, 36);
        p.marks = markPr;
        break;
    case mobitz1:
        p = sinus(random, 60, 95);
        p.av = AvNode::wenckebach;
        p.pr = uniform(random, 16, 21);
        p.prIncrement = uniform(random, 9, 13);
        p.groupLo = p.groupHi = uniform(random, 3, 5);
        p.marks = markBlockedP;
        break;
    case mobitz2:
        p = sinus(random);
        p.av = AvNode::mobitz2;
        p.groupLo = 2;
        p.groupHi = 5;
        if (random.next() % 2 == 0) {
            p.qrs = Qrs::bundleBranch;
            p.qrsWidth = uniform(random, 12, 14);
        }
        p.marks = markBlockedP;
        break;
    case avBlock2to1:
        p = sinus(random, 70, 100);
        p.av = AvNode::ratio;
        p.ratio = 2;
        p.marks = markBlockedP;
        break;
    case chbNarrow: {
        p = sinus(random, 70, 100);
        p.av = AvNode::complete;
        p.lower = Lower::junctional;
        // The atria always outpace the escape by at least 15 per minute.
        const int atrialRate = 6000 / p.atrialCycle;
        p.lowerCycle = dissociated(
            p.atrialCycle, cycleForRate(random, 35, std::min(60, atrialRate - 15)), 6000 / 35);
        p.lowerStartsAnywhere = true;
        p.marks = markAllP;
        break;
    }
    case chbWide:
        p = sinus(random);
        p.av = AvNode::complete;
        p.lower = Lower::ventricular;
        p.lowerCycle = dissociated(p.atrialCycle, cycleForRate(random, 20, 40), 6000 / 20);
        p.lowerStartsAnywhere = true;
        p.ventricularWidth = uniform(random, 13, 16);
        p.marks = markAllP;
        break;
    case pvcUnifocal:
        p = sinus(random);
        pvcs(p, random, Pattern::random, 3, 10);
        break;
    case pvcMultifocal:
        p = sinus(random);
        pvcs(p, random, Pattern::random, 2, 5);
        p.ectopicShapes = 3;
        p.couplingLo = std::max(40, p.atrialCycle * 50 / 100);
        p.couplingHi = std::max(p.couplingLo, p.atrialCycle * 72 / 100);
        break;
    case ventricularBigeminy:
        p = sinus(random);
        pvcs(p, random, Pattern::bigeminy, 1, 1);
        break;
    case ventricularTrigeminy:
        p = sinus(random);
        pvcs(p, random, Pattern::trigeminy, 2, 2);
        break;
    case pvcCouplets:
        p = sinus(random, 60, 90);
        pvcs(p, random, Pattern::couplets, 4, 8);
        p.runCycle = uniform(random, 38, 45);
        break;
    case pvcROnT:
        p = sinus(random, 60, 90);
        pvcs(p, random, Pattern::random, 3, 7);
        p.couplingLo = p.couplingHi = uniform(random, 25, 31);
        break;
    case nsvt:
        p = sinus(random, 60, 90);
        pvcs(p, random, Pattern::runs, 5, 10);
        p.runLo = 3;
        p.runHi = 10;
        p.runCycle = cycleForRate(random, 130, 200);
        p.couplingLo = p.couplingHi = std::max(p.runCycle, 36);
        break;
    case idioventricular:
        lowerRhythm(p, Lower::ventricular, cycleForRate(random, 20, 40));
        p.ventricularWidth = uniform(random, 14, 16);
        p.marks = markLower;
        break;
    case aivr:
        lowerRhythm(p, Lower::ventricular, cycleForRate(random, 50, 100));
        p.ventricularWidth = uniform(random, 13, 16);
        p.marks = markLower;
        break;
    case vtMonomorphic:
        p = sinus(random, 60, 90);
        p.av = AvNode::complete;
        p.lower = Lower::ventricular;
        p.lowerCycle = cycleForRate(random, 130, 250);
        p.ventricularWidth = uniform(random, 13, 15);
        p.marks = markAll;
        break;
    case torsades:
        lowerRhythm(p, Lower::torsades, cycleForRate(random, 200, 250));
        p.twistBeats = uniform(random, 6, 12);
        p.amplitudeLo = 10;
        p.amplitudeHi = uniform(random, 38, 46);
        p.marks = markAll;
        break;
    case ventricularFlutter:
        lowerRhythm(p, Lower::flutter, cycleForRate(random, 250, 340));
        p.amplitudeLo = p.amplitudeHi = uniform(random, 30, 40);
        p.marks = markAll;
        break;
    case vfCoarse:
        lowerRhythm(p, Lower::none, 0);
        p.fibrillatingVentricles = true;
        p.chaosCycleLo = 14;
        p.chaosCycleHi = 36;
        p.amplitudeLo = 9;
        p.amplitudeHi = 22;
        p.marks = markAll;
        break;
    case vfFine:
        lowerRhythm(p, Lower::none, 0);
        p.fibrillatingVentricles = true;
        p.chaosCycleLo = 12;
        p.chaosCycleHi = 30;
        // With its harmonic a wave reaches 1.4 times its amplitude: under 3 mm peak to trough.
        p.amplitudeLo = 2;
        p.amplitudeHi = 3;
        p.marks = markAll;
        break;
    case asystole:
        lowerRhythm(p, Lower::none, 0);
        p.marks = markAll;
        break;
    case pWaveAsystole:
        p = sinus(random, 30, 60);
        p.av = AvNode::complete;
        p.marks = markAllP;
        break;
    case pacedAtrial:
        paced(p, random, Pacer::atrial);
        break;
    case pacedVentricular:
        paced(p, random, Pacer::ventricular);
        break;
    case pacedAv:
        paced(p, random, Pacer::dual);
        break;
    case pacedFailureToCapture:
        paced(p, random, Pacer::ventricular);
        p.captureEveryLo = 2;
        p.captureEveryHi = 3;
        p.marks = markLostSpikes;
        break;
    case pacedFailureToSense: {
        p = sinus(random, 70, 95);
        p.pacer = Pacer::ventricular;
        p.pacerSenses = false;
        p.pacerCycle = cycleForRate(random, 60, 68);
        p.ventricularWidth = uniform(random, 14, 16);
        p.marks = markLostSpikes;
        break;
    }
    case bbb:
        p = sinus(random);
        p.qrs = Qrs::bundleBranch;
        p.qrsWidth = uniform(random, 12, 16);
        p.marks = markQrs;
        break;
    case pea:
        // An organised rhythm that could be anyone's; only the missing pulse tells.
        p = sinus(random, 40, 100);
        if (random.next() % 2 == 0) {
            p.qrs = Qrs::bundleBranch;
            p.qrsWidth = uniform(random, 12, 15);
        }
        p.pulseless = true;
        p.marks = markAll;
        break;
    case vtPulseless:
        p = sinus(random, 60, 90);
        p.av = AvNode::complete;
        p.lower = Lower::ventricular;
        p.lowerCycle = cycleForRate(random, 150, 250);
        p.ventricularWidth = uniform(random, 13, 15);
        p.pulseless = true;
        p.marks = markAll;
        break;
    }
    return p;
}

} // namespace pulsavo::conduction
