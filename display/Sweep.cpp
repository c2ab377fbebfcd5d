#include "Sweep.h"

#include <QPainter>

namespace pulsavo {

namespace {
// Round caps like the original monitor's 2 px pens; they reach one pixel past each end.
QPen tracePen(const QColor& colour) {
    return QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}
constexpr int penReach = 2;
} // namespace

Sweep::Sweep(int width, int height)
    : width(width), height(height), normalPen(tracePen(normalColour)),
      alertPen(tracePen(alertColour)) {}

Sweep::Step Sweep::advance(const TickSample& sample) {
    Step step;
    step.red = sample.red;
    if (sweepX + wipeWidth > width) {
        step.wipe[0] = QRect(sweepX, 0, width - sweepX, height);
        step.wipe[1] = QRect(0, 0, sweepX + wipeWidth - width, height);
    } else {
        step.wipe[0] = QRect(sweepX, 0, wipeWidth, height);
    }
    if (sweepX + 1 >= width) {
        sweepX = 1;
    }
    // Only the end point is clamped: a trace that left the panel re-enters from its true height.
    step.from = QPoint(sweepX, sample.fromY);
    ++sweepX;
    step.to = QPoint(sweepX, clampY(sample.y));
    return step;
}

void Sweep::paint(QPainter& painter, const Step& step) const {
    for (const QRect& rect : step.wipe) {
        if (!rect.isEmpty()) {
            painter.fillRect(rect, Qt::black);
        }
    }
    painter.setPen(step.red ? alertPen : normalPen);
    painter.drawLine(step.from, step.to);
}

std::array<QRect, 3> Sweep::dirtyRects(const Step& step) {
    const QRect segment =
        QRect(step.from, step.to).normalized().adjusted(-penReach, -penReach, penReach, penReach);
    return {step.wipe[0], step.wipe[1], segment};
}

} // namespace pulsavo
