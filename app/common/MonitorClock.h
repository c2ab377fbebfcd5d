#pragma once

#include "Simulation.h"

#include <QLoggingCategory>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace pulsavo {

class Monitor;

// The clock's stalls; off by default.
Q_DECLARE_LOGGING_CATEGORY(clockLog)

// The heartbeat of a window: one clock drives every monitor the window shows, so panels side by
// side stay in step. It wakes about once per display frame and runs the 10 ms ticks a monotonic
// clock says are owed since it started, so a late wake makes up its ticks instead of losing them
// and the sweep keeps its rate under load. While every monitor it drives is paused it sleeps:
// nothing changes on a frozen panel, so nothing needs a wake. Tests and benchmarks drive ticks
// by calling advance() directly, or wake() with an injected time source.
class MonitorClock : public QObject {
    Q_OBJECT
public:
    using Nanoseconds = std::chrono::nanoseconds;
    using TimeSource = std::function<Nanoseconds()>;

    // The longest stretch one wake makes up. After a longer stall (a suspended laptop, a
    // debugger) the sweep goes on from now rather than racing through seconds of trace.
    static constexpr int stallCapMs = 250;
    static constexpr int maxTicksPerWake = stallCapMs / tickMs;
    static constexpr double defaultFrameRate = 60.0;

    explicit MonitorClock(QObject* parent = nullptr);

    void add(Monitor* monitor);
    void remove(Monitor* monitor);

    // The monotonic clock the owed ticks are counted from; steady_clock unless a test sets one.
    // Takes effect at the next start().
    void setTimeSource(TimeSource source);

    // How often the clock wakes: the display's refresh rate (the primary screen's, 60 Hz when
    // unknown), never more often than once per tick.
    void setFrameRate(double hz);
    int wakeIntervalMs() const { return timer.interval(); }

    // start() counts owed ticks from now on; after stop() the clock stays still whatever its
    // monitors do.
    void start();
    void stop();
    // Whether it wakes: started, and some monitor it drives is not paused.
    bool isActive() const { return timer.isActive(); }

    // One wake: runs every tick owed since start(), at most maxTicksPerWake, and returns how
    // many ran. A wake that finds nothing owed runs the next tick early, so a frame is never
    // still, but the clock never gets more than one tick ahead of time.
    int wake();

    // Runs `ticks` ticks on every monitor, in the order they were added, outside the count of
    // owed ticks (tests and benchmarks).
    void advance(int ticks = 1);

    // Ticks owed after a stall but dropped, since construction.
    std::int64_t droppedTicks() const { return dropped; }

    // The wake timer. Its timeout is one wake.
    QTimer& frameTimer() { return timer; }

signals:
    void advanced(int ticks);

private:
    void followPause();

    QTimer timer;
    bool started = false;
    std::vector<Monitor*> monitors;
    TimeSource now;
    Nanoseconds origin{0};
    // Ticks accounted for since origin: run, or dropped after a stall.
    std::int64_t counted = 0;
    std::int64_t dropped = 0;
};

} // namespace pulsavo
