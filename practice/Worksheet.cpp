#include "Worksheet.h"

#include <algorithm>
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
bool atrialRateIsRight(const WorksheetTruth& truth, std::optional<int> answer) {
    return truth.atrialRate ? rateIsRight(truth.atrialRate, answer) : !answer.has_value();
}

} // namespace

WorksheetMarks markWorksheet(const WorksheetTruth& truth, const WorksheetAnswer& answer) {
    WorksheetMarks marks{};
    const auto set = [&marks](WorksheetField field, bool right) {
        marks[static_cast<std::size_t>(field)] = right;
    };
    set(WorksheetField::atrialRate, atrialRateIsRight(truth, answer.atrialRate));
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

} // namespace pulsavo
