#include "PracticeWindow.h"

#include "CaliperOverlay.h"
#include "CatalogueText.h"
#include "ComparePanel.h"
#include "DialogUnits.h"
#include "ExamCode.h"
#include "ExamStrip.h"
#include "FeedbackPage.h"
#include "HandIn.h"
#include "HighlightChoice.h"
#include "LadderPanel.h"
#include "LanguageManager.h"
#include "LearnerPrompt.h"
#include "MeasurementBox.h"
#include "MonitorActions.h"
#include "ProgressWindow.h"
#include "QuestionPage.h"
#include "Resources.h"
#include "ScopePanel.h"
#include "Settings.h"
#include "SummaryPage.h"
#include "TrainerDialog.h"
#include "WindowFit.h"
#include "WorksheetPage.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace pulsavo {

namespace {

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

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
        return QFileDialog::getSaveFileName(this, tr("提出ファイルを保存"), suggested,
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
        const ProgressStore::Written written = progress.takeWritten();
        if (progressView && progressView->isVisible()) {
            progressView->addAnswers(written);
        }
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

    for (Monitor* monitor : {&questionScope, &compareScope}) {
        clock.add(monitor);
        monitor->setHighlight(HighlightChoice::stored());
    }
    questionPanel->attach(questionScope);
    compareArea->scope()->attach(compareScope);
    // Only the question sounds: two tones at once could not be told apart.
    MonitorActions::wireTone(questionScope,
                             [this] { return options().beatTone ? tone.get() : nullptr; });
    questionScope.setMarking(false);
    compareScope.setMarking(true);
    // One tone at every QRS: the rate can be heard even where the trace's slope would not sound.
    questionScope.setToneMode(Monitor::ToneMode::qrs);
    questionScope.setEventHistory(true);
    overlay->setMonitor(&questionScope);
    connect(&LanguageManager::instance(), &LanguageManager::languageChanged, this,
            [this](catalogue::Language chosen) {
                language = chosen;
                retranslate();
            });
    connect(&HighlightChoice::instance(), &HighlightChoice::changed, this,
            [this](Sweep::Highlight style) {
                questionScope.setHighlight(style);
                compareScope.setHighlight(style);
            });
    clock.start();
    showSetup();
}

PracticeWindow::~PracticeWindow() {
    clock.stop();
    questionScope.setSurface(nullptr);
    compareScope.setSurface(nullptr);
}

void PracticeWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    noticeLabel = named(new QLabel(this), "noticeLabel");
    noticeLabel->setWordWrap(true);
    noticeLabel->setFrameShape(QFrame::StyledPanel);
    noticeLabel->setStyleSheet(QStringLiteral("QLabel { background: #fff3c4; padding: 4px; }"));
    layout->addWidget(noticeLabel);

    actions = new MonitorActions(this);
    progressLabel = named(new QLabel(this), "progressLabel");
    progressLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    timeLabel = named(new QLabel(this), "timeLabel");
    timeLabel->hide();
    progressButton = named(new QPushButton(this), "progressButton");
    freezeButton = named(new QPushButton(this), "freezeButton");
    checkButton = named(new QPushButton(this), "checkButton");
    checkButton->setEnabled(false);
    languageButton = named(new QToolButton(this), "languageButton");
    highlightButton = named(new QToolButton(this), "highlightButton");
    languageButton->setMenu(actions->languageMenu());
    highlightButton->setMenu(actions->highlightMenu());
    auto* topRow = new QHBoxLayout;
    topRow->addWidget(progressLabel, 1);
    topRow->addWidget(timeLabel);
    for (QWidget* button : std::initializer_list<QWidget*>{
             freezeButton, checkButton, progressButton, highlightButton, languageButton}) {
        topRow->addWidget(button);
    }
    for (QToolButton* button : {languageButton, highlightButton}) {
        button->setPopupMode(QToolButton::InstantPopup);
    }
    layout->addLayout(topRow);
    // On a short screen (768 px at 200 %) the panels and the page scroll under the top row
    // rather than push the window past the screen's edge; it never grows by itself either.
    auto* scroll = pageScroll = named(new QScrollArea(this), "pageScroll");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget(scroll);
    layout->addWidget(scroll, 1);
    layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    scroll->setWidget(content);

    // As high as the classic panel, so the trace's vertical geometry is the same. The width
    // gives way: at a large scale the window would otherwise push its buttons off the screen.
    const QSize classic =
        TrainerDialog::layoutFor(DialogUnits::forFont(dialogFont(11))).scopePanel.size();
    questionPanel = named(new ScopePanel(content), "questionPanel");
    compareArea = new ComparePanel(content);
    for (ScopePanel* panel : {questionPanel, compareArea->scope()}) {
        panel->setMinimumWidth(classic.width() / 3);
        panel->setFixedHeight(classic.height());
        panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        // A monitor is black where the sweep has not yet passed, not the window's grey.
        QPalette black = panel->palette();
        black.setColor(QPalette::Window, Qt::black);
        panel->setPalette(black);
    }
    overlay = new CaliperOverlay(questionPanel);
    // The ladder gives the answer away: it shows only with the feedback, when asked for.
    ladderPanel = named(new LadderPanel(content), "ladderPanel");
    ladderPanel->setMonitor(&questionScope);
    ladderPanel->setFixedHeight(LadderPanel::preferredHeight);
    ladderPanel->hide();
    connect(&clock, &MonitorClock::advanced, ladderPanel, &LadderPanel::refresh);
    connect(&clock, &MonitorClock::advanced, this, &PracticeWindow::followDeadline);
    layout->addWidget(questionPanel);
    layout->addWidget(ladderPanel);
    layout->addWidget(compareArea);
    compareArea->hide();

    pages = named(new QStackedWidget(content), "pages");
    setupPage = new SetupPage(pages);
    questionPage = new QuestionPage(pages);
    feedbackPage = questionPage->feedback();
    summaryPage = new SummaryPage(pages);
    for (QWidget* page : std::initializer_list<QWidget*>{setupPage, questionPage, summaryPage}) {
        pages->addWidget(page);
    }
    layout->addWidget(pages, 1);
    questionPage->fill(RhythmSet::classic(), language);
    resize(classic.width() + 40, 760);
}

void PracticeWindow::connectPages() {
    connect(actions, &MonitorActions::freezeToggled, this, [this] { setFrozen(!isFrozen()); });
    connect(freezeButton, &QPushButton::clicked, this, [this] { setFrozen(!isFrozen()); });
    connect(checkButton, &QPushButton::clicked, this, &PracticeWindow::checkCalipers);
    connect(progressButton, &QPushButton::clicked, this, &PracticeWindow::showProgress);

    connect(setupPage, &SetupPage::startRequested, this, [this] { startRound(); });
    connect(setupPage, &SetupPage::examRequested, this, &PracticeWindow::startExam);
    connect(setupPage, &SetupPage::optionsChanged, this, [this] {
        if (options().beatTone && !tone) {
            tone = std::make_unique<BeatTone>();
        }
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
        ladderPanel->setVisible(on && stage() == Stage::feedback);
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
    if (comparing) {
        compareArea->showCaption(
            tr("あなたの回答「%1」を同じシードで再生中").arg(nameOf(*comparing)));
    }
    actions->retranslate(isFrozen());
    progressButton->setText(tr("成績(&T)..."));
    freezeButton->setText(isFrozen() ? tr("再開(&F)") : tr("一時停止(&F)"));
    freezeButton->setToolTip(tr("モニターを止めてキャリパーで測ります（Pause または F キー）。"));
    checkButton->setText(tr("答え合わせ(&K)"));
    checkButton->setToolTip(
        tr("止めた波形に本当の波の位置を示し、キャリパーを採点します。回答前はヒント扱いです。"));
    freezeButton->setEnabled(stage() != Stage::setup);
    freezeButton->setAccessibleDescription(freezeButton->toolTip());
    checkButton->setAccessibleDescription(checkButton->toolTip());
    progressButton->setAccessibleDescription(tr("正答率と取り違えの多い組み合わせを表示します。"));
    languageButton->setText(tr("Language / 言語"));
    languageButton->setAccessibleName(tr("Language / 言語"));
    languageButton->setAccessibleDescription(tr("画面の言語を選びます。"));
    highlightButton->setText(tr("強調表示"));
    highlightButton->setToolTip(
        tr("注目する部分の示し方を選びます（色覚に配慮した配色もあります）。"));
    overlay->setAccessibleName(tr("キャリパー"));
    overlay->setAccessibleDescription(
        tr("ドラッグで2本の縦線を置き、間隔をミリ秒と毎分の回数で示します。"));
    describePanels();
    setupPage->retranslate(language);
    questionPage->retranslate(language);

    const Stage currentStage = stage();
    const std::vector<Result>& results = session.results();
    const bool judged = currentStage == Stage::feedback && !results.empty();
    feedbackPage->retranslate(language, judged ? &results.back() : nullptr,
                              session.isLastQuestion());
    const std::optional<MeasurementTask> task = session.measurementTask();
    const std::optional<Measurement>& given =
        judged ? results.back().measurement : std::optional<Measurement>();
    feedbackPage->measurementBox()->retranslate(
        task    ? std::optional(static_cast<calipers::Kind>(task->kind))
        : given ? std::optional(static_cast<calipers::Kind>(given->task.kind))
                : std::nullopt);
    switch (currentStage) {
    case Stage::setup:
        progressLabel->setText(tr("オプションを選んで［開始］を押してください。"));
        break;
    case Stage::asking:
    case Stage::feedback:
        if (session.mode() == RoundMode::exam) {
            progressLabel->setText((session.isHinted() ? tr("試験 %1　問 %2 / %3（ヒント使用）")
                                                       : tr("試験 %1　問 %2 / %3"))
                                       .arg(QString::fromStdString(session.examCode()))
                                       .arg(session.number())
                                       .arg(session.planned()));
        } else {
            progressLabel->setText(
                (session.isHinted() ? tr("問題 %1 / %2（ヒント使用）") : tr("問題 %1 / %2"))
                    .arg(session.number())
                    .arg(session.planned()));
        }
        break;
    case Stage::summary:
        progressLabel->setText(tr("ラウンド終了"));
        summaryPage->retranslate(language, session.summary(), results);
        break;
    }
}

void PracticeWindow::loadSettings() {
    const Settings settings;
    restoreGeometry(settings.practiceGeometry());
    Options saved;
    saved.length = settings.practiceLength(saved.length);
    const std::optional<QString> list = settings.practiceRhythmList();
    saved.rhythms = savedPracticeRhythms(list ? std::optional(list->toStdString()) : std::nullopt,
                                         settings.practiceRhythmMask());
    saved.adaptive = settings.practiceAdaptive(saved.adaptive);
    saved.beatTone = settings.practiceBeatTone(saved.beatTone);
    saved.measure = settings.practiceMeasure(saved.measure);
    saved.worksheet = settings.practiceWorksheet(saved.worksheet);
    // Loading shows what is stored; it writes nothing back.
    loading = true;
    setOptions(saved);
    loading = false;
}

void PracticeWindow::saveSettings() const {
    if (loading) {
        return;
    }
    Settings settings;
    settings.setPracticeGeometry(saveGeometry());
    const Options current = options();
    settings.setPracticeLength(current.length);
    // Releases before the library read their classic choice from the mask.
    settings.setPracticeRhythms(QString::fromStdString(formatRhythmList(current.rhythms)),
                                current.rhythms.classicBits());
    settings.setPracticeAdaptive(current.adaptive);
    settings.setPracticeBeatTone(current.beatTone);
    settings.setPracticeMeasure(current.measure);
    settings.setPracticeWorksheet(current.worksheet);
}

PracticeWindow::Options PracticeWindow::options() const {
    return setupPage->options();
}

void PracticeWindow::setOptions(const Options& options) {
    setupPage->setOptions(options);
}

std::string PracticeWindow::optionsJson(int length, RhythmSet rhythms, bool adaptive) const {
    const Options current = options();
    QJsonObject object;
    object.insert(QStringLiteral("length"), length);
    object.insert(QStringLiteral("rhythms"), QString::fromStdString(formatRhythmList(rhythms)));
    object.insert(QStringLiteral("adaptive"), adaptive);
    object.insert(QStringLiteral("beatTone"), current.beatTone);
    object.insert(QStringLiteral("measure"), current.measure);
    object.insert(QStringLiteral("worksheet"), session.isWorksheetRound());
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

void PracticeWindow::showSetup() {
    session.leave();
    setFrozen(false);
    stopComparing();
    questionScope.restart();
    pages->setCurrentWidget(setupPage);
    retranslate();
    setupPage->focusStart();
}

void PracticeWindow::startRound() {
    const Options chosen = options();
    const int length = std::clamp(chosen.length, 1, DrillOptions::maxLength);
    session.startRound(chosen.length, chosen.rhythms, chosen.adaptive,
                       optionsJson(length, chosen.rhythms, chosen.adaptive));
}

void PracticeWindow::startRound(std::vector<Question> fixed, RoundMode roundMode,
                                const QString& code) {
    const int length = static_cast<int>(fixed.size());
    session.startFixedRound(std::move(fixed), roundMode, code.toStdString(),
                            optionsJson(length, options().rhythms, false));
}

void PracticeWindow::startPairDrill(Rhythm first, Rhythm second) {
    const int length = std::clamp(options().length, 1, DrillOptions::maxLength);
    session.startPairDrill(first, second, options().length,
                           optionsJson(length, RhythmSet::of({first, second}), false));
}

void PracticeWindow::play(Monitor& monitor, Rhythm rhythm, std::uint32_t seed, bool marking) {
    monitor.restart();
    monitor.setMarking(marking);
    monitor.select(rhythm, seed);
}

void PracticeWindow::stopComparing() {
    comparing.reset();
    compareArea->hide();
    compareScope.restart();
}

void PracticeWindow::ask(const Question& question) {
    if (session.results().empty()) {
        // A new round: its answer names, a clean summary and the question page.
        questionPage->fill(answerChoicesFor(session.inPlay()), language);
        updateNotice();
        summaryPage->clear();
        pages->setCurrentWidget(questionPage);
        showExamRules(session.hintsAllowed());
        shownSeconds = -1;
        timeLabel->setVisible(session.timeLeftMs().has_value());
    }
    setFrozen(false);
    stopComparing();
    // A clean panel: the previous question's marked beats would tell what it was, and stay for
    // a whole sweep.
    resetSweeps();
    if (session.mode() == RoundMode::exam) {
        // The same samples as the question's printed strip.
        startExamQuestion(questionScope, question.rhythm, question.seed);
        questionScope.setMarking(false);
    } else {
        play(questionScope, question.rhythm, question.seed, false);
    }
    ladderPanel->hide();
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
    questionScope.setMarking(true);
    questionPage->lock();
    feedbackPage->showResult(result);
    ladderPanel->setVisible(feedbackPage->ladderWanted());
    const std::optional<calipers::Kind> task = measurementTask();
    feedbackPage->measurementBox()->showTask(task);
    if (task) {
        overlay->setKind(*task);
    }
    retranslate();
    feedbackPage->focusNext();
    keepTraceInView();
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
    if (!isFrozen()) {
        box->refuse(tr("先に一時停止 (F) してください。"));
        return false;
    }
    const std::vector<calipers::Caliper>& set = overlay->calipers();
    const auto ofTask = [&task](const calipers::Caliper& caliper) { return caliper.kind == *task; };
    int chosen = overlay->selectedIndex();
    if (chosen < 0 || !ofTask(set[static_cast<std::size_t>(chosen)])) {
        const auto last = std::find_if(set.rbegin(), set.rend(), ofTask);
        chosen = static_cast<int>(set.rend() - last) - 1;
    }
    if (chosen < 0) {
        box->refuse(tr("%1 のキャリパーがありません。波形の上をドラッグして置いてください。")
                        .arg(CaliperOverlay::kindName(*task)));
        return false;
    }
    const std::vector<CaliperOverlay::Result> scored = overlay->check();
    const CaliperOverlay::Result& mine = scored[static_cast<std::size_t>(chosen)];
    if (!mine.score) {
        box->refuse(CaliperOverlay::verdict(mine));
        return false;
    }
    // Kept like an answer: on disk before the verdict shows.
    session.submitMeasurement({mine.score->measuredMs, mine.score->errorMs, mine.score->right});
    updateNotice();
    const Measurement& measurement = *session.results().back().measurement;
    box->showScore(tr("あなたの計測 %1 ms。%2")
                       .arg(measurement.score.measuredMs)
                       .arg(CaliperOverlay::verdict(mine)),
                   measurement.score.right);
    feedbackPage->focusNext();
    return true;
}

void PracticeWindow::showHint() {
    if (!session.takeHint()) {
        return;
    }
    questionScope.setMarking(true);
    questionPage->hintTaken();
    retranslate();
}

void PracticeWindow::saveQuestionStrip() {
    // Before the answer the strip keeps the secret the panel keeps: a trace, no name, no
    // marking, no ladder; it is then no hint.
    const bool open = stage() == Stage::asking;
    saveStrip(questionScope, feedbackPage->ladderWanted() && !open,
              open ? StripShows::traceOnly : StripShows::everything);
}

void PracticeWindow::resetSweeps() {
    for (auto [panel, monitor] : {std::pair{questionPanel, &questionScope},
                                  std::pair{compareArea->scope(), &compareScope}}) {
        panel->prepare();
        monitor->setPanelSize(panel->clientRect().width(), panel->clientRect().height());
    }
}

void PracticeWindow::replayQuestion() {
    const std::optional<Question> current = session.currentQuestion();
    if (stage() != Stage::feedback || !current) {
        return;
    }
    setFrozen(false);
    play(questionScope, current->rhythm, current->seed, true);
    if (comparing) {
        // Both from their start again, so they stay side by side.
        resetSweeps();
        play(compareScope, *comparing, current->seed, true);
    }
}

void PracticeWindow::compareWithAnswer() {
    const std::vector<Result>& results = session.results();
    if (stage() != Stage::feedback || results.empty() || results.back().correct()) {
        return;
    }
    setFrozen(false);
    const Result& result = results.back();
    comparing = result.answer;
    compareArea->show();
    compareArea->parentWidget()->layout()->activate();
    resetSweeps();
    play(questionScope, result.question.rhythm, result.question.seed, true);
    play(compareScope, result.answer, result.question.seed, true);
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
    timeLabel->hide();
    stopComparing();
    summaryPage->showRound(summary);
    summaryPage->offerHandIn(session.mode() == RoundMode::exam && !session.examCode().empty());
    pages->setCurrentWidget(summaryPage);
    retranslate();
}

void PracticeWindow::saveHandIn() {
    const QString code = QString::fromStdString(session.examCode());
    const QString learner = QString::fromStdString(session.learnerName());
    // Answers waiting for a busy file would be missing from it.
    const int waiting = progress.flush() ? 0 : progress.waitingCount();
    if (waiting > 0) {
        summaryPage->showHandInResult(
            tr("%1 件の回答がまだ成績ファイルに保存されていないため、提出ファイルを作れません。"
               "しばらくしてからもう一度押してください。")
                .arg(waiting));
        return;
    }
    QString name = code;
    if (!learner.isEmpty()) {
        name += QLatin1Char('-') + learner;
    }
    // A name typed by the learner must not make a path or a name the file system refuses.
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]")),
                 QStringLiteral("_"));
    const QString suggested =
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(name + QStringLiteral(".csv"));
    const QString file = chooseHandInFile(suggested);
    if (file.isEmpty()) {
        return;
    }
    summaryPage->showHandInResult(
        HandIn::save(progress, code, file)
            ? tr("提出ファイルを %1 に保存しました。講師に渡してください。")
                  .arg(QDir::toNativeSeparators(file))
            : tr("提出ファイルを %1 に保存できませんでした。").arg(QDir::toNativeSeparators(file)));
}

void PracticeWindow::replayMissed(int row) {
    const std::optional<Question> missed = session.missedQuestion(row);
    if (!missed || summaryPage->resultIndex(row) < 0) {
        return;
    }
    setFrozen(false);
    play(questionScope, missed->rhythm, missed->seed, true);
    summaryPage->showReplaying(summaryPage->resultIndex(row), nameOf(missed->rhythm));
}

bool PracticeWindow::startExam(const QString& code) {
    const ExamResult parsed = parseExamCode(code.toStdString());
    if (!parsed.ok()) {
        QString message;
        switch (parsed.error) {
        case ExamCodeError::empty:
            message = tr("試験コードを入力してください。");
            break;
        case ExamCodeError::badCharacter:
            message = tr("試験コードに使えない文字があります。");
            break;
        case ExamCodeError::wrongLength:
            message = tr("試験コードの長さが違います。");
            break;
        case ExamCodeError::unknownVersion:
            message = tr("この試験コードは新しい版の Pulsavo で作られています。");
            break;
        default:
            message = tr("試験コードが正しくありません。入力を確かめてください。");
            break;
        }
        setupPage->showExamError(message);
        return false;
    }
    const QString canonical = QString::fromStdString(parsed.exam.code);
    setupPage->showExamCode(canonical);
    // An exam with the instructor's settings is sat by someone the gradebook can name; a plain
    // code replays as it always has.
    std::string learner;
    if (!parsed.exam.settings.isDefault()) {
        const std::optional<QString> name = LearnerPrompt::ask(this);
        if (!name) {
            return false;
        }
        learner = name->toStdString();
    }
    session.startExam(parsed.exam, learner,
                      optionsJson(parsed.exam.count, options().rhythms, false));
    return true;
}

ProgressWindow* PracticeWindow::progressWindow() const {
    return progressView.data();
}

void PracticeWindow::showProgress() {
    progress.takeWritten(); // what the window reads now holds them
    if (!progressView) {
        progressView = new ProgressWindow(progress.path(), this);
        progressView->setAttribute(Qt::WA_DeleteOnClose);
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
    questionScope.setPaused(on);
    // The compared rhythm stops with the question, so the two stay in step.
    compareScope.setPaused(on);
    overlay->followFreeze(on);
    checkButton->setEnabled(on);
    freezeButton->setText(on ? tr("再開(&F)") : tr("一時停止(&F)"));
    actions->showFrozen(on);
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
    overlay->check();
}

void PracticeWindow::showExamRules(bool open) {
    questionPage->setHintAllowed(open);
    feedbackPage->setStudyAllowed(open);
    checkButton->setVisible(open);
    if (!open) {
        ladderPanel->hide();
    }
}

void PracticeWindow::wireWorksheet() {
    worksheetPage = new WorksheetPage(pages);
    pages->addWidget(worksheetPage);
    session.setWorksheetOption(options().worksheet);
    connect(setupPage, &SetupPage::optionsChanged, this,
            [this] { session.setWorksheetOption(options().worksheet); });
    // Handing the worksheet in freezes the strip where it stands: the truth, the feedback and its
    // calipers then all speak of the strip the learner read.
    session.worksheetTruthFor = [this](const Question& question) -> std::optional<WorksheetTruth> {
        setFrozen(true);
        const auto [first, last] = overlay->visibleTicks();
        if (last <= first) {
            return std::nullopt;
        }
        const std::vector<WaveEvent> events = questionScope.events();
        return WorksheetPage::truthOf(measureStrip(events, first, last), question.rhythm);
    };
    session.onQuestionAsked = [this, asked = session.onQuestionAsked](const Question& question) {
        asked(question);
        if (session.isWorksheetRound()) {
            worksheetPage->fill(answerChoicesFor(session.inPlay()), language);
            worksheetPage->setHintAllowed(session.hintsAllowed());
            worksheetPage->ask();
            pages->setCurrentWidget(worksheetPage);
        }
    };
    session.onAnswerJudged = [this, judged = session.onAnswerJudged](const Result& result) {
        judged(result);
        if (result.worksheet && !session.verdictDeferred()) {
            overlay->clear();
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
            overlay->clear();
            worksheetPage->showCaliperNote(tr("この項目は波形の形から読み取ります。"));
        } else if (overlay->showTruth(*kind)) {
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
    if (!left || !session.roundInProgress()) {
        return;
    }
    // Rounded up: 00:00 shows only once the time is over.
    const qint64 seconds = (*left + 999) / 1000;
    if (seconds != shownSeconds) {
        shownSeconds = seconds;
        timeLabel->setText(tr("残り %1:%2")
                               .arg(seconds / 60, 2, 10, QLatin1Char('0'))
                               .arg(seconds % 60, 2, 10, QLatin1Char('0')));
    }
}

void PracticeWindow::describePanels() {
    // Only the question's number: a screen reader must not say the answer.
    const int number = session.number();
    questionPanel->setDescription(stage() == Stage::setup || number == 0
                                      ? tr("モニター")
                                      : tr("モニター: 問題 %1").arg(number));
    compareArea->scope()->setDescription(
        comparing ? tr("比較用モニター: %1").arg(nameOf(*comparing)) : QString());
}

void PracticeWindow::updateNotice() {
    const QString notice = progress.notice();
    noticeLabel->setText(notice);
    noticeLabel->setVisible(!notice.isEmpty());
}

QString PracticeWindow::nameOf(Rhythm rhythm) const {
    return rhythmName(rhythm, language);
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

} // namespace pulsavo
