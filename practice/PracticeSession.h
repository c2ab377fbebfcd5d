#pragma once

#include "AnswerSink.h"
#include "Drill.h"
#include "ExamCode.h"
#include "ReviewSchedule.h"
#include "RhythmSet.h"
#include "Worksheet.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pulsavo {

// A measurement the answered question asks for; the kind is the calipers' own, kept opaque here
// because the calipers live with the display.
struct MeasurementTask {
    int kind = 0;
    std::string storedName; // as the answers database stores it ("rr", "pr", ...)
};

// How the calipers scored the learner's measurement.
struct MeasurementScore {
    int measuredMs = 0;
    int errorMs = 0;
    bool right = false;
};

// One round of naming rhythms: which question is asked, what the learner answered and how the
// round went. No clock, no widgets: time and seeds come from the functions the owner sets, and
// every answer goes to the sink before anyone is told whether it was right.
class PracticeSession {
public:
    // A worksheet round asks in the worksheet stage instead of the question stage.
    enum class Stage { setup, question, worksheet, feedback, measurement, summary };

    struct Measurement {
        MeasurementTask task;
        MeasurementScore score;
        bool hinted = false; // the true waves were shown before it was given
        std::int64_t answerId = -1;
    };

    // A strip worksheet as given and marked against the strip it was read from.
    struct WorksheetResult {
        WorksheetAnswer answer;
        WorksheetTruth truth;
        WorksheetMarks marks{};
    };

    struct Result {
        Question question;
        Rhythm answer = Rhythm::sinusRhythm;
        bool hinted = false;
        int answerMs = 0;
        std::int64_t answerId = -1;
        std::optional<Measurement> measurement;
        std::optional<WorksheetResult> worksheet;
        bool unanswered = false; // the time ran out first; it scores as wrong and is not stored
        // Given after the answer's time limit: kept and stored as given, scored as wrong.
        bool late = false;
        // A typed answer: as typed, and whether it was taken for its name after a small edit.
        std::string typed;
        bool closeMisspelling = false;
        // In an artifact-versus-rhythm round: the artifact the question is to be told from.
        std::optional<ArtifactKind> lookAlike;
        bool correct() const { return !unanswered && !late && answer == question.rhythm; }
        // The right name, whether or not in time.
        bool named() const { return !unanswered && answer == question.rhythm; }
    };

    struct Summary {
        int count = 0;
        int correct = 0;
        int hinted = 0;
        double accuracyPercent = 0.0;
        double medianAnswerMs = 0.0;
        int measured = 0;
        int measuredRight = 0;
        int worksheets = 0;
        std::array<int, worksheetFieldCount> fieldsRight{}; // per WorksheetField
        std::vector<int> missed; // indices into results(), in question order
        int unanswered = 0;
        int late = 0;
        int passPercent = 0; // 0: no pass mark
        // Against the pass mark, counting only unhinted correct answers; none without a mark.
        std::optional<bool> passed;
    };

    // What became of a typed answer. Only `answered` is an answer; otherwise the question stays
    // open and the learner types again.
    struct Typed {
        enum class Outcome { answered, unknown, ambiguous, refused } outcome = Outcome::refused;
        // ambiguous: the names it could be, in candidate order
        std::vector<Rhythm> candidates;
    };

    explicit PracticeSession(AnswerSink& sink);

    // The learner's earlier answers, oldest first: the adaptive drill's weighting and the review
    // schedule start from them instead of from nothing. The answers this session judged count
    // on top: the history may arrive from a slow read after the learner began.
    void learnHistory(std::span<const ReviewAnswer> history);
    const ReviewSchedule& schedule() const { return reviews; }

    // Rounds. Each closes an unfinished round first; false (nothing changes) when the round
    // would ask nothing.
    bool startRound(int length, RhythmSet rhythms, bool adaptive, const std::string& options);
    bool startFixedRound(std::vector<Question> questions, RoundMode mode,
                         const std::string& examCode, const std::string& options);
    // An exam as `learner` (name or student id) sits it: the questions in questionOrder(), every
    // answer tagged with the learner and the question's number in the exam.
    bool startExam(const Exam& exam, const std::string& learner, const std::string& options);
    bool startPairDrill(Rhythm first, Rhythm second, int length, const std::string& options);
    // アーチファクトか不整脈か: sinus rhythm under artifact against the rhythms it looks like,
    // answered among those rhythms only.
    bool startArtifactRound(int length, const std::string& options);
    bool isArtifactRound() const { return versusRound; }
    // Drawn rounds (not exams or fixed rounds) lay a distractor over some questions.
    void setArtifactDistractors(bool on) { distractors = on; }
    // 今日の復習: what the schedule has due today (rhythms and both rhythms of each mixed-up
    // pair, at most `limit`, most overdue first), each once. False when nothing is due.
    bool startReview(int limit, const std::string& options);
    // How many rhythms a review round would ask today.
    int dueToday(int limit) const;

    // The learner's actions; each returns false and changes nothing out of its stage.
    // Refused too in an exam that allows no hints.
    bool takeHint();
    bool answer(Rhythm rhythm);
    // A typed name, matched among the round's answer names in either language, by reading,
    // romaji or abbreviation; a close misspelling of a name counts as that name.
    Typed answerTyped(std::string_view typed);
    // The names a typed answer is matched among: the ones the list would offer.
    std::vector<Rhythm> answerNames() const;
    RhythmSet answerChoices() const;
    bool submitMeasurement(const MeasurementScore& score);
    // A worksheet round's answer: every field at once, marked against worksheetTruthFor's truth
    // of the strip shown. Refused without a rhythm's name (the answer the round is scored on) or
    // without a truth to mark it by.
    bool answerWorksheet(const WorksheetAnswer& answer);
    // Practice rounds started from now on ask worksheets; an exam with settings decides itself.
    void setWorksheetOption(bool on) { worksheetOption = on; }
    bool isWorksheetRound() const { return worksheetRound; }
    // 6秒モード: each answer of a practice round started from now on is due within `ms` of its
    // question (none: no limit). Exams keep their own timing.
    void setAnswerLimitMs(std::optional<int> ms) { answerLimitOption = ms; }
    std::optional<int> answerLimitMs() const { return answerLimit; }
    // Milliseconds left for the open question's answer, never below 0; none without a limit.
    std::optional<std::int64_t> answerTimeLeftMs() const;
    // The true waves shown while a measurement is open: the measurement counts as hinted.
    void revealDuringMeasurement();
    // The next question, or the summary after the last one.
    bool next();
    // The question of a missed result, to play again from its seed; only in the summary.
    std::optional<Question> missedQuestion(int missedIndex) const;
    // Back to the set-up; a round left unfinished is closed in the sink.
    void leave();
    // Whether leaving now would cut a round short.
    bool roundInProgress() const;
    // Ends the round when its time limit has passed: the questions not yet answered count as
    // unanswered, the answers given stay. True when it ended the round now.
    bool checkDeadline();
    // Milliseconds left in a timed round, never below 0; none without a limit.
    std::optional<std::int64_t> timeLeftMs() const;
    // The running exam's settings; the defaults outside an exam.
    const ExamSettings& settings() const { return rules; }
    bool hintsAllowed() const { return rules.hints; }
    // Answers are judged and kept, but the verdicts wait for the summary.
    bool verdictDeferred() const { return rules.feedbackAtEnd; }

    Stage stage() const { return currentStage; }
    RoundMode mode() const { return roundMode; }
    const std::string& examCode() const { return code; }
    const std::string& learnerName() const { return examLearner; }
    std::optional<Question> currentQuestion() const { return current; }
    bool isHinted() const { return hinted; }
    // The question's number in the round, from 1; 0 before the first.
    int number() const;
    int planned() const { return plannedCount; }
    bool isLastQuestion() const;
    std::int64_t roundId() const { return round; }
    const std::vector<Result>& results() const { return answers; }
    std::optional<MeasurementTask> measurementTask() const { return task; }
    const Mastery& mastery() const { return learner; }
    // The rhythms the round asks, for the answer list.
    RhythmSet inPlay() const;
    Summary summary() const;

    // Milliseconds on a steady clock.
    std::function<std::int64_t()> clockMs = [] { return std::int64_t{0}; };
    // Today's number in days (local calendar), as the schedule counts days.
    std::function<std::int32_t()> today = [] { return std::int32_t{0}; };
    // A new round's drill seed.
    std::function<std::uint64_t()> seedSource = [] { return std::uint64_t{0}; };
    // The measurement a question asks for after its answer, if any (none: no measurement task).
    std::function<std::optional<MeasurementTask>(const Question&)> taskFor;
    // The truth of the strip the worksheet was read from (none: nothing to mark it by).
    std::function<std::optional<WorksheetTruth>(const Question&)> worksheetTruthFor;

    // What happened, for the window to show.
    std::function<void(const Question&)> onQuestionAsked;
    std::function<void(const Result&)> onAnswerJudged;
    std::function<void(const Summary&)> onRoundFinished;

private:
    bool take(Rhythm rhythm, std::string typed, bool closeMisspelling);
    void advance();
    void expire();
    bool begin(RoundMode mode, int length, const std::string& examCode, const std::string& options,
               const ExamSettings& settings = {});
    void closeOpenRound();
    std::optional<Question> upcoming();
    void ask(const Question& question);
    int elapsedSince(std::int64_t startMs) const;
    AnswerEntry entryFor(const Question& question) const;
    void judge(Result result, AnswerEntry entry);

    AnswerSink& sink;
    Stage currentStage = Stage::setup;
    RoundMode roundMode = RoundMode::practice;
    std::string code;
    std::optional<Drill> drill;
    std::vector<Question> fixedQuestions;
    std::vector<int> examNumbers; // fixedQuestions[i] is question examNumbers[i] of the exam
    std::string examLearner;
    int plannedCount = 0;
    Mastery learner;
    ReviewSchedule reviews;
    std::vector<ReviewAnswer> judged; // every answer this session gave, oldest first
    std::int64_t round = -1;
    bool roundOpen = false;
    std::optional<Question> current;
    bool hinted = false;
    std::int64_t questionStartMs = 0;
    std::vector<Result> answers;
    std::optional<MeasurementTask> task;
    bool taskHinted = false;
    std::int64_t taskStartMs = 0;
    ExamSettings rules;
    std::optional<std::int64_t> deadlineMs;
    bool distractors = false;
    bool versusRound = false;
    bool versusNext = false; // the round begun next is an artifact round
    bool worksheetOption = false;
    bool worksheetRound = false;
    std::optional<int> answerLimitOption;
    std::optional<int> answerLimit; // the running round's
};

} // namespace pulsavo
