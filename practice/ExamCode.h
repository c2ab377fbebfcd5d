#pragma once

#include "Drill.h"
#include "RhythmSet.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pulsavo {

// An exam is rebuilt from its code alone: version, question count, rhythms and seed are
// written in Crockford's base 32 (no I, L, O or U) and closed by a check character, e.g.
// PX-8AK9-P73D for an exam over the classic 18, PX-8J0R-C801-G744 when it uses a subset of
// them. An exam with library rhythms takes 22 characters, enough for any subset of every rhythm,
// e.g. PX-H7ZZ-ZZZZ-ZZZW-0000-0114-GW for 20 questions over the library.
// How an exam is taken, chosen by the instructor and carried in the code so that every learner
// sits the same exam. The defaults are a practice round's: hints allowed, feedback per question.
struct ExamSettings {
    static constexpr int maxTimeLimitMinutes = 127;

    bool hints = true;
    bool feedbackAtEnd = false;
    bool measurements = false; // each question also asks its measurement
    bool shuffled = false;     // each learner gets the questions in an order of their own
    bool worksheet = false;    // each strip is read field by field on a worksheet
    int timeLimitMinutes = 0;  // 0: no limit
    int passPercent = 0;       // 0: no pass mark
    int artifact = 0;          // 0: none, else 1 + an index into examArtifactKinds

    bool isDefault() const { return *this == ExamSettings{}; }
    bool operator==(const ExamSettings&) const = default;
};

// The artifact an exam can lay over every question, each at the middle strength: muscle tremor
// (taken for AF), electrode motion (taken for VT) or baseline wander. The code holds which one
// in two bits, so an exam carries one of these or none.
inline constexpr std::array<ArtifactKind, 3> examArtifactKinds{
    ArtifactKind::tremor, ArtifactKind::motion, ArtifactKind::wander};
inline constexpr int examArtifactStrength = Artifact::defaultStrength;
// ExamSettings::artifact for `kind`, or nullopt for a kind no exam carries.
std::optional<int> examArtifactOf(ArtifactKind kind);

struct Exam {
    static constexpr int maxCount = 128;
    static constexpr std::uint32_t maxSeed = (1U << 26) - 1;

    std::string code; // canonical form: upper case, "PX-" and groups of four
    int count = 0;
    RhythmSet rhythms;
    std::uint32_t seed = 0;
    ExamSettings settings;
    // count questions covering the rhythms evenly (their numbers differ by at most one) in a
    // shuffled order with no rhythm three times in a row.
    std::vector<Question> questions;
};

enum class ExamCodeError {
    none,
    empty,          // nothing but spaces and dashes
    badCharacter,   // a character outside the code alphabet
    wrongLength,    // too few or too many characters
    checkFailed,    // a mistyped or swapped character
    unknownVersion, // made by a newer Pulsavo
    badCount,       // makeExam: count outside 1..maxCount
    badSeed,        // makeExam: seed above maxSeed
    noRhythms,      // makeExam: empty rhythm set
    badSettings,    // makeExam: a time limit or pass mark out of range
};

struct ExamResult {
    Exam exam;
    ExamCodeError error = ExamCodeError::none;
    std::string message; // one line in English when error != none; callers may word their own
    bool ok() const { return error == ExamCodeError::none; }
};

// An exam with the default settings keeps the code it has always had; one with settings gets a
// code four characters longer (16 or 26 after "PX"). Settings never change which rhythms and
// seeds are drawn; an artifact setting lays its artifact on every question.
ExamResult makeExam(int count, std::uint32_t seed, RhythmSet rhythms = RhythmSet::classic(),
                    const ExamSettings& settings = {});

// The order in which `learner` answers the exam's questions, as indices into exam.questions:
// the exam's own order unless it is shuffled, else a shuffle drawn from the code and the
// learner's name or id, so the same learner always gets the same order.
std::vector<int> questionOrder(const Exam& exam, std::string_view learner);

// Reads a code as a person types it: any case, with or without "PX", dashes and spaces
// anywhere; O is read as 0 and I or L as 1.
ExamResult parseExamCode(std::string_view text);

} // namespace pulsavo
