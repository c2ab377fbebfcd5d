#include "StripFacts.h"

#include "Calipers.h"
#include "ExamStrip.h"
#include "Monitor.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace pulsavo {

namespace {

std::optional<int> rateOf(const std::vector<std::int64_t>& onsets) {
    if (onsets.size() < 2) {
        return std::nullopt;
    }
    const double cycle = static_cast<double>(onsets.back() - onsets.front()) /
                         static_cast<double>(onsets.size() - 1);
    return static_cast<int>(std::lround(6000.0 / cycle));
}

std::vector<int> widths(const std::vector<calipers::Interval>& intervals) {
    std::vector<int> ms;
    ms.reserve(intervals.size());
    for (const calipers::Interval& interval : intervals) {
        ms.push_back(interval.ms());
    }
    std::sort(ms.begin(), ms.end());
    return ms;
}

} // namespace

StripFacts measureStrip(std::span<const WaveEvent> events, std::int64_t first, std::int64_t last) {
    using calipers::Kind;
    StripFacts facts;

    std::vector<std::int64_t> atria;
    std::vector<std::int64_t> waves; // flutter and fibrillation waves, when there is no P
    std::vector<std::int64_t> ventricles;
    int abnormal = 0;
    bool flutter = false;
    for (const WaveEvent& event : events) {
        if (event.role == WaveRole::missing || event.tick < first ||
            event.tick + event.length - 1 > last) {
            continue;
        }
        if (event.kind == WaveKind::p) {
            atria.push_back(event.tick);
            abnormal += event.inverted || event.role == WaveRole::supraventricular ||
                        event.role == WaveRole::escape;
        } else if (event.kind == WaveKind::atrialFlutter ||
                   event.kind == WaveKind::atrialFibrillation) {
            waves.push_back(event.tick);
            flutter = event.kind == WaveKind::atrialFlutter;
        } else if (isVentricularComplex(event.kind)) {
            ventricles.push_back(event.peakTick());
        }
    }
    facts.atrialRate = rateOf(atria.size() >= 2 ? atria : waves);
    facts.ventricularRate = rateOf(ventricles);
    if (waves.size() >= 2) {
        facts.pWaves = flutter ? PWaves::flutter : PWaves::fibrillatory;
    } else if (atria.empty()) {
        facts.pWaves = PWaves::none;
    } else if (atria.size() > ventricles.size() + 1) {
        facts.pWaves = PWaves::moreThanQrs;
    } else {
        facts.pWaves =
            2 * abnormal >= static_cast<int>(atria.size()) ? PWaves::abnormal : PWaves::normal;
    }

    const std::vector<int> pr = widths(calipers::intervals(Kind::pr, events, first, last));
    if (!pr.empty()) {
        facts.prMs = pr.front();
        facts.prMaxMs = pr.back();
        facts.prVaries = pr.back() - pr.front() > calipers::toleranceMs;
        if (!facts.prVaries) {
            facts.prMs = pr[pr.size() / 2];
        }
    }
    const std::vector<int> qrs = widths(calipers::intervals(Kind::qrs, events, first, last));
    if (!qrs.empty()) {
        facts.qrsMs = qrs[qrs.size() / 2];
    }
    return facts;
}

StripFacts examQuestionFacts(Rhythm rhythm, std::uint32_t seed) {
    Monitor monitor(examStripTicks, defaultPanelHeight, examStripTicks);
    monitor.setEventHistory(true);
    startExamQuestion(monitor, rhythm, seed);
    monitor.run(examStripTicks);
    const std::vector<WaveEvent> events = monitor.events();
    return measureStrip(events, 1, examStripTicks);
}

} // namespace pulsavo
