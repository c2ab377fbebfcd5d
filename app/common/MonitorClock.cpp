#include "MonitorClock.h"

#include "Monitor.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <utility>

namespace pulsavo {

// A stall is worth knowing when chasing a dropped tick, not in normal use: off unless asked for
// (QT_LOGGING_RULES="pulsavo.clock.debug=true").
Q_LOGGING_CATEGORY(clockLog, "pulsavo.clock", QtWarningMsg)

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
        monitor->onPausedChanged = [this](bool) { followPause(); };
        followPause();
    }
}

void MonitorClock::remove(Monitor* monitor) {
    const auto kept = std::remove(monitors.begin(), monitors.end(), monitor);
    if (kept != monitors.end()) {
        monitor->onPausedChanged = nullptr;
        monitors.erase(kept, monitors.end());
        followPause();
    }
}

// Resuming counts owed ticks afresh: a paused monitor does not make up the time it stood still.
void MonitorClock::followPause() {
    const bool idle =
        !monitors.empty() && std::all_of(monitors.begin(), monitors.end(),
                                         [](const Monitor* m) { return m->isPaused(); });
    if (!started || idle == !timer.isActive()) {
        return;
    }
    if (idle) {
        timer.stop();
        return;
    }
    origin = now();
    counted = 0;
    timer.start();
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
    started = true;
    origin = now();
    counted = 0;
    timer.start();
    followPause();
}

void MonitorClock::stop() {
    started = false;
    timer.stop();
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
