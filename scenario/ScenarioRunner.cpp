#include "ScenarioRunner.h"

#include "LiveTable.h"
#include "Simulation.h"
#include "conduction/LiveParameter.h"

#include <algorithm>

namespace pulsavo::scenario {

namespace {

QString idText(std::string_view id) {
    return QString::fromUtf8(id.data(), static_cast<qsizetype>(id.size()));
}

// A choice by its name, as the file gives it; a number as it is.
QString valueText(const ParameterSetting& setting) {
    const auto which = conduction::liveParameterOf(setting.id);
    const auto index = static_cast<std::size_t>(setting.value);
    if (which && index < conduction::liveParameter(*which).choices.size()) {
        return idText(conduction::liveParameter(*which).choices[index]);
    }
    return QString::number(setting.value);
}

} // namespace

ScenarioRunner::ScenarioRunner(Scenario scenario, Simulation& simulation, std::uint32_t seed,
                               DebriefLog* log)
    : played(std::move(scenario)), simulation(simulation), seed(seed), debrief(log) {}

bool ScenarioRunner::waitsForInstructor() const {
    return current >= 0 && !headless &&
           played.steps[static_cast<std::size_t>(current)].advance == Advance::manual;
}

void ScenarioRunner::advance() {
    advanceWanted = current >= 0;
}

void ScenarioRunner::tick() {
    if (played.steps.empty()) {
        return;
    }
    if (current < 0) {
        log(EntryKind::scenarioStarted, -1, played.title.ja, {}, QString::number(seed));
        startStep(0);
        applySettingsWhenDue();
        return;
    }
    ++inStep;
    const Step& step = played.steps[static_cast<std::size_t>(current)];
    const bool timeUp =
        (step.advance == Advance::automatic || headless) && inStep >= step.headlessTicks();
    if (advanceWanted || timeUp) {
        advanceWanted = false;
        if (current + 1 < static_cast<int>(played.steps.size())) {
            startStep(current + 1);
        } else if (!done) {
            done = true;
            log(EntryKind::scenarioEnded, current, played.title.ja, {}, {});
        }
    }
    applySettingsWhenDue();
}

void ScenarioRunner::startStep(int index) {
    const Step& step = played.steps[static_cast<std::size_t>(index)];
    const bool first = current < 0;
    const bool rhythmChanges =
        first || played.steps[static_cast<std::size_t>(current)].rhythm != step.rhythm;
    const bool shock =
        std::find(step.events.begin(), step.events.end(), shockEvent) != step.events.end();
    const std::uint32_t stepSeed = seed + static_cast<std::uint32_t>(index);
    const int rampTicks = step.rampSeconds * ticksPerSecond;
    current = index;
    inStep = 0;
    const QString rhythm = idText(infoOf(step.rhythm).id);
    log(EntryKind::stepStarted, index, step.title.ja, rhythm, step.expectedAction);
    settingsWait = 0;
    if (first) {
        simulation.selectRhythm(rhythmOf(step.rhythm), stepSeed);
        log(EntryKind::rhythm, index, QStringLiteral("select"), rhythm, {});
    } else if (shock) {
        conduction::Shock what;
        what.after = rhythmChanges ? std::optional(step.rhythm) : std::nullopt;
        what.seed = stepSeed;
        simulation.defibrillate(what);
        settingsWait = what.pauseTicks;
        log(EntryKind::event, index, idText(shockEvent), rhythmChanges ? rhythm : QString(), {});
    } else if (rhythmChanges) {
        const auto kind = conduction::transitionKindOf(step.transition);
        simulation.transitionTo(step.rhythm, stepSeed,
                                {kind.value_or(conduction::TransitionKind::direct), rampTicks});
        log(EntryKind::rhythm, index, idText(step.transition), rhythm,
            rampTicks > 0 ? QStringLiteral("ramp %1 s").arg(step.rampSeconds) : QString());
    }
    for (const std::string& event : step.events) {
        if (event == "pvc") {
            simulation.pvcNow();
        } else if (event == "block_beat") {
            simulation.blockNextBeat();
        }
        if (event != shockEvent) {
            log(EntryKind::event, index, idText(event), {}, {});
        }
    }
    settingsDue = step.parameters;
    settingsRampTicks = first ? 0 : rampTicks;
}

void ScenarioRunner::applySettingsWhenDue() {
    if (settingsDue.empty()) {
        return;
    }
    if (settingsWait > 0) {
        --settingsWait;
        return;
    }
    if (simulation.pendingTransition()) {
        return;
    }
    // Collected on the values the rhythm is heading for and handed over together.
    conduction::Params target = simulation.libraryTarget();
    const QString ramp = settingsRampTicks > 0
                             ? QStringLiteral("ramp %1 s").arg(settingsRampTicks / ticksPerSecond)
                             : QString();
    for (const ParameterSetting& setting : settingsDue) {
        if (const auto which = conduction::liveParameterOf(setting.id)) {
            target = conduction::withLiveValue(target, *which, setting.value);
        }
        log(EntryKind::parameter, current, idText(setting.id), valueText(setting), ramp);
    }
    simulation.rampLibraryParameters(target, settingsRampTicks);
    settingsDue.clear();
}

long long ScenarioRunner::monitorTick() const {
    return simulation.tickCount + 1;
}

void ScenarioRunner::log(EntryKind kind, int step, const QString& subject, const QString& value,
                         const QString& detail) const {
    if (debrief != nullptr) {
        debrief->add({monitorTick(), kind, step, subject, value, detail});
    }
}

} // namespace pulsavo::scenario
