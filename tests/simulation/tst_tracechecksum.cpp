// Every rhythm's trace, pen, beat tone, pulse wave and wave events over a minute, kept as one
// hash per rhythm, seed and layer set, so that a faster engine is checked to play the very same
// samples. Run with PULSAVO_UPDATE_GOLDEN=1 to rewrite tests/golden/engine-checksums.txt after a
// change meant to alter what is played.
#include "RhythmLibrary.h"
#include "Simulation.h"

#include <QFile>
#include <QTest>

#include <cstdint>
#include <map>

using namespace pulsavo;

namespace {

constexpr int ticks = 6000;
constexpr std::array<std::uint32_t, 2> seeds{7, 20240611};

// FNV-1a over 64 bits: enough to tell any changed sample, and no Qt dependency in the loop.
class Hash : public WaveListener {
public:
    void add(std::int64_t value) {
        auto bits = static_cast<std::uint64_t>(value);
        for (int i = 0; i < 8; ++i) {
            state = (state ^ (bits & 0xFFU)) * 0x100000001B3ULL;
            bits >>= 8;
        }
    }
    void onWave(const WaveEvent& e) override {
        add(e.tick);
        add(static_cast<int>(e.kind) | static_cast<int>(e.role) << 8 | int(e.inverted) << 16);
        add(e.length);
        add(e.beat);
        add(e.peak);
    }
    std::uint64_t state = 0xCBF29CE484222325ULL;
};

enum class Layers { none, artifact, ward, leadOff };

QString hashOf(int rhythm, std::uint32_t seed, Layers layers) {
    Hash hash;
    Simulation sim;
    sim.setWaveListener(&hash);
    if (layers != Layers::none) {
        for (const ArtifactKind kind : allArtifactKinds) {
            const bool on = (kind == ArtifactKind::leadOff) == (layers == Layers::leadOff);
            sim.setArtifact(kind, on ? Artifact::defaultStrength + int(kind) % 3 : 0);
        }
    }
    sim.enablePleth(layers == Layers::ward);
    sim.selectRhythm(rhythm, seed);
    for (int t = 0; t < ticks; ++t) {
        const TickSample s = sim.step();
        hash.add(s.fromY);
        hash.add(s.y | int(s.red) << 12 | int(s.beep) << 13);
        hash.add(sim.pleth() | sim.plethChannel().saturation().value_or(-1) << 16);
        hash.add(sim.ticksUntilBeep());
    }
    return QString::number(hash.state, 16);
}

QString goldenPath() {
    return qEnvironmentVariable("PULSAVO_SOURCE_DIR") +
           QStringLiteral("/tests/golden/engine-checksums.txt");
}

} // namespace

class TestTraceChecksum : public QObject {
    Q_OBJECT
private slots:
    void everyRhythm();
};

void TestTraceChecksum::everyRhythm() {
    const bool updating = qEnvironmentVariableIsSet("PULSAVO_UPDATE_GOLDEN");
    QFile file(goldenPath());
    std::map<QString, QString> expected;
    if (!updating) {
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(goldenPath()));
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() == 2) {
                expected[QString::fromLatin1(fields[0])] = QString::fromLatin1(fields[1]);
            }
        }
    }
    QByteArray rewritten;
    int mismatches = 0;
    for (int rhythm = 0; rhythm < totalRhythmCount; ++rhythm) {
        for (const std::uint32_t seed : seeds) {
            for (const Layers layers :
                 {Layers::none, Layers::artifact, Layers::ward, Layers::leadOff}) {
                const QString key =
                    QStringLiteral("%1@%2/%3").arg(rhythm).arg(seed).arg(static_cast<int>(layers));
                const QString hash = hashOf(rhythm, seed, layers);
                rewritten += (key + ' ' + hash + '\n').toLatin1();
                if (!updating && expected[key] != hash) {
                    qWarning("%s: %s, expected %s", qPrintable(key), qPrintable(hash),
                             qPrintable(expected[key]));
                    ++mismatches;
                }
            }
        }
    }
    if (updating) {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(rewritten);
        return;
    }
    QCOMPARE(mismatches, 0);
    QCOMPARE(static_cast<int>(expected.size()), totalRhythmCount * 2 * 4);
}

QTEST_APPLESS_MAIN(TestTraceChecksum)
#include "tst_tracechecksum.moc"
