#include "ReviewSchedule.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace pulsavo {

namespace {

bool byIndex(Rhythm a, Rhythm b) {
    return indexOf(a) < indexOf(b);
}

} // namespace

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
    // The schedule asks at 90 % on every answer: that power once.
    static const double atNinety = std::pow(0.9, 1 / decay) - 1;
    return stability / factor * (retention == 0.9 ? atNinety : std::pow(retention, 1 / decay) - 1);
}

Memory first(Grade grade) {
    return {clampDifficulty(initialDifficulty(grade)), weight(static_cast<std::size_t>(grade) - 1)};
}

Memory next(const Memory& memory, double days, Grade grade) {
    const double g = static_cast<double>(grade);
    // Difficulty moves by the grade, less so near its ceiling, and reverts towards an easy
    // card's starting difficulty.
    const double moved = memory.difficulty - weight(6) * (g - 3) * (10 - memory.difficulty) / 9;
    static const double easyStart = initialDifficulty(Grade::easy);
    const double difficulty = clampDifficulty(weight(7) * easyStart + (1 - weight(7)) * moved);

    double stability = 0;
    if (days < 1) {
        // A drill asks one rhythm many times a day: a right answer again the same day shows it
        // is still in mind, not that it is held longer, so only a lapse moves it (down).
        static const std::array<double, 4> sameDay{std::exp(weight(17) * (1 - 3 + weight(18))),
                                                   std::exp(weight(17) * (2 - 3 + weight(18))), 1.0,
                                                   1.0};
        stability = memory.stability * sameDay[static_cast<std::size_t>(grade) - 1];
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

void ReviewSchedule::grade(Card& card, std::int32_t day, fsrs::Grade grade) {
    card.memory =
        card.seen ? fsrs::next(card.memory, day - card.lastDay, grade) : fsrs::first(grade);
    card.seen = true;
    card.lastDay = day;
    // Whole days, at least one: what was answered today comes back tomorrow at the earliest.
    const double days = std::max(1.0, std::round(fsrs::interval(card.memory.stability)));
    card.dueDay = day + static_cast<std::int32_t>(std::min(days, 36500.0));
}

void ReviewSchedule::record(const ReviewAnswer& answer) {
    const int index = indexOf(answer.rhythm);
    if (index < 0 || index >= totalRhythmCount) {
        return;
    }
    const fsrs::Grade mark = gradeOf(answer);
    grade(cards[static_cast<std::size_t>(index)], answer.day, mark);

    std::optional<Rhythm> other;
    if (answer.answered && *answer.answered != answer.rhythm && !answer.right &&
        anyRhythmAt(indexOf(*answer.answered))) {
        other = answer.answered;
    }
    bool known = false;
    for (const std::uint16_t place : pairsWith[static_cast<std::size_t>(index)]) {
        Pair& pair = mixedUp[place];
        grade(pair.card, answer.day, mark);
        known = known || (other && (pair.first == *other || pair.second == *other));
    }
    if (other && !known) {
        Pair pair{
            std::min(answer.rhythm, *other, byIndex), std::max(answer.rhythm, *other, byIndex), {}};
        grade(pair.card, answer.day, fsrs::Grade::again);
        const auto place = static_cast<std::uint16_t>(mixedUp.size());
        mixedUp.push_back(pair);
        pairsWith[static_cast<std::size_t>(index)].push_back(place);
        pairsWith[static_cast<std::size_t>(indexOf(*other))].push_back(place);
    }
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

std::vector<ReviewSchedule::Pair> ReviewSchedule::pairsDueOn(std::int32_t day) const {
    std::vector<Pair> due;
    std::copy_if(mixedUp.begin(), mixedUp.end(), std::back_inserter(due),
                 [day](const Pair& pair) { return pair.card.dueDay <= day; });
    std::stable_sort(due.begin(), due.end(),
                     [](const Pair& a, const Pair& b) { return a.card.dueDay < b.card.dueDay; });
    return due;
}

std::vector<Rhythm> ReviewSchedule::reviewOn(std::int32_t day, int limit) const {
    // Rhythms and pairs merged by how long they have been due; a pair brings both its rhythms.
    struct Due {
        std::int32_t dueDay;
        Rhythm first;
        std::optional<Rhythm> second;
    };
    std::vector<Due> due;
    for (const Rhythm rhythm : dueOn(day)) {
        due.push_back({card(rhythm).dueDay, rhythm, std::nullopt});
    }
    for (const Pair& pair : pairsDueOn(day)) {
        due.push_back({pair.card.dueDay, pair.first, pair.second});
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const Due& a, const Due& b) { return a.dueDay < b.dueDay; });
    std::vector<Rhythm> round;
    std::array<bool, totalRhythmCount> taken{};
    const auto take = [&](Rhythm rhythm) {
        auto& slot = taken[static_cast<std::size_t>(indexOf(rhythm))];
        if (!slot && static_cast<int>(round.size()) < limit) {
            slot = true;
            round.push_back(rhythm);
        }
    };
    for (const Due& entry : due) {
        take(entry.first);
        if (entry.second) {
            take(*entry.second);
        }
    }
    return round;
}

std::vector<int> ReviewSchedule::dueCounts(std::int32_t day, int days) const {
    std::vector<int> counts(static_cast<std::size_t>(std::max(days, 0)), 0);
    const auto count = [&](const Card& card) {
        const std::int32_t offset = std::max(card.dueDay - day, 0);
        if (card.seen && offset < days) {
            ++counts[static_cast<std::size_t>(offset)];
        }
    };
    std::for_each(cards.begin(), cards.end(), count);
    for (const Pair& pair : mixedUp) {
        count(pair.card);
    }
    return counts;
}

} // namespace pulsavo
