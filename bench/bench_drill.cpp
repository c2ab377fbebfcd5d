#include "Drill.h"

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

} // namespace

BENCHMARK(nextQuestionFromHistory)->ArgName("rhythmsAsked")->Arg(rhythmCount)->Arg(rhythmCount - 1);
BENCHMARK(nextQuestionInRound);

BENCHMARK_MAIN();
