// The classic dialog's keys, mouse and icons, driven on the real dialog offscreen.
#include "LadderPanel.h"
#include "ToolRun.h"
#include "TrainerDialog.h"

#include <QApplication>
#include <QContextMenuEvent>
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

using pulsavo::TrainerDialog;

namespace {

class SilentTone : public pulsavo::ToneSink {
public:
    void sound() override {}
};

} // namespace

class TestClassicKeys : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();
    void enterInExplanationStaysThere();
    void onlyTheLeftButtonSelects();
    void selectionCannotBeEmptied_data();
    void selectionCannotBeEmptied();
    void textBoxesShowTheTrainersMenu_data();
    void textBoxesShowTheTrainersMenu();
    void tabFromAClickedBoxFollowsTheTemplate_data();
    void tabFromAClickedBoxFollowsTheTemplate();
    void windowIconIsTheMonitorAtEverySize();
    void ladderSitsUnderTheMonitorWhileShown();
    void savedStripIsTheToolsStrip();

private:
    template <typename T> T* child(const char* name) {
        return dialog->findChild<T*>(QLatin1String(name));
    }
    void showActive() {
        dialog->show();
        dialog->activateWindow();
        QCoreApplication::processEvents();
    }
    QPoint rowCentre(int row) {
        auto* list = child<QListWidget>("rhythmList");
        return list->visualItemRect(list->item(row)).center();
    }
    std::unique_ptr<TrainerDialog> dialog;
};

void TestClassicKeys::init() {
    QSettings(QStringLiteral("Pulsavo"), QStringLiteral("Pulsavo")).clear();
    dialog = std::make_unique<TrainerDialog>(std::make_unique<SilentTone>());
    dialog->frameTimer().stop();
}

void TestClassicKeys::cleanup() {
    dialog.reset();
}

void TestClassicKeys::enterInExplanationStaysThere() {
    showActive();
    auto* explanation = child<QPlainTextEdit>("explanationEdit");
    QTest::mouseClick(explanation->viewport(), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), explanation);
    QTest::keyClick(explanation, Qt::Key_Return);
    QTest::keyClick(explanation, Qt::Key_Enter);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->result(), 0);
    QTest::keyClick(explanation, Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
}

void TestClassicKeys::onlyTheLeftButtonSelects() {
    showActive();
    auto* list = child<QListWidget>("rhythmList");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(0));
    QCOMPARE(list->currentRow(), 0);
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, rowCentre(4));
    QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, rowCentre(4));
    QTest::mouseDClick(list->viewport(), Qt::RightButton, {}, rowCentre(5));
    QCOMPARE(list->selectedItems().size(), 1);
    QCOMPARE(list->row(list->selectedItems().first()), 0);
    QVERIFY(!dialog->simulation.hasRhythm());
}

void TestClassicKeys::selectionCannotBeEmptied_data() {
    QTest::addColumn<bool>("byKeyboard");
    QTest::newRow("Ctrl+click") << false;
    QTest::newRow("Ctrl+Space") << true;
}

void TestClassicKeys::selectionCannotBeEmptied() {
    QFETCH(bool, byKeyboard);
    showActive();
    auto* list = child<QListWidget>("rhythmList");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(2));
    QCOMPARE(list->selectedItems().size(), 1);
    if (byKeyboard) {
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
    } else {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(2));
    }
    QCOMPARE(list->selectedItems().size(), 1);
    QCOMPARE(list->row(list->selectedItems().first()), 2);
}

void TestClassicKeys::textBoxesShowTheTrainersMenu_data() {
    QTest::addColumn<QString>("box");
    QTest::newRow("name box") << "nameEdit";
    QTest::newRow("explanation box") << "explanationEdit";
}

void TestClassicKeys::textBoxesShowTheTrainersMenu() {
    QFETCH(QString, box);
    showActive();
    QWidget* target = dialog->findChild<QWidget*>(box);
    if (auto* edit = qobject_cast<QPlainTextEdit*>(target)) {
        target = edit->viewport();
    }
    QString shown;
    QTimer::singleShot(0, dialog.get(), [&shown] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            shown = popup->objectName();
            popup->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(3, 3),
                            target->mapToGlobal(QPoint(3, 3)));
    QCoreApplication::sendEvent(target, &event);
    QCOMPARE(shown, QStringLiteral("systemMenu"));
}

void TestClassicKeys::tabFromAClickedBoxFollowsTheTemplate_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<QString>("expected");
    QTest::newRow("name, Tab") << "nameEdit" << false << "rhythmList";
    QTest::newRow("name, Shift+Tab") << "nameEdit" << true << "closeButton";
    QTest::newRow("explanation, Tab") << "explanationEdit" << false << "rhythmList";
    QTest::newRow("explanation, Shift+Tab") << "explanationEdit" << true << "closeButton";
}

void TestClassicKeys::tabFromAClickedBoxFollowsTheTemplate() {
    QFETCH(QString, box);
    QFETCH(bool, backwards);
    QFETCH(QString, expected);
    showActive();
    QWidget* target = dialog->findChild<QWidget*>(box);
    QWidget* clickOn = target;
    if (auto* edit = qobject_cast<QPlainTextEdit*>(target)) {
        clickOn = edit->viewport();
    }
    QTest::mouseClick(clickOn, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(QApplication::focusWidget(), target);
    QTest::keyClick(target, backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                    backwards ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), expected);
}

// The small icon is the monitor picture too: opaque black corners, green trace. The 16 px
// sheet has transparent margins and no green.
void TestClassicKeys::windowIconIsTheMonitorAtEverySize() {
    for (const int size : {16, 24, 32}) {
        const QImage image = dialog->windowIcon()
                                 .pixmap(size, size)
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.width(), size);
        QCOMPARE(image.pixel(0, 0), qRgb(0, 0, 0));
        int green = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                green += qGreen(image.pixel(x, y)) > 200 && qRed(image.pixel(x, y)) < 60;
            }
        }
        QVERIFY2(green >= size / 2, qPrintable(QString::number(size)));
    }
}

void TestClassicKeys::ladderSitsUnderTheMonitorWhileShown() {
    const QSize templateSize = dialog->size();
    auto* scope = dialog->findChild<QWidget*>(QStringLiteral("scopePanel"));
    auto* list = child<QListWidget>("rhythmList");
    const QPoint listAt = list->pos();
    dialog->setLadder(true);
    pulsavo::LadderPanel* ladder = dialog->ladder();
    QVERIFY(ladder != nullptr && !ladder->isHidden());
    QCOMPARE(ladder->geometry().left(), scope->geometry().left());
    QCOMPARE(ladder->width(), scope->width());
    QVERIFY(ladder->geometry().top() > scope->geometry().bottom());
    const int grown = dialog->height() - templateSize.height();
    QCOMPARE(grown, ladder->height() + ladder->geometry().top() - scope->geometry().bottom() - 1);
    QCOMPARE(list->pos(), listAt + QPoint(0, grown));

    dialog->seedSource = [] { return 4242U; };
    list->setCurrentRow(17);
    dialog->onDecide();
    dialog->monitorClock().advance(450);
    // Marks in the columns swept so far, none in the wipe ahead of the cursor.
    const QImage& picture = ladder->image();
    const auto inked = [&picture](int from, int to) {
        int count = 0;
        for (int x = from; x < to; ++x) {
            for (int y = 0; y < picture.height(); ++y) {
                count += picture.pixel(x, y) != qRgb(0, 0, 0);
            }
        }
        return count;
    };
    const int cursor = dialog->monitor.sweep().sweepX;
    QVERIFY(inked(1, cursor) > 100);
    QCOMPARE(inked(cursor + 3, std::min(cursor + 28, picture.width())), 0);

    // A frame repaints only the columns around the cursor that changed: everything outside
    // them is the same as before, and the changed ones lie behind the new cursor and its wipe.
    QVERIFY(pulsavo::LadderPanel::changedColumns(picture, picture).isEmpty());
    QCOMPARE(pulsavo::LadderPanel::changedColumns(picture, QImage(10, 10, QImage::Format_RGB32)),
             QRect(0, 0, 10, 10));
    for (int frame = 0; frame < 40; ++frame) {
        const QImage before = ladder->image().copy();
        const int cursorBefore = dialog->monitor.sweep().sweepX;
        dialog->monitorClock().advance(2);
        const QImage& after = ladder->image();
        const QRect changed = pulsavo::LadderPanel::changedColumns(before, after);
        for (int x = 0; x < after.width(); ++x) {
            if (x < changed.left() || x > changed.right()) {
                for (int y = 0; y < after.height(); ++y) {
                    QCOMPARE(after.pixel(x, y), before.pixel(x, y));
                }
            }
        }
        QVERIFY(!changed.isEmpty());
        QVERIFY2(changed.width() < 80, qPrintable(QString::number(changed.width())));
        QVERIFY(changed.right() >= cursorBefore);
    }

    dialog->setLadder(false);
    QVERIFY(ladder->isHidden());
    QCOMPARE(dialog->size(), templateSize);
    QCOMPARE(list->pos(), listAt);
    // Hidden, it costs nothing a frame; shown again, it is drawn for the trace as it is then.
    const QImage hidden = ladder->image().copy();
    dialog->monitorClock().advance(100);
    QCOMPARE(ladder->image(), hidden);
    dialog->setLadder(true);
    dialog->monitorClock().advance(2);
    QVERIFY(ladder->image() != hidden);
    QVERIFY(inked(1, dialog->monitor.sweep().sweepX) > inked(1, cursor));
}

// What the trainer saves is what pulsavo-strip draws for the same rhythm, seed and ticks.
void TestClassicKeys::savedStripIsTheToolsStrip() {
    dialog->monitorClock().advance(40);
    dialog->seedSource = [] { return 777U; };
    child<QListWidget>("rhythmList")->setCurrentRow(15);
    dialog->onDecide();
    dialog->monitorClock().advance(1160);
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("saved.png"));
    QVERIFY(dialog->saveStrip(saved, 6));
    const pulsavo::Sweep& sweep = dialog->monitor.sweep();
    const pulsavo::testing::ToolRun run = pulsavo::testing::runTool(
        QStringLiteral(PULSAVO_STRIP),
        {"trace", "--ticks", "1200", "--select", "41:15@777", "--from", "601", "--width",
         QString::number(sweep.width), "--height", QString::number(sweep.height), "--grid",
         "--lang", "ja", "--png", dir.filePath(QStringLiteral("tool.png"))});
    QCOMPARE(run.exitCode, 0);
    const QImage fromTrainer(saved);
    const QImage fromTool(dir.filePath(QStringLiteral("tool.png")));
    QVERIFY(!fromTrainer.isNull());
    QCOMPARE(fromTrainer, fromTool);
    QVERIFY(!dialog->saveStrip(dir.filePath(QStringLiteral("missing/x.png")), 6));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("missing/x.png"))));
}

QTEST_MAIN(TestClassicKeys)
#include "tst_classickeys.moc"
