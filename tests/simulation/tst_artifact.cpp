#include "Artifact.h"
#include "Simulation.h"

#include <QTest>

#include <string_view>
#include <vector>

using namespace pulsavo;

namespace {

constexpr int ticks = 6000;

// A run with `kind` on from the start and taken off halfway; trace[t - 1] is tick t's y, and
// its beep as the lowest bit.
struct Run : WaveListener {
    Run(std::string_view rhythm, std::uint32_t seed, ArtifactKind kind, int strength) {
        Simulation sim;
        sim.setWaveListener(this);
        sim.setArtifact(kind, strength);
        sim.selectRhythm(parseRhythmId(rhythm), seed);
        for (int tick = 1; tick <= ticks; ++tick) {
            sim.setArtifact(kind, tick == ticks / 2 ? 0 : sim.artifactLayer().strength(kind));
            const TickSample sample = sim.step();
            trace.push_back(sample.y * 2 + (sample.beep ? 1 : 0));
        }
    }
    void onWave(const WaveEvent& event) override {
        (isCardiacWave(event.kind) ? heart : artifact).push_back(event);
    }
    std::vector<int> trace;
    std::vector<WaveEvent> heart;
    std::vector<WaveEvent> artifact;
};

} // namespace

class ArtifactTest : public QObject {
    Q_OBJECT
private slots:
    void eachKind_data();
    void eachKind();
};

void ArtifactTest::eachKind_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("rhythm");
    QTest::addColumn<int>("fewest"); // waves in the first 30 s
    QTest::addColumn<int>("most");
    QTest::addColumn<bool>("covers"); // its waves follow one another without a gap
    QTest::addColumn<int>("largest"); // pixels at strength 10 at least
    using enum ArtifactKind;
    QTest::newRow("wander, sinus") << int(wander) << QByteArray("0") << 6 << 11 << true << 14;
    QTest::newRow("tremor, sinus")
        << int(tremor) << QByteArray("sinus_rhythm") << 10 << 31 << true << 4;
    QTest::newRow("mains, AF") << int(mains) << QByteArray("af_controlled") << 30 << 30 << true
                               << 3;
    QTest::newRow("motion, AF") << int(motion) << QByteArray("4") << 2 << 15 << false << 20;
    QTest::newRow("lead off, VT") << int(leadOff) << QByteArray("10") << 30 << 30 << true << 0;
    QTest::newRow("CPR, VF") << int(cpr) << QByteArray("vf_coarse") << 35 << 60 << false << 30;
}

// Each kind: its own waves in the expected number, the heart's waves and draws untouched, one
// trace from one seed and another from another, and the trace as it was once it is off.
void ArtifactTest::eachKind() {
    QFETCH(int, kind);
    QFETCH(QByteArray, rhythm);
    QFETCH(int, fewest);
    QFETCH(int, most);
    QFETCH(bool, covers);
    QFETCH(int, largest);
    const auto artifact = static_cast<ArtifactKind>(kind);
    const Run plain(rhythm.constData(), 7, artifact, 0);
    const Run laid(rhythm.constData(), 7, artifact, Artifact::maxStrength);
    const Run again(rhythm.constData(), 7, artifact, Artifact::maxStrength);
    QVERIFY(laid.heart == plain.heart && laid.trace != plain.trace);
    QVERIFY(again.trace == laid.trace && again.artifact == laid.artifact);
    // Mains draws only 50 or 60 Hz from the seed, lead-off nothing.
    if (artifact != ArtifactKind::leadOff && artifact != ArtifactKind::mains) {
        QVERIFY(Run(rhythm.constData(), 8, artifact, 10).artifact != laid.artifact);
    }
    QVERIFY(std::equal(laid.trace.begin() + ticks / 2 - 1, laid.trace.end(),
                       plain.trace.begin() + ticks / 2 - 1));

    const auto count = std::ssize(laid.artifact);
    QVERIFY2(count >= fewest && count <= most, qPrintable(QString::number(count)));
    std::int64_t next = laid.artifact.front().tick;
    QVERIFY(next <= (covers ? 1 : 401));
    for (const WaveEvent& wave : laid.artifact) {
        QVERIFY(wave.kind == waveKindOf(artifact) && wave.role == WaveRole::artifact);
        QVERIFY(covers ? wave.tick == next : wave.tick >= next);
        next = wave.tick + wave.length;
    }
    int deepest = 0;
    for (int t = 0; t < ticks / 2 - 1; ++t) {
        const int y = laid.trace[std::size_t(t)];
        deepest = std::max(deepest, std::abs(y / 2 - plain.trace[std::size_t(t)] / 2));
        QVERIFY(artifact != ArtifactKind::leadOff || y == 2 * baselineY);
    }
    QVERIFY2(deepest >= largest, qPrintable(QString::number(deepest)));
    if (artifact == ArtifactKind::cpr) {
        // 100 to 120 a minute in cycles of 30, two breaths between them.
        const auto cycle = laid.artifact[1].tick - laid.artifact[0].tick;
        QVERIFY(cycle >= 50 && cycle <= 60);
        QVERIFY(laid.artifact[30].tick - laid.artifact[29].tick >= cycle + 300);
    }
}

QTEST_APPLESS_MAIN(ArtifactTest)
#include "tst_artifact.moc"
