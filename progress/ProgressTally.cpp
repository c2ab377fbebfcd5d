#include "ProgressTally.h"

#include <algorithm>

namespace pulsavo {

namespace {

std::size_t at(Rhythm rhythm) {
    return static_cast<std::size_t>(indexOf(rhythm));
}

bool counted(const AnswerRecord& answer, const ProgressFilter& filter) {
    return answer.kind.isEmpty() &&
           (filter.examCode.isEmpty() || answer.examCode == filter.examCode);
}

} // namespace

bool ProgressTally::fold(ProgressSummary& summary, const AnswerRecord& answer,
                         const ProgressFilter& filter) {
    if (answer.kind.isEmpty() && answer.time.isValid()) {
        const bool right = answer.correct.value_or(answer.answer == answer.shown);
        summary.schedule.record(
            {answer.shown,
             static_cast<std::int32_t>(answer.time.toLocalTime().date().toJulianDay()), right,
             answer.hinted, answer.answer});
    }
    if (!counted(answer, filter)) {
        return true;
    }
    if (summary.days.isEmpty() || !answer.time.isValid() ||
        answer.time.toLocalTime().date() != summary.days.constLast().day) {
        return false;
    }
    const bool correct = answer.correct.value_or(answer.answer == answer.shown);
    RhythmStats& stats = summary.rhythms[at(answer.shown)];
    ++stats.attempts;
    stats.correct += correct ? 1 : 0;
    stats.hinted += answer.hinted ? 1 : 0;
    if (stats.attempts == 1) {
        stats.medianMs = std::max(answer.answerMs, 0);
    }
    ++summary.attempts;
    summary.correct += correct ? 1 : 0;
    DayAccuracy& today = summary.days.last();
    // The streak ended yesterday while today had no answer; this one makes today count.
    if (today.attempts == 0) {
        ++summary.streak;
    }
    ++today.attempts;
    today.correct += correct ? 1 : 0;
    for (const WorksheetEntry& entry : answer.worksheet) {
        const QString field = QString::fromStdString(entry.field);
        auto stats =
            std::find_if(summary.worksheetFields.begin(), summary.worksheetFields.end(),
                         [&field](const WorksheetFieldStats& s) { return s.field >= field; });
        if (stats == summary.worksheetFields.end() || stats->field != field) {
            stats = summary.worksheetFields.insert(stats, WorksheetFieldStats{field, 0, 0});
        }
        ++stats->attempts;
        stats->correct += entry.correct ? 1 : 0;
    }
    if (answer.limitMs && correct && !answer.hinted) {
        auto row = std::find_if(summary.fluency.begin(), summary.fluency.end(),
                                [&answer](const RhythmFluency& f) {
                                    return indexOf(f.rhythm) >= indexOf(answer.shown);
                                });
        if (row == summary.fluency.end() || row->rhythm != answer.shown) {
            row = summary.fluency.insert(row, RhythmFluency{answer.shown, {}});
        }
        row->timesMs.insert(
            std::upper_bound(row->timesMs.begin(), row->timesMs.end(), answer.answerMs),
            answer.answerMs);
    }
    if (answer.answer) {
        ++summary.confusion[at(answer.shown)][at(*answer.answer)];
        if (*answer.answer != answer.shown) {
            summary.topConfusions = topPairs(summary.confusion, 5);
        }
    }
    return true;
}

bool ProgressTally::medianStale(const ProgressSummary& summary, const AnswerRecord& answer) {
    return answer.kind.isEmpty() && summary.rhythms[at(answer.shown)].attempts > 1;
}

QList<ConfusedPair> ProgressTally::topPairs(const ConfusionMatrix& confusion, int count) {
    QList<ConfusedPair> pairs;
    for (int shown = 0; shown < totalRhythmCount; ++shown) {
        for (int answered = 0; answered < totalRhythmCount; ++answered) {
            const int n =
                confusion[static_cast<std::size_t>(shown)][static_cast<std::size_t>(answered)];
            if (n > 0 && shown != answered) {
                pairs.append(ConfusedPair{*anyRhythmAt(shown), *anyRhythmAt(answered), n});
            }
        }
    }
    std::stable_sort(pairs.begin(), pairs.end(), [](const ConfusedPair& a, const ConfusedPair& b) {
        return a.count > b.count;
    });
    if (pairs.size() > count) {
        pairs.resize(std::max(count, 0));
    }
    return pairs;
}

} // namespace pulsavo
