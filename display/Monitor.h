#pragma once

#include "Rhythm.h"
#include "Simulation.h"
#include "Sweep.h"

#include <QRegion>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QImage;

namespace pulsavo {

// One monitor: a simulation and the sweep that draws it, advanced one 10 ms tick at a time.
// It holds no widgets and no clock; whoever owns it decides when ticks happen (a timer in the
// trainer, a loop in pulsavo-strip and the benchmarks), so several can run side by side.
class Monitor {
public:
    // A decision as the monitor took it: applied just before tick `tick` was drawn.
    struct Selection {
        long long tick = 1;
        std::optional<Rhythm> rhythm;
        std::uint32_t seed = 0;
    };

    static constexpr int defaultHistoryTicks = 60 * 100;

    Monitor(int width, int height, int historyTicks = defaultHistoryTicks);

    // A new panel size: the sweep starts again at column 1; the simulation runs on.
    void setPanelSize(int width, int height);

    // The image the sweep paints into, in panel pixels; none for a headless monitor. The
    // monitor does not own it, and it must outlive the monitor or be unset first.
    void setSurface(QImage* image) { surface = image; }

    // Whether segments marked for notice are drawn in the alert colour. The history keeps the
    // marking either way.
    void setMarking(bool on) { marking = on; }
    bool showsMarking() const { return marking; }

    void select(std::optional<Rhythm> rhythm, std::uint32_t seed);

    // Back to a fresh start for a new question: queue empty, trace at rest, no rhythm, no
    // history. The sweep keeps its column so the panel sweeps on without a jump.
    void restart();

    // A paused monitor ignores ticks: no steps, no tone, and the picture stays as it is.
    void setPaused(bool on) { paused = on; }
    bool isPaused() const { return paused; }

    // Runs `count` ticks in order, each: simulation step, sweep painted onto the surface,
    // sample kept in the history, tone on a beep tick. Then one repaint of all they touched
    // and one look ahead for the next beep.
    // Returns the number run (0 when paused).
    int run(int count = 1);

    std::function<void()> onTone;
    // After each batch of ticks: how many ticks ahead the next beep is as the queue shows it
    // (Simulation::ticksUntilBeep), so that a sound output can rest between beats.
    std::function<void(int)> onUpcoming;
    std::function<void(const QRegion&)> onRepaint;

    long long tickCount() const { return ticks; }
    const TickSample& lastSample() const { return latestSample; }
    const Sweep::Step& lastStep() const { return latestStep; }

    // Up to the last `count` samples, oldest first; fewer when the history is shorter.
    std::vector<TickSample> history(int count) const;
    int historyCapacity() const { return static_cast<int>(ring.size()); }
    const std::vector<Selection>& selections() const { return decisions; }

    Simulation& simulation() { return model; }
    const Simulation& simulation() const { return model; }
    const Sweep& sweep() const { return scope; }

private:
    void step(QPainter* painter, QRegion& dirty);

    Simulation model;
    Sweep scope;
    QImage* surface = nullptr;
    bool marking = true;
    bool paused = false;
    long long ticks = 0;
    TickSample latestSample;
    Sweep::Step latestStep;
    std::vector<TickSample> ring;
    std::size_t ringNext = 0;
    std::size_t ringSize = 0;
    std::vector<Selection> decisions;
};

} // namespace pulsavo
