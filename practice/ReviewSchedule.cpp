#include "ReviewSchedule.h"

#include <algorithm>
#include <cmath>

namespace pulsavo {

namespace fsrs {

namespace {

const auto& w = defaultWeights;

double weight(std::size_t i) {
    return w[i];
}

double clampDifficulty(double d) {
    return std::clamp(d, 1.0, 10.0);
}

double initialDifficulty(Grade grade) {
    return weight(4) - std::exp(weight(5) * (static_cast<double>(grade) - 1)) + 1;
}

} // namespace

double retrievability(double days, double stability) {
    return std::pow(1 + factor * days / stability, decay);
}

double interval(double stability, double retention) {
    return stability / factor * (std::pow(retention, 1 / decay) - 1);
}

Memory first(Grade grade) {
    return {clampDifficulty(initialDifficulty(grade)), weight(static_cast<std::size_t>(grade) - 1)};
}

Memory next(const Memory& memory, double days, Grade grade) {
    const double g = static_cast<double>(grade);
    // Difficulty moves by the grade, less so near its ceiling, and reverts towards an easy
    // card's starting difficulty.
    const double moved = memory.difficulty - weight(6) * (g - 3) * (10 - memory.difficulty) / 9;
    const double difficulty =
        clampDifficulty(weight(7) * initialDifficulty(Grade::easy) + (1 - weight(7)) * moved);

    double stability = 0;
    if (days < 1) {
        stability = memory.stability * std::exp(weight(17) * (g - 3 + weight(18)));
    } else {
        const double r = retrievability(days, memory.stability);
        if (grade == Grade::again) {
            stability = weight(11) * std::pow(memory.difficulty, -weight(12)) *
                        (std::pow(memory.stability + 1, weight(13)) - 1) *
                        std::exp(weight(14) * (1 - r));
            stability = std::min(stability, memory.stability);
        } else {
            const double hard = grade == Grade::hard ? weight(15) : 1;
            const double easy = grade == Grade::easy ? weight(16) : 1;
            stability =
                memory.stability * (1 + std::exp(weight(8)) * (11 - memory.difficulty) *
                                            std::pow(memory.stability, -weight(9)) *
                                            (std::exp(weight(10) * (1 - r)) - 1) * hard * easy);
        }
    }
    return {difficulty, std::max(stability, 0.01)};
}

} // namespace fsrs

fsrs::Grade ReviewSchedule::gradeOf(const ReviewAnswer& answer) {
    if (!answer.right) {
        return fsrs::Grade::again;
    }
    return answer.hinted ? fsrs::Grade::hard : fsrs::Grade::good;
}

void ReviewSchedule::record(const ReviewAnswer& answer) {
    const int index = indexOf(answer.rhythm);
    if (index < 0 || index >= totalRhythmCount) {
        return;
    }
    Card& card = cards[static_cast<std::size_t>(index)];
    const fsrs::Grade grade = gradeOf(answer);
    card.memory =
        card.seen ? fsrs::next(card.memory, answer.day - card.lastDay, grade) : fsrs::first(grade);
    card.seen = true;
    card.lastDay = answer.day;
    // Whole days, at least one: what was answered today comes back tomorrow at the earliest.
    const double days = std::max(1.0, std::round(fsrs::interval(card.memory.stability)));
    card.dueDay = answer.day + static_cast<std::int32_t>(std::min(days, 36500.0));
}

ReviewSchedule ReviewSchedule::fromAnswers(std::span<const ReviewAnswer> answers) {
    ReviewSchedule schedule;
    for (const ReviewAnswer& answer : answers) {
        schedule.record(answer);
    }
    return schedule;
}

const ReviewSchedule::Card& ReviewSchedule::card(Rhythm rhythm) const {
    static const Card unseen;
    const int index = indexOf(rhythm);
    return index >= 0 && index < totalRhythmCount ? cards[static_cast<std::size_t>(index)] : unseen;
}

std::vector<Rhythm> ReviewSchedule::dueOn(std::int32_t day) const {
    std::vector<Rhythm> due;
    for (int index = 0; index < totalRhythmCount; ++index) {
        const Card& card = cards[static_cast<std::size_t>(index)];
        if (card.seen && card.dueDay <= day) {
            due.push_back(static_cast<Rhythm>(index));
        }
    }
    std::stable_sort(due.begin(), due.end(),
                     [this](Rhythm a, Rhythm b) { return card(a).dueDay < card(b).dueDay; });
    return due;
}

} // namespace pulsavo
