#pragma once

#include "Rhythm.h"
#include "RhythmTraits.h"
#include "WaveEvent.h"

#include <cstdint>
#include <optional>
#include <span>

namespace pulsavo {

// What a strip shows when measured from the waves the simulation laid, the way a learner
// measures it on paper: the truth an answer key, a worksheet or a grader holds a reading to.
struct StripFacts {
    // Per minute, from the mean of the P–P (or flutter and fibrillation wave) and R–R intervals
    // lying wholly on the strip; none with fewer than two waves.
    std::optional<int> atrialRate;
    std::optional<int> ventricularRate;
    // PR of the conducted beats: none without one; `prVaries` when the shortest and longest
    // differ by more than one small square (40 ms), with prMs the shortest and prMaxMs the longest.
    std::optional<int> prMs;
    std::optional<int> prMaxMs;
    bool prVaries = false;
    // The median width of the QRS complexes and ventricular beats.
    std::optional<int> qrsMs;
    // The atrial activity as a reader names it: flutter or fibrillatory waves, more P waves than
    // QRS complexes, mostly ectopic or inverted P waves, none, or normal ones.
    PWaves pWaves = PWaves::none;
};

StripFacts measureStrip(std::span<const WaveEvent> events, std::int64_t first, std::int64_t last);

// The facts of an exam question's printed strip.
StripFacts examQuestionFacts(Rhythm rhythm, std::uint32_t seed);

} // namespace pulsavo
