#pragma once

#include "Protocol.h"
#include "Simulation.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace pulsavo::classroom {

// Where a simulation stands in a class's timeline: applyDue() before each step applies every
// entry due by then, as every peer does. For a simulation its owner steps (a learner's monitor)
// replayNeeded() tells when the timeline changed under what was played: an entry that came
// for a tick already stepped, or a rejoin that replaced entries; the owner then starts the
// simulation afresh and rewinds.
class TimelineCursor {
public:
    void applyDue(const std::vector<protocol::Message>& timeline, Simulation& simulation);
    bool replayNeeded(const std::vector<protocol::Message>& timeline, std::int64_t tick) const;
    void rewind();

    // Whether the entries applied so far leave the class frozen.
    bool frozen() const { return isFrozen; }
    std::size_t applied() const { return count; }

private:
    std::size_t count = 0;
    std::optional<protocol::Message> last; // the last entry applied
    bool isFrozen = false;
};

} // namespace pulsavo::classroom
