#include "RhythmTraits.h"

#include "RhythmLibrary.h"

namespace pulsavo {

namespace {

using enum NextStep;

// The next steps each kind of rhythm accepts.
constexpr unsigned watch = stepBit(observe);
constexpr unsigned watchOrAssess = stepBit(observe) | stepBit(assess);
constexpr unsigned unstableFast = stepBit(assess) | stepBit(cardiovert);
constexpr unsigned slowBlock = stepBit(assess) | stepBit(pace);
constexpr unsigned maybePulseless = stepBit(assess) | stepBit(defibrillate);
constexpr unsigned shock = stepBit(defibrillate);
constexpr unsigned noShock = stepBit(cpr);

constexpr RhythmTraits regular(unsigned next = watch) {
    return {Regularity::regular, false, next};
}
constexpr RhythmTraits occasional(unsigned next = watchOrAssess) {
    return {Regularity::regularlyIrregular, true, next};
}
constexpr RhythmTraits patterned(unsigned next = watch) {
    return {Regularity::regularlyIrregular, false, next};
}
constexpr RhythmTraits chaotic(unsigned next = watchOrAssess) {
    return {Regularity::irregularlyIrregular, false, next};
}

RhythmTraits classicTraits(Rhythm rhythm) {
    switch (rhythm) {
    case Rhythm::sinusRhythm:
    case Rhythm::firstDegreeBlock:
        return regular();
    case Rhythm::supraventricularPremature:
    case Rhythm::sporadicPvc:
    case Rhythm::sinusArrest:
    case Rhythm::sinoatrialBlock:
    case Rhythm::multifocalPvc:
    case Rhythm::rOnT:
    case Rhythm::shortRun:
        return occasional();
    case Rhythm::atrialTachycardia:
    case Rhythm::junctionalTachycardia:
        return regular(unstableFast);
    case Rhythm::atrialFibrillation:
        return chaotic();
    case Rhythm::atrialFlutter:
        return patterned(watchOrAssess);
    case Rhythm::ventricularTachycardia:
        return regular(maybePulseless);
    case Rhythm::ventricularFibrillation:
        return chaotic(shock);
    case Rhythm::mobitzBlock:
    case Rhythm::completeBlock:
        return patterned(slowBlock);
    case Rhythm::wenckebachBlock:
        return patterned(watchOrAssess);
    }
    return regular();
}

} // namespace

RhythmTraits traitsOf(Rhythm rhythm) {
    const auto library = libraryRhythmOf(rhythm);
    if (!library) {
        return classicTraits(rhythm);
    }
    using enum LibraryRhythm;
    switch (*library) {
    case sinusRhythm:
    case sinusTachycardia:
    case avBlock1:
    case bbb:
    case wpw:
    case acceleratedJunctional:
    case pacedAtrial:
    case pacedVentricular:
    case pacedAv:
        return regular();
    case sinusBradycardia:
    case junctionalEscape:
        return regular(watchOrAssess);
    case sinusArrhythmia:
        return patterned();
    case sinusArrest:
    case saBlock:
    case pac:
    case pjc:
    case pvcUnifocal:
    case pvcMultifocal:
    case pvcCouplets:
    case pvcROnT:
    case nsvt:
        return occasional();
    case ventricularBigeminy:
    case ventricularTrigeminy:
        return patterned(watchOrAssess);
    case atrialTachycardia:
    case svtAvnrt:
    case junctionalTachycardia:
    case flutter2to1:
        return regular(unstableFast);
    case flutter3to1:
    case flutter4to1:
        return regular(watchOrAssess);
    case mat:
    case afControlled:
    case flutterVariable:
    case pacedFailureToSense:
        return chaotic();
    case afRapid:
        return chaotic(unstableFast);
    case mobitz1:
        return patterned(watchOrAssess);
    case mobitz2:
    case avBlock2to1:
    case pacedFailureToCapture:
        return patterned(slowBlock);
    case chbNarrow:
    case chbWide:
    case idioventricular:
        return regular(slowBlock);
    case aivr:
        return regular(watchOrAssess);
    case vtMonomorphic:
        return regular(maybePulseless);
    case ventricularFlutter:
    case vtPulseless:
        return regular(shock);
    case torsades:
    case vfCoarse:
    case vfFine:
        return chaotic(shock);
    case asystole:
    case pWaveAsystole:
    case pea:
        return regular(noShock);
    }
    return regular();
}

} // namespace pulsavo
