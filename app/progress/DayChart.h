#pragma once

#include "ProgressTypes.h"

#include <QDate>
#include <QWidget>

#include <vector>

namespace pulsavo {

// Accuracy per day as a line over the days given, a point for each day with answers, painted
// here rather than by a chart: it costs next to nothing to build when the window opens, and an
// answer that moves today's point repaints the strip around it alone.
class DayChart : public QWidget {
    Q_OBJECT
public:
    struct Point {
        QDate day;
        int percent = 0;
        bool operator==(const Point&) const = default;
    };

    explicit DayChart(QWidget* parent = nullptr);

    void setTitle(const QString& text);
    // The days shown from the first to the last; those with answers carry a point.
    void setDays(const QList<DayAccuracy>& days);
    int count() const { return static_cast<int>(points.size()); }
    Point pointAt(int index) const { return points[static_cast<std::size_t>(index)]; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect plotRect() const;
    QPoint placeOf(const Point& point) const;

    QString title;
    QDate first;
    QDate last;
    std::vector<Point> points;
};

} // namespace pulsavo
