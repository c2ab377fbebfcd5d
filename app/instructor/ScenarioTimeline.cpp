#include "ScenarioTimeline.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace pulsavo {

ScenarioTimeline::ScenarioTimeline(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize ScenarioTimeline::sizeHint() const {
    return {240, fontMetrics().height() + 12};
}

void ScenarioTimeline::setScenario(const scenario::Scenario& shown) {
    lengths.clear();
    manual.clear();
    for (const scenario::Step& step : shown.steps) {
        lengths.push_back(std::max(1LL, step.headlessTicks()));
        manual.push_back(step.advance == scenario::Advance::manual);
    }
    current = -1;
    elapsed = 0;
    update();
}

void ScenarioTimeline::setProgress(int step, long long ticks) {
    if (step != current) {
        current = step;
        elapsed = ticks;
        update();
        return;
    }
    // The cursor moves a pixel every second or so; the strip is repainted only when it does,
    // and then only around the cursor, not on every frame the console shows.
    const int before = static_cast<int>(cursorAt());
    elapsed = ticks;
    const int after = static_cast<int>(cursorAt());
    if (after != before) {
        update(QRect(std::min(before, after) - 2, 0, std::abs(after - before) + 5, height()));
    }
}

double ScenarioTimeline::perTick() const {
    const long long total = std::accumulate(lengths.begin(), lengths.end(), 0LL);
    return total > 0 ? (width() - 1.0) / static_cast<double>(total) : 0.0;
}

double ScenarioTimeline::cursorAt() const {
    if (current < 0 || current >= static_cast<int>(lengths.size())) {
        return -1;
    }
    const auto step = static_cast<std::size_t>(current);
    const long long before = std::accumulate(lengths.begin(), lengths.begin() + current, 0LL);
    const double done =
        std::min(1.0, static_cast<double>(elapsed) / static_cast<double>(lengths[step]));
    return (static_cast<double>(before) + done * static_cast<double>(lengths[step])) * perTick();
}

void ScenarioTimeline::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const double scale = perTick();
    if (scale <= 0) {
        return;
    }
    double x = 0;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        const QRectF box(x, 1, static_cast<double>(lengths[i]) * scale, height() - 2);
        const bool lit = static_cast<int>(i) == current;
        painter.fillRect(box, lit ? palette().highlight() : palette().button());
        if (manual[i]) {
            painter.fillRect(box, QBrush(palette().mid().color(), Qt::BDiagPattern));
        }
        painter.setPen(palette().dark().color());
        painter.drawRect(box);
        painter.setPen(lit ? palette().highlightedText().color() : palette().buttonText().color());
        painter.drawText(box, Qt::AlignCenter, QString::number(i + 1));
        x += box.width();
    }
    const double at = cursorAt();
    if (at >= 0) {
        painter.setPen(QPen(Qt::red, 2));
        painter.drawLine(QPointF(at, 0), QPointF(at, height()));
    }
}

} // namespace pulsavo
