#pragma once

#include "ExamCode.h"
#include "RhythmSet.h"

#include <cstdint>
#include <vector>

namespace pulsavo {

// How one rhythm of an exam fared across the class.
struct RhythmTally {
    Rhythm rhythm = Rhythm::sinusRhythm;
    int asked = 0;    // learners times the questions showing it
    int credited = 0; // right without a hint
};

struct ConfusionTally {
    Rhythm shown = Rhythm::sinusRhythm;
    Rhythm answered = Rhythm::sinusRhythm;
    int count = 0;
};

// What a class should sit again: its weakest rhythms and, beside each, the rhythm it was most
// often taken for, so that the pair is told apart on the same paper.
struct Remediation {
    std::vector<Rhythm> weak; // weakest first
    std::vector<Rhythm> contrast;
    RhythmSet rhythms() const;
    bool empty() const { return weak.empty(); }
};

// The rhythms with any answer not credited, lowest share credited first (ties: more often asked,
// then index order), at most maxWeak; each one's commonest confusion (ties: index order) joins
// as contrast unless it is already in.
Remediation chooseRemediation(const std::vector<RhythmTally>& tallies,
                              const std::vector<ConfusionTally>& confusions, int maxWeak);

// An exam of `count` questions over the remediation's rhythms, taken as the graded exam was
// (its settings). Questions cover the rhythms evenly, so a few weak rhythms come up often.
ExamResult remediationExam(const Exam& graded, const Remediation& remediation, int count,
                           std::uint32_t seed);

} // namespace pulsavo
