#pragma once

#include "Rhythm.h"
#include "RhythmLibrary.h"
#include "conduction/Heart.h"
#include "conduction/Transition.h"

#include <cstdint>
#include <optional>

namespace pulsavo {

// What drove a simulation from outside, told as it is done: a selection, a live change, a
// transition, an instructor's event. Whoever plays the same simulation elsewhere (a class's
// learners) can do the same thing at the same tick and play the same trace.
struct LiveAction {
    enum class Kind { select, ramp, transition, pvcNow, blockBeat, shock, pacing };

    Kind kind = Kind::select;
    std::optional<Rhythm> rhythm;                    // select
    std::uint32_t seed = 0;                          // select, transition
    LibraryRhythm next = LibraryRhythm::sinusRhythm; // transition
    conduction::Transition how;                      // transition
    conduction::Params from;                         // ramp: the target before the change
    conduction::Params target;                       // ramp
    int ticks = 0;                                   // ramp
    conduction::Shock shock;
    conduction::Pacer pacer = conduction::Pacer::none; // pacing
    int rate = 0;                                      // pacing
    int output = 0;                                    // pacing
};

} // namespace pulsavo
