#include "Monitor.h"
#include "MonitorClock.h"

#include <QImage>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

using namespace pulsavo;
using std::chrono::milliseconds;

namespace {

constexpr int panelWidth = 599;
constexpr int panelHeight = 146;
constexpr std::uint32_t seed = 20240611;

// A monitor with a rhythm running, painting into an image of its own.
struct Scope {
    explicit Scope(Rhythm rhythm) : image(panelWidth, panelHeight, QImage::Format_RGB32) {
        image.fill(Qt::white);
        monitor.setSurface(&image);
        monitor.select(rhythm, seed);
    }
    QImage image;
    Monitor monitor{panelWidth, panelHeight, 4000};
};

bool sameTrace(const Monitor& a, const Monitor& b) {
    const std::vector<TickSample> x = a.history(a.historyCapacity());
    const std::vector<TickSample> y = b.history(b.historyCapacity());
    return a.tickCount() == b.tickCount() &&
           std::equal(x.begin(), x.end(), y.begin(), y.end(),
                      [](const TickSample& p, const TickSample& q) {
                          return p.fromY == q.fromY && p.y == q.y && p.red == q.red &&
                                 p.beep == q.beep;
                      });
}

} // namespace

class TestMonitorClock : public QObject {
    Q_OBJECT
private slots:
    void init();
    void lateWakeMakesUpItsTicks_data();
    void lateWakeMakesUpItsTicks();
    void rateHoldsUnderIrregularWakes_data();
    void rateHoldsUnderIrregularWakes();
    void earlyWakeRunsAtMostOneTickAhead();
    void stallRunsTheCapAndTheTraceGoesOn();
    void owedTicksDrawWhatDirectTicksDraw();
    void pausedMonitorIgnoresTicksAndDoesNotCatchUp();
    void sleepsWhileEveryMonitorIsPaused();
    void wakesOncePerFrame_data();
    void wakesOncePerFrame();
    void eachBatchLooksAheadForTheNextBeep();

private:
    void wakeAt(int ms) {
        time = milliseconds(ms);
        ran = clock->wake();
    }

    MonitorClock::Nanoseconds time{0};
    int ran = 0;
    std::unique_ptr<MonitorClock> clock;
};

void TestMonitorClock::init() {
    time = MonitorClock::Nanoseconds(0);
    clock = std::make_unique<MonitorClock>();
    clock->setTimeSource([this] { return time; });
    clock->start();
    clock->stop(); // the test wakes it
}

void TestMonitorClock::lateWakeMakesUpItsTicks_data() {
    QTest::addColumn<QList<int>>("wakes");
    QTest::addColumn<int>("lateWake");
    QTest::addColumn<int>("ticks");
    QTest::newRow("first wake 35 ms after start") << QList<int>{} << 35 << 3;
    QTest::newRow("35 ms after a frame at 16 ms") << QList<int>{16} << 51 << 4;
    QTest::newRow("35 ms after a frame at 20 ms") << QList<int>{20} << 55 << 3;
    QTest::newRow("35 ms after steady frames") << QList<int>{17, 33, 50} << 85 << 3;
}

// A timer that drops whole late intervals loses these ticks for good; owed ticks keep them.
void TestMonitorClock::lateWakeMakesUpItsTicks() {
    QFETCH(QList<int>, wakes);
    QFETCH(int, lateWake);
    QFETCH(int, ticks);
    Monitor monitor(panelWidth, panelHeight);
    clock->add(&monitor);
    for (const int at : wakes) {
        wakeAt(at);
    }
    const long long before = monitor.tickCount();
    wakeAt(lateWake);
    QCOMPARE(ran, ticks);
    QCOMPARE(monitor.tickCount() - before, ticks);
    QCOMPARE(monitor.tickCount(), lateWake / pulsavo::tickMs);
}

void TestMonitorClock::rateHoldsUnderIrregularWakes_data() {
    QTest::addColumn<int>("shortestMs");
    QTest::addColumn<int>("longestMs");
    QTest::newRow("60 Hz frames") << 16 << 17;
    QTest::newRow("jittery frames") << 12 << 45;
    QTest::newRow("a loaded machine") << 30 << 240;
    QTest::newRow("faster than ticks") << 3 << 9;
}

// Sixty seconds of wakes at uneven spacing: the sweep runs 6000 ticks, give or take the one
// tick a wake may run early.
void TestMonitorClock::rateHoldsUnderIrregularWakes() {
    QFETCH(int, shortestMs);
    QFETCH(int, longestMs);
    Monitor monitor(panelWidth, panelHeight);
    clock->add(&monitor);
    std::uint32_t state = 12345;
    int at = 0;
    while (at < 60000) {
        state = state * 1664525U + 1013904223U;
        at += shortestMs + static_cast<int>((state >> 16) % (longestMs - shortestMs + 1));
        wakeAt(at);
    }
    QVERIFY(monitor.tickCount() >= at / 10);
    QVERIFY(monitor.tickCount() <= at / 10 + 1);
    QCOMPARE(clock->droppedTicks(), 0);
}

void TestMonitorClock::earlyWakeRunsAtMostOneTickAhead() {
    Monitor monitor(panelWidth, panelHeight);
    clock->add(&monitor);
    const QList<QPair<int, int>> wakes{{4, 1}, {8, 0}, {19, 1}, {20, 1}, {29, 0}, {41, 1}};
    for (const auto& [at, ticks] : wakes) {
        wakeAt(at);
        QCOMPARE(ran, ticks);
        QVERIFY(monitor.tickCount() <= at / pulsavo::tickMs + 1);
    }
    QCOMPARE(monitor.tickCount(), 4);
}

void TestMonitorClock::stallRunsTheCapAndTheTraceGoesOn() {
    Scope scope(Rhythm::sinusRhythm);
    clock->add(&scope.monitor);
    for (int at = 16; at <= 1000; at += 16) {
        wakeAt(at);
    }
    const long long before = scope.monitor.tickCount();
    QVERIFY(!pulsavo::clockLog().isDebugEnabled()); // no stall report on stderr in normal use
    wakeAt(3000);
    QCOMPARE(ran, MonitorClock::maxTicksPerWake);
    QCOMPARE(scope.monitor.tickCount(), before + MonitorClock::maxTicksPerWake);
    QCOMPARE(clock->droppedTicks(), 300 - before - MonitorClock::maxTicksPerWake);
    wakeAt(3016); // back to frames, without racing to make up the stall
    QCOMPARE(ran, 1);

    Scope direct(Rhythm::sinusRhythm);
    direct.monitor.run(static_cast<int>(scope.monitor.tickCount()));
    QVERIFY(sameTrace(scope.monitor, direct.monitor));
}

// Ticks that come in batches of any size draw the same samples and pixels as single ticks.
void TestMonitorClock::owedTicksDrawWhatDirectTicksDraw() {
    Scope owed(Rhythm::atrialFlutter);
    Scope direct(Rhythm::atrialFlutter);
    clock->add(&owed.monitor);
    std::uint32_t state = 7;
    for (int at = 0; at < 30000;) {
        state = state * 1664525U + 1013904223U;
        at += 5 + static_cast<int>((state >> 16) % 120);
        wakeAt(at);
    }
    for (long long i = 0; i < owed.monitor.tickCount(); ++i) {
        direct.monitor.run(1);
    }
    QVERIFY(owed.monitor.tickCount() >= 3000);
    QVERIFY(sameTrace(owed.monitor, direct.monitor));
    QCOMPARE(owed.image, direct.image);
}

void TestMonitorClock::pausedMonitorIgnoresTicksAndDoesNotCatchUp() {
    Monitor running(panelWidth, panelHeight);
    Monitor paused(panelWidth, panelHeight);
    clock->add(&running);
    clock->add(&paused);
    wakeAt(100);
    paused.setPaused(true);
    wakeAt(300);
    QCOMPARE(running.tickCount(), 30);
    QCOMPARE(paused.tickCount(), 10);
    paused.setPaused(false);
    wakeAt(316);
    QCOMPARE(ran, 1);
    QCOMPARE(running.tickCount(), 31);
    QCOMPARE(paused.tickCount(), 11);
}

// A frozen window costs no wake-ups; resuming picks up at once without making up the pause, and
// a clock its owner stopped stays stopped.
void TestMonitorClock::sleepsWhileEveryMonitorIsPaused() {
    Monitor first(panelWidth, panelHeight);
    Monitor second(panelWidth, panelHeight);
    clock->add(&first);
    clock->add(&second);
    clock->start();
    first.setPaused(true);
    QVERIFY(clock->isActive());
    second.setPaused(true);
    QVERIFY(!clock->isActive());
    time = milliseconds(5000);
    first.setPaused(false);
    QVERIFY(clock->isActive());
    wakeAt(5016);
    QCOMPARE(ran, 1);
    clock->remove(&first);
    QVERIFY(!clock->isActive());
    clock->add(&first);
    clock->stop();
    second.setPaused(false);
    QVERIFY(!clock->isActive());
}

void TestMonitorClock::wakesOncePerFrame_data() {
    QTest::addColumn<double>("refreshRate");
    QTest::addColumn<int>("intervalMs");
    QTest::newRow("60 Hz") << 60.0 << 17;
    QTest::newRow("50 Hz") << 50.0 << 20;
    QTest::newRow("144 Hz: never more often than ticks") << 144.0 << 10;
    QTest::newRow("unknown: 60 Hz") << 0.0 << 17;
    QTest::newRow("nonsense: 60 Hz") << -5.0 << 17;
}

void TestMonitorClock::wakesOncePerFrame() {
    QFETCH(double, refreshRate);
    QFETCH(int, intervalMs);
    clock->setFrameRate(refreshRate);
    QCOMPARE(clock->wakeIntervalMs(), intervalMs);
    QCOMPARE(clock->frameTimer().interval(), intervalMs);
}

// The sound output hears once per wake how far off the next beep is, and a paused monitor, which
// sounds nothing, tells it nothing, so that its stream can rest.
void TestMonitorClock::eachBatchLooksAheadForTheNextBeep() {
    Scope scope(Rhythm::sinusRhythm);
    std::vector<int> heard;
    scope.monitor.onUpcoming = [&](int ticks) { heard.push_back(ticks); };
    clock->add(&scope.monitor);
    for (int at = 17; at <= 3000; at += 17) {
        wakeAt(at);
        QCOMPARE(heard.size(), static_cast<std::size_t>(at / 17));
        QCOMPARE(heard.back(), scope.monitor.ticksUntilTone());
    }
    QCOMPARE(heard.size(), std::size_t{3000 / 17});
    QVERIFY(std::count(heard.begin(), heard.end(), Monitor::noToneDue) <
            static_cast<long>(heard.size()));
    scope.monitor.setPaused(true);
    wakeAt(3017);
    QCOMPARE(heard.size(), std::size_t{3000 / 17});
}

QTEST_MAIN(TestMonitorClock)
#include "tst_monitorclock.moc"
