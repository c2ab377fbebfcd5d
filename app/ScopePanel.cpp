#include "ScopePanel.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

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

QRect ScopePanel::clientRect() const {
    return rect().adjusted(frameWidth, frameWidth, -frameWidth, -frameWidth);
}

void ScopePanel::prepare() {
    const qreal ratio = pixelRatio();
    const QSize size = clientRect().size();
    backing = QImage(size * ratio, QImage::Format_RGB32);
    backing.setDevicePixelRatio(ratio);
    backing.fill(palette().color(QPalette::Window));
    update();
}

void ScopePanel::attach(Monitor& monitor) {
    monitor.setSurface(&backing);
    monitor.onRepaint = [this](const QRegion& dirty) {
        update(dirty.translated(frameWidth, frameWidth));
    };
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
}

void ScopePanel::paintEvent(QPaintEvent* event) {
    followPixelRatio();
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!backing.isNull()) {
        // One rectangle of the update at a time: under a clip of several rectangles Qt blends
        // line by line and hands tall areas to worker threads, which costs far more than a copy.
        for (const QRect& dirty : event->region()) {
            painter.setClipRect(dirty);
            painter.drawImage(QPoint(frameWidth, frameWidth), backing);
        }
    }
}

} // namespace pulsavo
