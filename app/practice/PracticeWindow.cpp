#include "PracticeWindow.h"
#include "LadderPanel.h"
#include "StripSaving.h"

#include "CaliperOverlay.h"
#include "Catalogue.h"
#include "DialogUnits.h"
#include "ExamCode.h"
#include "ExamStrip.h"
#include "LanguageManager.h"
#include "ProgressWindow.h"
#include "Resources.h"
#include "ScopePanel.h"
#include "Settings.h"
#include "TrainerDialog.h"
#include "WindowFit.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <tuple>
#include <utility>

namespace pulsavo {

namespace {

constexpr int rhythmRole = Qt::UserRole;
constexpr int resultRole = Qt::UserRole + 1;

QString fromCatalogue(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The catalogue's section headings are whole lines in angle brackets, full-width or ASCII.
bool isHeading(const QString& line) {
    const QString trimmed = line.trimmed();
    return trimmed.size() > 2 &&
           (trimmed.front() == QChar(0xFF1C) || trimmed.front() == QLatin1Char('<')) &&
           (trimmed.back() == QChar(0xFF1E) || trimmed.back() == QLatin1Char('>'));
}

// The set-up's groups by their place in rhythmGroups(): the library's families, then the
// classic 18.
QString groupName(std::size_t place) {
    if (place >= static_cast<std::size_t>(libraryFamilyCount)) {
        return PracticeWindow::tr("従来の 18 波形");
    }
    switch (static_cast<LibraryFamily>(place)) {
    case LibraryFamily::sinus:
        return PracticeWindow::tr("洞性");
    case LibraryFamily::atrial:
        return PracticeWindow::tr("心房性");
    case LibraryFamily::junctional:
        return PracticeWindow::tr("房室接合部性");
    case LibraryFamily::avBlock:
        return PracticeWindow::tr("房室ブロック");
    case LibraryFamily::ventricularEctopy:
        return PracticeWindow::tr("心室期外収縮");
    case LibraryFamily::ventricular:
        return PracticeWindow::tr("心室性");
    case LibraryFamily::paced:
        return PracticeWindow::tr("ペースメーカー");
    case LibraryFamily::conduction:
        return PracticeWindow::tr("伝導障害");
    }
    return {};
}

Rhythm rhythmOfItem(const QVariant& data) {
    return anyRhythmAt(data.toInt()).value_or(Rhythm::sinusRhythm);
}

QPlainTextEdit* makeTextBox(const char* name, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return box;
}

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

QString pointsSection(Rhythm rhythm, catalogue::Language language) {
    const QStringList lines =
        fromCatalogue(catalogue::textOf(rhythm, language)).split(QLatin1Char('\n'));
    QStringList body;
    bool inside = false;
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        if (isHeading(line)) {
            if (inside) {
                break;
            }
            inside = true;
        } else if (inside) {
            body << line;
        }
    }
    while (!body.isEmpty() && body.constFirst().trimmed().isEmpty()) {
        body.removeFirst();
    }
    while (!body.isEmpty() && body.constLast().trimmed().isEmpty()) {
        body.removeLast();
    }
    return body.join(QLatin1Char('\n'));
}

PracticeWindow::PracticeWindow(const QString& dbPath, std::unique_ptr<ToneSink> toneSink,
                               QWidget* parent)
    : QWidget(parent, Qt::Window),
      seedSource([] { return QRandomGenerator::system()->generate64(); }),
      answerClock([this] { return steadyClock.elapsed(); }), progress(dbPath),
      tone(std::move(toneSink)), language(LanguageManager::instance().language()) {
    initResources();
    steadyClock.start();
    confirmLeaving = [this] {
        return QMessageBox::question(
                   this, windowTitle(),
                   tr("ラウンドの途中です。終了しますか？ここまでの回答は保存されています。"),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    };
    saveStrip = [this](const Monitor& monitor, bool ladder) {
        askAndSaveMonitorStrip(this, monitor, ladder);
    };
    session.clockMs = [this] { return static_cast<std::int64_t>(answerClock()); };
    session.seedSource = [this] { return seedSource(); };
    session.taskFor = [this](const Question& question) -> std::optional<MeasurementTask> {
        if (!measureCheck->isChecked()) {
            return std::nullopt;
        }
        const std::optional<calipers::Kind> kind =
            calipers::taskFor(question.rhythm, question.seed);
        if (!kind) {
            return std::nullopt;
        }
        return MeasurementTask{static_cast<int>(*kind), calipers::storedName(*kind)};
    };
    session.onQuestionAsked = [this](const Question& question) { ask(question); };
    session.onAnswerJudged = [this](const Result& result) {
        updateNotice();
        // The open progress window counts the answer in without reading the whole file.
        const ProgressStore::Written written = progress.takeWritten();
        if (progressView && progressView->isVisible()) {
            progressView->addAnswers(written);
        }
        showFeedback(result);
    };
    session.onRoundFinished = [this](const PracticeSession::Summary& summary) {
        showSummary(summary);
    };
    setObjectName(QStringLiteral("practiceWindow"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/pulsavo.svg")));
    buildControls();
    checkButton->setEnabled(false);
    loadSettings();
    fitToScreen(this);
    retranslate();
    updateNotice();

    for (Monitor* monitor : {&questionScope, &compareScope}) {
        clock.add(monitor);
    }
    questionPanel->attach(questionScope);
    comparePanel->attach(compareScope);
    // Only the question sounds: two tones at once could not be told apart.
    questionScope.onTone = [this] {
        if (tone && toneCheck->isChecked()) {
            tone->sound();
        }
    };
    questionScope.onSilence = [this] {
        if (tone) {
            tone->silence();
        }
    };
    // The beep seen ahead, so that the tone is timed to its peak and rests between questions.
    questionScope.onUpcoming = [this](int ticks) {
        if (tone && toneCheck->isChecked()) {
            tone->upcoming(ticks == Monitor::noToneDue ? ToneSink::nothingDue : ticks);
        }
    };
    questionScope.setMarking(false);
    compareScope.setMarking(true);
    // One tone at every QRS: the rate can be heard even where the trace's slope would not sound.
    questionScope.setToneMode(Monitor::ToneMode::qrs);
    questionScope.setEventHistory(true);
    overlay->setMonitor(&questionScope);
    connect(&LanguageManager::instance(), &LanguageManager::languageChanged, this,
            &PracticeWindow::followLanguage);
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

    progressLabel = named(new QLabel(this), "progressLabel");
    progressButton = named(new QPushButton(this), "progressButton");
    freezeButton = named(new QPushButton(this), "freezeButton");
    checkButton = named(new QPushButton(this), "checkButton");
    languageButton = named(new QToolButton(this), "languageButton");
    languageButton->setPopupMode(QToolButton::InstantPopup);
    auto* languageMenu = named(new QMenu(languageButton), "languageMenu");
    auto* languageGroup = new QActionGroup(languageMenu);
    for (const auto& [chosen, name] : {std::pair{catalogue::Language::japanese, "japaneseAction"},
                                       std::pair{catalogue::Language::english, "englishAction"}}) {
        QAction* item = languageMenu->addAction(QString());
        item->setObjectName(QLatin1String(name));
        item->setCheckable(true);
        item->setData(static_cast<int>(chosen));
        languageGroup->addAction(item);
        connect(item, &QAction::triggered, this,
                [chosen = chosen] { LanguageManager::instance().choose(chosen); });
    }
    languageButton->setMenu(languageMenu);
    auto* topRow = new QHBoxLayout;
    topRow->addWidget(progressLabel, 1);
    topRow->addWidget(freezeButton);
    topRow->addWidget(checkButton);
    topRow->addWidget(progressButton);
    topRow->addWidget(languageButton);
    layout->addLayout(topRow);
    // Not Space, which presses the focused button; F also works on keyboards without Pause.
    auto* freezeKey = new QAction(this);
    freezeKey->setObjectName(QStringLiteral("freezeAction"));
    freezeKey->setShortcuts({QKeySequence(Qt::Key_Pause), QKeySequence(Qt::Key_F)});
    freezeKey->setShortcutContext(Qt::WindowShortcut);
    addAction(freezeKey);
    connect(freezeKey, &QAction::triggered, this, [this] { setFrozen(!isFrozen()); });
    connect(freezeButton, &QPushButton::clicked, this, [this] { setFrozen(!isFrozen()); });
    connect(checkButton, &QPushButton::clicked, this, &PracticeWindow::checkCalipers);
    connect(progressButton, &QPushButton::clicked, this, &PracticeWindow::showProgress);

    // As high as the classic panel, so the trace's vertical geometry is the same; any width.
    const QSize classic =
        TrainerDialog::layoutFor(DialogUnits::forFont(dialogFont(11))).scopePanel.size();
    questionPanel = named(new ScopePanel(this), "questionPanel");
    comparePanel = named(new ScopePanel(this), "comparePanel");
    for (ScopePanel* panel : {questionPanel, comparePanel}) {
        panel->setMinimumWidth(classic.width());
        panel->setFixedHeight(classic.height());
        panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        panel->installEventFilter(this);
        // A monitor is black where the sweep has not yet passed, not the window's grey.
        QPalette black = panel->palette();
        black.setColor(QPalette::Window, Qt::black);
        panel->setPalette(black);
    }
    overlay = named(new CaliperOverlay(questionPanel), "caliperOverlay");
    overlay->hide();
    compareLabel = named(new QLabel(this), "compareLabel");
    compareLabel->setWordWrap(true);
    // The ladder gives the answer away: it shows only with the feedback, when asked for.
    ladderPanel = named(new LadderPanel(this), "ladderPanel");
    ladderPanel->setMonitor(&questionScope);
    ladderPanel->setFixedHeight(LadderPanel::preferredHeight);
    ladderPanel->hide();
    connect(&clock, &MonitorClock::advanced, ladderPanel, &LadderPanel::refresh);
    layout->addWidget(questionPanel);
    layout->addWidget(ladderPanel);
    layout->addWidget(compareLabel);
    layout->addWidget(comparePanel);
    comparePanel->hide();
    compareLabel->hide();

    pages = named(new QStackedWidget(this), "pages");
    layout->addWidget(pages, 1);

    // The options of a round.
    setupPage = named(new QWidget(pages), "setupPage");
    auto* setup = new QVBoxLayout(setupPage);
    auto* lengthRow = new QHBoxLayout;
    lengthLabel = named(new QLabel(setupPage), "lengthLabel");
    lengthCombo = named(new QComboBox(setupPage), "lengthCombo");
    for (const int length : roundLengths) {
        lengthCombo->addItem(QString::number(length), length);
    }
    lengthLabel->setBuddy(lengthCombo);
    lengthRow->addWidget(lengthLabel);
    lengthRow->addWidget(lengthCombo);
    lengthRow->addStretch();
    setup->addLayout(lengthRow);
    rhythmsLabel = named(new QLabel(setupPage), "rhythmsLabel");
    rhythmTree = named(new QTreeWidget(setupPage), "rhythmTree");
    rhythmTree->setHeaderHidden(true);
    rhythmsLabel->setBuddy(rhythmTree);
    setup->addWidget(rhythmsLabel);
    setup->addWidget(rhythmTree, 1);
    allRhythmsButton = named(new QPushButton(setupPage), "allRhythmsButton");
    adaptiveCheck = named(new QCheckBox(setupPage), "adaptiveCheck");
    toneCheck = named(new QCheckBox(setupPage), "toneCheck");
    measureCheck = named(new QCheckBox(setupPage), "measureCheck");
    noRhythmLabel = named(new QLabel(setupPage), "noRhythmLabel");
    startButton = named(new QPushButton(setupPage), "startButton");
    auto* optionRow = new QHBoxLayout;
    optionRow->addWidget(allRhythmsButton);
    optionRow->addWidget(adaptiveCheck);
    optionRow->addWidget(toneCheck);
    optionRow->addWidget(measureCheck);
    optionRow->addStretch();
    setup->addLayout(optionRow);
    setup->addWidget(noRhythmLabel);
    setup->addWidget(startButton);
    // An instructor's exam: the code read out or typed, its questions in its order.
    examLabel = named(new QLabel(setupPage), "examLabel");
    examEdit = named(new QLineEdit(setupPage), "examEdit");
    examEdit->setPlaceholderText(QStringLiteral("PX-XXXX-XXXX"));
    examLabel->setBuddy(examEdit);
    examEdit->installEventFilter(this);
    examButton = named(new QPushButton(setupPage), "examButton");
    examErrorLabel = named(new QLabel(setupPage), "examErrorLabel");
    examErrorLabel->setStyleSheet(QStringLiteral("color: #b00000;"));
    examErrorLabel->hide();
    auto* examRow = new QHBoxLayout;
    examRow->addWidget(examLabel);
    examRow->addWidget(examEdit, 1);
    examRow->addWidget(examButton);
    setup->addLayout(examRow);
    setup->addWidget(examErrorLabel);
    pages->addWidget(setupPage);

    // A question and its feedback.
    questionPage = named(new QWidget(pages), "questionPage");
    auto* question = new QHBoxLayout(questionPage);
    auto* answering = new QVBoxLayout;
    answerLabel = named(new QLabel(questionPage), "answerLabel");
    answerList = named(new QListWidget(questionPage), "answerList");
    answerList->setSelectionMode(QAbstractItemView::SingleSelection);
    answerLabel->setBuddy(answerList);
    answerList->installEventFilter(this);
    hintButton = named(new QPushButton(questionPage), "hintButton");
    answerButton = named(new QPushButton(questionPage), "answerButton");
    auto* answerRow = new QHBoxLayout;
    answerRow->addWidget(hintButton);
    answerRow->addWidget(answerButton);
    answering->addWidget(answerLabel);
    answering->addWidget(answerList, 1);
    answering->addLayout(answerRow);
    question->addLayout(answering, 2);

    feedbackArea = named(new QWidget(questionPage), "feedbackArea");
    auto* feedback = new QVBoxLayout(feedbackArea);
    feedback->setContentsMargins(0, 0, 0, 0);
    bannerLabel = named(new QLabel(feedbackArea), "bannerLabel");
    QFont bannerFont = bannerLabel->font();
    bannerFont.setPointSizeF(bannerFont.pointSizeF() * 1.6);
    bannerFont.setBold(true);
    bannerLabel->setFont(bannerFont);
    correctLabel = named(new QLabel(feedbackArea), "correctLabel");
    chosenLabel = named(new QLabel(feedbackArea), "chosenLabel");
    // Long rhythm names wrap rather than widen the window at every wrong answer.
    for (QLabel* label : {bannerLabel, correctLabel, chosenLabel}) {
        label->setWordWrap(true);
    }
    explanationEdit = makeTextBox("explanationEdit", feedbackArea);
    pointsBox = named(new QGroupBox(feedbackArea), "pointsBox");
    auto* points = new QHBoxLayout(pointsBox);
    for (auto [title, box, titleName, boxName] :
         {std::tuple{&correctPointsTitle, &correctPoints, "correctPointsTitle", "correctPoints"},
          std::tuple{&chosenPointsTitle, &chosenPoints, "chosenPointsTitle", "chosenPoints"}}) {
        auto* column = new QVBoxLayout;
        *title = named(new QLabel(pointsBox), titleName);
        (*title)->setWordWrap(true);
        *box = makeTextBox(boxName, pointsBox);
        column->addWidget(*title);
        column->addWidget(*box);
        points->addLayout(column);
    }
    compareButton = named(new QPushButton(feedbackArea), "compareButton");
    // It names the learner's answer: however long, the button takes the room there is.
    compareButton->setMinimumWidth(compareButton->fontMetrics().averageCharWidth() * 16);
    replayButton = named(new QPushButton(feedbackArea), "replayButton");
    nextButton = named(new QPushButton(feedbackArea), "nextButton");
    ladderButton = named(new QPushButton(feedbackArea), "ladderButton");
    ladderButton->setCheckable(true);
    ladderButton->setChecked(Settings().practiceLadder());
    saveStripButton = named(new QPushButton(feedbackArea), "saveStripButton");
    auto* feedbackRow = new QHBoxLayout;
    feedbackRow->addWidget(compareButton);
    feedbackRow->addWidget(ladderButton);
    feedbackRow->addWidget(saveStripButton);
    feedbackRow->addStretch();
    feedbackRow->addWidget(replayButton);
    feedbackRow->addWidget(nextButton);
    feedback->addWidget(bannerLabel);
    feedback->addWidget(correctLabel);
    feedback->addWidget(chosenLabel);
    feedback->addWidget(explanationEdit, 1);
    feedback->addWidget(pointsBox, 1);
    // A measurement asked after the answer, so that the true waves it shows give nothing away.
    measureBox = named(new QGroupBox(feedbackArea), "measureBox");
    auto* measuring = new QVBoxLayout(measureBox);
    measureTaskLabel = named(new QLabel(measureBox), "measureTaskLabel");
    measureTaskLabel->setWordWrap(true);
    measureButton = named(new QPushButton(measureBox), "measureButton");
    measureResultLabel = named(new QLabel(measureBox), "measureResultLabel");
    measureResultLabel->setWordWrap(true);
    auto* measureRow = new QHBoxLayout;
    measureRow->addWidget(measureButton);
    measureRow->addWidget(measureResultLabel, 1);
    measuring->addWidget(measureTaskLabel);
    measuring->addLayout(measureRow);
    measureBox->hide();
    feedback->addWidget(measureBox);
    feedback->addLayout(feedbackRow);
    question->addWidget(feedbackArea, 3);
    pages->addWidget(questionPage);

    // The end of a round.
    summaryPage = named(new QWidget(pages), "summaryPage");
    auto* summary = new QVBoxLayout(summaryPage);
    summaryLabel = named(new QLabel(summaryPage), "summaryLabel");
    summaryLabel->setTextFormat(Qt::PlainText);
    missedLabel = named(new QLabel(summaryPage), "missedLabel");
    missedList = named(new QListWidget(summaryPage), "missedList");
    missedLabel->setBuddy(missedList);
    replayMissedButton = named(new QPushButton(summaryPage), "replayMissedButton");
    newRoundButton = named(new QPushButton(summaryPage), "newRoundButton");
    replayingLabel = named(new QLabel(summaryPage), "replayingLabel");
    replayingLabel->setWordWrap(true);
    auto* summaryRow = new QHBoxLayout;
    summaryRow->addWidget(replayMissedButton);
    summaryRow->addStretch();
    summaryRow->addWidget(newRoundButton);
    summary->addWidget(summaryLabel);
    summary->addWidget(missedLabel);
    summary->addWidget(missedList, 1);
    summary->addWidget(replayingLabel);
    summary->addLayout(summaryRow);
    pages->addWidget(summaryPage);

    fillAnswerList(RhythmSet::classic());
    fillRhythmTree();

    connect(startButton, &QPushButton::clicked, this, [this] { startRound(); });
    connect(examButton, &QPushButton::clicked, this, [this] { startExam(examEdit->text()); });
    connect(examEdit, &QLineEdit::textEdited, this, [this] { examErrorLabel->hide(); });
    connect(allRhythmsButton, &QPushButton::clicked, this, [this] {
        Options all = options();
        all.rhythms = RhythmSet::every();
        setOptions(all);
    });
    connect(rhythmTree, &QTreeWidget::itemChanged, this, [this] {
        updateStartButton();
        saveSettings();
    });
    connect(lengthCombo, &QComboBox::currentIndexChanged, this, [this] { saveSettings(); });
    connect(adaptiveCheck, &QCheckBox::toggled, this, [this] { saveSettings(); });
    connect(measureCheck, &QCheckBox::toggled, this, [this] { saveSettings(); });
    connect(measureButton, &QPushButton::clicked, this, [this] { submitMeasurement(); });
    connect(toneCheck, &QCheckBox::toggled, this, [this](bool on) {
        if (on && !tone) {
            tone = std::make_unique<BeatTone>();
        }
        saveSettings();
    });
    connect(answerList, &QListWidget::itemDoubleClicked, this, [this] { submitSelected(); });
    connect(answerList, &QListWidget::itemSelectionChanged, this, [this] {
        answerButton->setEnabled(stage() == Stage::asking &&
                                 !answerList->selectedItems().isEmpty());
    });
    connect(answerButton, &QPushButton::clicked, this, [this] { submitSelected(); });
    connect(hintButton, &QPushButton::clicked, this, &PracticeWindow::showHint);
    connect(compareButton, &QPushButton::clicked, this, &PracticeWindow::compareWithAnswer);
    connect(replayButton, &QPushButton::clicked, this, &PracticeWindow::replayQuestion);
    connect(ladderButton, &QPushButton::toggled, this, [this](bool on) {
        Settings().setPracticeLadder(on);
        ladderPanel->setVisible(on && stage() == Stage::feedback);
    });
    connect(saveStripButton, &QPushButton::clicked, this, [this] {
        // A strip saved before the answer shows the name, the marking and the ladder: it is a
        // hint, counted as one.
        if (stage() == Stage::asking) {
            showHint();
        }
        saveStrip(questionScope, ladderButton->isChecked());
    });
    connect(nextButton, &QPushButton::clicked, this, &PracticeWindow::nextQuestion);
    connect(missedList, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { replayMissed(missedList->row(item)); });
    connect(replayMissedButton, &QPushButton::clicked, this,
            [this] { replayMissed(missedList->currentRow()); });
    connect(missedList, &QListWidget::currentRowChanged, this,
            [this](int row) { replayMissedButton->setEnabled(row >= 0); });
    connect(newRoundButton, &QPushButton::clicked, this, &PracticeWindow::showSetup);

    resize(classic.width() + 40, 760);
}

void PracticeWindow::fillRhythmTree() {
    const QSignalBlocker blocker(rhythmTree);
    rhythmTree->clear();
    const std::vector<RhythmGroup> groups = rhythmGroups();
    for (std::size_t place = 0; place < groups.size(); ++place) {
        auto* group = new QTreeWidgetItem(rhythmTree);
        group->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
        group->setData(0, rhythmRole, -1 - static_cast<int>(place));
        for (const Rhythm rhythm : groups[place].rhythms.list()) {
            auto* item = new QTreeWidgetItem(group);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
            item->setData(0, rhythmRole, indexOf(rhythm));
            item->setCheckState(0, Qt::Checked);
        }
    }
}

// The names a round answers from, in rhythm order.
void PracticeWindow::fillAnswerList(RhythmSet choices) {
    answerList->clear();
    for (const Rhythm rhythm : choices.list()) {
        auto* item = new QListWidgetItem(answerList);
        item->setData(rhythmRole, indexOf(rhythm));
        item->setText(nameOf(rhythm));
    }
}

void PracticeWindow::retranslate() {
    setWindowTitle(tr("練習モード - Pulsavo"));
    compareLabel->setText(comparing
                              ? tr("あなたの回答「%1」を同じシードで再生中").arg(nameOf(*comparing))
                              : QString());
    lengthLabel->setText(tr("問題数(&Q):"));
    rhythmsLabel->setText(tr("出題する波形(&W):"));
    allRhythmsButton->setText(tr("すべて選択(&L)"));
    adaptiveCheck->setText(tr("苦手な波形を多く出題(&D)"));
    toneCheck->setText(tr("心拍音(&B)"));
    measureCheck->setText(tr("計測課題も出す(&M)"));
    measureCheck->setToolTip(
        tr("回答のあと、止めた波形でキャリパーを使って間隔を測る課題を出します。"));
    noRhythmLabel->setText(tr("出題する波形を1つ以上選んでください。"));
    startButton->setText(tr("開始(&S)"));
    examLabel->setText(tr("試験コード(&E):"));
    examButton->setText(tr("試験を開始(&X)"));
    progressButton->setText(tr("成績(&T)..."));
    freezeButton->setText(isFrozen() ? tr("再開(&F)") : tr("一時停止(&F)"));
    checkButton->setText(tr("答え合わせ(&K)"));
    languageButton->setText(tr("Language / 言語"));
    for (QAction* item : languageButton->menu()->actions()) {
        const auto shown = static_cast<catalogue::Language>(item->data().toInt());
        //: The language's own name, the same in every language.
        item->setText(shown == catalogue::Language::japanese ? tr("日本語") : tr("English"));
        item->setChecked(shown == language);
    }
    freezeButton->setEnabled(stage() != Stage::setup);
    freezeButton->setAccessibleDescription(
        tr("モニターを止めてキャリパーで測ります（Pause または F キー）。"));
    checkButton->setAccessibleDescription(
        tr("止めた波形に本当の波の位置を示し、キャリパーを採点します。回答前はヒント扱いです。"));
    progressButton->setAccessibleDescription(tr("正答率と取り違えの多い組み合わせを表示します。"));
    languageButton->setAccessibleName(tr("Language / 言語"));
    languageButton->setAccessibleDescription(tr("画面の言語を選びます。"));
    examEdit->setAccessibleName(tr("試験コード"));
    examEdit->setAccessibleDescription(tr("講師から受け取った試験コード（例: PX-8AK9-P73D）"));
    overlay->setAccessibleName(tr("キャリパー"));
    overlay->setAccessibleDescription(
        tr("ドラッグで2本の縦線を置き、間隔をミリ秒と毎分の回数で示します。"));
    describePanels();
    answerLabel->setText(tr("波形名(&L):"));
    hintButton->setText(tr("ヒント(&H)"));
    answerButton->setText(tr("回答(&A)"));
    pointsBox->setTitle(tr("見分けるポイント"));
    replayButton->setText(tr("もう一度(&R)"));
    ladderButton->setText(tr("ラダー図(&D)"));
    saveStripButton->setText(tr("記録紙を保存(&W)..."));
    missedLabel->setText(tr("間違えた問題(&M)（ダブルクリックで再生）:"));
    replayMissedButton->setText(tr("再生(&P)"));
    newRoundButton->setText(tr("新しいラウンド(&N)"));
    measureBox->setTitle(tr("計測課題"));
    measureTaskLabel->setText(taskText());
    measureButton->setText(tr("計測を答える(&U)"));

    for (int row = 0; row < answerList->count(); ++row) {
        QListWidgetItem* item = answerList->item(row);
        item->setText(nameOf(rhythmOfItem(item->data(rhythmRole))));
    }
    for (int top = 0; top < rhythmTree->topLevelItemCount(); ++top) {
        QTreeWidgetItem* group = rhythmTree->topLevelItem(top);
        const QSignalBlocker blocker(rhythmTree);
        group->setText(0, groupName(static_cast<std::size_t>(top)));
        for (int child = 0; child < group->childCount(); ++child) {
            QTreeWidgetItem* item = group->child(child);
            item->setText(0, nameOf(rhythmOfItem(item->data(0, rhythmRole))));
        }
    }

    // The texts that depend on where the round is.
    const int total = session.planned();
    const int number = session.number();
    const std::vector<Result>& answers = session.results();
    const bool hinted = session.isHinted();
    const Stage currentStage = stage();
    switch (currentStage) {
    case Stage::setup:
        progressLabel->setText(tr("オプションを選んで［開始］を押してください。"));
        break;
    case Stage::asking:
    case Stage::feedback:
        progressLabel->setText((hinted ? tr("問題 %1 / %2（ヒント使用）") : tr("問題 %1 / %2"))
                                   .arg(number)
                                   .arg(total));
        break;
    case Stage::summary:
        progressLabel->setText(tr("ラウンド終了"));
        break;
    }
    const bool last = session.isLastQuestion();
    nextButton->setText(last ? tr("結果を見る(&N)") : tr("次の問題(&N)"));
    if (currentStage == Stage::feedback && !answers.empty()) {
        const Result& result = answers.back();
        bannerLabel->setText(result.correct() ? tr("○ 正解") : tr("× 不正解"));
        correctLabel->setText(tr("正解: %1").arg(nameOf(result.question.rhythm)));
        chosenLabel->setText(tr("あなたの回答: %1").arg(nameOf(result.answer)));
        explanationEdit->setPlainText(
            fromCatalogue(catalogue::textOf(result.question.rhythm, language)));
        correctPointsTitle->setText(tr("正解: %1").arg(nameOf(result.question.rhythm)));
        correctPoints->setPlainText(pointsSection(result.question.rhythm, language));
        chosenPointsTitle->setText(tr("あなたの回答: %1").arg(nameOf(result.answer)));
        chosenPoints->setPlainText(pointsSection(result.answer, language));
        compareButton->setText(tr("「%1」を下に再生して比べる(&C)").arg(nameOf(result.answer)));
        compareButton->setToolTip(nameOf(result.answer));
    } else if (currentStage == Stage::asking) {
        bannerLabel->setText(tr("波形名を選んで［回答］を押してください。"));
        correctLabel->clear();
        chosenLabel->clear();
        explanationEdit->clear();
        compareButton->setText(tr("比べる(&C)"));
    }
    if (currentStage == Stage::summary) {
        const PracticeSession::Summary sum = session.summary();
        QString summary =
            tr("得点: %1 / %2\n正答率: %3%\n回答時間の中央値: %4 秒\nヒント使用: %5 問")
                .arg(sum.correct)
                .arg(sum.count)
                .arg(sum.accuracyPercent, 0, 'f', 0)
                .arg(sum.medianAnswerMs / 1000.0, 0, 'f', 1)
                .arg(sum.hinted);
        if (sum.measured > 0) {
            summary += QLatin1Char('\n') + tr("計測: %1 / %2 が誤差 %3 ms 以内")
                                               .arg(sum.measuredRight)
                                               .arg(sum.measured)
                                               .arg(calipers::toleranceMs);
        }
        summaryLabel->setText(summary);
        for (int row = 0; row < missedList->count(); ++row) {
            QListWidgetItem* item = missedList->item(row);
            const Result& result =
                answers[static_cast<std::size_t>(item->data(resultRole).toInt())];
            item->setText(tr("問題 %1: %2（あなたの回答: %3）")
                              .arg(item->data(resultRole).toInt() + 1)
                              .arg(nameOf(result.question.rhythm), nameOf(result.answer)));
        }
        if (missedList->count() == 0) {
            missedLabel->setText(tr("間違えた問題はありません。"));
        }
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
}

PracticeWindow::Options PracticeWindow::options() const {
    Options current;
    current.length = lengthCombo->currentData().toInt();
    current.rhythms = checkedRhythms();
    current.adaptive = adaptiveCheck->isChecked();
    current.beatTone = toneCheck->isChecked();
    current.measure = measureCheck->isChecked();
    return current;
}

void PracticeWindow::setOptions(const Options& options) {
    const int lengthIndex = lengthCombo->findData(options.length);
    lengthCombo->setCurrentIndex(lengthIndex >= 0 ? lengthIndex : 0);
    {
        const QSignalBlocker blocker(rhythmTree);
        for (int top = 0; top < rhythmTree->topLevelItemCount(); ++top) {
            QTreeWidgetItem* group = rhythmTree->topLevelItem(top);
            for (int child = 0; child < group->childCount(); ++child) {
                QTreeWidgetItem* item = group->child(child);
                const Rhythm rhythm = rhythmOfItem(item->data(0, rhythmRole));
                item->setCheckState(0,
                                    options.rhythms.contains(rhythm) ? Qt::Checked : Qt::Unchecked);
            }
        }
    }
    rhythmTree->viewport()->update();
    adaptiveCheck->setChecked(options.adaptive);
    toneCheck->setChecked(options.beatTone);
    measureCheck->setChecked(options.measure);
    updateStartButton();
    saveSettings();
}

RhythmSet PracticeWindow::checkedRhythms() const {
    RhythmSet set;
    for (int top = 0; top < rhythmTree->topLevelItemCount(); ++top) {
        const QTreeWidgetItem* group = rhythmTree->topLevelItem(top);
        for (int child = 0; child < group->childCount(); ++child) {
            const QTreeWidgetItem* item = group->child(child);
            if (item->checkState(0) == Qt::Checked) {
                set.insert(rhythmOfItem(item->data(0, rhythmRole)));
            }
        }
    }
    return set;
}

void PracticeWindow::updateStartButton() {
    const bool any = !checkedRhythms().empty();
    startButton->setEnabled(any);
    noRhythmLabel->setVisible(!any);
}

std::string PracticeWindow::optionsJson(int length, RhythmSet rhythms, bool adaptive) const {
    const Options current = options();
    QJsonObject object;
    object.insert(QStringLiteral("length"), length);
    object.insert(QStringLiteral("rhythms"), QString::fromStdString(formatRhythmList(rhythms)));
    object.insert(QStringLiteral("adaptive"), adaptive);
    object.insert(QStringLiteral("beatTone"), current.beatTone);
    object.insert(QStringLiteral("measure"), current.measure);
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

void PracticeWindow::showSetup() {
    session.leave();
    setFrozen(false);
    comparing.reset();
    comparePanel->hide();
    compareLabel->hide();
    questionScope.restart();
    compareScope.restart();
    pages->setCurrentWidget(setupPage);
    retranslate();
    startButton->setFocus();
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

void PracticeWindow::ask(const Question& question) {
    if (session.results().empty()) {
        // A new round: its answer names, a clean summary and the question page.
        fillAnswerList(answerChoicesFor(session.inPlay()));
        updateNotice();
        missedList->clear();
        replayingLabel->clear();
        pages->setCurrentWidget(questionPage);
    }
    setFrozen(false);
    comparing.reset();
    measureBox->hide();
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
    compareScope.restart();
    comparePanel->hide();
    compareLabel->hide();
    ladderPanel->hide();

    answerList->setEnabled(true);
    answerList->selectionModel()->clear();
    answerList->scrollToTop();
    hintButton->setEnabled(true);
    answerButton->setEnabled(false);
    pointsBox->hide();
    compareButton->hide();
    replayButton->setEnabled(false);
    nextButton->setEnabled(false);
    bannerLabel->setStyleSheet({});
    retranslate();
    answerList->setFocus();
}

void PracticeWindow::submitSelected() {
    const QList<QListWidgetItem*> selected = answerList->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    answer(rhythmOfItem(selected.first()->data(rhythmRole)));
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
    answerList->setEnabled(false);
    hintButton->setEnabled(false);
    answerButton->setEnabled(false);
    replayButton->setEnabled(true);
    nextButton->setEnabled(true);
    pointsBox->setVisible(!result.correct());
    compareButton->setVisible(!result.correct());
    ladderPanel->setVisible(ladderButton->isChecked());
    bannerLabel->setStyleSheet(result.correct() ? QStringLiteral("color: #006400;")
                                                : QStringLiteral("color: #b00000;"));
    showTask();
    retranslate();
    nextButton->setFocus();
}

void PracticeWindow::showTask() {
    const std::optional<calipers::Kind> task = measurementTask();
    measureBox->setVisible(task.has_value());
    measureButton->setEnabled(task.has_value());
    measureResultLabel->clear();
    measureResultLabel->setStyleSheet({});
    if (task) {
        overlay->setKind(*task);
    }
}

QString PracticeWindow::taskText() const {
    const std::optional<calipers::Kind> task = measurementTask();
    const std::vector<Result>& answers = session.results();
    if (!task && (answers.empty() || !answers.back().measurement)) {
        return {};
    }
    const calipers::Kind kind =
        task ? *task : static_cast<calipers::Kind>(answers.back().measurement->task.kind);
    return tr("%1 を測ってください: 一時停止 (F) して、波形の上を端から端までドラッグし、"
              "［計測を答える］を押します。")
        .arg(CaliperOverlay::kindName(kind));
}

bool PracticeWindow::submitMeasurement() {
    const std::optional<calipers::Kind> task = measurementTask();
    if (!task) {
        return false;
    }
    const auto refuse = [this](const QString& why) {
        measureResultLabel->setStyleSheet(QStringLiteral("color: #b00000;"));
        measureResultLabel->setText(why);
        return false;
    };
    if (!isFrozen()) {
        return refuse(tr("先に一時停止 (F) してください。"));
    }
    const std::vector<calipers::Caliper>& set = overlay->calipers();
    const auto ofTask = [&task](const calipers::Caliper& caliper) { return caliper.kind == *task; };
    int chosen = overlay->selectedIndex();
    if (chosen < 0 || !ofTask(set[static_cast<std::size_t>(chosen)])) {
        const auto last = std::find_if(set.rbegin(), set.rend(), ofTask);
        chosen = static_cast<int>(set.rend() - last) - 1;
    }
    if (chosen < 0) {
        return refuse(tr("%1 のキャリパーがありません。波形の上をドラッグして置いてください。")
                          .arg(CaliperOverlay::kindName(*task)));
    }
    const std::vector<CaliperOverlay::Result> scored = overlay->check();
    const CaliperOverlay::Result& mine = scored[static_cast<std::size_t>(chosen)];
    if (!mine.score) {
        return refuse(CaliperOverlay::verdict(mine));
    }

    // Kept like an answer: on disk before the verdict shows.
    session.submitMeasurement({mine.score->measuredMs, mine.score->errorMs, mine.score->right});
    updateNotice();
    const Measurement& measurement = *session.results().back().measurement;

    measureButton->setEnabled(false);
    measureResultLabel->setStyleSheet(measurement.score.right ? QStringLiteral("color: #006400;")
                                                              : QStringLiteral("color: #b00000;"));
    measureResultLabel->setText(tr("あなたの計測 %1 ms。%2")
                                    .arg(measurement.score.measuredMs)
                                    .arg(CaliperOverlay::verdict(mine)));
    nextButton->setFocus();
    return true;
}

void PracticeWindow::showHint() {
    if (!session.takeHint()) {
        return;
    }
    questionScope.setMarking(true);
    hintButton->setEnabled(false);
    retranslate();
    answerList->setFocus();
}

void PracticeWindow::resetSweeps() {
    for (auto [panel, monitor] :
         {std::pair{questionPanel, &questionScope}, std::pair{comparePanel, &compareScope}}) {
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
    const std::vector<Result>& answers = session.results();
    if (stage() != Stage::feedback || answers.empty() || answers.back().correct()) {
        return;
    }
    setFrozen(false);
    const Result& result = answers.back();
    comparing = result.answer;
    compareLabel->show();
    comparePanel->show();
    layout()->activate();
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
    comparing.reset();
    comparePanel->hide();
    compareLabel->hide();
    compareScope.restart();
    missedList->clear();
    for (const int index : summary.missed) {
        auto* item = new QListWidgetItem(missedList);
        item->setData(resultRole, index);
    }
    replayMissedButton->setEnabled(false);
    replayingLabel->clear();
    pages->setCurrentWidget(summaryPage);
    retranslate();
    if (missedList->count() > 0) {
        missedList->setCurrentRow(0);
    }
    newRoundButton->setFocus();
}

void PracticeWindow::replayMissed(int row) {
    const std::optional<Question> missed = session.missedQuestion(row);
    if (!missed || row >= missedList->count()) {
        return;
    }
    setFrozen(false);
    const int index = missedList->item(row)->data(resultRole).toInt();
    play(questionScope, missed->rhythm, missed->seed, true);
    replayingLabel->setText(tr("再生中: 問題 %1 %2").arg(index + 1).arg(nameOf(missed->rhythm)));
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
        examErrorLabel->setText(message);
        examErrorLabel->show();
        return false;
    }
    examErrorLabel->hide();
    const QString canonical = QString::fromStdString(parsed.exam.code);
    examEdit->setText(canonical);
    startRound(parsed.exam.questions, RoundMode::exam, canonical);
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
    if (on && stage() == Stage::setup) {
        return;
    }
    if (on == isFrozen()) {
        return;
    }
    questionScope.setPaused(on);
    // The compared rhythm stops with the question, so the two stay in step.
    compareScope.setPaused(on);
    overlay->followFreeze(on);
    checkButton->setEnabled(on);
    freezeButton->setText(on ? tr("再開(&F)") : tr("一時停止(&F)"));
}

void PracticeWindow::checkCalipers() {
    if (!isFrozen()) {
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

void PracticeWindow::describePanels() {
    // Only the question's number: a screen reader must not say the answer.
    const int number = session.number();
    questionPanel->setDescription(stage() == Stage::setup || number == 0
                                      ? tr("モニター")
                                      : tr("モニター: 問題 %1").arg(number));
    comparePanel->setDescription(comparing ? tr("比較用モニター: %1").arg(nameOf(*comparing))
                                           : QString());
}

void PracticeWindow::followLanguage(catalogue::Language chosen) {
    language = chosen;
    retranslate();
}

void PracticeWindow::updateNotice() {
    const QString notice = progress.notice();
    noticeLabel->setText(notice);
    noticeLabel->setVisible(!notice.isEmpty());
}

QString PracticeWindow::nameOf(Rhythm rhythm) const {
    return fromCatalogue(catalogue::nameOf(rhythm, language));
}

void PracticeWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

void PracticeWindow::closeEvent(QCloseEvent* event) {
    saveSettings();
    if (session.roundInProgress()) {
        // Escape or Alt+F4 in the middle of a question must not end the round unasked.
        if (!confirmLeaving()) {
            event->ignore();
            return;
        }
        showSetup();
    }
    QWidget::closeEvent(event);
}

bool PracticeWindow::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the code box starts the exam, never a round from the options.
    if (watched == examEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            startExam(examEdit->text());
            return true;
        }
    }
    // The list makes its first row current, unselected, when it takes the focus; the first
    // arrow key would then skip it, so the arrows start from no row. From no row the list lands
    // every key on the first name: End and PageDown start from the top instead.
    if (watched == answerList && event->type() == QEvent::KeyPress &&
        answerList->selectedItems().isEmpty()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            answerList->selectionModel()->clearCurrentIndex();
        } else if ((key == Qt::Key_End || key == Qt::Key_PageDown) &&
                   !answerList->currentIndex().isValid() && answerList->count() > 0) {
            answerList->selectionModel()->setCurrentIndex(answerList->model()->index(0, 0),
                                                          QItemSelectionModel::NoUpdate);
        }
    }
    if (event->type() == QEvent::Resize && (watched == questionPanel || watched == comparePanel)) {
        auto* panel = static_cast<ScopePanel*>(watched);
        Monitor& monitor = panel == questionPanel ? questionScope : compareScope;
        panel->prepare();
        monitor.setPanelSize(panel->clientRect().width(), panel->clientRect().height());
    }
    return QWidget::eventFilter(watched, event);
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
        if (startButton->isEnabled()) {
            startRound();
        }
        break;
    case Stage::asking:
        submitSelected();
        break;
    case Stage::feedback:
        nextQuestion();
        break;
    case Stage::summary:
        if (focusWidget() == missedList) {
            replayMissed(missedList->currentRow());
        }
        break;
    }
}

} // namespace pulsavo
