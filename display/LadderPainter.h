#pragma once

#include "WaveEvent.h"

#include <QColor>
#include <QRectF>

#include <cstdint>
#include <span>
#include <vector>

class QFont;
class QPainter;

namespace pulsavo {

// The three tiers of a Lewis ladder diagram, top to bottom.
enum class LadderTier : std::uint8_t { atria, node, ventricles };

// How a wave is drawn, chosen from its kind and role alone.
enum class LadderShape : std::uint8_t {
    atrial,              // a stroke through A (a P or F wave, or the f wave a QRS came from)
    atrialOrigin,        // a dot in A with a stroke through A: an ectopic atrial impulse
    atrialFragment,      // a short stroke in A: a fibrillating or fluttering wave not conducted
    blocked,             // a stroke through A and into AV, ending in a bar: a P wave not conducted
    missing,             // a dashed outline of a beat through all tiers, where a sinus beat was due
    conducted,           // a line across AV from its atrial wave, and a stroke through V
    junctional,          // a dot in AV and a stroke down through V: an impulse from the junction
    ventricular,         // a dot in V spreading through V: an impulse from the ventricles
    ventricularFragment, // a short stroke in V: a wave of ventricular fibrillation
    recovery,            // a faint bar low in V over the T wave: the ventricles recovering
};

// One wave as the ladder shows it: exactly one mark per wave, at the wave's tick.
struct LadderMark {
    WaveEvent event;
    LadderTier tier = LadderTier::atria; // where the impulse starts
    LadderShape shape = LadderShape::atrial;
    std::int64_t tick = 0; // the wave's tick
    // conducted: the tick its AV line starts on (its atrial wave's); the line's length is the
    // PR. missing: where the outline's V stroke stands. Otherwise the tick itself.
    std::int64_t linkTick = 0;
};

// Colours for a ladder on the monitor's black and on ECG paper.
struct LadderPalette {
    QColor ink;     // marks
    QColor faint;   // tier lines and recovery bars
    QColor label;   // tier labels
    QColor missing; // the dashed outlines
    static LadderPalette monitor();
    static LadderPalette paper();
};

// The marks of a list of waves, and their painting onto any QPainter on the trace's time axis:
// one pixel per tick, tick t over the column [x(t), x(t) + 1) where the trace draws that tick.
class LadderPainter {
public:
    // How far back a conducted QRS without an atrial wave of its own looks for the fibrillating
    // wave it came from, and how far before a range waves are needed to draw it whole.
    static constexpr int maxLinkTicks = 30;
    static constexpr int usualPr = 12;
    static constexpr int lookBackTicks = 64;

    // The waves in any order; they are drawn in tick order.
    explicit LadderPainter(std::span<const WaveEvent> events);

    // One mark per wave, in tick order.
    const std::vector<LadderMark>& marks() const { return all; }
    // The marks whose tick lies in [firstTick, lastTick].
    std::vector<LadderMark> marksIn(std::int64_t firstTick, std::int64_t lastTick) const;

    // Paints the ticks firstTick..lastTick into `area`: tick firstTick on the column at
    // area.left(). Parts of marks before or after the range (an AV line that started earlier)
    // are cut off at the range's edges, as the trace is, so rows of a strip join up.
    void paint(QPainter& painter, const QRectF& area, std::int64_t firstTick, std::int64_t lastTick,
               const LadderPalette& palette) const;

    // "A", "AV" and "V" right-aligned in `labels`, beside a ladder painted into an area of the
    // same top and height.
    static void paintLabels(QPainter& painter, const QRectF& labels, const QFont& font,
                            const LadderPalette& palette);

    // A tier's band inside a ladder's area.
    static QRectF tierBox(LadderTier tier, const QRectF& area);

    // The shape a wave is drawn with, from its kind and role, given whether a conducted
    // ventricular complex has an atrial wave to come from.
    static LadderShape shapeOf(const WaveEvent& event, bool hasAtrialWave);

private:
    void paintMark(QPainter& painter, const LadderMark& mark, const QRectF& area,
                   std::int64_t firstTick, const LadderPalette& palette) const;

    std::vector<LadderMark> all;
};

} // namespace pulsavo
