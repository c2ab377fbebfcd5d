#pragma once

#include "CommandLine.h"

namespace pulsavo::strip {

// The rhythm named by `text`: its exact catalogue name or its index 0..17.
int parseRhythm(std::string_view text);

int listCommand(Arguments args);
int explainCommand(Arguments args);

extern const char* const listUsage;
extern const char* const explainUsage;

} // namespace pulsavo::strip
