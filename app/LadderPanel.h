#pragma once

#include <QImage>
#include <QWidget>

namespace pulsavo {

class Monitor;

// A Lewis ladder diagram under a monitor panel, on the same time axis and swept with the same
// cursor and wipe: each column shows the waves of the tick the trace shows above it. It draws
// from the monitor's event history, which it switches on.
class LadderPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int preferredHeight = 66;

    explicit LadderPanel(QWidget* parent = nullptr);

    void setMonitor(Monitor* shown);

    // Draws the ladder as the monitor stands now; call after its ticks ran.
    void refresh();

    const QImage& image() const { return picture; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Monitor* monitor = nullptr;
    QImage picture;
};

} // namespace pulsavo
