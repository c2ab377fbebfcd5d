#pragma once

#include "Simulation.h"

#include <QColor>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QRegion>

#include <array>
#include <vector>

class QPainter;

namespace pulsavo {

// The panel pulsavo-strip draws, and that a saved strip names only when it differs: the classic
// panel's 342 x 78 dialog units at its font's 7 x 15 pixel base units at 96 DPI.
inline constexpr int defaultPanelWidth = 599;
inline constexpr int defaultPanelHeight = 146;

// The bedside-monitor sweep over a W x H pixel surface: a black gap wipes 30 columns ahead of
// the cursor, the cursor wraps from the right edge to column 1, and each tick draws one 2 px
// segment in green, or red where the simulation marks something to notice.
class Sweep {
public:
    static constexpr int wipeWidth = 30;
    inline static const QColor normalColour{0, 255, 0};
    inline static const QColor alertColour{255, 0, 0};
    // An Okabe-Ito pair that stays apart for red-green colour blindness: bluish green for the
    // normal trace, orange for what to notice.
    inline static const QColor safeNormalColour{0, 158, 115};
    inline static const QColor safeAlertColour{230, 159, 0};

    // How marked segments stand out: red (the standard look), red and 3 px thick, or the
    // colour-blind safe pair with the thick marked line.
    enum class Highlight { red, thick, colourBlindSafe };
    static constexpr int standardPenWidth = 2;
    static constexpr int thickPenWidth = 3;

    // The geometry of one tick: the black wipe (a second rect when it is split at the right
    // edge, otherwise empty) and the segment, in panel pixels.
    struct Step {
        std::array<QRect, 2> wipe;
        QPoint from;
        QPoint to;
        bool red = false;
        // The columns of the wipe that the previous tick's wipe did not cover, over the full
        // height: all of it on a new sweep, one column a tick after that (three at the wrap).
        QRect freshWipe;
    };

    // What ticks changed on a surface, in panel pixels: a few rects, those side by side merged
    // into one, so that a frame sends two small areas (the cursor's and the fresh wipe's)
    // rather than many.
    class Changes {
    public:
        void add(const QRect& rect);
        bool isEmpty() const { return count == 0; }
        int size() const { return count; }
        const QRect* begin() const { return rects.data(); }
        const QRect* end() const { return rects.data() + count; }
        QRegion region() const;

    private:
        static constexpr int capacity = 8;
        std::array<QRect, capacity> rects;
        int count = 0;
    };

    Sweep(int width, int height);

    // ECG paper for a panel of width x height at device pixel ratio `ratio`, black with
    // 1 px lines every smallSquare pixels (40 ms at one column per tick) and brighter ones
    // every largeSquare pixels, counted from the panel's top-left corner.
    static constexpr int smallSquare = 4;
    static constexpr int largeSquare = 20;
    inline static const QColor smallLineColour{34, 44, 60};
    inline static const QColor largeLineColour{62, 82, 112};
    static QImage paperImage(int width, int height, qreal ratio = 1);

    // Moves the cursor one column (wrapping to column 1 at the right edge) and says what to paint.
    Step advance(const TickSample& sample);

    // Paints a step in full: the whole wipe, then the segment. Onto any painter.
    void paint(QPainter& painter, const Step& step) const;

    // Paints a step into an image that only this sweep draws on, with the same pixels as
    // paint(), and adds what changed. The sweep remembers which rows of each column it drew,
    // so the wipe clears only those: the rows the old trace crossed in the fresh column and
    // those of the last segment's cap. Images it cannot address pixel by pixel (other formats,
    // fractional pixel ratios, a paper of another size) are painted with paint().
    void paintInto(QImage& image, const Step& step, Changes& changed);

    // The image's pixels changed behind the sweep's back (filled, resampled, another paper,
    // another image): its wipes clear whole columns until they have passed once.
    void forgetDrawn();

    // Paints one tick onto a painter whose coordinates are the panel's pixels.
    void draw(QPainter& painter, const TickSample& sample) { paint(painter, advance(sample)); }

    // Clamps a trace y to the drawable range, as the segment's end point is clamped.
    int clampY(int y) const { return y < 0 ? 0 : (y > height ? height : y); }

    // Sets both pens for a highlight style; the standard style is red.
    void setHighlight(Highlight style);
    Highlight highlight() const { return style; }

    // How far a pen's stroke reaches past a segment's end points, in whole pixels.
    static int reachOf(const QPen& pen);
    // The reach of the wider of the two pens.
    int penReach() const;

    // Everything a step's painting may change, in panel pixels, given that it paints onto what
    // the sweep's earlier steps left: the fresh columns of the wipe, the columns just ahead of
    // the cursor where the previous segment's pen reached, and the segment with `reach` pixels
    // around it for the pen (penReach() of the sweep that painted it). The rest of the wipe
    // is already background. Empty rects are to be skipped.
    static std::array<QRect, 3> dirtyRects(const Step& step, int reach = 2);

    int width;
    int height;
    int sweepX = 1;
    // When set, the wipe copies these columns of it instead of filling black: an image of the
    // panel's size and the surface's pixel ratio and format (see paperImage).
    QImage paper;
    QPen normalPen;
    QPen alertPen;

private:
    Highlight style = Highlight::red;
    std::array<QRect, 2> lastWipe;

    // The rows of a column that may differ from the background; none when top > bottom.
    struct Rows {
        int top = 0;
        int bottom = -1;
    };
    std::vector<Rows> drawn;
    void paintSegment(QPainter& painter, const Step& step) const;
    void clearInto(QImage& image, const QRect& rect, int ratio) const;
    void segmentInto(QImage& image, const Step& step, int ratio) const;

    // Qt flattens a round cap's curves on every stroke, which costs more than all the rest of a
    // tick. A segment's pixels depend only on its rise and pen, so onto an image at a whole
    // device pixel ratio each one is rasterised once and then copied, pixel for pixel the same.
    static constexpr int maxCachedRise = 48;
    static constexpr int maxCachedReach = 4;
    struct SegmentCache {
        QPen pen;
        qreal ratio = 0;
        std::array<QImage, 2 * maxCachedRise + 1> sprites;
        // Whether each sprite's pixels are all either opaque or clear, so that copying its
        // opaque ones is exactly what drawing it over the surface does.
        std::array<bool, 2 * maxCachedRise + 1> solid{};
    };
    // The rasterised segment of a step at a whole pixel ratio, or null when it is not cached
    // (too steep, too wide a pen); `solid` says whether its pixels are all opaque or clear.
    const QImage* sprite(const Step& step, qreal ratio, bool* solid = nullptr) const;
    bool drawCachedSegment(QPainter& painter, const Step& step) const;

    mutable std::array<SegmentCache, 2> segmentCache;
};

} // namespace pulsavo
