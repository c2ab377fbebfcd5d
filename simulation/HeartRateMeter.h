#pragma once

#include "WaveEvent.h"

#include <array>
#include <cstdint>
#include <optional>

namespace pulsavo {

// The heart-rate numeric of a bedside monitor, read from the ventricular complexes as they are
// drawn. Rule: at each R peak drawn, 6000 / the mean of the last 4 R–R intervals in ticks (of
// those seen, until there are 4), rounded; held until the next beat. Shown as "---" (none):
// before two beats, from the first VF wave drawn after the last complex, when no complex has
// been drawn for 4 s (asystole), and while a lead is off. A learner who counts the beats of a
// regular trace over a minute counts this number; one who times an R–R gets it too.
class HeartRateMeter : public WaveListener {
public:
    static constexpr int averagedIntervals = 4;
    static constexpr int asystoleTicks = 400;
    // VF is called while its waves go on; this long after the last one it is asystole's turn.
    static constexpr int fibrillationHoldTicks = 200;
    // Ventricular tachycardia: this many ventricular ectopic complexes in a row at 100/min or
    // faster.
    static constexpr int tachycardiaRun = 5;
    static constexpr int tachycardiaRate = 100;

    void onWave(const WaveEvent& event) override;
    // Moves on to `tick` (ticks in order): what is drawn by then counts.
    void step(std::int64_t tick, bool leadOff = false);
    void reset();

    std::optional<int> rate() const { return shown; }
    bool asystole() const { return asystoleNow; }
    bool fibrillation() const { return fibrillationNow; }
    bool ventricularTachycardia() const { return tachycardiaNow; }

private:
    struct Pending {
        std::int64_t tick = 0;
        bool complex = false;
        bool ectopicVentricular = false;
    };
    void take(const Pending& wave);
    void forget();

    std::array<Pending, 64> pending{};
    int pendingCount = 0;
    std::array<std::int64_t, averagedIntervals> intervals{};
    int intervalCount = 0;
    int nextInterval = 0;
    std::int64_t lastComplex = 0;
    std::int64_t lastFibrillation = 0;
    std::int64_t quietSince = 0; // the last complex, VF wave or tick with the lead off
    int ventricularRun = 0;
    std::optional<int> shown;
    bool asystoleNow = false;
    bool fibrillationNow = false;
    bool tachycardiaNow = false;
};

} // namespace pulsavo
