#pragma once

#include "Drill.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace pulsavo {

// Artifact in practice rounds: laid over some questions as a distractor, and the rounds that ask
// whether a trace is artifact over sinus rhythm or the rhythm the artifact looks like. Everything
// is drawn from seeds, so a question's stored rhythm and seed, with its round's kind, give back
// the artifact it was shown with.

// An artifact and the rhythm it is taken for.
struct LookAlike {
    ArtifactKind artifact;
    Rhythm mimics;
};

inline constexpr std::array<LookAlike, 4> lookAlikes{{
    {ArtifactKind::tremor, Rhythm::atrialFibrillation},
    {ArtifactKind::motion, Rhythm::ventricularTachycardia},
    {ArtifactKind::cpr, Rhythm::ventricularFibrillation},
    {ArtifactKind::mains, Rhythm::atrialFlutter},
}};

// One question in this many carries a distractor.
inline constexpr int distractorShare = 3;

// The question with a distractor laid over it when its seed draws one: a kind that fits the
// rhythm (chest compressions only over an arrest rhythm; never a lead-off, which hides the
// rhythm) at a moderate strength. A question that carries artifact already is left as it is.
Question withDistractor(Question question);

// The artifact that makes sinus rhythm from `seed` look like a rhythm in lookAlikes.
Question artifactOverSinus(std::uint32_t seed);

// An artifact-versus-rhythm round of `length` questions (clamped to 1..DrillOptions::maxLength):
// decks of every look-alike pair's two sides, sinus rhythm under its artifact and the rhythm
// itself, shuffled from `seed`.
std::vector<Question> artifactVersusRound(int length, std::uint64_t seed);

// The artifact a question of such a round is to be told from: the one laid over it, or for the
// rhythm an artifact mimics, that artifact.
std::optional<ArtifactKind> lookAlikeOf(const Question& question);

} // namespace pulsavo
