#include "LiveCommands.h"

#include "conduction/LiveParameter.h"
#include "conduction/Transition.h"

#include <algorithm>
#include <bit>

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

QString idText(std::string_view id) {
    return QString::fromLatin1(id.data(), static_cast<qsizetype>(id.size()));
}

std::optional<double> valueOf(const Message& entry, conduction::LiveParameterId which) {
    const QString id = idText(conduction::liveParameter(which).id);
    for (const protocol::Parameter& p : entry.parameters) {
        if (p.id == id) {
            return p.value;
        }
    }
    return std::nullopt;
}

bool inRange(const protocol::Parameter& p) {
    const auto which = parameterOf(p.id);
    if (!which) {
        return false;
    }
    const conduction::LiveParameter& info = conduction::liveParameter(*which);
    return p.value >= info.lo && p.value <= info.hi;
}

// A change as entries of one value each, taken in turn. A choice brings companions computed from
// the values before it (PVCs come every 3 to 8 beats, coupled to the atrial cycle of the
// moment), so the order values are set in matters, and a value read back from a companion (how
// often: 6) would not set it as it was (3 to 8). What was done is told as a target, not as an
// order: the entries are the changed values in table order or else the fewest of them, in an
// order, that reach that target from the same start exactly; nullopt when none do.
std::optional<std::vector<Message>> changesOf(const LiveAction& action) {
    std::vector<conduction::LiveParameterId> changed;
    for (const conduction::LiveParameter& info : conduction::liveParameters()) {
        if (conduction::liveValue(action.target, info.which) !=
            conduction::liveValue(action.from, info.which)) {
            changed.push_back(info.which);
        }
    }
    const auto reaches = [&action](const std::vector<conduction::LiveParameterId>& order) {
        conduction::Params reached = action.from;
        for (const auto which : order) {
            reached = conduction::withLiveValue(reached, which,
                                                conduction::liveValue(action.target, which));
        }
        return reached == action.target;
    };
    const auto entries = [&action](const std::vector<conduction::LiveParameterId>& order) {
        std::vector<Message> changes;
        for (const auto which : order) {
            Message m;
            m.type = Type::change;
            m.ramp = action.ticks;
            m.parameters = {{idText(conduction::liveParameter(which).id),
                             conduction::liveValue(action.target, which)}};
            changes.push_back(m);
        }
        return changes;
    };
    if (reaches(changed)) {
        return entries(changed);
    }
    // Subsets and orders of a handful of values; more are set together by no control.
    constexpr std::size_t maxSearched = 6;
    if (changed.size() > maxSearched) {
        return std::nullopt;
    }
    const unsigned all = 1U << changed.size();
    for (int size = 1; size <= static_cast<int>(changed.size()); ++size) {
        for (unsigned mask = 1; mask < all; ++mask) {
            if (std::popcount(mask) != size) {
                continue;
            }
            std::vector<conduction::LiveParameterId> order;
            for (std::size_t i = 0; i < changed.size(); ++i) {
                if ((mask & (1U << i)) != 0) {
                    order.push_back(changed[i]);
                }
            }
            do {
                if (reaches(order)) {
                    return entries(order);
                }
            } while (std::next_permutation(order.begin(), order.end()));
        }
    }
    return std::nullopt;
}

constexpr auto pacingParameters = {conduction::LiveParameterId::pacingMode,
                                   conduction::LiveParameterId::pacingRate,
                                   conduction::LiveParameterId::pacingOutput};

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
        } else if (entry.action == QLatin1String("pacing")) {
            using conduction::LiveParameterId;
            const auto mode = valueOf(entry, LiveParameterId::pacingMode);
            simulation.setPacing(
                static_cast<conduction::Pacer>(mode.value_or(0)),
                static_cast<int>(valueOf(entry, LiveParameterId::pacingRate).value_or(0)),
                static_cast<int>(valueOf(entry, LiveParameterId::pacingOutput).value_or(0)));
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
        return std::all_of(entry.parameters.begin(), entry.parameters.end(), inRange);
    case Type::transition:
        return libraryTarget(entry).has_value() &&
               conduction::transitionKindOf(entry.action.toStdString()).has_value();
    case Type::event:
        if (entry.action == QLatin1String("defibrillate")) {
            return !entry.rhythm || libraryTarget(entry).has_value();
        }
        if (entry.action == QLatin1String("pacing")) {
            // Its mode, rate and output, and nothing else.
            return !entry.rhythm &&
                   std::all_of(entry.parameters.begin(), entry.parameters.end(),
                               [](const protocol::Parameter& p) {
                                   const auto which = parameterOf(p.id);
                                   return inRange(p) && std::find(pacingParameters.begin(),
                                                                  pacingParameters.end(),
                                                                  *which) != pacingParameters.end();
                               }) &&
                   valueOf(entry, conduction::LiveParameterId::pacingMode).has_value();
        }
        return !entry.rhythm && entry.parameters.empty() &&
               (entry.action == QLatin1String("pvc_now") ||
                entry.action == QLatin1String("block_beat"));
    default:
        return false;
    }
}

std::optional<std::vector<Message>> entriesOf(const LiveAction& action, const Simulation& actedOn) {
    using Kind = LiveAction::Kind;
    using conduction::LiveParameterId;
    Message m;
    m.type = Type::event;
    const auto one = [&m] { return std::optional(std::vector<Message>{m}); };
    switch (action.kind) {
    case Kind::select:
        m.type = Type::state;
        m.rhythm = action.rhythm;
        m.seed = action.seed;
        // A selection keeps the artifact laid; the entry names it, as peers start from none.
        for (const ArtifactKind kind : allArtifactKinds) {
            if (const int strength = actedOn.artifactLayer().strength(kind); strength > 0) {
                m.artifacts.push_back({kind, strength});
            }
        }
        return one();
    case Kind::ramp:
        return changesOf(action);
    case Kind::transition:
        m.type = Type::transition;
        m.rhythm = rhythmOf(action.next);
        m.seed = action.seed;
        m.action = idText(conduction::transitionKindId(action.how.kind));
        m.ramp = action.how.ticks;
        return one();
    case Kind::pvcNow:
        m.action = QStringLiteral("pvc_now");
        return one();
    case Kind::blockBeat:
        m.action = QStringLiteral("block_beat");
        return one();
    case Kind::shock:
        m.action = QStringLiteral("defibrillate");
        if (action.shock.after) {
            m.rhythm = rhythmOf(*action.shock.after);
        }
        m.seed = action.shock.seed;
        m.ramp = action.shock.pauseTicks;
        return one();
    case Kind::pacing:
        m.action = QStringLiteral("pacing");
        m.parameters = {{idText(conduction::liveParameter(LiveParameterId::pacingMode).id),
                         static_cast<double>(action.pacer)},
                        {idText(conduction::liveParameter(LiveParameterId::pacingRate).id),
                         static_cast<double>(action.rate)},
                        {idText(conduction::liveParameter(LiveParameterId::pacingOutput).id),
                         static_cast<double>(action.output)}};
        return one();
    }
    return std::nullopt;
}

} // namespace pulsavo::classroom
