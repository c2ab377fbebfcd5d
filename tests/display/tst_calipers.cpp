#include "Calipers.h"
#include "Monitor.h"
#include "RhythmLibrary.h"

#include <QTest>

#include <algorithm>
#include <vector>

using namespace pulsavo;
using namespace pulsavo::calipers;

namespace {

WaveEvent wave(std::int64_t tick, WaveKind kind, std::int64_t beat,
               WaveRole role = WaveRole::conducted) {
    return {tick, kind, role, waveLength(kind), beat, false};
}

// Two conducted beats (P at 100 and 200, QRS 16 ticks later), a blocked P at 300 and a
// ventricular beat at 350 that belongs to no P.
std::vector<WaveEvent> twoBeatsAndABlock() {
    return {wave(100, WaveKind::p, 1),
            wave(116, WaveKind::qrs, 1),
            wave(124, WaveKind::t, 1),
            wave(200, WaveKind::p, 2),
            wave(216, WaveKind::qrs, 2),
            wave(224, WaveKind::t, 2),
            wave(300, WaveKind::p, 3, WaveRole::blocked),
            wave(350, WaveKind::ventricularBeat, 4, WaveRole::ventricular),
            wave(400, WaveKind::p, 5, WaveRole::missing)};
}

} // namespace

Q_DECLARE_METATYPE(pulsavo::calipers::Kind)
Q_DECLARE_METATYPE(pulsavo::Rhythm)

class TestCalipers : public QObject {
    Q_OBJECT
private slots:
    void rightWithinOneSmallSquare_data();
    void rightWithinOneSmallSquare();
    void ratePerMinute_data();
    void ratePerMinute();
    void trueIntervals_data();
    void trueIntervals();
    void nearestTruthIsScored();
    void marksOfTheTeacher();
    void monitorTruthMatchesItsTrace();
    void everyTaskCanBeMeasuredWhereverTheTraceStops_data();
    void everyTaskCanBeMeasuredWhereverTheTraceStops();
    void labelStaysClearOfItsLines_data();
    void labelStaysClearOfItsLines();
    void taskCaliperIsChosen_data();
    void taskCaliperIsChosen();
    void markLettersStayClear_data();
    void markLettersStayClear();
};

void TestCalipers::rightWithinOneSmallSquare_data() {
    QTest::addColumn<int>("measuredMs");
    QTest::addColumn<bool>("right");
    // The true PR is 160 ms; calipers move in 10 ms columns, the rule itself in ms.
    QTest::newRow("exact") << 160 << true;
    QTest::newRow("40 short") << 120 << true;
    QTest::newRow("40 long") << 200 << true;
    QTest::newRow("50 long") << 210 << false;
    QTest::newRow("50 short") << 110 << false;
}

void TestCalipers::rightWithinOneSmallSquare() {
    QFETCH(int, measuredMs);
    QFETCH(bool, right);
    const Interval truth{99, 115};
    const Caliper caliper{99, 99 + measuredMs / tickMs, Kind::pr};
    const std::vector<Interval> truths{truth};
    const std::optional<Score> result = score(caliper, truths);
    QVERIFY(result.has_value());
    QCOMPARE(result->measuredMs, measuredMs);
    QCOMPARE(result->errorMs, measuredMs - 160);
    QCOMPARE(result->right, right);
    // The boundary itself, to the millisecond.
    QVERIFY(isRight(40) && isRight(-40) && !isRight(41) && !isRight(-41));
}

void TestCalipers::ratePerMinute_data() {
    QTest::addColumn<int>("ms");
    QTest::addColumn<double>("rate");
    QTest::newRow("1000 ms") << 1000 << 60.0;
    QTest::newRow("800 ms") << 800 << 75.0;
    QTest::newRow("400 ms") << 400 << 150.0;
    QTest::newRow("1500 ms") << 1500 << 40.0;
}

void TestCalipers::ratePerMinute() {
    QFETCH(int, ms);
    QFETCH(double, rate);
    QCOMPARE(calipers::ratePerMinute(ms).value(), rate);
    QVERIFY(!calipers::ratePerMinute(0).has_value());
    QCOMPARE((Caliper{500, 420, Kind::rr}.ms()), 800);
}

void TestCalipers::trueIntervals_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("last");
    QTest::addColumn<QList<qint64>>("expected"); // from, to, from, to, ...
    // R peaks at 119, 219 and 355 (the crest of a ventricular beat is its step 5).
    QTest::newRow("RR") << Kind::rr << qint64(0) << qint64(1000)
                        << QList<qint64>{119, 219, 219, 355};
    QTest::newRow("RR, the last beat out of view")
        << Kind::rr << qint64(0) << qint64(354) << QList<qint64>{119, 219};
    // The blocked P counts; the missing one drew nothing.
    QTest::newRow("PP") << Kind::pp << qint64(0) << qint64(1000)
                        << QList<qint64>{99, 199, 199, 299};
    QTest::newRow("PR only within a beat")
        << Kind::pr << qint64(0) << qint64(1000) << QList<qint64>{99, 115, 199, 215};
    QTest::newRow("PR, the first P out of view")
        << Kind::pr << qint64(100) << qint64(1000) << QList<qint64>{199, 215};
    QTest::newRow("QRS narrow 80 ms, wide 160 ms")
        << Kind::qrs << qint64(0) << qint64(1000) << QList<qint64>{115, 123, 215, 223, 349, 365};
}

void TestCalipers::trueIntervals() {
    QFETCH(Kind, kind);
    QFETCH(qint64, first);
    QFETCH(qint64, last);
    QFETCH(QList<qint64>, expected);
    const std::vector<WaveEvent> events = twoBeatsAndABlock();
    QList<qint64> found;
    for (const Interval& interval : intervals(kind, events, first, last)) {
        found << interval.from << interval.to;
    }
    QCOMPARE(found, expected);
}

void TestCalipers::nearestTruthIsScored() {
    const std::vector<WaveEvent> events = twoBeatsAndABlock();
    const std::vector<Interval> rr = intervals(Kind::rr, events, 0, 1000);
    // Placed over the second RR (136 ticks), though its length is closer to the first's.
    const std::optional<Score> second = score({225, 330, Kind::rr}, rr);
    QVERIFY(second.has_value());
    QCOMPARE(second->truth, (Interval{219, 355}));
    QCOMPARE(second->errorMs, 1050 - 1360);
    QVERIFY(!second->right);
    // Ends swapped measure the same.
    const std::optional<Score> swapped = score({223, 121, Kind::rr}, rr);
    QCOMPARE(swapped->truth, (Interval{119, 219}));
    QCOMPARE(swapped->errorMs, 20);
    QVERIFY(swapped->right);
    QVERIFY(!score({100, 200, Kind::pr}, std::vector<Interval>{}).has_value());
}

void TestCalipers::marksOfTheTeacher() {
    const std::vector<WaveEvent> events = twoBeatsAndABlock();
    const std::vector<Mark> found = marks(events, 110, 300);
    const std::vector<Mark> expected{{115, MarkKind::qrsOnset}, {119, MarkKind::rPeak},
                                     {151, MarkKind::tEnd},     {199, MarkKind::pOnset},
                                     {215, MarkKind::qrsOnset}, {219, MarkKind::rPeak},
                                     {251, MarkKind::tEnd},     {299, MarkKind::pOnset}};
    QCOMPARE(found, expected);
}

// The truth comes from the monitor's own event history and lines up with its trace: every QRS
// onset is the last baseline sample before the complex, every R peak the farthest sample.
void TestCalipers::monitorTruthMatchesItsTrace() {
    Monitor monitor(599, 146);
    monitor.setEventHistory(true);
    monitor.select(Rhythm::firstDegreeBlock, 11);
    std::vector<TickSample> samples(1500);
    for (TickSample& sample : samples) {
        monitor.run();
        sample = monitor.lastSample();
    }
    const std::vector<WaveEvent> events = monitor.events();
    const auto yAt = [&](std::int64_t tick) {
        return samples[static_cast<std::size_t>(tick - 1)].y;
    };
    int checked = 0;
    for (const Interval& qrs : intervals(Kind::qrs, events, 1, 1500)) {
        QCOMPARE(yAt(qrs.from), baselineY);
        QCOMPARE(yAt(qrs.to), baselineY);
        QVERIFY(yAt(qrs.from + 1) != baselineY);
        ++checked;
    }
    QVERIFY(checked >= 8);
    for (const Interval& pr : intervals(Kind::pr, events, 1, 1500)) {
        QVERIFY2(pr.ms() > 200, "a first-degree block lengthens PR past 200 ms");
    }
}

void TestCalipers::everyTaskCanBeMeasuredWhereverTheTraceStops_data() {
    QTest::addColumn<Rhythm>("rhythm");
    for (int index = 0; index < totalRhythmCount; ++index) {
        const Rhythm rhythm = *anyRhythmAt(index);
        QTest::newRow(rhythmId(rhythm).c_str()) << rhythm;
    }
}

// A practice question asks for one measurement; wherever the learner freezes the panel (560
// columns stay in view behind the wipe), at least one such interval must be there to score.
void TestCalipers::everyTaskCanBeMeasuredWhereverTheTraceStops() {
    QFETCH(Rhythm, rhythm);
    const std::span<const Kind> tasks = tasksOf(rhythm);
    // Only the rhythms without an interval to measure ask for none.
    const std::array unmeasurable{Rhythm::ventricularFibrillation,
                                  rhythmOf(LibraryRhythm::torsades),
                                  rhythmOf(LibraryRhythm::vfCoarse),
                                  rhythmOf(LibraryRhythm::vfFine),
                                  rhythmOf(LibraryRhythm::ventricularFlutter),
                                  rhythmOf(LibraryRhythm::asystole)};
    QCOMPARE(tasks.empty(),
             std::find(unmeasurable.begin(), unmeasurable.end(), rhythm) != unmeasurable.end());
    for (const std::uint32_t seed : {1U, 2U, 77U}) {
        const std::optional<Kind> chosen = taskFor(rhythm, seed);
        QCOMPARE(chosen.has_value(), !tasks.empty());
        QVERIFY(!chosen || std::find(tasks.begin(), tasks.end(), *chosen) != tasks.end());
        Monitor monitor(599, 146);
        monitor.setEventHistory(true);
        monitor.select(rhythm, seed);
        monitor.run(3000);
        const std::vector<WaveEvent> events = monitor.events();
        constexpr std::int64_t inView = 560;
        for (const Kind kind : tasks) {
            for (std::int64_t last = 700; last <= 3000; last += 20) {
                QVERIFY2(!intervals(kind, events, last - inView + 1, last).empty(),
                         qPrintable(QStringLiteral("%1 missing in ticks %2..%3, seed %4")
                                        .arg(storedName(kind))
                                        .arg(last - inView + 1)
                                        .arg(last)
                                        .arg(seed)));
            }
        }
    }
    // Different seeds ask the different measurements of a rhythm.
    if (tasks.size() > 1) {
        QVERIFY(taskFor(rhythm, 0) != taskFor(rhythm, 1));
    }
}

void TestCalipers::labelStaysClearOfItsLines_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QList<int>>("others"); // the other calipers' lines
    QTest::addColumn<int>("left");
    // A 90 px label on a 600 px panel.
    QTest::newRow("fits between") << 100 << 200 << QList<int>{} << 103;
    QTest::newRow("fits between, drawn right to left") << 200 << 100 << QList<int>{} << 103;
    QTest::newRow("just too narrow: after the later line") << 100 << 195 << QList<int>{} << 198;
    QTest::newRow("PR of 16 columns: after") << 300 << 316 << QList<int>{} << 319;
    QTest::newRow("near the right edge: before") << 500 << 520 << QList<int>{} << 407;
    QTest::newRow("long caliper near both edges: between") << 2 << 590 << QList<int>{} << 5;
    QTest::newRow("another line between: after") << 100 << 200 << QList{150} << 203;
    QTest::newRow("others between and after: before") << 100 << 200 << QList{150, 250} << 7;
    QTest::newRow("hemmed in: the nearest free stretch")
        << 100 << 200 << QList{50, 150, 250} << 253;
    QTest::newRow("no stretch wide enough: clear of its own lines")
        << 100 << 200 << QList{20, 60, 150, 250, 300, 350, 400, 450, 500, 550} << 103;
}

void TestCalipers::labelStaysClearOfItsLines() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QList<int>, others);
    QFETCH(int, left);
    std::vector<int> lines(others.begin(), others.end());
    lines.insert(lines.end(), {from, to});
    QCOMPARE(labelLeft(from, to, 90, 600, lines), left);
    if (others.isEmpty()) {
        QCOMPARE(labelLeft(from, to, 90, 600), left);
    }
}

void TestCalipers::taskCaliperIsChosen_data() {
    QTest::addColumn<int>("selected");
    QTest::addColumn<Kind>("task");
    QTest::addColumn<int>("chosen"); // -1: none
    // Calipers set in this order: RR, PR, RR.
    QTest::newRow("the selected one measures it") << 0 << Kind::rr << 0;
    QTest::newRow("the selected one measures another: the last for it") << 1 << Kind::rr << 2;
    QTest::newRow("none selected: the last for it") << -1 << Kind::pr << 1;
    QTest::newRow("none measures it") << 2 << Kind::qrs << -1;
}

void TestCalipers::taskCaliperIsChosen() {
    QFETCH(int, selected);
    QFETCH(Kind, task);
    QFETCH(int, chosen);
    const std::vector<Caliper> set{{10, 90, Kind::rr}, {20, 36, Kind::pr}, {100, 180, Kind::rr}};
    const std::optional<std::size_t> got = taskCaliper(set, selected, task);
    QCOMPARE(got ? static_cast<int>(*got) : -1, chosen);
}

void TestCalipers::markLettersStayClear_data() {
    QTest::addColumn<QList<int>>("columns");
    QTest::addColumn<QList<int>>("lefts");
    QTest::addColumn<QList<int>>("lanes");
    // 7 px letters in 3 lanes on a 600 px panel, after the foot of their own lines.
    QTest::newRow("apart: beside their lines")
        << QList{100, 150, 200} << QList{102, 152, 202} << QList{0, 0, 0};
    QTest::newRow("P, Q, R, T: Q's letter would cross R's line")
        << QList{84, 100, 104, 130} << QList{86, 102, 106, 132} << QList{0, 1, 0, 0};
    QTest::newRow("crowded: the top lane takes the rest")
        << QList{100, 101, 102, 103} << QList{102, 103, 104, 105} << QList{1, 2, 2, 0};
    QTest::newRow("at the right edge: before its line") << QList{596} << QList{588} << QList{0};
}

void TestCalipers::markLettersStayClear() {
    QFETCH(QList<int>, columns);
    QFETCH(QList<int>, lefts);
    QFETCH(QList<int>, lanes);
    const std::vector<int> at(columns.begin(), columns.end());
    const std::vector<LetterPlace> places = letterPlaces(at, 7, 600, 3);
    QCOMPARE(places.size(), at.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        const auto row = static_cast<qsizetype>(i);
        QCOMPARE(places[i], (LetterPlace{lefts[row], lanes[row]}));
    }
}

QTEST_APPLESS_MAIN(TestCalipers)
#include "tst_calipers.moc"
