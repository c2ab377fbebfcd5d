#include "Worksheet.h"

#include "RhythmLibrary.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace pulsavo {

bool rateIsRight(std::optional<int> truth, std::optional<int> answer) {
    if (!truth || !answer) {
        return false; // "no rate" has no field to fill: the form leaves it out
    }
    const int tolerance = std::max(rateToleranceFloor, *truth * rateToleranceShare / 100);
    return std::abs(*answer - *truth) <= tolerance;
}

bool intervalIsRight(std::optional<int> truthMs, std::optional<int> answerMs) {
    return truthMs && answerMs && std::abs(*answerMs - *truthMs) <= intervalToleranceMs;
}

namespace {

bool prIsRight(const PrReading& truth, const std::optional<PrReading>& answer) {
    if (!answer || answer->kind != truth.kind) {
        return false;
    }
    return truth.kind != PrReading::Kind::ms || intervalIsRight(truth.ms, answer->ms);
}

// Where the atria show no waves there is no rate to write: an empty field is the right answer.
bool atrialRateIsRight(const WorksheetTruth& truth, const WorksheetAnswer& answer) {
    if (answer.atrialUnmeasurable) {
        return truth.pWaves == PWaves::fibrillatory;
    }
    return truth.atrialRate ? rateIsRight(truth.atrialRate, answer.atrialRate)
                            : !answer.atrialRate.has_value();
}

} // namespace

WorksheetMarks markWorksheet(const WorksheetTruth& truth, const WorksheetAnswer& answer) {
    WorksheetMarks marks{};
    const auto set = [&marks](WorksheetField field, bool right) {
        marks[static_cast<std::size_t>(field)] = right;
    };
    set(WorksheetField::atrialRate, atrialRateIsRight(truth, answer));
    set(WorksheetField::ventricularRate,
        truth.ventricularRate ? rateIsRight(truth.ventricularRate, answer.ventricularRate)
                              : !answer.ventricularRate.has_value());
    set(WorksheetField::regularity,
        answer.regularity.has_value() && truth.traits.accepts(*answer.regularity));
    set(WorksheetField::pWaves, answer.pWaves == truth.pWaves);
    set(WorksheetField::pr, prIsRight(truth.pr, answer.pr));
    set(WorksheetField::qrs,
        truth.qrsMs ? intervalIsRight(truth.qrsMs, answer.qrsMs) : !answer.qrsMs.has_value());
    set(WorksheetField::rhythm, answer.rhythm == truth.rhythm);
    set(WorksheetField::nextStep,
        answer.nextStep.has_value() && truth.traits.accepts(*answer.nextStep));
    return marks;
}

namespace {

std::string textOf(std::optional<int> value) {
    return value ? std::to_string(*value) : std::string();
}

std::string textOf(const PrReading& pr) {
    switch (pr.kind) {
    case PrReading::Kind::ms:
        return std::to_string(pr.ms);
    case PrReading::Kind::varies:
        return "varies";
    case PrReading::Kind::none:
        break;
    }
    return "none";
}

template <typename T> std::string textOf(const std::optional<T>& value) {
    return value ? storedValue(*value) : std::string();
}

std::string textOf(const std::optional<PrReading>& pr) {
    return pr ? textOf(*pr) : std::string();
}

std::string textOf(const std::optional<Rhythm>& rhythm) {
    return rhythm ? rhythmId(*rhythm) : std::string();
}

} // namespace

const char* storedName(WorksheetField field) {
    static constexpr std::array<const char*, worksheetFieldCount> names{
        "atrial_rate", "ventricular_rate", "regularity", "p_waves", "pr",
        "qrs",         "rhythm",           "next_step"};
    return names[static_cast<std::size_t>(field)];
}

std::string storedValue(Regularity regularity) {
    static constexpr std::array<const char*, 3> names{"regular", "regularly_irregular",
                                                      "irregularly_irregular"};
    return names[static_cast<std::size_t>(regularity)];
}

std::string storedValue(PWaves waves) {
    static constexpr std::array<const char*, 6> names{"normal",  "abnormal",     "more_than_qrs",
                                                      "flutter", "fibrillatory", "none"};
    return names[static_cast<std::size_t>(waves)];
}

std::string storedValue(NextStep step) {
    static constexpr std::array<const char*, 6> names{"observe",      "assess", "cardiovert",
                                                      "defibrillate", "pace",   "cpr"};
    return names[static_cast<std::size_t>(step)];
}

std::vector<WorksheetEntry> worksheetEntries(const WorksheetTruth& truth,
                                             const WorksheetAnswer& answer,
                                             const WorksheetMarks& marks) {
    std::string steps;
    for (unsigned step = 0; step <= static_cast<unsigned>(NextStep::cpr); ++step) {
        if (truth.traits.accepts(static_cast<NextStep>(step))) {
            if (!steps.empty()) {
                steps += '|';
            }
            steps += storedValue(static_cast<NextStep>(step));
        }
    }
    const std::array<std::pair<std::string, std::string>, worksheetFieldCount> values{{
        {answer.atrialUnmeasurable ? std::string("unmeasurable") : textOf(answer.atrialRate),
         textOf(truth.atrialRate)},
        {textOf(answer.ventricularRate), textOf(truth.ventricularRate)},
        {textOf(answer.regularity), storedValue(truth.traits.regularity)},
        {textOf(answer.pWaves), storedValue(truth.pWaves)},
        {textOf(answer.pr), textOf(truth.pr)},
        {textOf(answer.qrsMs), textOf(truth.qrsMs)},
        {textOf(answer.rhythm), rhythmId(truth.rhythm)},
        {textOf(answer.nextStep), steps},
    }};
    std::vector<WorksheetEntry> entries;
    entries.reserve(values.size());
    for (std::size_t index = 0; index < values.size(); ++index) {
        entries.push_back({storedName(static_cast<WorksheetField>(index)), values[index].first,
                           values[index].second, marks[index]});
    }
    return entries;
}

} // namespace pulsavo
