#pragma once

#include "AnswerSink.h"
#include "ReviewSchedule.h"
#include "Rhythm.h"
#include "RhythmLibrary.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace pulsavo {

struct RoundInfo {
    RoundMode mode = RoundMode::practice;
    QString examCode;  // empty: not an exam round
    int length = 10;   // questions planned
    QString options;   // free text (the window's options, e.g. as JSON)
    QDateTime started; // invalid: now
};

// One answer. `correct` is derived from shown == answer unless given (measurements decide
// their own correctness); a missing answer is never correct.
struct AnswerRecord {
    std::int64_t roundId = 0; // 0: not part of a round
    Rhythm shown = Rhythm::sinusRhythm;
    std::uint32_t seed = 0;
    std::optional<Rhythm> answer;
    std::optional<bool> correct;
    bool hinted = false;
    int answerMs = 0;
    QString examCode; // empty: none
    QString learner;  // empty: none
    int question = 0; // number in the exam, from 1; 0: none
    QDateTime time;   // invalid: now
    // A measurement (calipers) rather than a naming answer: kind set, values in ms.
    QString kind; // empty: a naming answer
    std::optional<int> valueMs;
    std::optional<int> errorMs;
    // A worksheet's fields, written with the answer or not at all.
    std::vector<WorksheetEntry> worksheet;
    std::optional<int> limitMs; // the time it was due within (6秒モード); none: no limit
};

// Fluency: how long the right answers given against the clock (6秒モード) took, unhinted.
struct RhythmFluency {
    Rhythm rhythm = Rhythm::sinusRhythm;
    std::vector<int> timesMs; // ascending
    std::optional<double> medianMs() const;
};

// How often a worksheet field was right, over the answers a filter chooses.
struct WorksheetFieldStats {
    QString field; // as stored: "atrial_rate", "pr", ...
    int attempts = 0;
    int correct = 0;
};

// What the queries look at. Only naming answers (no measurement kind) are counted.
struct ProgressFilter {
    QString examCode; // empty: every answer
};

struct RhythmStats {
    int attempts = 0;
    int correct = 0;
    int hinted = 0;
    std::optional<double> medianMs; // none without attempts
    double accuracy() const { return attempts > 0 ? double(correct) / attempts : 0.0; }
};

// Indexed by rhythm index, the classic 18 then the library.
using RhythmStatsTable = std::array<RhythmStats, totalRhythmCount>;

// counts[shown][answered]; the diagonal is the correct answers. Unanswered questions are left out.
using ConfusionMatrix = std::array<std::array<int, totalRhythmCount>, totalRhythmCount>;

struct DayAccuracy {
    QDate day; // local calendar day
    int attempts = 0;
    int correct = 0;
    double accuracy() const { return attempts > 0 ? double(correct) / attempts : 0.0; }
};

// An ordered pair: `shown` was on the monitor and the learner answered `answered`.
struct ConfusedPair {
    Rhythm shown = Rhythm::sinusRhythm;
    Rhythm answered = Rhythm::sinusRhythm;
    int count = 0;
};

// Everything the progress window shows, gathered in one call.
struct ProgressSummary {
    RhythmStatsTable rhythms{};
    ConfusionMatrix confusion{};
    QList<DayAccuracy> days; // oldest first, one entry per day, today last
    int streak = 0;
    QList<ConfusedPair> topConfusions;
    int attempts = 0;
    int correct = 0;
    // From every naming answer, whatever the filter: the learner's review is theirs, not an exam's.
    ReviewSchedule schedule;
    QList<WorksheetFieldStats> worksheetFields; // by stored name
    QList<RhythmFluency> fluency;               // in rhythm index order, answered ones only
};

// The rhythms a report lists, in index order: the classic 18 always, so that a report of
// classic practice reads as it always has, then each library rhythm shown or given as an
// answer.
std::vector<Rhythm> reportedRhythms(const RhythmStatsTable& stats,
                                    const ConfusionMatrix* confusion = nullptr);

} // namespace pulsavo
