#include "LiveCommands.h"

#include "conduction/LiveParameter.h"
#include "conduction/Transition.h"

namespace pulsavo::classroom {

using protocol::Message;
using protocol::Type;

namespace {

// The longest ramp or pause the classroom passes on: ten minutes.
constexpr int maxRampTicks = 10 * 60 * ticksPerSecond;

std::optional<conduction::LiveParameterId> parameterOf(const QString& id) {
    return conduction::liveParameterOf(id.toStdString());
}

std::optional<LibraryRhythm> libraryTarget(const Message& entry) {
    return entry.rhythm ? libraryRhythmOf(*entry.rhythm) : std::nullopt;
}

} // namespace

void applyLive(const Message& entry, Simulation& simulation) {
    switch (entry.type) {
    case Type::change: {
        if (!simulation.playsLibrary()) {
            return;
        }
        // Ramped from where the last change was heading, so changes issued together add up.
        conduction::Params target = simulation.libraryTarget();
        for (const protocol::Parameter& p : entry.parameters) {
            if (const auto which = parameterOf(p.id)) {
                target = conduction::withLiveValue(target, *which, p.value);
            }
        }
        simulation.rampLibraryParameters(target, entry.ramp);
        return;
    }
    case Type::transition: {
        const auto next = libraryTarget(entry);
        const auto kind = conduction::transitionKindOf(entry.action.toStdString());
        if (next && kind) {
            simulation.transitionTo(*next, entry.seed, {*kind, entry.ramp});
        }
        return;
    }
    case Type::event:
        if (entry.action == QLatin1String("pvc_now")) {
            simulation.pvcNow();
        } else if (entry.action == QLatin1String("block_beat")) {
            simulation.blockNextBeat();
        } else if (entry.action == QLatin1String("defibrillate")) {
            conduction::Shock shock;
            shock.after = libraryTarget(entry);
            shock.seed = entry.seed;
            if (entry.ramp > 0) {
                shock.pauseTicks = entry.ramp;
            }
            simulation.defibrillate(shock);
        }
        return;
    default:
        return;
    }
}

bool liveEntryValid(const Message& entry) {
    if (entry.ramp < 0 || entry.ramp > maxRampTicks) {
        return false;
    }
    switch (entry.type) {
    case Type::change:
        if (entry.parameters.empty()) {
            return false;
        }
        for (const protocol::Parameter& p : entry.parameters) {
            const auto which = parameterOf(p.id);
            if (!which) {
                return false;
            }
            const conduction::LiveParameter& info = conduction::liveParameter(*which);
            if (p.value < info.lo || p.value > info.hi) {
                return false;
            }
        }
        return true;
    case Type::transition:
        return libraryTarget(entry).has_value() &&
               conduction::transitionKindOf(entry.action.toStdString()).has_value();
    case Type::event:
        if (entry.action == QLatin1String("defibrillate")) {
            return !entry.rhythm || libraryTarget(entry).has_value();
        }
        return !entry.rhythm && (entry.action == QLatin1String("pvc_now") ||
                                 entry.action == QLatin1String("block_beat"));
    default:
        return false;
    }
}

} // namespace pulsavo::classroom
