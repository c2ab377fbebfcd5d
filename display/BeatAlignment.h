#pragma once

#include "Rhythm.h"

#include <cstdint>
#include <span>
#include <vector>

namespace pulsavo {

// Where the ventricular complexes of `rhythm` played from `seed` peak over its first `ticks`
// ticks, in tick order, ticks counted from 1 as a monitor draws them.
std::vector<std::int64_t> ventricularPeaks(Rhythm rhythm, std::uint32_t seed, int ticks);

// How many ticks a compared trace runs unseen before it is shown beside the question's, so
// that its first complex at or after the question's first peaks on the same tick: the learner
// sees the two differ at matching beats. 0 when either shows no complex.
int alignmentLead(std::span<const std::int64_t> question, std::span<const std::int64_t> compared);

// The lead of `compared` against `question`, both played from `seed`.
int compareLead(Rhythm question, Rhythm compared, std::uint32_t seed);

} // namespace pulsavo
