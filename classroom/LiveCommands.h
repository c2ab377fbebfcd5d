#pragma once

#include "Protocol.h"
#include "Simulation.h"

namespace pulsavo::classroom {

// Applies a live change, a transition or an instructor's event to a simulation; an entry the
// rhythm playing cannot take changes nothing (every peer ignores it alike).
void applyLive(const protocol::Message& entry, Simulation& simulation);

// Whether the host may put the entry on the timeline: known ids, values in range.
bool liveEntryValid(const protocol::Message& entry);

} // namespace pulsavo::classroom
