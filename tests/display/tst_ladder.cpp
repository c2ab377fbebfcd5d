#include "LadderPainter.h"
#include "Simulation.h"
#include "WaveRecorder.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <map>
#include <vector>

using namespace pulsavo;

Q_DECLARE_METATYPE(pulsavo::Rhythm)

namespace {

constexpr int runTicks = 3000;
constexpr int ladderHeight = 100;

std::vector<WaveEvent> simulate(Rhythm rhythm, std::uint32_t seed, int ticks = runTicks) {
    WaveRecorder recorder(static_cast<std::size_t>(ticks));
    Simulation simulation;
    simulation.setWaveListener(&recorder);
    simulation.selectRhythm(rhythm, seed);
    for (int i = 0; i < ticks; ++i) {
        simulation.step();
    }
    simulation.setWaveListener(nullptr);
    return recorder.events(1, ticks);
}

// The ladder of ticks 1..ticks on white, one pixel per tick from x = 0, without antialiasing so
// that a mark's column is exactly its tick's.
QImage render(const LadderPainter& ladder, int ticks) {
    QImage image(ticks, ladderHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ladder.paint(painter, QRectF(0, 0, ticks, ladderHeight), 1, ticks, LadderPalette::paper());
    return image;
}

bool inked(const QImage& image, int x, qreal y) {
    return image.pixel(x, static_cast<int>(y)) == LadderPalette::paper().ink.rgb();
}

int inkedRows(const QImage& image, int x, const QRectF& band) {
    int count = 0;
    for (int y = static_cast<int>(band.top()) + 1; y < static_cast<int>(band.bottom()); ++y) {
        count += inked(image, x, y) ? 1 : 0;
    }
    return count;
}

QRectF tier(LadderTier which) {
    return LadderPainter::tierBox(which, QRectF(0, 0, runTicks, ladderHeight));
}

const LadderMark& firstMark(const LadderPainter& ladder, LadderShape shape) {
    const auto& marks = ladder.marks();
    const auto it = std::find_if(marks.begin(), marks.end(), [shape](const LadderMark& mark) {
        return mark.shape == shape && mark.tick > LadderPainter::lookBackTicks;
    });
    if (it == marks.end()) {
        qFatal("no mark of the shape asked for");
    }
    return *it;
}

} // namespace

class TestLadder : public QObject {
    Q_OBJECT
private slots:
    void everyWaveIsOneMarkAtItsTick_data();
    void everyWaveIsOneMarkAtItsTick();
    void conductedLineIsThePr_data();
    void conductedLineIsThePr();
    void blockedPWaveEndsInABar();
    void missingBeatIsADashedOutline();
    void fibrillationDrawsTheConductedWaveThrough();
    void recorderKeepsTheLastWavesInTickOrder();
    void rowsOfAStripJoinUp();
};

void TestLadder::everyWaveIsOneMarkAtItsTick_data() {
    QTest::addColumn<Rhythm>("rhythm");
    QTest::addColumn<std::uint32_t>("seed");
    for (const Rhythm rhythm : allRhythms) {
        for (const std::uint32_t seed : {3U, 2024U}) {
            QTest::addRow("rhythm %d seed %u", indexOf(rhythm), seed) << rhythm << seed;
        }
    }
}

// Each wave is one mark at its tick, in the tier its kind belongs to, and its stroke is inked
// in exactly that column of the picture.
void TestLadder::everyWaveIsOneMarkAtItsTick() {
    QFETCH(Rhythm, rhythm);
    QFETCH(std::uint32_t, seed);
    const std::vector<WaveEvent> events = simulate(rhythm, seed);
    QVERIFY(events.size() > 10);
    const LadderPainter ladder(events);
    const std::vector<LadderMark>& marks = ladder.marks();
    QCOMPARE(marks.size(), events.size());
    for (const WaveEvent& event : events) {
        QCOMPARE(std::count_if(marks.begin(), marks.end(),
                               [&event](const LadderMark& m) { return m.event == event; }),
                 1);
    }
    QVERIFY(
        std::is_sorted(marks.begin(), marks.end(),
                       [](const LadderMark& a, const LadderMark& b) { return a.tick < b.tick; }));

    const QImage image = render(ladder, runTicks);
    for (const LadderMark& mark : marks) {
        QCOMPARE(mark.tick, mark.event.tick);
        const int x = static_cast<int>(mark.tick - 1);
        const QRectF atria = tier(LadderTier::atria);
        const QRectF ventricles = tier(LadderTier::ventricles);
        switch (mark.event.kind) {
        case WaveKind::p:
        case WaveKind::atrialFibrillation:
        case WaveKind::atrialFlutter:
            QCOMPARE(mark.tier, LadderTier::atria);
            QVERIFY2(inkedRows(image, x, atria) > 0 || mark.shape == LadderShape::missing,
                     qPrintable(QString("atrial mark at tick %1").arg(mark.tick)));
            break;
        case WaveKind::qrs:
            QVERIFY(mark.tier != LadderTier::atria);
            QVERIFY(inkedRows(image, x, ventricles) >= ventricles.height() / 2);
            break;
        case WaveKind::pacingAtrial:
            QCOMPARE(mark.tier, LadderTier::atria);
            break;
        case WaveKind::ventricularBeat:
        case WaveKind::ventricularFibrillation:
        case WaveKind::pacingVentricular:
            QCOMPARE(mark.tier, LadderTier::ventricles);
            QVERIFY(inkedRows(image, x, ventricles) > 0);
            break;
        case WaveKind::t:
            QCOMPARE(mark.shape, LadderShape::recovery);
            break;
        case WaveKind::wander:
        case WaveKind::tremor:
        case WaveKind::mains:
        case WaveKind::motion:
        case WaveKind::leadOff:
        case WaveKind::cpr:
        case WaveKind::pulse:
        case WaveKind::shock:
            QFAIL("artifact and pulse waves have no place in the ladder");
        }
        // Roles that change the picture: ectopic and escape beats start with a dot in their
        // own tier, blocked P waves end in a bar, missing ones are outlined.
        if (mark.event.kind == WaveKind::p) {
            const std::map<WaveRole, LadderShape> expected{
                {WaveRole::conducted, LadderShape::atrial},
                {WaveRole::blocked, LadderShape::blocked},
                {WaveRole::missing, LadderShape::missing},
                {WaveRole::supraventricular, LadderShape::atrialOrigin}};
            QCOMPARE(mark.shape, expected.at(mark.event.role));
        }
        if (mark.event.role == WaveRole::ventricular && mark.event.kind != WaveKind::t) {
            QVERIFY(mark.shape == LadderShape::ventricular ||
                    mark.shape == LadderShape::ventricularFragment);
        }
        if (mark.event.role == WaveRole::escape && mark.event.kind == WaveKind::qrs) {
            QCOMPARE(mark.shape, LadderShape::junctional);
            QCOMPARE(mark.tier, LadderTier::node);
        }
    }
}

void TestLadder::conductedLineIsThePr_data() {
    QTest::addColumn<Rhythm>("rhythm");
    QTest::addColumn<QList<int>>("prs");
    QTest::newRow("sinus") << Rhythm::sinusRhythm << QList<int>{12};
    QTest::newRow("first degree") << Rhythm::firstDegreeBlock << QList<int>{25};
    QTest::newRow("Wenckebach") << Rhythm::wenckebachBlock << QList<int>{12, 16, 20, 24};
    QTest::newRow("atrial flutter") << Rhythm::atrialFlutter << QList<int>{0};
}

// The AV line of a conducted beat runs from its atrial wave's tick at the top of AV to its QRS
// tick at the bottom: its horizontal length is the PR.
void TestLadder::conductedLineIsThePr() {
    QFETCH(Rhythm, rhythm);
    QFETCH(QList<int>, prs);
    const std::vector<WaveEvent> events = simulate(rhythm, 11);
    const LadderPainter ladder(events);
    std::map<std::int64_t, std::int64_t> atrialTickOfBeat;
    for (const WaveEvent& event : events) {
        if (event.kind == WaveKind::p || event.kind == WaveKind::atrialFlutter) {
            atrialTickOfBeat[event.beat] = event.tick;
        }
    }
    const QImage image = render(ladder, runTicks);
    const QRectF node = tier(LadderTier::node);
    QList<int> seen;
    for (const LadderMark& mark : ladder.marks()) {
        if (mark.shape != LadderShape::conducted || !atrialTickOfBeat.contains(mark.event.beat)) {
            continue;
        }
        QCOMPARE(mark.linkTick, atrialTickOfBeat.at(mark.event.beat));
        const int pr = static_cast<int>(mark.tick - mark.linkTick);
        if (!seen.contains(pr)) {
            seen << pr;
        }
        QVERIFY(inked(image, static_cast<int>(mark.linkTick - 1), node.top()));
        QVERIFY(inked(image, static_cast<int>(mark.tick - 1), node.bottom() - 1));
    }
    std::sort(seen.begin(), seen.end());
    QCOMPARE(seen, prs);
}

// A blocked P wave's line stops halfway through AV with a bar across it; a conducted one
// reaches the bottom.
void TestLadder::blockedPWaveEndsInABar() {
    const LadderPainter ladder(simulate(Rhythm::mobitzBlock, 3));
    const QImage image = render(ladder, runTicks);
    const QRectF node = tier(LadderTier::node);
    const LadderMark& blocked = firstMark(ladder, LadderShape::blocked);
    const int x = static_cast<int>(blocked.tick - 1);
    const auto inkedBetween = [&](qreal top, qreal bottom) {
        int count = 0;
        for (int column = x - 2; column <= x + 12; ++column) {
            count += inkedRows(image, column, QRectF(0, top, 1, bottom - top));
        }
        return count;
    };
    const qreal middle = node.center().y();
    QVERIFY(inkedBetween(node.top(), middle - 2) > 0);
    // The bar: across the steep line's end, so several columns wide where the line is one.
    int barColumns = 0;
    for (int column = x; column <= x + 12; ++column) {
        barColumns += inkedRows(image, column, QRectF(0, middle - 2, 1, 4)) > 0 ? 1 : 0;
    }
    QVERIFY2(barColumns >= 6, qPrintable(QString::number(barColumns)));
    QCOMPARE(inkedBetween(middle + 5, node.bottom()), 0);

    const LadderMark& conducted = firstMark(ladder, LadderShape::conducted);
    QVERIFY(inked(image, static_cast<int>(conducted.tick - 1), node.bottom() - 1));
}

// Where a sinoatrial block drops a beat, the outline is dashed: inked and blank in turn down the
// atria, unlike the solid stroke of a beat that came.
void TestLadder::missingBeatIsADashedOutline() {
    const LadderPainter ladder(simulate(Rhythm::sinoatrialBlock, 3));
    const QImage image = render(ladder, runTicks);
    const QRectF atria = tier(LadderTier::atria);
    const int inner = static_cast<int>(atria.height()) - 1;
    const LadderMark& missing = firstMark(ladder, LadderShape::missing);
    const int x = static_cast<int>(missing.tick - 1);
    const QColor outline = LadderPalette::paper().missing;
    int dashed = 0;
    for (int y = static_cast<int>(atria.top()) + 1; y < static_cast<int>(atria.bottom()); ++y) {
        dashed += image.pixel(x, y) == outline.rgb() ? 1 : 0;
    }
    QVERIFY2(dashed > inner / 4 && dashed < inner, qPrintable(QString::number(dashed)));
    QCOMPARE(missing.linkTick - missing.tick, LadderPainter::usualPr);
    const LadderMark& atrial = firstMark(ladder, LadderShape::atrial);
    QCOMPARE(inkedRows(image, static_cast<int>(atrial.tick - 1), atria), inner);
}

// Fibrillating atria: each conducted QRS comes from the last f wave before it, which is drawn
// through A; all other f waves are short marks.
void TestLadder::fibrillationDrawsTheConductedWaveThrough() {
    const LadderPainter ladder(simulate(Rhythm::atrialFibrillation, 5));
    int conducted = 0;
    int through = 0;
    for (const LadderMark& mark : ladder.marks()) {
        if (mark.shape == LadderShape::conducted) {
            ++conducted;
            QVERIFY(mark.tick - mark.linkTick <= LadderPainter::maxLinkTicks);
            const auto& marks = ladder.marks();
            const auto from = std::find_if(marks.begin(), marks.end(), [&](const LadderMark& m) {
                return m.tick == mark.linkTick && m.event.kind == WaveKind::atrialFibrillation;
            });
            QVERIFY(from != marks.end());
            QCOMPARE(from->shape, LadderShape::atrial);
        }
        if (mark.event.kind == WaveKind::atrialFibrillation) {
            through += mark.shape == LadderShape::atrial ? 1 : 0;
            QVERIFY(mark.shape == LadderShape::atrial || mark.shape == LadderShape::atrialFragment);
        }
    }
    QVERIFY(conducted > 10);
    QCOMPARE(through, conducted);
}

void TestLadder::recorderKeepsTheLastWavesInTickOrder() {
    WaveRecorder recorder(4);
    // Laid out of tick order, as a short run of ventricular beats and the sinus beat after are.
    for (const std::int64_t tick : {50, 10, 30, 20, 40, 60}) {
        recorder.onWave({tick, WaveKind::p, WaveRole::conducted, 8, tick, false});
    }
    QCOMPARE(recorder.size(), std::size_t{4});
    QCOMPARE(recorder.completeFrom(), 51); // 50 and 10 were overwritten
    std::vector<std::int64_t> ticks;
    for (const WaveEvent& event : recorder.events(1, 100)) {
        ticks.push_back(event.tick);
    }
    QCOMPARE(ticks, (std::vector<std::int64_t>{20, 30, 40, 60}));
    QCOMPARE(recorder.events(25, 40).size(), std::size_t{2});
    recorder.clear();
    QVERIFY(recorder.events(1, 100).empty());
    QCOMPARE(recorder.completeFrom(), 1);
}

// A strip paints a ladder row by row; an AV line crossing from one row to the next must be
// drawn in both, each part at its ticks' columns, as one ladder over both rows draws it.
void TestLadder::rowsOfAStripJoinUp() {
    const LadderPainter ladder(simulate(Rhythm::firstDegreeBlock, 7, 1200));
    const QImage whole = render(ladder, 1200);
    QImage rows(1200, ladderHeight, QImage::Format_RGB32);
    rows.fill(Qt::white);
    {
        QPainter painter(&rows);
        const int split = 600;
        ladder.paint(painter, QRectF(0, 0, 1200, ladderHeight), 1, split, LadderPalette::paper());
        ladder.paint(painter, QRectF(split, 0, 1200 - split, ladderHeight), split + 1, 1200,
                     LadderPalette::paper());
    }
    QCOMPARE(rows, whole);
    // Nothing is drawn past the last tick asked for, though waves are laid for later ticks.
    QImage shortRange(1200, ladderHeight, QImage::Format_RGB32);
    shortRange.fill(Qt::white);
    {
        QPainter painter(&shortRange);
        ladder.paint(painter, QRectF(0, 0, 1200, ladderHeight), 1, 500, LadderPalette::paper());
    }
    QCOMPARE(shortRange.copy(0, 0, 500, ladderHeight), whole.copy(0, 0, 500, ladderHeight));
    for (int x = 500; x < 1200; ++x) {
        QCOMPARE(inkedRows(shortRange, x, QRectF(0, 0, 1, ladderHeight)), 0);
    }
}

QTEST_MAIN(TestLadder)
#include "tst_ladder.moc"
