#include "ScenarioRunner.h"

#include "DebriefLog.h"
#include "LiveTable.h"
#include "Simulation.h"

namespace pulsavo::scenario {

namespace {

QString idText(std::string_view id) {
    return QString::fromUtf8(id.data(), static_cast<qsizetype>(id.size()));
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
        log(EntryKind::scenarioStarted, -1, played.title.ja, {},
            QString::number(seed));
        startStep(0);
        return;
    }
    ++inStep;
    const Step& step = played.steps[static_cast<std::size_t>(current)];
    const bool timeUp = (step.advance == Advance::automatic || headless) &&
                        inStep >= step.headlessTicks();
    if (!advanceWanted && !timeUp) {
        return;
    }
    advanceWanted = false;
    if (current + 1 < static_cast<int>(played.steps.size())) {
        startStep(current + 1);
    } else if (!done) {
        done = true;
        log(EntryKind::scenarioEnded, current, played.title.ja, {}, {});
    }
}

void ScenarioRunner::startStep(int index) {
    const Step& step = played.steps[static_cast<std::size_t>(index)];
    const bool first = current < 0;
    const bool rhythmChanges =
        first || played.steps[static_cast<std::size_t>(current)].rhythm != step.rhythm;
    current = index;
    inStep = 0;
    const QString rhythm = idText(infoOf(step.rhythm).id);
    log(EntryKind::stepStarted, index, step.title.ja, rhythm, step.expectedAction);
    if (rhythmChanges) {
        const std::string_view kind = first ? std::string_view("cut") : step.transition;
        changeRhythm(simulation, step.rhythm, seed + static_cast<std::uint32_t>(index), kind);
        log(EntryKind::rhythm, index, idText(kind), rhythm, {});
    }
    if (!step.parameters.empty()) {
        const long long rampTicks = static_cast<long long>(step.rampSeconds) * ticksPerSecond;
        applySettings(simulation, step.parameters, rampTicks);
        const QString ramp =
            rampTicks > 0 ? QStringLiteral("ramp %1 s").arg(step.rampSeconds) : QString();
        for (const ParameterSetting& setting : step.parameters) {
            log(EntryKind::parameter, index, idText(setting.id),
                QString::number(setting.value), ramp);
        }
    }
    for (const std::string& event : step.events) {
        fireEvent(simulation, event);
        log(EntryKind::event, index, idText(event), {}, {});
    }
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
