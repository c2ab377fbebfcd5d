#include "ArtifactQuestions.h"

#include "RhythmTraits.h"

#include <algorithm>

namespace pulsavo {

namespace {

// Salts keep these draws apart from the rhythm's own use of the seed.
constexpr std::uint64_t distractorSalt = 0xA71FAC7D15CA7ULL;
constexpr std::uint64_t versusSalt = 0x5E75A7AC1ULL;
constexpr int moderateLow = 3;
constexpr int moderateHigh = 6;
// Strong enough to fool, as on a ward where it does.
constexpr int foolingLow = 5;
constexpr int foolingHigh = 7;

bool isArrest(Rhythm rhythm) {
    const RhythmTraits traits = traitsOf(rhythm);
    return traits.accepts(NextStep::defibrillate) || traits.accepts(NextStep::cpr);
}

int strengthBetween(SeededRandom& random, int low, int high) {
    return low + static_cast<int>(random.below(static_cast<std::uint32_t>(high - low + 1)));
}

} // namespace

Question withDistractor(Question question) {
    if (question.hasArtifact()) {
        return question;
    }
    SeededRandom random(question.seed ^ distractorSalt);
    if (random.below(distractorShare) != 0) {
        return question;
    }
    static constexpr std::array<ArtifactKind, 4> common{ArtifactKind::wander, ArtifactKind::tremor,
                                                        ArtifactKind::mains, ArtifactKind::motion};
    static constexpr std::array<ArtifactKind, 3> arrest{ArtifactKind::cpr, ArtifactKind::wander,
                                                        ArtifactKind::tremor};
    question.artifact = isArrest(question.rhythm) ? arrest[random.below(arrest.size())]
                                                  : common[random.below(common.size())];
    question.artifactStrength = strengthBetween(random, moderateLow, moderateHigh);
    return question;
}

Question artifactOverSinus(std::uint32_t seed) {
    SeededRandom random(seed ^ versusSalt);
    const LookAlike pair = lookAlikes[random.below(lookAlikes.size())];
    return {Rhythm::sinusRhythm, seed, pair.artifact,
            strengthBetween(random, foolingLow, foolingHigh)};
}

std::vector<Question> artifactVersusRound(int length, std::uint64_t seed) {
    SeededRandom random(seed);
    const auto count = static_cast<std::size_t>(std::clamp(length, 1, DrillOptions::maxLength));
    std::vector<Question> questions;
    questions.reserve(count);
    std::vector<int> deck;
    while (questions.size() < count) {
        if (deck.empty()) {
            // Cards 0..3 are the artifact sides of lookAlikes, 4..7 the rhythms they mimic.
            for (int card = 0; card < 2 * static_cast<int>(lookAlikes.size()); ++card) {
                deck.push_back(card);
            }
            for (std::size_t i = deck.size(); i > 1; --i) {
                std::swap(deck[i - 1], deck[random.below(static_cast<std::uint32_t>(i))]);
            }
        }
        const auto card = static_cast<std::size_t>(deck.back());
        deck.pop_back();
        const LookAlike pair = lookAlikes[card % lookAlikes.size()];
        if (card >= lookAlikes.size()) {
            questions.push_back({pair.mimics, random.next32()});
            continue;
        }
        // The seed carries its artifact, so the stored seed gives it back.
        Question question;
        do {
            question = artifactOverSinus(random.next32());
        } while (question.artifact != pair.artifact);
        questions.push_back(question);
    }
    return questions;
}

std::optional<ArtifactKind> lookAlikeOf(const Question& question) {
    if (question.hasArtifact()) {
        return question.artifact;
    }
    for (const LookAlike& pair : lookAlikes) {
        if (pair.mimics == question.rhythm) {
            return pair.artifact;
        }
    }
    return std::nullopt;
}

} // namespace pulsavo
