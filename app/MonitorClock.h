#pragma once

#include <QObject>
#include <QTimer>

#include <vector>

namespace pulsavo {

class Monitor;

// The heartbeat of a window: one clock drives every monitor the window shows, so panels side by
// side stay in step. Tests and benchmarks drive time by calling advance() directly.
class MonitorClock : public QObject {
    Q_OBJECT
public:
    static constexpr int tickMs = 10;

    explicit MonitorClock(QObject* parent = nullptr);

    void add(Monitor* monitor);
    void remove(Monitor* monitor);

    void start() { timer.start(); }
    void stop() { timer.stop(); }
    bool isActive() const { return timer.isActive(); }

    // Runs `ticks` ticks on every monitor, in the order they were added.
    void advance(int ticks = 1);

    QTimer& tickTimer() { return timer; }

signals:
    void advanced(int ticks);

private:
    QTimer timer;
    std::vector<Monitor*> monitors;
};

} // namespace pulsavo
