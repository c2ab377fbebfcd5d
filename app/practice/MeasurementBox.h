#pragma once

#include "CaliperOverlay.h"
#include "Calipers.h"

#include <QGroupBox>

#include <optional>

class QLabel;
class QPushButton;

namespace pulsavo {

// The measurement asked after an answer, so that the true waves it shows give nothing away:
// what to measure, the button that gives it and the verdict or the reason it was refused.
class MeasurementBox : public QGroupBox {
    Q_OBJECT
public:
    explicit MeasurementBox(QWidget* parent = nullptr);

    // A task to give (shown, its button on) or none (hidden).
    void showTask(std::optional<calipers::Kind> task);
    // The overlay's caliper that gives `task` (the selected one, else the last one set for it),
    // scored, its true waves then marked; none, with the reason beside the task, while the
    // monitor runs, without such a caliper or without such an interval in view.
    std::optional<CaliperOverlay::Result> score(calipers::Kind task, bool frozen,
                                                CaliperOverlay& overlay);
    // A scored measurement, once kept: it is given once only.
    void showScore(const CaliperOverlay::Result& given);

    // `task` is the kind asked for, open or given; none leaves the task's text empty.
    void retranslate(std::optional<calipers::Kind> task);

signals:
    void submitRequested();

private:
    void refuse(const QString& why);

    QLabel* taskLabel = nullptr;
    QPushButton* submitButton = nullptr;
    QLabel* resultLabel = nullptr;
};

} // namespace pulsavo
