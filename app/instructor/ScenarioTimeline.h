#pragma once

#include "Scenario.h"

#include <QWidget>

namespace pulsavo {

// A scenario's steps as a strip: each as wide as its time (a manual step its headless time,
// hatched), the step playing lit and a cursor at how far it has got.
class ScenarioTimeline : public QWidget {
    Q_OBJECT
public:
    explicit ScenarioTimeline(QWidget* parent = nullptr);

    void setScenario(const scenario::Scenario& shown);
    // The step playing (-1: none) and its ticks so far.
    void setProgress(int step, long long ticks);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double perTick() const;
    // The cursor's x for the step playing, -1 with none.
    double cursorAt() const;

    std::vector<long long> lengths;
    std::vector<bool> manual;
    int current = -1;
    long long elapsed = 0;
};

} // namespace pulsavo
