#include "GuidedReading.h"

#include "Worksheet.h"

#include <algorithm>
#include <cstdlib>

namespace pulsavo {

GuidedReading::GuidedReading(std::span<const WaveEvent> events, std::int64_t first,
                             std::int64_t last, Rhythm rhythm, bool sixSecondCount)
    : waves(events.begin(), events.end()), firstTick(first), lastTick(last), shown(rhythm),
      sixSecond(sixSecondCount), measured(measureStrip(events, first, last)) {
    // The six seconds counted end with the newest sample drawn.
    countFrom(std::max(first, last - sixSecondTicks));
}

void GuidedReading::countFrom(std::int64_t from) {
    // A complex counts when its peak lies between the marks.
    windowFrom = from;
    counted = 0;
    for (const WaveEvent& event : waves) {
        const std::int64_t peak = event.peakTick();
        counted += isVentricularComplex(event.kind) && event.role != WaveRole::missing &&
                           peak >= windowFrom && peak <= sixTo()
                       ? 1
                       : 0;
    }
}

std::optional<int> GuidedReading::truth(Step step) const {
    switch (step) {
    case Step::rate:
        return sixSecond ? std::optional(counted) : measured.ventricularRate;
    case Step::regularity:
        return static_cast<int>(traitsOf(shown).regularity);
    case Step::pWaves:
        return static_cast<int>(measured.pWaves);
    case Step::pr:
        if (measured.prVaries) {
            return prVaries;
        }
        return measured.prMs ? measured.prMs : std::optional(prNone);
    case Step::qrs:
        return measured.qrsMs;
    case Step::name:
        return indexOf(shown);
    }
    return std::nullopt;
}

bool GuidedReading::check(int value) const {
    const std::optional<int> right = truth(current);
    switch (current) {
    case Step::rate:
        // Counting on paper, a complex at a mark may be taken in or left out.
        return sixSecond ? right && std::abs(value - *right) <= 1 : rateIsRight(right, value);
    case Step::regularity:
        return traitsOf(shown).accepts(static_cast<Regularity>(value));
    case Step::pr:
        return value < 0 || *right < 0 ? value == *right : intervalIsRight(right, value);
    case Step::qrs:
        return intervalIsRight(right, value);
    case Step::pWaves:
    case Step::name:
        return right == value;
    }
    return false;
}

bool GuidedReading::next() {
    if (current == Step::name) {
        return false;
    }
    current = static_cast<Step>(static_cast<int>(current) + 1);
    return true;
}

std::vector<calipers::Caliper> GuidedReading::calipersFor(Step step, int atMost) const {
    using calipers::Kind;
    if (step == Step::rate && sixSecond) {
        return {}; // the six-second marks and the count say it
    }
    Kind kind = Kind::rr;
    switch (step) {
    case Step::rate:
    case Step::regularity:
        kind = Kind::rr;
        break;
    case Step::pWaves:
        kind = Kind::pp;
        break;
    case Step::pr:
    case Step::name:
        // The name rests on the PR above all in the AV blocks: its lengthening is Wenckebach.
        kind = Kind::pr;
        break;
    case Step::qrs:
        kind = Kind::qrs;
        atMost = std::min(atMost, 1);
        break;
    }
    std::vector<calipers::Caliper> shownCalipers;
    for (const calipers::Interval& interval :
         calipers::intervals(kind, waves, firstTick, lastTick)) {
        if (static_cast<int>(shownCalipers.size()) >= atMost) {
            break;
        }
        shownCalipers.push_back({interval.from, interval.to, kind});
    }
    return shownCalipers;
}

} // namespace pulsavo
