#pragma once

#include "Calipers.h"
#include "Rhythm.h"
#include "RhythmTraits.h"
#include "StripFacts.h"
#include "WaveEvent.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pulsavo {

// A guided read of a frozen strip, the order a telemetry worksheet follows: rate, regularity,
// P waves, PR, QRS, then the name. Each step is checked against the strip's own waves, with
// the tolerances of the worksheet, and names the calipers that measure it on the strip.
class GuidedReading {
public:
    enum class Step : std::uint8_t { rate, regularity, pWaves, pr, qrs, name };
    static constexpr int stepCount = 6;
    static constexpr std::int64_t sixSecondTicks = 600;

    // A PR answered as "varies" or "none" instead of in ms.
    static constexpr int prVaries = -1;
    static constexpr int prNone = -2;

    // The strip from tick `first` to `last` and its waves; `sixSecond`: the rate is asked as the
    // QRS complexes counted in six seconds (times ten gives the rate).
    GuidedReading(std::span<const WaveEvent> events, std::int64_t first, std::int64_t last,
                  Rhythm rhythm, bool sixSecond);

    Step step() const { return current; }
    bool sixSecondMode() const { return sixSecond; }
    // Whether `value` is right for the current step: the rate per minute, or the QRS counted
    // in six seconds; a Regularity or PWaves as its number; the PR in ms, prVaries or prNone;
    // the QRS in ms. The name step has nothing to answer.
    bool check(int value) const;
    // On to the next step; false after the name.
    bool next();

    // The true answer of a step, as check() takes it.
    std::optional<int> truth(Step step) const;
    // The calipers that show a step on the strip, at most `atMost`.
    std::vector<calipers::Caliper> calipersFor(Step step, int atMost = 6) const;
    // Counts the six seconds from `from` instead (a strip that wraps on the panel).
    void countFrom(std::int64_t from);
    // The six seconds counted: where its marks go, and the complexes inside.
    std::int64_t sixFrom() const { return windowFrom; }
    std::int64_t sixTo() const { return windowFrom + sixSecondTicks; }
    int qrsInSixSeconds() const { return counted; }

    const StripFacts& facts() const { return measured; }
    Rhythm rhythm() const { return shown; }

private:
    std::vector<WaveEvent> waves;
    std::int64_t firstTick;
    std::int64_t lastTick;
    Rhythm shown;
    bool sixSecond;
    StripFacts measured;
    std::int64_t windowFrom = 0;
    int counted = 0;
    Step current = Step::rate;
};

} // namespace pulsavo
