#pragma once

#include "Monitor.h"
#include "Rhythm.h"
#include "StripPainter.h"

#include <QStringList>

#include <cstdint>

namespace pulsavo {

// One exam question on screen and on paper: six seconds of the question's rhythm, selected with
// the question's seed on the tick the question starts.
inline constexpr int examStripTicks = 6 * ticksPerSecond;

// Starts a question on a monitor that may have played anything before: a clean restart, then
// the rhythm chosen just before the next tick. The samples of the next examStripTicks ticks are
// those of the printed strip.
void startExamQuestion(Monitor& monitor, Rhythm rhythm, std::uint32_t seed);

// The printed strip of a question: the first examStripTicks ticks after startExamQuestion, one
// row on ECG paper in black only (no red marking), under `caption` only (a number, never the
// rhythm's name). An exam's artifact is laid as the exam window lays it (strength 0: none).
StripDescription examQuestionStrip(Rhythm rhythm, std::uint32_t seed, const QStringList& caption,
                                   ArtifactKind artifact = ArtifactKind::wander,
                                   int artifactStrength = 0);

} // namespace pulsavo
