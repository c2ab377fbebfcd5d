#include "LiveTable.h"

#include "conduction/LiveParameter.h"
#include "conduction/Transition.h"

#include <algorithm>
#include <array>

namespace pulsavo::scenario {

namespace {

constexpr std::array<std::string_view, 3> events{"pvc", "block_beat", shockEvent};

} // namespace

std::vector<std::string_view> liveParameterIds() {
    std::vector<std::string_view> ids;
    for (const conduction::LiveParameter& parameter : conduction::liveParameters()) {
        ids.push_back(parameter.id);
    }
    return ids;
}

std::vector<std::string_view> transitionKinds() {
    std::vector<std::string_view> ids;
    for (int i = 0; i < conduction::transitionKindCount; ++i) {
        ids.push_back(conduction::transitionKindId(static_cast<conduction::TransitionKind>(i)));
    }
    return ids;
}

std::vector<std::string_view> instructorEvents() {
    return {events.begin(), events.end()};
}

bool isInstructorEvent(std::string_view id) {
    return std::find(events.begin(), events.end(), id) != events.end();
}

} // namespace pulsavo::scenario
