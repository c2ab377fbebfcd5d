#include "Remediation.h"

#include <algorithm>

namespace pulsavo {

RhythmSet Remediation::rhythms() const {
    RhythmSet set;
    for (const Rhythm rhythm : weak) {
        set.insert(rhythm);
    }
    for (const Rhythm rhythm : contrast) {
        set.insert(rhythm);
    }
    return set;
}

Remediation chooseRemediation(const std::vector<RhythmTally>& tallies,
                              const std::vector<ConfusionTally>& confusions, int maxWeak) {
    std::vector<RhythmTally> missed;
    std::copy_if(tallies.begin(), tallies.end(), std::back_inserter(missed),
                 [](const RhythmTally& t) { return t.asked > 0 && t.credited < t.asked; });
    // Shares compared as cross products: exact, so equal shares tie however they were reached.
    std::sort(missed.begin(), missed.end(), [](const RhythmTally& a, const RhythmTally& b) {
        const long long left = static_cast<long long>(a.credited) * b.asked;
        const long long right = static_cast<long long>(b.credited) * a.asked;
        if (left != right) {
            return left < right;
        }
        if (a.asked != b.asked) {
            return a.asked > b.asked;
        }
        return indexOf(a.rhythm) < indexOf(b.rhythm);
    });
    Remediation out;
    for (const RhythmTally& tally : missed) {
        if (static_cast<int>(out.weak.size()) >= maxWeak) {
            break;
        }
        out.weak.push_back(tally.rhythm);
    }
    RhythmSet chosen = out.rhythms();
    for (const Rhythm rhythm : out.weak) {
        const ConfusionTally* commonest = nullptr;
        for (const ConfusionTally& pair : confusions) {
            if (pair.shown != rhythm || pair.answered == rhythm || pair.count <= 0) {
                continue;
            }
            if (commonest == nullptr || pair.count > commonest->count ||
                (pair.count == commonest->count &&
                 indexOf(pair.answered) < indexOf(commonest->answered))) {
                commonest = &pair;
            }
        }
        if (commonest != nullptr && !chosen.contains(commonest->answered)) {
            out.contrast.push_back(commonest->answered);
            chosen.insert(commonest->answered);
        }
    }
    return out;
}

ExamResult remediationExam(const Exam& graded, const Remediation& remediation, int count,
                           std::uint32_t seed) {
    return makeExam(count, seed, remediation.rhythms(), graded.settings);
}

} // namespace pulsavo
