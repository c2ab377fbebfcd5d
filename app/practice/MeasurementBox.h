#pragma once

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
    void refuse(const QString& why);
    void showScore(const QString& verdict, bool right);

    // `task` is the kind asked for, open or given; none leaves the task's text empty.
    void retranslate(std::optional<calipers::Kind> task);

signals:
    void submitRequested();

private:
    QLabel* taskLabel = nullptr;
    QPushButton* submitButton = nullptr;
    QLabel* resultLabel = nullptr;
};

} // namespace pulsavo
