#include "Sweep.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pulsavo {

namespace {
// Round caps like the monitor's 2 px pens; a cap reaches half the width past each end.
QPen tracePen(const QColor& colour, int width = Sweep::standardPenWidth) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}
} // namespace

Sweep::Sweep(int width, int height)
    : width(width), height(height), normalPen(tracePen(normalColour)),
      alertPen(tracePen(alertColour)) {}

void Sweep::setHighlight(Highlight highlight) {
    style = highlight;
    switch (highlight) {
    case Highlight::red:
        normalPen = tracePen(normalColour);
        alertPen = tracePen(alertColour);
        break;
    case Highlight::thick:
        normalPen = tracePen(normalColour);
        alertPen = tracePen(alertColour, thickPenWidth);
        break;
    case Highlight::colourBlindSafe:
        normalPen = tracePen(safeNormalColour);
        alertPen = tracePen(safeAlertColour, thickPenWidth);
        break;
    }
}

// Half the width, rounded up, and one pixel to spare for the rasteriser's rounding: 2 for the
// 2 px pen, 3 for the thick one.
int Sweep::reachOf(const QPen& pen) {
    return static_cast<int>(std::ceil(pen.widthF() / 2)) + 1;
}

int Sweep::penReach() const {
    return std::max(reachOf(normalPen), reachOf(alertPen));
}

Sweep::Step Sweep::advance(const TickSample& sample) {
    Step step;
    step.red = sample.red;
    if (sweepX + wipeWidth > width) {
        step.wipe[0] = QRect(sweepX, 0, width - sweepX, height);
        step.wipe[1] = QRect(0, 0, sweepX + wipeWidth - width, height);
    } else {
        step.wipe[0] = QRect(sweepX, 0, wipeWidth, height);
    }
    int freshLeft = width;
    int freshRight = -1;
    for (const QRect& rect : step.wipe) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const bool covered = std::any_of(lastWipe.begin(), lastWipe.end(), [x](const QRect& r) {
                return !r.isEmpty() && x >= r.left() && x <= r.right();
            });
            if (!covered) {
                freshLeft = std::min(freshLeft, x);
                freshRight = std::max(freshRight, x);
            }
        }
    }
    if (freshRight >= freshLeft) {
        step.freshWipe = QRect(freshLeft, 0, freshRight - freshLeft + 1, height);
    }
    lastWipe = step.wipe;
    if (sweepX + 1 >= width) {
        sweepX = 1;
    }
    // Only the end point is clamped: a trace that left the panel re-enters from its true height.
    step.from = QPoint(sweepX, sample.fromY);
    ++sweepX;
    step.to = QPoint(sweepX, clampY(sample.y));
    return step;
}

QImage Sweep::paperImage(int width, int height, qreal ratio) {
    QImage image(QSize(width, height) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    QPainter painter(&image);
    for (const bool large : {false, true}) {
        const int spacing = large ? largeSquare : smallSquare;
        const QColor& colour = large ? largeLineColour : smallLineColour;
        for (int x = 0; x < width; x += spacing) {
            painter.fillRect(QRect(x, 0, 1, height), colour);
        }
        for (int y = 0; y < height; y += spacing) {
            painter.fillRect(QRect(0, y, width, 1), colour);
        }
    }
    return image;
}

void Sweep::paint(QPainter& painter, const Step& step) const {
    for (const QRect& rect : step.wipe) {
        if (rect.isEmpty()) {
            continue;
        }
        if (paper.isNull()) {
            painter.fillRect(rect, Qt::black);
        } else {
            // A copy of the paper's own pixels, with no blending: as cheap as the fill.
            const qreal ratio = paper.devicePixelRatio();
            const QRect source(rect.topLeft() * ratio, rect.size() * ratio);
            painter.drawImage(rect.topLeft(), paper, source);
        }
    }
    if (!drawCachedSegment(painter, step)) {
        painter.setPen(step.red ? alertPen : normalPen);
        painter.drawLine(step.from, step.to);
    }
}

bool Sweep::drawCachedSegment(QPainter& painter, const Step& step) const {
    const int rise = step.to.y() - step.from.y();
    const qreal ratio = painter.device()->devicePixelRatioF();
    const QPen& pen = step.red ? alertPen : normalPen;
    const int penReach = reachOf(pen);
    if (painter.device()->devType() != QInternal::Image || std::abs(rise) > maxCachedRise ||
        ratio != std::round(ratio) || penReach > maxCachedReach ||
        painter.transform().type() != QTransform::TxNone ||
        painter.testRenderHint(QPainter::Antialiasing) ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver) {
        return false;
    }
    SegmentCache& cache = segmentCache[step.red ? 1 : 0];
    if (cache.pen != pen || cache.ratio != ratio) {
        cache = SegmentCache{pen, ratio, {}};
    }
    const int top = std::min(0, rise);
    QImage& sprite = cache.sprites[rise + maxCachedRise];
    if (sprite.isNull()) {
        sprite = QImage(QSize(1 + 2 * penReach, std::abs(rise) + 2 * penReach) * ratio,
                        QImage::Format_ARGB32_Premultiplied);
        sprite.setDevicePixelRatio(ratio);
        sprite.fill(Qt::transparent);
        QPainter spritePainter(&sprite);
        spritePainter.setPen(pen);
        spritePainter.drawLine(QPoint(penReach, penReach - top),
                               QPoint(penReach + 1, penReach - top + rise));
    }
    painter.drawImage(QPoint(step.from.x() - penReach, step.from.y() + top - penReach), sprite);
    return true;
}

std::array<QRect, 3> Sweep::dirtyRects(const Step& step, int reach) {
    const QRect segment =
        QRect(step.from, step.to).normalized().adjusted(-reach, -reach, reach, reach);
    // The wipe starts where the last segment ended, whose pen reached `reach` columns on.
    const QRect& wipe = step.wipe[0];
    const QRect capOfLast = wipe & QRect(wipe.left(), wipe.top(), reach + 1, wipe.height());
    return {step.freshWipe, capOfLast, segment};
}

} // namespace pulsavo
