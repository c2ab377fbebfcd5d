#pragma once

#include "CommandLine.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pulsavo::strip {

struct ClassroomHostOptions {
    std::string listen; // ADDR:PORT, empty: the room's network address, any port
    std::string code;   // empty: a fresh code
    std::optional<std::string> rhythm;
    std::optional<std::string> scenarioPath; // a scenario played to the class instead
    std::uint32_t seed = 0;
    bool seedGiven = false;
    std::string question; // a poll put to every learner as they join
    std::vector<std::string> options;
    bool discovery = true;
    int discoveryPort = 0; // 0: the well-known port
};

struct ClassroomJoinOptions {
    std::string address; // empty: found on the room's network by the code
    int discoveryPort = 0;
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
