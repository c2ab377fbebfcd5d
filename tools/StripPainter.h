#pragma once

#include "Sweep.h"
#include "TraceCommand.h"

#include <QFont>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

class QImage;
class QPainter;
class QRect;

namespace pulsavo::strip {

// The largest picture drawn: a side QPainter's raster engine handles, and 256 MB of pixels.
inline constexpr int maxImageSide = 32767;
inline constexpr long long maxImagePixels = 1LL << 26;

// Runs a trace and paints it in logical pixels, the same picture onto any QPainter: an image,
// an SVG generator or a PDF page. Needs a QGuiApplication for the caption's font.
class StripPainter {
public:
    // Throws UsageError when the picture would be too large to draw.
    explicit StripPainter(const TraceOptions& options);

    void paint(QPainter& painter) const;

    // Monitor style: the panel after the last tick, drawn from black. Strip style: one column
    // per tick, rows of rowSeconds, under a caption that names every selection and its seed.
    ImageStyle style;
    bool grid;
    int width;
    int height;
    int columns;
    int rows = 0;
    long long firstTick;
    long long lastTick;
    QSize size;
    QStringList caption;

private:
    struct Segment {
        int fromY;
        int toY;
        bool red;
    };

    void paintMonitor(QPainter& painter) const;
    void paintStrip(QPainter& painter) const;
    void paintGrid(QPainter& painter, const QRect& box) const;
    QRect rowBox(int row) const;

    QFont font;
    int captionHeight = 0;
    std::vector<Sweep::Step> steps;
    std::vector<Segment> segments;
};

// The picture in each file format; the painter's size is the image's and the SVG's, and the PDF
// is one A4 landscape page with the picture scaled to fit. Throws std::runtime_error when Qt
// cannot produce it.
QImage renderImage(const StripPainter& strip);
QByteArray renderPng(const StripPainter& strip);
QByteArray renderSvg(const StripPainter& strip);
QByteArray renderPdf(const StripPainter& strip);

} // namespace pulsavo::strip
