#include "ClassModel.h"

#include "LiveCommands.h"

#include <algorithm>

namespace pulsavo::classroom {

using protocol::Message;
using protocol::Type;

ClassModel::ClassModel() : sim(std::make_unique<Simulation>()) {}

void ClassModel::reset() {
    entries.clear();
    cursor.rewind();
    sim = std::make_unique<Simulation>();
    sim->setWaveListener(listener);
    sample = {};
    replayPending = false;
    if (onRestart) {
        onRestart();
    }
}

void ClassModel::truncate(std::size_t count) {
    if (count < entries.size()) {
        entries.resize(count);
        replayPending = true;
    }
}

void ClassModel::setWaveListener(WaveListener* waveListener) {
    listener = waveListener;
    sim->setWaveListener(listener);
}

bool ClassModel::append(const Message& entry) {
    if (!protocol::isTimeline(entry.type) || entries.size() >= maxEntries ||
        (!entries.empty() && entry.at < entries.back().at)) {
        return false;
    }
    entries.push_back(entry);
    // Played again on the next step, once however many late entries come in one go.
    replayPending = replayPending || entry.at <= sim->tickCount;
    return true;
}

void ClassModel::apply(const Message& entry, Simulation& simulation) {
    switch (entry.type) {
    case Type::state:
        simulation.selectRhythm(entry.rhythm, entry.seed);
        for (const ArtifactKind kind : allArtifactKinds) {
            int strength = 0;
            for (const protocol::ArtifactSetting& a : entry.artifacts) {
                if (a.kind == kind) {
                    strength = a.strength;
                }
            }
            if (strength != simulation.artifactLayer().strength(kind)) {
                simulation.setArtifact(kind, strength);
            }
        }
        break;
    case Type::change:
    case Type::transition:
    case Type::event:
        applyLive(entry, simulation);
        break;
    default:
        break;
    }
}

void ClassModel::stepTo(std::int64_t tick) {
    if (replayPending) {
        replayPending = false;
        replayTo(std::max(tick, sim->tickCount));
        return;
    }
    while (sim->tickCount < tick) {
        cursor.applyDue(entries, *sim);
        sample = sim->step();
        if (onStep) {
            onStep(sim->tickCount, sample);
        }
    }
}

void ClassModel::replayTo(std::int64_t tick) {
    ++restartCount;
    sim = std::make_unique<Simulation>();
    sim->setWaveListener(listener);
    cursor.rewind();
    sample = {};
    if (onRestart) {
        onRestart();
    }
    stepTo(tick);
}

} // namespace pulsavo::classroom
