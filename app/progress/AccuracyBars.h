#pragma once

#include <QWidget>

#include <vector>

namespace pulsavo {

// Accuracy per rhythm as horizontal bars, one row each from the top, numbered by place as the
// heat map's rows are: the number, the name (shortened to the room left), the figures and the
// bar. The rows are painted here rather than by a chart, so that an answer repaints the one
// row it changed instead of a chart laid out afresh.
class AccuracyBars : public QWidget {
    Q_OBJECT
public:
    struct Row {
        QString name;
        QString figures;      // attempts, median time and percentage; empty when not answered
        QString shortFigures; // the percentage alone, for a narrow window
        int percent = 0;
        bool operator==(const Row&) const = default;
    };

    explicit AccuracyBars(QWidget* parent = nullptr);

    void setTitle(const QString& text);
    // The same number of rows: only those that differ are repainted.
    void setRows(std::vector<Row> rows);
    int count() const { return static_cast<int>(shown.size()); }
    // The bar's length at `place` in whole percent, and the label drawn beside it.
    int percentAt(int place) const { return shown[static_cast<std::size_t>(place)].percent; }
    QString labelAt(int place) const;
    QRect rowRect(int place) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int titleHeight() const;
    int rowHeight() const;
    int labelRoom() const;

    QString title;
    std::vector<Row> shown;
};

} // namespace pulsavo
