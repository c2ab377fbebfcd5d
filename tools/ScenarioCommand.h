#pragma once

#include "CommandLine.h"

namespace pulsavo::strip {

// scenario check FILE: exit 0, or 2 with "step N (title): reason".
// scenario play FILE --csv|--png|--svg|--pdf OUT [--seed N] [--log OUT] ...: the scenario as
// the console plays it, manual steps advancing after their stated or the default time.
int scenarioCommand(Arguments args);

extern const char* const scenarioUsage;

} // namespace pulsavo::strip
