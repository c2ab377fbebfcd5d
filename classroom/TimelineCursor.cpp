#include "TimelineCursor.h"

#include "ClassModel.h"

namespace pulsavo::classroom {

void TimelineCursor::applyDue(const std::vector<protocol::Message>& timeline,
                              Simulation& simulation) {
    const std::int64_t next = simulation.tickCount + 1;
    while (count < timeline.size() && timeline[count].at <= next) {
        const protocol::Message& entry = timeline[count++];
        if (entry.type == protocol::Type::freeze) {
            isFrozen = entry.on;
        }
        ClassModel::apply(entry, simulation);
        last = entry;
    }
}

bool TimelineCursor::replayNeeded(const std::vector<protocol::Message>& timeline,
                                  std::int64_t tick) const {
    if (count > timeline.size() || (count > 0 && timeline[count - 1] != *last)) {
        return true;
    }
    return count < timeline.size() && timeline[count].at <= tick;
}

void TimelineCursor::rewind() {
    count = 0;
    last.reset();
    isFrozen = false;
}

} // namespace pulsavo::classroom
