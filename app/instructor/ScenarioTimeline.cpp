#include "ScenarioTimeline.h"

#include <QPainter>

#include <algorithm>
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
    if (step != current || ticks != elapsed) {
        current = step;
        elapsed = ticks;
        update();
    }
}

void ScenarioTimeline::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const long long total = std::accumulate(lengths.begin(), lengths.end(), 0LL);
    if (total <= 0) {
        return;
    }
    const double perTick = (width() - 1.0) / static_cast<double>(total);
    double x = 0;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        const QRectF box(x, 1, static_cast<double>(lengths[i]) * perTick, height() - 2);
        const bool lit = static_cast<int>(i) == current;
        painter.fillRect(box, lit ? palette().highlight() : palette().button());
        if (manual[i]) {
            painter.fillRect(box, QBrush(palette().mid().color(), Qt::BDiagPattern));
        }
        painter.setPen(palette().dark().color());
        painter.drawRect(box);
        painter.setPen(lit ? palette().highlightedText().color() : palette().buttonText().color());
        painter.drawText(box, Qt::AlignCenter, QString::number(i + 1));
        if (lit) {
            const double at = box.left() + std::min(1.0, static_cast<double>(elapsed) /
                                                             static_cast<double>(lengths[i])) *
                                               box.width();
            painter.setPen(QPen(Qt::red, 2));
            painter.drawLine(QPointF(at, 0), QPointF(at, height()));
        }
        x += box.width();
    }
}

} // namespace pulsavo
