#include "LadderPanel.h"

#include "LadderPainter.h"
#include "Monitor.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace pulsavo {

LadderPanel::LadderPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setMinimumHeight(preferredHeight);
}

void LadderPanel::setMonitor(Monitor* shown) {
    monitor = shown;
    if (monitor != nullptr) {
        monitor->setEventHistory(true);
    }
    refresh();
}

// The panel shows two passes of the sweep: the current one from column 1 up to the cursor,
// and beyond the wipe what is left of the pass before. A pass is width - 2 ticks long.
void LadderPanel::refresh() {
    // Hidden, it is drawn afresh when shown: its windows keep it on their clock either way.
    if (isHidden()) {
        return;
    }
    if (canvas.size() != size()) {
        canvas = QImage(size(), QImage::Format_RGB32);
    }
    canvas.fill(Qt::black);
    if (monitor != nullptr && monitor->tickCount() > 0 && width() > 2) {
        const Sweep& sweep = monitor->sweep();
        const long long last = monitor->tickCount();
        const long long pass = std::max(1, sweep.width - 2);
        const long long first = last - (sweep.sweepX - 2); // the tick drawn from column 1
        const LadderPainter ladder(
            monitor->events(first - pass - LadderPainter::lookBackTicks, last));
        const LadderPalette palette = LadderPalette::monitor();
        const QRectF area(1, 0, sweep.width - 1, height());
        QPainter painter(&canvas);
        // The pass before, from tick 1 on: nothing is drawn where the monitor drew nothing.
        const long long previous = std::max(1LL, first - pass);
        if (previous <= first - 1) {
            ladder.paint(painter, area.translated(static_cast<qreal>(previous - (first - pass)), 0),
                         previous, first - 1, palette);
        }
        painter.fillRect(QRect(0, 0, sweep.sweepX + 1, height()), Qt::black);
        for (const QRect& wipe : monitor->lastStep().wipe) {
            if (!wipe.isEmpty()) {
                painter.fillRect(QRect(wipe.left(), 0, wipe.width(), height()), Qt::black);
            }
        }
        ladder.paint(painter, area, first, last, palette);
    }
    paintLabels();
    // A frame changes a few columns around the cursor; sending the whole panel to the window
    // system each frame would cost more than drawing it.
    const QRect changed =
        picture.size() == canvas.size() ? changedColumns(picture, canvas) : rect();
    std::swap(picture, canvas);
    if (!changed.isEmpty()) {
        update(changed);
    }
}

// The tiers are named at the left edge over a dark plate, as a monitor names its lead; the
// marks passing under it stay faintly visible.
void LadderPanel::paintLabels() {
    if (width() <= labelPlateWidth) {
        return;
    }
    QPainter painter(&canvas);
    painter.fillRect(QRect(0, 0, labelPlateWidth, height()), QColor(0, 0, 0, 190));
    QFont small = font();
    small.setPixelSize(11);
    LadderPainter::paintLabels(painter, QRectF(0, 0, labelPlateWidth - 3, height()), small,
                               LadderPalette::monitor());
}

QRect LadderPanel::changedColumns(const QImage& before, const QImage& after) {
    if (before.size() != after.size() || before.format() != after.format() ||
        before.depth() != 32) {
        return after.rect();
    }
    int left = after.width();
    int right = -1;
    for (int y = 0; y < after.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(before.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(after.constScanLine(y));
        int x = 0;
        while (x < left && a[x] == b[x]) {
            ++x;
        }
        left = std::min(left, x);
        int end = after.width() - 1;
        while (end > right && a[end] == b[end]) {
            --end;
        }
        right = std::max(right, end);
    }
    return right < left ? QRect() : QRect(left, 0, right - left + 1, after.height());
}

void LadderPanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), picture);
}

void LadderPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

void LadderPanel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange || event->type() == QEvent::FontChange) {
        refresh();
    }
}

void LadderPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    refresh();
}

} // namespace pulsavo
