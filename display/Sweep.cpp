#include "Sweep.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace pulsavo {

namespace {
// Round caps like the monitor's 2 px pens; a cap reaches half the width past each end.
QPen tracePen(const QColor& colour, int width = Sweep::standardPenWidth) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}
} // namespace

Sweep::Sweep(int width, int height)
    : width(width), height(height), normalPen(tracePen(normalColour)),
      alertPen(tracePen(alertColour)) {
    forgetDrawn();
}

// Rects whose columns overlap or touch are one area: the cursor's rects over a frame's ticks,
// or the fresh wipe columns one after another.
void Sweep::Changes::add(const QRect& rect) {
    if (rect.isEmpty()) {
        return;
    }
    QRect grown = rect;
    for (int i = 0; i < count;) {
        const QRect& other = rects[static_cast<std::size_t>(i)];
        if (other.left() <= grown.right() + 1 && grown.left() <= other.right() + 1) {
            grown |= other;
            rects[static_cast<std::size_t>(i)] = rects[static_cast<std::size_t>(--count)];
            i = 0;
        } else {
            ++i;
        }
    }
    if (count == capacity) {
        grown |= rects[static_cast<std::size_t>(--count)];
    }
    rects[static_cast<std::size_t>(count++)] = grown;
}

QRegion Sweep::Changes::region() const {
    QRegion region;
    for (const QRect& rect : *this) {
        region += rect;
    }
    return region;
}

void Sweep::forgetDrawn() {
    drawn.assign(static_cast<std::size_t>(std::max(0, width)), Rows{0, height - 1});
}

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
    paintSegment(painter, step);
}

void Sweep::paintSegment(QPainter& painter, const Step& step) const {
    if (!drawCachedSegment(painter, step)) {
        painter.setPen(step.red ? alertPen : normalPen);
        painter.drawLine(step.from, step.to);
    }
}

const QImage* Sweep::sprite(const Step& step, qreal ratio, bool* solid) const {
    const int rise = step.to.y() - step.from.y();
    const QPen& pen = step.red ? alertPen : normalPen;
    const int penReach = reachOf(pen);
    if (std::abs(rise) > maxCachedRise || ratio != std::round(ratio) || ratio < 1 ||
        penReach > maxCachedReach) {
        return nullptr;
    }
    SegmentCache& cache = segmentCache[step.red ? 1 : 0];
    if (cache.pen != pen || cache.ratio != ratio) {
        cache = SegmentCache{pen, ratio, {}, {}};
    }
    const int top = std::min(0, rise);
    const int index = rise + maxCachedRise; // 0 to 2 * maxCachedRise
    const auto slot = static_cast<std::size_t>(index);
    QImage& image = cache.sprites[slot];
    if (image.isNull()) {
        image = QImage(QSize(1 + 2 * penReach, std::abs(rise) + 2 * penReach) * ratio,
                       QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        {
            QPainter spritePainter(&image);
            spritePainter.setPen(pen);
            spritePainter.drawLine(QPoint(penReach, penReach - top),
                                   QPoint(penReach + 1, penReach - top + rise));
        }
        bool allSolid = true;
        for (int y = 0; y < image.height() && allSolid; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            allSolid = std::all_of(line, line + image.width(), [](QRgb pixel) {
                return qAlpha(pixel) == 0 || qAlpha(pixel) == 255;
            });
        }
        cache.solid[slot] = allSolid;
    }
    if (solid != nullptr) {
        *solid = cache.solid[slot];
    }
    return &image;
}

bool Sweep::drawCachedSegment(QPainter& painter, const Step& step) const {
    const qreal ratio = painter.device()->devicePixelRatioF();
    if (painter.device()->devType() != QInternal::Image ||
        painter.transform().type() != QTransform::TxNone ||
        painter.testRenderHint(QPainter::Antialiasing) ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver) {
        return false;
    }
    const QImage* cached = sprite(step, ratio);
    if (cached == nullptr) {
        return false;
    }
    const int penReach = reachOf(step.red ? alertPen : normalPen);
    const int top = std::min(0, step.to.y() - step.from.y());
    painter.drawImage(QPoint(step.from.x() - penReach, step.from.y() + top - penReach), *cached);
    return true;
}

void Sweep::paintInto(QImage& image, const Step& step, Changes& changed) {
    const qreal ratioF = image.devicePixelRatio();
    const auto ratio = static_cast<int>(std::lround(ratioF));
    const bool addressable = image.format() == QImage::Format_RGB32 && ratio >= 1 &&
                             ratioF == ratio && image.size() == QSize(width, height) * ratio &&
                             (paper.isNull() || (paper.format() == QImage::Format_RGB32 &&
                                                 paper.size() == image.size()));
    if (!addressable) {
        {
            QPainter painter(&image);
            paint(painter, step);
        }
        forgetDrawn();
        for (const QRect& rect : dirtyRects(step, penReach())) {
            changed.add(rect);
        }
        return;
    }
    if (drawn.size() != static_cast<std::size_t>(std::max(0, width))) {
        forgetDrawn();
    }
    // Clears the drawn rows of each run of columns in the wipe; the rest of it is background.
    for (const QRect& wipe : step.wipe) {
        if (wipe.isEmpty()) {
            continue;
        }
        QRect run;
        const auto clearRun = [&] {
            if (!run.isEmpty()) {
                clearInto(image, run, ratio);
                changed.add(run);
                run = QRect();
            }
        };
        for (int x = std::max(0, wipe.left()); x <= std::min(wipe.right(), width - 1); ++x) {
            Rows& rows = drawn[static_cast<std::size_t>(x)];
            if (rows.top > rows.bottom) {
                clearRun();
                continue;
            }
            run |= QRect(x, rows.top, 1, rows.bottom - rows.top + 1);
            rows = Rows{};
        }
        clearRun();
    }
    segmentInto(image, step, ratio);
    const int reach = reachOf(step.red ? alertPen : normalPen);
    const QRect segment =
        QRect(step.from, step.to).normalized().adjusted(-reach, -reach, reach, reach) &
        QRect(0, 0, width, height);
    for (int x = segment.left(); x <= segment.right(); ++x) {
        Rows& rows = drawn[static_cast<std::size_t>(x)];
        if (rows.top > rows.bottom) {
            rows = Rows{segment.top(), segment.bottom()};
        } else {
            rows.top = std::min(rows.top, segment.top());
            rows.bottom = std::max(rows.bottom, segment.bottom());
        }
    }
    changed.add(segment);
}

void Sweep::clearInto(QImage& image, const QRect& rect, int ratio) const {
    const QRect area = QRect(rect.topLeft() * ratio, rect.size() * ratio) & image.rect();
    if (area.isEmpty()) {
        return;
    }
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const auto bytes = static_cast<std::size_t>(area.width()) * sizeof(QRgb);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(bits + y * stride) + area.left();
        if (paper.isNull()) {
            std::fill_n(line, area.width(), qRgb(0, 0, 0));
        } else {
            std::memcpy(line, reinterpret_cast<const QRgb*>(paper.constScanLine(y)) + area.left(),
                        bytes);
        }
    }
}

// A solid sprite is copied pixel by pixel, as drawing it over the image would blend it; a
// steep segment, or one whose pixels are partly transparent, goes through a painter.
void Sweep::segmentInto(QImage& image, const Step& step, int ratio) const {
    bool solid = false;
    const QImage* cached = sprite(step, ratio, &solid);
    if (cached == nullptr || !solid) {
        QPainter painter(&image);
        paintSegment(painter, step);
        return;
    }
    const int penReach = reachOf(step.red ? alertPen : normalPen);
    const int top = std::min(0, step.to.y() - step.from.y());
    const QPoint at = QPoint(step.from.x() - penReach, step.from.y() + top - penReach) * ratio;
    const QRect area = QRect(at, cached->size()) & image.rect();
    if (area.isEmpty()) {
        return;
    }
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(cached->constScanLine(y - at.y())) +
                           (area.left() - at.x());
        auto* to = reinterpret_cast<QRgb*>(bits + y * stride) + area.left();
        for (int x = 0; x < area.width(); ++x) {
            if (qAlpha(from[x]) == 255) {
                to[x] = from[x];
            }
        }
    }
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
