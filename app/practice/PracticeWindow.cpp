#include "PracticeWindow.h"

#include "CaliperOverlay.h"
#include "CatalogueText.h"
#include "FeedbackPage.h"
#include "GradebookWindow.h"
#include "GuidedRead.h"
#include "JoinClassDialog.h"
#include "LanguageManager.h"
#include "LearnerPrompt.h"
#include "LearnerWindow.h"
#include "MeasurementBox.h"
#include "MonitorActions.h"
#include "NativePath.h"
#include "PracticeMonitors.h"
#include "PracticeTopBar.h"
#include "ProgressWindow.h"
#include "QuestionPage.h"
#include "RecallBox.h"
#include "Resources.h"
#include "Settings.h"
#include "SummaryPage.h"
#include "WindowFit.h"
#include "WorksheetPage.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace pulsavo {

PracticeWindow::PracticeWindow(const QString& dbPath, std::unique_ptr<ToneSink> toneSink,
                               QWidget* parent)
    : QWidget(parent, Qt::Window),
      seedSource([] { return QRandomGenerator::system()->generate64(); }),
      answerClock([this] { return steadyClock.elapsed(); }), progress(dbPath),
      tone(std::move(toneSink)), language(LanguageManager::instance().language()) {
    initResources();
    steadyClock.start();
    confirmLeaving = [this](int waiting) {
        const QString question =
            waiting > 0
                ? tr("%1 件の回答をまだ成績ファイルに保存できていません(ファイルが使用中か、"
                     "書き込めません)。閉じるとその回答は失われます。閉じますか？")
                      .arg(waiting)
                : tr("ラウンドの途中です。終了しますか？ここまでの回答は保存されています。");
        return QMessageBox::question(this, windowTitle(), question,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    chooseHandInFile = [this](const QString& suggested) {
        return askSaveFileName(this, tr("提出ファイルを保存"), suggested,
                               tr("提出ファイル (*.csv)"));
    };
    saveStrip = [this](const Monitor& monitor, bool ladder, StripShows shows) {
        askAndSaveMonitorStrip(this, monitor, ladder, shows);
    };
    session.clockMs = [this] { return static_cast<std::int64_t>(answerClock()); };
    session.seedSource = [this] { return seedSource(); };
    session.taskFor = [this](const Question& question) -> std::optional<MeasurementTask> {
        // An instructor's exam decides its measurements; a plain code and practice follow the
        // learner's option.
        const ExamSettings& rules = session.settings();
        const bool measure = session.mode() == RoundMode::exam && !rules.isDefault()
                                 ? rules.measurements
                                 : options().measure;
        const std::optional<calipers::Kind> kind =
            measure ? calipers::taskFor(question.rhythm, question.seed) : std::nullopt;
        if (!kind) {
            return std::nullopt;
        }
        return MeasurementTask{static_cast<int>(*kind), calipers::storedName(*kind)};
    };
    session.onQuestionAsked = [this](const Question& question) { ask(question); };
    session.onAnswerJudged = [this](const Result& result) {
        // A deferred verdict: the session asks the next question straight away.
        updateNotice();
        // The open progress window counts the answer in without reading the whole file.
        emit answersWritten(progress.takeWritten());
        if (!session.verdictDeferred()) {
            showFeedback(result);
        }
    };
    session.onRoundFinished = [this](const PracticeSession::Summary& summary) {
        showSummary(summary);
    };
    setObjectName(QStringLiteral("practiceWindow"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/pulsavo.svg")));
    buildControls();
    connectPages();
    loadSettings();
    wireWorksheet();
    fitToScreen(this);
    retranslate();
    updateNotice();

    // Only the question sounds: two tones at once could not be told apart.
    MonitorActions::wireTone(questionMonitor(),
                             [this] { return options().beatTone ? tone.get() : nullptr; });
    connect(&LanguageManager::instance(), &LanguageManager::languageChanged, this,
            [this](catalogue::Language chosen) {
                language = chosen;
                retranslate();
            });
    wireStudyModes();
    clock.start();
    showSetup();
}

PracticeWindow::~PracticeWindow() {
    clock.stop();
    if (historyReader != nullptr) {
        historyReader->wait();
        delete historyReader;
    }
}

void PracticeWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    noticeLabel = new QLabel(this);
    noticeLabel->setObjectName(QStringLiteral("noticeLabel"));
    noticeLabel->setWordWrap(true);
    noticeLabel->setFrameShape(QFrame::StyledPanel);
    noticeLabel->setStyleSheet(QStringLiteral("QLabel { background: #fff3c4; padding: 4px; }"));
    layout->addWidget(noticeLabel);
    actions = new MonitorActions(this);
    topBar = new PracticeTopBar(actions, this);
    layout->addWidget(topBar);
    // On a short screen (768 px at 200 %) the panels and the page scroll under the top row
    // rather than push the window past the screen's edge; it never grows by itself either.
    pageScroll = new QScrollArea(this);
    pageScroll->setObjectName(QStringLiteral("pageScroll"));
    pageScroll->setWidgetResizable(true);
    pageScroll->setFrameShape(QFrame::NoFrame);
    pageScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget(pageScroll);
    layout->addWidget(pageScroll, 1);
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    pageScroll->setWidget(content);

    monitors = new PracticeMonitors(clock, content);
    contentLayout->addWidget(monitors);
    connect(&clock, &MonitorClock::advanced, this, &PracticeWindow::followDeadline);
    pages = new QStackedWidget(content);
    pages->setObjectName(QStringLiteral("pages"));
    setupPage = new SetupPage(pages);
    questionPage = new QuestionPage(pages);
    feedbackPage = questionPage->feedback();
    summaryPage = new SummaryPage(pages);
    for (QWidget* page : std::initializer_list<QWidget*>{setupPage, questionPage, summaryPage}) {
        pages->addWidget(page);
    }
    contentLayout->addWidget(pages, 1);
    // Each page's buttons stay in view below what scrolls: at 200 % on a short screen they
    // were reached only by scrolling.
    for (QWidget* bar :
         {setupPage->buttonBar(), questionPage->buttonBar(), summaryPage->buttonBar()}) {
        layout->addWidget(bar);
    }
    questionPage->fill(RhythmSet::classic(), language);
    resize(PracticeMonitors::classicPanelSize().width() + 40, 760);
}

void PracticeWindow::connectPages() {
    connect(actions, &MonitorActions::freezeToggled, this, [this] { setFrozen(!isFrozen()); });
    connect(topBar, &PracticeTopBar::freezeClicked, this, [this] { setFrozen(!isFrozen()); });
    connect(topBar, &PracticeTopBar::checkClicked, this, &PracticeWindow::checkCalipers);
    connect(topBar, &PracticeTopBar::progressClicked, this, &PracticeWindow::showProgress);
    connect(topBar, &PracticeTopBar::gradebookClicked, this, &PracticeWindow::showGradebook);
    connect(topBar, &PracticeTopBar::joinClassClicked, this, &PracticeWindow::joinClass);

    connect(setupPage, &SetupPage::startRequested, this, [this] { startRound(); });
    connect(setupPage, &SetupPage::examRequested, this, &PracticeWindow::startExam);
    connect(setupPage, &SetupPage::optionsChanged, this, [this] {
        if (options().beatTone && !tone) {
            tone = std::make_unique<BeatTone>();
        }
        session.setArtifactDistractors(options().artifact);
        saveSettings();
    });

    connect(questionPage, &QuestionPage::answerChosen, this, &PracticeWindow::answer);
    connect(questionPage, &QuestionPage::hintRequested, this, &PracticeWindow::showHint);
    connect(feedbackPage, &FeedbackPage::compareRequested, this,
            &PracticeWindow::compareWithAnswer);
    connect(feedbackPage, &FeedbackPage::replayRequested, this, &PracticeWindow::replayQuestion);
    connect(feedbackPage, &FeedbackPage::nextRequested, this, &PracticeWindow::nextQuestion);
    connect(feedbackPage, &FeedbackPage::saveStripRequested, this,
            &PracticeWindow::saveQuestionStrip);
    connect(feedbackPage, &FeedbackPage::ladderToggled, this, [this](bool on) {
        monitors->showLadder(on && stage() == Stage::feedback);
        if (on && stage() == Stage::asking) {
            feedbackPage->explainLadderWaits();
        }
    });
    connect(feedbackPage->measurementBox(), &MeasurementBox::submitRequested, this,
            [this] { submitMeasurement(); });

    connect(summaryPage, &SummaryPage::replayRequested, this, &PracticeWindow::replayMissed);
    connect(summaryPage, &SummaryPage::newRoundRequested, this, &PracticeWindow::showSetup);
    connect(summaryPage, &SummaryPage::handInRequested, this, &PracticeWindow::saveHandIn);
}

void PracticeWindow::retranslate() {
    setWindowTitle(tr("練習モード - Pulsavo"));
    topBar->retranslate();
    topBar->showStage(session);
    describePanels();
    setupPage->retranslate(language);
    questionPage->retranslate(language);
    const std::vector<Result>& results = session.results();
    const bool judged = stage() == Stage::feedback && !results.empty();
    feedbackPage->retranslate(language, judged ? &results.back() : nullptr,
                              session.isLastQuestion(), measurementTask());
    if (stage() == Stage::summary) {
        summaryPage->retranslate(language, session.summary(), results);
    }
}

void PracticeWindow::describePanels() {
    monitors->retranslate(language, stage() == Stage::setup ? 0 : session.number());
}

void PracticeWindow::loadSettings() {
    restoreGeometry(Settings().practiceGeometry());
    // Loading shows what is stored; it writes nothing back.
    loading = true;
    setOptions(SetupPage::storedOptions());
    loading = false;
}

void PracticeWindow::saveSettings() const {
    if (loading) {
        return;
    }
    Settings().setPracticeGeometry(saveGeometry());
    SetupPage::storeOptions(options());
}

void PracticeWindow::showPage(QWidget* page) {
    pages->setCurrentWidget(page);
    setupPage->buttonBar()->setVisible(page == setupPage);
    questionPage->buttonBar()->setVisible(page == questionPage);
    summaryPage->buttonBar()->setVisible(page == summaryPage);
}

void PracticeWindow::showSetup() {
    session.leave();
    setFrozen(false);
    monitors->restart();
    showPage(setupPage);
    retranslate();
    setupPage->focusStart();
}

void PracticeWindow::startRound() {
    const Options chosen = options();
    const int length = std::clamp(chosen.length, 1, DrillOptions::maxLength);
    if (chosen.artifactVersus) {
        session.startArtifactRound(chosen.length, chosen.roundJson(length, {}, false));
        return;
    }
    session.startRound(chosen.length, chosen.rhythms, chosen.adaptive,
                       chosen.roundJson(length, chosen.rhythms, chosen.adaptive));
}

void PracticeWindow::startRound(std::vector<Question> fixed, RoundMode roundMode,
                                const QString& code) {
    const int length = static_cast<int>(fixed.size());
    session.startFixedRound(std::move(fixed), roundMode, code.toStdString(),
                            options().roundJson(length, options().rhythms, false));
}

void PracticeWindow::startPairDrill(Rhythm first, Rhythm second) {
    const int length = std::clamp(options().length, 1, DrillOptions::maxLength);
    session.startPairDrill(first, second, options().length,
                           options().roundJson(length, RhythmSet::of({first, second}), false));
}

void PracticeWindow::ask(const Question& question) {
    if (session.results().empty()) {
        // A new round: its answer names, a clean summary and the question page.
        questionPage->fill(session.answerChoices(), language);
        updateNotice();
        summaryPage->clear();
        showPage(questionPage);
        showExamRules(session.hintsAllowed());
        topBar->setClockShown(session.timeLeftMs().has_value());
    }
    if (session.answerLimitMs()) {
        topBar->setClockShown(true);
    }
    setFrozen(false);
    monitors->ask(question, session.mode() == RoundMode::exam);
    feedbackPage->showAsking();
    questionPage->ask();
    retranslate();
    keepTraceInView();
}

void PracticeWindow::answer(Rhythm rhythm) {
    // The session keeps the answer before it tells this window to show the verdict.
    session.answer(rhythm);
}

PracticeWindow::Stage PracticeWindow::stage() const {
    switch (session.stage()) {
    case PracticeSession::Stage::setup:
        return Stage::setup;
    case PracticeSession::Stage::question:
    case PracticeSession::Stage::worksheet:
        return Stage::asking;
    case PracticeSession::Stage::feedback:
    case PracticeSession::Stage::measurement:
        return Stage::feedback;
    case PracticeSession::Stage::summary:
        return Stage::summary;
    }
    return Stage::setup;
}

std::optional<calipers::Kind> PracticeWindow::measurementTask() const {
    const std::optional<MeasurementTask> task = session.measurementTask();
    return task ? std::optional(static_cast<calipers::Kind>(task->kind)) : std::nullopt;
}

void PracticeWindow::showFeedback(const Result& result) {
    // Once answered, the marking gives nothing away and shows what to look at.
    monitors->setMarking(true);
    questionPage->lock();
    if (session.answerLimitMs()) {
        topBar->setClockShown(false);
    }
    feedbackPage->setMeasured(result.correct() ? std::nullopt : measuredFacts());
    feedbackPage->showResult(result);
    monitors->showLadder(feedbackPage->ladderWanted());
    const std::optional<calipers::Kind> task = measurementTask();
    feedbackPage->measurementBox()->showTask(task);
    if (task) {
        caliperOverlay()->setKind(*task);
    }
    retranslate();
    feedbackPage->focusNext();
    keepTraceInView();
}

std::optional<MeasuredFacts> PracticeWindow::measuredFacts() {
    // The strip as the learner saw it when answering: the ticks on the panel now.
    const auto [first, last] = caliperOverlay()->visibleTicks();
    if (last <= first) {
        return std::nullopt;
    }
    const StripFacts strip = measureStrip(questionMonitor().events(), first, last);
    return MeasuredFacts{strip.ventricularRate, strip.prMs, strip.prVaries, strip.qrsMs};
}

// On a short screen the page scrolls; the verdict must not push the trace it speaks of out of
// sight. Once the new page has its size, back to the top (Enter still works the page).
void PracticeWindow::keepTraceInView() {
    QTimer::singleShot(0, this, [this] { pageScroll->verticalScrollBar()->setValue(0); });
}

bool PracticeWindow::submitMeasurement() {
    const std::optional<calipers::Kind> task = measurementTask();
    if (!task) {
        return false;
    }
    MeasurementBox* box = feedbackPage->measurementBox();
    const std::optional<CaliperOverlay::Result> mine =
        box->score(*task, isFrozen(), *caliperOverlay());
    if (!mine) {
        return false;
    }
    // Kept like an answer: on disk before the verdict shows.
    session.submitMeasurement({mine->score->measuredMs, mine->score->errorMs, mine->score->right});
    updateNotice();
    box->showScore(*mine);
    feedbackPage->focusNext();
    return true;
}

void PracticeWindow::showHint() {
    if (!session.takeHint()) {
        return;
    }
    monitors->setMarking(true);
    questionPage->hintTaken();
    retranslate();
}

void PracticeWindow::saveQuestionStrip() {
    // Before the answer the strip keeps the secret the panel keeps: a trace, no name, no
    // marking, no ladder; it is then no hint.
    const bool open = stage() == Stage::asking;
    saveStrip(questionMonitor(), feedbackPage->ladderWanted() && !open,
              open ? StripShows::traceOnly : StripShows::everything);
}

void PracticeWindow::replayQuestion() {
    const std::optional<Question> current = session.currentQuestion();
    if (stage() != Stage::feedback || !current) {
        return;
    }
    setFrozen(false);
    monitors->replay(current->rhythm, current->seed);
}

void PracticeWindow::compareWithAnswer() {
    const std::vector<Result>& results = session.results();
    if (stage() != Stage::feedback || results.empty() || results.back().named()) {
        return;
    }
    setFrozen(false);
    monitors->compare(results.back().question, results.back().answer);
    retranslate();
}

void PracticeWindow::nextQuestion() {
    // The session asks the next question or ends the round, and says which.
    session.next();
}

void PracticeWindow::showSummary(const PracticeSession::Summary& summary) {
    updateNotice();
    // The round is over: what a no-hint exam held back is open again.
    showExamRules(true);
    topBar->setClockShown(false);
    monitors->stopComparing();
    summaryPage->showRound(summary);
    summaryPage->offerHandIn(session.mode() == RoundMode::exam && !session.examCode().empty());
    showPage(summaryPage);
    retranslate();
}

void PracticeWindow::saveHandIn() {
    summaryPage->handIn(progress, QString::fromStdString(session.examCode()),
                        QString::fromStdString(session.learnerName()), chooseHandInFile);
}

void PracticeWindow::replayMissed(int row) {
    const std::optional<Question> missed = session.missedQuestion(row);
    if (!missed || summaryPage->resultIndex(row) < 0) {
        return;
    }
    setFrozen(false);
    monitors->replay(*missed);
    summaryPage->showReplaying(summaryPage->resultIndex(row), rhythmName(missed->rhythm, language));
}

bool PracticeWindow::startExam(const QString& code) {
    const std::optional<Exam> exam = setupPage->readExamCode(code);
    if (!exam) {
        return false;
    }
    // An exam with the instructor's settings is sat by someone the gradebook can name; a plain
    // code replays as it always has.
    std::string learner;
    if (!exam->settings.isDefault()) {
        const std::optional<QString> name = LearnerPrompt::ask(this);
        if (!name) {
            return false;
        }
        learner = name->toStdString();
    }
    session.startExam(*exam, learner, options().roundJson(exam->count, options().rhythms, false));
    return true;
}

void PracticeWindow::joinClass() {
    JoinClassDialog ask(this);
    if (ask.exec() != QDialog::Accepted) {
        return;
    }
    // The class's monitor sounds its own beat; practice pauses nothing for it.
    auto* joined = new LearnerWindow(nullptr, this);
    joined->setAttribute(Qt::WA_DeleteOnClose);
    joined->show();
    joined->join(ask.address(), ask.code(), ask.name());
}

void PracticeWindow::showGradebook() {
    if (!gradebookView) {
        gradebookView = new GradebookWindow(this);
        gradebookView->setAttribute(Qt::WA_DeleteOnClose);
        connect(gradebookView, &GradebookWindow::practiceRequested, this,
                [this](const QString& code) {
                    if (startExam(code)) {
                        raise();
                        activateWindow();
                    }
                });
    }
    gradebookView->show();
    gradebookView->raise();
    gradebookView->activateWindow();
}

void PracticeWindow::feedProgress(ProgressWindow* view) {
    connect(this, &PracticeWindow::answersWritten, view,
            [view](const ProgressStore::Written& written) {
                // A hidden window reads the file afresh when it is shown again.
                if (view->isVisible()) {
                    view->addAnswers(written);
                }
            });
}

void PracticeWindow::showProgress() {
    progress.takeWritten(); // what the window reads now holds them
    if (!progressView) {
        progressView = new ProgressWindow(progress.path(), this);
        progressView->setAttribute(Qt::WA_DeleteOnClose);
        feedProgress(progressView);
        connect(progressView, &ProgressWindow::pairDrillRequested, this,
                [this](Rhythm shown, Rhythm answered) {
                    startPairDrill(shown, answered);
                    raise();
                    activateWindow();
                });
    } else {
        progressView->refresh();
    }
    progressView->show();
    progressView->raise();
    progressView->activateWindow();
}

void PracticeWindow::setFrozen(bool on) {
    // Nothing plays before a round starts: nothing to measure.
    if ((on && stage() == Stage::setup) || on == isFrozen()) {
        return;
    }
    monitors->setFrozen(on);
    topBar->showFrozen(on);
}

void PracticeWindow::checkCalipers() {
    if (!isFrozen() || (!session.hintsAllowed() && stage() != Stage::summary)) {
        return;
    }
    // The true waves tell much about the rhythm: before an answer they are a hint.
    if (stage() == Stage::asking && !isHinted()) {
        showHint();
    }
    // With a measurement task open, checking is giving it: the marks would show the answer.
    if (measurementTask() && submitMeasurement()) {
        return;
    }
    session.revealDuringMeasurement();
    caliperOverlay()->check();
}

void PracticeWindow::showExamRules(bool open) {
    questionPage->setHintAllowed(open);
    feedbackPage->setStudyAllowed(open);
    topBar->setCheckAllowed(open);
    if (!open) {
        monitors->showLadder(false);
    }
}

void PracticeWindow::wireWorksheet() {
    worksheetPage = new WorksheetPage(pages);
    pages->addWidget(worksheetPage);
    const auto takeOptions = [this] {
        session.setWorksheetOption(options().worksheet);
        const int limit = options().answerLimitSeconds;
        session.setAnswerLimitMs(limit > 0 ? std::optional(limit * 1000) : std::nullopt);
    };
    takeOptions();
    connect(setupPage, &SetupPage::optionsChanged, this, takeOptions);
    // Handing the worksheet in freezes the strip where it stands: the truth, the feedback and its
    // calipers then all speak of the strip the learner read.
    session.worksheetTruthFor = [this](const Question& question) -> std::optional<WorksheetTruth> {
        setFrozen(true);
        const auto [first, last] = caliperOverlay()->visibleTicks();
        if (last <= first) {
            return std::nullopt;
        }
        const std::vector<WaveEvent> events = questionMonitor().events();
        return WorksheetPage::truthOf(measureStrip(events, first, last), question.rhythm);
    };
    session.onQuestionAsked = [this, asked = session.onQuestionAsked](const Question& question) {
        asked(question);
        if (session.isWorksheetRound()) {
            worksheetPage->fill(answerChoicesFor(session.inPlay()), language);
            worksheetPage->setHintAllowed(session.hintsAllowed());
            worksheetPage->ask();
            showPage(worksheetPage);
        }
    };
    session.onAnswerJudged = [this, judged = session.onAnswerJudged](const Result& result) {
        judged(result);
        if (result.worksheet && !session.verdictDeferred()) {
            caliperOverlay()->clear();
            worksheetPage->showResult(result, session.isLastQuestion());
        }
    };
    connect(worksheetPage, &WorksheetPage::submitted, this,
            [this](const WorksheetAnswer& given) { session.answerWorksheet(given); });
    connect(worksheetPage, &WorksheetPage::hintRequested, this, [this] {
        showHint();
        worksheetPage->hintTaken();
    });
    connect(worksheetPage, &WorksheetPage::nextRequested, this, &PracticeWindow::nextQuestion);
    connect(worksheetPage, &WorksheetPage::fieldChosen, this, [this](WorksheetField field) {
        const std::optional<calipers::Kind> kind = WorksheetPage::caliperFor(field);
        if (!kind) {
            caliperOverlay()->clear();
            worksheetPage->showCaliperNote(tr("この項目は波形の形から読み取ります。"));
        } else if (caliperOverlay()->showTruth(*kind)) {
            worksheetPage->showCaliperNote(
                tr("止めた波形に、この項目を測る %1 のキャリパーと本当の波の位置を示しました。")
                    .arg(CaliperOverlay::kindName(*kind)));
        } else {
            worksheetPage->showCaliperNote(tr("この波形には %1 として測れる間隔がありません。")
                                               .arg(CaliperOverlay::kindName(*kind)));
        }
    });
    connect(&LanguageManager::instance(), &LanguageManager::languageChanged, worksheetPage,
            [this](catalogue::Language chosen) { worksheetPage->retranslate(chosen); });
}

void PracticeWindow::followDeadline() {
    if (session.checkDeadline()) {
        return; // the session has shown the summary
    }
    const std::optional<std::int64_t> left = session.timeLeftMs();
    if (left && session.roundInProgress()) {
        topBar->showTimeLeft(*left);
    }
    if (const std::optional<std::int64_t> answerLeft = session.answerTimeLeftMs()) {
        topBar->showAnswerTimeLeft(*answerLeft);
        // 6秒モード: six seconds of strip, then it stands still for the rest of the answer.
        if (!isFrozen() && questionMonitor().tickCount() >= sixSecondTicks) {
            setFrozen(true);
        }
    }
}

void PracticeWindow::updateNotice() {
    const QString notice = progress.notice();
    noticeLabel->setText(notice);
    noticeLabel->setVisible(!notice.isEmpty());
}

void PracticeWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

void PracticeWindow::closeEvent(QCloseEvent* event) {
    saveSettings();
    // Escape or Alt+F4 in the middle of a question must not end the round unasked, nor drop
    // answers still waiting for a busy file.
    const int waiting = progress.flush() ? 0 : progress.waitingCount();
    if (session.roundInProgress() || waiting > 0) {
        if (!confirmLeaving(waiting)) {
            event->ignore();
            return;
        }
        if (session.roundInProgress()) {
            showSetup();
        }
    }
    QWidget::closeEvent(event);
}

// Enter does what the page is for: answers, moves on or starts, unless a button has the focus.
void PracticeWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (auto* button = qobject_cast<QPushButton*>(focusWidget());
        button && button->isEnabled() && button->isVisible()) {
        button->click();
        return;
    }
    switch (stage()) {
    case Stage::setup:
        if (setupPage->canStart()) {
            startRound();
        }
        break;
    case Stage::asking:
        questionPage->submitSelected();
        break;
    case Stage::feedback:
        nextQuestion();
        break;
    case Stage::summary:
        if (summaryPage->listHasFocus()) {
            replayMissed(summaryPage->currentMissed());
        }
        break;
    }
}

// Typed recall, 今日の復習 and the guided read: the schedule starts from every answer stored,
// and each new round shows the list or the recall box by the learner's option (an exam always
// shows the list); a new question, the summary or the set-up closes a guided read.
void PracticeWindow::wireStudyModes() {
    guide = new GuidedRead(monitors->calipers(), pages->parentWidget());
    auto* column = qobject_cast<QVBoxLayout*>(pages->parentWidget()->layout());
    column->insertWidget(column->indexOf(pages), guide);
    connect(feedbackPage, &FeedbackPage::guidedReadRequested, this,
            &PracticeWindow::startGuidedRead);
    connect(&LanguageManager::instance(), &LanguageManager::languageChanged, guide,
            &GuidedRead::retranslate);
    connect(pages, &QStackedWidget::currentChanged, guide, [this] {
        if (pages->currentWidget() != questionPage) {
            guide->stop();
        }
    });
    session.today = [] { return static_cast<std::int32_t>(QDate::currentDate().toJulianDay()); };
    readHistory();
    const auto asked = session.onQuestionAsked;
    session.onQuestionAsked = [this, asked](const Question& question) {
        guide->stop();
        if (session.results().empty()) {
            questionPage->setTypedRecall(options().recall && session.mode() != RoundMode::exam);
        }
        asked(question);
    };
    connect(questionPage, &QuestionPage::answerTyped, this, &PracticeWindow::answerTyped);
    connect(setupPage, &SetupPage::reviewRequested, this, &PracticeWindow::startReview);
    connect(setupPage, &SetupPage::dueWanted, this,
            [this] { setupPage->showDue(session.dueToday(SetupPage::reviewLimit)); });
}

void PracticeWindow::readHistory() {
    // Read on a thread of its own, through its own connection: on a large file the window is
    // usable at once and the review count follows. Answers given meanwhile count on top.
    const std::int64_t through = progress.lastAnswerId();
    if (!progress.isSaving() || through <= 0) {
        return;
    }
    historyReader = QThread::create([this, file = progress.path(), through] {
        std::vector<ReviewAnswer> history;
        {
            const ProgressStore reader(ProgressStore::ReadOnly::tag, nativeFromPath(file));
            history = reader.reviewHistory(through);
        }
        QMetaObject::invokeMethod(
            this, [this, history = std::move(history)] { learnHistory(history); },
            Qt::QueuedConnection);
    });
    historyReader->start();
}

void PracticeWindow::learnHistory(const std::vector<ReviewAnswer>& history) {
    historyReader->wait();
    delete historyReader;
    historyReader = nullptr;
    session.learnHistory(history);
    setupPage->showDue(session.dueToday(SetupPage::reviewLimit));
    emit historyLearned();
}

void PracticeWindow::startGuidedRead() {
    const std::optional<Question> shown = session.currentQuestion();
    if (stage() != Stage::feedback || !shown) {
        return;
    }
    setFrozen(true);
    guide->start(shown->rhythm, language);
    guide->retranslate(language);
}

void PracticeWindow::startReview() {
    const int due = session.dueToday(SetupPage::reviewLimit);
    session.startReview(SetupPage::reviewLimit, options().roundJson(due, {}, false, true));
}

void PracticeWindow::answerTyped(const QString& text) {
    const PracticeSession::Typed verdict = session.answerTyped(text.toStdString());
    RecallBox* box = questionPage->recall();
    if (verdict.outcome == PracticeSession::Typed::Outcome::unknown) {
        box->refuse(tr("「%1」に当たる波形名がこのラウンドの候補にありません。").arg(text));
    } else if (verdict.outcome == PracticeSession::Typed::Outcome::ambiguous) {
        QStringList names;
        for (const Rhythm rhythm : verdict.candidates) {
            names << rhythmName(rhythm, language);
        }
        box->refuse(tr("「%1」はどれですか: %2").arg(text, names.join(tr("、"))));
    }
}

} // namespace pulsavo
