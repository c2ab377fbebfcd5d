#pragma once

#include "Protocol.h"
#include "Simulation.h"
#include "TimelineCursor.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace pulsavo::classroom {

// The class's monitor as a model every peer plays alike: a Simulation and the timeline of what
// the instructor did, each entry taking effect before the tick it names is stepped. The host and
// every desktop learner step one, so the same timeline gives the same trace tick for tick. An
// entry that arrives for a tick already stepped (a learner that ran ahead of a slow network)
// makes the model play the whole timeline again from its start, fast, on its next step.
class ClassModel {
public:
    // The timeline never grows past this; the host refuses further entries.
    static constexpr int maxEntries = 20000;

    ClassModel();

    // Appends an entry; false when it is not a timeline message, names a tick before the last
    // entry's, or the timeline is full. One for a tick already stepped is played on the next
    // stepTo, which plays the whole timeline again.
    bool append(const protocol::Message& entry);
    const std::vector<protocol::Message>& timeline() const { return entries; }
    // Forgets everything: a fresh simulation at tick 0 with an empty timeline.
    void reset();
    // Keeps the first `count` entries only; the next stepTo plays them again.
    void truncate(std::size_t count);

    // Steps until `tick` steps have been made; the sample of the last step made.
    void stepTo(std::int64_t tick);
    std::int64_t tick() const { return sim->tickCount; }
    const TickSample& lastSample() const { return sample; }
    bool frozen() const { return cursor.frozen(); }
    const Simulation& simulation() const { return *sim; }

    // Every wave laid, as the simulation reports it; `restarted` is called when the model plays
    // the timeline again, before the waves from tick 1 come a second time.
    void setWaveListener(WaveListener* listener);
    void setOnStep(std::function<void(std::int64_t tick, const TickSample&)> callback) {
        onStep = std::move(callback);
    }
    void setOnRestart(std::function<void()> callback) { onRestart = std::move(callback); }
    int restarts() const { return restartCount; }

    // What an entry does to a simulation; the one place peers apply the timeline.
    static void apply(const protocol::Message& entry, Simulation& simulation);

private:
    void replayTo(std::int64_t tick);

    std::unique_ptr<Simulation> sim;
    std::vector<protocol::Message> entries;
    TimelineCursor cursor;
    TickSample sample;
    WaveListener* listener = nullptr;
    std::function<void(std::int64_t, const TickSample&)> onStep;
    std::function<void()> onRestart;
    int restartCount = 0;
    bool replayPending = false;
};

} // namespace pulsavo::classroom
