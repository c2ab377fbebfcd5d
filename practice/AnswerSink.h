#pragma once

#include "Rhythm.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pulsavo {

// How a round was put together; stored as the text 'practice', 'exam' or 'pair'.
enum class RoundMode { practice, exam, pair };

// A round as the session opens it.
struct RoundStart {
    RoundMode mode = RoundMode::practice;
    std::string examCode; // empty: not an exam round
    int length = 10;      // questions planned
    std::string options;  // the window's options as it describes them (JSON)
};

// One field of a strip worksheet as stored: the values as text ("" where the learner left it
// empty or the strip has none), so that every field fits one column whatever it holds.
struct WorksheetEntry {
    std::string field;
    std::string learnerValue;
    std::string trueValue;
    bool correct = false;
    bool operator==(const WorksheetEntry&) const = default;
};

// One answer as the session hands it over: a naming answer, or a measurement when kind is set.
struct AnswerEntry {
    std::int64_t roundId = 0; // 0: not part of a round
    Rhythm shown = Rhythm::sinusRhythm;
    std::uint32_t seed = 0;
    std::optional<Rhythm> answer;
    std::optional<bool> correct; // none: shown == answer decides
    bool hinted = false;
    int answerMs = 0;
    std::string examCode;
    std::string learner; // an exam's learner, name or student id as typed; empty: none
    int question = 0;    // the question's number in the exam, from 1; 0: none
    std::string kind;    // empty: a naming answer
    std::optional<int> valueMs;
    std::optional<int> errorMs;
    // The time the answer was due within (6秒モード); none: no limit.
    std::optional<int> limitMs;
    // A worksheet's fields, kept with its naming answer; empty for any other answer.
    std::vector<WorksheetEntry> worksheet;
};

// Where a session's rounds and answers go. Each call returns once the row is kept; ids are -1
// when it could not be written, and the round goes on regardless.
class AnswerSink {
public:
    virtual ~AnswerSink() = default;
    virtual std::int64_t openRound(const RoundStart& round) = 0;
    virtual bool closeRound(std::int64_t roundId) = 0;
    virtual std::int64_t keepAnswer(const AnswerEntry& answer) = 0;
};

} // namespace pulsavo
