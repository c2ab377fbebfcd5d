#include "AccuracyBars.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace pulsavo {

namespace {

constexpr int margin = 6;
const QColor barColour(70, 130, 180);

} // namespace

AccuracyBars::AccuracyBars(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("accuracyChart"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);
}

void AccuracyBars::setTitle(const QString& text) {
    if (text != title) {
        title = text;
        update(0, 0, width(), titleHeight());
    }
}

void AccuracyBars::setRows(std::vector<Row> rows) {
    if (rows.size() != shown.size()) {
        shown = std::move(rows);
        update();
        return;
    }
    QRegion changed;
    for (int place = 0; place < count(); ++place) {
        if (rows[std::size_t(place)] != shown[std::size_t(place)]) {
            changed += rowRect(place);
        }
    }
    shown = std::move(rows);
    update(changed);
}

int AccuracyBars::titleHeight() const {
    return fontMetrics().height() * 2;
}

int AccuracyBars::rowHeight() const {
    const int least = fontMetrics().height() + 2;
    const int room = height() - titleHeight() - margin;
    return std::max(least, room / std::max(1, count()));
}

// About two fifths of the width for the labels, as much as a bar chart gives its axis.
int AccuracyBars::labelRoom() const {
    return width() * 2 / 5 - 8;
}

QRect AccuracyBars::rowRect(int place) const {
    return {0, titleHeight() + place * rowHeight(), width(), rowHeight()};
}

QString AccuracyBars::labelAt(int place) const {
    const Row& row = shown[static_cast<std::size_t>(place)];
    const QFontMetrics metrics = fontMetrics();
    const int room = labelRoom();
    const QString number = QStringLiteral("%1 ").arg(place);
    const int least = metrics.horizontalAdvance(QStringLiteral("MMMMM"));
    // When even the room is tight, only the percentage follows the name.
    const QString figures =
        !row.figures.isEmpty() && metrics.horizontalAdvance(number + row.figures) > room - least
            ? row.shortFigures
            : row.figures;
    const int nameRoom = room - metrics.horizontalAdvance(number + figures);
    return number + metrics.elidedText(row.name, Qt::ElideRight, std::max(nameRoom, least)) +
           figures;
}

QSize AccuracyBars::sizeHint() const {
    return {480, titleHeight() + count() * (fontMetrics().height() + 4) + margin};
}

QSize AccuracyBars::minimumSizeHint() const {
    return {240, 260};
}

void AccuracyBars::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().base());
    const QRect titleRect(0, 0, width(), titleHeight());
    if (event->rect().intersects(titleRect)) {
        QFont bold = font();
        bold.setPixelSize(12);
        painter.setFont(bold);
        painter.setPen(palette().text().color());
        painter.drawText(titleRect, Qt::AlignCenter, title);
        painter.setFont(font());
    }
    const int labelRight = labelRoom() + 4;
    const int barRoom = std::max(0, width() - labelRight - margin - 4);
    const int first = std::max(0, (event->rect().top() - titleHeight()) / rowHeight());
    for (int place = first; place < count(); ++place) {
        const QRect row = rowRect(place);
        if (row.top() > event->rect().bottom()) {
            break;
        }
        painter.setPen(palette().text().color());
        painter.drawText(QRect(0, row.top(), labelRight - 2, row.height()),
                         Qt::AlignRight | Qt::AlignVCenter, labelAt(place));
        const int length = barRoom * std::clamp(percentAt(place), 0, 100) / 100;
        const int thickness = std::max(2, row.height() * 3 / 5);
        painter.fillRect(labelRight + 2, row.top() + (row.height() - thickness) / 2, length,
                         thickness, barColour);
        painter.setPen(palette().mid().color());
        painter.drawLine(labelRight, row.top(), labelRight, row.bottom());
    }
}

} // namespace pulsavo
