#include "Drill.h"

#include <algorithm>

namespace pulsavo {

// Read backwards: a rhythm's box depends only on its answers since its last wrong one, and no
// more than the last (boxCount - 1) of those, so the scan stops as soon as every rhythm's box is
// settled, usually within a few hundred attempts however long the history.
Mastery Mastery::fromHistory(std::span<const Attempt> history) {
    std::array<int, totalRhythmCount> rises{};
    std::array<bool, totalRhythmCount> settled{};
    int open = totalRhythmCount;
    Mastery mastery;
    for (auto attempt = history.rbegin(); attempt != history.rend() && open > 0; ++attempt) {
        if (!anyRhythmAt(indexOf(attempt->shown))) {
            continue;
        }
        const auto index = static_cast<std::size_t>(indexOf(attempt->shown));
        if (settled[index]) {
            continue;
        }
        if (!attempt->correct()) {
            mastery.boxes[index] = rises[index];
        } else if (!attempt->hinted && ++rises[index] == boxCount - 1) {
            mastery.boxes[index] = boxCount - 1;
        } else {
            continue;
        }
        settled[index] = true;
        --open;
    }
    for (std::size_t i = 0; i < settled.size(); ++i) {
        if (!settled[i]) {
            mastery.boxes[i] = std::min(newBox + rises[i], boxCount - 1);
        }
    }
    return mastery;
}

void Mastery::add(const Attempt& attempt) {
    if (!anyRhythmAt(indexOf(attempt.shown))) {
        return;
    }
    int& box = boxes[static_cast<std::size_t>(indexOf(attempt.shown))];
    if (!attempt.correct()) {
        box = 0;
    } else if (!attempt.hinted) {
        box = std::min(box + 1, boxCount - 1);
    }
}

std::string checkDrillOptions(const DrillOptions& options) {
    if (options.rhythms.empty()) {
        return "no rhythms chosen for the round";
    }
    if (options.length < 1 || options.length > DrillOptions::maxLength) {
        return "a round has 1 to " + std::to_string(DrillOptions::maxLength) + " questions, not " +
               std::to_string(options.length);
    }
    if (options.mode == DrillMode::pair && options.rhythms.size() != 2) {
        return "a pair drill needs two different rhythms";
    }
    return {};
}

Drill::Drill(const DrillOptions& options, const Mastery& mastery)
    : opts(options), learner(mastery), random(options.seed) {
    if (opts.rhythms.empty()) {
        opts.rhythms = RhythmSet::every();
    }
    if (opts.mode == DrillMode::pair && opts.rhythms.size() > 2) {
        opts.mode = DrillMode::even;
    }
    opts.length = std::clamp(opts.length, 1, DrillOptions::maxLength);
    inPlay = opts.rhythms.list();
    asked.reserve(static_cast<std::size_t>(opts.length));
    answers.reserve(static_cast<std::size_t>(opts.length));
    if (opts.mode == DrillMode::even) {
        refillDeck();
    }
}

std::optional<Question> Drill::next() {
    if (asked.size() > answers.size()) {
        return asked.back();
    }
    if (finished()) {
        return std::nullopt;
    }
    const Rhythm rhythm = choose(answered());
    if (opts.mode == DrillMode::even) {
        takeFromDeck(rhythm);
    }
    asked.push_back({rhythm, random.next32()});
    return asked.back();
}

bool Drill::record(Rhythm answer, bool hinted) {
    if (asked.size() != answers.size() + 1) {
        return false;
    }
    const Attempt attempt{asked.back().rhythm, answer, hinted};
    answers.push_back(attempt);
    learner.add(attempt);
    if (!attempt.correct() && opts.rhythms.contains(answer) && inPlay.size() >= 2) {
        planContrast(answer);
    }
    return true;
}

std::optional<Rhythm> Drill::plannedAt(int position) const {
    if (position >= 0 && position < static_cast<int>(asked.size())) {
        return asked[static_cast<std::size_t>(position)].rhythm;
    }
    for (const Planned& plan : planned) {
        if (plan.position == position) {
            return plan.rhythm;
        }
    }
    return std::nullopt;
}

// Whether `rhythm` at `position` would be the third in a row with the questions already asked
// or planned around it.
bool Drill::wouldMakeThree(Rhythm rhythm, int position) const {
    if (inPlay.size() < 2) {
        return false;
    }
    const auto is = [&](int p) { return p != position ? plannedAt(p) == rhythm : true; };
    for (int start = position - 2; start <= position; ++start) {
        if (is(start) && is(start + 1) && is(start + 2)) {
            return true;
        }
    }
    return false;
}

// The confused rhythm goes to a random one of the next three positions, so that its coming
// does not tell the learner the answer. Near the end of the round it takes the first free one,
// leaving the last positions to later mistakes, which have nowhere else to go.
void Drill::planContrast(Rhythm rhythm) {
    const int answeredAt = answered() - 1;
    std::array<int, contrastReach> slots{};
    std::uint32_t count = 0;
    for (int position = answeredAt + 1; position <= answeredAt + contrastReach; ++position) {
        if (position >= opts.length) {
            break;
        }
        const std::optional<Rhythm> there = plannedAt(position);
        if (there == rhythm) {
            return;
        }
        if (!there && !wouldMakeThree(rhythm, position)) {
            slots[count++] = position;
        }
    }
    if (count == 0) {
        return;
    }
    const bool nearEnd = answeredAt + contrastReach >= opts.length - 1;
    planned.push_back({slots[nearEnd ? 0 : random.below(count)], rhythm});
}

Rhythm Drill::choose(int position) {
    const auto plan = std::find_if(planned.begin(), planned.end(),
                                   [&](const Planned& p) { return p.position == position; });
    if (plan != planned.end()) {
        const Rhythm rhythm = plan->rhythm;
        planned.erase(plan);
        return rhythm;
    }
    if (inPlay.size() == 1) {
        return inPlay.front();
    }
    if (opts.mode == DrillMode::even) {
        return dealFromDeck(position);
    }
    return drawWeighted(position);
}

Rhythm Drill::dealFromDeck(int position) {
    for (auto card = deck.rbegin(); card != deck.rend(); ++card) {
        if (!wouldMakeThree(*card, position)) {
            return *card;
        }
    }
    return drawWeighted(position);
}

Rhythm Drill::drawWeighted(int position) {
    std::array<std::uint32_t, totalRhythmCount> weights{};
    std::uint32_t total = 0;
    for (std::size_t i = 0; i < inPlay.size(); ++i) {
        if (!wouldMakeThree(inPlay[i], position)) {
            weights[i] = opts.mode == DrillMode::adaptive
                             ? static_cast<std::uint32_t>(learner.weight(inPlay[i]))
                             : 1U;
            total += weights[i];
        }
    }
    std::uint32_t draw = random.below(total);
    std::size_t i = 0;
    while (draw >= weights[i]) {
        draw -= weights[i];
        ++i;
    }
    return inPlay[i];
}

void Drill::refillDeck() {
    deck = inPlay;
    for (std::size_t i = deck.size(); i > 1; --i) {
        std::swap(deck[i - 1], deck[random.below(static_cast<std::uint32_t>(i))]);
    }
}

void Drill::takeFromDeck(Rhythm rhythm) {
    const auto card = std::find(deck.rbegin(), deck.rend(), rhythm);
    if (card != deck.rend()) {
        deck.erase(std::next(card).base());
    }
    if (deck.empty()) {
        refillDeck();
    }
}

} // namespace pulsavo
