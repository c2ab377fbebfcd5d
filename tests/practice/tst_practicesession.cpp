#include "ExamCode.h"
#include "PracticeSession.h"

#include <QTest>

#include <vector>

using namespace pulsavo;

namespace {

// Keeps everything in memory and logs the order of the calls.
struct FakeSink : AnswerSink {
    std::vector<RoundStart> opened;
    std::vector<std::int64_t> closed;
    std::vector<AnswerEntry> kept;
    bool failing = false;

    std::int64_t openRound(const RoundStart& round) override {
        opened.push_back(round);
        return failing ? -1 : static_cast<std::int64_t>(opened.size());
    }
    bool closeRound(std::int64_t roundId) override {
        closed.push_back(roundId);
        return !failing;
    }
    std::int64_t keepAnswer(const AnswerEntry& answer) override {
        kept.push_back(answer);
        return failing ? -1 : static_cast<std::int64_t>(kept.size()) + 100;
    }
};

std::vector<Question> paper() {
    return {{Rhythm::sinusRhythm, 11},
            {Rhythm::atrialFibrillation, 22},
            {Rhythm::ventricularTachycardia, 33},
            {Rhythm::completeBlock, 44}};
}

struct Fixture {
    FakeSink sink;
    PracticeSession session{sink};
    std::int64_t now = 1000;

    Fixture() {
        session.clockMs = [this] { return now; };
        session.seedSource = [] { return std::uint64_t{7}; };
    }
    void startPaper(RoundMode mode = RoundMode::practice, const std::string& code = {}) {
        QVERIFY(session.startFixedRound(paper(), mode, code, "{}"));
    }
};

} // namespace

class TestPracticeSession : public QObject {
    Q_OBJECT
private slots:
    void hintCountsAsHinted_data();
    void hintCountsAsHinted();
    void answerKeptBeforeJudged();
    void failingSinkStillPractises();
    void summaryMaths_data();
    void summaryMaths();
    void replayMissedFromItsSeed();
    void examRound();
    void examTagsLearnerAndNumber();
    void drillRound();
    void measurement_data();
    void measurement();
    void actionsOutOfStage();
    void roundClosedExactlyOnce();
};

void TestPracticeSession::hintCountsAsHinted_data() {
    QTest::addColumn<int>("hints");
    QTest::addColumn<bool>("hinted");
    QTest::newRow("no hint") << 0 << false;
    QTest::newRow("one hint") << 1 << true;
    QTest::newRow("hint asked twice") << 2 << true;
}

void TestPracticeSession::hintCountsAsHinted() {
    QFETCH(int, hints);
    QFETCH(bool, hinted);
    Fixture f;
    f.startPaper();
    for (int i = 0; i < hints; ++i) {
        QCOMPARE(f.session.takeHint(), i == 0);
    }
    QCOMPARE(f.session.isHinted(), hinted);
    QVERIFY(f.session.answer(Rhythm::sinusRhythm));
    QCOMPARE(f.sink.kept.at(0).hinted, hinted);
    QCOMPARE(f.session.results().at(0).hinted, hinted);
    QCOMPARE(f.session.summary().hinted, hinted ? 1 : 0);
    // Once answered, a hint gives nothing away and is not taken.
    QVERIFY(!f.session.takeHint());
    // The next question starts unhinted.
    QVERIFY(f.session.next());
    QVERIFY(!f.session.isHinted());
}

void TestPracticeSession::answerKeptBeforeJudged() {
    Fixture f;
    f.startPaper(RoundMode::exam, "PX-TEST-CODE");
    std::vector<std::size_t> keptWhenJudged;
    f.session.onAnswerJudged = [&](const PracticeSession::Result& result) {
        keptWhenJudged.push_back(f.sink.kept.size());
        QCOMPARE(result.answerId, static_cast<std::int64_t>(f.sink.kept.size()) + 100);
    };
    f.now += 2500;
    QVERIFY(f.session.answer(Rhythm::atrialFlutter));
    QCOMPARE(keptWhenJudged, std::vector<std::size_t>{1});
    const AnswerEntry& entry = f.sink.kept.at(0);
    QCOMPARE(entry.roundId, std::int64_t{1});
    QVERIFY(entry.shown == Rhythm::sinusRhythm);
    QCOMPARE(entry.seed, 11u);
    QVERIFY(entry.answer == Rhythm::atrialFlutter);
    QVERIFY(!entry.correct.has_value());
    QCOMPARE(entry.answerMs, 2500);
    QCOMPARE(entry.examCode, std::string("PX-TEST-CODE"));
    QVERIFY(entry.kind.empty());
    QVERIFY(f.session.stage() == PracticeSession::Stage::feedback);
}

void TestPracticeSession::failingSinkStillPractises() {
    Fixture f;
    f.sink.failing = true;
    f.startPaper();
    for (int i = 0; i < 4; ++i) {
        QVERIFY(f.session.answer(Rhythm::sinusRhythm));
        QCOMPARE(f.session.results().back().answerId, std::int64_t{-1});
        QCOMPARE(f.sink.kept.back().roundId, std::int64_t{0});
        QVERIFY(f.session.next());
    }
    QVERIFY(f.session.stage() == PracticeSession::Stage::summary);
    // No round row was written, so there is none to close.
    QVERIFY(f.sink.closed.empty());
}

void TestPracticeSession::summaryMaths_data() {
    QTest::addColumn<QList<bool>>("right");
    QTest::addColumn<QList<int>>("times");
    QTest::addColumn<int>("correct");
    QTest::addColumn<double>("accuracy");
    QTest::addColumn<double>("median");
    QTest::addColumn<QList<int>>("missed");
    QTest::newRow("all right") << QList<bool>{true, true, true, true}
                               << QList<int>{4000, 1000, 3000, 2000} << 4 << 100.0 << 2500.0
                               << QList<int>{};
    QTest::newRow("all wrong") << QList<bool>{false, false, false, false}
                               << QList<int>{500, 500, 500, 9000} << 0 << 0.0 << 500.0
                               << QList<int>{0, 1, 2, 3};
    QTest::newRow("one of four") << QList<bool>{false, true, false, false}
                                 << QList<int>{100, 200, 300, 10000} << 1 << 25.0 << 250.0
                                 << QList<int>{0, 2, 3};
    QTest::newRow("three of four")
        << QList<bool>{true, false, true, true} << QList<int>{0, 7000, 1000, 1000} << 3 << 75.0
        << 1000.0 << QList<int>{1};
}

void TestPracticeSession::summaryMaths() {
    QFETCH(QList<bool>, right);
    QFETCH(QList<int>, times);
    QFETCH(int, correct);
    QFETCH(double, accuracy);
    QFETCH(double, median);
    QFETCH(QList<int>, missed);
    Fixture f;
    f.startPaper();
    int finished = 0;
    f.session.onRoundFinished = [&](const PracticeSession::Summary&) { ++finished; };
    const std::vector<Question> questions = paper();
    for (qsizetype i = 0; i < right.size(); ++i) {
        f.now += times[i];
        const Rhythm shown = questions[static_cast<std::size_t>(i)].rhythm;
        QVERIFY(f.session.answer(right[i] ? shown : Rhythm::atrialTachycardia));
        QCOMPARE(f.session.isLastQuestion(), i == right.size() - 1);
        QVERIFY(f.session.next());
    }
    QCOMPARE(finished, 1);
    const PracticeSession::Summary sum = f.session.summary();
    QCOMPARE(sum.count, 4);
    QCOMPARE(sum.correct, correct);
    QCOMPARE(sum.accuracyPercent, accuracy);
    QCOMPARE(sum.medianAnswerMs, median);
    QCOMPARE(QList<int>(sum.missed.begin(), sum.missed.end()), missed);
}

void TestPracticeSession::replayMissedFromItsSeed() {
    Fixture f;
    f.startPaper();
    // Questions 2 and 4 are missed.
    for (const Rhythm answer : {Rhythm::sinusRhythm, Rhythm::atrialFlutter,
                                Rhythm::ventricularTachycardia, Rhythm::wenckebachBlock}) {
        QVERIFY(!f.session.missedQuestion(0).has_value());
        QVERIFY(f.session.answer(answer));
        QVERIFY(f.session.next());
    }
    QCOMPARE(f.session.missedQuestion(0), std::optional(Question{Rhythm::atrialFibrillation, 22}));
    QCOMPARE(f.session.missedQuestion(1), std::optional(Question{Rhythm::completeBlock, 44}));
    QVERIFY(!f.session.missedQuestion(2).has_value());
    QVERIFY(!f.session.missedQuestion(-1).has_value());
}

void TestPracticeSession::examRound() {
    Fixture f;
    std::vector<Question> asked;
    f.session.onQuestionAsked = [&](const Question& question) { asked.push_back(question); };
    f.startPaper(RoundMode::exam, "PX-8AK9-P73D");
    QCOMPARE(f.sink.opened.size(), std::size_t{1});
    QVERIFY(f.sink.opened[0].mode == RoundMode::exam);
    QCOMPARE(f.sink.opened[0].examCode, std::string("PX-8AK9-P73D"));
    QCOMPARE(f.sink.opened[0].length, 4);
    QCOMPARE(f.session.planned(), 4);
    QVERIFY(f.session.inPlay() ==
            RhythmSet::of({Rhythm::sinusRhythm, Rhythm::atrialFibrillation,
                           Rhythm::ventricularTachycardia, Rhythm::completeBlock}));
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(f.session.number(), i + 1);
        QVERIFY(f.session.answer(Rhythm::sinusRhythm));
        QVERIFY(f.session.next());
    }
    // The paper's questions, in its order, each from its own seed.
    QCOMPARE(asked, paper());
    for (const AnswerEntry& entry : f.sink.kept) {
        QCOMPARE(entry.examCode, std::string("PX-8AK9-P73D"));
    }
    QCOMPARE(f.sink.closed, std::vector<std::int64_t>{1});
}

// Each learner gets the shuffled exam in their own order; every answer, measurements included,
// names the learner and the question's number in the exam.
void TestPracticeSession::examTagsLearnerAndNumber() {
    ExamSettings settings;
    settings.shuffled = true;
    const Exam exam = makeExam(8, 4242, RhythmSet::classic(), settings).exam;
    Fixture f;
    f.session.taskFor = [](const Question&) { return MeasurementTask{1, "rr"}; };
    QVERIFY(f.session.startExam(exam, "Ann", "{}"));
    for (int i = 0; i < exam.count; ++i) {
        QVERIFY(f.session.answer(Rhythm::sinusRhythm));
        QVERIFY(f.session.submitMeasurement({800, 10, true}));
        QVERIFY(f.session.next());
    }
    std::vector<int> numbers;
    for (std::size_t k = 0; k < f.sink.kept.size(); ++k) {
        const AnswerEntry& entry = f.sink.kept[k];
        QCOMPARE(entry.learner, std::string("Ann"));
        QCOMPARE(entry.kind.empty(), k % 2 == 0);
        const Question& asked = exam.questions[static_cast<std::size_t>(entry.question - 1)];
        QCOMPARE(entry.shown, asked.rhythm);
        QCOMPARE(entry.seed, asked.seed);
        if (k % 2 == 0) {
            numbers.push_back(entry.question - 1);
        }
    }
    QCOMPARE(numbers, questionOrder(exam, "Ann"));
    QVERIFY(numbers != questionOrder(exam, "Ben"));
    // A practice round afterwards is nobody's exam.
    f.startPaper();
    QVERIFY(f.session.answer(Rhythm::sinusRhythm));
    QVERIFY(f.sink.kept.back().learner.empty() && f.sink.kept.back().question == 0);
}

void TestPracticeSession::drillRound() {
    Fixture f;
    const RhythmSet rhythms = RhythmSet::of({Rhythm::sinusRhythm, Rhythm::atrialFibrillation});
    QVERIFY(!f.session.startRound(10, RhythmSet(), true, "{}"));
    QVERIFY(f.sink.opened.empty());
    QVERIFY(f.session.startRound(10, rhythms, false, "{\"length\":10}"));
    QCOMPARE(f.sink.opened.at(0).options, std::string("{\"length\":10}"));
    int questions = 0;
    while (f.session.stage() == PracticeSession::Stage::question) {
        ++questions;
        QVERIFY(rhythms.contains(f.session.currentQuestion()->rhythm));
        QVERIFY(f.session.answer(f.session.currentQuestion()->rhythm));
        QVERIFY(f.session.next());
    }
    QCOMPARE(questions, 10);
    QVERIFY(f.session.stage() == PracticeSession::Stage::summary);
    // Right answers without hints move both rhythms up from the new learner's box.
    QVERIFY(f.session.mastery().box(Rhythm::sinusRhythm) > Mastery::newBox);
    QVERIFY(f.session.mastery().box(Rhythm::atrialFibrillation) > Mastery::newBox);
    QVERIFY(f.session.startPairDrill(Rhythm::wenckebachBlock, Rhythm::mobitzBlock, 6, "{}"));
    QVERIFY(f.session.mode() == RoundMode::pair);
    QCOMPARE(f.session.planned(), 6);
    QVERIFY(f.session.inPlay() == RhythmSet::of({Rhythm::wenckebachBlock, Rhythm::mobitzBlock}));
}

void TestPracticeSession::measurement_data() {
    QTest::addColumn<bool>("revealed");
    QTest::addColumn<int>("errorMs");
    QTest::addColumn<bool>("right");
    QTest::newRow("right") << false << 12 << true;
    QTest::newRow("wrong") << false << -80 << false;
    QTest::newRow("right after the waves were shown") << true << 0 << true;
}

void TestPracticeSession::measurement() {
    QFETCH(bool, revealed);
    QFETCH(int, errorMs);
    QFETCH(bool, right);
    Fixture f;
    // Only the second question asks for a measurement.
    f.session.taskFor = [](const Question& question) -> std::optional<MeasurementTask> {
        if (question.rhythm == Rhythm::atrialFibrillation) {
            return MeasurementTask{0, "rr"};
        }
        return std::nullopt;
    };
    f.startPaper();
    QVERIFY(f.session.answer(Rhythm::sinusRhythm));
    QVERIFY(f.session.stage() == PracticeSession::Stage::feedback);
    QVERIFY(!f.session.submitMeasurement({800, 0, true}));
    QVERIFY(f.session.next());
    QVERIFY(f.session.answer(Rhythm::atrialFibrillation));
    QVERIFY(f.session.stage() == PracticeSession::Stage::measurement);
    QCOMPARE(f.session.measurementTask()->storedName, std::string("rr"));
    f.now += 4000;
    if (revealed) {
        f.session.revealDuringMeasurement();
    }
    QVERIFY(f.session.submitMeasurement({812, errorMs, right}));
    QVERIFY(f.session.stage() == PracticeSession::Stage::feedback);
    QVERIFY(!f.session.measurementTask().has_value());
    QVERIFY(!f.session.submitMeasurement({812, errorMs, right}));
    QCOMPARE(f.sink.kept.size(), std::size_t{3});
    const AnswerEntry& entry = f.sink.kept.back();
    QCOMPARE(entry.kind, std::string("rr"));
    QCOMPARE(entry.valueMs, std::optional(812));
    QCOMPARE(entry.errorMs, std::optional(errorMs));
    QCOMPARE(entry.correct, std::optional(right));
    QCOMPARE(entry.hinted, revealed);
    QCOMPARE(entry.answerMs, 4000);
    QVERIFY(!entry.answer.has_value());
    QVERIFY(f.session.results().back().measurement.has_value());
    // Showing the waves after the measurement was given hints nothing.
    f.session.revealDuringMeasurement();
    QCOMPARE(f.session.results().back().measurement->hinted, revealed);
    QVERIFY(f.session.next());
    QVERIFY(f.session.answer(Rhythm::ventricularTachycardia));
    QVERIFY(f.session.next());
    QVERIFY(f.session.answer(Rhythm::completeBlock));
    QVERIFY(f.session.next());
    QCOMPARE(f.session.summary().measured, 1);
    QCOMPARE(f.session.summary().measuredRight, right ? 1 : 0);
}

void TestPracticeSession::actionsOutOfStage() {
    Fixture f;
    QVERIFY(f.session.stage() == PracticeSession::Stage::setup);
    QVERIFY(!f.session.answer(Rhythm::sinusRhythm));
    QVERIFY(!f.session.takeHint());
    QVERIFY(!f.session.next());
    f.startPaper();
    QVERIFY(!f.session.next());
    QVERIFY(f.session.answer(Rhythm::sinusRhythm));
    // One answer per question: a second one (a double click) is not recorded.
    QVERIFY(!f.session.answer(Rhythm::atrialFibrillation));
    QCOMPARE(f.sink.kept.size(), std::size_t{1});
    QCOMPARE(f.session.results().size(), std::size_t{1});
}

void TestPracticeSession::roundClosedExactlyOnce() {
    Fixture f;
    QVERIFY(!f.session.roundInProgress());
    f.startPaper();
    QVERIFY(f.session.roundInProgress());
    QVERIFY(f.session.answer(Rhythm::sinusRhythm));
    // A new round cuts this one short: it is closed first.
    f.startPaper();
    QCOMPARE(f.sink.closed, std::vector<std::int64_t>{1});
    QVERIFY(f.session.results().empty());
    f.session.leave();
    QCOMPARE(f.sink.closed, (std::vector<std::int64_t>{1, 2}));
    QVERIFY(!f.session.roundInProgress());
    f.session.leave();
    QCOMPARE(f.sink.closed.size(), std::size_t{2});
}

QTEST_APPLESS_MAIN(TestPracticeSession)
#include "tst_practicesession.moc"
