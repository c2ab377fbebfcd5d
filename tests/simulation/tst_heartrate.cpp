#include "HeartRateMeter.h"
#include "Simulation.h"

#include <QTest>

#include <string_view>
#include <vector>

using namespace pulsavo;

namespace {

// The meter, and the R peaks a learner would count.
struct Counted : HeartRateMeter {
    void onWave(const WaveEvent& event) override {
        HeartRateMeter::onWave(event);
        if (isVentricularComplex(event.kind)) {
            peaks.push_back(event.peakTick());
        }
    }
    std::vector<std::int64_t> peaks;
};

} // namespace

class HeartRateTest : public QObject {
    Q_OBJECT
private slots:
    void followsTheTrace_data();
    void followsTheTrace();
};

void HeartRateTest::followsTheTrace_data() {
    QTest::addColumn<QByteArray>("rhythm");
    QTest::addColumn<bool>("leadOff");
    QTest::addColumn<bool>("counts"); // a number is shown, else "---"
    QTest::addColumn<int>("state");   // 1 asystole, 2 VF, 3 VT, 0 none of them, -1 irregular
    QTest::newRow("classic sinus") << QByteArray("0") << false << true << 0;
    QTest::newRow("sinus bradycardia") << QByteArray("sinus_bradycardia") << false << true << 0;
    QTest::newRow("flutter 2:1") << QByteArray("flutter_2to1") << false << true << 0;
    QTest::newRow("complete block") << QByteArray("chb_narrow") << false << true << 0;
    QTest::newRow("paced") << QByteArray("paced_ventricular") << false << true << 0;
    QTest::newRow("PEA") << QByteArray("pea") << false << true << 0;
    QTest::newRow("AF, irregular") << QByteArray("af_controlled") << false << true << -1;
    QTest::newRow("classic VT") << QByteArray("10") << false << true << 3;
    QTest::newRow("pulseless VT") << QByteArray("vt_pulseless") << false << true << 3;
    QTest::newRow("classic VF") << QByteArray("11") << false << false << 2;
    QTest::newRow("coarse VF") << QByteArray("vf_coarse") << false << false << 2;
    QTest::newRow("asystole") << QByteArray("asystole") << false << false << 1;
    QTest::newRow("P-wave asystole") << QByteArray("p_wave_asystole") << false << false << 1;
    QTest::newRow("sinus, lead off") << QByteArray("sinus_rhythm") << true << false << 0;
    QTest::newRow("asystole, lead off") << QByteArray("asystole") << true << false << 0;
}

// A regular rhythm's numeric is the beats a learner counts in the last minute of the trace
// (within one: a beat may fall either side of the minute's edge) and 6000 over the R–R they
// time; VF and asystole show "---" and are called as such; a lead off calls nothing.
void HeartRateTest::followsTheTrace() {
    QFETCH(QByteArray, rhythm);
    QFETCH(bool, leadOff);
    QFETCH(bool, counts);
    QFETCH(int, state);
    Counted meter;
    Simulation sim;
    sim.setWaveListener(&meter);
    sim.setArtifact(ArtifactKind::leadOff, leadOff ? 5 : 0);
    sim.selectRhythm(parseRhythmId(std::string_view(rhythm.constData())), 42);
    constexpr int ticks = 9000;
    for (int tick = 1; tick <= ticks; ++tick) {
        sim.step();
        meter.step(sim.tickCount, sim.artifactLayer().leadOff());
    }
    QCOMPARE(meter.rate().has_value(), counts);
    const bool regular = state >= 0;
    QCOMPARE(meter.asystole(), state == 1);
    QCOMPARE(meter.fibrillation(), state == 2);
    QCOMPARE(meter.ventricularTachycardia(), state == 3);
    if (!counts) {
        return;
    }
    std::vector<std::int64_t>& drawn = meter.peaks;
    std::erase_if(drawn, [](std::int64_t t) { return t > ticks; });
    const auto counted =
        std::count_if(drawn.begin(), drawn.end(), [](std::int64_t t) { return t > ticks - 6000; });
    QVERIFY2(!regular || std::abs(*meter.rate() - counted) <= 1,
             qPrintable(QStringLiteral("%1 shown, %2 counted").arg(*meter.rate()).arg(counted)));
    const std::int64_t lastFour = drawn.back() - drawn[drawn.size() - 5];
    QCOMPARE(*meter.rate(), int((6000 * 4 + lastFour / 2) / lastFour));
}

QTEST_APPLESS_MAIN(HeartRateTest)
#include "tst_heartrate.moc"
