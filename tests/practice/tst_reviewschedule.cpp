#include "ReviewSchedule.h"
#include "RhythmLibrary.h"

#include <QTest>

#include <cmath>

using namespace pulsavo;
using fsrs::Grade;

// FSRS-5 with its published default weights, and the schedule it gives each rhythm.
class TestReviewSchedule : public QObject {
    Q_OBJECT

private slots:
    void theModelKeepsItsDefinitions();
    void goodAnswersSpaceOutAndLapsesComeBack();
    void scheduleFromStoredAnswers();
};

void TestReviewSchedule::theModelKeepsItsDefinitions() {
    // Stability is the number of days after which recall falls to 90 %.
    QVERIFY(std::abs(fsrs::retrievability(7.5, 7.5) - 0.9) < 1e-12);
    QVERIFY(std::abs(fsrs::interval(7.5) - 7.5) < 1e-9);
    QVERIFY(fsrs::interval(7.5, 0.8) > 7.5);
    // A first answer starts from the grade's weight; D0(good) = w4 - e^(2 w5) + 1.
    QCOMPARE(fsrs::first(Grade::good).stability, 3.173);
    QCOMPARE(fsrs::first(Grade::again).stability, 0.40255);
    QVERIFY(std::abs(fsrs::first(Grade::good).difficulty - 5.28238) < 1e-4);
    // Worked by hand from the formulas: a good review on day 3 gives S = 10.74 days.
    const fsrs::Memory second = fsrs::next(fsrs::first(Grade::good), 3, Grade::good);
    QVERIFY2(std::abs(second.stability - 10.738) < 0.01,
             qPrintable(QString::number(second.stability)));
}

void TestReviewSchedule::goodAnswersSpaceOutAndLapsesComeBack() {
    fsrs::Memory memory = fsrs::first(Grade::good);
    double previous = fsrs::interval(memory.stability);
    for (int review = 0; review < 5; ++review) {
        memory = fsrs::next(memory, previous, Grade::good);
        const double gap = fsrs::interval(memory.stability);
        QVERIFY(gap > 2 * previous);
        previous = gap;
    }
    const fsrs::Memory lapsed = fsrs::next(memory, previous, Grade::again);
    QVERIFY(lapsed.stability < memory.stability / 4);
    QVERIFY(lapsed.difficulty > memory.difficulty);
    const fsrs::Memory hard = fsrs::next(memory, previous, Grade::hard);
    const fsrs::Memory good = fsrs::next(memory, previous, Grade::good);
    QVERIFY(hard.stability < good.stability && good.stability > memory.stability);
}

void TestReviewSchedule::scheduleFromStoredAnswers() {
    const Rhythm mobitz = rhythmOf(LibraryRhythm::mobitz1);
    const Rhythm vf = rhythmOf(LibraryRhythm::vfCoarse);
    const Rhythm pac = rhythmOf(LibraryRhythm::pac);
    const std::vector<ReviewAnswer> answers{{mobitz, 100, true, false},
                                            {vf, 100, true, false},
                                            {pac, 100, true, true},
                                            {mobitz, 103, true, false},
                                            {vf, 103, false, false}};
    const ReviewSchedule schedule = ReviewSchedule::fromAnswers(answers);
    // Missed today: back tomorrow. Hinted: sooner than answered outright.
    QCOMPARE(schedule.card(vf).dueDay, 104);
    QVERIFY(schedule.card(pac).dueDay < schedule.card(mobitz).dueDay);
    QCOMPARE(schedule.card(mobitz).dueDay, 103 + 11);
    QVERIFY(schedule.dueOn(99).empty());
    QCOMPARE(schedule.dueOn(104), (std::vector<Rhythm>{pac, vf}));
    QCOMPARE(schedule.dueOn(114).back(), mobitz);
    // A rhythm never answered is never due: new rhythms come from the drill, not the schedule.
    QVERIFY(!schedule.card(Rhythm::sinusRhythm).seen);
}

QTEST_APPLESS_MAIN(TestReviewSchedule)
#include "tst_reviewschedule.moc"
