#include "Sweep.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <utility>

using namespace pulsavo;

namespace {

const QRgb black = qRgb(0, 0, 0);
const QRgb green = qRgb(0, 255, 0);
const QRgb red = qRgb(255, 0, 0);

TickSample flat(int y = baselineY, bool isRed = false) {
    return TickSample{y, y, isRed, false};
}

// The panel as the sweep paints it: pixel-exact, no antialiasing, device pixel ratio 1.
struct Panel {
    Panel(int w, int h) : image(w, h, QImage::Format_RGB32), sweep(w, h) { image.fill(Qt::gray); }
    void tick(const TickSample& sample) {
        QPainter painter(&image);
        sweep.draw(painter, sample);
    }
    bool columnIs(int x, QRgb colour) const {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixel(x, y) != colour) {
                return false;
            }
        }
        return true;
    }
    QImage image;
    Sweep sweep;
};

} // namespace

class TestSweep : public QObject {
    Q_OBJECT

private slots:
    void cursorAdvancesAndWrapsToColumnOne();
    void wipeIsSplitAtTheRightEdge_data();
    void wipeIsSplitAtTheRightEdge();
    void onlyTheEndPointIsClamped();
    void dirtyRectsCoverEverythingPainted_data();
    void dirtyRectsCoverEverythingPainted();
    void paintsFlatGreenLineWithBlackGapAhead();
    void paintsRedAndWrapsAtTheEdge();
    void paintsASimulatedRhythm();
    void copiedSegmentsMatchStrokedOnes_data();
    void copiedSegmentsMatchStrokedOnes();
    void wipeRestoresThePaper_data();
    void wipeRestoresThePaper();
    void highlightStylesPaintTheirPens_data();
    void highlightStylesPaintTheirPens();
    void trackedPaintingMatchesAFullRepaint_data();
    void trackedPaintingMatchesAFullRepaint();
    void changesMergeWhatTouches();
};

void TestSweep::cursorAdvancesAndWrapsToColumnOne() {
    const int w = 50;
    Sweep sweep(w, 40);
    int previousEnd = 1;
    for (int tick = 0; tick < 3 * w; ++tick) {
        const Sweep::Step step = sweep.advance(flat(20));
        QVERIFY(step.from.x() >= 1 && step.from.x() <= w - 2);
        QCOMPARE(step.to.x(), step.from.x() + 1);
        QCOMPARE(step.from.x(), previousEnd == w - 1 ? 1 : previousEnd);
        previousEnd = step.to.x();
    }
    // Columns 1 to W-1 are drawn: W-2 segments per pass.
    Sweep fresh(w, 40);
    for (int tick = 0; tick < w - 2; ++tick) {
        fresh.advance(flat());
    }
    QCOMPARE(fresh.sweepX, w - 1);
    QCOMPARE(fresh.advance(flat()).from.x(), 1);
}

void TestSweep::wipeIsSplitAtTheRightEdge_data() {
    QTest::addColumn<int>("sweepX");
    QTest::addColumn<QRect>("right");
    QTest::addColumn<QRect>("left");
    // W = 100, H = 60.
    QTest::newRow("well inside") << 10 << QRect(10, 0, 30, 60) << QRect();
    QTest::newRow("ends at the edge") << 70 << QRect(70, 0, 30, 60) << QRect();
    QTest::newRow("one past") << 71 << QRect(71, 0, 29, 60) << QRect(0, 0, 1, 60);
    QTest::newRow("last column") << 99 << QRect(99, 0, 1, 60) << QRect(0, 0, 29, 60);
}

void TestSweep::wipeIsSplitAtTheRightEdge() {
    QFETCH(int, sweepX);
    QFETCH(QRect, right);
    QFETCH(QRect, left);
    Sweep sweep(100, 60);
    sweep.sweepX = sweepX;
    const Sweep::Step step = sweep.advance(flat());
    QCOMPARE(step.wipe[0], right);
    QCOMPARE(step.wipe[1], left);
    QCOMPARE(step.wipe[0].width() + step.wipe[1].width(), Sweep::wipeWidth);
}

void TestSweep::onlyTheEndPointIsClamped() {
    Sweep sweep(100, 60);
    Sweep::Step step = sweep.advance(TickSample{30, -15, false, false});
    QCOMPARE(step.from, QPoint(1, 30));
    QCOMPARE(step.to, QPoint(2, 0));
    step = sweep.advance(TickSample{-15, 70, false, false});
    QCOMPARE(step.from, QPoint(2, -15));
    QCOMPARE(step.to, QPoint(3, 60));
    step = sweep.advance(TickSample{70, 60, false, false});
    QCOMPARE(step.to, QPoint(4, 60));
}

void TestSweep::dirtyRectsCoverEverythingPainted_data() {
    QTest::addColumn<Sweep::Highlight>("style");
    QTest::newRow("red") << Sweep::Highlight::red;
    QTest::newRow("thick") << Sweep::Highlight::thick;
    QTest::newRow("colour-blind safe") << Sweep::Highlight::colourBlindSafe;
}

void TestSweep::dirtyRectsCoverEverythingPainted() {
    QFETCH(Sweep::Highlight, style);
    const int w = 80;
    const int h = 50;
    Panel panel(w, h);
    panel.sweep.setHighlight(style);
    int previousY = 20;
    for (int tick = 0; tick < 2 * w; ++tick) {
        const QImage before = panel.image;
        const Sweep savedSweep = panel.sweep;
        const int y = (tick * 7) % (h + 20) - 10; // also off the panel
        const TickSample sample{previousY, y, tick % 3 == 0, false};
        previousY = y;
        panel.tick(sample);
        Sweep replay = savedSweep;
        const Sweep::Step step = replay.advance(sample);
        const auto rects = Sweep::dirtyRects(step, panel.sweep.penReach());
        // After the first tick a frame's repaint is a few columns, not the whole wipe.
        const bool justWrapped = tick > 1 && savedSweep.sweepX == 2;
        QCOMPARE(step.freshWipe.width(), tick == 0 ? Sweep::wipeWidth : justWrapped ? 3 : 1);
        for (int py = 0; py < h; ++py) {
            for (int px = 0; px < w; ++px) {
                if (before.pixel(px, py) == panel.image.pixel(px, py)) {
                    continue;
                }
                const QPoint p(px, py);
                QVERIFY2(std::any_of(rects.begin(), rects.end(),
                                     [&](const QRect& r) { return r.contains(p); }),
                         qPrintable(QStringLiteral("tick %1: (%2, %3) changed outside")
                                        .arg(tick)
                                        .arg(px)
                                        .arg(py)));
            }
        }
    }
}

void TestSweep::paintsFlatGreenLineWithBlackGapAhead() {
    Panel panel(599, 146);
    for (int tick = 0; tick < 300; ++tick) {
        panel.tick(flat());
    }
    QCOMPARE(panel.sweep.sweepX, 301);
    for (int x = 1; x <= 300; ++x) {
        QCOMPARE(panel.image.pixel(x, 85), green);
        QCOMPARE(panel.image.pixel(x, 84), green); // 2 px pen
        QCOMPARE(panel.image.pixel(x, 60), black);
        QCOMPARE(panel.image.pixel(x, 110), black);
    }
    // The gap: the wipe blackened columns 300 to 329; the last segment and its round cap
    // cover up to column 301, the untouched panel starts at 330.
    QCOMPARE(panel.image.pixel(301, 85), green);
    for (int x = 302; x < 330; ++x) {
        QVERIFY2(panel.columnIs(x, black), qPrintable(QString::number(x)));
    }
    QCOMPARE(panel.image.pixel(330, 85), qRgb(160, 160, 164));
}

void TestSweep::paintsRedAndWrapsAtTheEdge() {
    const int w = 120;
    Panel panel(w, 60);
    for (int tick = 0; tick < w - 2; ++tick) {
        panel.tick(flat(30, tick >= 50 && tick < 60));
    }
    QCOMPARE(panel.image.pixel(45, 30), green);
    QCOMPARE(panel.image.pixel(56, 30), red);
    QCOMPARE(panel.image.pixel(65, 30), green);
    // The last pass ended at column W-1; the next segment starts again at column 1, and the
    // wipe ahead of it has blackened the left edge.
    QCOMPARE(panel.image.pixel(w - 1, 30), green);
    panel.tick(flat(10));
    QCOMPARE(panel.sweep.sweepX, 2);
    QVERIFY(panel.columnIs(w - 1, black));
    QCOMPARE(panel.image.pixel(2, 10), green);
    for (int x = 3; x < 29; ++x) {
        QVERIFY2(panel.columnIs(x, black), qPrintable(QString::number(x)));
    }
    QCOMPARE(panel.image.pixel(29, 30), green); // the previous pass, not yet wiped
}

void TestSweep::paintsASimulatedRhythm() {
    Panel panel(599, 146);
    Simulation sim;
    sim.selectRhythm(10, 4); // ventricular tachycardia: red throughout
    for (int tick = 0; tick < 500; ++tick) {
        panel.tick(sim.step());
    }
    int redPixels = 0;
    int greenPixels = 0;
    for (int x = 1; x < 500; ++x) {
        for (int y = 0; y < 146; ++y) {
            redPixels += panel.image.pixel(x, y) == red;
            greenPixels += panel.image.pixel(x, y) == green;
        }
    }
    QVERIFY(redPixels > 1000);
    QCOMPARE(greenPixels, 0);
}

void TestSweep::copiedSegmentsMatchStrokedOnes_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<bool>("red");
    QTest::addColumn<Sweep::Highlight>("style");
    const auto red = Sweep::Highlight::red;
    const auto thick = Sweep::Highlight::thick;
    const auto safe = Sweep::Highlight::colourBlindSafe;
    QTest::newRow("ratio 1, green") << 1.0 << false << red;
    QTest::newRow("ratio 2, red") << 2.0 << true << red;
    QTest::newRow("ratio 3, green") << 3.0 << false << red;
    QTest::newRow("ratio 1, red") << 1.0 << true << red;
    QTest::newRow("thick, ratio 1, marked") << 1.0 << true << thick;
    QTest::newRow("thick, ratio 2, marked") << 2.0 << true << thick;
    QTest::newRow("thick, ratio 3, marked") << 3.0 << true << thick;
    QTest::newRow("thick, ratio 1, normal") << 1.0 << false << thick;
    QTest::newRow("safe, ratio 1, marked") << 1.0 << true << safe;
    QTest::newRow("safe, ratio 2, marked") << 2.0 << true << safe;
    QTest::newRow("safe, ratio 1, normal") << 1.0 << false << safe;
    QTest::newRow("safe, ratio 2, normal") << 2.0 << false << safe;
}

// Every rise at several places, including the panel's edges, against the pen drawn directly.
void TestSweep::copiedSegmentsMatchStrokedOnes() {
    QFETCH(qreal, ratio);
    QFETCH(bool, red);
    QFETCH(Sweep::Highlight, style);
    const int w = 60;
    const int h = 50;
    Sweep sweep(w, h);
    sweep.setHighlight(style);
    const auto blank = [&] {
        QImage image(QSize(w, h) * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(black);
        return image;
    };
    for (int rise = -60; rise <= 60; ++rise) {
        for (const QPoint from : {QPoint(1, 25), QPoint(58, 0), QPoint(7, -3), QPoint(0, 49)}) {
            Sweep::Step step;
            step.from = from;
            step.to = QPoint(from.x() + 1, from.y() + rise);
            step.red = red;
            QImage copied = blank();
            QImage stroked = blank();
            {
                QPainter painter(&copied);
                sweep.paint(painter, step);
            }
            {
                QPainter painter(&stroked);
                painter.setPen(red ? sweep.alertPen : sweep.normalPen);
                painter.drawLine(step.from, step.to);
            }
            QVERIFY2(
                copied == stroked,
                qPrintable(
                    QStringLiteral("rise %1 from %2,%3").arg(rise).arg(from.x()).arg(from.y())));
        }
    }
}

void TestSweep::wipeRestoresThePaper_data() {
    QTest::addColumn<int>("ratio");
    QTest::newRow("dpr 1") << 1;
    QTest::newRow("dpr 2") << 2;
}

// On paper the wipe ahead of the cursor shows the squares, not black: 1 px lines every 4
// columns and rows (40 ms), brighter every 20 (200 ms); the trace lies on top.
void TestSweep::wipeRestoresThePaper() {
    QFETCH(int, ratio);
    const int w = 120;
    const int h = 60;
    QImage image(QSize(w, h) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::gray);
    Sweep sweep(w, h);
    sweep.paper = Sweep::paperImage(w, h, ratio);
    const QRgb small = Sweep::smallLineColour.rgb();
    const QRgb large = Sweep::largeLineColour.rgb();
    const auto expected = [&](int x, int y) {
        if (x % 20 == 0 || y % 20 == 0) {
            return large;
        }
        return x % 4 == 0 || y % 4 == 0 ? small : black;
    };
    // One and a half passes: the trace of the second pass, the gap, and the first pass's
    // trace beyond, all of it over paper the wipe laid.
    for (int tick = 0; tick < 118 + 50; ++tick) {
        QPainter painter(&image);
        sweep.draw(painter, flat(30));
    }
    QCOMPARE(sweep.sweepX, 51);
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            const bool inGap = x >= 53 && x < 80;
            const bool nearTrace = y >= 28 && y <= 31;
            if ((inGap || !nearTrace) && image.pixel(x * ratio, y * ratio) != expected(x, y)) {
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
        }
    }
    for (const int x : {1, 40, 51, 81, w - 2}) {
        QVERIFY2(image.pixel(x * ratio, 30 * ratio) == green, qPrintable(QString::number(x)));
    }
    QCOMPARE(image.pixel(60 * ratio, 40 * ratio), large);
    QCOMPARE(image.pixel(64 * ratio, 31 * ratio), small);
    QCOMPARE(image.pixel(65 * ratio, 31 * ratio), black);
}

void TestSweep::highlightStylesPaintTheirPens_data() {
    QTest::addColumn<Sweep::Highlight>("style");
    QTest::addColumn<QRgb>("normal");
    QTest::addColumn<QRgb>("marked");
    QTest::addColumn<int>("markedWidth");
    QTest::newRow("red") << Sweep::Highlight::red << green << red << 2;
    QTest::newRow("thick") << Sweep::Highlight::thick << green << red << 3;
    QTest::newRow("colour-blind safe")
        << Sweep::Highlight::colourBlindSafe << qRgb(0, 158, 115) << qRgb(230, 159, 0) << 3;
}

// A flat trace, marked from tick 50 to 59: the colours, and how many rows each line covers.
void TestSweep::highlightStylesPaintTheirPens() {
    QFETCH(Sweep::Highlight, style);
    QFETCH(QRgb, normal);
    QFETCH(QRgb, marked);
    QFETCH(int, markedWidth);
    Panel panel(120, 60);
    panel.sweep.setHighlight(style);
    QCOMPARE(panel.sweep.highlight(), style);
    for (int tick = 0; tick < 100; ++tick) {
        panel.tick(flat(30, tick >= 50 && tick < 60));
    }
    const auto rowsOf = [&](int x, QRgb colour) {
        int rows = 0;
        for (int y = 0; y < panel.image.height(); ++y) {
            rows += panel.image.pixel(x, y) == colour;
        }
        return rows;
    };
    QCOMPARE(rowsOf(30, normal), 2);
    QCOMPARE(rowsOf(30, marked), 0);
    QCOMPARE(rowsOf(56, marked), markedWidth);
    QCOMPARE(rowsOf(56, normal), 0);
}

void TestSweep::trackedPaintingMatchesAFullRepaint_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<bool>("paper");
    QTest::addColumn<Sweep::Highlight>("style");
    using enum Sweep::Highlight;
    QTest::newRow("ratio 1") << 1.0 << false << red;
    QTest::newRow("ratio 1, paper") << 1.0 << true << red;
    QTest::newRow("ratio 2, paper, thick") << 2.0 << true << thick;
    QTest::newRow("ratio 2, safe") << 2.0 << false << colourBlindSafe;
    QTest::newRow("ratio 3, paper, safe") << 3.0 << true << colourBlindSafe;
    QTest::newRow("ratio 1.5, painted in full") << 1.5 << false << thick;
    QTest::newRow("ratio 1.5, paper, painted in full") << 1.5 << true << red;
}

// Over five passes of a trace that rests, climbs steeply, jumps off the panel and back, marked
// now and then, the tracked painting leaves the pixels of a full wipe after every tick, in at
// most three reported rects that hold every pixel it changed.
void TestSweep::trackedPaintingMatchesAFullRepaint() {
    QFETCH(qreal, ratio);
    QFETCH(bool, paper);
    QFETCH(Sweep::Highlight, style);
    QImage tracked(QSize(90, 60) * ratio, QImage::Format_RGB32);
    tracked.setDevicePixelRatio(ratio);
    tracked.fill(Qt::gray);
    QImage full = tracked.copy();
    Sweep sweep(90, 60);
    sweep.setHighlight(style);
    sweep.paper = paper ? Sweep::paperImage(90, 60, ratio) : QImage();
    const Sweep reference = sweep;
    int previousY = 30;
    for (int tick = 0; tick < 5 * 90; ++tick) {
        const int phase = tick % 41;
        const int y = phase < 8    ? 30
                      : phase < 10 ? 30 - 55 * (phase - 7) // steeper than any cached segment
                      : phase < 12 ? 72
                      : phase < 30 ? 10 + (phase - 12) * 3
                                   : 45 - (tick * 7) % 13;
        const Sweep::Step step = sweep.advance({std::exchange(previousY, y), y, tick % 7 < 3});
        QImage patched = tracked.copy(); // the reported rects of the new picture over the old
        Sweep::Changes changed;
        sweep.paintInto(tracked, step, changed);
        QPainter painter(&full);
        reference.paint(painter, step);
        painter.end();
        QVERIFY2(tracked == full, qPrintable(QStringLiteral("tick %1").arg(tick)));
        QVERIFY(changed.size() <= 3);
        for (const QRect& rect : changed) {
            const QRect device =
                QRectF(QPointF(rect.topLeft()) * ratio, QSizeF(rect.size()) * ratio)
                    .toAlignedRect();
            for (int py = device.top(); py <= device.bottom(); ++py) {
                for (int px = device.left(); px <= device.right(); ++px) {
                    patched.setPixel(px, py, tracked.pixel(px, py));
                }
            }
        }
        QVERIFY2(patched == tracked, qPrintable(QStringLiteral("tick %1 unreported").arg(tick)));
    }
}

// Rects side by side merge: a frame sends one area at the cursor and one at the fresh wipe, and
// beyond the capacity nothing is lost.
void TestSweep::changesMergeWhatTouches() {
    Sweep::Changes changes;
    for (const QRect& rect : {QRect(10, 80, 5, 6), QRect(40, 20, 1, 3), QRect(),
                              QRect(15, 70, 5, 4), QRect(41, 90, 1, 2)}) {
        changes.add(rect);
    }
    QCOMPARE(changes.size(), 2);
    changes.add(QRect(20, 0, 20, 1)); // bridges the two
    QCOMPARE(changes.region(), QRegion(QRect(10, 0, 32, 92)));
    Sweep::Changes many;
    QRegion added;
    for (int i = 0; i < 20; ++i) {
        many.add(QRect(i * 10, i, 2, 2));
        added += QRect(i * 10, i, 2, 2);
    }
    QCOMPARE(many.region().intersected(added), added);
}

QTEST_MAIN(TestSweep)
#include "tst_sweep.moc"
