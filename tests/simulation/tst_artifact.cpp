#include "Artifact.h"
#include "Simulation.h"

#include <QTest>

#include <algorithm>
#include <string_view>
#include <vector>

using namespace pulsavo;

namespace {

struct Run {
    std::vector<TickSample> samples;
    std::vector<WaveEvent> heart;
    std::vector<WaveEvent> artifact;
};

class Split : public WaveListener {
public:
    explicit Split(Run& run) : run(run) {}
    void onWave(const WaveEvent& event) override {
        (isCardiacWave(event.kind) ? run.heart : run.artifact).push_back(event);
    }
    Run& run;
};

bool same(const std::vector<TickSample>& a, const std::vector<TickSample>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.fromY == y.fromY && x.y == y.y && x.red == y.red && x.beep == y.beep;
    });
}

constexpr int ticks = 6000;

// `kind` at `strength` (0: none) over `rhythm` from tick 1, taken off again at `offAt`.
Run play(std::string_view rhythm, std::uint32_t seed, ArtifactKind kind, int strength,
         int offAt = ticks + 1) {
    Run run;
    Split split(run);
    Simulation sim;
    sim.setWaveListener(&split);
    sim.setArtifact(kind, strength);
    sim.selectRhythm(parseRhythmId(rhythm), seed);
    for (int tick = 1; tick <= ticks; ++tick) {
        if (tick == offAt) {
            sim.setArtifact(kind, 0);
        }
        run.samples.push_back(sim.step());
    }
    return run;
}

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
    QTest::addColumn<int>("minWaves"); // in a minute
    QTest::addColumn<int>("maxWaves");
    QTest::addColumn<bool>("covers"); // its waves follow one another without a gap
    QTest::addColumn<int>("largest"); // pixels at strength 10 at least
    using enum ArtifactKind;
    QTest::newRow("breathing over sinus")
        << int(wander) << QByteArray("0") << 12 << 21 << true << 14;
    QTest::newRow("tremor over sinus")
        << int(tremor) << QByteArray("sinus_rhythm") << 20 << 61 << true << 4;
    QTest::newRow("mains over AF")
        << int(mains) << QByteArray("af_controlled") << 60 << 60 << true << 3;
    QTest::newRow("motion over sinus") << int(motion) << QByteArray("4") << 4 << 30 << false << 20;
    QTest::newRow("lead off over VT") << int(leadOff) << QByteArray("10") << 60 << 60 << true << 0;
    QTest::newRow("CPR over VF") << int(cpr) << QByteArray("vf_coarse") << 70 << 120 << false << 30;
}

// Each kind: its own waves in the expected number, the heart's waves and draws untouched, the
// same trace from the same seed, another from another, and the trace as it was once it is off.
void ArtifactTest::eachKind() {
    QFETCH(int, kind);
    QFETCH(QByteArray, rhythm);
    QFETCH(int, minWaves);
    QFETCH(int, maxWaves);
    QFETCH(bool, covers);
    QFETCH(int, largest);
    const auto artifact = static_cast<ArtifactKind>(kind);
    const Run plain = play(rhythm.constData(), 7, artifact, 0);
    const Run laid = play(rhythm.constData(), 7, artifact, Artifact::maxStrength, ticks / 2);
    QVERIFY(laid.heart == plain.heart);
    QVERIFY(!same(laid.samples, plain.samples));
    const Run again = play(rhythm.constData(), 7, artifact, Artifact::maxStrength, ticks / 2);
    QVERIFY(same(again.samples, laid.samples) && again.artifact == laid.artifact);
    const Run other = play(rhythm.constData(), 8, artifact, Artifact::maxStrength, ticks / 2);
    // Mains draws only 50 or 60 Hz from the seed, lead-off nothing.
    if (artifact != ArtifactKind::leadOff && artifact != ArtifactKind::mains) {
        QVERIFY(other.artifact != laid.artifact);
    }

    const Run full = play(rhythm.constData(), 7, artifact, Artifact::maxStrength);
    QVERIFY2(qsizetype(full.artifact.size()) >= minWaves &&
                 qsizetype(full.artifact.size()) <= maxWaves,
             qPrintable(QString::number(full.artifact.size())));
    std::int64_t next = full.artifact.front().tick;
    QVERIFY(next <= (covers ? 1 : 401));
    int deepest = 0;
    for (std::size_t i = 0; i < full.samples.size(); ++i) {
        deepest = std::max(deepest, std::abs(full.samples[i].y - plain.samples[i].y));
        if (artifact == ArtifactKind::leadOff) {
            QVERIFY(full.samples[i].y == baselineY && !full.samples[i].beep);
        }
    }
    for (const WaveEvent& wave : full.artifact) {
        QCOMPARE(wave.kind, waveKindOf(artifact));
        QCOMPARE(wave.role, WaveRole::artifact);
        QVERIFY(covers ? wave.tick == next : wave.tick >= next);
        next = wave.tick + wave.length;
    }
    QVERIFY2(deepest >= largest, qPrintable(QString::number(deepest)));

    // Taken off halfway: from the next tick the trace is the plain one again.
    for (int t = ticks / 2 - 1; t < ticks; ++t) {
        QCOMPARE(laid.samples[std::size_t(t)].y, plain.samples[std::size_t(t)].y);
    }
    if (artifact == ArtifactKind::cpr) {
        // 100 to 120 a minute in cycles of 30, two breaths between them.
        const int cycle = int(full.artifact[1].tick - full.artifact[0].tick);
        QVERIFY(cycle >= 50 && cycle <= 60);
        QVERIFY(full.artifact[30].tick - full.artifact[29].tick >= cycle + 300);
    }
}

QTEST_APPLESS_MAIN(ArtifactTest)
#include "tst_artifact.moc"
