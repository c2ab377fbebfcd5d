#include "ScenarioPanel.h"

#include "CatalogueText.h"
#include "LanguageManager.h"
#include "LiveTable.h"
#include "ScenarioFile.h"
#include "ScenarioTimeline.h"
#include "Simulation.h"
#include "WindowFit.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace pulsavo {

namespace {

QString idText(std::string_view id) {
    return QString::fromUtf8(id.data(), static_cast<qsizetype>(id.size()));
}

bool english() {
    return LanguageManager::instance().language() == catalogue::Language::english;
}

// "atrial_rate=40, pr_ms=200": what the editor shows and reads back; none when a value is not
// a number (the ids are left to the file's validation, which names the step).
std::optional<std::vector<scenario::ParameterSetting>> parseSettings(const QString& text) {
    std::vector<scenario::ParameterSetting> settings;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString id = part.section(QLatin1Char('='), 0, 0).trimmed();
        bool ok = false;
        const double value = part.section(QLatin1Char('='), 1).trimmed().toDouble(&ok);
        if (id.isEmpty() || !ok) {
            return std::nullopt;
        }
        settings.push_back({id.toStdString(), value});
    }
    return settings;
}

QString settingsText(const std::vector<scenario::ParameterSetting>& settings) {
    QStringList parts;
    for (const scenario::ParameterSetting& setting : settings) {
        parts << QStringLiteral("%1=%2").arg(QString::fromStdString(setting.id)).arg(setting.value);
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace

ScenarioPanel::ScenarioPanel(Simulation& played, scenario::DebriefLog& log, QWidget* parent)
    : QWidget(parent), simulation(played), debrief(log) {
    auto* column = new QVBoxLayout(this);
    titleLabel = new QLabel(this);
    titleLabel->setObjectName(QStringLiteral("scenarioTitle"));
    titleLabel->setWordWrap(true);
    titleLabel->setMinimumWidth(1);
    noticeLabel = new QLabel(this);
    noticeLabel->setObjectName(QStringLiteral("scenarioNotice"));
    noticeLabel->setWordWrap(true);
    noticeLabel->setStyleSheet(QStringLiteral("color: #b00000;"));
    noticeLabel->hide();
    shippedChoice = new QComboBox(this);
    shippedChoice->setObjectName(QStringLiteral("shippedScenarios"));
    // The titles are long: the box takes the width the panel has, not the longest title's.
    shippedChoice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    shippedChoice->setMinimumContentsLength(14);
    openButton = new QPushButton(this);
    saveButton = new QPushButton(this);
    startButton = new QPushButton(this);
    startButton->setObjectName(QStringLiteral("scenarioStart"));
    stopButton = new QPushButton(this);
    nextButton = new QPushButton(this);
    nextButton->setObjectName(QStringLiteral("scenarioNext"));
    auto* files = new QHBoxLayout;
    files->addWidget(shippedChoice, 1);
    files->addWidget(openButton);
    files->addWidget(saveButton);
    files->addStretch(1);
    auto* run = new QHBoxLayout;
    run->addWidget(startButton);
    run->addWidget(nextButton);
    run->addWidget(stopButton);
    run->addStretch(1);
    timeline = new ScenarioTimeline(this);
    currentLabel = new QLabel(this);
    currentLabel->setObjectName(QStringLiteral("scenarioCurrent"));
    currentLabel->setWordWrap(true);
    notesLabel = new QLabel(this);
    notesLabel->setObjectName(QStringLiteral("scenarioNotes"));
    notesLabel->setWordWrap(true);
    expectedLabel = new QLabel(this);
    expectedLabel->setObjectName(QStringLiteral("scenarioExpected"));
    expectedLabel->setWordWrap(true);
    column->addLayout(files);
    column->addWidget(titleLabel);
    column->addWidget(noticeLabel);
    column->addLayout(run);
    column->addWidget(timeline);
    column->addWidget(currentLabel);
    column->addWidget(notesLabel);
    column->addWidget(expectedLabel);

    stepList = new QListWidget(this);
    stepList->setObjectName(QStringLiteral("scenarioSteps"));
    stepList->setMaximumHeight(stepList->fontMetrics().height() * 6);
    addButton = new QPushButton(this);
    removeButton = new QPushButton(this);
    upButton = new QPushButton(this);
    downButton = new QPushButton(this);
    auto* editing = new QHBoxLayout;
    for (QPushButton* button : {addButton, removeButton, upButton, downButton}) {
        editing->addWidget(button);
    }
    editing->addStretch(1);
    column->addWidget(stepList);
    column->addLayout(editing);

    auto* form = new QFormLayout;
    const auto caption = [this] { return new QLabel(this); };
    stepTitleCaption = caption();
    stepTitle = new QLineEdit(this);
    stepTitleEnCaption = caption();
    stepTitleEn = new QLineEdit(this);
    rhythmCaption = caption();
    rhythmChoice = new QComboBox(this);
    for (const LibraryRhythm rhythm : allLibraryRhythms) {
        rhythmChoice->addItem(QString(), static_cast<int>(rhythm));
    }
    parametersCaption = caption();
    parametersEdit = new QLineEdit(this);
    parametersEdit->setObjectName(QStringLiteral("stepParameters"));
    transitionCaption = caption();
    transitionChoice = new QComboBox(this);
    for (const std::string_view kind : scenario::transitionKinds()) {
        transitionChoice->addItem(idText(kind), idText(kind));
    }
    rampCaption = caption();
    rampBox = new QSpinBox(this);
    rampBox->setRange(0, scenario::maxRampSeconds);
    advanceCaption = caption();
    advanceChoice = new QComboBox(this);
    advanceChoice->addItem(QString());
    advanceChoice->addItem(QString());
    secondsCaption = caption();
    secondsBox = new QSpinBox(this);
    secondsBox->setRange(0, scenario::maxStepSeconds);
    notesCaption = caption();
    notesEdit = new QPlainTextEdit(this);
    notesEdit->setMaximumHeight(notesEdit->fontMetrics().height() * 3 + 8);
    expectedCaption = caption();
    expectedEdit = new QLineEdit(this);
    form->addRow(stepTitleCaption, stepTitle);
    form->addRow(stepTitleEnCaption, stepTitleEn);
    form->addRow(rhythmCaption, rhythmChoice);
    form->addRow(parametersCaption, parametersEdit);
    form->addRow(transitionCaption, transitionChoice);
    form->addRow(rampCaption, rampBox);
    form->addRow(advanceCaption, advanceChoice);
    form->addRow(secondsCaption, secondsBox);
    form->addRow(notesCaption, notesEdit);
    form->addRow(expectedCaption, expectedEdit);
    column->addLayout(form);
    column->addStretch(1);

    connect(shippedChoice, &QComboBox::activated, this, [this](int index) {
        if (index > 0) {
            openFile(shippedChoice->itemData(index).toString());
        }
    });
    connect(openButton, &QPushButton::clicked, this, &ScenarioPanel::chooseFile);
    connect(saveButton, &QPushButton::clicked, this, &ScenarioPanel::chooseSaveFile);
    connect(startButton, &QPushButton::clicked, this, [this] { start(steps.seed.value_or(1)); });
    connect(stopButton, &QPushButton::clicked, this, &ScenarioPanel::stop);
    connect(nextButton, &QPushButton::clicked, this, &ScenarioPanel::advance);
    connect(addButton, &QPushButton::clicked, this, &ScenarioPanel::addStep);
    connect(removeButton, &QPushButton::clicked, this, &ScenarioPanel::removeStep);
    connect(upButton, &QPushButton::clicked, this, [this] { moveStep(-1); });
    connect(downButton, &QPushButton::clicked, this, [this] { moveStep(1); });
    connect(stepList, &QListWidget::currentRowChanged, this, &ScenarioPanel::showStep);
    connect(stepTitle, &QLineEdit::editingFinished, this, &ScenarioPanel::stepEdited);
    connect(stepTitleEn, &QLineEdit::editingFinished, this, &ScenarioPanel::stepEdited);
    connect(parametersEdit, &QLineEdit::editingFinished, this, &ScenarioPanel::stepEdited);
    connect(expectedEdit, &QLineEdit::editingFinished, this, &ScenarioPanel::stepEdited);
    connect(notesEdit, &QPlainTextEdit::textChanged, this, &ScenarioPanel::stepEdited);
    for (QComboBox* box : {rhythmChoice, transitionChoice, advanceChoice}) {
        connect(box, &QComboBox::currentIndexChanged, this, &ScenarioPanel::stepEdited);
    }
    for (QSpinBox* box : {rampBox, secondsBox}) {
        connect(box, &QSpinBox::valueChanged, this, &ScenarioPanel::stepEdited);
    }
    retranslate();
}

ScenarioPanel::~ScenarioPanel() = default;

void ScenarioPanel::retranslate() {
    openButton->setText(tr("開く(&E)..."));
    saveButton->setText(tr("保存(&V)..."));
    startButton->setText(tr("最初から再生(&G)"));
    nextButton->setText(tr("次のステップ (N)"));
    nextButton->setShortcut(QKeySequence(Qt::Key_N));
    stopButton->setText(tr("停止"));
    addButton->setText(tr("追加"));
    removeButton->setText(tr("削除"));
    upButton->setText(tr("上へ"));
    downButton->setText(tr("下へ"));
    stepTitleCaption->setText(tr("題"));
    stepTitleEnCaption->setText(tr("題(英語)"));
    rhythmCaption->setText(tr("波形"));
    parametersCaption->setText(tr("パラメーター"));
    parametersEdit->setPlaceholderText(QStringLiteral("atrial_rate=40, pr_ms=200"));
    transitionCaption->setText(tr("移り方"));
    rampCaption->setText(tr("移行時間"));
    rampBox->setSuffix(tr(" 秒"));
    advanceCaption->setText(tr("進め方"));
    advanceChoice->setItemText(0, tr("自動(時間で)"));
    advanceChoice->setItemText(1, tr("手動(次へで)"));
    secondsCaption->setText(tr("時間"));
    secondsBox->setSuffix(tr(" 秒"));
    secondsBox->setSpecialValueText(tr("指定なし"));
    notesCaption->setText(tr("メモ"));
    expectedCaption->setText(tr("期待する行動"));
    const catalogue::Language language = LanguageManager::instance().language();
    for (int i = 0; i < rhythmChoice->count(); ++i) {
        rhythmChoice->setItemText(
            i, rhythmName(rhythmOf(static_cast<LibraryRhythm>(rhythmChoice->itemData(i).toInt())),
                          language));
    }
    fillShipped();
    fillSteps();
    shownStep = -2;
    showProgress();
}

// The scenarios that come with the program, compiled in, by their titles.
void ScenarioPanel::fillShipped() {
    shippedChoice->clear();
    shippedChoice->addItem(tr("付属のシナリオ..."));
    const QDir shipped(QStringLiteral(":/scenarios"));
    for (const QString& name : shipped.entryList({QStringLiteral("*.json")}, QDir::Files)) {
        const QString path = shipped.filePath(name);
        const scenario::ReadResult read = scenario::readScenarioFile(path);
        shippedChoice->addItem(read.ok() ? read.scenario->title.in(english()) : name, path);
    }
}

QString ScenarioPanel::notice() const {
    return noticeLabel->isHidden() ? QString() : noticeLabel->text();
}

void ScenarioPanel::showNotice(const QString& text) {
    noticeLabel->setText(text);
    noticeLabel->setVisible(!text.isEmpty());
}

void ScenarioPanel::chooseFile() {
    const QString path = QFileDialog::getOpenFileName(
        this, tr("シナリオを開く"), QString(), tr("シナリオ (*.json);;すべてのファイル (*)"));
    if (!path.isEmpty()) {
        openFile(path);
    }
}

void ScenarioPanel::chooseSaveFile() {
    const QString path =
        askSaveFileName(this, tr("シナリオを保存"), QString(), tr("シナリオ (*.json)"));
    if (!path.isEmpty()) {
        saveFile(path);
    }
}

bool ScenarioPanel::openFile(const QString& path) {
    const scenario::ReadResult read = scenario::readScenarioFile(path);
    if (!read.ok()) {
        showNotice(tr("%1 を開けません: %2")
                       .arg(QDir::toNativeSeparators(path),
                            read.problem.text(LanguageManager::instance().language())));
        return false;
    }
    stop();
    steps = *read.scenario;
    showNotice(QString());
    fillSteps();
    return true;
}

bool ScenarioPanel::saveFile(const QString& path) {
    if (const std::optional<QString> failed = scenario::saveScenarioFile(steps, path)) {
        showNotice(tr("保存できませんでした: %1").arg(*failed));
        return false;
    }
    showNotice(QString());
    return true;
}

bool ScenarioPanel::start(std::uint32_t seed) {
    const scenario::ReadResult checked = scenario::parseScenario(scenario::scenarioJson(steps));
    if (!checked.ok()) {
        showNotice(tr("再生できません: %1")
                       .arg(checked.problem.text(LanguageManager::instance().language())));
        return false;
    }
    showNotice(QString());
    playing =
        std::make_unique<scenario::ScenarioRunner>(*checked.scenario, simulation, seed, &debrief);
    timeline->setScenario(*checked.scenario);
    shownStep = -2;
    showProgress();
    return true;
}

void ScenarioPanel::stop() {
    playing.reset();
    shownStep = -2;
    showProgress();
}

void ScenarioPanel::advance() {
    if (playing) {
        playing->advance();
    }
}

const scenario::Step* ScenarioPanel::tick() {
    if (!playing) {
        return nullptr;
    }
    playing->tick();
    const int step = playing->currentStep();
    // A step's time counts from 0 on the tick it began, and only on that one.
    return step >= 0 && playing->ticksInStep() == 0
               ? &playing->scenario().steps[static_cast<std::size_t>(step)]
               : nullptr;
}

void ScenarioPanel::showProgress() {
    const int step = playing ? playing->currentStep() : -1;
    timeline->setProgress(step, playing ? playing->ticksInStep() : 0);
    nextButton->setEnabled(playing != nullptr && step >= 0 &&
                           step + 1 < static_cast<int>(playing->scenario().steps.size()));
    stopButton->setEnabled(playing != nullptr);
    if (step == shownStep) {
        return;
    }
    shownStep = step;
    if (step < 0) {
        currentLabel->setText(playing ? tr("開始を待っています") : tr("再生していません"));
        notesLabel->clear();
        expectedLabel->clear();
        return;
    }
    const scenario::Step& now = playing->scenario().steps[static_cast<std::size_t>(step)];
    currentLabel->setText(tr("<b>ステップ %1 / %2</b>: %3")
                              .arg(step + 1)
                              .arg(playing->scenario().steps.size())
                              .arg(now.title.in(english()).toHtmlEscaped()));
    notesLabel->setText(tr("メモ: %1").arg(now.notes));
    expectedLabel->setText(tr("期待する行動: %1").arg(now.expectedAction));
    emit stepStarted(step);
}

void ScenarioPanel::fillSteps() {
    filling = true;
    const int row = stepList->currentRow();
    stepList->clear();
    titleLabel->setText(steps.steps.empty() ? tr("シナリオなし: 開くか、ステップを追加します")
                                            : steps.title.in(english()));
    const catalogue::Language language = LanguageManager::instance().language();
    for (std::size_t i = 0; i < steps.steps.size(); ++i) {
        const scenario::Step& step = steps.steps[i];
        stepList->addItem(
            tr("%1. %2 — %3")
                .arg(i + 1)
                .arg(step.title.in(english()), rhythmName(rhythmOf(step.rhythm), language)));
    }
    timeline->setScenario(playing ? playing->scenario() : steps);
    filling = false;
    stepList->setCurrentRow(std::min(std::max(row, 0), stepList->count() - 1));
    showStep();
}

void ScenarioPanel::showStep() {
    const int row = stepList->currentRow();
    const bool any = row >= 0 && row < static_cast<int>(steps.steps.size());
    for (QWidget* field : std::initializer_list<QWidget*>{
             stepTitle, stepTitleEn, rhythmChoice, parametersEdit, transitionChoice, rampBox,
             advanceChoice, secondsBox, notesEdit, expectedEdit, removeButton, upButton,
             downButton}) {
        field->setEnabled(any);
    }
    if (!any || filling) {
        return;
    }
    filling = true;
    const scenario::Step& step = steps.steps[static_cast<std::size_t>(row)];
    stepTitle->setText(step.title.ja);
    stepTitleEn->setText(step.title.en);
    rhythmChoice->setCurrentIndex(rhythmChoice->findData(static_cast<int>(step.rhythm)));
    parametersEdit->setText(settingsText(step.parameters));
    transitionChoice->setCurrentIndex(
        std::max(0, transitionChoice->findData(QString::fromStdString(step.transition))));
    rampBox->setValue(step.rampSeconds);
    advanceChoice->setCurrentIndex(step.advance == scenario::Advance::manual ? 1 : 0);
    secondsBox->setValue(step.seconds.value_or(0));
    notesEdit->setPlainText(step.notes);
    expectedEdit->setText(step.expectedAction);
    filling = false;
}

// The editor writes each field back as it is left; validation waits for saving or playing,
// which name the step at fault.
void ScenarioPanel::stepEdited() {
    const int row = stepList->currentRow();
    if (filling || row < 0 || row >= static_cast<int>(steps.steps.size())) {
        return;
    }
    scenario::Step& step = steps.steps[static_cast<std::size_t>(row)];
    step.title.ja = stepTitle->text();
    step.title.en = stepTitleEn->text();
    step.rhythm = static_cast<LibraryRhythm>(rhythmChoice->currentData().toInt());
    if (const auto settings = parseSettings(parametersEdit->text())) {
        step.parameters = *settings;
        showNotice(QString());
    } else {
        showNotice(
            tr("ステップ %1: パラメーターは「id=数値」をカンマで区切って書きます").arg(row + 1));
    }
    step.transition = transitionChoice->currentData().toString().toStdString();
    step.rampSeconds = rampBox->value();
    step.advance = advanceChoice->currentIndex() == 1 ? scenario::Advance::manual
                                                      : scenario::Advance::automatic;
    step.seconds = secondsBox->value() > 0 ? std::optional(secondsBox->value()) : std::nullopt;
    step.notes = notesEdit->toPlainText();
    step.expectedAction = expectedEdit->text();
    QListWidgetItem* item = stepList->item(row);
    item->setText(
        tr("%1. %2 — %3")
            .arg(row + 1)
            .arg(step.title.in(english()),
                 rhythmName(rhythmOf(step.rhythm), LanguageManager::instance().language())));
}

void ScenarioPanel::addStep() {
    scenario::Step step;
    const int row = stepList->currentRow();
    if (row >= 0 && row < static_cast<int>(steps.steps.size())) {
        step.rhythm = steps.steps[static_cast<std::size_t>(row)].rhythm;
    }
    // The file keeps every title in both languages.
    step.title.ja = QStringLiteral("ステップ %1").arg(steps.steps.size() + 1);
    step.title.en = QStringLiteral("Step %1").arg(steps.steps.size() + 1);
    step.seconds = 30;
    const auto at = steps.steps.begin() +
                    (row < 0 ? static_cast<long>(steps.steps.size()) : static_cast<long>(row) + 1);
    steps.steps.insert(at, step);
    if (steps.title.ja.isEmpty()) {
        steps.title = {QStringLiteral("新しいシナリオ"), QStringLiteral("New scenario")};
    }
    fillSteps();
    stepList->setCurrentRow(row + 1);
}

void ScenarioPanel::removeStep() {
    const int row = stepList->currentRow();
    if (row >= 0 && row < static_cast<int>(steps.steps.size())) {
        steps.steps.erase(steps.steps.begin() + row);
        fillSteps();
    }
}

void ScenarioPanel::moveStep(int by) {
    const int row = stepList->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= static_cast<int>(steps.steps.size())) {
        return;
    }
    std::swap(steps.steps[static_cast<std::size_t>(row)],
              steps.steps[static_cast<std::size_t>(to)]);
    fillSteps();
    stepList->setCurrentRow(to);
}

void ScenarioPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange && titleLabel != nullptr) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

} // namespace pulsavo
