#include "MonitorClock.h"

#include "Monitor.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <utility>

namespace pulsavo {

Q_LOGGING_CATEGORY(clockLog, "pulsavo.clock")

namespace {

MonitorClock::Nanoseconds steadyNow() {
    return std::chrono::duration_cast<MonitorClock::Nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

double screenRefreshRate() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return MonitorClock::defaultFrameRate;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->refreshRate() : MonitorClock::defaultFrameRate;
}

} // namespace

MonitorClock::MonitorClock(QObject* parent) : QObject(parent), now(steadyNow) {
    // The count of owed ticks keeps the rate, so the wake itself may be coarse: the system can
    // then fold it in with other wake-ups.
    timer.setTimerType(Qt::CoarseTimer);
    setFrameRate(screenRefreshRate());
    connect(&timer, &QTimer::timeout, this, [this] { wake(); });
}

void MonitorClock::add(Monitor* monitor) {
    if (std::find(monitors.begin(), monitors.end(), monitor) == monitors.end()) {
        monitors.push_back(monitor);
    }
}

void MonitorClock::remove(Monitor* monitor) {
    monitors.erase(std::remove(monitors.begin(), monitors.end(), monitor), monitors.end());
}

void MonitorClock::setTimeSource(TimeSource source) {
    now = source ? std::move(source) : TimeSource(steadyNow);
}

void MonitorClock::setFrameRate(double hz) {
    if (!(hz >= 1.0 && hz <= 1000.0)) {
        hz = defaultFrameRate;
    }
    timer.setInterval(std::max(tickMs, static_cast<int>(std::lround(1000.0 / hz))));
}

void MonitorClock::start() {
    origin = now();
    counted = 0;
    timer.start();
}

int MonitorClock::wake() {
    const auto due =
        static_cast<std::int64_t>((now() - origin) / std::chrono::milliseconds(tickMs));
    std::int64_t owed = due - counted;
    if (owed < 0) {
        return 0; // already one tick ahead
    }
    if (owed == 0) {
        owed = 1; // nothing owed yet: run the next tick early rather than show a still frame
    }
    if (owed > maxTicksPerWake) {
        const std::int64_t excess = owed - maxTicksPerWake;
        dropped += excess;
        qCDebug(clockLog, "stalled for %lld ms: %lld ticks dropped, %d run",
                static_cast<long long>(owed * tickMs), static_cast<long long>(excess),
                maxTicksPerWake);
        owed = maxTicksPerWake;
    }
    counted = std::max(due, counted + owed);
    const int ticks = static_cast<int>(owed);
    advance(ticks);
    return ticks;
}

void MonitorClock::advance(int ticks) {
    for (Monitor* monitor : monitors) {
        monitor->run(ticks);
    }
    emit advanced(ticks);
}

} // namespace pulsavo
