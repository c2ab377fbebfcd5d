#include "Readiness.h"
#include "ReviewSchedule.h"
#include "RhythmLibrary.h"
#include "RhythmSet.h"

#include <QTest>

#include <cmath>

using namespace pulsavo;
using fsrs::Grade;

// FSRS-5 with its published default weights, and the schedule it gives each rhythm.
class TestReviewSchedule : public QObject {
    Q_OBJECT

private slots:
    void theModelKeepsItsDefinitions();
    void scheduleFromStoredAnswers();
    void readinessByArea_data();
    void readinessByArea();
};

void TestReviewSchedule::theModelKeepsItsDefinitions() {
    // Stability is the number of days after which recall falls to 90 %.
    QVERIFY(std::abs(fsrs::retrievability(7.5, 7.5) - 0.9) < 1e-12 &&
            std::abs(fsrs::interval(7.5) - 7.5) < 1e-9 && fsrs::interval(7.5, 0.8) > 7.5);
    // A first answer starts from the grade's weight; D0(good) = w4 - e^(2 w5) + 1.
    QCOMPARE(fsrs::first(Grade::good).stability, 3.173);
    QCOMPARE(fsrs::first(Grade::again).stability, 0.40255);
    QVERIFY(std::abs(fsrs::first(Grade::good).difficulty - 5.28238) < 1e-4);
    // Worked by hand from the formulas: a good review on day 3 gives S = 10.74 days.
    QVERIFY(std::abs(fsrs::next(fsrs::first(Grade::good), 3, Grade::good).stability - 10.738) <
            0.01);
    // Good answers space out; a lapse comes back soon and harder; "hard" grows less than "good".
    fsrs::Memory memory = fsrs::first(Grade::good);
    double previous = fsrs::interval(memory.stability);
    for (int review = 0; review < 5; ++review) {
        memory = fsrs::next(memory, previous, Grade::good);
        QVERIFY(fsrs::interval(memory.stability) > 2 * previous);
        previous = fsrs::interval(memory.stability);
    }
    const fsrs::Memory lapsed = fsrs::next(memory, previous, Grade::again);
    QVERIFY(lapsed.stability < memory.stability / 4 && lapsed.difficulty > memory.difficulty);
    const double good = fsrs::next(memory, previous, Grade::good).stability;
    QVERIFY(fsrs::next(memory, previous, Grade::hard).stability < good && good > memory.stability);
}

void TestReviewSchedule::scheduleFromStoredAnswers() {
    const Rhythm mobitz = rhythmOf(LibraryRhythm::mobitz1), vf = rhythmOf(LibraryRhythm::vfCoarse),
                 pac = rhythmOf(LibraryRhythm::pac);
    const std::vector<ReviewAnswer> answers{{mobitz, 100, true, false, {}},
                                            {vf, 100, true, false, {}},
                                            {pac, 100, true, true, {}},
                                            {mobitz, 103, true, false, {}},
                                            {vf, 103, false, false, {}}};
    const ReviewSchedule schedule = ReviewSchedule::fromAnswers(answers);
    // Missed today: back tomorrow. Hinted: sooner than answered outright.
    QCOMPARE(schedule.card(vf).dueDay, 104);
    QVERIFY(schedule.card(pac).dueDay < schedule.card(mobitz).dueDay);
    QCOMPARE(schedule.card(mobitz).dueDay, 103 + 11);
    QCOMPARE(schedule.dueOn(104), (std::vector<Rhythm>{pac, vf}));
    QCOMPARE(schedule.dueOn(114).back(), mobitz);
    // A rhythm never answered is never due: new rhythms come from the drill, not the schedule.
    QVERIFY(schedule.dueOn(99).empty() && !schedule.card(Rhythm::sinusRhythm).seen);
    // The week ahead from day 104: pac and vf today, mobitz on day 114 (past the window).
    QCOMPARE(schedule.dueCounts(104, 7), (std::vector<int>{2, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(schedule.dueCounts(100, 15).back(), 1);
}

void TestReviewSchedule::readinessByArea_data() {
    QTest::addColumn<int>("attempts");
    QTest::addColumn<int>("correct");
    QTest::addColumn<bool>("ready");
    QTest::newRow("at the mark") << 20 << 17 << true;
    QTest::newRow("just under") << 100 << 84 << false;
    QTest::newRow("never answered") << 0 << 0 << false;
}

// The AV blocks' area sums its rhythms; the other areas are untouched.
void TestReviewSchedule::readinessByArea() {
    QFETCH(int, attempts);
    QFETCH(int, correct);
    QFETCH(bool, ready);
    std::array<std::array<int, 2>, totalRhythmCount> tally{};
    tally[indexOf(rhythmOf(LibraryRhythm::mobitz1))] = {attempts - attempts / 2, correct / 2};
    tally[indexOf(rhythmOf(LibraryRhythm::mobitz2))] = {attempts / 2, correct - correct / 2};
    const std::vector<ReadinessArea> areas = readiness(tally);
    const std::vector<RhythmGroup> groups = rhythmGroups();
    QCOMPARE(areas.size(), groups.size());
    for (const ReadinessArea& area : areas) {
        const bool blocks = groups[area.group].rhythms.contains(rhythmOf(LibraryRhythm::mobitz1));
        QCOMPARE(area.attempts, blocks ? attempts : 0);
        QCOMPARE(area.ready(), blocks && ready);
    }
}

QTEST_APPLESS_MAIN(TestReviewSchedule)
#include "tst_reviewschedule.moc"
