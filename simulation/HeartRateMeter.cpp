#include "HeartRateMeter.h"

#include <algorithm>
#include <limits>

namespace pulsavo {

namespace {
constexpr std::int64_t never = std::numeric_limits<std::int64_t>::max();
}

void HeartRateMeter::reset() {
    *this = HeartRateMeter();
}

void HeartRateMeter::onWave(const WaveEvent& event) {
    Pending wave;
    if (isVentricularComplex(event.kind)) {
        wave.tick = event.peakTick();
        wave.complex = true;
        wave.ectopicVentricular =
            event.kind == WaveKind::ventricularBeat && event.role == WaveRole::ventricular;
    } else if (event.kind == WaveKind::ventricularFibrillation) {
        wave.tick = event.tick;
    } else {
        return;
    }
    if (pendingCount < static_cast<int>(pending.size())) {
        pending[static_cast<std::size_t>(pendingCount++)] = wave;
    }
}

void HeartRateMeter::take(const Pending& wave) {
    quietSince = std::max(quietSince, wave.tick);
    if (!wave.complex) {
        lastFibrillation = std::max(lastFibrillation, wave.tick);
        return;
    }
    if (lastComplex > 0 && wave.tick > lastComplex) {
        intervals[static_cast<std::size_t>(nextInterval)] = wave.tick - lastComplex;
        nextInterval = (nextInterval + 1) % averagedIntervals;
        intervalCount = std::min(intervalCount + 1, averagedIntervals);
        std::int64_t sum = 0;
        for (int i = 0; i < intervalCount; ++i) {
            sum += intervals[static_cast<std::size_t>(i)];
        }
        shown = static_cast<int>((6000 * intervalCount + sum / 2) / sum);
    }
    lastComplex = std::max(lastComplex, wave.tick);
    ventricularRun = wave.ectopicVentricular ? ventricularRun + 1 : 0;
}

void HeartRateMeter::forget() {
    intervalCount = 0;
    nextInterval = 0;
    lastComplex = 0;
    ventricularRun = 0;
    shown.reset();
}

void HeartRateMeter::step(std::int64_t tick, bool leadOff) {
    // Waves come a little ahead and not always in tick order: take the due ones oldest first.
    for (;;) {
        int due = -1;
        std::int64_t earliest = never;
        for (int i = 0; i < pendingCount; ++i) {
            const std::int64_t at = pending[static_cast<std::size_t>(i)].tick;
            if (at <= tick && at < earliest) {
                earliest = at;
                due = i;
            }
        }
        if (due < 0) {
            break;
        }
        take(pending[static_cast<std::size_t>(due)]);
        pending[static_cast<std::size_t>(due)] = pending[static_cast<std::size_t>(--pendingCount)];
    }
    if (leadOff) {
        // No ECG to read: neither a rate nor an arrest can be called, and counting restarts
        // when the lead is back.
        forget();
        quietSince = tick;
        asystoleNow = fibrillationNow = tachycardiaNow = false;
        return;
    }
    fibrillationNow =
        lastFibrillation > lastComplex && tick - lastFibrillation <= fibrillationHoldTicks;
    asystoleNow = !fibrillationNow && tick - quietSince >= asystoleTicks;
    if (fibrillationNow || asystoleNow) {
        forget();
    }
    tachycardiaNow = ventricularRun >= tachycardiaRun && shown && *shown >= tachycardiaRate;
}

} // namespace pulsavo
