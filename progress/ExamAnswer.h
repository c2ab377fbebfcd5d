#pragma once

#include "Rhythm.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace pulsavo {

// One naming answer of an exam as a gradebook reads it, from an answers database or a hand-in.
struct ExamAnswer {
    QString examCode;
    QString learner;  // as typed; empty: not recorded
    int question = 0; // number in the exam, from 1; 0: not recorded
    Rhythm shown = Rhythm::sinusRhythm;
    std::uint32_t seed = 0;
    std::optional<Rhythm> answer; // right when it is the rhythm shown, whatever a file says
    bool hinted = false;
    int answerMs = 0;
    QString time; // UTC text as stored
};

} // namespace pulsavo
