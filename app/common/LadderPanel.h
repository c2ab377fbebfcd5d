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
    // The plate at the left edge that names the tiers A, AV and V.
    static constexpr int labelPlateWidth = 22;

    explicit LadderPanel(QWidget* parent = nullptr);

    void setMonitor(Monitor* shown);

    // Draws the ladder as the monitor stands now; call after its ticks ran. Only the columns
    // that changed are repainted on screen.
    void refresh();
    // The columns where two pictures of one size differ, over their full height; empty when
    // they are the same.
    static QRect changedColumns(const QImage& before, const QImage& after);

    const QImage& image() const { return picture; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void paintLabels();

    Monitor* monitor = nullptr;
    QImage picture;
    QImage canvas; // the next picture is drawn here, then the two swap
};

} // namespace pulsavo
