#include "Simulation.h"

#include <QTest>

#include <algorithm>
#include <map>
#include <numeric>
#include <string_view>
#include <vector>

using namespace pulsavo;

namespace {

class Log : public WaveListener {
public:
    void onWave(const WaveEvent& event) override { events.push_back(event); }
    std::vector<WaveEvent> events;
};

} // namespace

class PlethTest : public QObject {
    Q_OBJECT
private slots:
    void pulsePerPerfusingBeat_data();
    void pulsePerPerfusingBeat();
};

void PlethTest::pulsePerPerfusingBeat_data() {
    QTest::addColumn<QByteArray>("rhythm");
    QTest::addColumn<bool>("pulses");    // the rhythm perfuses at all
    QTest::addColumn<bool>("premature"); // premature beats' pulses are weaker
    QTest::newRow("classic sinus") << QByteArray("0") << true << false;
    QTest::newRow("sinus") << QByteArray("sinus_rhythm") << true << false;
    QTest::newRow("rapid AF") << QByteArray("af_rapid") << true << false;
    QTest::newRow("bigeminy") << QByteArray("ventricular_bigeminy") << true << true;
    QTest::newRow("R on T") << QByteArray("pvc_r_on_t") << true << true;
    QTest::newRow("classic PVCs") << QByteArray("6") << true << true;
    QTest::newRow("failure to capture") << QByteArray("paced_failure_to_capture") << true << false;
    QTest::newRow("PEA") << QByteArray("pea") << false << false;
    QTest::newRow("pulseless VT") << QByteArray("vt_pulseless") << false << false;
    QTest::newRow("VF") << QByteArray("vf_coarse") << false << false;
    QTest::newRow("asystole") << QByteArray("asystole") << false << false;
}

// Exactly one pulse for each ventricular complex that perfuses, the pulse transit time after its
// R peak: not in PEA or pulseless VT, not for a beat too soon for the ventricles to fill;
// weaker after a premature beat. The channel is flat and shows no SpO2 without pulses.
void PlethTest::pulsePerPerfusingBeat() {
    QFETCH(QByteArray, rhythm);
    QFETCH(bool, pulses);
    QFETCH(bool, premature);
    Log log;
    Simulation sim;
    sim.setWaveListener(&log);
    sim.enablePleth(true);
    sim.selectRhythm(parseRhythmId(std::string_view(rhythm.constData())), 11);
    constexpr int ticks = 6000;
    std::vector<int> samples{0};
    for (int tick = 1; tick <= ticks + 300; ++tick) {
        sim.step();
        samples.push_back(sim.pleth());
    }
    std::map<std::int64_t, WaveEvent> pulseOf;
    for (const WaveEvent& event : log.events) {
        if (event.kind == WaveKind::pulse) {
            QVERIFY(pulseOf.emplace(event.beat, event).second);
        }
    }
    std::int64_t lastPeak = 0;
    std::map<WaveRole, std::vector<int>> heights;
    int perfusing = 0;
    for (const WaveEvent& event : log.events) {
        if (!isVentricularComplex(event.kind) || event.tick > ticks) {
            continue;
        }
        const std::int64_t peak = event.peakTick();
        const bool perfuses = pulses && (lastPeak == 0 || peak - lastPeak >= Pleth::fillingTicks);
        lastPeak = peak;
        const auto pulse = pulseOf.find(event.beat);
        QCOMPARE(pulse != pulseOf.end(), perfuses);
        if (!perfuses) {
            continue;
        }
        ++perfusing;
        QCOMPARE(pulse->second.tick, peak + Pleth::transitTicks);
        QCOMPARE(pulse->second.role, event.role);
        heights[event.role].push_back(samples[std::size_t(pulse->second.peakTick())]);
    }
    QCOMPARE(perfusing > 0, pulses);
    QCOMPARE(sim.plethChannel().saturation().has_value(), pulses);
    if (!pulses) {
        QVERIFY(std::all_of(samples.begin(), samples.end(), [](int s) { return s == 0; }));
    }
    if (premature) {
        const auto mean = [](const std::vector<int>& values) {
            return std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
        };
        const std::vector<int>& ectopic = heights[WaveRole::ventricular];
        QVERIFY(!ectopic.empty());
        QVERIFY(mean(ectopic) < 0.8 * mean(heights[WaveRole::conducted]));
    }
}

QTEST_APPLESS_MAIN(PlethTest)
#include "tst_pleth.moc"
