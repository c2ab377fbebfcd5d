#pragma once

#include "Rhythm.h"

#include <cstdint>

namespace pulsavo {

// What a worksheet asks of a strip beside its measurements: how regular the ventricles are,
// what the P waves look like, and what to do next. Regularity and the next step are knowledge
// about the rhythm; the P waves are read from the strip's own waves.
enum class Regularity : std::uint8_t { regular, regularlyIrregular, irregularlyIrregular };

enum class PWaves : std::uint8_t {
    normal,      // upright, one before each QRS
    abnormal,    // inverted, retrograde or of changing shape
    moreThanQrs, // more P waves than QRS complexes
    flutter,     // flutter waves
    fibrillatory,
    none,
};

enum class NextStep : std::uint8_t {
    observe,      // no treatment of the rhythm itself
    assess,       // call for help and assess the patient
    cardiovert,   // synchronised cardioversion if unstable
    defibrillate, // shock now
    pace,         // atropine, pacing
    cpr,          // CPR and adrenaline, no shock
};

constexpr unsigned stepBit(NextStep step) {
    return 1U << static_cast<unsigned>(step);
}

struct RhythmTraits {
    Regularity regularity = Regularity::regular;
    // Premature beats or pauses now and then in a regular rhythm: the reader may call it either
    // kind of irregular.
    bool occasionallyIrregular = false;
    // The next steps a rhythm's management starts with (stepBit each): VT is checked for a pulse
    // and shocked, a rapid AF assessed and cardioverted if unstable.
    unsigned nextSteps = stepBit(NextStep::observe);

    bool accepts(Regularity answer) const {
        return answer == regularity || (occasionallyIrregular && answer != Regularity::regular);
    }
    bool accepts(NextStep answer) const { return (nextSteps & stepBit(answer)) != 0; }
};

RhythmTraits traitsOf(Rhythm rhythm);

} // namespace pulsavo
