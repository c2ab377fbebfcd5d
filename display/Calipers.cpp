#include "Calipers.h"

#include "RhythmLibrary.h"
#include "Simulation.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <limits>
#include <map>

namespace pulsavo::calipers {

namespace {

// The last step of a complex: the first step after its crest whose running sum is back on or
// across the baseline.
template <std::size_t N> constexpr int endStepOf(const std::array<int, N>& wave, int peak) {
    int sum = 0;
    int crest = 0;
    for (std::size_t i = 0; i < N; ++i) {
        sum += wave[i];
        if (static_cast<int>(i) == peak) {
            crest = sum;
        } else if (static_cast<int>(i) > peak && (sum == 0 || (sum > 0) != (crest > 0))) {
            return static_cast<int>(i);
        }
    }
    return static_cast<int>(N) - 1;
}

constexpr int ventricularEndStep =
    endStepOf(Simulation::ventricularBeat, 5); // the crest, see peakStep
static_assert(ventricularEndStep == 15, "a wide complex of 160 ms");

bool drawn(const WaveEvent& event) {
    return event.role != WaveRole::missing;
}

} // namespace

namespace {

// What a learner measures on a library rhythm: what its criteria are stated in.
std::span<const Kind> libraryTasksOf(Rhythm rhythm) {
    static constexpr std::array sinus{Kind::rr, Kind::pr, Kind::qrs};
    static constexpr std::array rate{Kind::rr};
    static constexpr std::array wide{Kind::qrs, Kind::rr};
    static constexpr std::array ectopic{Kind::qrs};
    static constexpr std::array pause{Kind::pp};
    static constexpr std::array conduction{Kind::pr};
    static constexpr std::array mobitz{Kind::pr, Kind::pp};
    static constexpr std::array dissociation{Kind::pp, Kind::rr};
    static constexpr std::array preExcitation{Kind::pr, Kind::qrs};
    // Escape rhythms as slow as 20/min may not show two QRS complexes on one panel.
    static constexpr std::array slowWide{Kind::pp, Kind::qrs};
    const auto library = libraryRhythmOf(rhythm);
    if (!library) {
        return {};
    }
    using enum LibraryRhythm;
    switch (*library) {
    case sinusRhythm:
    case sinusBradycardia:
    case sinusTachycardia:
        return sinus;
    case sinusArrhythmia:
    case sinusArrest:
    case saBlock:
        return pause;
    case avBlock1:
    case mobitz1:
        return conduction;
    case mobitz2:
    case avBlock2to1:
        return mobitz;
    case chbNarrow:
        return dissociation;
    case chbWide:
        return slowWide;
    case pWaveAsystole:
        return pause;
    case wpw:
        return preExcitation;
    case idioventricular:
        return ectopic;
    case bbb:
    case aivr:
    case vtMonomorphic:
    case vtPulseless:
    case pacedVentricular:
        return wide;
    case pvcUnifocal:
    case pvcMultifocal:
    case ventricularBigeminy:
    case ventricularTrigeminy:
    case pvcCouplets:
    case pvcROnT:
    case nsvt:
        return ectopic;
    case torsades:
    case vfCoarse:
    case vfFine:
    case ventricularFlutter:
    case asystole:
        return {};
    default:
        return rate;
    }
}

} // namespace

std::span<const Kind> tasksOf(Rhythm rhythm) {
    static constexpr std::array sinus{Kind::rr, Kind::pr, Kind::qrs};
    static constexpr std::array rate{Kind::rr};
    static constexpr std::array wide{Kind::qrs};
    static constexpr std::array tachycardia{Kind::rr, Kind::qrs};
    static constexpr std::array pause{Kind::pp};
    static constexpr std::array conduction{Kind::pr};
    static constexpr std::array mobitz{Kind::pr, Kind::pp};
    static constexpr std::array dissociation{Kind::pp, Kind::rr};
    switch (rhythm) {
    case Rhythm::sinusRhythm:
        return sinus;
    case Rhythm::supraventricularPremature:
    case Rhythm::atrialTachycardia:
    case Rhythm::junctionalTachycardia:
    case Rhythm::atrialFibrillation:
    case Rhythm::atrialFlutter:
    case Rhythm::shortRun:
        return rate;
    case Rhythm::sporadicPvc:
    case Rhythm::multifocalPvc:
    case Rhythm::rOnT:
        return wide;
    case Rhythm::ventricularTachycardia:
        return tachycardia;
    case Rhythm::ventricularFibrillation:
        return {};
    case Rhythm::sinusArrest:
    case Rhythm::sinoatrialBlock:
        return pause;
    case Rhythm::firstDegreeBlock:
    case Rhythm::wenckebachBlock:
        return conduction;
    case Rhythm::mobitzBlock:
        return mobitz;
    case Rhythm::completeBlock:
        return dissociation;
    }
    return libraryTasksOf(rhythm);
}

std::optional<Kind> taskFor(Rhythm rhythm, std::uint32_t seed) {
    const std::span<const Kind> tasks = tasksOf(rhythm);
    if (tasks.empty()) {
        return std::nullopt;
    }
    return tasks[seed % tasks.size()];
}

const char* storedName(Kind kind) {
    switch (kind) {
    case Kind::rr:
        return "rr";
    case Kind::pp:
        return "pp";
    case Kind::pr:
        return "pr";
    case Kind::qrs:
        return "qrs";
    }
    return "";
}

std::optional<double> ratePerMinute(int ms) {
    if (ms <= 0) {
        return std::nullopt;
    }
    return 60000.0 / ms;
}

int labelLeft(int fromX, int toX, int textWidth, int panelWidth, int gap) {
    const int first = std::min(fromX, toX);
    const int last = std::max(fromX, toX);
    if (last - first - 2 * gap >= textWidth) {
        return first + gap;
    }
    if (last + gap + textWidth <= panelWidth) {
        return last + gap;
    }
    if (first - gap - textWidth >= 0) {
        return first - gap - textWidth;
    }
    return std::clamp(last + gap, 0, std::max(0, panelWidth - textWidth));
}

int labelLeft(int fromX, int toX, int textWidth, int panelWidth, std::span<const int> lines,
              int gap) {
    const int first = std::min(fromX, toX);
    const int last = std::max(fromX, toX);
    const auto clear = [&](int left) {
        return left >= 0 && left + textWidth <= panelWidth &&
               std::none_of(lines.begin(), lines.end(),
                            [&](int x) { return x > left - gap && x < left + textWidth + gap; });
    };
    for (const int left : {first + gap, last + gap, first - gap - textWidth}) {
        if (clear(left)) {
            return left;
        }
    }
    // The stretches between the lines, with the panel's edges as their outer bounds.
    std::vector<int> bounds(lines.begin(), lines.end());
    std::sort(bounds.begin(), bounds.end());
    const int centre = (first + last) / 2;
    std::optional<int> best;
    int lowest = 0;
    for (std::size_t i = 0; i <= bounds.size(); ++i) {
        const int from = i == 0 ? 0 : bounds[i - 1] + gap;
        const int to = (i == bounds.size() ? panelWidth : bounds[i] - gap) - textWidth;
        if (from > to) {
            continue;
        }
        const int left = std::clamp(centre - textWidth / 2, from, to);
        const int distance = std::abs(left + textWidth / 2 - centre);
        if (!best || distance < lowest) {
            best = left;
            lowest = distance;
        }
    }
    return best ? *best : labelLeft(fromX, toX, textWidth, panelWidth, gap);
}

std::optional<std::size_t> taskCaliper(std::span<const Caliper> set, int selected, Kind task) {
    if (selected >= 0 && static_cast<std::size_t>(selected) < set.size() &&
        set[static_cast<std::size_t>(selected)].kind == task) {
        return static_cast<std::size_t>(selected);
    }
    for (std::size_t i = set.size(); i > 0; --i) {
        if (set[i - 1].kind == task) {
            return i - 1;
        }
    }
    return std::nullopt;
}

std::vector<LetterPlace> letterPlaces(std::span<const int> columns, int letterWidth, int panelWidth,
                                      int lanes) {
    // A mark's line is one column with a foot a column wider either side; a letter starts just
    // past the foot.
    constexpr int reach = 2;
    std::vector<LetterPlace> placed;
    std::vector<int> laneEnd(static_cast<std::size_t>(std::max(1, lanes)),
                             std::numeric_limits<int>::min());
    for (const int column : columns) {
        const int left = column + reach + letterWidth <= panelWidth
                             ? column + reach
                             : column - reach - letterWidth + 1;
        const int right = left + letterWidth; // exclusive
        const auto crossesLine = [&] {
            return std::any_of(columns.begin(), columns.end(), [&](int other) {
                return other != column && other + reach > left && other - reach < right;
            });
        };
        int lane = 0;
        while (lane + 1 < static_cast<int>(laneEnd.size()) &&
               (laneEnd[static_cast<std::size_t>(lane)] >= left || (lane == 0 && crossesLine()))) {
            ++lane;
        }
        laneEnd[static_cast<std::size_t>(lane)] = right;
        placed.push_back({left, lane});
    }
    return placed;
}

std::int64_t onsetTick(const WaveEvent& event) {
    return event.tick - 1;
}

std::int64_t qrsEndTick(const WaveEvent& event) {
    if (event.kind == WaveKind::ventricularBeat) {
        // The classic template carries its own repolarisation; the library's complexes end
        // with the QRS and have a T wave of their own.
        return event.tick + std::min(event.length - 1, ventricularEndStep);
    }
    return event.tick + event.length - 1;
}

std::vector<Mark> marks(std::span<const WaveEvent> events, std::int64_t first, std::int64_t last) {
    std::vector<Mark> found;
    const auto add = [&](std::int64_t tick, MarkKind kind) {
        if (tick >= first && tick <= last) {
            found.push_back({tick, kind});
        }
    };
    for (const WaveEvent& event : events) {
        if (!drawn(event)) {
            continue;
        }
        if (event.kind == WaveKind::p) {
            add(onsetTick(event), MarkKind::pOnset);
        } else if (isVentricularComplex(event.kind)) {
            add(onsetTick(event), MarkKind::qrsOnset);
            add(event.peakTick(), MarkKind::rPeak);
        } else if (event.kind == WaveKind::t) {
            add(event.tick + event.length - 1, MarkKind::tEnd);
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Mark& a, const Mark& b) { return a.tick < b.tick; });
    return found;
}

std::vector<Interval> intervals(Kind kind, std::span<const WaveEvent> events, std::int64_t first,
                                std::int64_t last) {
    std::vector<Interval> found;
    const auto add = [&](std::int64_t from, std::int64_t to) {
        if (from >= first && to <= last && from < to) {
            found.push_back({from, to});
        }
    };
    std::vector<std::int64_t> points;
    switch (kind) {
    case Kind::rr:
    case Kind::pp:
        for (const WaveEvent& event : events) {
            if (!drawn(event)) {
                continue;
            }
            if (kind == Kind::rr && isVentricularComplex(event.kind)) {
                points.push_back(event.peakTick());
            } else if (kind == Kind::pp && event.kind == WaveKind::p) {
                points.push_back(onsetTick(event));
            }
        }
        std::sort(points.begin(), points.end());
        points.erase(std::unique(points.begin(), points.end()), points.end());
        for (std::size_t i = 1; i < points.size(); ++i) {
            add(points[i - 1], points[i]);
        }
        break;
    case Kind::pr: {
        // A beat's P wave and the complex it conducts to carry the same beat number.
        std::map<std::int64_t, std::int64_t> pOnsets;
        for (const WaveEvent& event : events) {
            if (drawn(event) && event.kind == WaveKind::p) {
                pOnsets[event.beat] = onsetTick(event);
            }
        }
        for (const WaveEvent& event : events) {
            if (drawn(event) && isVentricularComplex(event.kind)) {
                const auto p = pOnsets.find(event.beat);
                if (p != pOnsets.end()) {
                    add(p->second, onsetTick(event));
                }
            }
        }
        break;
    }
    case Kind::qrs:
        for (const WaveEvent& event : events) {
            if (drawn(event) && isVentricularComplex(event.kind)) {
                add(onsetTick(event), qrsEndTick(event));
            }
        }
        break;
    }
    std::sort(found.begin(), found.end(), [](const Interval& a, const Interval& b) {
        return a.from != b.from ? a.from < b.from : a.to < b.to;
    });
    return found;
}

std::optional<Score> score(const Caliper& caliper, std::span<const Interval> truths) {
    const std::int64_t from = std::min(caliper.from, caliper.to);
    const std::int64_t to = std::max(caliper.from, caliper.to);
    const Interval* nearest = nullptr;
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    for (const Interval& truth : truths) {
        const std::int64_t distance = (from > truth.from ? from - truth.from : truth.from - from) +
                                      (to > truth.to ? to - truth.to : truth.to - to);
        if (distance < best) {
            best = distance;
            nearest = &truth;
        }
    }
    if (nearest == nullptr) {
        return std::nullopt;
    }
    Score result;
    result.truth = *nearest;
    result.measuredMs = caliper.ms();
    result.errorMs = result.measuredMs - nearest->ms();
    result.right = isRight(result.errorMs);
    return result;
}

} // namespace pulsavo::calipers
