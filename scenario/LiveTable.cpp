#include "LiveTable.h"

#include "Simulation.h"

#include <algorithm>
#include <array>

namespace pulsavo::scenario {

namespace {

// Provisional until the model's table lands.
struct Entry {
    std::string_view id;
    double lo;
    double hi;
};
constexpr std::array<Entry, 3> entries{{
    {"atrial_rate", 20, 250},
    {"ventricular_rate", 20, 250},
    {"pr_ms", 80, 400},
}};
constexpr std::array<std::string_view, 2> transitions{"cut", "ramp"};
constexpr std::array<std::string_view, 2> events{"pvc", "defibrillate"};

} // namespace

std::vector<std::string_view> liveParameterIds() {
    std::vector<std::string_view> ids;
    for (const Entry& e : entries) {
        ids.push_back(e.id);
    }
    return ids;
}

bool isLiveParameter(std::string_view id) {
    return std::any_of(entries.begin(), entries.end(), [id](const Entry& e) { return e.id == id; });
}

std::optional<ParameterRange> parameterRange(std::string_view id, LibraryRhythm /*rhythm*/) {
    for (const Entry& e : entries) {
        if (e.id == id) {
            return ParameterRange{e.lo, e.hi};
        }
    }
    return std::nullopt;
}

std::vector<std::string_view> transitionKinds() {
    return {transitions.begin(), transitions.end()};
}

bool isTransitionKind(std::string_view id) {
    return std::find(transitions.begin(), transitions.end(), id) != transitions.end();
}

std::vector<std::string_view> instructorEvents() {
    return {events.begin(), events.end()};
}

bool isInstructorEvent(std::string_view id) {
    return std::find(events.begin(), events.end(), id) != events.end();
}

void changeRhythm(Simulation& simulation, LibraryRhythm rhythm, std::uint32_t seed,
                  std::string_view /*kind*/) {
    simulation.selectRhythm(rhythmOf(rhythm), seed);
}

void applySettings(Simulation& simulation, const std::vector<ParameterSetting>& settings,
                   long long /*rampTicks*/) {
    conduction::Params params = simulation.libraryParameters();
    for (const ParameterSetting& setting : settings) {
        if (setting.id == "atrial_rate") {
            params.atrialCycle = static_cast<int>(6000 / setting.value);
        }
    }
    simulation.changeLibraryParameters(params);
}

void fireEvent(Simulation& /*simulation*/, std::string_view /*event*/) {}

} // namespace pulsavo::scenario
