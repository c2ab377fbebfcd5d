#pragma once

#include "Scenario.h"

#include <string_view>
#include <vector>

namespace pulsavo::scenario {

// What a scenario file names besides rhythms, as lists for the schema and the console: the
// model's live parameters and transition kinds, and the instructor events a step may fire.
std::vector<std::string_view> liveParameterIds();
std::vector<std::string_view> transitionKinds();
std::vector<std::string_view> instructorEvents();
bool isInstructorEvent(std::string_view id);

inline constexpr std::string_view shockEvent = "defibrillate";

} // namespace pulsavo::scenario
