#pragma once

#include "AnswerSink.h"
#include "Rhythm.h"
#include "RhythmTraits.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pulsavo {

// The strip worksheet a telemetry test grades: every field a learner fills for one strip, the
// truth the model knows for it, and the rules a field is marked right by.
enum class WorksheetField : std::uint8_t {
    atrialRate,
    ventricularRate,
    regularity,
    pWaves,
    pr,
    qrs,
    rhythm,
    nextStep,
};
inline constexpr int worksheetFieldCount = 8;

// A PR as written: a number of milliseconds, "varies" or "none".
struct PrReading {
    enum class Kind : std::uint8_t { ms, varies, none } kind = Kind::none;
    int ms = 0;
};

struct WorksheetTruth {
    std::optional<int> atrialRate; // per minute; none where the atria show no waves
    std::optional<int> ventricularRate;
    PWaves pWaves = PWaves::none;
    PrReading pr;
    std::optional<int> qrsMs;
    Rhythm rhythm = Rhythm::sinusRhythm;
    RhythmTraits traits; // regularity and next steps
};

// What the learner wrote; an empty field is wrong.
struct WorksheetAnswer {
    std::optional<int> atrialRate;
    std::optional<int> ventricularRate;
    std::optional<Regularity> regularity;
    std::optional<PWaves> pWaves;
    std::optional<PrReading> pr;
    std::optional<int> qrsMs;
    std::optional<Rhythm> rhythm;
    std::optional<NextStep> nextStep;
    // "測定不能": fibrillating atria have no rate to count, and a reader says so.
    bool atrialUnmeasurable = false;
};

// Tolerances: a rate within 10 % or 10 per minute, whichever is more; an interval within one
// small square (40 ms). "None" is right only where there is none.
inline constexpr int rateToleranceShare = 10; // percent
inline constexpr int rateToleranceFloor = 10; // per minute
inline constexpr int intervalToleranceMs = 40;

bool rateIsRight(std::optional<int> truth, std::optional<int> answer);
bool intervalIsRight(std::optional<int> truthMs, std::optional<int> answerMs);

using WorksheetMarks = std::array<bool, worksheetFieldCount>;

WorksheetMarks markWorksheet(const WorksheetTruth& truth, const WorksheetAnswer& answer);

// The names fields and values are stored under ("atrial_rate", "regular", "varies", ...).
const char* storedName(WorksheetField field);
std::string storedValue(Regularity regularity);
std::string storedValue(PWaves waves);
std::string storedValue(NextStep step);

// A marked worksheet as the answers database keeps it: one entry per field, in field order. The
// true next step lists every step the rhythm accepts, joined by '|'.
std::vector<WorksheetEntry> worksheetEntries(const WorksheetTruth& truth,
                                             const WorksheetAnswer& answer,
                                             const WorksheetMarks& marks);

constexpr bool markOf(const WorksheetMarks& marks, WorksheetField field) {
    return marks[static_cast<std::size_t>(field)];
}

} // namespace pulsavo
