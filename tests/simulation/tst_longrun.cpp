#include "Simulation.h"

#include <QTest>

#include <random>

using namespace pulsavo;

namespace {

struct Range {
    int lo;
    int hi;
    bool holds(int value) const { return value >= lo && value <= hi; }
};

// What a rhythm's intervals may hold once its generator has run at least once. Rhythm 7 starts
// from a longer wait than it redraws; rhythm 13 keeps its selection's wait until the first
// missing beat draws a run length; rhythm 12 draws its pause on its first call.
struct Limits {
    Range beat;
    Range aux;
    Range altAux = {1, 0};
};

const Limits limits[rhythmCount] = {
    {{50, 120}, {INT_MIN, INT_MAX}},
    {{60, 100}, {300, 600}},
    {{24, 37}, {INT_MIN, INT_MAX}},
    {{24, 37}, {INT_MIN, INT_MAX}},
    {{4, 17}, {54, 150}},
    {{17, 24}, {1, 5}},
    {{60, 100}, {300, 600}},
    {{60, 100}, {240, 600}},
    {{60, 100}, {300, 600}},
    {{60, 100}, {300, 600}},
    {{24, 37}, {INT_MIN, INT_MAX}},
    {{6, 44}, {INT_MIN, INT_MAX}},
    {{75, 300}, {INT_MIN, INT_MAX}},
    {{60, 100}, {1, 5}, {300, 600}},
    {{60, 100}, {INT_MIN, INT_MAX}},
    {{60, 100}, {1, 5}},
    {{60, 100}, {4, 4}},
    {{109, 171}, {60, 300}},
};

// Empty when the state is one the selected rhythm can reach, else what is wrong.
QString violation(const Simulation& sim) {
    if (sim.restingLevel() != baselineY) {
        return QStringLiteral("resting level %1").arg(sim.restingLevel());
    }
    if (sim.beepLevel != 0 && sim.beepLevel != 37 && sim.beepLevel != 44 && sim.beepLevel != 45) {
        return QStringLiteral("beep level %1").arg(sim.beepLevel);
    }
    if (sim.runLength != 0 && (sim.runLength < 2 || sim.runLength > 5)) {
        return QStringLiteral("run length %1").arg(sim.runLength);
    }
    if (!sim.hasRhythm()) {
        return {};
    }
    const int rhythm = sim.rhythmIndex;
    const Limits& limit = limits[rhythm];
    if (!limit.beat.holds(sim.beatInterval)) {
        return QStringLiteral("beatInterval %1").arg(sim.beatInterval);
    }
    if (!limit.aux.holds(sim.auxInterval) && !limit.altAux.holds(sim.auxInterval)) {
        return QStringLiteral("auxInterval %1").arg(sim.auxInterval);
    }
    const int lowestTicks = rhythm == 9 ? -205 : 1;
    if (sim.beatTicks < lowestTicks || sim.beatTicks > sim.beatInterval) {
        return QStringLiteral("beatTicks %1").arg(sim.beatTicks);
    }
    switch (rhythm) {
    case 4:
    case 17:
        if (sim.auxCount < 1 || sim.auxCount > sim.auxInterval) {
            return QStringLiteral("auxCount %1").arg(sim.auxCount);
        }
        break;
    case 5:
        if (sim.auxCount < 0 || sim.auxCount >= sim.auxInterval) {
            return QStringLiteral("auxCount %1").arg(sim.auxCount);
        }
        break;
    case 13:
    case 15:
    case 16:
        if (sim.auxCount < 0 || sim.auxCount > sim.auxInterval) {
            return QStringLiteral("auxCount %1").arg(sim.auxCount);
        }
        break;
    default:
        break;
    }
    return {};
}

} // namespace

class TestLongRun : public QObject {
    Q_OBJECT

private slots:
    void randomSelectionsKeepEveryInvariant();
    void drawInRangeMatchesThePlainRejectionLoop();
};

// The trainee may decide on anything at any moment, also while the previous rhythm's waves are
// still pending; whatever the sequence, no step may be lost and every interval stays within
// the rhythm's own range.
void TestLongRun::randomSelectionsKeepEveryInvariant() {
    std::mt19937 choices(20240611);
    std::uniform_int_distribution<int> gap(1, 600);
    std::uniform_int_distribution<int> rhythm(-2, rhythmCount - 1);
    std::uniform_int_distribution<std::uint32_t> seed;

    Simulation sim;
    int selections[rhythmCount] = {};
    long long nextSelection = 0;
    std::uint32_t lastSeed = 0;
    constexpr long long ticks = 1'200'000;
    for (long long tick = 0; tick < ticks; ++tick) {
        if (tick == nextSelection) {
            const int index = rhythm(choices);
            lastSeed = seed(choices);
            sim.selectRhythm(index < 0 ? (index == -1 ? noRhythm : totalRhythmCount) : index,
                             lastSeed);
            if (index >= 0) {
                ++selections[index];
            }
            nextSelection += gap(choices);
        }
        sim.step();
        const QString wrong = violation(sim);
        if (!wrong.isEmpty()) {
            QFAIL(qPrintable(QStringLiteral("tick %1, rhythm %2 selected with seed %3: %4")
                                 .arg(tick)
                                 .arg(sim.rhythmIndex)
                                 .arg(lastSeed)
                                 .arg(wrong)));
        }
    }
    for (int index = 0; index < rhythmCount; ++index) {
        QVERIFY2(selections[index] > 100, qPrintable(QString::number(index)));
    }
}

void TestLongRun::drawInRangeMatchesThePlainRejectionLoop() {
    // The rhythms' ranges, and the edges of the fast path: ranges with 0, wide ranges taken
    // at the first step, ranges beyond the largest value, and single values.
    const std::pair<int, int> ranges[] = {
        {1, 5},     {2, 5},         {10, 20},         {60, 100}, {135, 1000},
        {20, 80},   {350, 1500},    {0, 0},           {0, 7},    {-3, 2},
        {1, 30000}, {32000, 40000}, {32767, INT_MAX}, {1, 1},    {32767, 32767},
    };
    std::mt19937 choices(7);
    for (int round = 0; round < 500; ++round) {
        RandomSource fast;
        fast.seed(choices());
        RandomSource plain = fast;
        for (const auto& [lo, hi] : ranges) {
            int value = 0;
            while (value < lo || value > hi) {
                value = plain.next();
            }
            QCOMPARE(fast.drawInRange(lo, hi), value);
            QCOMPARE(fast.state, plain.state);
        }
    }
}

QTEST_APPLESS_MAIN(TestLongRun)
#include "tst_longrun.moc"
