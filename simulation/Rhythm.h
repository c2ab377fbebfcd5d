#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace pulsavo {

// One of the 18 rhythms the monitor plays. The numbering is fixed: it is the list position, the
// catalogue entry, the row of starting values, the generator and the number on every command line
// and in every stored answer, so new rhythms may only ever be appended.
enum class Rhythm : int {
    sinusRhythm,
    supraventricularPremature,
    atrialTachycardia,
    junctionalTachycardia,
    atrialFibrillation,
    atrialFlutter,
    sporadicPvc,
    multifocalPvc,
    rOnT,
    shortRun,
    ventricularTachycardia,
    ventricularFibrillation,
    sinusArrest,
    sinoatrialBlock,
    firstDegreeBlock,
    mobitzBlock,
    wenckebachBlock,
    completeBlock,
};

inline constexpr int rhythmCount = 18;
inline constexpr int noRhythm = -1;

constexpr int indexOf(Rhythm rhythm) {
    return static_cast<int>(rhythm);
}

constexpr std::optional<Rhythm> rhythmAt(int index) {
    if (index < 0 || index >= rhythmCount) {
        return std::nullopt;
    }
    return static_cast<Rhythm>(index);
}

inline constexpr std::array<Rhythm, rhythmCount> allRhythms = [] {
    std::array<Rhythm, rhythmCount> rhythms{};
    for (int i = 0; i < rhythmCount; ++i) {
        rhythms[static_cast<std::size_t>(i)] = static_cast<Rhythm>(i);
    }
    return rhythms;
}();

static_assert(indexOf(Rhythm::completeBlock) == rhythmCount - 1,
              "rhythmCount must match the enumeration");

// The three families the practice options group rhythms by.
enum class RhythmFamily { sinusAndConduction, supraventricular, ventricular };

constexpr RhythmFamily familyOf(Rhythm rhythm) {
    switch (rhythm) {
    case Rhythm::supraventricularPremature:
    case Rhythm::atrialTachycardia:
    case Rhythm::junctionalTachycardia:
    case Rhythm::atrialFibrillation:
    case Rhythm::atrialFlutter:
        return RhythmFamily::supraventricular;
    case Rhythm::sporadicPvc:
    case Rhythm::multifocalPvc:
    case Rhythm::rOnT:
    case Rhythm::shortRun:
    case Rhythm::ventricularTachycardia:
    case Rhythm::ventricularFibrillation:
        return RhythmFamily::ventricular;
    default:
        return RhythmFamily::sinusAndConduction;
    }
}

} // namespace pulsavo
