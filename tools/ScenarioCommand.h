#pragma once

#include "CommandLine.h"
#include "Scenario.h"

namespace pulsavo::strip {

// scenario check FILE: exit 0, or 2 with "step N (title): reason".
// scenario play FILE --csv|--png|--svg|--pdf OUT [--seed N] [--log OUT] ...: the scenario as
// the console plays it, manual steps advancing after their stated or the default time.
int scenarioCommand(Arguments args);

// The scenario in FILE, or a usage error saying which step is wrong and why, in English.
pulsavo::scenario::Scenario readCheckedScenario(std::string_view path);

extern const char* const scenarioUsage;

} // namespace pulsavo::strip
