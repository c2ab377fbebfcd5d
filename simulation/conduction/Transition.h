#pragma once

#include "Preset.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace pulsavo::conduction {

// How one library rhythm gives way to another while the heart keeps its timing. The ids are
// stored in scenario files: never renamed, new kinds added at the end.
enum class TransitionKind : std::uint8_t {
    direct, // "direct": the new rhythm's values from the next beat on
    ramp,   // "ramp": numbers move linearly over `ticks`, choices change at the next beat
    rOnT,   // "r_on_t": a PVC on the T wave of the next beat starts the new rhythm (VF, torsades)
    pac,    // "pac": a PAC starts the new rhythm (AVNRT, atrial fibrillation or flutter)
    pause,  // "pause": the atria fall silent; the pause ends in the new rhythm's escape beat
};

inline constexpr int transitionKindCount = 5;

struct Transition {
    TransitionKind kind = TransitionKind::direct;
    int ticks = 0; // ramp: its length; the other kinds ignore it
};

std::string_view transitionKindId(TransitionKind kind);
std::optional<TransitionKind> transitionKindOf(std::string_view id);

// A linear move of a library rhythm's numbers from `from` to `target` between two horizon
// ticks. Rates (cycle lengths) move linearly in beats per minute, other numbers linearly as
// they are; choices and switches take the target's value from the start.
struct ParameterRamp {
    Params from;
    Params target;
    std::int64_t startTick = 0; // the heart's decision horizon when it began
    std::int64_t endTick = 0;   // the values are the target's from this tick on

    // The values the heart decides with at horizon tick `tick`.
    Params at(std::int64_t tick) const;
    // 0 at the start, 1 once done.
    double fraction(std::int64_t tick) const;
};

// A defibrillator's shock and what the heart does after it.
struct Shock {
    // The rhythm that follows the shock (sinus for a return of circulation, asystole …), its
    // values drawn from `seed`; nullopt: the rhythm that played resumes (a shock that fails).
    std::optional<LibraryRhythm> after;
    std::uint32_t seed = 0;
    int pauseTicks = 150; // the flat line of the stunned heart before `after` begins
};

} // namespace pulsavo::conduction
