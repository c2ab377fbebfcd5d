#pragma once

#include "DecidingCriteria.h"

#include <optional>

namespace pulsavo {

// What a strip measures, as the feedback after a miss sets it beside the textbook.
struct MeasuredFacts {
    std::optional<int> rate; // ventricular, per minute
    std::optional<int> prMs;
    bool prVaries = false;
    std::optional<int> qrsMs;
};

// Whether each measured fact lies within the right rhythm's textbook range.
struct FactFit {
    bool rate = false;
    bool pr = false;
    bool qrs = false;
    bool all() const { return rate && pr && qrs; }
};

// The PR as a reader writes it down: none, varies, or short, normal or long.
catalogue::PrKind prReadingOf(const MeasuredFacts& facts);
FactFit fitOf(const MeasuredFacts& facts, const catalogue::TextbookRange& range);

// What the feedback teaches after a miss: the sign that decides between the right rhythm and
// the one chosen, and this strip's facts beside the right rhythm's range.
struct Difference {
    catalogue::DecidingCriterion criterion;
    catalogue::TextbookRange range;
    MeasuredFacts facts;
    FactFit fit;
};

Difference differenceOf(Rhythm shown, Rhythm taken, const MeasuredFacts& facts,
                        catalogue::Language language);

} // namespace pulsavo
