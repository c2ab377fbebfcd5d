#include "BeatAlignment.h"

#include "Simulation.h"

#include <algorithm>

namespace pulsavo {

namespace {

// Long enough for the slowest escape rhythm's first beat and the beat after it.
constexpr int searchTicks = 12 * ticksPerSecond;

class PeakCollector : public WaveListener {
public:
    void onWave(const WaveEvent& event) override {
        const bool ventricular =
            event.kind == WaveKind::qrs || event.kind == WaveKind::ventricularBeat;
        if (ventricular && event.role != WaveRole::artifact) {
            peaks.push_back(event.peakTick());
        }
    }
    std::vector<std::int64_t> peaks;
};

} // namespace

std::vector<std::int64_t> ventricularPeaks(Rhythm rhythm, std::uint32_t seed, int ticks) {
    PeakCollector collector;
    Simulation model;
    model.setWaveListener(&collector);
    model.selectRhythm(rhythm, seed);
    for (int i = 0; i < ticks; ++i) {
        model.step();
    }
    // Waves are laid ahead of the tick drawn; those not yet drawn are left out.
    std::erase_if(collector.peaks, [ticks](std::int64_t peak) { return peak > ticks; });
    std::sort(collector.peaks.begin(), collector.peaks.end());
    return collector.peaks;
}

int alignmentLead(std::span<const std::int64_t> question, std::span<const std::int64_t> compared) {
    if (question.empty()) {
        return 0;
    }
    const auto match = std::lower_bound(compared.begin(), compared.end(), question.front());
    return match == compared.end() ? 0 : static_cast<int>(*match - question.front());
}

int compareLead(Rhythm question, Rhythm compared, std::uint32_t seed) {
    return alignmentLead(ventricularPeaks(question, seed, searchTicks),
                         ventricularPeaks(compared, seed, searchTicks));
}

} // namespace pulsavo
