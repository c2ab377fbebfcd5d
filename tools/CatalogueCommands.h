#pragma once

#include "CommandLine.h"

namespace pulsavo::strip {

// The rhythm index named by `text`: an exact catalogue name (a library name gives 18 and up) or
// a classic index 0..17.
int parseRhythm(std::string_view text);

int listCommand(Arguments args);
int explainCommand(Arguments args);

extern const char* const listUsage;
extern const char* const explainUsage;

} // namespace pulsavo::strip
