#pragma once

#include "CommandLine.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pulsavo::strip {

struct ClassroomHostOptions {
    std::string listen; // ADDR:PORT, empty: the room's network address, any port
    std::string code;   // empty: a fresh code
    std::optional<std::string> rhythm;
    std::uint32_t seed = 0;
    bool seedGiven = false;
};

struct ClassroomJoinOptions {
    std::string address;
    std::string code;
    std::string name = "pulsavo-strip";
    std::string eventsPath;
    std::optional<long long> ticks;
};

ClassroomHostOptions parseClassroomHostOptions(Arguments args);
ClassroomJoinOptions parseClassroomJoinOptions(Arguments args);

int classroomCommand(Arguments args);

extern const char* const classroomUsage;

} // namespace pulsavo::strip
