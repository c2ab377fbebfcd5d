#include "PracticeSession.h"

#include "ArtifactQuestions.h"
#include "Recall.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace pulsavo {

namespace {

double medianOf(std::vector<int> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

} // namespace

PracticeSession::PracticeSession(AnswerSink& answerSink) : sink(answerSink) {}

void PracticeSession::learnHistory(std::span<const ReviewAnswer> stored) {
    std::vector<ReviewAnswer> history(stored.begin(), stored.end());
    history.insert(history.end(), judged.begin(), judged.end());
    std::vector<Attempt> attempts;
    attempts.reserve(history.size());
    for (const ReviewAnswer& given : history) {
        attempts.push_back({given.rhythm,
                            given.right ? given.rhythm : given.answered.value_or(given.rhythm),
                            given.hinted});
        // An answer judged wrong with no name kept must not count as right.
        if (!given.right && attempts.back().correct()) {
            attempts.pop_back();
        }
    }
    learner = Mastery::fromHistory(attempts);
    reviews = ReviewSchedule::fromAnswers(history);
}

bool PracticeSession::startReview(int limit, const std::string& options) {
    const std::vector<Rhythm> due = reviews.reviewOn(today(), limit);
    if (due.empty()) {
        return false;
    }
    RhythmSet rhythms;
    for (const Rhythm rhythm : due) {
        rhythms.insert(rhythm);
    }
    // Shuffled decks: every due rhythm once, none twice, in a round as long as what is due.
    closeOpenRound();
    drill.emplace(DrillOptions::round(static_cast<int>(due.size()), rhythms, false, seedSource()),
                  learner);
    fixedQuestions.clear();
    examNumbers.clear();
    examLearner.clear();
    return begin(RoundMode::practice, drill->length(), {}, options);
}

int PracticeSession::dueToday(int limit) const {
    return static_cast<int>(reviews.reviewOn(today(), limit).size());
}

bool PracticeSession::startRound(int length, RhythmSet rhythms, bool adaptive,
                                 const std::string& options) {
    if (rhythms.empty()) {
        return false;
    }
    closeOpenRound();
    drill.emplace(DrillOptions::round(length, rhythms, adaptive, seedSource()), learner);
    fixedQuestions.clear();
    examNumbers.clear();
    examLearner.clear();
    return begin(RoundMode::practice, drill->length(), {}, options);
}

bool PracticeSession::startFixedRound(std::vector<Question> questions, RoundMode mode,
                                      const std::string& examCode, const std::string& options) {
    if (questions.empty()) {
        return false;
    }
    closeOpenRound();
    drill.reset();
    fixedQuestions = std::move(questions);
    examNumbers.clear();
    examLearner.clear();
    return begin(mode, static_cast<int>(fixedQuestions.size()), examCode, options);
}

bool PracticeSession::startExam(const Exam& exam, const std::string& learner,
                                const std::string& options) {
    std::vector<Question> ordered;
    std::vector<int> numbers;
    for (const int index : questionOrder(exam, learner)) {
        ordered.push_back(exam.questions[static_cast<std::size_t>(index)]);
        numbers.push_back(index + 1);
    }
    if (ordered.empty()) {
        return false;
    }
    closeOpenRound();
    drill.reset();
    fixedQuestions = std::move(ordered);
    examNumbers = std::move(numbers);
    examLearner = learner;
    return begin(RoundMode::exam, static_cast<int>(fixedQuestions.size()), exam.code, options,
                 exam.settings);
}

bool PracticeSession::startPairDrill(Rhythm first, Rhythm second, int length,
                                     const std::string& options) {
    closeOpenRound();
    drill.emplace(DrillOptions::pairDrill(first, second, length, seedSource()), learner);
    fixedQuestions.clear();
    examNumbers.clear();
    examLearner.clear();
    return begin(RoundMode::pair, drill->length(), {}, options);
}

bool PracticeSession::startArtifactRound(int length, const std::string& options) {
    closeOpenRound();
    drill.reset();
    fixedQuestions = artifactVersusRound(length, seedSource());
    examNumbers.clear();
    examLearner.clear();
    // In force before the first question shows: the window fills its answer list then.
    versusNext = true;
    return begin(RoundMode::practice, static_cast<int>(fixedQuestions.size()), {}, options);
}

bool PracticeSession::begin(RoundMode mode, int length, const std::string& examCode,
                            const std::string& options, const ExamSettings& settings) {
    roundMode = mode;
    versusRound = std::exchange(versusNext, false);
    code = examCode;
    plannedCount = length;
    answers.clear();
    task.reset();
    // In force before the first question shows: the window reads them then.
    rules = settings;
    // An instructor's exam decides whether it asks worksheets; plain codes follow the option.
    worksheetRound =
        mode == RoundMode::exam && !settings.isDefault() ? settings.worksheet : worksheetOption;
    answerLimit = mode == RoundMode::exam ? std::nullopt : answerLimitOption;
    deadlineMs.reset();
    if (rules.timeLimitMinutes > 0) {
        deadlineMs = clockMs() + std::int64_t{rules.timeLimitMinutes} * 60'000;
    }
    round = sink.openRound({mode, examCode, length, options});
    roundOpen = round > 0;
    const std::optional<Question> first = upcoming();
    if (!first) {
        leave();
        return false;
    }
    ask(*first);
    return true;
}

void PracticeSession::closeOpenRound() {
    if (roundOpen) {
        sink.closeRound(round);
        roundOpen = false;
    }
}

std::optional<Question> PracticeSession::upcoming() {
    if (drill) {
        const std::optional<Question> drawn = drill->next();
        return drawn && distractors ? withDistractor(*drawn) : drawn;
    }
    if (answers.size() < fixedQuestions.size()) {
        return fixedQuestions[answers.size()];
    }
    return std::nullopt;
}

void PracticeSession::ask(const Question& question) {
    current = question;
    hinted = false;
    task.reset();
    currentStage = worksheetRound ? Stage::worksheet : Stage::question;
    questionStartMs = clockMs();
    if (onQuestionAsked) {
        onQuestionAsked(question);
    }
}

AnswerEntry PracticeSession::entryFor(const Question& question) const {
    AnswerEntry entry;
    entry.roundId = std::max<std::int64_t>(round, 0);
    entry.shown = question.rhythm;
    entry.seed = question.seed;
    entry.examCode = code;
    entry.learner = examLearner;
    if (answers.size() < examNumbers.size()) {
        entry.question = examNumbers[answers.size()];
    }
    return entry;
}

int PracticeSession::elapsedSince(std::int64_t startMs) const {
    return static_cast<int>(std::clamp<std::int64_t>(clockMs() - startMs, 0, INT_MAX));
}

bool PracticeSession::takeHint() {
    if ((currentStage != Stage::question && currentStage != Stage::worksheet) || hinted ||
        !rules.hints) {
        return false;
    }
    hinted = true;
    return true;
}

bool PracticeSession::answer(Rhythm rhythm) {
    return take(rhythm, {}, false);
}

std::vector<Rhythm> PracticeSession::answerNames() const {
    return answerChoices().list();
}

RhythmSet PracticeSession::answerChoices() const {
    // Only the rhythms and their look-alikes: the question is which of the pair it is.
    return versusRound ? inPlay() : answerChoicesFor(inPlay());
}

PracticeSession::Typed PracticeSession::answerTyped(std::string_view typed) {
    Typed verdict;
    if (currentStage != Stage::question || !current) {
        return verdict;
    }
    const std::vector<Rhythm> names = answerNames();
    const catalogue::RecallResult match = catalogue::matchTypedName(typed, names);
    if (match.ambiguous()) {
        verdict.outcome = Typed::Outcome::ambiguous;
        verdict.candidates = match.rhythms;
        return verdict;
    }
    if (!match.matched()) {
        verdict.outcome = Typed::Outcome::unknown;
        return verdict;
    }
    if (take(match.rhythms.front(), std::string(typed), match.closeMisspelling)) {
        verdict.outcome = Typed::Outcome::answered;
    }
    return verdict;
}

bool PracticeSession::take(Rhythm rhythm, std::string typed, bool closeMisspelling) {
    if (currentStage != Stage::question || !current || checkDeadline()) {
        return false;
    }
    Result result;
    result.question = *current;
    result.answer = rhythm;
    result.typed = std::move(typed);
    result.closeMisspelling = closeMisspelling;
    AnswerEntry entry = entryFor(result.question);
    entry.answer = rhythm;
    judge(std::move(result), entry);
    return true;
}

bool PracticeSession::answerWorksheet(const WorksheetAnswer& given) {
    if (currentStage != Stage::worksheet || !current || !given.rhythm || !worksheetTruthFor) {
        return false;
    }
    const std::optional<WorksheetTruth> truth = worksheetTruthFor(*current);
    if (!truth || checkDeadline()) {
        return false;
    }
    Result result;
    result.question = *current;
    result.answer = *given.rhythm;
    result.worksheet = WorksheetResult{given, *truth, markWorksheet(*truth, given)};
    AnswerEntry entry = entryFor(result.question);
    entry.answer = result.answer;
    entry.worksheet = worksheetEntries(*truth, given, result.worksheet->marks);
    judge(result, entry);
    return true;
}

void PracticeSession::judge(Result result, AnswerEntry entry) {
    result.hinted = hinted;
    result.answerMs = elapsedSince(questionStartMs);
    if (versusRound) {
        result.lookAlike = lookAlikeOf(result.question);
    }

    // Kept before the learner sees whether it was right: closing the window then loses nothing.
    entry.hinted = result.hinted;
    entry.answerMs = result.answerMs;
    entry.limitMs = answerLimit;
    if (answerLimit && result.answerMs > *answerLimit) {
        result.late = true;
        entry.correct = false;
    }
    result.answerId = sink.keepAnswer(entry);

    if (drill) {
        drill->record(result.answer, result.hinted);
        learner = drill->mastery();
    } else {
        learner.add({result.question.rhythm, result.answer, result.hinted});
    }
    judged.push_back(
        {result.question.rhythm, today(), result.correct(), result.hinted, result.answer});
    reviews.record(judged.back());
    answers.push_back(result);
    // A measurement's score is a verdict too: deferred verdicts ask none. A worksheet has
    // measured already.
    task = taskFor && !rules.feedbackAtEnd && !result.worksheet ? taskFor(result.question)
                                                                : std::nullopt;
    taskHinted = false;
    taskStartMs = clockMs();
    currentStage = task ? Stage::measurement : Stage::feedback;
    if (onAnswerJudged) {
        onAnswerJudged(answers.back());
    }
    if (rules.feedbackAtEnd) {
        advance();
    }
}

void PracticeSession::revealDuringMeasurement() {
    if (currentStage == Stage::measurement) {
        taskHinted = true;
    }
}

bool PracticeSession::submitMeasurement(const MeasurementScore& score) {
    if (currentStage != Stage::measurement || !task || answers.empty()) {
        return false;
    }
    Result& result = answers.back();
    Measurement measurement{*task, score, taskHinted, -1};
    // The measurement belongs to the question just answered, whose result is the last one.
    AnswerEntry entry = entryFor(result.question);
    if (!examNumbers.empty()) {
        entry.question = examNumbers[answers.size() - 1];
    }
    entry.correct = score.right;
    entry.hinted = taskHinted;
    entry.answerMs = elapsedSince(taskStartMs);
    entry.kind = task->storedName;
    entry.valueMs = score.measuredMs;
    entry.errorMs = score.errorMs;
    measurement.answerId = sink.keepAnswer(entry);
    result.measurement = measurement;
    task.reset();
    currentStage = Stage::feedback;
    return true;
}

bool PracticeSession::next() {
    if (currentStage != Stage::feedback && currentStage != Stage::measurement) {
        return false;
    }
    if (!checkDeadline()) {
        advance();
    }
    return true;
}

void PracticeSession::advance() {
    if (const std::optional<Question> question = upcoming()) {
        ask(*question);
        return;
    }
    closeOpenRound();
    current.reset();
    task.reset();
    currentStage = Stage::summary;
    if (onRoundFinished) {
        onRoundFinished(summary());
    }
}

bool PracticeSession::checkDeadline() {
    if (!deadlineMs || !roundInProgress() || clockMs() < *deadlineMs) {
        return false;
    }
    expire();
    return true;
}

void PracticeSession::expire() {
    // Every answer given is already in the sink; an open measurement is dropped like the
    // questions not reached.
    task.reset();
    while (answers.size() < fixedQuestions.size()) {
        Result missed;
        missed.question = fixedQuestions[answers.size()];
        missed.answer = missed.question.rhythm;
        missed.unanswered = true;
        answers.push_back(missed);
    }
    advance();
}

std::optional<std::int64_t> PracticeSession::timeLeftMs() const {
    if (!deadlineMs) {
        return std::nullopt;
    }
    return std::max<std::int64_t>(*deadlineMs - clockMs(), 0);
}

std::optional<Question> PracticeSession::missedQuestion(int missedIndex) const {
    if (currentStage != Stage::summary) {
        return std::nullopt;
    }
    const std::vector<int> missed = summary().missed;
    if (missedIndex < 0 || missedIndex >= static_cast<int>(missed.size())) {
        return std::nullopt;
    }
    return answers[static_cast<std::size_t>(missed[static_cast<std::size_t>(missedIndex)])]
        .question;
}

void PracticeSession::leave() {
    closeOpenRound();
    currentStage = Stage::setup;
    versusRound = false;
    drill.reset();
    fixedQuestions.clear();
    examNumbers.clear();
    answers.clear();
    current.reset();
    hinted = false;
    task.reset();
    plannedCount = 0;
    rules = {};
    deadlineMs.reset();
}

bool PracticeSession::roundInProgress() const {
    return currentStage == Stage::question || currentStage == Stage::worksheet ||
           currentStage == Stage::feedback || currentStage == Stage::measurement;
}

int PracticeSession::number() const {
    const bool open = currentStage == Stage::question || currentStage == Stage::worksheet;
    return static_cast<int>(answers.size()) + (open ? 1 : 0);
}

bool PracticeSession::isLastQuestion() const {
    return plannedCount > 0 && static_cast<int>(answers.size()) >= plannedCount;
}

RhythmSet PracticeSession::inPlay() const {
    RhythmSet asked = drill ? drill->options().rhythms : RhythmSet();
    for (const Question& question : fixedQuestions) {
        asked.insert(question.rhythm);
    }
    return asked;
}

std::optional<std::int64_t> PracticeSession::answerTimeLeftMs() const {
    if (!answerLimit || (currentStage != Stage::question && currentStage != Stage::worksheet)) {
        return std::nullopt;
    }
    return std::max<std::int64_t>(0, *answerLimit - (clockMs() - questionStartMs));
}

PracticeSession::Summary PracticeSession::summary() const {
    Summary sum;
    std::vector<int> times;
    int unhintedCorrect = 0;
    for (std::size_t index = 0; index < answers.size(); ++index) {
        const Result& result = answers[index];
        sum.correct += result.correct() ? 1 : 0;
        sum.unanswered += result.unanswered ? 1 : 0;
        sum.late += result.late ? 1 : 0;
        unhintedCorrect += result.correct() && !result.hinted ? 1 : 0;
        sum.hinted += result.hinted ? 1 : 0;
        if (!result.unanswered) {
            times.push_back(result.answerMs);
        }
        if (!result.correct()) {
            sum.missed.push_back(static_cast<int>(index));
        }
        if (result.measurement) {
            ++sum.measured;
            sum.measuredRight += result.measurement->score.right ? 1 : 0;
        }
        if (result.worksheet) {
            ++sum.worksheets;
            for (std::size_t field = 0; field < sum.fieldsRight.size(); ++field) {
                sum.fieldsRight[field] += result.worksheet->marks[field] ? 1 : 0;
            }
        }
    }
    sum.count = static_cast<int>(answers.size());
    sum.accuracyPercent = sum.count > 0 ? 100.0 * sum.correct / sum.count : 0.0;
    sum.medianAnswerMs = medianOf(std::move(times));
    sum.passPercent = rules.passPercent;
    if (rules.passPercent > 0 && plannedCount > 0) {
        // Whole numbers: exactly at the mark passes, with no rounding either way.
        sum.passed = 100 * unhintedCorrect >= rules.passPercent * plannedCount;
    }
    return sum;
}

} // namespace pulsavo
