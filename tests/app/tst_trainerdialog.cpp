#include "AboutDialog.h"
#include "Catalogue.h"
#include "PaintWatcher.h"
#include "PracticeWindow.h"
#include "ProgressWindow.h"
#include "RhythmLibrary.h"
#include "ScopePanel.h"
#include "TrainerDialog.h"

#include <QApplication>
#include <QBackingStore>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <vector>

using pulsavo::Simulation;
using pulsavo::TrainerDialog;
namespace catalogue = pulsavo::catalogue;

namespace {

constexpr std::uint32_t fixedSeed = 20240607;
const QColor green(0, 255, 0);
const QColor red(255, 0, 0);

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Counts tone requests and remembers the tick of each.
struct Tones {
    int tick = 0;
    std::vector<int> ticks;
};

class RecordingTone : public pulsavo::ToneSink {
public:
    explicit RecordingTone(Tones& tones) : tones(tones) {}
    void sound() override { tones.ticks.push_back(tones.tick); }

private:
    Tones& tones;
};

// The panel as the trainee sees it; the sweep draws on the whole control, frame included.
class PanelView {
public:
    explicit PanelView(pulsavo::ScopePanel* panel) : image(panel->grab().toImage()) {}

    QColor at(int x, int y) const { return image.pixelColor(x, y); }
    int width() const { return image.width(); }
    int height() const { return image.height(); }

    std::vector<int> rowsOf(int x, const QColor& colour) const {
        std::vector<int> rows;
        for (int y = 0; y < height(); ++y) {
            if (at(x, y) == colour) {
                rows.push_back(y);
            }
        }
        return rows;
    }

    bool columnIs(int x, const QColor& colour) const {
        return static_cast<int>(rowsOf(x, colour).size()) == height();
    }

    bool contains(const QColor& colour, int fromX, int toX) const {
        for (int x = fromX; x < toX; ++x) {
            if (!rowsOf(x, colour).empty()) {
                return true;
            }
        }
        return false;
    }

    QImage image;
};

} // namespace

class TestTrainerDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startState();
    void tabOrderSkipsReadOnlyBoxes();
    void decidingWithoutSelection();
    void decidingOnEachRhythm_data();
    void decidingOnEachRhythm();
    void doubleClickDecides();
    void enterOnFocusedDecideButtonDecides();
    void runEnds_data();
    void runEnds();

    void panelBeforeFirstTick();
    void flatLineWithGapAhead();
    void alertRhythmDrawsRed();
    void repaintKeepsTrace();
    void tickRepaintsOnlyWhatItTouched();
    void windowStoreShowsThePanel();
    void closingWithPracticeAndProgressOpen();
    void traceFollowsAMoveToAnotherScale();

    void contextMenuOpensAboutBox_data();
    void contextMenuOpensAboutBox();
    void toneOncePerNormalBeat();
    void libraryListedOnRequest();

private:
    void tick(int count);
    void select(int row);
    template <typename T> T* child(const char* name) {
        T* widget = dialog->findChild<T*>(QLatin1String(name));
        if (!widget) {
            qFatal("no widget %s", name);
        }
        return widget;
    }

    Tones tones;
    std::unique_ptr<TrainerDialog> dialog;
};

// The dialog reads the learner's remembered options; tests start from none.
void TestTrainerDialog::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QSettings(QStringLiteral("Pulsavo"), QStringLiteral("Pulsavo")).clear();
}

void TestTrainerDialog::init() {
    // The classic look: no grid or tone mode remembered from elsewhere.
    QStandardPaths::setTestModeEnabled(true);
    QSettings(QStringLiteral("Pulsavo"), QStringLiteral("Pulsavo")).clear();
    tones = Tones{};
    dialog = std::make_unique<TrainerDialog>(std::make_unique<RecordingTone>(tones));
    dialog->frameTimer().stop();
    dialog->seedSource = [] { return fixedSeed; };
}

void TestTrainerDialog::cleanup() {
    dialog.reset();
}

void TestTrainerDialog::tick(int count) {
    for (int i = 0; i < count; ++i) {
        ++tones.tick;
        dialog->advanceOneTick();
    }
}

void TestTrainerDialog::select(int row) {
    auto* list = child<QListWidget>("rhythmList");
    if (row < 0) {
        list->clearSelection();
    } else {
        list->setCurrentRow(row);
    }
    QTest::mouseClick(child<QPushButton>("decideButton"), Qt::LeftButton);
}

void TestTrainerDialog::startState() {
    auto* list = child<QListWidget>("rhythmList");
    QCOMPARE(list->count(), catalogue::entryCount);
    for (int i = 0; i < catalogue::entryCount; ++i) {
        QCOMPARE(list->item(i)->text(), text(catalogue::rhythmNames[i]));
    }
    QCOMPARE(list->item(0)->text(), QStringLiteral("洞調律"));
    QVERIFY(list->selectedItems().isEmpty());

    auto* name = child<QLineEdit>("nameEdit");
    auto* explanation = child<QPlainTextEdit>("explanationEdit");
    QVERIFY(name->text().isEmpty());
    QVERIFY(explanation->toPlainText().isEmpty());

    auto* close = child<QPushButton>("closeButton");
    QCOMPARE(close->text(), QStringLiteral("閉じる"));
    QVERIFY(close->isDefault());
    QCOMPARE(dialog->focusWidget(), close);
    QCOMPARE(child<QPushButton>("decideButton")->text(), QStringLiteral("決定"));
    QVERIFY(!child<QPushButton>("decideButton")->isDefault());
    QCOMPARE(child<QLabel>("selectionLabel")->text(), QStringLiteral("波形選択"));
    QCOMPARE(child<QLabel>("explanationLabel")->text(), QStringLiteral("説明"));

    QCOMPARE(dialog->windowTitle(), QStringLiteral("Pulsavo"));
    QVERIFY(dialog->isWindow());
    QVERIFY(!dialog->parentWidget());
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QCOMPARE(dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
             Qt::WindowFlags());
    QVERIFY(!dialog->windowIcon().isNull());

    const QRect area = dialog->scopeArea();
    QCOMPARE(area.topLeft(), QPoint(0, 0));
    QCOMPARE(area.size(), child<pulsavo::ScopePanel>("scopePanel")->clientRect().size());
    QVERIFY(area.height() >= TrainerDialog::minimumScopeHeight);

    QCOMPARE(dialog->simulation.rhythmIndex, pulsavo::noRhythm);
    tick(300);
    QVERIFY(tones.ticks.empty());
}

void TestTrainerDialog::tabOrderSkipsReadOnlyBoxes() {
    dialog->show();
    dialog->activateWindow();
    QCoreApplication::processEvents();
    QVERIFY(dialog->isActiveWindow());
    const std::vector<const char*> order{"rhythmList", "decideButton", "closeButton", "rhythmList"};
    for (const char* expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(expected));
    }
}

void TestTrainerDialog::decidingWithoutSelection() {
    select(10);
    tick(400);
    QVERIFY(!tones.ticks.empty());
    QVERIFY(PanelView(child<pulsavo::ScopePanel>("scopePanel")).contains(red, 0, 400));

    select(-1);
    QVERIFY(child<QLineEdit>("nameEdit")->text().isEmpty());
    QCOMPARE(child<QPlainTextEdit>("explanationEdit")->toPlainText(),
             QStringLiteral("波形が選択されていません"));
    QVERIFY(!dialog->simulation.hasRhythm());
    QVERIFY(child<QListWidget>("rhythmList")->selectedItems().isEmpty());

    const std::size_t tonesBefore = tones.ticks.size();
    tick(dialog->scopeArea().width() + 40);
    QCOMPARE(tones.ticks.size(), tonesBefore);
    const PanelView view(child<pulsavo::ScopePanel>("scopePanel"));
    QVERIFY(!view.contains(red, 0, view.width()));
    QVERIFY(view.contains(green, 0, view.width()));
}

void TestTrainerDialog::decidingOnEachRhythm_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < catalogue::entryCount; ++i) {
        QTest::addRow("%d %s", i, catalogue::rhythmNames[i].data()) << i;
    }
}

void TestTrainerDialog::decidingOnEachRhythm() {
    QFETCH(int, index);
    select(index);
    QCOMPARE(child<QLineEdit>("nameEdit")->text(), text(catalogue::rhythmNames[index]));
    QString lines = text(catalogue::rhythmTexts[index]);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    auto* explanation = child<QPlainTextEdit>("explanationEdit");
    QCOMPARE(explanation->toPlainText(), lines);
    QCOMPARE(explanation->blockCount(), static_cast<int>(lines.count(QLatin1Char('\n'))) + 1);

    auto* list = child<QListWidget>("rhythmList");
    QCOMPARE(list->selectedItems().size(), 1);
    QCOMPARE(list->row(list->selectedItems().first()), index);

    Simulation reference;
    reference.selectRhythm(index, fixedSeed);
    QCOMPARE(dialog->simulation.rhythmIndex, index);
    QCOMPARE(dialog->simulation.beatInterval, reference.beatInterval);
    QCOMPARE(dialog->simulation.auxInterval, reference.auxInterval);
    QCOMPARE(dialog->simulation.alertColour, reference.alertColour);
}

void TestTrainerDialog::doubleClickDecides() {
    dialog->show();
    auto* list = child<QListWidget>("rhythmList");
    const QPoint centre = list->visualItemRect(list->item(5)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(child<QLineEdit>("nameEdit")->text(), text(catalogue::rhythmNames[5]));
    QCOMPARE(dialog->simulation.rhythmIndex, 5);
    QVERIFY(!child<QPlainTextEdit>("explanationEdit")->toPlainText().isEmpty());
}

void TestTrainerDialog::enterOnFocusedDecideButtonDecides() {
    dialog->show();
    dialog->activateWindow();
    QCoreApplication::processEvents();
    child<QListWidget>("rhythmList")->setCurrentRow(3);
    auto* decide = child<QPushButton>("decideButton");
    decide->setFocus();
    QTest::keyClick(decide, Qt::Key_Return);
    QCOMPARE(dialog->simulation.rhythmIndex, 3);
    QVERIFY(dialog->isVisible());
}

void TestTrainerDialog::runEnds_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::newRow("close button") << "close button" << int(QDialog::Accepted);
    QTest::newRow("escape") << "escape" << int(QDialog::Rejected);
    QTest::newRow("close box") << "close box" << int(QDialog::Rejected);
    QTest::newRow("enter on the list") << "enter on list" << int(QDialog::Accepted);
}

void TestTrainerDialog::runEnds() {
    QFETCH(QString, how);
    QFETCH(int, result);
    QTimer::singleShot(0, dialog.get(), [&] {
        if (how == QLatin1String("close button")) {
            QTest::mouseClick(child<QPushButton>("closeButton"), Qt::LeftButton);
        } else if (how == QLatin1String("escape")) {
            QTest::keyClick(child<QListWidget>("rhythmList"), Qt::Key_Escape);
        } else if (how == QLatin1String("close box")) {
            dialog->close();
        } else {
            auto* list = child<QListWidget>("rhythmList");
            list->setCurrentRow(2);
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Return);
        }
    });
    QCOMPARE(dialog->exec(), result);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->simulation.rhythmIndex, pulsavo::noRhythm);
}

void TestTrainerDialog::panelBeforeFirstTick() {
    auto* panel = child<pulsavo::ScopePanel>("scopePanel");
    const PanelView view(panel);
    const QColor background = dialog->palette().color(QPalette::Window);
    QCOMPARE(view.width(), dialog->scopeArea().width());
    QCOMPARE(view.height(), dialog->scopeArea().height());
    const int right = view.width() - 1;
    const int bottom = view.height() - 1;
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(right, bottom), QPoint(0, bottom), QPoint(right, 0)}) {
        QCOMPARE(view.at(corner.x(), corner.y()), QColor(Qt::black));
    }
    QCOMPARE(view.at(view.width() / 2, 0), QColor(Qt::black));
    for (int x = 1; x < right; x += 37) {
        QCOMPARE(view.at(x, 0), QColor(Qt::black));
        QCOMPARE(view.at(x, bottom), QColor(Qt::black));
        QCOMPARE(static_cast<int>(view.rowsOf(x, background).size()), view.height() - 2);
    }
}

void TestTrainerDialog::flatLineWithGapAhead() {
    const int ticks = 100;
    tick(ticks);
    const PanelView view(child<pulsavo::ScopePanel>("scopePanel"));
    for (int x = 2; x < ticks; ++x) {
        const std::vector<int> rows = view.rowsOf(x, green);
        QVERIFY2(!rows.empty(), qPrintable(QString::number(x)));
        QVERIFY(rows.front() >= pulsavo::baselineY - 1 && rows.back() <= pulsavo::baselineY + 1);
        QCOMPARE(view.rowsOf(x, green).size() + view.rowsOf(x, Qt::black).size(),
                 std::size_t(view.height()));
    }
    // The last segment ran from column 100 to 101; its round cap reaches one column further.
    for (int x = ticks + 3; x < ticks + pulsavo::Sweep::wipeWidth; ++x) {
        QVERIFY2(view.columnIs(x, Qt::black), qPrintable(QString::number(x)));
    }
    const QColor background = dialog->palette().color(QPalette::Window);
    // Ahead of the wipe the panel is still as it started: background inside the black frame.
    const int ahead = ticks + pulsavo::Sweep::wipeWidth;
    QCOMPARE(static_cast<int>(view.rowsOf(ahead, background).size()), view.height() - 2);
    QCOMPARE(view.at(ahead, 0), QColor(Qt::black));
    QVERIFY(view.columnIs(view.width() - 1, Qt::black));
}

void TestTrainerDialog::alertRhythmDrawsRed() {
    tick(50);
    select(2);
    tick(20);
    const PanelView view(child<pulsavo::ScopePanel>("scopePanel"));
    QVERIFY(!view.contains(red, 0, 50));
    for (int x = 52; x < 70; ++x) {
        QVERIFY2(!view.rowsOf(x, red).empty(), qPrintable(QString::number(x)));
        QVERIFY(view.rowsOf(x, green).empty());
    }
}

void TestTrainerDialog::repaintKeepsTrace() {
    dialog->show();
    select(0);
    tick(400);
    auto* panel = child<pulsavo::ScopePanel>("scopePanel");
    const QImage before = PanelView(panel).image;
    dialog->hide();
    dialog->show();
    panel->repaint();
    const QImage after = PanelView(panel).image;
    QCOMPARE(after, before);
    QVERIFY(PanelView(panel).contains(green, 0, 400));
}

// Moved to a screen of twice the scale, the panel keeps its trace, resampled to the new
// resolution, and goes on drawing sharp at that resolution.
void TestTrainerDialog::traceFollowsAMoveToAnotherScale() {
    auto* panel = child<pulsavo::ScopePanel>("scopePanel");
    dialog->show();
    select(0);
    tick(300);
    const QImage before = panel->backingImage();
    QCOMPARE(before.devicePixelRatio(), 1.0);
    panel->pixelRatio = [] { return 2.0; };
    panel->grab();
    const QImage& after = panel->backingImage();
    QCOMPARE(after.devicePixelRatio(), 2.0);
    QCOMPARE(after.size(), before.size() * 2);
    QCOMPARE(after.pixel(2 * 150, 2 * 85), before.pixel(150, 85));
    QCOMPARE(after.pixel(2 * 150 + 1, 2 * 85 + 1), before.pixel(150, 85));
    tick(10);
    QCOMPARE(panel->backingImage().size(), before.size() * 2);
}

// Ticks are copied straight into the window's backing store; what the window sends must be the
// panel's image at the panel's place, after ticks, a wrap, a partial repaint and a re-show, and
// a grab (which paints elsewhere) must still get the panel.
void TestTrainerDialog::windowStoreShowsThePanel() {
    auto* panel = child<pulsavo::ScopePanel>("scopePanel");
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    select(2);
    const auto storeShows = [&] {
        auto* store = dynamic_cast<QImage*>(dialog->backingStore()->paintDevice());
        if (store == nullptr) {
            return false;
        }
        const QRect place(panel->mapTo(dialog.get(), QPoint(0, 0)), panel->size());
        return store->copy(place).convertToFormat(QImage::Format_RGB32) ==
               panel->backingImage().convertToFormat(QImage::Format_RGB32);
    };
    for (const int ticks : {1, 37, 200, panel->width()}) {
        tick(ticks);
        QCoreApplication::processEvents();
        QVERIFY2(storeShows(), qPrintable(QString::number(ticks)));
    }
    panel->repaint(QRect(5, 7, 40, 30));
    QVERIFY(storeShows());
    dialog->hide();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QCoreApplication::processEvents();
    QVERIFY(storeShows());
    QCOMPARE(panel->grab().toImage().convertToFormat(QImage::Format_RGB32),
             panel->backingImage().convertToFormat(QImage::Format_RGB32));
}

void TestTrainerDialog::tickRepaintsOnlyWhatItTouched() {
    PaintWatcher watcher;
    auto* panel = child<pulsavo::ScopePanel>("scopePanel");
    dialog->show();
    QCoreApplication::processEvents();
    tick(200);
    QCoreApplication::processEvents();
    panel->installEventFilter(&watcher);
    tick(1);
    QCoreApplication::processEvents();
    panel->removeEventFilter(&watcher);
    QVERIFY(!watcher.painted.isEmpty());
    const QRect bounds = watcher.painted.boundingRect();
    QVERIFY2(bounds.width() <= pulsavo::Sweep::wipeWidth + 4,
             qPrintable(QString::number(bounds.width())));
    QVERIFY(bounds.left() >= 200 - 3);
    // A pass later a flat trace's tick repaints the cursor and the fresh column in its rows only.
    tick(panel->width());
    QCoreApplication::processEvents();
    watcher.painted = {};
    panel->installEventFilter(&watcher);
    tick(1);
    QCoreApplication::processEvents();
    const int reach = dialog->monitor.sweep().penReach();
    const QRect rows(0, pulsavo::baselineY - 1 - reach, panel->width(), 2 * reach + 2);
    QCOMPARE(rows | watcher.painted.boundingRect(), rows);
    QCOMPARE(watcher.painted.rectCount(), 2);
}

// The progress window opened here counts the practice window's answers in as they come,
// without reading the file again, and both close with the dialog.
void TestTrainerDialog::closingWithPracticeAndProgressOpen() {
    const QTemporaryDir dir;
    dialog->practiceDatabase = dir.filePath(QStringLiteral("answers.sqlite"));
    dialog->onProgress();
    dialog->onPractice();
    const QPointer<pulsavo::PracticeWindow> practice = dialog->practiceWindow();
    QVERIFY(practice && dialog->isFrozen());
    pulsavo::ProgressWindow* progress = dialog->progressWindow();
    progress->finishLoading();
    practice->startRound({{pulsavo::Rhythm::sinusRhythm, 1}, {pulsavo::Rhythm::sinusRhythm, 2}},
                         pulsavo::RoundMode::practice);
    practice->answer(pulsavo::Rhythm::atrialFlutter);
    QVERIFY(!progress->isLoading());
    QCOMPARE(progress->summary().attempts, 1);
    dialog.reset();
    QVERIFY(!practice);
}

void TestTrainerDialog::contextMenuOpensAboutBox_data() {
    QTest::addColumn<QString>("opener");
    QTest::addColumn<QString>("closer");
    QTest::newRow("right click on the panel, OK") << "panel"
                                                  << "ok";
    QTest::newRow("right click on the dialog, Enter") << "dialog"
                                                      << "enter";
    QTest::newRow("Shift+F10 on the list, Escape") << "shift+f10"
                                                   << "escape";
    QTest::newRow("Shift+F10 on the close button, close box") << "shift+f10 close"
                                                              << "close";
}

void TestTrainerDialog::contextMenuOpensAboutBox() {
    QFETCH(QString, opener);
    QFETCH(QString, closer);
    dialog->show();
    dialog->activateWindow();
    QCoreApplication::processEvents();
    dialog->frameTimer().start();

    QStringList menuItems;
    QString caption;
    QStringList lines;
    bool okIsDefault = false;
    QSize iconSize;
    bool ticking = false;
    bool sweptMeanwhile = false;
    auto* panel = child<pulsavo::ScopePanel>("scopePanel");

    QTimer::singleShot(0, dialog.get(), [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) {
            return;
        }
        for (const QAction* action : menu->actions()) {
            menuItems << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        QTimer::singleShot(0, dialog.get(), [&] {
            auto* about = qobject_cast<pulsavo::AboutDialog*>(QApplication::activeModalWidget());
            if (!about) {
                return;
            }
            caption = about->windowTitle();
            for (const char* name : {"productLabel", "thirdLabel"}) {
                lines << about->findChild<QLabel*>(QLatin1String(name))->text();
            }
            auto* ok = about->findChild<QPushButton*>(QStringLiteral("okButton"));
            okIsDefault = ok->isDefault();
            iconSize = about->findChild<QLabel*>(QStringLiteral("iconLabel"))->pixmap().size();

            ticking = dialog->frameTimer().isActive();
            const QImage before = panel->grab().toImage();
            QTimerEvent timeout(dialog->frameTimer().timerId());
            QCoreApplication::sendEvent(&dialog->frameTimer(), &timeout);
            sweptMeanwhile = panel->grab().toImage() != before;

            if (closer == QLatin1String("ok")) {
                QTest::mouseClick(ok, Qt::LeftButton);
            } else if (closer == QLatin1String("enter")) {
                QTest::keyClick(about, Qt::Key_Return);
            } else if (closer == QLatin1String("escape")) {
                QTest::keyClick(about, Qt::Key_Escape);
            } else {
                about->close();
            }
        });
        QTest::keyClick(menu, Qt::Key_A);
    });

    if (opener == QLatin1String("panel") || opener == QLatin1String("dialog")) {
        QWidget* target =
            opener == QLatin1String("panel") ? static_cast<QWidget*>(panel) : dialog.get();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                target->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(target, &event);
    } else {
        QWidget* target = opener == QLatin1String("shift+f10")
                              ? static_cast<QWidget*>(child<QListWidget>("rhythmList"))
                              : child<QPushButton>("closeButton");
        target->setFocus();
        QTest::keyClick(target, Qt::Key_F10, Qt::ShiftModifier);
    }

    QVERIFY(menuItems.size() >= 2);
    QCOMPARE(menuItems.mid(menuItems.size() - 2),
             QStringList({QStringLiteral("-"), QStringLiteral("バージョン情報 Tavix(&A)...")}));
    QCOMPARE(menuItems.count(QStringLiteral("-")), 1);
    QCOMPARE(caption, QStringLiteral("バージョン情報 Tavix"));
    QCOMPARE(lines.value(0), QStringLiteral("Pulsavo　 Version 1.2"));
    QVERIFY(!lines.value(1).isEmpty());
    QVERIFY(okIsDefault);
    QCOMPARE(iconSize, QSize(32, 32));
    QVERIFY(ticking);
    QVERIFY(sweptMeanwhile);
    QVERIFY(!QApplication::activeModalWidget() ||
            QApplication::activeModalWidget() == dialog.get());
    QVERIFY(dialog->isVisible());
    QVERIFY(dialog->frameTimer().isActive());
}

void TestTrainerDialog::toneOncePerNormalBeat() {
    select(0);
    const int ticks = 1500;
    tick(ticks);

    Simulation reference;
    reference.selectRhythm(0, fixedSeed);
    int beeps = 0;
    for (int i = 0; i < ticks; ++i) {
        beeps += reference.step().beep;
    }
    QCOMPARE(static_cast<int>(tones.ticks.size()), beeps);
    QVERIFY(beeps >= ticks / 121 - 1);
    for (std::size_t i = 2; i < tones.ticks.size(); ++i) {
        QCOMPARE(tones.ticks[i] - tones.ticks[i - 1], tones.ticks[1] - tones.ticks[0]);
    }
    QVERIFY(tones.ticks[1] - tones.ticks[0] >= 50);
}

// Off until chosen; then after the classic 18, playable, kept at the next start and when off.
void TestTrainerDialog::libraryListedOnRequest() {
    auto* list = child<QListWidget>("rhythmList");
    auto* listed = child<QAction>("libraryAction");
    QVERIFY(listed->isCheckable() && !listed->isChecked() && list->count() == pulsavo::rhythmCount);
    listed->trigger();
    for (int i = 0; i < catalogue::entryCount; ++i) {
        QCOMPARE(list->item(i)->text(), text(catalogue::rhythmNames[i]));
    }
    const pulsavo::Rhythm mobitz = pulsavo::rhythmOf(pulsavo::LibraryRhythm::mobitz1);
    select(pulsavo::indexOf(mobitz));
    QVERIFY(list->count() == pulsavo::totalRhythmCount && dialog->simulation.rhythm() == mobitz &&
            list->currentRow() == pulsavo::indexOf(mobitz));
    QCOMPARE(child<QLineEdit>("nameEdit")->text(), text(catalogue::nameOf(mobitz)));
    const TrainerDialog again(std::make_unique<RecordingTone>(tones));
    QCOMPARE(again.findChild<QListWidget*>()->count(), pulsavo::totalRhythmCount);
    listed->trigger();
    QVERIFY(list->count() == pulsavo::rhythmCount && dialog->simulation.rhythm() == mobitz);
}

QTEST_MAIN(TestTrainerDialog)
#include "tst_trainerdialog.moc"
