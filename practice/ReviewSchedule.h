#pragma once

#include "Rhythm.h"
#include "RhythmLibrary.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pulsavo {

// Review spaced across days with FSRS-5, the memory model Anki schedules with: each rhythm has a
// difficulty D (1..10) and a stability S (days until the chance of recalling it falls to 90 %),
// updated by every answer. FSRS rather than SM-2 because it takes answers given early, late or
// several times a day as they come, which a practice window that a learner opens whenever they
// like produces, and it was fitted to millions of real reviews.
namespace fsrs {

// How an answer went, as FSRS grades a review.
enum class Grade : std::uint8_t { again = 1, hard = 2, good = 3, easy = 4 };

inline constexpr double decay = -0.5;
inline constexpr double factor = 19.0 / 81.0;
// The published defaults of FSRS-5.
inline constexpr std::array<double, 19> defaultWeights{
    0.40255, 1.18385, 3.173, 15.69105, 7.1949, 0.5345, 1.4604, 0.0046,  1.54575, 0.1192,
    1.01925, 1.9395,  0.11,  0.29605,  2.2698, 0.2315, 2.9898, 0.51655, 0.6621};

struct Memory {
    double difficulty = 0;
    double stability = 0;
};

// The chance of recall `days` after the last review.
double retrievability(double days, double stability);
// Days until the chance of recall falls to `retention`.
double interval(double stability, double retention = 0.9);
Memory first(Grade grade);
// The memory after a review `days` after the previous one (under a day: a review the same day).
Memory next(const Memory& memory, double days, Grade grade);

} // namespace fsrs

// One answer as the schedule needs it: which rhythm, on which day (days since any fixed date,
// in the learner's time zone), and how it went.
struct ReviewAnswer {
    Rhythm rhythm = Rhythm::sinusRhythm;
    std::int32_t day = 0;
    bool right = false;
    bool hinted = false;
    // The rhythm the learner named; none when unknown (counted by `right` alone).
    std::optional<Rhythm> answered;
};

// Every rhythm's memory and the day it is due again, built from the learner's stored answers.
class ReviewSchedule {
public:
    struct Card {
        fsrs::Memory memory;
        std::int32_t lastDay = 0;
        std::int32_t dueDay = 0;
        bool seen = false;
    };

    // A wrong answer is Again, a right one with a hint Hard, a right one Good.
    static fsrs::Grade gradeOf(const ReviewAnswer& answer);

    void record(const ReviewAnswer& answer);
    static ReviewSchedule fromAnswers(std::span<const ReviewAnswer> answers);

    // Two rhythms the learner has mixed up, in index order, with a card of their own: every
    // later answer showing either of them tells whether the learner tells it apart.
    struct Pair {
        Rhythm first = Rhythm::sinusRhythm;
        Rhythm second = Rhythm::sinusRhythm;
        Card card;
    };

    const Card& card(Rhythm rhythm) const;
    // The rhythms seen before and due on or before `day`, most overdue first.
    std::vector<Rhythm> dueOn(std::int32_t day) const;
    const std::vector<Pair>& pairs() const { return mixedUp; }
    // The pairs due on or before `day`, most overdue first.
    std::vector<Pair> pairsDueOn(std::int32_t day) const;
    // What a review round on `day` asks, each once: the due rhythms and both rhythms of each due
    // pair, most overdue first, at most `limit`.
    std::vector<Rhythm> reviewOn(std::int32_t day, int limit) const;
    // How many rhythms and pairs fall due on each of the `days` days from `day` (overdue ones
    // count on the first).
    std::vector<int> dueCounts(std::int32_t day, int days) const;

private:
    static void grade(Card& card, std::int32_t day, fsrs::Grade grade);

    std::array<Card, totalRhythmCount> cards{};
    std::vector<Pair> mixedUp;
    // Per rhythm, the places in mixedUp of its pairs: an answer grades only those.
    std::array<std::vector<std::uint16_t>, totalRhythmCount> pairsWith{};
};

} // namespace pulsavo
