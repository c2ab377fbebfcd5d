#include "Difference.h"

namespace pulsavo {

using namespace catalogue;

PrKind prReadingOf(const MeasuredFacts& facts) {
    if (!facts.prMs) {
        return prNone;
    }
    if (facts.prVaries) {
        return prVaries;
    }
    if (*facts.prMs < prNormalLoMs) {
        return prShort;
    }
    return *facts.prMs > prNormalHiMs ? prLong : prNormal;
}

FactFit fitOf(const MeasuredFacts& facts, const TextbookRange& range) {
    FactFit fit;
    // A range without a rate fits a strip with no countable QRS.
    fit.rate = range.hasRate()
                   ? facts.rate && *facts.rate >= range.rateLo && *facts.rate <= range.rateHi
                   : !facts.rate;
    fit.pr = (range.pr & prReadingOf(facts)) != 0;
    switch (range.qrs) {
    case QrsWidth::narrow:
        fit.qrs = facts.qrsMs && *facts.qrsMs < qrsWideMs;
        break;
    case QrsWidth::wide:
        fit.qrs = facts.qrsMs && *facts.qrsMs >= qrsWideMs;
        break;
    case QrsWidth::either:
        fit.qrs = facts.qrsMs.has_value();
        break;
    case QrsWidth::none:
        fit.qrs = !facts.qrsMs;
        break;
    }
    return fit;
}

Difference differenceOf(Rhythm shown, Rhythm taken, const MeasuredFacts& facts, Language language) {
    Difference difference;
    difference.criterion = decidingCriterion(shown, taken, language);
    difference.range = textbookRangeOf(shown);
    difference.facts = facts;
    difference.fit = fitOf(facts, difference.range);
    return difference;
}

} // namespace pulsavo
