#pragma once

#include "Language.h"
#include "ProgressTypes.h"

#include <QDate>
#include <QLabel>

namespace pulsavo {

// What is due for review (今日の復習) today and on each of the next 14 days by the learner's FSRS
// schedule, and one readiness line: the areas of a telemetry test's outline below 85 %.
class DueView : public QLabel {
    Q_OBJECT
public:
    static constexpr int dayCount = 15;

    explicit DueView(QWidget* parent = nullptr);

    void showSummary(const ProgressSummary& summary, QDate today, catalogue::Language language);
};

} // namespace pulsavo
