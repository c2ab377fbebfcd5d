#pragma once

#include "Protocol.h"
#include "Simulation.h"

#include <optional>
#include <vector>

namespace pulsavo::classroom {

// Applies a live change, a transition or an instructor's event to a simulation; an entry the
// rhythm playing cannot take changes nothing (every peer ignores it alike).
void applyLive(const protocol::Message& entry, Simulation& simulation);

// Whether the host may put the entry on the timeline: known ids, values in range.
bool liveEntryValid(const protocol::Message& entry);

// The timeline entries that do to any peer's simulation what `action` did to `actedOn`, told
// before it took effect (none for a change that changes nothing); nullopt when no entries can.
// Their tick is left to the host.
std::optional<std::vector<protocol::Message>> entriesOf(const LiveAction& action,
                                                        const Simulation& actedOn);

} // namespace pulsavo::classroom
