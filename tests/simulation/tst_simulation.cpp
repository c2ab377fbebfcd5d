#include "Simulation.h"

#include <QTest>

#include <algorithm>
#include <numeric>
#include <vector>

using namespace pulsavo;

namespace {

std::vector<TickSample> run(Simulation& sim, int ticks) {
    std::vector<TickSample> samples;
    samples.reserve(ticks);
    for (int i = 0; i < ticks; ++i) {
        samples.push_back(sim.step());
    }
    return samples;
}

template <std::size_t N> std::vector<int> runningSum(const std::array<int, N>& wave) {
    std::vector<int> sums(N);
    std::partial_sum(wave.begin(), wave.end(), sums.begin());
    return sums;
}

} // namespace

class TestSimulation : public QObject {
    Q_OBJECT

private slots:
    void randomSourceFollowsTheRuntimeSequence_data();
    void randomSourceFollowsTheRuntimeSequence();
    void drawInRangeTakesTheFirstValueInRange();
    void ticksForRateCoversExactlyItsRange_data();
    void ticksForRateCoversExactlyItsRange();
    void templatesHaveTheirDescribedShapes();
    void flatLineBeforeAnySelection();
    void templateStepsAreDrawnOnTheTickAfterTheirOffset();
    void wavesAreSuperposed();
    void penFollowsTheGeneratorOneTickLate();
    void sinusRhythmBeepsOncePerBeatAtTheRPeak();
    void sinusRhythmWithIntervalZeroBeatsAtOnce();
    void startingValues_data();
    void startingValues();
    void sameSeedGivesSameParameters();
    void selectionKeepsQueueAndTrace();
    void decidingOnNothingStopsTheRhythm_data();
    void decidingOnNothingStopsTheRhythm();
    void ticksUntilBeepForeseesTheBeeps_data();
    void ticksUntilBeepForeseesTheBeeps();
};

void TestSimulation::randomSourceFollowsTheRuntimeSequence_data() {
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("seed 1") << 1u << QList<int>{41, 18467, 6334, 26500, 19169, 15724, 11478};
    QTest::newRow("seed 0") << 0u << QList<int>{38, 7719, 21238, 2437, 8855, 11797, 8365};
    QTest::newRow("seed 42") << 42u << QList<int>{175, 400, 17869, 30056, 16083};
    QTest::newRow("seed 2^32-1") << 0xFFFFFFFFu << QList<int>{35, 29739, 3374};
}

void TestSimulation::randomSourceFollowsTheRuntimeSequence() {
    QFETCH(quint32, seed);
    QFETCH(QList<int>, expected);
    RandomSource random;
    random.seed(seed);
    for (int value : expected) {
        QCOMPARE(random.next(), value);
    }
}

void TestSimulation::drawInRangeTakesTheFirstValueInRange() {
    RandomSource random;
    random.seed(1);
    QCOMPARE(random.drawInRange(6000, 20000), 18467);
    QCOMPARE(random.next(), 6334);
    QCOMPARE(random.drawInRange(11478, 11478), 11478);
    QCOMPARE(random.next(), 29358);
}

void TestSimulation::ticksForRateCoversExactlyItsRange_data() {
    QTest::addColumn<int>("lo");
    QTest::addColumn<int>("hi");
    QTest::addColumn<int>("shortest");
    QTest::addColumn<int>("longest");
    QTest::newRow("60-60") << 60 << 60 << 100 << 100;
    QTest::newRow("50-120") << 50 << 120 << 50 << 120;
    QTest::newRow("60-100") << 60 << 100 << 60 << 100;
    QTest::newRow("160-250") << 160 << 250 << 24 << 37;
    QTest::newRow("350-1500") << 350 << 1500 << 4 << 17;
    QTest::newRow("250-350") << 250 << 350 << 17 << 24;
    QTest::newRow("35-55") << 35 << 55 << 109 << 171;
    QTest::newRow("10-20") << 10 << 20 << 300 << 600;
    QTest::newRow("15-25") << 15 << 25 << 240 << 400;
    QTest::newRow("20-100") << 20 << 100 << 60 << 300;
    QTest::newRow("40-110") << 40 << 110 << 54 << 150;
    QTest::newRow("135-1000") << 135 << 1000 << 6 << 44;
    QTest::newRow("20-80") << 20 << 80 << 75 << 300;
}

void TestSimulation::ticksForRateCoversExactlyItsRange() {
    QFETCH(int, lo);
    QFETCH(int, hi);
    QFETCH(int, shortest);
    QFETCH(int, longest);
    Simulation sim;
    int seen[2] = {INT_MAX, INT_MIN};
    for (quint32 seed = 0; seed < 3000; ++seed) {
        sim.random.seed(seed);
        const int ticks = sim.ticksForRate(lo, hi);
        seen[0] = std::min(seen[0], ticks);
        seen[1] = std::max(seen[1], ticks);
    }
    QCOMPARE(seen[0], shortest);
    QCOMPARE(seen[1], longest);
}

void TestSimulation::templatesHaveTheirDescribedShapes() {
    const auto p = runningSum(Simulation::pWave);
    QCOMPARE(*std::min_element(p.begin(), p.end()), -4);
    QCOMPARE(p.back(), 0);

    const auto qrs = runningSum(Simulation::qrsComplex);
    QCOMPARE(qrs, (std::vector<int>{2, 3, -17, -42, -19, 11, 5, 0}));

    const auto t = runningSum(Simulation::tWave);
    QCOMPARE(*std::min_element(t.begin(), t.end()), -12);
    QCOMPARE(t[18], -12);
    QCOMPARE(t[20], -12);
    QCOMPARE(t.back(), 0);

    const auto v = runningSum(Simulation::ventricularBeat);
    QCOMPARE(v[5], -50);
    QCOMPARE(*std::min_element(v.begin(), v.end()), -50);
    QCOMPARE(*std::max_element(v.begin(), v.end()), 32);
    QCOMPARE(v[30], 32);
    QCOMPARE(v[31], 32);
    QCOMPARE(v.back(), 0);

    const auto f = runningSum(Simulation::fibrillationWave);
    QCOMPARE(f[13], -24);
    QCOMPARE(*std::max_element(f.begin(), f.end()), 19);
    QCOMPARE(f.back(), 0);
}

void TestSimulation::flatLineBeforeAnySelection() {
    Simulation sim;
    QCOMPARE(sim.rhythmIndex, noRhythm);
    for (const TickSample& s : run(sim, 2000)) {
        QCOMPARE(s.y, 85);
        QVERIFY(!s.red);
        QVERIFY(!s.beep);
    }
    QVERIFY(
        std::all_of(sim.deltaQueue.begin(), sim.deltaQueue.end(), [](int d) { return d == 0; }));
}

void TestSimulation::templateStepsAreDrawnOnTheTickAfterTheirOffset() {
    Simulation sim;
    sim.addTemplate(Simulation::qrsComplex, 3);
    const auto samples = run(sim, 14);
    // Offset 3: element i is drawn on the (1 + 3 + i)th tick from now.
    const std::vector<int> expected{85, 85, 85, 87, 88, 68, 43, 66, 96, 90, 85, 85, 85, 85};
    for (int i = 0; i < 14; ++i) {
        QCOMPARE(samples[i].y, expected[i]);
        QCOMPARE(samples[i].fromY, i == 0 ? 85 : expected[i - 1]);
    }
}

void TestSimulation::wavesAreSuperposed() {
    Simulation sim;
    sim.addTemplate(Simulation::tWave, 0);
    run(sim, 20);
    const int before = sim.traceY;
    sim.addTemplate(Simulation::pWave, 0);
    sim.subtractTemplate(Simulation::pWave, 4);
    const auto samples = run(sim, 12);
    // T wave steps 20..27 are 0 1 0 1 1 2 3 4; the P wave adds -2 -1 -1 0 0 1 1 2, and the
    // subtracted copy from slot 4 on adds 2 1 1 0 0 -1 -1 -2.
    const std::vector<int> steps{-2, 0, -1, 1, 3, 4, 5, 6, 0, -1, -1, -2};
    int y = before;
    for (int i = 0; i < 12; ++i) {
        y += steps[i];
        QCOMPARE(samples[i].y, y);
    }
    QCOMPARE(sim.restingLevel(), 85);
}

void TestSimulation::penFollowsTheGeneratorOneTickLate() {
    Simulation sim;
    sim.alertColour = true;
    QVERIFY(sim.step().red);
    sim.selectRhythm(2, 7); // atrial tachycardia: red from the very first segment
    QVERIFY(sim.step().red);
    sim.selectRhythm(0, 7);
    QVERIFY(!sim.step().red);
    sim.alertColour = true; // the sinus generator never touches the colour
    QVERIFY(sim.step().red);
    QVERIFY(sim.step().red);
}

void TestSimulation::sinusRhythmBeepsOncePerBeatAtTheRPeak() {
    for (quint32 seed : {1u, 42u, 1234567u}) {
        Simulation sim;
        sim.selectRhythm(0, seed);
        const int interval = sim.beatInterval;
        const auto samples = run(sim, 3000);
        std::vector<int> beepTicks;
        for (int i = 0; i < 3000; ++i) {
            if (samples[i].beep) {
                beepTicks.push_back(i + 1);
                QCOMPARE(samples[i].y, 43);
            }
        }
        // First beat laid down on tick interval + 1, its R peak 16 ticks later.
        QVERIFY(!beepTicks.empty());
        QCOMPARE(beepTicks.front(), interval + 1 + 16);
        for (std::size_t i = 1; i < beepTicks.size(); ++i) {
            QCOMPARE(beepTicks[i] - beepTicks[i - 1], interval);
        }
        QCOMPARE(static_cast<int>(beepTicks.size()), (3000 - interval - 17) / interval + 1);
        QCOMPARE(sim.restingLevel(), 85);
        QVERIFY(std::none_of(samples.begin(), samples.end(), [](auto& s) { return s.red; }));
    }
}

void TestSimulation::sinusRhythmWithIntervalZeroBeatsAtOnce() {
    Simulation sim;
    sim.tickSinusRhythm(0);
    QCOMPARE(sim.beatTicks, 1);
    QCOMPARE(sim.beepLevel, 44);
    QCOMPARE(sim.deltaQueue[0], -2);
    QCOMPARE(sim.deltaQueue[14], -20);
    QCOMPARE(sim.deltaQueue[47], 4);
    QCOMPARE(sim.deltaQueue[48], 0);
}

namespace {
// Expected starting values per row; a range [lo, hi] for drawn values, lo == hi for fixed ones,
// and the copies expressed as flags.
struct Row {
    bool alert;
    int beatLo, beatHi;
    int auxLo, auxHi; // auxHi < auxLo: auxInterval not set by the selection
    enum { Zero, One, CopyAux } auxCount;
    enum { TicksZero, TicksOne, CopyBeat } beatTicks;
};

const Row rows[rhythmCount] = {
    {false, 50, 120, 1, 0, Row::Zero, Row::TicksZero},
    {false, 60, 100, 300, 600, Row::CopyAux, Row::TicksZero},
    {true, 24, 37, 1, 0, Row::Zero, Row::TicksZero},
    {true, 24, 37, 1, 0, Row::Zero, Row::TicksZero},
    {true, 4, 17, 110, 110, Row::Zero, Row::TicksZero},
    {true, 17, 24, 1, 5, Row::One, Row::TicksOne},
    {false, 60, 100, 300, 600, Row::CopyAux, Row::TicksZero},
    {false, 60, 100, 240, 400, Row::CopyAux, Row::TicksZero},
    {false, 60, 100, 300, 600, Row::CopyAux, Row::TicksZero},
    {false, 60, 100, 300, 600, Row::Zero, Row::TicksZero},
    {true, 24, 37, 1, 0, Row::Zero, Row::TicksZero},
    {true, 0, 0, 0, 0, Row::Zero, Row::TicksZero},
    {false, 0, 0, 0, 0, Row::Zero, Row::TicksZero},
    {false, 60, 100, 300, 600, Row::CopyAux, Row::TicksZero},
    {false, 60, 100, 1, 0, Row::Zero, Row::CopyBeat},
    {false, 60, 100, 1, 5, Row::Zero, Row::CopyBeat},
    {false, 60, 100, 4, 4, Row::Zero, Row::CopyBeat},
    {false, 109, 171, 60, 300, Row::CopyAux, Row::CopyBeat},
};
} // namespace

void TestSimulation::startingValues_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < rhythmCount; ++i) {
        QTest::addRow("rhythm %d", i) << i;
    }
}

void TestSimulation::startingValues() {
    QFETCH(int, index);
    const Row& row = rows[index];
    for (quint32 seed = 0; seed < 200; ++seed) {
        Simulation sim;
        // Leftovers of an earlier rhythm must not leak into the new one's counters.
        sim.beatTicks = -77;
        sim.auxCount = 999;
        sim.beepLevel = 44;
        sim.alertColour = !row.alert;
        sim.auxInterval = -5;
        sim.selectRhythm(index, seed);
        QCOMPARE(sim.rhythmIndex, index);
        QCOMPARE(sim.alertColour, row.alert);
        QCOMPARE(sim.beepLevel, 0);
        QVERIFY2(sim.beatInterval >= row.beatLo && sim.beatInterval <= row.beatHi,
                 qPrintable(QString::number(sim.beatInterval)));
        if (row.auxHi >= row.auxLo) {
            QVERIFY2(sim.auxInterval >= row.auxLo && sim.auxInterval <= row.auxHi,
                     qPrintable(QString::number(sim.auxInterval)));
        } else {
            QCOMPARE(sim.auxInterval, -5);
        }
        switch (row.auxCount) {
        case Row::Zero:
            QCOMPARE(sim.auxCount, 0);
            break;
        case Row::One:
            QCOMPARE(sim.auxCount, 1);
            break;
        case Row::CopyAux:
            QCOMPARE(sim.auxCount, sim.auxInterval);
            break;
        }
        switch (row.beatTicks) {
        case Row::TicksZero:
            QCOMPARE(sim.beatTicks, 0);
            break;
        case Row::TicksOne:
            QCOMPARE(sim.beatTicks, 1);
            break;
        case Row::CopyBeat:
            QCOMPARE(sim.beatTicks, sim.beatInterval);
            break;
        }
    }
}

void TestSimulation::sameSeedGivesSameParameters() {
    for (int index = 0; index < rhythmCount; ++index) {
        Simulation first;
        Simulation second;
        run(second, 37); // a different history changes nothing
        first.selectRhythm(index, 1700000000u);
        second.selectRhythm(index, 1700000000u);
        QCOMPARE(first.beatInterval, second.beatInterval);
        QCOMPARE(first.auxInterval, second.auxInterval);
        QCOMPARE(first.auxCount, second.auxCount);
        QCOMPARE(first.beatTicks, second.beatTicks);
        for (int i = 0; i < 3000; ++i) {
            const TickSample a = first.step();
            const TickSample b = second.step();
            QCOMPARE(a.y, b.y);
            QCOMPARE(a.red, b.red);
            QCOMPARE(a.beep, b.beep);
        }
    }
    // Draws are made in the row's order: beatInterval first, then the second interval.
    Simulation sim;
    sim.selectRhythm(17, 5);
    RandomSource random;
    random.seed(5);
    QCOMPARE(sim.beatInterval, 6000 / random.drawInRange(35, 55));
    QCOMPARE(sim.auxInterval, 6000 / random.drawInRange(20, 100));
}

void TestSimulation::selectionKeepsQueueAndTrace() {
    Simulation sim;
    sim.selectRhythm(10, 3);
    run(sim, 250);
    const auto queue = sim.deltaQueue;
    const int y = sim.traceY;
    sim.selectRhythm(0, 3);
    QCOMPARE(sim.deltaQueue, queue);
    QCOMPARE(sim.traceY, y);
    QCOMPARE(sim.restingLevel(), 85);
}

void TestSimulation::decidingOnNothingStopsTheRhythm_data() {
    QTest::addColumn<int>("none");
    QTest::newRow("no entry") << noRhythm;
    QTest::newRow("past the end") << totalRhythmCount;
    QTest::newRow("far out") << 1000;
}

void TestSimulation::decidingOnNothingStopsTheRhythm() {
    QFETCH(int, none);
    Simulation sim;
    sim.selectRhythm(10, 9); // ventricular tachycardia: red, beeping
    run(sim, 300);
    sim.selectRhythm(none, 9);
    QVERIFY(!sim.hasRhythm());
    const auto samples = run(sim, 400);
    for (const TickSample& s : samples) {
        QVERIFY(!s.red);
        QVERIFY(!s.beep);
    }
    // Pending waves play out, then the line is flat at the baseline.
    QVERIFY(std::any_of(samples.begin(), samples.begin() + 40, [](auto& s) { return s.y != 85; }));
    QVERIFY(std::all_of(samples.begin() + 210, samples.end(), [](auto& s) { return s.y == 85; }));
}

void TestSimulation::ticksUntilBeepForeseesTheBeeps_data() {
    QTest::addColumn<int>("rhythm");
    QTest::addColumn<int>("sight");
    // A beat laid at once (fibrillation, a dissociated ventricle) shows three ticks ahead: the
    // QRS reaches the beep level on its fourth step. A sinus beat lays its QRS behind the P
    // wave, twelve ticks ahead.
    QTest::newRow("sinus rhythm") << indexOf(Rhythm::sinusRhythm) << 15;
    QTest::newRow("atrial fibrillation") << indexOf(Rhythm::atrialFibrillation) << 3;
    QTest::newRow("sporadic PVC") << indexOf(Rhythm::sporadicPvc) << 3;
    QTest::newRow("ventricular tachycardia") << indexOf(Rhythm::ventricularTachycardia) << 3;
    QTest::newRow("complete block") << indexOf(Rhythm::completeBlock) << 3;
    QTest::newRow("sinus arrest") << indexOf(Rhythm::sinusArrest) << 3;
    QTest::newRow("no rhythm") << noRhythm << 0;
}

void TestSimulation::ticksUntilBeepForeseesTheBeeps() {
    QFETCH(int, rhythm);
    QFETCH(int, sight);
    constexpr int ticks = 30000;
    Simulation sim;
    sim.selectRhythm(rhythm, 4242);
    std::vector<int> foreseen;
    std::vector<bool> beeps;
    for (int t = 0; t < ticks; ++t) {
        foreseen.push_back(sim.ticksUntilBeep());
        beeps.push_back(sim.step().beep);
    }
    int starts = 0;
    int shortest = ticks;
    for (int t = 0; t < ticks; ++t) {
        // The next step is never a surprise.
        QCOMPARE(foreseen[t] == 0, static_cast<bool>(beeps[t]));
        if (!beeps[t] || (t > 0 && beeps[t - 1])) {
            continue;
        }
        // A beep that starts was in sight, counting down, for some ticks before it.
        ++starts;
        int k = 1;
        while (t - k >= 0 && foreseen[t - k] == k) {
            ++k;
        }
        shortest = std::min(shortest, k - 1);
    }
    QCOMPARE(starts > 0, rhythm != noRhythm);
    if (starts > 0) {
        QVERIFY2(shortest >= sight, QByteArray::number(shortest).constData());
    }
}

QTEST_APPLESS_MAIN(TestSimulation)
#include "tst_simulation.moc"
