// The practice window driven as a learner would, offscreen, on a temporary answers database.
#include "BeatAlignment.h"
#include "CaliperOverlay.h"
#include "Catalogue.h"
#include "CatalogueText.h"
#include "ExamCode.h"
#include "ExamStrip.h"
#include "HandIn.h"
#include "HighlightChoice.h"
#include "LanguageManager.h"
#include "PracticeWindow.h"
#include "ProgressWindow.h"
#include "ScopePanel.h"
#include "StripSaving.h"
#include "TrainerApp.h"
#include "TrainerDialog.h"
#include "WorksheetPage.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>
#include <set>

using pulsavo::Monitor;
using pulsavo::PracticeWindow;
using pulsavo::ProgressStore;
using pulsavo::Question;
using pulsavo::Rhythm;
using pulsavo::RoundMode;
using Language = pulsavo::catalogue::Language;
using namespace Qt::Literals::StringLiterals;

namespace {

class CountingTone : public pulsavo::ToneSink {
public:
    explicit CountingTone(int& count) : count(count) {}
    void sound() override { ++count; }

private:
    int& count;
};

Rhythm rhythm(int index) {
    return *pulsavo::rhythmAt(index);
}

int rowOf(const QListWidget* list, Rhythm shown) {
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->data(Qt::UserRole).toInt() == pulsavo::indexOf(shown)) {
            return row;
        }
    }
    return -1;
}

Rhythm rhythmAtRow(const QListWidget* list, int row) {
    return *pulsavo::anyRhythmAt(list->item(row)->data(Qt::UserRole).toInt());
}

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// What a monitor of the same size plays from a clean start: the reference for the panels.
// `lead`: ticks run unseen first, as a compared answer lines up with the question's beats.
std::vector<pulsavo::TickSample> played(Rhythm shown, std::uint32_t seed, QSize size, int ticks,
                                        int lead = 0) {
    Monitor monitor(size.width(), size.height());
    monitor.select(shown, seed);
    monitor.preRoll(lead);
    monitor.run(ticks);
    return monitor.history(ticks);
}

bool sameTrace(const std::vector<pulsavo::TickSample>& a,
               const std::vector<pulsavo::TickSample>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](auto x, auto y) {
               return x.y == y.y && x.fromY == y.fromY && x.red == y.red && x.beep == y.beep;
           });
}

} // namespace

Q_DECLARE_METATYPE(pulsavo::Sweep::Highlight)

class TestPracticeWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pointsSectionOfEveryText_data();
    void pointsSectionOfEveryText();
    void wholeRound_data();
    void wholeRound();
    void feedback_data();
    void feedback();
    void hintMarksTheAttempt();
    void savingStripKeepsTheAnswer_data();
    void savingStripKeepsTheAnswer();
    void closingMidRoundAsks_data();
    void closingMidRoundAsks();
    void moveKeysNeverAnswer_data();
    void moveKeysNeverAnswer();
    void fitsAndNeverGrows_data();
    void fitsAndNeverGrows();
    void eachQuestionOnACleanBlackPanel();
    void ladderOnlyWithFeedback();
    void answerStoredBeforeFeedback();
    void sixSecondModeTimesEachAnswer_data();
    void sixSecondModeTimesEachAnswer();
    void storedHistoryReadOffTheWindowThread();
    void unwritableDatabaseStillPractises();
    void optionsRemembered();
    void setUpByFamily();
    void beatToneFollowsOption_data();
    void beatToneFollowsOption();
    void openedFromTheClassicMenu();
    void startOptions_data();
    void startOptions();
    void examReplaysThePaper_data();
    void examReplaysThePaper();
    void badExamCodeStaysInSetup();
    void pairDrillFromProgress();
    void freezeAndCalipers();
    void measurementTask();
    void worksheetRound();
    void worksheetFieldsReadBack_data();
    void worksheetFieldsReadBack();
    void languageChoice();
    void highlightStyleEverywhere_data();
    void highlightStyleEverywhere();

private:
    std::unique_ptr<PracticeWindow> makeWindow(const QString& path = {});
    template <typename T> T* child(const char* name) {
        T* widget = window->findChild<T*>(QLatin1String(name));
        if (!widget) {
            qFatal("no widget %s", name);
        }
        return widget;
    }
    void clickRow(QListWidget* list, int row, bool doubleClick);
    void keys(Qt::Key key, int times = 1);

    std::unique_ptr<QTemporaryDir> temporary;
    QString dbPath;
    int tones = 0;
    std::unique_ptr<PracticeWindow> window;
};

void TestPracticeWindow::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

void TestPracticeWindow::init() {
    temporary = std::make_unique<QTemporaryDir>();
    QVERIFY(temporary->isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       temporary->filePath(QStringLiteral("settings")));
    dbPath = temporary->filePath(QStringLiteral("progress.sqlite"));
    tones = 0;
}

void TestPracticeWindow::cleanup() {
    window.reset();
    temporary.reset();
}

std::unique_ptr<PracticeWindow> TestPracticeWindow::makeWindow(const QString& path) {
    auto made = std::make_unique<PracticeWindow>(path.isEmpty() ? dbPath : path,
                                                 std::make_unique<CountingTone>(tones));
    made->monitorClock().stop(); // the tests drive time
    made->show();
    if (!QTest::qWaitForWindowExposed(made.get())) {
        qFatal("the practice window was not shown");
    }
    return made;
}

void TestPracticeWindow::clickRow(QListWidget* list, int row, bool doubleClick) {
    list->scrollToItem(list->item(row));
    const QPoint centre = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    if (doubleClick) {
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    }
}

void TestPracticeWindow::keys(Qt::Key key, int times) {
    for (int i = 0; i < times; ++i) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyClick(focus, key);
    }
}

void TestPracticeWindow::pointsSectionOfEveryText_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("heading");
    for (const Rhythm shown : pulsavo::allRhythms) {
        const int index = pulsavo::indexOf(shown);
        QTest::addRow("ja %d", index) << index << Language::japanese << u"＜判定のポイント＞"_s;
        QTest::addRow("en %d", index) << index << Language::english << u"<Key points>"_s;
    }
}

// The section is the lines under the points heading, whole, and nothing of the next section.
void TestPracticeWindow::pointsSectionOfEveryText() {
    QFETCH(int, index);
    QFETCH(Language, language);
    QFETCH(QString, heading);
    const QString points = pulsavo::pointsSection(rhythm(index), language);
    QString whole = text(pulsavo::catalogue::textOf(rhythm(index), language));
    whole.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QVERIFY(!points.isEmpty());
    QVERIFY2(whole.contains(heading + QLatin1Char('\n') + points + QStringLiteral("\n\n")),
             qPrintable(points));
    QVERIFY(!points.contains(QLatin1Char('<')) && !points.contains(u'＜'));
    QVERIFY(!points.startsWith(QLatin1Char('\n')) && !points.endsWith(QLatin1Char('\n')));
    if (index == 0 && language == Language::japanese) {
        QCOMPARE(points, u"P波に続いてQRS波、T波が現れる。\n各波の間隔は正常である。\n"
                         u"正常な心拍数は毎分60～100回である。"_s);
    }
}

void TestPracticeWindow::wholeRound_data() {
    QTest::addColumn<bool>("keyboard");
    QTest::newRow("mouse") << false;
    QTest::newRow("keyboard only") << true;
}

// Ten questions to the summary; every other answer wrong. Every answer is in the database.
void TestPracticeWindow::wholeRound() {
    QFETCH(bool, keyboard);
    window = makeWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    int elapsed = 0;
    window->answerClock = [&elapsed] { return elapsed; };
    auto* list = child<QListWidget>("answerList");

    if (keyboard) {
        QCOMPARE(QApplication::focusWidget(), child<QPushButton>("startButton"));
        keys(Qt::Key_Return);
    } else {
        QTest::mouseClick(child<QPushButton>("startButton"), Qt::LeftButton);
    }
    std::set<std::uint32_t> seeds;
    std::vector<Rhythm> shown;
    for (int question = 0; question < 10; ++question) {
        QCOMPARE(window->stage(), PracticeWindow::Stage::asking);
        QVERIFY(!window->questionMonitor().showsMarking());
        window->monitorClock().advance(50);
        // The steady clock moves on by this question's answer time.
        elapsed += 1000 * (question + 1);
        const Question asked = *window->currentQuestion();
        seeds.insert(asked.seed);
        shown.push_back(asked.rhythm);
        // A round of the default set-up, the library, answers from the library's names.
        QCOMPARE(list->count(), pulsavo::libraryRhythmCount);
        const int correctRow = rowOf(list, asked.rhythm);
        const int row = question % 2 == 0 ? correctRow : (correctRow + 1) % list->count();
        if (keyboard) {
            QCOMPARE(QApplication::focusWidget(), list);
            // The first arrow key chooses the first name, whatever the list made current.
            keys(Qt::Key_Down, row + 1);
            QVERIFY2(list->currentRow() == row && list->currentItem()->isSelected(),
                     qPrintable(QStringLiteral("row %1, current %2, question %3")
                                    .arg(row)
                                    .arg(list->currentRow())
                                    .arg(question)));
            keys(Qt::Key_Return);
        } else if (question % 3 == 0) {
            clickRow(list, row, true);
        } else {
            clickRow(list, row, false);
            QTest::mouseClick(child<QPushButton>("answerButton"), Qt::LeftButton);
        }
        QCOMPARE(window->stage(), PracticeWindow::Stage::feedback);
        QCOMPARE(window->results().back().answer, rhythmAtRow(list, row));
        if (keyboard) {
            keys(Qt::Key_Return);
        } else {
            QTest::mouseClick(child<QPushButton>("nextButton"), Qt::LeftButton);
        }
    }
    QCOMPARE(window->stage(), PracticeWindow::Stage::summary);
    QCOMPARE(seeds.size(), std::size_t(10));
    QCOMPARE(child<QLabel>("summaryLabel")->text(),
             u"得点: 5 / 10\n正答率: 50%\n回答時間の中央値: 5.5 秒\nヒント使用: 0 問"_s);
    auto* missed = child<QListWidget>("missedList");
    QCOMPARE(missed->count(), 5);
    QVERIFY(missed->item(0)->text().startsWith(u"問題 2: "_s));

    // Replaying a missed question plays its rhythm from its own seed.
    const PracticeWindow::Result second = window->results()[1];
    if (keyboard) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_M, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), missed);
        keys(Qt::Key_Return);
    } else {
        clickRow(missed, 0, true);
    }
    window->monitorClock().advance(400);
    QVERIFY(child<QLabel>("replayingLabel")->text().startsWith(u"再生中: 問題 2 "_s));
    QVERIFY(
        sameTrace(window->questionMonitor().history(400),
                  played(second.question.rhythm, second.question.seed,
                         child<pulsavo::ScopePanel>("questionPanel")->clientRect().size(), 400)));

    ProgressStore reader(dbPath);
    QCOMPARE(reader.answerCount(), 10);
    const pulsavo::RhythmStatsTable stats = reader.rhythmStats();
    int correct = 0;
    for (const Rhythm asked : shown) {
        QVERIFY(stats[static_cast<std::size_t>(pulsavo::indexOf(asked))].attempts > 0);
    }
    for (const pulsavo::RhythmStats& one : stats) {
        correct += one.correct;
    }
    QCOMPARE(correct, 5);
}

void TestPracticeWindow::feedback_data() {
    QTest::addColumn<int>("answered");
    QTest::addColumn<QString>("banner");
    QTest::newRow("right") << pulsavo::indexOf(Rhythm::atrialFibrillation) << u"○ 正解"_s;
    QTest::newRow("wrong") << pulsavo::indexOf(Rhythm::atrialFlutter) << u"× 不正解"_s;
}

// Atrial fibrillation shown; the wrong answer gets both points sections and a compare panel
// playing the chosen rhythm from the question's seed, in step with the question, beat for beat.
void TestPracticeWindow::feedback() {
    QFETCH(int, answered);
    QFETCH(QString, banner);
    const bool right = answered == pulsavo::indexOf(Rhythm::atrialFibrillation);
    window = makeWindow();
    constexpr std::uint32_t seed = 424242;
    window->startRound({{Rhythm::atrialFibrillation, seed}}, RoundMode::practice);
    window->monitorClock().advance(120);
    window->answer(rhythm(answered));

    QCOMPARE(child<QLabel>("bannerLabel")->text(), banner);
    QCOMPARE(child<QLabel>("correctLabel")->text(),
             u"正解: "_s + text(pulsavo::catalogue::nameOf(Rhythm::atrialFibrillation)));
    QCOMPARE(child<QLabel>("chosenLabel")->text(),
             u"あなたの回答: "_s + text(pulsavo::catalogue::nameOf(rhythm(answered))));
    // The practice wording: its trace is all green, so no point speaks of red.
    QCOMPARE(child<QPlainTextEdit>("explanationEdit")->toPlainText(),
             QString::fromStdString(pulsavo::catalogue::practiceTextOf(Rhythm::atrialFibrillation))
                 .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QCOMPARE(child<QLabel>("differenceLabel")->isVisible(), !right);
    QCOMPARE(child<QGroupBox>("pointsBox")->isVisible(), !right);
    auto* compare = child<QPushButton>("compareButton");
    QCOMPARE(compare->isVisible(), !right);
    QCOMPARE(QApplication::focusWidget(), child<QPushButton>("nextButton"));
    if (right) {
        return;
    }
    QCOMPARE(child<QPlainTextEdit>("correctPoints")->toPlainText(),
             pulsavo::practicePointsSection(Rhythm::atrialFibrillation, Language::japanese));
    QCOMPARE(child<QPlainTextEdit>("chosenPoints")->toPlainText(),
             pulsavo::practicePointsSection(Rhythm::atrialFlutter, Language::japanese));
    // The deciding sign of the pair, and the strip's rate measured beside the range.
    const QString difference = child<QLabel>("differenceLabel")->text();
    QVERIFY(difference.contains(text(pulsavo::catalogue::decidingCriterion(
                                         Rhythm::atrialFibrillation, Rhythm::atrialFlutter)
                                         .text)
                                    .toHtmlEscaped()));
    QVERIFY2(difference.contains(QStringLiteral("/分")), qPrintable(difference));

    auto* panel = child<pulsavo::ScopePanel>("comparePanel");
    QVERIFY(!panel->isVisible());
    QTest::mouseClick(compare, Qt::LeftButton);
    QVERIFY(panel->isVisible());
    const QSize size = panel->clientRect().size();
    QCOMPARE(child<pulsavo::ScopePanel>("questionPanel")->clientRect().size(), size);
    window->monitorClock().advance(500);
    const auto flutter = window->compareMonitor().history(500);
    // Flutter's complex comes after AF's first: run ahead, it is drawn under it.
    const int lead = pulsavo::compareLead(Rhythm::atrialFibrillation, Rhythm::atrialFlutter, seed);
    QVERIFY(lead > 0);
    QVERIFY(sameTrace(flutter, played(Rhythm::atrialFlutter, seed, size, 500, lead)));
    QVERIFY(sameTrace(window->questionMonitor().history(500),
                      played(Rhythm::atrialFibrillation, seed, size, 500)));
    QVERIFY(!sameTrace(flutter, window->questionMonitor().history(500)));
    QCOMPARE(window->compareMonitor().sweep().sweepX, window->questionMonitor().sweep().sweepX);

    // もう一度: both again from the same seed.
    window->monitorClock().advance(37);
    QTest::mouseClick(child<QPushButton>("replayButton"), Qt::LeftButton);
    window->monitorClock().advance(200);
    QVERIFY(sameTrace(window->compareMonitor().history(500),
                      played(Rhythm::atrialFlutter, seed, size, 200, lead)));
    QVERIFY(sameTrace(window->questionMonitor().history(500),
                      played(Rhythm::atrialFibrillation, seed, size, 200)));
}

void TestPracticeWindow::hintMarksTheAttempt() {
    window = makeWindow();
    window->startRound({{Rhythm::rOnT, 7}, {Rhythm::rOnT, 8}}, RoundMode::practice);
    window->monitorClock().advance(300);
    QVERIFY(!window->questionMonitor().showsMarking());
    QTest::mouseClick(child<QPushButton>("hintButton"), Qt::LeftButton);
    QVERIFY(window->questionMonitor().showsMarking());
    QVERIFY(!child<QPushButton>("hintButton")->isEnabled());
    QVERIFY(child<QLabel>("progressLabel")->text().contains(u"ヒント"_s));
    window->answer(Rhythm::rOnT);
    window->nextQuestion();
    QVERIFY(!window->isHinted());
    QVERIFY(!window->questionMonitor().showsMarking());
    window->answer(Rhythm::rOnT);
    window->nextQuestion();
    QVERIFY(child<QLabel>("summaryLabel")->text().endsWith(u"ヒント使用: 1 問"_s));

    ProgressStore reader(dbPath);
    const pulsavo::RhythmStats stats = reader.rhythmStats()[pulsavo::indexOf(Rhythm::rOnT)];
    QCOMPARE(stats.attempts, 2);
    QCOMPARE(stats.hinted, 1);
}

// Before the answer a saved strip keeps the answer, hint or not: the trace alone, no name, no
// marking, no ladder, and it is no hint. After the answer it shows everything asked for.
void TestPracticeWindow::savingStripKeepsTheAnswer_data() {
    QTest::addColumn<bool>("beforeAnswer");
    QTest::addColumn<bool>("hint");
    QTest::newRow("before the answer") << true << false;
    QTest::newRow("before the answer, after a hint") << true << true;
    QTest::newRow("after the answer") << false << false;
}

void TestPracticeWindow::savingStripKeepsTheAnswer() {
    QFETCH(bool, beforeAnswer);
    QFETCH(bool, hint);
    window = makeWindow();
    std::optional<pulsavo::StripDescription> saved;
    window->saveStrip = [&](const Monitor& monitor, bool ladder, pulsavo::StripShows shows) {
        saved = pulsavo::monitorStrip(monitor, 6, ladder, shows);
    };
    child<QPushButton>("ladderButton")->setChecked(true);
    window->startRound({{Rhythm::rOnT, 7}}, RoundMode::practice);
    if (hint) {
        window->showHint();
    }
    window->monitorClock().advance(700);
    if (!beforeAnswer) {
        window->answer(Rhythm::rOnT);
    }
    QTest::mouseClick(child<QPushButton>("saveStripButton"), Qt::LeftButton);
    QVERIFY(saved);
    const QString caption = saved->caption.join(QLatin1Char('\n'));
    QCOMPARE(caption.contains(text(pulsavo::catalogue::nameOf(Rhythm::rOnT))), !beforeAnswer);
    QCOMPARE(caption.contains(u"seed"_s), !beforeAnswer);
    QCOMPARE(saved->marking, !beforeAnswer);
    QCOMPARE(saved->ladder, !beforeAnswer);
    QCOMPARE(window->isHinted(), hint);
    window->answer(Rhythm::rOnT);
    QCOMPARE(ProgressStore(dbPath).rhythmStats()[pulsavo::indexOf(Rhythm::rOnT)].hinted,
             hint ? 1 : 0);
}

// A question's first key moves in the list as usual; only Enter, a double click or 回答 answers.
void TestPracticeWindow::moveKeysNeverAnswer_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("row");
    QTest::newRow("Down") << int(Qt::Key_Down) << 0;
    QTest::newRow("Up") << int(Qt::Key_Up) << 0;
    QTest::newRow("Home") << int(Qt::Key_Home) << 0;
    QTest::newRow("End") << int(Qt::Key_End) << -1;
    QTest::newRow("PageDown") << int(Qt::Key_PageDown) << -3;
    QTest::newRow("PageUp") << int(Qt::Key_PageUp) << 0;
}

void TestPracticeWindow::moveKeysNeverAnswer() {
    QFETCH(int, key);
    QFETCH(int, row);
    window = makeWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->startRound({{Rhythm::rOnT, 7}}, RoundMode::practice);
    auto* list = child<QListWidget>("answerList");
    QCOMPARE(QApplication::focusWidget(), list);
    keys(static_cast<Qt::Key>(key));
    QCOMPARE(window->stage(), PracticeWindow::Stage::asking);
    QVERIFY(window->results().empty());
    QCOMPARE(ProgressStore(dbPath).answerCount(), 0);
    QCOMPARE(list->selectedItems().size(), 1);
    if (row == -1) {
        QCOMPARE(list->currentRow(), list->count() - 1);
    } else if (row == 0) {
        QCOMPARE(list->currentRow(), 0);
    } else {
        QVERIFY(list->currentRow() > 0); // a page on from the top
    }
    keys(Qt::Key_Return);
    QCOMPARE(window->stage(), PracticeWindow::Stage::feedback);
    QCOMPARE(window->results().size(), std::size_t{1});
}

// The window fits the screen's available area and keeps its size when a wrong answer names the
// longest rhythm name of the list.
void TestPracticeWindow::fitsAndNeverGrows_data() {
    QTest::addColumn<bool>("english");
    QTest::newRow("Japanese") << false;
    QTest::newRow("English") << true;
}

void TestPracticeWindow::fitsAndNeverGrows() {
    QFETCH(bool, english);
    pulsavo::LanguageManager::instance().choose(english ? pulsavo::catalogue::Language::english
                                                        : pulsavo::catalogue::Language::japanese);
    window = makeWindow();
    const QRect available = window->screen()->availableGeometry();
    QVERIFY2(available.contains(window->frameGeometry()),
             qPrintable(u"%1x%2 on %3x%4"_s.arg(window->frameGeometry().width())
                            .arg(window->frameGeometry().height())
                            .arg(available.width())
                            .arg(available.height())));
    window->startRound({{Rhythm::sinusRhythm, 1}, {Rhythm::sinusRhythm, 2}}, RoundMode::practice);
    auto* list = child<QListWidget>("answerList");
    int longest = 0;
    for (int row = 1; row < list->count(); ++row) {
        if (list->item(row)->text().size() > list->item(longest)->text().size()) {
            longest = row;
        }
    }
    // What starts, answers and moves on never scrolls out of view, however short the screen.
    for (const char* name : {"startButton", "examButton", "answerButton", "nextButton",
                             "saveStripButton", "newRoundButton", "handInButton"}) {
        QVERIFY2(!child<QWidget>("pageScroll")->isAncestorOf(child<QPushButton>(name)), name);
    }
    const Rhythm wrong = rhythmAtRow(list, longest);
    QVERIFY(wrong != Rhythm::sinusRhythm);
    QCoreApplication::processEvents();
    const QSize before = window->size();
    for (int question = 0; question < 2; ++question) {
        window->answer(wrong);
        window->compareWithAnswer();
        QCoreApplication::processEvents();
        QCOMPARE(window->size(), before);
        auto* next = child<QPushButton>("nextButton");
        QVERIFY(window->rect().contains(QRect(next->mapTo(window.get(), QPoint()), next->size())));
        window->nextQuestion();
    }
    pulsavo::LanguageManager::instance().choose(pulsavo::catalogue::Language::japanese);
}

// The previous question's marked beats are gone when the next starts, and the panel is black
// where the sweep has not passed.
void TestPracticeWindow::eachQuestionOnACleanBlackPanel() {
    window = makeWindow();
    auto* panel = child<pulsavo::ScopePanel>("questionPanel");
    const auto reddish = [panel] {
        const QImage& image = panel->backingImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor colour = image.pixelColor(x, y);
                count += colour.red() > 150 && colour.green() < 100 ? 1 : 0;
            }
        }
        return count;
    };
    window->startRound({{Rhythm::ventricularTachycardia, 1}, {Rhythm::sinusRhythm, 2}},
                       RoundMode::practice);
    window->showHint();
    window->monitorClock().advance(500);
    QVERIFY(reddish() > 0); // the marking was drawn
    window->answer(Rhythm::ventricularTachycardia);
    window->monitorClock().advance(100);
    window->nextQuestion();
    QCOMPARE(reddish(), 0);
    const QImage& image = panel->backingImage();
    QCOMPARE(image.pixelColor(image.width() * 3 / 4, image.height() / 2), QColor(Qt::black));
}

// Escape or Alt+F4 in a round asks first; declined, the round goes on where it was.
void TestPracticeWindow::closingMidRoundAsks_data() {
    QTest::addColumn<bool>("inRound");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("asked");
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("waiting"); // answers a locked file could not take
    QTest::newRow("set-up: no question") << false << false << 0 << false << 0;
    QTest::newRow("round, declined") << true << false << 1 << true << 0;
    QTest::newRow("round, accepted") << true << true << 1 << false << 0;
    QTest::newRow("round, file locked, declined") << true << false << 1 << true << 1;
}

void TestPracticeWindow::closingMidRoundAsks() {
    QFETCH(bool, inRound);
    QFETCH(bool, accept);
    QFETCH(int, asked);
    QFETCH(bool, open);
    QFETCH(int, waiting);
    window = makeWindow();
    int questions = 0;
    int told = -1;
    window->confirmLeaving = [&](int count) {
        ++questions;
        told = count;
        return accept;
    };
    QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "holder");
    holder.setDatabaseName(dbPath);
    QVERIFY(holder.open() && (waiting == 0 || QSqlQuery(holder).exec("BEGIN IMMEDIATE")));
    if (inRound) {
        window->startRound({{Rhythm::rOnT, 7}, {Rhythm::sinusRhythm, 8}}, RoundMode::practice);
        window->answer(Rhythm::rOnT);
    }
    window->close();
    holder.close();
    holder = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    QCOMPARE(questions, asked);
    QCOMPARE(told, asked > 0 ? waiting : -1);
    QCOMPARE(window->isVisible(), open);
    QCOMPARE(window->stage(),
             open ? PracticeWindow::Stage::feedback : PracticeWindow::Stage::setup);
    QCOMPARE(window->results().size(), open ? std::size_t{1} : std::size_t{0});
}

// The feedback's first change (the next button coming on) finds the answer already on disk.
// The ladder gives the rhythm away: asked for, it shows with the feedback only, and a strip
// saved then is the question's trace with its ladder.
void TestPracticeWindow::ladderOnlyWithFeedback() {
    window = makeWindow();
    window->show();
    auto* ladderButton = child<QPushButton>("ladderButton");
    auto* ladder = child<QWidget>("ladderPanel");
    window->startRound({{Rhythm::wenckebachBlock, 7}, {Rhythm::completeBlock, 8}},
                       RoundMode::practice);
    ladderButton->setChecked(true);
    window->monitorClock().advance(700);
    QVERIFY(ladder->isHidden());
    window->answer(Rhythm::mobitzBlock);
    QVERIFY(!ladder->isHidden());
    QTemporaryDir dir;
    const QString strip = dir.filePath(QStringLiteral("q1.png"));
    QVERIFY(pulsavo::saveMonitorStrip(window->questionMonitor(), strip, 6, true));
    QVERIFY(!QImage(strip).isNull());
    window->nextQuestion();
    QVERIFY(ladder->isHidden());
    ladderButton->setChecked(false);
    window->answer(Rhythm::completeBlock);
    QVERIFY(ladder->isHidden());
}

void TestPracticeWindow::sixSecondModeTimesEachAnswer_data() {
    QTest::addColumn<bool>("worksheet");
    QTest::newRow("question page") << false;
    QTest::newRow("worksheet") << true;
}

// Six seconds of strip, then it stands; an answer after its limit is kept, scored wrong, said so
// with the time taken, on the question's page as on the worksheet.
void TestPracticeWindow::sixSecondModeTimesEachAnswer() {
    QFETCH(bool, worksheet);
    window = makeWindow();
    qint64 now = 500;
    window->answerClock = [&now] { return now; };
    PracticeWindow::Options options = window->options();
    options.answerLimitSeconds = 10;
    options.worksheet = worksheet;
    window->setOptions(options);
    window->startRound({{Rhythm::completeBlock, 99}}, RoundMode::practice);
    window->monitorClock().advance(599);
    QVERIFY(!window->isFrozen());
    window->monitorClock().advance(2);
    QVERIFY(window->isFrozen());
    now += 10001;
    if (worksheet) {
        auto* page = child<pulsavo::WorksheetPage>("worksheetPage");
        pulsavo::WorksheetAnswer given;
        given.rhythm = Rhythm::completeBlock;
        page->setAnswer(given);
        QTest::mouseClick(child<QPushButton>("worksheetSubmitButton"), Qt::LeftButton);
        const QString verdict = child<QLabel>("worksheetVerdictLabel")->text();
        QVERIFY2(verdict.startsWith(u"× 時間切れ（10.0 秒かかりました）"_s), qPrintable(verdict));
    } else {
        window->answer(Rhythm::completeBlock);
        QVERIFY(child<QLabel>("bannerLabel")->text().startsWith(u"× 時間切れ"_s));
        QVERIFY(!child<QLabel>("differenceLabel")->isVisible()); // the name was right
    }
    window.reset();
    QCOMPARE(ProgressStore(dbPath).fluency().size(), 0);
    QString stored;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("six"));
        db.setDatabaseName(dbPath);
        QSqlQuery row(db);
        if (db.open() &&
            row.exec(QStringLiteral("SELECT answer, correct, limit_ms FROM answers")) &&
            row.next()) {
            stored = QStringList{row.value(0).toString(), row.value(1).toString(),
                                 row.value(2).toString()}
                         .join(QLatin1Char(' '));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("six"));
    QCOMPARE(stored, u"classic_17 0 10000"_s);
}

// The review schedule learns the stored answers from a read on another thread.
void TestPracticeWindow::storedHistoryReadOffTheWindowThread() {
    {
        ProgressStore store(dbPath);
        pulsavo::AnswerRecord old;
        old.shown = Rhythm::ventricularTachycardia;
        old.answer = Rhythm::ventricularFibrillation;
        old.time = QDateTime::currentDateTime().addDays(-3);
        QVERIFY(store.recordAnswer(old) > 0);
    }
    window = makeWindow();
    QSignalSpy learned(window.get(), &PracticeWindow::historyLearned);
    if (!window->practiceSession().schedule().card(Rhythm::ventricularTachycardia).seen) {
        QVERIFY(learned.wait());
    }
    QVERIFY(window->practiceSession().schedule().card(Rhythm::ventricularTachycardia).seen);
    QVERIFY(child<QPushButton>("reviewButton")->text().contains(u"今日の復習"_s));
}

void TestPracticeWindow::answerStoredBeforeFeedback() {
    window = makeWindow();
    qint64 now = 500;
    window->answerClock = [&now] { return now; };
    window->startRound({{Rhythm::completeBlock, 99}}, RoundMode::practice);
    now += 1234;
    auto* next = child<QPushButton>("nextButton");
    auto* banner = child<QLabel>("bannerLabel");
    int seenAtFeedback = -1;
    QString bannerThen;
    struct Watcher : QObject {
        std::function<void()> onEnable;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::EnabledChange) {
                onEnable();
            }
            return false;
        }
    } watcher;
    watcher.onEnable = [&] {
        if (next->isEnabled() && seenAtFeedback < 0) {
            ProgressStore reader(dbPath);
            seenAtFeedback = reader.answerCount();
            bannerThen = banner->text();
        }
    };
    next->installEventFilter(&watcher);
    window->answer(Rhythm::mobitzBlock);
    next->removeEventFilter(&watcher);
    QCOMPARE(seenAtFeedback, 1);
    QVERIFY(!bannerThen.contains(u"不正解"_s)); // the verdict was not yet on screen
    QCOMPARE(banner->text(), u"× 不正解"_s);
    QVERIFY(window->results().back().answerId > 0);
    const pulsavo::RhythmStats stats =
        ProgressStore(dbPath).rhythmStats()[pulsavo::indexOf(Rhythm::completeBlock)];
    QCOMPARE(stats.medianMs, std::optional<double>(1234));
}

void TestPracticeWindow::unwritableDatabaseStillPractises() {
    window = makeWindow(QStringLiteral("/proc/pulsavo/progress.sqlite"));
    auto* notice = child<QLabel>("noticeLabel");
    QVERIFY(notice->isVisible());
    QVERIFY(!notice->text().isEmpty());
    QCOMPARE(notice->text(), window->store().notice());
    QVERIFY(!window->store().isSaving());

    window->startRound({{Rhythm::sinusArrest, 5}, {Rhythm::sinusRhythm, 6}}, RoundMode::practice);
    window->answer(Rhythm::sinusArrest);
    window->nextQuestion();
    window->answer(Rhythm::sinusArrest);
    window->nextQuestion();
    QCOMPARE(window->stage(), PracticeWindow::Stage::summary);
    QVERIFY(child<QLabel>("summaryLabel")->text().startsWith(u"得点: 1 / 2"_s));
    QVERIFY(notice->isVisible());
}

// Options last from one window to the next; a round plays only the rhythms checked.
void TestPracticeWindow::optionsRemembered() {
    PracticeWindow::Options chosen;
    chosen.length = 20;
    chosen.rhythms = pulsavo::RhythmSet::of(
        {Rhythm::atrialFlutter, Rhythm::atrialFibrillation, Rhythm::ventricularTachycardia});
    chosen.adaptive = false;
    chosen.beatTone = false;
    chosen.measure = true;
    {
        auto first = makeWindow();
        first->setOptions(chosen);
        // A size that fits the test screen (800 × 800): a larger one is cut to fit it.
        first->resize(792, 700);
        first->close();
    }
    window = makeWindow();
    const PracticeWindow::Options again = window->options();
    QCOMPARE(again.length, 20);
    QCOMPARE(again.rhythms, chosen.rhythms);
    QCOMPARE(again.adaptive, false);
    QCOMPARE(again.beatTone, false);
    QCOMPARE(again.measure, true);
    QCOMPARE(window->size(), QSize(792, 700));

    QTest::mouseClick(child<QPushButton>("startButton"), Qt::LeftButton);
    for (int question = 0; question < 20; ++question) {
        const Rhythm shown = window->currentQuestion()->rhythm;
        QVERIFY(chosen.rhythms.contains(shown));
        window->answer(shown);
        window->nextQuestion();
    }
    QCOMPARE(window->stage(), PracticeWindow::Stage::summary);
    QCOMPARE(ProgressStore(dbPath).answerCount(), 20);

    // Nothing checked: no round can start.
    window->showSetup();
    window->setOptions({10, pulsavo::RhythmSet(), true, false});
    QVERIFY(!child<QPushButton>("startButton")->isEnabled());
}

// The set-up lists the library's 8 families, then the classic 18 as one set; the library is
// chosen until the learner chooses otherwise (a choice an earlier release saved: tst_settings).
void TestPracticeWindow::setUpByFamily() {
    window = makeWindow();
    auto* tree = child<QTreeWidget>("rhythmTree");
    const std::vector<pulsavo::RhythmGroup> groups = pulsavo::rhythmGroups();
    QCOMPARE(tree->topLevelItemCount(), pulsavo::libraryFamilyCount + 1);
    for (int top = 0; top < tree->topLevelItemCount(); ++top) {
        QCOMPARE(tree->topLevelItem(top)->childCount(),
                 groups[static_cast<std::size_t>(top)].rhythms.size());
    }
    QCOMPARE(tree->topLevelItem(3)->text(0), u"房室ブロック"_s);
    QCOMPARE(tree->topLevelItem(8)->checkState(0), Qt::Unchecked);
    QCOMPARE(window->options().rhythms, pulsavo::RhythmSet::library());
}

void TestPracticeWindow::beatToneFollowsOption_data() {
    QTest::addColumn<bool>("on");
    QTest::newRow("on") << true;
    QTest::newRow("off") << false;
}

void TestPracticeWindow::beatToneFollowsOption() {
    QFETCH(bool, on);
    window = makeWindow();
    PracticeWindow::Options options = window->options();
    options.beatTone = on;
    window->setOptions(options);
    window->startRound({{Rhythm::sinusRhythm, 3}}, RoundMode::practice);
    window->monitorClock().advance(500);
    QCOMPARE(tones > 0, on);
}

void TestPracticeWindow::openedFromTheClassicMenu() {
    int classicTones = 0;
    pulsavo::TrainerDialog dialog(std::make_unique<CountingTone>(classicTones));
    dialog.practiceDatabase = dbPath;
    QStringList items;
    for (const QAction* action : dialog.systemMenu()->actions()) {
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    const qsizetype practiceAt = items.indexOf(u"練習モード(&P)..."_s);
    QVERIFY(practiceAt >= 0 && practiceAt < items.indexOf(u"閉じる(&C)"_s));
    QCOMPARE(items.mid(items.size() - 3),
             QStringList({u"閉じる(&C)"_s, QStringLiteral("-"), u"バージョン情報 Tavix(&A)..."_s}));
    QVERIFY(!dialog.isFrozen());
    dialog.practiceAction()->trigger();
    PracticeWindow* practice = dialog.practiceWindow();
    QVERIFY(practice);
    // The classic monitor rests behind practice: one tone at a time.
    QVERIFY(dialog.isFrozen());
    QVERIFY(practice->isVisible());
    QVERIFY(practice->isWindow());
    QCOMPARE(practice->store().path(), dbPath);
    dialog.practiceAction()->trigger();
    QCOMPARE(dialog.practiceWindow(), practice);
    QCOMPARE(dialog.findChildren<PracticeWindow*>().size(), 1);

    // A heat-map cell of the dialog's progress window drills that pair in the practice window.
    dialog.onProgress();
    auto* progress = dialog.findChild<pulsavo::ProgressWindow*>();
    QVERIFY(progress);
    QCOMPARE(progress->databasePath(), dbPath);
    emit progress->pairDrillRequested(Rhythm::atrialFibrillation, Rhythm::atrialFlutter);
    QCOMPARE(dialog.practiceWindow(), practice);
    QCOMPARE(practice->stage(), PracticeWindow::Stage::asking);
    const Rhythm asked = practice->currentQuestion()->rhythm;
    QVERIFY(asked == Rhythm::atrialFibrillation || asked == Rhythm::atrialFlutter);
    QVERIFY(dialog.isFrozen());
    // Closing practice gives the classic monitor back its sweep.
    practice->confirmLeaving = [](int) { return true; };
    practice->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!dialog.practiceWindow());
    QVERIFY(!dialog.isFrozen());
}

void TestPracticeWindow::startOptions_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("practice");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("exam");
    const auto run = static_cast<int>(pulsavo::StartOptions::Action::run);
    const auto error = static_cast<int>(pulsavo::StartOptions::Action::error);
    QTest::newRow("none") << QStringList{} << run << false << QString() << QString();
    QTest::newRow("practice") << QStringList{"--practice"} << run << true << QString() << QString();
    QTest::newRow("practice and db") << QStringList{"--practice", "--db", "/tmp/x.sqlite"} << run
                                     << true << "/tmp/x.sqlite" << QString();
    QTest::newRow("db=") << QStringList{"--db=a b.sqlite"} << run << false << "a b.sqlite"
                         << QString();
    QTest::newRow("db empty") << QStringList{"--db", ""} << error << false << QString()
                              << QString();
    QTest::newRow("db missing") << QStringList{"--practice", "--db"} << error << false << QString()
                                << QString();
    // A code as typed: any case, dashes anywhere; the options keep its canonical form.
    const QString code = QString::fromStdString(pulsavo::makeExam(10, 77).exam.code);
    QString typed = code.toLower();
    typed.remove(QLatin1Char('-'));
    QTest::newRow("exam") << QStringList{"--practice", "--exam", typed} << run << true << QString()
                          << code;
    QTest::newRow("exam alone") << QStringList{"--exam", code} << run << true << QString() << code;
    QString mistyped = code;
    mistyped[4] = mistyped[4] == QLatin1Char('7') ? QLatin1Char('8') : QLatin1Char('7');
    QTest::newRow("exam mistyped") << QStringList{"--practice", "--exam", mistyped} << error
                                   << false << QString() << QString();
    QTest::newRow("exam empty") << QStringList{"--practice", "--exam", ""} << error << false
                                << QString() << QString();
}

void TestPracticeWindow::startOptions() {
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(bool, practice);
    QFETCH(QString, database);
    QFETCH(QString, exam);
    const pulsavo::StartOptions options =
        pulsavo::parseStartOptions(QStringList{QStringLiteral("pulsavo")} + arguments);
    QCOMPARE(static_cast<int>(options.action), action);
    QCOMPARE(options.practice, practice);
    QCOMPARE(options.database, database);
    QCOMPARE(options.exam, exam);
    if (options.action == pulsavo::StartOptions::Action::error) {
        QVERIFY(!options.message.isEmpty());
        QVERIFY(!options.message.contains(QLatin1Char('\n')));
    }
}

void TestPracticeWindow::examReplaysThePaper_data() {
    QTest::addColumn<bool>("typed");
    QTest::newRow("code box") << true;
    QTest::newRow("startExam") << false;
}

// Every question of an exam, in its order, draws the samples of its printed strip, whatever
// the panel played before; the answers are recorded under the exam's code.
void TestPracticeWindow::examReplaysThePaper() {
    QFETCH(bool, typed);
    const pulsavo::Exam exam = pulsavo::makeExam(5, 4242).exam;
    const QString code = QString::fromStdString(exam.code);
    window = makeWindow();
    window->startRound({{Rhythm::ventricularTachycardia, 9}}, RoundMode::practice);
    window->monitorClock().advance(137);
    window->showSetup();
    if (typed) {
        QTest::keyClicks(child<QLineEdit>("examEdit"), code.toLower());
        QTest::mouseClick(child<QPushButton>("examButton"), Qt::LeftButton);
    } else {
        QVERIFY(window->startExam(code));
    }
    for (std::size_t k = 0; k < exam.questions.size(); ++k) {
        const Question& paper = exam.questions[k];
        QCOMPARE(window->stage(), PracticeWindow::Stage::asking);
        QCOMPARE(window->currentQuestion()->rhythm, paper.rhythm);
        QCOMPARE(window->currentQuestion()->seed, paper.seed);
        QVERIFY(!window->questionMonitor().showsMarking());
        window->monitorClock().advance(pulsavo::examStripTicks);
        QVERIFY2(sameTrace(window->questionMonitor().history(pulsavo::examStripTicks),
                           pulsavo::examQuestionStrip(paper.rhythm, paper.seed, {}).samples),
                 qPrintable(QStringLiteral("question %1").arg(k + 1)));
        window->answer(paper.rhythm);
        window->nextQuestion();
    }
    QCOMPARE(window->stage(), PracticeWindow::Stage::summary);
    ProgressStore reader(dbPath);
    QCOMPARE(reader.answerCount(pulsavo::ProgressFilter{code}), 5);
    QCOMPARE(reader.answerCount(), 5);
    // The summary offers the hand-in: the exam's answers in one file the gradebook reads.
    const QString handIn = temporary->filePath(QStringLiteral("hand-in.csv"));
    window->chooseHandInFile = [&](const QString&) { return handIn; };
    QVERIFY(child<QPushButton>("handInButton")->isVisible());
    QTest::mouseClick(child<QPushButton>("handInButton"), Qt::LeftButton);
    QFile file(handIn);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const pulsavo::HandIn::Contents got = pulsavo::HandIn::read(file.readAll());
    QVERIFY(got.problem == pulsavo::HandIn::Problem::none && got.examCode == code);
    QCOMPARE(got.answers.size(), 5);
}

void TestPracticeWindow::badExamCodeStaysInSetup() {
    window = makeWindow();
    QString code = QString::fromStdString(pulsavo::makeExam(5, 1).exam.code);
    code[3] = code[3] == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');
    auto* box = child<QLineEdit>("examEdit");
    QTest::keyClicks(box, code);
    QVERIFY2(!pulsavo::parseExamCode(code.toStdString()).ok(), qPrintable(code));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(window->stage(), PracticeWindow::Stage::setup);
    QVERIFY(child<QLabel>("examErrorLabel")->isVisible());
    QVERIFY(!child<QLabel>("examErrorLabel")->text().isEmpty());
    QCOMPARE(box->text(), code); // kept for the learner to mend
    QVERIFY(!window->startExam(QStringLiteral("--")));
    QCOMPARE(ProgressStore(dbPath).answerCount(), 0);
}

// 成績 opens the progress window on the window's own database; a heat-map cell drills the
// pair, cutting the running round short.
void TestPracticeWindow::pairDrillFromProgress() {
    window = makeWindow();
    window->startRound({{Rhythm::sinusRhythm, 1}, {Rhythm::sinusRhythm, 2}}, RoundMode::practice);
    window->answer(Rhythm::atrialFlutter);
    QTest::mouseClick(child<QPushButton>("progressButton"), Qt::LeftButton);
    pulsavo::ProgressWindow* progress = window->progressWindow();
    QVERIFY(progress);
    QCOMPARE(progress->databasePath(), dbPath);
    progress->finishLoading();
    QCOMPARE(progress->summary()
                 .confusion[0][static_cast<std::size_t>(pulsavo::indexOf(Rhythm::atrialFlutter))],
             1);
    pulsavo::ConfusionMap* map = progress->confusionMap();
    QTest::mouseClick(map, Qt::LeftButton, {},
                      map->cellRect(Rhythm::sinusRhythm, Rhythm::atrialFlutter).center());
    for (int question = 0; question < 6; ++question) {
        QCOMPARE(window->stage(), PracticeWindow::Stage::asking);
        const Rhythm asked = window->currentQuestion()->rhythm;
        QVERIFY(asked == Rhythm::sinusRhythm || asked == Rhythm::atrialFlutter);
        window->answer(asked);
        window->nextQuestion();
    }
    QTest::mouseClick(child<QPushButton>("progressButton"), Qt::LeftButton);
    QCOMPARE(window->progressWindow(), progress);
    progress->finishLoading();
    QCOMPARE(progress->summary().attempts, 7);
}

// F freezes the question, the calipers measure it, 答え合わせ before an answer is a hint;
// Pause resumes and the calipers go.
void TestPracticeWindow::freezeAndCalipers() {
    window = makeWindow();
    QCOMPARE(window->questionMonitor().toneMode(), Monitor::ToneMode::qrs);
    QTest::keyClick(window.get(), Qt::Key_F);
    QVERIFY(!window->isFrozen()); // nothing to measure before a round
    window->startRound({{Rhythm::sinusRhythm, 11}}, RoundMode::practice);
    window->monitorClock().advance(400);
    auto* check = child<QPushButton>("checkButton");
    QVERIFY(!check->isEnabled());
    QTest::keyClick(window.get(), Qt::Key_F);
    QVERIFY(window->isFrozen());
    QVERIFY(window->compareMonitor().isPaused());
    const long long ticks = window->questionMonitor().tickCount();
    const int before = tones;
    window->monitorClock().advance(300);
    QCOMPARE(window->questionMonitor().tickCount(), ticks);
    QCOMPARE(tones, before);
    pulsavo::CaliperOverlay* overlay = window->caliperOverlay();
    QVERIFY(overlay->isVisible());
    const int column = *window->questionMonitor().columnOf(ticks);
    QVERIFY(overlay->addCaliper(column - 150, column - 50));
    QVERIFY(check->isEnabled());
    QVERIFY(!window->isHinted());
    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(overlay->isChecked());
    QVERIFY(window->isHinted());
    QTest::keyClick(window.get(), Qt::Key_Pause);
    QVERIFY(!window->isFrozen());
    QVERIFY(overlay->calipers().empty());
    QVERIFY(!overlay->isVisible());
    window->monitorClock().advance(10);
    QCOMPARE(window->questionMonitor().tickCount(), ticks + 10);
    // A frozen question thaws for the next one.
    QTest::mouseClick(child<QPushButton>("freezeButton"), Qt::LeftButton);
    window->answer(Rhythm::sinusRhythm);
    window->nextQuestion();
    window->startRound({{Rhythm::sinusRhythm, 12}}, RoundMode::practice);
    QVERIFY(!window->isFrozen());
}

// With measuring on, an answered question asks for one interval on the frozen trace. The
// learner's caliper is scored against the nearest true interval and recorded like an answer
// (kind, value and error); checking first marks the truth and so counts as a hint.
// A worksheet round asks on its own page; handing it in freezes the strip, marks it against that
// strip's own waves and keeps every field; a row of the feedback sets its caliper on the strip.
void TestPracticeWindow::worksheetRound() {
    using pulsavo::WorksheetField;
    window = makeWindow();
    PracticeWindow::Options options = window->options();
    options.worksheet = true;
    window->setOptions(options);
    window->startRound({{Rhythm::firstDegreeBlock, 8}}, RoundMode::practice);
    auto* page = child<pulsavo::WorksheetPage>("worksheetPage");
    QVERIFY(page->isVisible());
    window->monitorClock().advance(700);
    auto* submit = child<QPushButton>("worksheetSubmitButton");
    QTest::mouseClick(submit, Qt::LeftButton); // no name yet: not handed in
    QVERIFY(window->stage() == PracticeWindow::Stage::asking && !window->isFrozen());
    pulsavo::WorksheetAnswer given;
    given.rhythm = Rhythm::firstDegreeBlock;
    given.pr = pulsavo::PrReading{pulsavo::PrReading::Kind::ms, 160};
    page->setAnswer(given);
    QTest::mouseClick(submit, Qt::LeftButton);
    QVERIFY(window->stage() == PracticeWindow::Stage::feedback && window->isFrozen());
    const auto& sheet = *window->results().back().worksheet;
    QVERIFY(sheet.truth.pr.kind == pulsavo::PrReading::Kind::ms && sheet.truth.pr.ms > 200);
    QVERIFY(!markOf(sheet.marks, WorksheetField::pr) &&
            markOf(sheet.marks, WorksheetField::rhythm));
    QCOMPARE(window->store().worksheetAccuracy().size(), pulsavo::worksheetFieldCount);
    child<QTableWidget>("worksheetResultTable")->setCurrentCell(int(WorksheetField::pr), 0);
    const auto shown = window->caliperOverlay()->results();
    QVERIFY(shown.size() == 1 && shown[0].caliper.kind == pulsavo::calipers::Kind::pr);
    QVERIFY(shown[0].score && shown[0].score->truth.ms() == sheet.truth.pr.ms);
}

void TestPracticeWindow::worksheetFieldsReadBack_data() {
    QTest::addColumn<int>("prKind"); // PrReading::Kind; -1: left empty
    QTest::addColumn<bool>("filled");
    QTest::newRow("PR in ms, every field filled") << 0 << true;
    QTest::newRow("PR varies") << 1 << true;
    QTest::newRow("PR none, the rest empty") << 2 << false;
    QTest::newRow("nothing filled") << -1 << false;
}

// The page gives back what was put in it, field by field, and the strip's PR becomes the truth's
// reading the same way: varying, in ms, or none.
void TestPracticeWindow::worksheetFieldsReadBack() {
    using namespace pulsavo;
    QFETCH(int, prKind);
    QFETCH(bool, filled);
    WorksheetPage page;
    page.fill(RhythmSet::of({Rhythm::sinusRhythm, Rhythm::completeBlock}),
              catalogue::Language::japanese);
    WorksheetAnswer given;
    if (prKind >= 0) {
        given.pr = PrReading{static_cast<PrReading::Kind>(prKind), prKind == 0 ? 180 : 0};
    }
    if (filled) {
        given = {75,       40,  Regularity::regular,   PWaves::moreThanQrs,
                 given.pr, 120, Rhythm::completeBlock, NextStep::pace};
    }
    page.setAnswer(given);
    const WorksheetTruth truth;
    const auto text = [&truth](const WorksheetAnswer& answer) {
        std::vector<std::string> values;
        for (const WorksheetEntry& entry : worksheetEntries(truth, answer, {})) {
            values.push_back(entry.learnerValue);
        }
        return values;
    };
    QCOMPARE(text(page.answer()), text(given));
    StripFacts facts;
    facts.prMs = prKind == 0 ? std::optional(180) : prKind == 1 ? std::optional(120) : std::nullopt;
    facts.prVaries = prKind == 1;
    const PrReading read = WorksheetPage::truthOf(facts, Rhythm::sinusRhythm).pr;
    QCOMPARE(read.kind, prKind < 0 ? PrReading::Kind::none : static_cast<PrReading::Kind>(prKind));
    QCOMPARE(read.ms, facts.prMs.value_or(0));
}

void TestPracticeWindow::measurementTask() {
    window = makeWindow();
    PracticeWindow::Options options = window->options();
    options.measure = true;
    window->setOptions(options);
    window->answerClock = [] { return 5000; };
    using pulsavo::calipers::Kind;
    QCOMPARE(pulsavo::calipers::taskFor(Rhythm::sinusRhythm, 3), Kind::rr);
    window->startRound({{Rhythm::firstDegreeBlock, 8},
                        {Rhythm::sinusRhythm, 3},
                        {Rhythm::ventricularFibrillation, 4}},
                       RoundMode::practice);
    auto* box = child<QGroupBox>("measureBox");
    auto* verdict = child<QLabel>("measureResultLabel");
    QVERIFY(!box->isVisible());

    // Places a caliper over the last true interval of `kind` in view, `offTicks` too long.
    const auto measure = [this](Kind kind, int offTicks) {
        const Monitor& monitor = window->questionMonitor();
        const long long last = monitor.tickCount();
        const auto truths = pulsavo::calipers::intervals(kind, monitor.events(), last - 500, last);
        if (truths.empty()) {
            return pulsavo::calipers::Interval{};
        }
        const pulsavo::calipers::Interval truth = truths.back();
        if (!window->caliperOverlay()->addCaliper(*monitor.columnOf(truth.from),
                                                  *monitor.columnOf(truth.to + offTicks))) {
            return pulsavo::calipers::Interval{};
        }
        return truth;
    };

    window->monitorClock().advance(700);
    window->answer(Rhythm::firstDegreeBlock);
    QVERIFY(box->isVisible());
    QCOMPARE(window->measurementTask(), Kind::pr);
    QVERIFY(child<QLabel>("measureTaskLabel")->text().contains(u"PR"_s));
    QVERIFY(!window->submitMeasurement()); // still running: nothing to measure
    QVERIFY(verdict->text().contains(u"一時停止"_s));
    QTest::keyClick(window.get(), Qt::Key_F);
    QVERIFY(!window->submitMeasurement()); // no caliper yet
    const pulsavo::calipers::Interval pr = measure(Kind::pr, 4);
    QVERIFY(pr.to > pr.from);
    QTest::mouseClick(child<QPushButton>("measureButton"), Qt::LeftButton);
    QVERIFY(!window->measurementTask());
    QVERIFY(window->caliperOverlay()->isChecked());
    const PracticeWindow::Measurement first = *window->results().back().measurement;
    QCOMPARE(static_cast<Kind>(first.task.kind), Kind::pr);
    QCOMPARE(first.score.measuredMs, pr.ms() + 40);
    QCOMPARE(first.score.errorMs, 40); // one small square: still right
    QVERIFY(first.score.right && !first.hinted && first.answerId > 0);
    QVERIFY(verdict->text().contains(u"正解"_s));
    QVERIFY(!window->submitMeasurement()); // given once only

    window->nextQuestion();
    QVERIFY(!window->isFrozen());
    window->monitorClock().advance(700);
    window->answer(Rhythm::sinusRhythm);
    QCOMPARE(window->measurementTask(), Kind::rr);
    QTest::keyClick(window.get(), Qt::Key_F);
    // 答え合わせ without a caliper shows the truth: the measurement given after it is hinted.
    QTest::mouseClick(child<QPushButton>("checkButton"), Qt::LeftButton);
    QCOMPARE(window->measurementTask(), Kind::rr);
    measure(Kind::rr, -5);
    // With the task's caliper set, 答え合わせ gives it.
    QTest::mouseClick(child<QPushButton>("checkButton"), Qt::LeftButton);
    const PracticeWindow::Measurement second = *window->results().back().measurement;
    QCOMPARE(second.score.errorMs, -50);
    QVERIFY(!second.score.right && second.hinted);

    window->nextQuestion();
    window->answer(Rhythm::ventricularFibrillation);
    QVERIFY(!window->measurementTask()); // nothing to measure in fibrillation
    QVERIFY(!box->isVisible());
    window->nextQuestion();
    QVERIFY(child<QLabel>("summaryLabel")->text().contains(u"計測: 1 / 2 が誤差 40 ms 以内"_s));

    // Stored like answers, apart from the naming answers the progress window counts.
    ProgressStore reader(dbPath);
    QCOMPARE(reader.answerCount(), 3);
    QBuffer csv;
    QVERIFY(csv.open(QIODevice::ReadWrite));
    QVERIFY(reader.exportCsv(csv));
    const QStringList rows = QString::fromUtf8(csv.data()).split(u"\r\n"_s, Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 1 + 5);
    QStringList measurements;
    for (const QString& row : rows) {
        const QStringList fields = row.split(QLatin1Char(','));
        if (!fields.at(fields.size() - 3).isEmpty() && row != rows.first()) {
            measurements << fields.mid(fields.size() - 3).join(QLatin1Char(' '));
        }
    }
    QCOMPARE(measurements, QStringList({u"pr %1 40"_s.arg(pr.ms() + 40),
                                        u"rr %1 -50"_s.arg(second.score.measuredMs)}));
}

// The language menu switches the names and texts live; the question panel's accessible
// description never names the rhythm in either language.
void TestPracticeWindow::languageChoice() {
    window = makeWindow();
    auto* list = child<QListWidget>("answerList");
    QAction* english = window->findChild<QAction*>(QStringLiteral("englishAction"));
    QVERIFY(english);
    english->trigger();
    const auto cleanup =
        qScopeGuard([] { pulsavo::LanguageManager::instance().apply(Language::japanese); });
    QVERIFY(english->isChecked());
    QCOMPARE(list->item(pulsavo::indexOf(Rhythm::atrialFlutter))->text(),
             text(pulsavo::catalogue::nameOf(Rhythm::atrialFlutter, Language::english)));
    window->startRound({{Rhythm::atrialFlutter, 5}, {Rhythm::atrialFlutter, 6}},
                       RoundMode::practice);
    const QString described = child<pulsavo::ScopePanel>("questionPanel")->accessibleDescription();
    QVERIFY(described.contains(QLatin1Char('1')));
    for (const Language shown : {Language::japanese, Language::english}) {
        QVERIFY(!described.contains(
            text(pulsavo::catalogue::nameOf(Rhythm::atrialFlutter, shown)).left(4)));
    }
    window->answer(Rhythm::atrialFibrillation);
    QString explanation = QString::fromStdString(
        pulsavo::catalogue::practiceTextOf(Rhythm::atrialFlutter, Language::english));
    explanation.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QCOMPARE(child<QPlainTextEdit>("explanationEdit")->toPlainText(), explanation);
    window->findChild<QAction*>(QStringLiteral("japaneseAction"))->trigger();
    QCOMPARE(child<QPlainTextEdit>("chosenPoints")->toPlainText(),
             pulsavo::practicePointsSection(Rhythm::atrialFibrillation, Language::japanese));
    window->nextQuestion();
    QCOMPARE(child<pulsavo::ScopePanel>("questionPanel")->accessibleDescription(),
             u"モニター: 問題 2"_s);
}

void TestPracticeWindow::highlightStyleEverywhere_data() {
    QTest::addColumn<pulsavo::Sweep::Highlight>("style");
    QTest::newRow("red") << pulsavo::Sweep::Highlight::red;
    QTest::newRow("thick") << pulsavo::Sweep::Highlight::thick;
    QTest::newRow("colour-blind safe") << pulsavo::Sweep::Highlight::colourBlindSafe;
}

// The learner's style, stored before the window opens or chosen while a wrong answer is compared,
// reaches the question's monitor, the compared answer's and a strip saved from the question.
void TestPracticeWindow::highlightStyleEverywhere() {
    QFETCH(pulsavo::Sweep::Highlight, style);
    using Highlight = pulsavo::Sweep::Highlight;
    const Highlight other = style == Highlight::red ? Highlight::colourBlindSafe : Highlight::red;
    auto& choice = pulsavo::HighlightChoice::instance();
    choice.choose(style);
    window = makeWindow();
    window->startRound({{Rhythm::rOnT, 7}}, RoundMode::practice);
    window->monitorClock().advance(700);
    window->answer(Rhythm::sinusRhythm);
    window->compareWithAnswer();
    for (const Highlight expected : {style, other}) {
        if (expected == other) {
            choice.choose(other);
        }
        QCOMPARE(window->questionMonitor().highlight(), expected);
        QCOMPARE(window->compareMonitor().highlight(), expected);
        QCOMPARE(pulsavo::monitorStrip(window->questionMonitor(), 6, false,
                                       pulsavo::StripShows::everything)
                     .highlight,
                 expected);
    }
}

QTEST_MAIN(TestPracticeWindow)
#include "tst_practicewindow.moc"
