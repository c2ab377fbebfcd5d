#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace pulsavo::scenario {

// What a debrief entry records. The ids are written into the CSV and JSON exports; keep them.
enum class EntryKind {
    scenarioStarted, // subject: the scenario's title
    stepStarted,     // step and its title; value: the rhythm id
    rhythm,          // a rhythm chosen or a transition to it; value: the rhythm id
    parameter,       // subject: the live parameter's id; value: the new value; detail: the ramp
    event,           // an instructor event (PVC now, shock, ...)
    freeze,
    resume,
    answer, // a learner's answer: subject the learner, value the answer, detail the verdict
    note,
    scenarioEnded,
};

std::string_view entryKindId(EntryKind kind);

struct DebriefEntry {
    long long tick = 0; // the monitor's tick the entry happened before
    EntryKind kind = EntryKind::note;
    int step = -1; // from 0; -1 outside a scenario's steps
    QString subject;
    QString value;
    QString detail;
    bool operator==(const DebriefEntry&) const = default;
};

// A time-stamped record of everything shown and changed during a session, in the order it
// happened. It only records: whoever changes the monitor writes the entry.
class DebriefLog {
public:
    void add(DebriefEntry entry);
    const std::vector<DebriefEntry>& entries() const { return list; }
    void clear() { list.clear(); }

    // One row per entry: seconds,tick,kind,step,subject,value,detail. Steps count from 1 as
    // people read them; text cells are quoted, and a cell a spreadsheet would take for a formula
    // gets a leading apostrophe.
    QByteArray csv() const;
    // {"entries": [{"seconds": …, "tick": …, "kind": …, "step": …, "subject": …, …}]}
    QByteArray json() const;

private:
    std::vector<DebriefEntry> list;
};

} // namespace pulsavo::scenario
