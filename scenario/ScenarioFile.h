#pragma once

#include "Language.h"
#include "Scenario.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace pulsavo::scenario {

// Why a file was refused: the step it concerns (from 0; -1 for the file as a whole) and the
// reason, already translated.
struct Problem {
    int step = -1;
    Title stepTitle;
    QString reason;

    // "step 3 (Atropine): reason", "step 3: reason" when the step has no readable title, or the
    // reason alone; the title in `language` when the file gives it.
    QString text(catalogue::Language language = catalogue::Language::japanese) const;
};

struct ReadResult {
    std::optional<Scenario> scenario;
    Problem problem;
    bool ok() const { return scenario.has_value(); }
};

// Reads and validates a scenario: every rhythm, live parameter, transition and event known,
// every value in range for its step's rhythm, every text within its cap. A file that fails any
// check gives no scenario at all, never a part of one.
ReadResult parseScenario(const QByteArray& data);
// The same from a file, read up to maxFileBytes; a larger file is refused unread.
ReadResult readScenarioFile(const QString& path);

// The scenarios shipped with the program, as resource paths (":/scenarios/NAME.json"), sorted.
QStringList shippedScenarios();

// The file form of a scenario; parseScenario reads it back equal.
QByteArray scenarioJson(const Scenario& scenario);
// Validates and writes the scenario atomically (the old file stays whole on any failure);
// the reason, translated, when it did not.
std::optional<QString> saveScenarioFile(const Scenario& scenario, const QString& path);

} // namespace pulsavo::scenario
