#pragma once

#include "LadderPainter.h"
#include "Monitor.h"
#include "Simulation.h"

#include <QFont>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

class QImage;
class QPainter;
class QRect;

namespace pulsavo {

enum class StripStyle { strip, monitor };

// What a strip shows, independent of where the samples came from: a headless run of
// pulsavo-strip or the history of a monitor in the trainer.
struct StripDescription {
    // strip: one column per tick in rows of rowSeconds under the caption, on black or on ECG
    // paper. monitor: the panel as the sweep leaves it after the last sample, drawn from black.
    StripStyle style = StripStyle::strip;
    bool grid = false;
    // Whether segments marked for notice are drawn in the alert colour (an exam hides them).
    bool marking = true;
    // How marked segments stand out, as the learner chose it for the panel.
    Sweep::Highlight highlight = Sweep::Highlight::red;
    int width = defaultPanelWidth;   // the panel's width: the monitor picture's width
    int height = defaultPanelHeight; // the panel's height: the monitor picture's, each row's
    int rowSeconds = 6;
    long long firstTick = 1; // the tick of samples.front()
    long long lastTick = 1;  // the last tick shown
    int startColumn = 1;     // monitor style: the sweep's column before samples.front()
    std::vector<TickSample> samples;
    QStringList caption;
    // strip style: a ladder diagram under each row, drawn from these waves (those from
    // LadderPainter::lookBackTicks before firstTick on, so that every mark is drawn whole).
    bool ladder = false;
    std::vector<WaveEvent> events;
};

// The picture would be larger than can be drawn.
class StripTooLarge : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest picture drawn: a side QPainter's raster engine handles, and 256 MB of pixels.
inline constexpr int maxImageSide = 32767;
inline constexpr long long maxImagePixels = 1LL << 26;

// Paints a strip in logical pixels, the same picture onto any QPainter: an image, an SVG
// generator or a PDF page. Needs a QGuiApplication for the caption's font.
class StripPainter {
public:
    // Throws StripTooLarge when the picture would be too large to draw.
    explicit StripPainter(StripDescription description);

    // The picture's size for a description whose samples may not have been gathered yet.
    static QSize pictureSize(const StripDescription& description);

    void paint(QPainter& painter) const;

    const StripDescription& description() const { return what; }
    QSize size;

private:
    struct Metrics {
        QFont font;
        int left = 0; // where the rows start: after the ladder's tier labels
        int rowPitch = 0;
        int captionHeight = 0;
        int rows = 0;
        int columns = 0;
        QSize size;
    };
    static Metrics measure(const StripDescription& description);

    void paintMonitor(QPainter& painter) const;
    void paintStrip(QPainter& painter) const;
    void paintGrid(QPainter& painter, const QRect& box) const;
    QRect rowBox(int row) const;
    void paintLadder(QPainter& painter, int row, const QRect& box) const;

    StripDescription what;
    Metrics metrics;
    LadderPainter ladder;
};

// The caption that lets a class regenerate the identical strip: each decision with its rhythm
// and seed, the ticks shown and, when given, a panel height other than the usual one.
QStringList stripCaption(const std::vector<Monitor::Selection>& selections, long long firstTick,
                         long long lastTick, std::optional<int> unusualHeight,
                         const std::function<QString(std::optional<Rhythm>)>& rhythmName);

// The last `ticks` ticks a monitor ran (fewer when its history is shorter) as a strip, exactly as
// pulsavo-strip draws the same rhythms, seeds and ticks; the ladder needs the monitor's event
// history.
StripDescription stripOfMonitor(const Monitor& monitor, int ticks, bool grid, bool ladder,
                                std::optional<int> unusualHeight,
                                const std::function<QString(std::optional<Rhythm>)>& rhythmName);

// The picture in each file format; the painter's size is the image's and the SVG's, and the PDF
// is one A4 landscape page with the picture scaled to fit. Throws std::runtime_error when Qt
// cannot produce it.
QImage renderImage(const StripPainter& strip);
QByteArray renderPng(const StripPainter& strip);
QByteArray renderSvg(const StripPainter& strip);
QByteArray renderPdf(const StripPainter& strip);

} // namespace pulsavo
