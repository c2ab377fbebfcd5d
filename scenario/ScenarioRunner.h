#pragma once

#include "DebriefLog.h"
#include "Scenario.h"

#include <cstdint>

namespace pulsavo {
class Simulation;
}

namespace pulsavo::scenario {

// Plays a scenario on a simulation, one tick at a time and without a clock: tick() before each
// step of the simulation applies a step when it is due: its rhythm (by its transition), its
// parameters (at once or ramped), its events, each written to the debrief log. An automatic
// step ends after its time; a manual one waits for advance(), or in headless play for its
// stated time (defaultManualSeconds when it states none). The last step plays on once done.
class ScenarioRunner {
public:
    // Step i draws from seed + i, so one seed gives one trace however often it is played.
    ScenarioRunner(Scenario scenario, Simulation& simulation, std::uint32_t seed,
                   DebriefLog* log = nullptr);

    void setHeadless(bool on) { headless = on; }

    // Call once before each simulation step, and not while the monitor is frozen: the steps'
    // times are the monitor's time.
    void tick();
    // The instructor's "next", taken at the next tick: the next step, or on the last step the
    // scenario's end.
    void advance();

    const Scenario& scenario() const { return played; }
    // The step playing, from 0; -1 before the first tick.
    int currentStep() const { return current; }
    long long ticksInStep() const { return inStep; }
    // Whether the last step's time has run out (never for a manual last step outside headless
    // play: it waits for the instructor).
    bool finished() const { return done; }
    // Whether the step playing waits for advance().
    bool waitsForInstructor() const;

private:
    void startStep(int index);
    // A step's parameters wait for its transition's trigger and a shock's pause: a change
    // sooner would end the transition or cut the pause short.
    void applySettingsWhenDue();
    void log(EntryKind kind, int step, const QString& subject, const QString& value,
             const QString& detail) const;
    long long monitorTick() const;

    Scenario played;
    Simulation& simulation;
    std::uint32_t seed;
    DebriefLog* debrief;
    bool headless = false;
    int current = -1;
    long long inStep = 0;
    bool done = false;
    bool advanceWanted = false;
    std::vector<ParameterSetting> settingsDue;
    long long settingsWait = 0;
    int settingsRampTicks = 0;
};

} // namespace pulsavo::scenario
