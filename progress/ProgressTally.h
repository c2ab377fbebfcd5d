#pragma once

#include "ProgressTypes.h"

namespace pulsavo {

// Keeps a summary the progress window shows up to date one answer at a time, so that an answer
// costs the window microseconds instead of a pass over every stored answer.
class ProgressTally {
public:
    // Folds `answer`, as the store wrote it, into `summary`, which ProgressStore::summary()
    // made with `filter`. False when the answer's local day is not the summary's last day (a
    // midnight passed, or an answer from another day): read the summary again instead. The
    // rhythm's median answer time is left as it was; medianStale() says whether it moved.
    static bool fold(ProgressSummary& summary, const AnswerRecord& answer,
                     const ProgressFilter& filter);
    // Whether fold() left the median of the answer's rhythm behind the answers it counts.
    static bool medianStale(const ProgressSummary& summary, const AnswerRecord& answer);
    // The pairs most often confused, as ProgressStore::topConfusions() ranks them.
    static QList<ConfusedPair> topPairs(const ConfusionMatrix& confusion, int count);
};

} // namespace pulsavo
