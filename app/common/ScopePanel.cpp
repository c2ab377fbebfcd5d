#include "ScopePanel.h"

#include <QBackingStore>
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <cmath>
#include <cstring>

namespace pulsavo {

ScopePanel::ScopePanel(QWidget* parent)
    : QWidget(parent), pixelRatio([this] { return devicePixelRatioF(); }) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(tr("モニター"));
}

void ScopePanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        setAccessibleName(tr("モニター"));
    }
    QWidget::changeEvent(event);
}

void ScopePanel::prepare() {
    const qreal ratio = pixelRatio();
    const QSize size = clientRect().size();
    backing = QImage(size * ratio, QImage::Format_RGB32);
    backing.setDevicePixelRatio(ratio);
    backing.fill(palette().color(QPalette::Window));
    {
        QPainter painter(&backing);
        const int w = size.width();
        const int h = size.height();
        for (const QRect& edge :
             {QRect(0, 0, w, frameWidth), QRect(0, h - frameWidth, w, frameWidth),
              QRect(0, 0, frameWidth, h), QRect(w - frameWidth, 0, frameWidth, h)}) {
            painter.fillRect(edge, Qt::black);
        }
    }
    renderPaper();
    surfaceReplaced();
    update();
    emit imageChanged(QRegion(rect()));
}

void ScopePanel::surfaceReplaced() {
    if (monitor == nullptr) {
        return;
    }
    if (pleth) {
        monitor->setPlethSurface(&backing, clientRect().width(), clientRect().height());
    } else {
        monitor->surfaceChanged();
    }
}

// A window that resizes (its layout, a language with longer texts) must not take away the trace
// the learner is reading.
void ScopePanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!backing.isNull() && backing.size() == size() * backing.devicePixelRatio()) {
        return;
    }
    prepare();
    if (monitor != nullptr && !pleth) {
        monitor->redrawAt(clientRect().width(), clientRect().height());
        emit imageChanged(QRegion(rect()));
    }
}

void ScopePanel::attach(Monitor& shown) {
    monitor = &shown;
    shown.setSurface(&backing);
    shown.setPaper(paper);
    if (!backing.isNull() && (shown.sweep().width != clientRect().width() ||
                              shown.sweep().height != clientRect().height())) {
        shown.redrawAt(clientRect().width(), clientRect().height());
        emit imageChanged(QRegion(rect()));
    }
    // The ticks' areas are painted and sent at once, in the clock's wake: a posted update
    // would wake the event loop a second time every frame, which costs more than the paint.
    shown.onRepaint = [this](const QRegion& dirty) {
        repaint(dirty);
        emit imageChanged(dirty);
    };
}

void ScopePanel::attachPleth(Monitor& shown) {
    monitor = &shown;
    pleth = true;
    surfaceReplaced();
    shown.onPlethRepaint = [this](const QRegion& dirty) {
        repaint(dirty);
        emit imageChanged(dirty);
    };
}

void ScopePanel::renderPaper() {
    paper = grid && !backing.isNull()
                ? Sweep::paperImage(clientRect().width(), clientRect().height(),
                                    backing.devicePixelRatio())
                : QImage();
    if (monitor != nullptr && !pleth) {
        monitor->setPaper(paper);
    }
}

void ScopePanel::setGrid(bool on) {
    if (on == grid) {
        return;
    }
    grid = on;
    const QImage before = paper;
    renderPaper();
    swapBackground(before, paper);
    update();
}

// The sweep paints the trace in pure colours without blending, so every pixel that is still
// the old background (black or paper) can take the new one without touching the trace.
void ScopePanel::swapBackground(const QImage& from, const QImage& to) {
    if (backing.isNull()) {
        return;
    }
    const auto backgroundAt = [](const QImage& paperImage, int x, int y) {
        return paperImage.isNull() ? qRgb(0, 0, 0)
                                   : reinterpret_cast<const QRgb*>(paperImage.constScanLine(y))[x];
    };
    for (int y = 0; y < backing.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(backing.scanLine(y));
        for (int x = 0; x < backing.width(); ++x) {
            if ((line[x] | 0xff000000U) == (backgroundAt(from, x, y) | 0xff000000U)) {
                line[x] = backgroundAt(to, x, y);
            }
        }
    }
    if (monitor != nullptr) {
        monitor->surfaceChanged();
    }
    emit imageChanged(QRegion(rect()));
}

// Moving the window to a screen of another scale keeps the trace, resampled, rather than
// losing it or drawing it blurred from then on.
void ScopePanel::followPixelRatio() {
    const qreal ratio = pixelRatio();
    if (backing.isNull() || qFuzzyCompare(backing.devicePixelRatio(), ratio)) {
        return;
    }
    QImage resampled(clientRect().size() * ratio, QImage::Format_RGB32);
    resampled.setDevicePixelRatio(ratio);
    {
        QPainter painter(&resampled);
        painter.drawImage(resampled.rect().topLeft(), backing);
    }
    backing = std::move(resampled);
    renderPaper();
    surfaceReplaced();
    emit imageChanged(QRegion(rect()));
}

// A tick changes a few hundred pixels, and setting up a painter on the window costs more than
// copying them. When the panel paints straight into its window's backing store, a 32-bit image
// of the panel's pixel ratio, the changed areas are copied there row by row. Anything else (a
// grab, a print, a fractional scale) goes through a painter.
bool ScopePanel::copyIntoStore(const QRegion& region) {
    QBackingStore* store = backingStore();
    if (store == nullptr || sharedPainter() != nullptr) {
        return false;
    }
    QPoint offset;
    QPaintDevice* device = redirected(&offset);
    if (device == nullptr || device != store->paintDevice() ||
        device->devType() != QInternal::Image) {
        return false;
    }
    auto* target = static_cast<QImage*>(device);
    const qreal ratio = backing.devicePixelRatio();
    const QImage::Format format = target->format();
    if (target->isNull() || !target->isDetached() || target->devicePixelRatio() != ratio ||
        ratio != std::round(ratio) ||
        (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
         format != QImage::Format_ARGB32_Premultiplied)) {
        return false;
    }
    // The panel's pixels are opaque, so they read the same in any of these formats.
    const int scale = static_cast<int>(ratio);
    const QPoint shift = -offset * scale; // from the panel's pixels to the store's
    const QRect reach = target->rect() & backing.rect().translated(shift);
    constexpr std::size_t pixelBytes = 4;
    for (const QRect& dirty : region) {
        const QRect copied =
            QRect(dirty.topLeft() * scale, dirty.size() * scale).translated(shift) & reach;
        if (copied.isEmpty()) {
            continue;
        }
        const auto bytes = static_cast<std::size_t>(copied.width()) * pixelBytes;
        const auto into = static_cast<std::size_t>(copied.left()) * pixelBytes;
        const auto from = static_cast<std::size_t>(copied.left() - shift.x()) * pixelBytes;
        for (int y = copied.top(); y <= copied.bottom(); ++y) {
            std::memcpy(target->scanLine(y) + into, backing.constScanLine(y - shift.y()) + from,
                        bytes);
        }
    }
    return true;
}

void ScopePanel::paintEvent(QPaintEvent* event) {
    followPixelRatio();
    if (!backing.isNull() && copyIntoStore(event->region())) {
        return;
    }
    QPainter painter(this);
    if (backing.isNull()) {
        return;
    }
    // One rectangle of the update at a time: under a clip of several rectangles Qt blends
    // line by line and hands tall areas to worker threads, which costs far more than a copy.
    // When the image has the screen's whole pixel ratio, each is a plain copy of its own
    // pixels, with no clip to set up.
    const qreal ratio = backing.devicePixelRatio();
    const bool plain = ratio == std::round(ratio) && ratio == painter.device()->devicePixelRatio();
    for (const QRect& dirty : event->region()) {
        if (plain) {
            painter.drawImage(dirty, backing, QRect(dirty.topLeft() * ratio, dirty.size() * ratio));
        } else {
            painter.setClipRect(dirty);
            painter.drawImage(QPoint(0, 0), backing);
        }
    }
}

} // namespace pulsavo
