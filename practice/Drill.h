#pragma once

#include "Artifact.h"
#include "Rhythm.h"
#include "RhythmSet.h"
#include "SeededRandom.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pulsavo {

// One answered question, as the progress store keeps it.
struct Attempt {
    Rhythm shown = Rhythm::sinusRhythm;
    Rhythm answer = Rhythm::sinusRhythm;
    bool hinted = false;

    bool correct() const { return answer == shown; }
};

// What the monitor plays: the rhythm and the seed it starts from, and any artifact laid over
// it (strength 0: none). The answer is the rhythm, whatever the artifact.
struct Question {
    Rhythm rhythm = Rhythm::sinusRhythm;
    std::uint32_t seed = 0;
    ArtifactKind artifact = ArtifactKind::wander;
    int artifactStrength = 0;

    bool hasArtifact() const { return artifactStrength > 0; }

    friend bool operator==(const Question&, const Question&) = default;
};

// A learner's standing per rhythm as Leitner boxes, summarised from the attempts in one pass
// and then kept up to date one attempt at a time. A wrong answer sends the rhythm back to box 0,
// a right one without a hint moves it up one box, a hinted right answer leaves it where it is;
// rhythms never asked start in box 1.
class Mastery {
public:
    static constexpr int boxCount = 5;
    static constexpr int newBox = 1;

    Mastery() { boxes.fill(newBox); }
    static Mastery fromHistory(std::span<const Attempt> history);

    void add(const Attempt& attempt);
    int box(Rhythm rhythm) const {
        return anyRhythmAt(indexOf(rhythm)) ? boxes[static_cast<std::size_t>(indexOf(rhythm))]
                                            : newBox;
    }
    // How much more often the adaptive drill asks this rhythm than one in the top box.
    int weight(Rhythm rhythm) const { return 1 << (boxCount - 1 - box(rhythm)); }

private:
    std::array<int, totalRhythmCount> boxes{};
};

enum class DrillMode {
    even,     // shuffled decks: every rhythm in play once per deck
    adaptive, // weighted by the Leitner boxes
    pair,     // two rhythms alternating at random
};

struct DrillOptions {
    static constexpr int maxLength = 1000;

    RhythmSet rhythms = RhythmSet::every();
    int length = 10;
    DrillMode mode = DrillMode::adaptive;
    std::uint64_t seed = 0;

    static DrillOptions round(int length, RhythmSet rhythms, bool adaptive, std::uint64_t seed) {
        return {rhythms, length, adaptive ? DrillMode::adaptive : DrillMode::even, seed};
    }
    static DrillOptions pairDrill(Rhythm first, Rhythm second, int length, std::uint64_t seed) {
        return {RhythmSet::of({first, second}), length, DrillMode::pair, seed};
    }
};

// Empty when the options make a round; otherwise one line saying what is wrong.
std::string checkDrillOptions(const DrillOptions& options);

// Chooses the questions of one round. Rules kept in every mode, when two or more rhythms are in
// play: no rhythm three times in a row, and when the learner answers B for rhythm A, B (if in
// play) is asked within the next three questions of the round. Only at the end of a round can
// that fail: when the round ends first, or when the questions left are all taken by the
// contrasts of earlier mistakes. In the even mode the questions
// are dealt from shuffled decks of the rhythms in play, so with k rhythms in play questions
// 1..k, k+1..2k, ... each hold every one of them; a contrast question that cannot be found in the
// current deck is added to it, so that deck is one question longer.
class Drill {
public:
    // Options that checkDrillOptions() rejects are made usable: no rhythms means every one,
    // the length is clamped to 1..maxLength and a pair drill with one rhythm plays just that one.
    Drill(const DrillOptions& options, const Mastery& mastery);
    Drill(const DrillOptions& options, std::span<const Attempt> history)
        : Drill(options, Mastery::fromHistory(history)) {}

    const DrillOptions& options() const { return opts; }
    int length() const { return opts.length; }
    // Questions answered so far in this round.
    int answered() const { return static_cast<int>(answers.size()); }
    bool finished() const { return answered() >= opts.length; }

    // The question to ask now: a new one once the previous has been answered, the same one
    // again while it has not; nothing when the round is over.
    std::optional<Question> next();
    // The learner's answer to the question next() gave; false (and nothing changes) when there
    // is no such question waiting.
    bool record(Rhythm answer, bool hinted = false);

    const std::vector<Question>& questions() const { return asked; }
    const std::vector<Attempt>& attempts() const { return answers; }
    const Mastery& mastery() const { return learner; }

private:
    static constexpr int contrastReach = 3;

    bool wouldMakeThree(Rhythm rhythm, int position) const;
    std::optional<Rhythm> plannedAt(int position) const;
    void planContrast(Rhythm rhythm);
    Rhythm choose(int position);
    Rhythm dealFromDeck(int position);
    Rhythm drawWeighted(int position);
    void refillDeck();
    void takeFromDeck(Rhythm rhythm);

    DrillOptions opts;
    std::vector<Rhythm> inPlay;
    Mastery learner;
    SeededRandom random;
    std::vector<Question> asked;
    std::vector<Attempt> answers;
    std::vector<Rhythm> deck; // the cards of the current deck still to come, next at the back
    struct Planned {
        int position;
        Rhythm rhythm;
    };
    std::vector<Planned> planned; // contrast questions fixed for coming positions
};

} // namespace pulsavo
