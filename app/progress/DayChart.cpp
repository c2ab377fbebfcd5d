#include "DayChart.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace pulsavo {

namespace {

constexpr int margin = 6;
constexpr int dotRadius = 3;
const QColor lineColour(70, 130, 180);

} // namespace

DayChart::DayChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("dayChart"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);
}

void DayChart::setTitle(const QString& text) {
    if (text != title) {
        title = text;
        update(0, 0, width(), fontMetrics().height() * 2);
    }
}

void DayChart::setDays(const QList<DayAccuracy>& days) {
    std::vector<Point> now;
    for (const DayAccuracy& day : days) {
        if (day.attempts > 0) {
            now.push_back({day.day, static_cast<int>(std::lround(100.0 * day.accuracy()))});
        }
    }
    const QDate from = days.isEmpty() ? QDate() : days.constFirst().day;
    const QDate to = days.isEmpty() ? QDate() : days.constLast().day;
    if (from != first || to != last || now.size() != points.size()) {
        first = from;
        last = to;
        points = std::move(now);
        update();
        return;
    }
    // The same days: a point that moved repaints the strip from its neighbours' places.
    QRegion changed;
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (now[i] == points[i]) {
            continue;
        }
        const int left = placeOf(points[i > 0 ? i - 1 : i]).x();
        const int right = placeOf(points[std::min(i + 1, points.size() - 1)]).x();
        const QRect plot = plotRect();
        changed +=
            QRect(QPoint(std::min(left, placeOf(now[i]).x()) - dotRadius - 1, plot.top()),
                  QPoint(std::max(right, placeOf(now[i]).x()) + dotRadius + 1, plot.bottom() + 1));
    }
    points = std::move(now);
    if (!changed.isEmpty()) {
        update(changed);
    }
}

QSize DayChart::sizeHint() const {
    return {480, 200};
}

QSize DayChart::minimumSizeHint() const {
    return {240, 160};
}

QRect DayChart::plotRect() const {
    const QFontMetrics metrics = fontMetrics();
    const int left = metrics.horizontalAdvance(QStringLiteral("100 %")) + margin + 4;
    const int top = metrics.height() * 2;
    return {QPoint(left, top), QPoint(width() - margin - metrics.horizontalAdvance("00/00") / 2,
                                      height() - metrics.height() - margin - 4)};
}

QPoint DayChart::placeOf(const Point& point) const {
    const QRect plot = plotRect();
    const qint64 span = std::max<qint64>(1, first.daysTo(last));
    return {plot.left() + static_cast<int>(plot.width() * first.daysTo(point.day) / span),
            plot.bottom() - plot.height() * std::clamp(point.percent, 0, 100) / 100};
}

void DayChart::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().base());
    const QFontMetrics metrics = fontMetrics();
    const QRect plot = plotRect();
    QFont bold = font();
    bold.setPixelSize(12);
    painter.setFont(bold);
    painter.setPen(palette().text().color());
    painter.drawText(QRect(0, 0, width(), metrics.height() * 2), Qt::AlignCenter, title);
    painter.setFont(font());
    // A grid line every quarter, labelled on the left.
    for (int percent = 0; percent <= 100; percent += 25) {
        const int y = plot.bottom() - plot.height() * percent / 100;
        painter.setPen(palette().mid().color());
        painter.drawLine(plot.left(), y, plot.right(), y);
        painter.setPen(palette().text().color());
        painter.drawText(QRect(0, y - metrics.height() / 2, plot.left() - 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%1 %").arg(percent));
    }
    if (first.isValid()) {
        const qint64 span = std::max<qint64>(1, first.daysTo(last));
        const int room = metrics.horizontalAdvance(QStringLiteral("00/00")) + 8;
        // As many dates as fit side by side, every so many days.
        const qint64 fit = std::max(1, plot.width() / room);
        const qint64 step = std::max<qint64>(1, (span + fit - 1) / fit);
        for (qint64 d = 0; d <= span; d += step) {
            const int x = plot.left() + static_cast<int>(plot.width() * d / span);
            painter.drawText(QRect(x - room / 2, plot.bottom() + 4, room, metrics.height()),
                             Qt::AlignCenter, first.addDays(d).toString(QStringLiteral("M/d")));
        }
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(lineColour, 2));
    painter.setBrush(lineColour);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const QPoint at = placeOf(points[i]);
        if (i > 0) {
            painter.drawLine(placeOf(points[i - 1]), at);
        }
        painter.drawEllipse(at, dotRadius, dotRadius);
    }
}

} // namespace pulsavo
