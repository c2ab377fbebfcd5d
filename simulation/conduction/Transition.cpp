#include "Transition.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pulsavo::conduction {

namespace {

constexpr std::array<std::string_view, transitionKindCount> kindIds{"direct", "ramp", "r_on_t",
                                                                    "pac", "pause"};

// Cycle lengths: they move evenly in beats per minute, as a user reads a rate.
constexpr std::array cycles{&Params::atrialCycle, &Params::fibrillationRr, &Params::lowerCycle,
                            &Params::pacerCycle, &Params::runCycle};

constexpr std::array numbers{
    &Params::cycleJitter,    &Params::breathDepth,
    &Params::breathPeriod,   &Params::arrestEveryLo,
    &Params::arrestEveryHi,  &Params::dropEveryLo,
    &Params::dropEveryHi,    &Params::pr,
    &Params::prIncrement,    &Params::groupLo,
    &Params::groupHi,        &Params::ratio,
    &Params::flutterDelay,   &Params::retrogradeDelay,
    &Params::everyLo,        &Params::everyHi,
    &Params::couplingLo,     &Params::couplingHi,
    &Params::runLo,          &Params::runHi,
    &Params::chaosCycleLo,   &Params::chaosCycleHi,
    &Params::amplitudeLo,    &Params::amplitudeHi,
    &Params::twistBeats,     &Params::avDelay,
    &Params::captureEveryLo, &Params::captureEveryHi,
    &Params::pacingOutput,   &Params::captureThreshold,
    &Params::qrsWidth,       &Params::ventricularWidth,
};

int between(int from, int to, double f) {
    return static_cast<int>(std::lround(from + (to - from) * f));
}

} // namespace

std::string_view transitionKindId(TransitionKind kind) {
    return kindIds[static_cast<std::size_t>(kind)];
}

std::optional<TransitionKind> transitionKindOf(std::string_view id) {
    const auto* const found = std::find(kindIds.begin(), kindIds.end(), id);
    return found != kindIds.end()
               ? std::optional(static_cast<TransitionKind>(found - kindIds.begin()))
               : std::nullopt;
}

double ParameterRamp::fraction(std::int64_t tick) const {
    if (tick >= endTick) {
        return 1;
    }
    if (tick <= startTick) {
        return 0;
    }
    return static_cast<double>(tick - startTick) / static_cast<double>(endTick - startTick);
}

Params ParameterRamp::at(std::int64_t tick) const {
    const double f = fraction(tick);
    Params p = target;
    if (f >= 1) {
        return p;
    }
    // A number that is 0 at either end belongs to a part of the heart that starts or stops
    // with the ramp: it takes the target's value at once, as the choices do.
    for (const auto field : numbers) {
        if (from.*field != 0 && target.*field != 0) {
            p.*field = between(from.*field, target.*field, f);
        }
    }
    for (const auto field : cycles) {
        if (from.*field > 0 && target.*field > 0) {
            const double rate =
                6000.0 / from.*field + (6000.0 / target.*field - 6000.0 / from.*field) * f;
            p.*field = static_cast<int>(std::lround(6000.0 / rate));
        }
    }
    return p;
}

} // namespace pulsavo::conduction
