// Choosing the next practice question: CPU time per choice.
#include "Drill.h"
#include "PracticeSession.h"
#include "ReviewSchedule.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace pulsavo;

// A learner's 100,000 answers over the first `kinds` rhythms, about one in five wrong.
std::vector<Attempt> longHistory(int kinds = rhythmCount) {
    std::vector<Attempt> history;
    SeededRandom random(20240611);
    for (int i = 0; i < 100000; ++i) {
        const auto shown = static_cast<Rhythm>(random.below(static_cast<std::uint32_t>(kinds)));
        const auto answer =
            random.below(5) == 0 ? static_cast<Rhythm>(random.below(rhythmCount)) : shown;
        history.push_back({shown, answer, random.below(10) == 0});
    }
    return history;
}

// Opening a round from the whole history and choosing its first question: what the practice
// window does when a round starts. With a rhythm never asked the whole history is read.
void nextQuestionFromHistory(benchmark::State& state) {
    const std::vector<Attempt> history = longHistory(static_cast<int>(state.range(0)));
    std::uint64_t seed = 1;
    for (auto _ : state) {
        Drill drill(DrillOptions::round(20, RhythmSet::classic(), true, seed++), history);
        benchmark::DoNotOptimize(drill.next());
    }
}

// One question and its answer in a running round.
void nextQuestionInRound(benchmark::State& state) {
    const Mastery mastery = Mastery::fromHistory(longHistory());
    Drill drill(DrillOptions::round(DrillOptions::maxLength, RhythmSet::classic(), true, 1),
                mastery);
    for (auto _ : state) {
        if (drill.finished()) {
            state.PauseTiming();
            drill = Drill(drill.options(), mastery);
            state.ResumeTiming();
        }
        const std::optional<Question> question = drill.next();
        drill.record(question->seed % 4 == 0 ? Rhythm::sinusRhythm : question->rhythm);
    }
}

// The same 100,000 answers as the review schedule reads them, spread over a year of days.
std::vector<ReviewAnswer> reviewHistory() {
    std::vector<ReviewAnswer> answers;
    std::int32_t day = 0;
    for (const Attempt& attempt : longHistory()) {
        day += attempt.shown == Rhythm::sinusRhythm ? 1 : 0;
        answers.push_back(
            {attempt.shown, day / 16, attempt.correct(), attempt.hinted, attempt.answer});
    }
    return answers;
}

struct NullSink : AnswerSink {
    std::int64_t openRound(const RoundStart& /*round*/) override { return 1; }
    bool closeRound(std::int64_t /*roundId*/) override { return true; }
    std::int64_t keepAnswer(const AnswerEntry& /*answer*/) override { return 1; }
};

// 今日の復習: from a schedule built from 100,000 answers, the round of what is due and its
// first question, as the practice window starts one; `daysLater` after the last answer (a year
// later everything is due).
void nextDueQuestion(benchmark::State& state) {
    const std::vector<ReviewAnswer> history = reviewHistory();
    NullSink sink;
    PracticeSession session(sink);
    std::uint64_t seed = 1;
    session.seedSource = [&seed] { return seed++; };
    const std::int32_t today = history.back().day + static_cast<std::int32_t>(state.range(0));
    session.today = [today] { return today; };
    session.learnHistory(history);
    for (auto _ : state) {
        session.startReview(36, "{}");
        benchmark::DoNotOptimize(session.currentQuestion());
    }
    state.counters["due"] = session.dueToday(36);
}

// Building the schedule from the 100,000 answers: once, when the practice window opens.
void reviewScheduleFromHistory(benchmark::State& state) {
    const std::vector<ReviewAnswer> history = reviewHistory();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReviewSchedule::fromAnswers(history));
    }
}

} // namespace

BENCHMARK(nextDueQuestion)->ArgName("daysLater")->Arg(1)->Arg(365)->Unit(benchmark::kMicrosecond);
BENCHMARK(reviewScheduleFromHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(nextQuestionFromHistory)->ArgName("rhythmsAsked")->Arg(rhythmCount)->Arg(rhythmCount - 1);
BENCHMARK(nextQuestionInRound);

BENCHMARK_MAIN();
