#include "CaliperOverlay.h"
#include "ScopePanel.h"
#include "TrainerDialog.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <memory>
#include <vector>

using namespace pulsavo;

namespace {

constexpr std::uint32_t fixedSeed = 20240607;

class CountingTone : public ToneSink {
public:
    explicit CountingTone(std::vector<long long>& ticks, const Monitor*& monitor)
        : ticks(ticks), monitor(monitor) {}
    void sound() override { ticks.push_back(monitor->tickCount()); }

private:
    std::vector<long long>& ticks;
    const Monitor*& monitor;
};

// A classic dialog with a recording tone, its timer stopped: time is driven by tick().
struct Trainer {
    Trainer() {
        dialog = std::make_unique<TrainerDialog>(std::make_unique<CountingTone>(tones, shown));
        shown = &dialog->monitor;
        dialog->frameTimer().stop();
        dialog->seedSource = [] { return fixedSeed; };
    }
    template <typename T> T* child(const char* name) const {
        T* widget = dialog->findChild<T*>(QLatin1String(name));
        if (!widget) {
            qFatal("no widget %s", name);
        }
        return widget;
    }
    void decide(Rhythm rhythm) {
        child<QListWidget>("rhythmList")->setCurrentRow(indexOf(rhythm));
        QTest::mouseClick(child<QPushButton>("decideButton"), Qt::LeftButton);
    }
    void tick(int count) {
        for (int i = 0; i < count; ++i) {
            dialog->advanceOneTick();
        }
    }
    QImage panel() const { return child<ScopePanel>("scopePanel")->backingImage(); }
    QStringList menuItems() const {
        QStringList items;
        for (const QAction* action : dialog->systemMenu()->actions()) {
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        return items;
    }
    QAction* action(const char* name) const { return child<QAction>(name); }

    std::vector<long long> tones;
    const Monitor* shown = nullptr;
    std::unique_ptr<TrainerDialog> dialog;
};

// Drags on the overlay from one panel column to another.
void drag(CaliperOverlay* overlay, int from, int to) {
    QTest::mousePress(overlay, Qt::LeftButton, Qt::NoModifier, QPoint(from, 40));
    QMouseEvent move(QEvent::MouseMove, QPointF(to, 40), overlay->mapToGlobal(QPointF(to, 40)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(overlay, &move);
    QTest::mouseRelease(overlay, Qt::LeftButton, Qt::NoModifier, QPoint(to, 40));
}

} // namespace

class TestMeasure : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void menuItemsComeBeforeClose();
    void freezeAndResumeOnlyShiftTheTrace_data();
    void freezeAndResumeOnlyShiftTheTrace();
    void gridIsRememberedAndRestoredByTheWipe();
    void qrsToneIsRemembered();
    void calipersAndTheirKeys();
    void checkScoresAgainstTheTrueWaves();
};

void TestMeasure::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

void TestMeasure::init() {
    QSettings(QStringLiteral("Pulsavo"), QStringLiteral("Pulsavo")).clear();
}

void TestMeasure::menuItemsComeBeforeClose() {
    Trainer trainer;
    // The measuring items lead the menu; 閉じる, the separator and About stay last.
    const QStringList items = trainer.menuItems();
    QCOMPARE(items.mid(0, 3),
             (QStringList{QStringLiteral("一時停止(&F)"), QStringLiteral("答え合わせ(&K)"),
                          QStringLiteral("方眼(&G)")}));
    QVERIFY(items.indexOf(QStringLiteral("同期音(&S)")) > 2);
    QCOMPARE(items.mid(items.size() - 3),
             (QStringList{QStringLiteral("閉じる(&C)"), QStringLiteral("-"),
                          QStringLiteral("バージョン情報 Tavix(&A)...")}));
    QVERIFY(!trainer.action("checkAction")->isEnabled());
    trainer.action("freezeAction")->trigger();
    QVERIFY(trainer.dialog->isFrozen());
    QCOMPARE(trainer.menuItems().front(), QStringLiteral("再開(&F)"));
    QVERIFY(trainer.action("checkAction")->isEnabled());
    trainer.action("freezeAction")->trigger();
    QVERIFY(!trainer.dialog->isFrozen());
    QCOMPARE(trainer.menuItems().front(), QStringLiteral("一時停止(&F)"));
}

void TestMeasure::freezeAndResumeOnlyShiftTheTrace_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("F") << int(Qt::Key_F);
    QTest::newRow("Pause") << int(Qt::Key_Pause);
}

// Frozen by its key in the middle of atrial flutter, the monitor draws nothing and sounds nothing
// while the clock goes on; resumed, it draws what an unfrozen one draws, only later.
void TestMeasure::freezeAndResumeOnlyShiftTheTrace() {
    QFETCH(int, key);
    Trainer frozen;
    Trainer steady;
    frozen.dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(frozen.dialog.get()));
    for (Trainer* trainer : {&frozen, &steady}) {
        trainer->decide(Rhythm::atrialFlutter);
    }
    frozen.tick(333);
    auto* list = frozen.child<QListWidget>("rhythmList");
    list->setFocus();
    QTest::keyClick(list, static_cast<Qt::Key>(key));
    QVERIFY(frozen.dialog->isFrozen());
    const QImage still = frozen.panel();
    const std::size_t tonesBefore = frozen.tones.size();
    frozen.tick(250);
    QCOMPARE(frozen.panel(), still);
    QCOMPARE(frozen.tones.size(), tonesBefore);
    QCOMPARE(frozen.dialog->monitor.tickCount(), 333);
    QTest::keyClick(list, static_cast<Qt::Key>(key));
    QVERIFY(!frozen.dialog->isFrozen());
    frozen.tick(667);
    steady.tick(1000);
    QCOMPARE(frozen.panel(), steady.panel());
    QCOMPARE(frozen.tones, steady.tones);
    QVERIFY(frozen.tones.size() > tonesBefore);
}

void TestMeasure::gridIsRememberedAndRestoredByTheWipe() {
    {
        Trainer trainer;
        trainer.tick(100);
        const QImage plain = trainer.panel();
        QCOMPARE(plain.pixel(8, 8), qRgb(0, 0, 0)); // behind the trace: black
        trainer.action("gridAction")->trigger();
        // What is on the panel gets the paper at once; the trace stays.
        QCOMPARE(trainer.panel().pixel(8, 10), Sweep::smallLineColour.rgb());
        QCOMPARE(trainer.panel().pixel(20, 10), Sweep::largeLineColour.rgb());
        QCOMPARE(trainer.panel().pixel(50, baselineY), Sweep::normalColour.rgb());
    }
    Trainer reopened;
    QVERIFY(reopened.action("gridAction")->isChecked());
    reopened.tick(100);
    const QImage panel = reopened.panel();
    // Columns 102..129 were wiped: paper, never the dialog background or black lines.
    const QImage paper = Sweep::paperImage(panel.width(), panel.height());
    for (int x = 103; x < 130; ++x) {
        for (int y = 0; y < panel.height(); ++y) {
            QCOMPARE(panel.pixel(x, y), paper.pixel(x, y));
        }
    }
    reopened.action("gridAction")->trigger();
    QCOMPARE(reopened.panel().pixel(104, 10), qRgb(0, 0, 0));
    QVERIFY(!QSettings(QStringLiteral("Pulsavo"), QStringLiteral("Pulsavo"))
                 .value(QStringLiteral("monitor/grid"))
                 .toBool());
}

void TestMeasure::qrsToneIsRemembered() {
    {
        Trainer trainer;
        QCOMPARE(trainer.dialog->monitor.toneMode(), Monitor::ToneMode::threshold);
        QVERIFY(trainer.action("thresholdToneAction")->isChecked());
        trainer.action("qrsToneAction")->trigger();
        QCOMPARE(trainer.dialog->monitor.toneMode(), Monitor::ToneMode::qrs);
    }
    Trainer reopened;
    QCOMPARE(reopened.dialog->monitor.toneMode(), Monitor::ToneMode::qrs);
    QVERIFY(reopened.action("qrsToneAction")->isChecked());
    QVERIFY(!reopened.action("thresholdToneAction")->isChecked());
    // Every ventricular-tachycardia beat sounds: far more tones than the threshold gives.
    reopened.decide(Rhythm::ventricularTachycardia);
    reopened.tick(3000);
    QVERIFY(reopened.tones.size() >= 3000 / 60);
}

// Calipers on a frozen panel: drag to set, 1-4 for the kind, Delete one, Escape all; with none
// left, Escape closes the dialog as it always has.
void TestMeasure::calipersAndTheirKeys() {
    Trainer trainer;
    trainer.dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(trainer.dialog.get()));
    trainer.decide(Rhythm::sinusRhythm);
    trainer.tick(450);
    CaliperOverlay* overlay = trainer.dialog->caliperOverlay();
    QVERIFY(!overlay->isVisible());
    trainer.dialog->setFrozen(true);
    QVERIFY(overlay->isVisible());

    drag(overlay, 100, 180);
    drag(overlay, 300, 250);
    drag(overlay, 440, 470); // ends in the wipe: no caliper
    QCOMPARE(overlay->calipers().size(), std::size_t{2});
    QCOMPARE(overlay->calipers()[0].ms(), 800);
    QCOMPARE(overlay->calipers()[1].ms(), 500);
    QCOMPARE(overlay->selectedIndex(), 1);
    QCOMPARE(CaliperOverlay::label(overlay->calipers()[0]), QStringLiteral("RR 800 ms  75/分"));

    auto* list = trainer.child<QListWidget>("rhythmList");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_3);
    QCOMPARE(overlay->calipers()[1].kind, calipers::Kind::pr);
    QCOMPARE(overlay->calipers()[0].kind, calipers::Kind::rr);
    // A click on a caliper's line selects it.
    QTest::mouseClick(overlay, Qt::LeftButton, Qt::NoModifier, QPoint(101, 40));
    QCOMPARE(overlay->selectedIndex(), 0);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(overlay->calipers().size(), std::size_t{1});
    QCOMPARE(overlay->calipers()[0].kind, calipers::Kind::pr);

    drag(overlay, 10, 60);
    QTest::keyClick(list, Qt::Key_Escape);
    QVERIFY(overlay->calipers().empty());
    QVERIFY(trainer.dialog->isVisible());
    QTest::keyClick(list, Qt::Key_Escape);
    QVERIFY(!trainer.dialog->isVisible());
}

// Calipers laid on the true intervals of a Mobitz II trace score right to the millisecond;
// one a small square and a column off is wrong. Resuming takes them away.
void TestMeasure::checkScoresAgainstTheTrueWaves() {
    Trainer trainer;
    trainer.dialog->show();
    trainer.decide(Rhythm::mobitzBlock);
    trainer.tick(2000);
    trainer.dialog->setFrozen(true);
    CaliperOverlay* overlay = trainer.dialog->caliperOverlay();
    const Monitor& monitor = trainer.dialog->monitor;
    const std::vector<WaveEvent> events = monitor.events();
    std::int64_t first = monitor.tickCount();
    for (int column = 0; column < overlay->width(); ++column) {
        first = std::min<std::int64_t>(first, monitor.tickAt(column).value_or(first));
    }
    const std::vector<calipers::Interval> pr =
        calipers::intervals(calipers::Kind::pr, events, first, monitor.tickCount());
    QVERIFY(pr.size() >= 2);
    overlay->setKind(calipers::Kind::pr);
    QVERIFY(overlay->addCaliper(*monitor.columnOf(pr[0].from), *monitor.columnOf(pr[0].to)));
    QVERIFY(overlay->addCaliper(*monitor.columnOf(pr[1].from), *monitor.columnOf(pr[1].to) + 5));

    const std::vector<CaliperOverlay::Result> results = overlay->check();
    QCOMPARE(results.size(), std::size_t{2});
    QVERIFY(results[0].score && results[0].score->right);
    QCOMPARE(results[0].score->errorMs, 0);
    QCOMPARE(results[0].score->truth, pr[0]);
    QVERIFY(results[1].score && !results[1].score->right);
    QCOMPARE(results[1].score->errorMs, 50);
    QVERIFY(!overlay->marks().empty());
    // Marks read without colour: one letter per kind.
    const QSet<QString> letters{CaliperOverlay::markLetter(calipers::MarkKind::pOnset),
                                CaliperOverlay::markLetter(calipers::MarkKind::qrsOnset),
                                CaliperOverlay::markLetter(calipers::MarkKind::rPeak),
                                CaliperOverlay::markLetter(calipers::MarkKind::tEnd)};
    QCOMPARE(letters.size(), 4);
    QCOMPARE(CaliperOverlay::verdict(results[0]),
             QStringLiteral("正解: 真の値 %1 ms, 誤差 0 ms").arg(pr[0].ms()));

    trainer.action("freezeAction")->trigger();
    QVERIFY(overlay->calipers().empty());
    QVERIFY(!overlay->isChecked());
    QVERIFY(!overlay->isVisible());
}

QTEST_MAIN(TestMeasure)
#include "tst_measure.moc"
