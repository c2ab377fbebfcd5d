#pragma once

#include "Monitor.h"

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <functional>

namespace pulsavo {

// The monitor panel: a one-pixel black frame around a backing image that holds the trace, so
// that a repaint shows the trace as it was. The widget only blits; ticks paint into the image.
class ScopePanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int frameWidth = 1;

    explicit ScopePanel(QWidget* parent = nullptr);

    // The drawing area: the whole panel, frame included, with its origin at the top-left corner.
    QRect clientRect() const { return rect(); }

    // Sizes the backing image to the panel and shows the dialog background inside a one-pixel
    // black frame; the sweep then paints over both.
    void prepare();

    // Lets the monitor's sweep paint into the backing image and repaints what its ticks touched.
    // From then on a new size keeps the trace: the monitor draws its last pass again.
    void attach(Monitor& monitor);
    // The same for the monitor's pulse wave: its sweep paints here, starting empty on every
    // new size.
    void attachPleth(Monitor& monitor);

    const QImage& backingImage() const { return backing; }

    // ECG paper under the trace: the attached monitor's wipe restores it, and what is already
    // on the panel gets it at once (the black behind the trace becomes paper, and back).
    void setGrid(bool on);
    bool hasGrid() const { return grid; }

    // What a screen reader says the panel shows; the window decides how much to tell (a
    // practice question must not give its answer away).
    void setDescription(const QString& text) { setAccessibleDescription(text); }

    // The device pixel ratio the panel is shown at; tests stand in for a move between screens.
    std::function<qreal()> pixelRatio;

signals:
    // The backing image changed in `dirty` (panel pixels), as the panel repaints it: a window
    // that mirrors the panel follows it frame for frame.
    void imageChanged(const QRegion& dirty);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void followPixelRatio();
    bool copyIntoStore(const QRegion& region);
    void renderPaper();
    void swapBackground(const QImage& from, const QImage& to);
    void surfaceReplaced();

    QImage backing;
    QImage paper; // null without the grid
    bool grid = false;
    Monitor* monitor = nullptr;
    bool pleth = false;
};

} // namespace pulsavo
