#include "LiveCommands.h"

namespace pulsavo::classroom {

void applyLive(const protocol::Message& /*entry*/, Simulation& /*simulation*/) {}

bool liveEntryValid(const protocol::Message& /*entry*/) {
    return false;
}

} // namespace pulsavo::classroom
