#include "WaveEvent.h"

#include "Simulation.h"

#include <array>
#include <cstddef>

namespace pulsavo {

namespace {

// First step at which the running sum of the steps lies farthest from the baseline.
template <std::size_t N> constexpr int peakStepOf(const std::array<int, N>& wave) {
    int sum = 0;
    int farthest = 0;
    int step = 0;
    for (std::size_t i = 0; i < N; ++i) {
        sum += wave[i];
        const int distance = sum < 0 ? -sum : sum;
        if (distance > farthest) {
            farthest = distance;
            step = static_cast<int>(i);
        }
    }
    return step;
}

// A pacing spike: 20 ms up and back.
constexpr std::array<int, 2> pacingSpike{-30, 30};

struct Shape {
    int length;
    int peak;
    std::string_view name;
};

template <std::size_t N> constexpr Shape shapeOf(const std::array<int, N>& wave, const char* name) {
    return {static_cast<int>(N), peakStepOf(wave), name};
}

constexpr std::array<Shape, waveKindCount> shapes{
    shapeOf(Simulation::pWave, "P"),
    shapeOf(Simulation::qrsComplex, "QRS"),
    shapeOf(Simulation::tWave, "T"),
    shapeOf(Simulation::ventricularBeat, "V"),
    shapeOf(Simulation::pWave, "f"),
    shapeOf(Simulation::tWave, "F"),
    shapeOf(Simulation::fibrillationWave, "VF"),
    shapeOf(pacingSpike, "SA"),
    shapeOf(pacingSpike, "SV"),
    // Artifact and pulse waves carry their own length and peak in each event.
    Shape{1, 0, "BW"},
    Shape{1, 0, "MT"},
    Shape{1, 0, "AC"},
    Shape{1, 0, "EM"},
    Shape{1, 0, "LO"},
    Shape{1, 0, "CPR"},
    Shape{1, 0, "PULSE"},
    Shape{1, 0, "SHOCK"},
};

static_assert(shapes[static_cast<std::size_t>(WaveKind::qrs)].peak == 3, "the R peak");
static_assert(shapes[static_cast<std::size_t>(WaveKind::ventricularBeat)].peak == 5,
              "the crest of a ventricular beat");

constexpr std::array<std::string_view, waveRoleCount> roleNames{
    "conducted",   "blocked", "missing", "supraventricular",
    "ventricular", "escape",  "paced",   "artifact"};

const Shape& shape(WaveKind kind) {
    return shapes[static_cast<std::size_t>(kind)];
}

} // namespace

int waveLength(WaveKind kind) {
    return shape(kind).length;
}

int peakStep(WaveKind kind) {
    return shape(kind).peak;
}

std::string_view waveKindName(WaveKind kind) {
    return shape(kind).name;
}

std::string_view waveRoleName(WaveRole role) {
    return roleNames[static_cast<std::size_t>(role)];
}

} // namespace pulsavo
