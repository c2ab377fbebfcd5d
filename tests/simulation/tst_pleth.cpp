#include "Simulation.h"
#include "WaveRecorder.h"

#include <QTest>

#include <algorithm>
#include <map>
#include <string_view>
#include <vector>

using namespace pulsavo;

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
    // Artifact reaches the ECG electrodes, not the finger: under all of it, lead off included,
    // the pulse wave is the same.
    WaveRecorder log(4096);
    const auto run = [&rhythm](int artifact, WaveListener* listener) {
        Simulation sim;
        sim.setWaveListener(listener);
        sim.enablePleth(true);
        for (const ArtifactKind kind : allArtifactKinds) {
            sim.setArtifact(kind, artifact);
        }
        sim.selectRhythm(parseRhythmId(std::string_view(rhythm.constData())), 11);
        std::vector<int> samples{0};
        for (int tick = 1; tick <= 6300; ++tick) {
            sim.step();
            samples.push_back(sim.pleth());
        }
        return std::pair{samples, sim.plethChannel().saturation()};
    };
    const auto [samples, saturation] = run(0, &log);
    QCOMPARE(run(Artifact::maxStrength, nullptr).first, samples);
    const std::vector<WaveEvent> events = log.events(1, 6300);
    std::map<std::int64_t, WaveEvent> pulseOf;
    for (const WaveEvent& event : events) {
        QVERIFY(event.kind != WaveKind::pulse || pulseOf.emplace(event.beat, event).second);
    }
    std::int64_t lastPeak = 0;
    std::map<WaveRole, double> height; // summed pulse peaks by the role of their beats
    std::map<WaveRole, int> beats;
    for (const WaveEvent& event : events) {
        if (isVentricularComplex(event.kind) && event.tick <= 6000) {
            const std::int64_t peak = event.peakTick();
            const bool perfuses = pulses && (peak - lastPeak >= Pleth::fillingTicks || !lastPeak);
            lastPeak = peak;
            const auto pulse = pulseOf.find(event.beat);
            QCOMPARE(pulse != pulseOf.end(), perfuses);
            if (perfuses) {
                QVERIFY(pulse->second.tick == peak + Pleth::transitTicks &&
                        pulse->second.role == event.role);
                height[event.role] += samples[std::size_t(pulse->second.peakTick())];
                ++beats[event.role];
            }
        }
    }
    QCOMPARE(beats[WaveRole::conducted] + beats[WaveRole::paced] > 0, pulses);
    QCOMPARE(saturation.has_value(), pulses);
    QVERIFY(pulses || std::all_of(samples.begin(), samples.end(), [](int s) { return s == 0; }));
    if (premature) {
        QVERIFY(beats[WaveRole::ventricular] > 0);
        QVERIFY(height[WaveRole::ventricular] / beats[WaveRole::ventricular] <
                0.8 * height[WaveRole::conducted] / beats[WaveRole::conducted]);
    }
}

QTEST_APPLESS_MAIN(PlethTest)
#include "tst_pleth.moc"
