#pragma once

#include "RhythmLibrary.h"

#include "Scenario.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace pulsavo {
class Simulation;
}

namespace pulsavo::scenario {

// The model's live controls as a scenario file names them: the one place this library reads
// the simulation's table of live parameters, transitions and instructor events.

struct ParameterRange {
    double lo = 0;
    double hi = 0;
};

std::vector<std::string_view> liveParameterIds();
bool isLiveParameter(std::string_view id);
// The values `id` takes while `rhythm` plays; none when it does not apply to that rhythm.
std::optional<ParameterRange> parameterRange(std::string_view id, LibraryRhythm rhythm);

std::vector<std::string_view> transitionKinds();
bool isTransitionKind(std::string_view id);

std::vector<std::string_view> instructorEvents();
bool isInstructorEvent(std::string_view id);

// The model's side of a step: a change to `rhythm` by the transition `kind` (the first step and
// "cut" select it afresh), the settings reached over `rampTicks` (0: at once), an event fired.
void changeRhythm(Simulation& simulation, LibraryRhythm rhythm, std::uint32_t seed,
                  std::string_view kind);
void applySettings(Simulation& simulation, const std::vector<ParameterSetting>& settings,
                   long long rampTicks);
void fireEvent(Simulation& simulation, std::string_view event);

} // namespace pulsavo::scenario
