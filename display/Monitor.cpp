#include "Monitor.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace pulsavo {

Monitor::Monitor(int width, int height, int historyTicks)
    : scope(width, height), ring(static_cast<std::size_t>(std::max(1, historyTicks))) {}

void Monitor::setPanelSize(int width, int height) {
    scope = Sweep(width, height);
}

void Monitor::select(std::optional<Rhythm> rhythm, std::uint32_t seed) {
    model.selectRhythm(rhythm, seed);
    decisions.push_back({ticks + 1, model.rhythm(), seed});
}

void Monitor::restart() {
    model = Simulation();
    ticks = 0;
    latestSample = TickSample();
    ringNext = 0;
    ringSize = 0;
    decisions.clear();
}

int Monitor::run(int count) {
    if (paused || count <= 0) {
        return 0;
    }
    QRegion dirty;
    std::optional<QPainter> painter;
    if (surface != nullptr && !surface->isNull()) {
        painter.emplace(surface);
    }
    for (int i = 0; i < count; ++i) {
        step(painter ? &*painter : nullptr, dirty);
    }
    painter.reset();
    if (onRepaint && !dirty.isEmpty()) {
        onRepaint(dirty);
    }
    if (onUpcoming) {
        onUpcoming(model.ticksUntilBeep());
    }
    return count;
}

// The order of one tick, the same for every monitor in every program.
void Monitor::step(QPainter* painter, QRegion& dirty) {
    latestSample = model.step();
    ++ticks;
    latestStep = scope.advance(latestSample);
    if (painter != nullptr) {
        Sweep::Step shown = latestStep;
        shown.red = shown.red && marking;
        scope.paint(*painter, shown);
        for (const QRect& rect : Sweep::dirtyRects(latestStep)) {
            if (!rect.isEmpty()) {
                dirty += rect;
            }
        }
    }
    ring[ringNext] = latestSample;
    ringNext = (ringNext + 1) % ring.size();
    ringSize = std::min(ringSize + 1, ring.size());
    if (latestSample.beep && onTone) {
        onTone();
    }
}

std::vector<TickSample> Monitor::history(int count) const {
    const std::size_t n = std::min(ringSize, static_cast<std::size_t>(std::max(0, count)));
    std::vector<TickSample> samples;
    samples.reserve(n);
    std::size_t at = (ringNext + ring.size() - n) % ring.size();
    for (std::size_t i = 0; i < n; ++i) {
        samples.push_back(ring[at]);
        at = (at + 1) % ring.size();
    }
    return samples;
}

} // namespace pulsavo
