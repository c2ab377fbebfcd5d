#include "AlarmSignal.h"

#include <QTest>

#include <vector>

using namespace pulsavo;

Q_DECLARE_METATYPE(pulsavo::VitalSigns)

namespace {

constexpr int rate = 8000;
constexpr int framesPerTick = rate / ticksPerSecond;

// Plays what the alarms sound into a recording, 10 ms of samples per tick.
struct Recorder : AlarmSink {
    AlarmSignal signal{rate};
    std::vector<std::int16_t> samples;
    void play(AlarmPriority priority, int phaseTicks) override {
        signal.play(priority, phaseTicks);
    }
    void stop() override { signal.stop(); }
    void record(Alarms& alarms, AlarmFollower& follower, const VitalSigns& vitals, int ticks) {
        for (int i = 0; i < ticks; ++i) {
            alarms.step(vitals);
            follower.follow(alarms, *this);
            samples.resize(samples.size() + framesPerTick);
            signal.render(samples.data() + samples.size() - framesPerTick, framesPerTick);
        }
    }
};

// The pulses of a recording as [start, end) in milliseconds; zero crossings within a pulse
// (a few samples) do not end it.
std::vector<std::pair<int, int>> pulsesOf(const std::vector<std::int16_t>& samples) {
    std::vector<std::pair<int, int>> pulses;
    constexpr std::size_t bridge = rate / 500; // 2 ms
    std::size_t i = 0;
    while (i < samples.size()) {
        if (samples[i] == 0) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        std::size_t last = i;
        for (; i < samples.size() && i - last <= bridge; ++i) {
            last = samples[i] != 0 ? i : last;
        }
        // The ramps begin and end at zero: the pulse spans one sample either side.
        pulses.emplace_back(int((start - 1) * 1000 / rate), int((last + 1) * 1000 / rate));
    }
    return pulses;
}

VitalSigns vitals(std::optional<int> heartRate, bool asystole) {
    VitalSigns v;
    v.heartRate = heartRate;
    v.asystole = asystole;
    return v;
}

} // namespace

class AlarmToneTest : public QObject {
    Q_OBJECT
private slots:
    void pulsePattern_data();
    void pulsePattern();
    void silencedIsSilent();
};

void AlarmToneTest::pulsePattern_data() {
    QTest::addColumn<VitalSigns>("vitals");
    QTest::addColumn<int>("cycleMs");
    QTest::addColumn<int>("pulseMs");
    QTest::addColumn<QList<int>>("gapsMs"); // from a pulse's end to the next one's start
    QTest::newRow("high: asystole, 3 + 2 twice")
        << vitals({}, true) << 8300 << 150
        << QList<int>{100, 100, 350, 100, 500, 100, 100, 350, 100};
    QTest::newRow("medium: rate under the limit")
        << vitals(45, false) << 9000 << 200 << QList<int>{200, 200};
}

// The recording of two cycles holds each burst's pulses with their lengths and gaps, and the
// next burst a cycle after the first.
void AlarmToneTest::pulsePattern() {
    QFETCH(VitalSigns, vitals);
    QFETCH(int, cycleMs);
    QFETCH(int, pulseMs);
    QFETCH(QList<int>, gapsMs);
    Alarms alarms;
    AlarmFollower follower;
    Recorder recorder;
    recorder.record(alarms, follower, vitals, 2 * cycleMs / 10);
    const auto pulses = pulsesOf(recorder.samples);
    const auto perBurst = static_cast<std::size_t>(gapsMs.size() + 1);
    QCOMPARE(pulses.size(), 2 * perBurst);
    for (std::size_t i = 0; i < pulses.size(); ++i) {
        // Within a millisecond: the last sample of a pulse may fall on a zero of the tone.
        QVERIFY(qAbs(pulses[i].second - pulses[i].first - pulseMs) <= 1);
        if (i % perBurst + 1 < perBurst) {
            QVERIFY(qAbs(pulses[i + 1].first - pulses[i].second -
                         gapsMs[qsizetype(i % perBurst)]) <= 1);
        }
    }
    QCOMPARE(pulses[perBurst].first - pulses[0].first, cycleMs);
}

// Silenced, not a sample sounds for two minutes; then the alarm still shown sounds again.
void AlarmToneTest::silencedIsSilent() {
    Alarms alarms;
    AlarmFollower follower;
    Recorder recorder;
    recorder.record(alarms, follower, vitals({}, true), 100);
    QVERIFY(!pulsesOf(recorder.samples).empty());
    alarms.silence();
    recorder.samples.clear();
    recorder.record(alarms, follower, vitals({}, true), Alarms::silenceTicks);
    QVERIFY(pulsesOf(recorder.samples).empty());
    recorder.record(alarms, follower, vitals({}, true), 830);
    QVERIFY(!pulsesOf(recorder.samples).empty());
}

QTEST_APPLESS_MAIN(AlarmToneTest)
#include "tst_alarmtone.moc"
