#pragma once

#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QWidget>

namespace pulsavo {

class ScopePanel;

// A monitor panel shown again, larger: it copies what the panel's monitor painted, in the same
// wake, and scales it to its own size. It never steps anything, so the picture cannot drift
// from the panel's. In the light theme each copied pixel takes the theme's colour.
class MirrorView : public QWidget {
    Q_OBJECT
public:
    explicit MirrorView(QWidget* parent = nullptr);

    // Follows `panel` from now on (nullptr: none), starting from all it shows.
    void follow(ScopePanel* panel);
    void setLight(bool on);
    bool isLight() const { return light; }

    // The panel's picture in the theme's colours, at the panel's pixels.
    const QImage& frame() const { return themed; }
    // Where the frame is drawn, in this widget's pixels: as large as fits, at its own aspect.
    QRectF placement() const;
    QColor background() const;

    // A pixel of the dark monitor as the light theme shows it.
    static QRgb lightColour(QRgb dark);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void take(const QRegion& dirty);

    QPointer<ScopePanel> source;
    QMetaObject::Connection followed;
    QImage themed;
    bool light = false;
};

} // namespace pulsavo
