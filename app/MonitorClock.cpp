#include "MonitorClock.h"

#include "Monitor.h"

#include <algorithm>

namespace pulsavo {

MonitorClock::MonitorClock(QObject* parent) : QObject(parent) {
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(tickMs);
    connect(&timer, &QTimer::timeout, this, [this] { advance(1); });
}

void MonitorClock::add(Monitor* monitor) {
    if (std::find(monitors.begin(), monitors.end(), monitor) == monitors.end()) {
        monitors.push_back(monitor);
    }
}

void MonitorClock::remove(Monitor* monitor) {
    monitors.erase(std::remove(monitors.begin(), monitors.end(), monitor), monitors.end());
}

void MonitorClock::advance(int ticks) {
    for (Monitor* monitor : monitors) {
        monitor->run(ticks);
    }
    emit advanced(ticks);
}

} // namespace pulsavo
