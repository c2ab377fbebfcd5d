#include "ArtifactQuestions.h"
#include "ExamCode.h"
#include "PracticeSession.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <vector>

using namespace pulsavo;

namespace {

// Keeps everything in memory; answer ids from 101, round ids from 1, or none when failing.
struct FakeSink : AnswerSink {
    std::vector<RoundStart> opened;
    std::vector<std::int64_t> closed;
    std::vector<AnswerEntry> kept;
    bool failing = false;

    std::int64_t openRound(const RoundStart& round) override {
        opened.push_back(round);
        return failing ? -1 : static_cast<std::int64_t>(opened.size());
    }
    bool closeRound(std::int64_t roundId) override { return closed.push_back(roundId), !failing; }
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
    void examRound_data();
    void examRound();
    void summaryMaths_data();
    void summaryMaths();
    void examTagsLearnerAndNumber();
    void examSettingsTaken_data();
    void examSettingsTaken();
    void drillRound();
    void measurement_data();
    void measurement();
    void roundClosedExactlyOnce();
    void typedRecall_data();
    void typedRecall();
    void dueReview_data();
    void dueReview();
    void artifactDistractors_data();
    void artifactDistractors();
    void artifactVersusRound();
    void worksheetStage_data();
    void worksheetStage();
    void answerTimeLimit_data();
    void answerTimeLimit();
    void historyArrivingLateKeepsTheAnswersGiven();
};

void TestPracticeSession::hintCountsAsHinted_data() {
    QTest::addColumn<int>("hints");
    QTest::newRow("no hint") << 0;
    QTest::newRow("one hint") << 1;
    QTest::newRow("hint asked twice") << 2;
}

// Out of its stage an action changes nothing; a hint marks its question only.
void TestPracticeSession::hintCountsAsHinted() {
    QFETCH(int, hints);
    Fixture f;
    QVERIFY(!f.session.answer(Rhythm::sinusRhythm) && !f.session.takeHint() && !f.session.next());
    f.startPaper();
    QVERIFY(!f.session.next());
    for (int i = 0; i < hints; ++i) {
        QCOMPARE(f.session.takeHint(), i == 0);
    }
    QCOMPARE(f.session.isHinted(), hints > 0);
    QVERIFY(f.session.answer(Rhythm::sinusRhythm));
    // One answer per question: a second one (a double click) is not recorded.
    QVERIFY(!f.session.answer(Rhythm::atrialFibrillation));
    QVERIFY(f.sink.kept.size() == 1 && f.sink.kept[0].hinted == (hints > 0));
    QCOMPARE(f.session.results().at(0).hinted, hints > 0);
    QCOMPARE(f.session.summary().hinted, hints > 0 ? 1 : 0);
    // Once answered, a hint gives nothing away and is not taken.
    QVERIFY(!f.session.takeHint());
    QVERIFY(f.session.next() && !f.session.isHinted());
}

void TestPracticeSession::examRound_data() {
    QTest::addColumn<bool>("failing");
    QTest::newRow("recorded") << false;
    QTest::newRow("sink failing: the practice goes on") << true;
}

// The paper's questions in its order, each from its own seed; every answer is kept, with the
// code, before it is judged.
void TestPracticeSession::examRound() {
    QFETCH(bool, failing);
    Fixture f;
    f.sink.failing = failing;
    std::vector<Question> asked;
    std::vector<std::size_t> keptWhenJudged;
    f.session.onQuestionAsked = [&](const Question& question) { asked.push_back(question); };
    f.session.onAnswerJudged = [&](const PracticeSession::Result& result) {
        keptWhenJudged.push_back(f.sink.kept.size());
        QCOMPARE(result.answerId,
                 failing ? -1 : static_cast<std::int64_t>(f.sink.kept.size()) + 100);
    };
    f.startPaper(RoundMode::exam, "PX-8AK9-P73D");
    QVERIFY(f.sink.opened.at(0).mode == RoundMode::exam && f.sink.opened[0].length == 4);
    QCOMPARE(f.sink.opened[0].examCode, std::string("PX-8AK9-P73D"));
    QCOMPARE(f.session.planned(), 4);
    QVERIFY(f.session.inPlay() ==
            RhythmSet::of({Rhythm::sinusRhythm, Rhythm::atrialFibrillation,
                           Rhythm::ventricularTachycardia, Rhythm::completeBlock}));
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(f.session.number(), i + 1);
        f.now += 2500;
        QVERIFY(f.session.answer(Rhythm::atrialFlutter));
        QVERIFY(f.session.stage() == PracticeSession::Stage::feedback);
        QVERIFY(f.session.next());
    }
    QCOMPARE(asked, paper());
    QCOMPARE(keptWhenJudged, (std::vector<std::size_t>{1, 2, 3, 4}));
    const AnswerEntry& entry = f.sink.kept.at(0);
    QCOMPARE(entry.roundId, std::int64_t{failing ? 0 : 1});
    QVERIFY(entry.shown == Rhythm::sinusRhythm && entry.answer == Rhythm::atrialFlutter);
    QVERIFY(entry.seed == 11u && entry.answerMs == 2500);
    QVERIFY(!entry.correct.has_value() && entry.kind.empty());
    QCOMPARE(f.sink.kept.back().examCode, std::string("PX-8AK9-P73D"));
    QVERIFY(f.session.stage() == PracticeSession::Stage::summary);
    // Without a round row there is none to close.
    QCOMPARE(f.sink.closed, failing ? std::vector<std::int64_t>{} : std::vector<std::int64_t>{1});
}

void TestPracticeSession::summaryMaths_data() {
    QTest::addColumn<QString>("right");
    QTest::addColumn<QList<int>>("times");
    QTest::addColumn<double>("median");
    QTest::addColumn<QList<int>>("missed");
    QTest::newRow("all right") << "RRRR" << QList<int>{4000, 1000, 3000, 2000} << 2500.0
                               << QList<int>{};
    QTest::newRow("all wrong") << "WWWW" << QList<int>{500, 500, 500, 9000} << 500.0
                               << QList<int>{0, 1, 2, 3};
    QTest::newRow("one of four") << "WRWW" << QList<int>{100, 200, 300, 10000} << 250.0
                                 << QList<int>{0, 2, 3};
    QTest::newRow("three of four")
        << "RWRR" << QList<int>{0, 7000, 1000, 1000} << 1000.0 << QList<int>{1};
}

// Score, median time and the missed questions, each to replay from its own seed.
void TestPracticeSession::summaryMaths() {
    QFETCH(QString, right);
    QFETCH(QList<int>, times);
    QFETCH(double, median);
    QFETCH(QList<int>, missed);
    Fixture f;
    f.startPaper();
    int finished = 0;
    f.session.onRoundFinished = [&](const PracticeSession::Summary&) { ++finished; };
    for (qsizetype i = 0; i < right.size(); ++i) {
        QVERIFY(!f.session.missedQuestion(0).has_value()); // only once the round is over
        f.now += times[i];
        const Rhythm shown = paper()[static_cast<std::size_t>(i)].rhythm;
        QVERIFY(f.session.answer(right[i] == QLatin1Char('R') ? shown : Rhythm::atrialTachycardia));
        QCOMPARE(f.session.isLastQuestion(), i == right.size() - 1);
        QVERIFY(f.session.next());
    }
    QCOMPARE(finished, 1);
    const PracticeSession::Summary sum = f.session.summary();
    const int correct = static_cast<int>(right.count(QLatin1Char('R')));
    QVERIFY(sum.count == 4 && sum.correct == correct);
    QCOMPARE(sum.accuracyPercent, 25.0 * correct);
    QCOMPARE(sum.medianAnswerMs, median);
    QCOMPARE(QList<int>(sum.missed.begin(), sum.missed.end()), missed);
    for (int k = 0; k < missed.size(); ++k) {
        QCOMPARE(f.session.missedQuestion(k),
                 std::optional(paper()[static_cast<std::size_t>(missed[k])]));
    }
    QVERIFY(!f.session.missedQuestion(int(missed.size())) && !f.session.missedQuestion(-1));
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

void TestPracticeSession::examSettingsTaken_data() {
    QTest::addColumn<bool>("hints");
    QTest::addColumn<bool>("atEnd");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("pass");
    QTest::addColumn<int>("answered"); // before the time runs out, if it does
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("passed"); // -1: no pass mark
    QTest::newRow("hints, verdict each") << true << false << 0 << 0 << 5 << 5 << -1;
    QTest::newRow("no hints, verdict at end, at the mark")
        << false << true << 0 << 80 << 5 << 4 << 1;
    QTest::newRow("just under the mark") << false << true << 0 << 81 << 5 << 4 << 0;
    QTest::newRow("time runs out after two") << false << false << 15 << 40 << 2 << 2 << 1;
    QTest::newRow("time runs out, deferred") << true << true << 1 << 41 << 2 << 2 << 0;
}

// The exam's settings hold: hints refused, verdicts deferred to the summary, the deadline ends
// the round keeping what was answered, and the pass mark counts the unanswered as wrong.
void TestPracticeSession::examSettingsTaken() {
    QFETCH(bool, hints);
    QFETCH(bool, atEnd);
    QFETCH(int, minutes);
    QFETCH(int, pass);
    QFETCH(int, answered);
    QFETCH(int, right);
    QFETCH(int, passed);
    ExamSettings settings;
    settings.hints = hints;
    settings.feedbackAtEnd = atEnd;
    settings.timeLimitMinutes = minutes;
    settings.passPercent = pass;
    const Exam exam = makeExam(5, 77, RhythmSet::classic(), settings).exam;
    Fixture f;
    f.session.taskFor = [](const Question&) { return MeasurementTask{1, "rr"}; };
    int judged = 0;
    f.session.onAnswerJudged = [&judged](const PracticeSession::Result&) { ++judged; };
    bool rulesAtFirstAsk = false; // the window shows or hides ヒント then
    f.session.onQuestionAsked = [&](const Question&) {
        rulesAtFirstAsk = rulesAtFirstAsk || f.session.hintsAllowed() == hints;
    };
    QVERIFY(f.session.startExam(exam, "Ann", "{}") && rulesAtFirstAsk);
    QCOMPARE(f.session.timeLeftMs().value_or(-1), minutes > 0 ? minutes * 60'000 : -1);
    QCOMPARE(f.session.takeHint(), hints);
    for (int i = 0; i < answered; ++i) {
        const Rhythm shown = f.session.currentQuestion()->rhythm;
        const Rhythm other =
            shown == Rhythm::sinusRhythm ? Rhythm::atrialFibrillation : Rhythm::sinusRhythm;
        f.now += 1000;
        QVERIFY(f.session.answer(i < right ? shown : other));
        // Deferred: no measurement, straight on; else the verdict (and measurement) first.
        const bool last = i == exam.count - 1;
        QCOMPARE(f.session.stage(),
                 atEnd ? (last ? PracticeSession::Stage::summary : PracticeSession::Stage::question)
                       : PracticeSession::Stage::measurement);
        if (!atEnd) {
            QVERIFY(f.session.next());
        }
    }
    QCOMPARE(judged, answered);
    if (minutes > 0) {
        QVERIFY(!f.session.checkDeadline());
        f.now = 1000 + minutes * 60'000;
        QCOMPARE(f.session.timeLeftMs(), std::optional<std::int64_t>(0));
        QVERIFY(!f.session.answer(f.session.currentQuestion()->rhythm)); // too late
        QVERIFY(!f.session.checkDeadline());
    }
    QCOMPARE(f.session.stage(), PracticeSession::Stage::summary);
    QCOMPARE(f.sink.closed.size(), std::size_t{1});
    QCOMPARE(static_cast<int>(f.sink.kept.size()), answered);
    const PracticeSession::Summary summary = f.session.summary();
    QCOMPARE(summary.count, exam.count);
    QCOMPARE(summary.correct, right);
    QCOMPARE(summary.unanswered, exam.count - answered);
    QCOMPARE(summary.missed.size(), std::size_t(exam.count - right));
    QCOMPARE(summary.passed.has_value() ? int(*summary.passed) : -1, passed);
}

void TestPracticeSession::drillRound() {
    Fixture f;
    const RhythmSet rhythms = RhythmSet::of({Rhythm::sinusRhythm, Rhythm::atrialFibrillation});
    QVERIFY(!f.session.startRound(10, RhythmSet(), true, "{}") && f.sink.opened.empty());
    QVERIFY(f.session.startRound(10, rhythms, false, "{\"length\":10}"));
    QCOMPARE(f.sink.opened.at(0).options, std::string("{\"length\":10}"));
    int questions = 0;
    while (f.session.stage() == PracticeSession::Stage::question) {
        ++questions;
        QVERIFY(rhythms.contains(f.session.currentQuestion()->rhythm));
        QVERIFY(f.session.answer(f.session.currentQuestion()->rhythm));
        QVERIFY(f.session.next());
    }
    QVERIFY(questions == 10 && f.session.stage() == PracticeSession::Stage::summary);
    // Right answers without hints move both rhythms up from the new learner's box.
    QVERIFY(f.session.mastery().box(Rhythm::sinusRhythm) > Mastery::newBox);
    QVERIFY(f.session.mastery().box(Rhythm::atrialFibrillation) > Mastery::newBox);
    QVERIFY(f.session.startPairDrill(Rhythm::wenckebachBlock, Rhythm::mobitzBlock, 6, "{}"));
    QVERIFY(f.session.mode() == RoundMode::pair && f.session.planned() == 6);
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

// Only the second question asks for a measurement; it is kept like an answer, once.
void TestPracticeSession::measurement() {
    QFETCH(bool, revealed);
    QFETCH(int, errorMs);
    QFETCH(bool, right);
    Fixture f;
    f.session.taskFor = [](const Question& question) -> std::optional<MeasurementTask> {
        return question.rhythm == Rhythm::atrialFibrillation
                   ? std::optional(MeasurementTask{0, "rr"})
                   : std::nullopt;
    };
    f.startPaper();
    QVERIFY(f.session.answer(Rhythm::sinusRhythm));
    QVERIFY(f.session.stage() == PracticeSession::Stage::feedback);
    QVERIFY(!f.session.submitMeasurement({800, 0, true}));
    QVERIFY(f.session.next() && f.session.answer(Rhythm::atrialFibrillation));
    QVERIFY(f.session.stage() == PracticeSession::Stage::measurement);
    QCOMPARE(f.session.measurementTask()->storedName, std::string("rr"));
    f.now += 4000;
    if (revealed) {
        f.session.revealDuringMeasurement();
    }
    QVERIFY(f.session.submitMeasurement({812, errorMs, right}));
    QVERIFY(f.session.stage() == PracticeSession::Stage::feedback && !f.session.measurementTask());
    QVERIFY(!f.session.submitMeasurement({812, errorMs, right}));
    QCOMPARE(f.sink.kept.size(), std::size_t{3});
    const AnswerEntry& entry = f.sink.kept.back();
    QCOMPARE(entry.kind, std::string("rr"));
    QVERIFY(entry.valueMs == 812 && entry.errorMs == errorMs && entry.correct == right);
    QVERIFY(entry.hinted == revealed && entry.answerMs == 4000 && !entry.answer.has_value());
    // Showing the waves after the measurement was given hints nothing.
    f.session.revealDuringMeasurement();
    QCOMPARE(f.session.results().back().measurement->hinted, revealed);
    for (const Rhythm rest : {Rhythm::ventricularTachycardia, Rhythm::completeBlock}) {
        QVERIFY(f.session.next() && f.session.answer(rest));
    }
    QVERIFY(f.session.next());
    QVERIFY(f.session.summary().measured == 1 && f.session.summary().measuredRight == int(right));
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
    f.session.leave();
    QVERIFY(!f.session.roundInProgress() && f.sink.closed.size() == 2);
}

void TestPracticeSession::typedRecall_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("answered"); // -1: not taken, the question stays open
    QTest::addColumn<bool>("close");
    const int af = indexOf(Rhythm::atrialFibrillation);
    const int wenckebach = indexOf(Rhythm::wenckebachBlock);
    const int chb = indexOf(Rhythm::completeBlock);
    const int svt = indexOf(Rhythm::junctionalTachycardia);
    QTest::newRow("kana") << "しんぼうさいどう" << af << af << false;
    QTest::newRow("romaji") << "shinbousaidou" << af << af << false;
    QTest::newRow("kanji") << "心房細動" << af << af << false;
    QTest::newRow("English") << "Atrial Fibrillation" << af << af << false;
    QTest::newRow("AFib") << "afib" << af << af << false;
    QTest::newRow("PSVT") << "PSVT" << svt << svt << false;
    QTest::newRow("katakana") << "ウェンケバッハ" << wenckebach << wenckebach << false;
    QTest::newRow("wenck") << "wenck" << wenckebach << wenckebach << false;
    QTest::newRow("chb") << "chb" << chb << chb << false;
    QTest::newRow("misspelt, counted right") << "atrial fibrilation" << af << af << true;
    QTest::newRow("a wrong name") << "VT" << af << indexOf(Rhythm::ventricularTachycardia) << false;
    QTest::newRow("AF, two rhythms") << "AF" << af << -1 << false;
    QTest::newRow("no such name") << "xyzzy" << af << -1 << false;
}

// A typed name is judged by the catalogue's matching; only a clear match is an answer.
void TestPracticeSession::typedRecall() {
    QFETCH(QString, typed);
    QFETCH(int, shown);
    QFETCH(int, answered);
    QFETCH(bool, close);
    Fixture f;
    const Rhythm rhythm = *anyRhythmAt(shown);
    QVERIFY(f.session.startFixedRound({{rhythm, 7}, {rhythm, 8}}, RoundMode::practice, {}, "{}"));
    const PracticeSession::Typed verdict = f.session.answerTyped(typed.toStdString());
    using Outcome = PracticeSession::Typed::Outcome;
    if (answered < 0) {
        QVERIFY(verdict.outcome == Outcome::unknown || verdict.outcome == Outcome::ambiguous);
        QVERIFY(f.session.stage() == PracticeSession::Stage::question && f.sink.kept.empty());
        return;
    }
    QVERIFY(verdict.outcome == Outcome::answered);
    QCOMPARE(f.sink.kept.size(), std::size_t(1));
    QCOMPARE(indexOf(*f.sink.kept.front().answer), answered);
    const PracticeSession::Result& result = f.session.results().back();
    QCOMPARE(result.correct(), answered == shown);
    QCOMPARE(result.closeMisspelling, close);
    QCOMPARE(QString::fromStdString(result.typed), typed);
    // Answered: a second typed answer is refused.
    QVERIFY(f.session.answerTyped("VT").outcome == Outcome::refused);
}

void TestPracticeSession::dueReview_data() {
    // Answers as "rhythm@day" (right) or "rhythm@dayxanswer" (wrong), days before today.
    QTest::addColumn<QString>("history");
    QTest::addColumn<QList<int>>("due"); // the rhythms a review round asks, sorted
    QTest::newRow("nothing answered") << "" << QList<int>{};
    QTest::newRow("right yesterday: not yet") << "4@-1" << QList<int>{};
    QTest::newRow("right 3 days ago: due") << "4@-3" << QList<int>{4};
    QTest::newRow("right five times 3 days ago: due all the same")
        << "4@-3 4@-3 4@-3 4@-3 4@-3" << QList<int>{4};
    QTest::newRow("wrong yesterday: due, with the pair") << "4@-1x5" << QList<int>{4, 5};
    QTest::newRow("right twice, well spaced: not yet") << "10@-30 10@-27 10@-12" << QList<int>{};
    QTest::newRow("mixed up a month ago, since right on both")
        << "16@-30x15 16@-29 15@-28" << QList<int>{15, 16};
    QTest::newRow("three rhythms over 30 days") << "0@-30 4@-25x0 11@-1 11@-12" << QList<int>{0, 4};
}

// A review round asks what the schedule has due today from the stored answers, each once.
void TestPracticeSession::dueReview() {
    QFETCH(QString, history);
    QFETCH(QList<int>, due);
    constexpr std::int32_t today = 20000;
    std::vector<ReviewAnswer> answers;
    for (const QString& entry : history.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = entry.split(QRegularExpression(QStringLiteral("[@x]")));
        ReviewAnswer answer{*anyRhythmAt(parts[0].toInt()), today + parts[1].toInt(),
                            parts.size() == 2, false, std::nullopt};
        answer.answered = parts.size() == 2 ? answer.rhythm : *anyRhythmAt(parts[2].toInt());
        answers.push_back(answer);
    }
    std::sort(answers.begin(), answers.end(),
              [](const ReviewAnswer& a, const ReviewAnswer& b) { return a.day < b.day; });
    Fixture f;
    f.session.today = [] { return today; };
    f.session.learnHistory(answers);
    QCOMPARE(f.session.dueToday(36), int(due.size()));
    QCOMPARE(f.session.startReview(36, "{}"), !due.isEmpty());
    QList<int> asked;
    while (f.session.stage() == PracticeSession::Stage::question) {
        asked << indexOf(f.session.currentQuestion()->rhythm);
        QVERIFY(f.session.answer(f.session.currentQuestion()->rhythm));
        QVERIFY(f.session.next());
    }
    std::sort(asked.begin(), asked.end());
    QCOMPARE(asked, due);
    // Answered right today, nothing is due again today.
    QCOMPARE(f.session.dueToday(36), 0);
}

void TestPracticeSession::artifactDistractors_data() {
    QTest::addColumn<bool>("drawn");
    QTest::addColumn<std::uint64_t>("seed");
    QTest::newRow("drawn round") << true << std::uint64_t{7};
    QTest::newRow("drawn round, other seed") << true << std::uint64_t{1234567};
    QTest::newRow("exam paper") << false << std::uint64_t{7};
}

// The same round with distractors and without: the same rhythms and seeds, so the same answers
// are right; drawn rounds carry artifact on about a third, fixed papers never.
void TestPracticeSession::artifactDistractors() {
    QFETCH(bool, drawn);
    QFETCH(std::uint64_t, seed);
    const auto play = [&](bool distractors) {
        Fixture f;
        f.session.seedSource = [seed] { return seed; };
        f.session.setArtifactDistractors(distractors);
        if (drawn) {
            f.session.startRound(60, RhythmSet::classic(), false, "{}");
        } else {
            f.startPaper(RoundMode::exam, "CODE");
        }
        while (f.session.stage() == PracticeSession::Stage::question) {
            f.session.answer(f.session.currentQuestion()->rhythm);
            f.session.next();
        }
        std::vector<Question> asked;
        for (const PracticeSession::Result& result : f.session.results()) {
            asked.push_back(result.question);
        }
        return std::pair{asked, f.session.summary()};
    };
    const auto [plain, plainSummary] = play(false);
    const auto [laid, laidSummary] = play(true);
    QCOMPARE(laid.size(), plain.size());
    QCOMPARE(laidSummary.correct, static_cast<int>(laid.size()));
    int withArtifact = 0;
    for (std::size_t i = 0; i < laid.size(); ++i) {
        QVERIFY(laid[i].rhythm == plain[i].rhythm && laid[i].seed == plain[i].seed);
        QVERIFY(!plain[i].hasArtifact());
        QVERIFY(laid[i] == (drawn ? withDistractor(plain[i]) : plain[i]));
        if (laid[i].hasArtifact()) {
            ++withArtifact;
            QVERIFY(laid[i].artifact != ArtifactKind::leadOff);
            QVERIFY(laid[i].artifactStrength >= 3 && laid[i].artifactStrength <= 6);
            QVERIFY(laid[i].artifact != ArtifactKind::cpr ||
                    laid[i].rhythm == Rhythm::ventricularFibrillation ||
                    laid[i].rhythm == Rhythm::ventricularTachycardia);
        }
    }
    if (drawn) {
        QVERIFY2(withArtifact >= 10 && withArtifact <= 30,
                 qPrintable(QString::number(withArtifact)));
    } else {
        QCOMPARE(withArtifact, 0);
    }
}

// Sinus rhythm under tremor, motion, CPR or mains against AF, VT, VF and flutter: reproducible
// from the round's seed, each artifact given back by its stored seed, the answer the rhythm.
void TestPracticeSession::artifactVersusRound() {
    Fixture f;
    f.session.seedSource = [] { return std::uint64_t{99}; };
    RhythmSet shownChoices;
    f.session.onQuestionAsked = [&](const Question&) { shownChoices = f.session.answerChoices(); };
    QVERIFY(f.session.startArtifactRound(16, "{}"));
    QVERIFY(f.session.isArtifactRound());
    const RhythmSet choices = RhythmSet::of(
        {Rhythm::sinusRhythm, Rhythm::atrialFibrillation, Rhythm::ventricularTachycardia,
         Rhythm::ventricularFibrillation, Rhythm::atrialFlutter});
    // Already as the first question shows.
    QVERIFY(shownChoices == choices);
    bool fooled = false;
    while (f.session.stage() == PracticeSession::Stage::question) {
        const Question asked = *f.session.currentQuestion();
        // Answer every artifact side with its look-alike: wrong, whatever the trace looked like.
        const std::optional<ArtifactKind> kind = lookAlikeOf(asked);
        QVERIFY(kind.has_value());
        Rhythm mimic = asked.rhythm;
        for (const LookAlike& pair : lookAlikes) {
            mimic = pair.artifact == *kind ? pair.mimics : mimic;
        }
        if (asked.hasArtifact()) {
            QVERIFY(asked.rhythm == Rhythm::sinusRhythm && asked == artifactOverSinus(asked.seed));
        } else {
            QVERIFY(asked.rhythm == mimic);
        }
        f.session.answer(mimic);
        fooled = fooled || asked.hasArtifact();
        QVERIFY(f.session.results().back().lookAlike == kind);
        QCOMPARE(f.session.results().back().correct(), !asked.hasArtifact());
        f.session.next();
    }
    QVERIFY(fooled);
    // Two decks of eight: each pair's two sides twice.
    QCOMPARE(f.session.summary().correct, 8);
    const std::vector<Question> again = pulsavo::artifactVersusRound(16, 99);
    for (std::size_t i = 0; i < again.size(); ++i) {
        QVERIFY(f.session.results()[i].question == again[i]);
    }
    // Another round kind clears it: the answer list is the usual one again.
    QVERIFY(f.session.startRound(4, choices, false, "{}") && !f.session.isArtifactRound());
    QVERIFY(f.session.answerChoices() == answerChoicesFor(choices));
}

void TestPracticeSession::worksheetStage_data() {
    QTest::addColumn<int>("mode"); // 0 practice, 1 plain exam code, 2 exam with settings
    QTest::addColumn<bool>("option");
    QTest::addColumn<bool>("examAsks");
    QTest::addColumn<bool>("worksheet");
    QTest::newRow("practice, option on") << 0 << true << false << true;
    QTest::newRow("practice, option off") << 0 << false << false << false;
    QTest::newRow("plain code follows the option") << 1 << true << false << true;
    QTest::newRow("exam settings without it") << 2 << true << false << false;
    QTest::newRow("exam settings with it") << 2 << false << true << true;
}

// A worksheet round asks in its own stage, marks every field against the truth of the strip
// shown, keeps the fields with the naming answer and asks no further measurement.
void TestPracticeSession::worksheetStage() {
    QFETCH(int, mode);
    QFETCH(bool, option);
    QFETCH(bool, examAsks);
    QFETCH(bool, worksheet);
    Fixture f;
    f.session.setWorksheetOption(option);
    f.session.taskFor = [](const Question&) { return MeasurementTask{0, "rr"}; };
    const Rhythm af = Rhythm::atrialFibrillation;
    std::optional<WorksheetTruth> truth;
    f.session.worksheetTruthFor = [&truth](const Question&) { return truth; };
    ExamSettings settings;
    settings.passPercent = mode == 2 ? 50 : 0;
    settings.worksheet = examAsks;
    if (mode == 0) {
        QVERIFY(f.session.startFixedRound({{af, 1}, {af, 2}}, RoundMode::practice, {}, "{}"));
    } else {
        QVERIFY(f.session.startExam(makeExam(2, 7, RhythmSet::of({af}), settings).exam, "", "{}"));
    }
    QCOMPARE(f.session.isWorksheetRound(), worksheet);
    QCOMPARE(f.session.stage() == PracticeSession::Stage::worksheet, worksheet);
    WorksheetAnswer given{std::nullopt,
                          150,
                          Regularity::irregularlyIrregular,
                          PWaves::fibrillatory,
                          PrReading{},
                          80,
                          af,
                          NextStep::assess};
    if (!worksheet) {
        QVERIFY(!f.session.answerWorksheet(given) && f.session.answer(af));
        QVERIFY(f.session.stage() == PracticeSession::Stage::measurement);
        return;
    }
    QVERIFY(f.session.number() == 1 && f.session.roundInProgress() && f.session.takeHint());
    QVERIFY(!f.session.answer(af));
    QVERIFY(!f.session.answerWorksheet(given)); // no truth to mark it by
    truth = WorksheetTruth{400, 150, PWaves::fibrillatory, {}, 80, af, traitsOf(af)};
    given.rhythm.reset();
    QVERIFY(!f.session.answerWorksheet(given)); // the name is what the round is scored on
    QVERIFY(f.sink.kept.empty());
    given.rhythm = af;
    given.qrsMs = 121; // one field out of its tolerance
    f.now += 30'000;
    QVERIFY(f.session.answerWorksheet(given) && !f.session.answerWorksheet(given));
    QVERIFY(f.session.stage() == PracticeSession::Stage::feedback && !f.session.measurementTask());
    const AnswerEntry& entry = f.sink.kept.at(0);
    QVERIFY(entry.answer == af && entry.hinted && entry.answerMs == 30'000 && entry.kind.empty());
    QCOMPARE(entry.worksheet.size(), std::size_t{worksheetFieldCount});
    QCOMPARE(entry.worksheet[0], (WorksheetEntry{"atrial_rate", "", "400", false}));
    QCOMPARE(entry.worksheet[4], (WorksheetEntry{"pr", "none", "none", true}));
    QCOMPARE(entry.worksheet[5], (WorksheetEntry{"qrs", "121", "80", false}));
    QCOMPARE(entry.worksheet[7].trueValue, std::string("observe|assess"));
    const PracticeSession::Result& result = f.session.results().at(0);
    QVERIFY(result.correct() && result.worksheet &&
            !markOf(result.worksheet->marks, WorksheetField::qrs));
    QVERIFY(f.session.next() && f.session.stage() == PracticeSession::Stage::worksheet);
    QVERIFY(f.session.answerWorksheet(given) && f.session.next());
    const PracticeSession::Summary sum = f.session.summary();
    QVERIFY(sum.worksheets == 2 && sum.correct == 2 && sum.measured == 0);
    QCOMPARE(sum.fieldsRight, (std::array<int, worksheetFieldCount>{0, 2, 2, 2, 2, 0, 2, 2}));
}

void TestPracticeSession::answerTimeLimit_data() {
    QTest::addColumn<int>("limitMs"); // 0: none
    QTest::addColumn<int>("answerMs");
    QTest::addColumn<bool>("rightName");
    QTest::addColumn<bool>("exam");
    QTest::addColumn<bool>("late");
    QTest::newRow("in time") << 6000 << 6000 << true << false << false;
    QTest::newRow("a millisecond late") << 6000 << 6001 << true << false << true;
    QTest::newRow("late and wrong") << 6000 << 9000 << false << false << true;
    QTest::newRow("no limit") << 0 << 60000 << true << false << false;
    QTest::newRow("an exam keeps its own timing") << 6000 << 9000 << true << true << false;
}

// 6秒モード: an answer after its limit is kept as given and scored wrong, and says so.
void TestPracticeSession::answerTimeLimit() {
    QFETCH(int, limitMs);
    QFETCH(int, answerMs);
    QFETCH(bool, rightName);
    QFETCH(bool, exam);
    QFETCH(bool, late);
    Fixture f;
    f.session.setAnswerLimitMs(limitMs > 0 ? std::optional(limitMs) : std::nullopt);
    f.startPaper(exam ? RoundMode::exam : RoundMode::practice);
    const bool limited = limitMs > 0 && !exam;
    QCOMPARE(f.session.answerTimeLeftMs(),
             limited ? std::optional<std::int64_t>(limitMs) : std::nullopt);
    f.now += answerMs;
    QCOMPARE(f.session.answerTimeLeftMs().value_or(-1),
             limited ? std::max(0, limitMs - answerMs) : -1);
    const Rhythm given = rightName ? Rhythm::sinusRhythm : Rhythm::atrialFlutter;
    QVERIFY(f.session.answer(given));
    const PracticeSession::Result& result = f.session.results().at(0);
    QCOMPARE(result.late, late);
    QCOMPARE(result.named(), rightName);
    QCOMPARE(result.correct(), rightName && !late);
    const AnswerEntry& entry = f.sink.kept.at(0);
    QVERIFY(entry.answer == given && entry.answerMs == answerMs);
    QCOMPARE(entry.limitMs, limited ? std::optional(limitMs) : std::nullopt);
    QCOMPARE(entry.correct, late ? std::optional(false) : std::nullopt);
    QCOMPARE(f.session.summary().late, late ? 1 : 0);
    QCOMPARE(f.session.summary().missed.size(), result.correct() ? 0U : 1U);
    QVERIFY(!f.session.answerTimeLeftMs()); // answered: nothing runs
}

// The stored answers are read while the learner already answers: both count, neither twice.
void TestPracticeSession::historyArrivingLateKeepsTheAnswersGiven() {
    Fixture f;
    f.session.today = [] { return std::int32_t{100}; };
    f.startPaper();
    QVERIFY(f.session.answer(Rhythm::atrialFlutter)); // sinus rhythm missed today
    const std::vector<ReviewAnswer> stored{
        {Rhythm::completeBlock, 90, true, false, Rhythm::completeBlock},
        {Rhythm::ventricularTachycardia, 95, false, false, Rhythm::ventricularFibrillation}};
    for (int times = 0; times < 2; ++times) { // a second delivery replaces, never adds
        f.session.learnHistory(stored);
        const ReviewSchedule& schedule = f.session.schedule();
        QVERIFY(schedule.card(Rhythm::completeBlock).seen);
        QCOMPARE(schedule.card(Rhythm::sinusRhythm).lastDay, 100);
        QCOMPARE(schedule.card(Rhythm::sinusRhythm).dueDay, 101);
        QCOMPARE(schedule.pairs().size(), std::size_t{2});
        QVERIFY(f.session.mastery().box(Rhythm::completeBlock) > Mastery::newBox);
    }
}

QTEST_APPLESS_MAIN(TestPracticeSession)

#include "tst_practicesession.moc"
