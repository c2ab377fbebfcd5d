#include "MirrorView.h"

#include "ScopePanel.h"
#include "Sweep.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace pulsavo {

MirrorView::MirrorView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void MirrorView::follow(ScopePanel* panel) {
    disconnect(followed);
    source = panel;
    themed = QImage();
    if (panel != nullptr) {
        followed = connect(panel, &ScopePanel::imageChanged, this, &MirrorView::take);
        take(QRegion(panel->rect()));
    }
    update();
}

void MirrorView::setLight(bool on) {
    if (on == light) {
        return;
    }
    light = on;
    themed = QImage();
    if (source) {
        take(QRegion(source->rect()));
    }
    update();
}

QColor MirrorView::background() const {
    return light ? QColor(Qt::white) : QColor(Qt::black);
}

// The sweep paints pure colours without blending, so a table of the colours it uses recolours
// every pixel; anything else (a frame, a dialog background) is inverted in brightness.
QRgb MirrorView::lightColour(QRgb dark) {
    struct Pair {
        QRgb from;
        QRgb to;
    };
    static const std::array<Pair, 9> table{{
        {qRgb(0, 0, 0), qRgb(255, 255, 255)},
        {Sweep::normalColour.rgb(), qRgb(0, 0, 0)},
        {Sweep::alertColour.rgb(), qRgb(200, 0, 0)},
        {Sweep::safeNormalColour.rgb(), qRgb(0, 0, 0)},
        {Sweep::safeAlertColour.rgb(), qRgb(170, 80, 0)},
        {Sweep::smallLineColour.rgb(), qRgb(250, 200, 200)},
        {Sweep::largeLineColour.rgb(), qRgb(230, 120, 120)},
        {qRgb(0, 200, 255), qRgb(0, 60, 170)},
        {qRgb(255, 255, 255), qRgb(0, 0, 0)},
    }};
    const QRgb opaque = dark | 0xff000000U;
    for (const Pair& pair : table) {
        if (pair.from == opaque) {
            return pair.to;
        }
    }
    const int grey = 255 - qGray(opaque);
    return qRgb(grey, grey, grey);
}

void MirrorView::take(const QRegion& dirty) {
    if (!source) {
        return;
    }
    const QImage& image = source->backingImage();
    if (image.isNull()) {
        return;
    }
    QRegion copied = dirty;
    if (themed.size() != image.size()) {
        themed = QImage(image.size(), QImage::Format_RGB32);
        copied = QRegion(source->rect());
    }
    // Panel pixels to image pixels, whole pixels outward.
    const qreal ratio = image.devicePixelRatio();
    const QRect bounds = image.rect();
    QRegion repainted;
    for (const QRect& rect : copied) {
        const QRect pixels =
            QRect(QPoint(static_cast<int>(std::floor(rect.left() * ratio)),
                         static_cast<int>(std::floor(rect.top() * ratio))),
                  QPoint(static_cast<int>(std::ceil((rect.right() + 1) * ratio)) - 1,
                         static_cast<int>(std::ceil((rect.bottom() + 1) * ratio)) - 1))
                .intersected(bounds);
        if (pixels.isEmpty()) {
            continue;
        }
        for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
            const auto* from = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            auto* to = reinterpret_cast<QRgb*>(themed.scanLine(y));
            for (int x = pixels.left(); x <= pixels.right(); ++x) {
                to[x] = light ? lightColour(from[x]) : (from[x] | 0xff000000U);
            }
        }
        repainted += pixels;
    }
    if (!isVisible() || repainted.isEmpty()) {
        return;
    }
    // Shown in the same wake as the panel: a posted update could fall a frame behind it.
    const QRectF place = placement();
    const qreal scaleX = place.width() / themed.width();
    const qreal scaleY = place.height() / themed.height();
    QRegion shown;
    for (const QRect& rect : repainted) {
        shown += QRectF(place.left() + rect.left() * scaleX, place.top() + rect.top() * scaleY,
                        rect.width() * scaleX, rect.height() * scaleY)
                     .toAlignedRect()
                     .adjusted(-1, -1, 1, 1);
    }
    repaint(shown);
}

QRectF MirrorView::placement() const {
    if (themed.isNull() || width() <= 0 || height() <= 0) {
        return {};
    }
    const qreal scale = std::min(static_cast<qreal>(width()) / themed.width(),
                                 static_cast<qreal>(height()) / themed.height());
    const QSizeF size(themed.width() * scale, themed.height() * scale);
    return {QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size};
}

void MirrorView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.fillRect(rect(), background());
    if (!themed.isNull()) {
        painter.drawImage(placement(), themed);
    }
}

} // namespace pulsavo
