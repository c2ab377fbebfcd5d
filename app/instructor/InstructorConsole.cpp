#include "InstructorConsole.h"

#include "CatalogueText.h"
#include "ClassPanel.h"
#include "DebriefPanel.h"
#include "LanguageManager.h"
#include "MonitorActions.h"
#include "MonitorText.h"
#include "ParameterPanel.h"
#include "ProjectorWindow.h"
#include "ScenarioPanel.h"
#include "ScopePanel.h"
#include "Settings.h"
#include "WindowFit.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace pulsavo {

using conduction::TransitionKind;
using scenario::EntryKind;

namespace {

constexpr int rhythmRole = Qt::UserRole;
constexpr int plethHeight = 72;
// The transition list's first entry: a hard cut, the rhythm selected afresh.
constexpr int cutChoice = -1;

QString idText(std::string_view id) {
    return QString::fromUtf8(id.data(), static_cast<qsizetype>(id.size()));
}

std::uint32_t freshSeed() {
    return QRandomGenerator::global()->generate();
}

} // namespace

InstructorConsole::InstructorConsole(std::unique_ptr<ToneSink> beat, QWidget* parent)
    : QWidget(parent, Qt::Window), live(defaultPanelWidth, defaultPanelHeight),
      beatTone(beat ? std::move(beat) : std::make_unique<BeatTone>()) {
    setObjectName(QStringLiteral("instructorConsole"));
    live.setWard(true);
    live.setToneMode(Monitor::ToneMode::qrs);
    live.setEventHistory(true);
    MonitorActions::wireTone(live, [this] { return beatTone.get(); });
    shared = new MonitorActions(this);
    connect(shared, &MonitorActions::freezeToggled, this, [this] { setFrozen(!isFrozen()); });

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    outer->addWidget(scroll);
    auto* page = new QWidget(scroll);
    auto* root = new QHBoxLayout(page);
    root->addWidget(buildRhythmColumn(), 2);
    root->addWidget(buildMonitorArea(page), 6);
    tabs = new QTabWidget(page);
    tabs->setObjectName(QStringLiteral("consoleTabs"));
    parameters = new ParameterPanel(tabs);
    scenarios = new ScenarioPanel(live.simulation(), debrief, tabs);
    debriefView = new DebriefPanel(debrief, tabs);
    projectorTab = buildProjectorTab(tabs);
    classView = new ClassPanel(tabs);
    for (QWidget* tab : std::initializer_list<QWidget*>{parameters, scenarios, debriefView,
                                                        projectorTab, classView}) {
        tabs->addTab(tab, QString());
    }
    root->addWidget(tabs, 4);
    scroll->setWidget(page);

    connect(parameters, &ParameterPanel::applyRequested, this, &InstructorConsole::applyPending);
    connect(scenarios, &ScenarioPanel::stepStarted, this, &InstructorConsole::showParameters);
    // The scenario's runner applies what is due before the tick it is due on.
    live.beforeStep = [this] {
        advanceClass();
        if (const scenario::Step* begun = scenarios->tick()) {
            applyVitals(*begun);
        }
    };
    clock.add(&live);
    classView->playingRhythm = [this] { return live.simulation().rhythm(); };
    connect(classView, &ClassPanel::classStarted, this, &InstructorConsole::beginClass);
    connect(classView, &ClassPanel::classEnded, this, &InstructorConsole::endClass);
    connect(classView, &ClassPanel::pollAsked, this,
            [this](const QString& question, const QStringList& options) {
                note(EntryKind::note, question, options.join(QStringLiteral(" / ")));
            });
    connect(classView, &ClassPanel::answerGiven, this,
            [this](const QString& learner, const QString& option, bool correct) {
                note(EntryKind::answer, learner, option, correct ? tr("正解") : tr("不正解"));
            });
    connect(classView, &ClassPanel::shownChanged, this, &InstructorConsole::showClassProjected);
    // The class is stepped before each of the console's steps and after each wake, so learners
    // are told of the ticks played as soon as they are.
    connect(&clock, &MonitorClock::advanced, this, [this] {
        advanceClass();
        showReadings();
    });

    const Settings stored;
    if (!restoreGeometry(stored.instructorValue(Settings::consoleGeometryKey).toByteArray())) {
        // As much of the screen as it will give (fitToScreen trims it when shown): the trace,
        // the rhythm names and the parameter column all want the room.
        resize(1600, 900);
    }
    parameters->setRampSeconds(stored.instructorValue(Settings::consoleRampKey).toInt());
    retranslate();
    play(LibraryRhythm::sinusRhythm, freshSeed());
}

InstructorConsole::~InstructorConsole() {
    clock.stop();
    live.beforeStep = nullptr;
    delete projectorWindow.data();
}

QWidget* InstructorConsole::buildRhythmColumn() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    rhythmLabel = new QLabel(column);
    rhythmList = new QListWidget(column);
    rhythmList->setObjectName(QStringLiteral("consoleRhythms"));
    rhythmList->setMinimumWidth(150);
    rhythmLabel->setBuddy(rhythmList);
    transitionLabel = new QLabel(column);
    transitionChoice = new QComboBox(column);
    transitionChoice->setObjectName(QStringLiteral("consoleTransition"));
    transitionChoice->addItem(QString(), cutChoice);
    for (int kind = 0; kind < conduction::transitionKindCount; ++kind) {
        transitionChoice->addItem(QString(), kind);
    }
    transitionLabel->setBuddy(transitionChoice);
    switchButton = new QPushButton(column);
    switchButton->setObjectName(QStringLiteral("consoleSwitch"));
    layout->addWidget(rhythmLabel);
    layout->addWidget(rhythmList, 1);
    layout->addWidget(transitionLabel);
    layout->addWidget(transitionChoice);
    layout->addWidget(switchButton);
    connect(rhythmList, &QListWidget::itemActivated, this, &InstructorConsole::switchChosen);
    connect(switchButton, &QPushButton::clicked, this, &InstructorConsole::switchChosen);
    return column;
}

QWidget* InstructorConsole::buildMonitorArea(QWidget* page) {
    auto* holder = new QWidget(page);
    auto* column = new QVBoxLayout(holder);
    column->setContentsMargins(0, 0, 0, 0);
    auto* area = new QWidget(holder);
    area->setObjectName(QStringLiteral("consoleMonitorArea"));
    area->setAutoFillBackground(true);
    QPalette black = area->palette();
    black.setColor(QPalette::Window, Qt::black);
    area->setPalette(black);
    auto* middle = new QHBoxLayout(area);
    ecg = new ScopePanel(area);
    pleth = new ScopePanel(area);
    ecg->setObjectName(QStringLiteral("consoleEcg"));
    pleth->setObjectName(QStringLiteral("consolePleth"));
    // The classic panel's geometry, one column a tick: the projector scales a picture whose
    // time and voltage scales every other window shares.
    ecg->setFixedSize(defaultPanelWidth, defaultPanelHeight);
    pleth->setFixedSize(defaultPanelWidth, plethHeight);
    for (ScopePanel* panel : {ecg, pleth}) {
        panel->setPalette(black);
    }
    auto* traces = new QVBoxLayout;
    traces->addWidget(ecg);
    traces->addWidget(pleth);
    middle->addLayout(traces);
    auto* numerics = new QVBoxLayout;
    heartRateCaption = monitorText(QStringLiteral("#00ff00"), 11, area);
    heartRateValue = monitorText(QStringLiteral("#00ff00"), 36, area);
    heartRateValue->setObjectName(QStringLiteral("consoleHeartRate"));
    heartRateValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    heartRateValue->setMinimumWidth(
        heartRateValue->fontMetrics().horizontalAdvance(QStringLiteral("888")));
    // What the scenario set rather than the monitor measured: smaller, under the heart rate.
    entered = EnteredLabels::create(area, QStringLiteral("consolePressure"),
                                    QStringLiteral("consoleRespiration"));
    numerics->addWidget(heartRateCaption);
    numerics->addWidget(heartRateValue);
    numerics->addStretch(1);
    for (QLabel* label : {entered.pressureCaption, entered.pressureValue,
                          entered.respirationCaption, entered.respirationValue}) {
        numerics->addWidget(label);
    }
    middle->addLayout(numerics);
    column->addWidget(area);

    playingLabel = new QLabel(holder);
    playingLabel->setObjectName(QStringLiteral("consolePlaying"));
    rampLabel = new QLabel(holder);
    rampLabel->setObjectName(QStringLiteral("consoleRamp"));
    column->addWidget(playingLabel);
    column->addWidget(rampLabel);

    auto* events = new QHBoxLayout;
    const std::array<std::tuple<Event, Qt::Key, const char*>, 4> keys{{
        {Event::pvc, Qt::Key_V, "eventPvc"},
        {Event::blockBeat, Qt::Key_B, "eventBlock"},
        {Event::defibrillate, Qt::Key_D, "eventShock"},
        {Event::pacing, Qt::Key_P, "eventPacing"},
    }};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto& [event, key, name] = keys[i];
        eventActions[i] = eventAction(event, key, name);
        eventButtons[i] = new QPushButton(holder);
        eventButtons[i]->setObjectName(QLatin1String(name));
        eventButtons[i]->setFocusPolicy(Qt::NoFocus);
        connect(eventButtons[i], &QPushButton::clicked, eventActions[i], &QAction::trigger);
        events->addWidget(eventButtons[i]);
    }
    column->addLayout(events);
    auto* shock = new QHBoxLayout;
    shockLabel = new QLabel(holder);
    shockChoice = new QComboBox(holder);
    shockChoice->setObjectName(QStringLiteral("shockAfter"));
    shockChoice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    shockChoice->setMinimumContentsLength(12);
    shockLabel->setBuddy(shockChoice);
    freezeButton = new QPushButton(holder);
    freezeButton->setObjectName(QStringLiteral("consoleFreeze"));
    freezeButton->setFocusPolicy(Qt::NoFocus);
    connect(freezeButton, &QPushButton::clicked, this, [this] { setFrozen(!isFrozen()); });
    shock->addWidget(shockLabel);
    shock->addWidget(shockChoice, 1);
    shock->addStretch(1);
    shock->addWidget(freezeButton);
    column->addLayout(shock);
    column->addStretch(1);

    ecg->attach(live);
    pleth->attachPleth(live);
    return holder;
}

// One key each, working anywhere in the console and, once it is open, in the projector.
QAction* InstructorConsole::eventAction(Event event, Qt::Key key, const char* name) {
    auto* action = new QAction(this);
    action->setObjectName(QLatin1String(name) + QStringLiteral("Action"));
    action->setShortcut(QKeySequence(key));
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    connect(action, &QAction::triggered, this, [this, event] { fire(event); });
    return action;
}

QWidget* InstructorConsole::buildProjectorTab(QWidget* parent) {
    auto* tab = new QWidget(parent);
    auto* form = new QFormLayout(tab);
    screenLabel = new QLabel(tab);
    screenChoice = new QComboBox(tab);
    screenChoice->setObjectName(QStringLiteral("projectorScreen"));
    screenLabel->setBuddy(screenChoice);
    themeLabel = new QLabel(tab);
    themeChoice = new QComboBox(tab);
    themeChoice->setObjectName(QStringLiteral("projectorTheme"));
    themeChoice->addItem(QString(), ProjectorWindow::themeName(ProjectorWindow::Theme::dark));
    themeChoice->addItem(QString(), ProjectorWindow::themeName(ProjectorWindow::Theme::light));
    themeLabel->setBuddy(themeChoice);
    fullScreenBox = new QCheckBox(tab);
    fullScreenBox->setObjectName(QStringLiteral("projectorFullScreen"));
    projectorButton = new QPushButton(tab);
    projectorButton->setObjectName(QStringLiteral("projectorButton"));
    form->addRow(screenLabel, screenChoice);
    form->addRow(themeLabel, themeChoice);
    form->addRow(QString(), fullScreenBox);
    form->addRow(QString(), projectorButton);

    const Settings stored;
    const QString theme = stored.instructorValue(Settings::projectorThemeKey).toString();
    themeChoice->setCurrentIndex(std::max(0, themeChoice->findData(theme)));
    fullScreenBox->setChecked(stored.instructorValue(Settings::projectorFullScreenKey).toBool());
    connect(themeChoice, &QComboBox::currentIndexChanged, this, [this] {
        const auto chosen = ProjectorWindow::parseTheme(themeChoice->currentData().toString());
        if (projectorWindow) {
            projectorWindow->setTheme(chosen);
        } else {
            Settings().setInstructorValue(Settings::projectorThemeKey,
                                          ProjectorWindow::themeName(chosen));
        }
    });
    connect(projectorButton, &QPushButton::clicked, this, [this] {
        if (projectorWindow) {
            closeProjector();
        } else {
            openProjector();
        }
    });
    const auto replace = [this] {
        if (projectorWindow) {
            openProjector();
        }
    };
    connect(screenChoice, &QComboBox::activated, this, replace);
    connect(fullScreenBox, &QCheckBox::toggled, this, replace);
    connect(qApp, &QGuiApplication::screenAdded, this, &InstructorConsole::fillScreens);
    connect(qApp, &QGuiApplication::screenRemoved, this, &InstructorConsole::fillScreens);
    return tab;
}

void InstructorConsole::fillScreens() {
    const QString remembered =
        screenChoice->count() > 0
            ? screenChoice->currentData().toString()
            : Settings().instructorValue(Settings::projectorScreenKey).toString();
    const QSignalBlocker quiet(screenChoice);
    screenChoice->clear();
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (int i = 0; i < screens.size(); ++i) {
        const QScreen* screen = screens.at(i);
        screenChoice->addItem(tr("画面 %1: %2 (%3×%4)")
                                  .arg(i + 1)
                                  .arg(screen->name())
                                  .arg(screen->size().width())
                                  .arg(screen->size().height()),
                              screen->name());
    }
    // The projector is usually the screen the console is not on: the last one, unless chosen.
    int chosen = screenChoice->findData(remembered);
    if (chosen < 0) {
        chosen = screenChoice->count() - 1;
    }
    screenChoice->setCurrentIndex(chosen);
}

ProjectorWindow* InstructorConsole::openProjector() {
    if (!projectorWindow) {
        projectorWindow = new ProjectorWindow(live, ecg, pleth, this);
        projectorWindow->setAttribute(Qt::WA_DeleteOnClose);
        projectorWindow->setTheme(
            ProjectorWindow::parseTheme(themeChoice->currentData().toString()));
        // The console's keys work while the projector has the focus.
        projectorWindow->addActions(actions());
        connect(projectorWindow, &ProjectorWindow::closed, this,
                [this] { projectorButton->setText(tr("投影を開く(&O)")); });
    }
    QScreen* screen = nullptr;
    for (QScreen* candidate : QGuiApplication::screens()) {
        if (candidate->name() == screenChoice->currentData().toString()) {
            screen = candidate;
        }
    }
    projectorWindow->showOn(screen, fullScreenBox->isChecked());
    projectorWindow->showReadings();
    showClassProjected();
    projectorButton->setText(tr("投影を閉じる(&O)"));
    return projectorWindow;
}

// The room reads the join code off the projector; while a question is open it sees how many
// have answered.
void InstructorConsole::showClassProjected() {
    if (!projectorWindow) {
        return;
    }
    ProjectorWindow::ClassShown shown;
    if (const classroom::ClassHost* host = classView->host()) {
        shown.code = host->code();
        shown.page = host->pageUrl().toString();
        shown.learners = host->learnerCount();
        if (host->pollIsOpen()) {
            int answered = 0;
            for (const int n : host->pollCounts()) {
                answered += n;
            }
            shown.answered = answered;
        }
    }
    projectorWindow->showClass(shown);
}

ProjectorWindow* InstructorConsole::projector() const {
    return projectorWindow.data();
}

void InstructorConsole::closeProjector() {
    if (projectorWindow) {
        projectorWindow->close();
    }
}

QString InstructorConsole::eventText(Event event) const {
    const bool pacing = live.simulation().libraryTarget().pacer != conduction::Pacer::none;
    switch (event) {
    case Event::pvc:
        return tr("PVC (V)");
    case Event::blockBeat:
        return tr("1 拍ブロック (B)");
    case Event::defibrillate:
        return tr("除細動 (D)");
    case Event::pacing:
        break;
    }
    return pacing ? tr("ペーシング停止 (P)") : tr("ペーシング開始 (P)");
}

void InstructorConsole::retranslate() {
    setWindowTitle(tr("インストラクター"));
    rhythmLabel->setText(tr("波形(&W)"));
    transitionLabel->setText(tr("移り方(&K)"));
    const std::array<QString, conduction::transitionKindCount + 1> transitions{
        tr("すぐに切り替える"),   tr("次の拍から"), tr("移行時間をかけて"),
        tr("R on T の PVC から"), tr("PAC から"),   tr("休止のあと補充収縮から")};
    for (int i = 0; i < transitionChoice->count(); ++i) {
        transitionChoice->setItemText(i, transitions.at(static_cast<std::size_t>(i)));
    }
    switchButton->setText(tr("この波形へ(&C)"));
    heartRateCaption->setText(tr("HR /分"));
    shockLabel->setText(tr("ショック後(&A)"));
    {
        const QSignalBlocker quiet(shockChoice);
        const int chosen = shockChoice->currentIndex();
        shockChoice->clear();
        shockChoice->addItem(tr("変わらない(無効なショック)"), -1);
        const catalogue::Language language = LanguageManager::instance().language();
        for (const LibraryRhythm rhythm : allLibraryRhythms) {
            shockChoice->addItem(rhythmName(rhythmOf(rhythm), language), static_cast<int>(rhythm));
        }
        shockChoice->setCurrentIndex(
            chosen >= 0 ? chosen
                        : shockChoice->findData(static_cast<int>(LibraryRhythm::sinusRhythm)));
    }
    tabs->setTabText(tabs->indexOf(parameters), tr("パラメーター"));
    tabs->setTabText(tabs->indexOf(scenarios), tr("シナリオ"));
    tabs->setTabText(tabs->indexOf(debriefView), tr("記録"));
    tabs->setTabText(tabs->indexOf(projectorTab), tr("投影"));
    tabs->setTabText(tabs->indexOf(classView), tr("教室"));
    screenLabel->setText(tr("画面(&N)"));
    themeLabel->setText(tr("配色(&T)"));
    themeChoice->setItemText(0, tr("暗い背景"));
    themeChoice->setItemText(1, tr("明るい背景(高コントラスト)"));
    fullScreenBox->setText(tr("全画面(&U)"));
    projectorButton->setText(projectorWindow ? tr("投影を閉じる(&O)") : tr("投影を開く(&O)"));
    shared->retranslate(isFrozen());
    fillRhythms();
    fillScreens();
    setFrozen(isFrozen());
}

void InstructorConsole::fillRhythms() {
    const QSignalBlocker quiet(rhythmList);
    rhythmList->clear();
    const catalogue::Language language = LanguageManager::instance().language();
    const std::optional<Rhythm> playing = live.simulation().rhythm();
    for (const LibraryRhythm library : allLibraryRhythms) {
        const Rhythm rhythm = rhythmOf(library);
        auto* item = new QListWidgetItem(rhythmName(rhythm, language), rhythmList);
        item->setData(rhythmRole, static_cast<int>(library));
        // The column is narrow beside the monitor; the whole name is a hover away.
        item->setToolTip(item->text());
        if (rhythm == playing) {
            rhythmList->setCurrentItem(item);
        }
    }
}

void InstructorConsole::note(EntryKind kind, const QString& subject, const QString& value,
                             const QString& detail) {
    const scenario::ScenarioRunner* runner = scenarios->runner();
    debrief.add({live.tickCount(), kind, runner != nullptr ? runner->currentStep() : -1, subject,
                 value, detail});
    debriefView->refresh();
}

void InstructorConsole::switchChosen() {
    const QListWidgetItem* item = rhythmList->currentItem();
    if (item == nullptr) {
        return;
    }
    const auto rhythm = static_cast<LibraryRhythm>(item->data(rhythmRole).toInt());
    const int kind = transitionChoice->currentData().toInt();
    if (kind == cutChoice) {
        play(rhythm, freshSeed());
    } else {
        changeTo(rhythm, freshSeed(),
                 {static_cast<TransitionKind>(kind), parameters->rampSeconds() * ticksPerSecond});
    }
}

void InstructorConsole::play(LibraryRhythm rhythm, std::uint32_t seed) {
    live.select(rhythmOf(rhythm), seed);
    note(EntryKind::rhythm, QStringLiteral("cut"), idText(infoOf(rhythm).id));
    showParameters();
}

void InstructorConsole::changeTo(LibraryRhythm rhythm, std::uint32_t seed,
                                 conduction::Transition how) {
    live.simulation().transitionTo(rhythm, seed, how);
    note(EntryKind::rhythm, idText(conduction::transitionKindId(how.kind)),
         idText(infoOf(rhythm).id),
         how.kind == TransitionKind::ramp ? QStringLiteral("%1 s").arg(how.ticks / ticksPerSecond)
                                          : QString());
    showParameters();
}

void InstructorConsole::applyPending() {
    const auto& edits = parameters->pending();
    if (edits.empty()) {
        return;
    }
    conduction::Params target = live.simulation().libraryTarget();
    const int seconds = parameters->rampSeconds();
    for (const auto& [which, value] : edits) {
        target = conduction::withLiveValue(target, which, value);
    }
    live.simulation().rampLibraryParameters(target, seconds * ticksPerSecond);
    const QString ramp = seconds > 0 ? QStringLiteral("ramp %1 s").arg(seconds) : QString();
    for (const auto& [which, value] : edits) {
        note(EntryKind::parameter, idText(conduction::liveParameter(which).id),
             ParameterPanel::valueText(which, conduction::liveValue(target, which)), ramp);
    }
    Settings().setInstructorValue(Settings::consoleRampKey, seconds);
    showParameters();
}

void InstructorConsole::fire(Event event) {
    Simulation& model = live.simulation();
    bool taken = true;
    QString id;
    QString detail;
    switch (event) {
    case Event::pvc:
        taken = model.pvcNow();
        id = QStringLiteral("pvc");
        break;
    case Event::blockBeat:
        taken = model.blockNextBeat();
        id = QStringLiteral("block_beat");
        break;
    case Event::defibrillate: {
        conduction::Shock shock;
        const int after = shockChoice->currentData().toInt();
        if (after >= 0) {
            shock.after = static_cast<LibraryRhythm>(after);
            detail = idText(infoOf(*shock.after).id);
        }
        shock.seed = freshSeed();
        model.defibrillate(shock);
        id = QStringLiteral("defibrillate");
        break;
    }
    case Event::pacing: {
        const conduction::Params target = model.libraryTarget();
        const bool start = target.pacer == conduction::Pacer::none;
        const auto rate = static_cast<int>(
            conduction::liveValue(target, conduction::LiveParameterId::pacingRate));
        const auto output = static_cast<int>(
            conduction::liveValue(target, conduction::LiveParameterId::pacingOutput));
        taken = model.setPacing(start ? conduction::Pacer::ventricular : conduction::Pacer::none,
                                rate, output);
        id = start ? QStringLiteral("pacing_on") : QStringLiteral("pacing_off");
        detail = start ? QStringLiteral("%1/min %2 mA").arg(rate).arg(output) : QString();
        break;
    }
    }
    // An event the rhythm cannot take (a blocked beat in complete block) is logged as refused,
    // so the debrief does not show what never happened.
    note(EntryKind::event, id, taken ? QString() : tr("この波形では起こりません"), detail);
    showParameters();
}

void InstructorConsole::showParameters() {
    parameters->showParameters(live.simulation().libraryTarget());
    eventButtons[3]->setText(eventText(Event::pacing));
    const std::optional<Rhythm> rhythm = live.simulation().rhythm();
    playingLabel->setText(
        rhythm ? tr("再生中: %1").arg(rhythmName(*rhythm, LanguageManager::instance().language()))
               : QString());
    fillRhythms();
}

// A step sets only the vitals it names; the others stay as the room last saw them, an NIBP
// with its growing age, as a cuff's last reading stays on a monitor until the next one. A run's
// first step starts from none, so a new patient never shows the last one's pressure.
void InstructorConsole::applyVitals(const scenario::Step& step) {
    const scenario::Vitals& set = step.vitals;
    const bool first = scenarios->runner()->currentStep() == 0;
    ScenarioVitals next = first ? ScenarioVitals{} : live.scenarioVitals();
    if (set.spo2) {
        next.saturation = set.spo2;
    }
    if (set.systolic && set.diastolic) {
        next.bloodPressure = BloodPressure{*set.systolic, *set.diastolic, std::nullopt};
    }
    if (set.respirationRate) {
        next.respirationRate = set.respirationRate;
    }
    live.setScenarioVitals(next);
}

void InstructorConsole::beginClass() {
    const std::optional<Rhythm> rhythm = live.simulation().rhythm();
    live.renewModel();
    classBase = live.simulation().tickCount;
    Simulation& model = live.simulation();
    model.onLive = [this, &model](const LiveAction& action) {
        advanceClass();
        classView->host()->mirror(action, model);
    };
    live.select(rhythm, freshSeed());
    if (isFrozen()) {
        classView->host()->freeze(true);
    }
    note(EntryKind::note, tr("授業開始"), classView->host()->code());
    showParameters();
}

void InstructorConsole::endClass() {
    live.simulation().onLive = nullptr;
    note(EntryKind::note, tr("授業終了"));
}

void InstructorConsole::advanceClass() {
    if (classView->hosting()) {
        classView->host()->advanceTo(live.simulation().tickCount - classBase);
    }
}

void InstructorConsole::setFrozen(bool frozen) {
    const bool changed = frozen != live.isPaused();
    if (changed && classView->hosting()) {
        advanceClass();
        classView->host()->freeze(frozen);
    }
    live.setPaused(frozen);
    shared->showFrozen(frozen);
    freezeButton->setText(frozen ? tr("再開 (F)") : tr("全員の画面を一時停止 (F)"));
    for (std::size_t i = 0; i < eventButtons.size(); ++i) {
        eventButtons[i]->setText(eventText(static_cast<Event>(i)));
    }
    if (changed) {
        note(frozen ? EntryKind::freeze : EntryKind::resume, QString());
    }
    showReadings();
}

void InstructorConsole::showReadings() {
    heartRateValue->setText(readingText(live.heartRate().rate()));
    entered.show(live);
    const auto ramp = live.simulation().libraryRamp();
    rampLabel->setText(
        ramp ? tr("移行中: %1 %")
                   .arg(static_cast<int>(ramp->fraction(live.simulation().tickCount) * 100))
             : QString());
    scenarios->showProgress();
    if (debriefView->shownRows() != static_cast<int>(debrief.entries().size())) {
        debriefView->refresh();
    }
    if (projectorWindow) {
        projectorWindow->showReadings();
    }
}

void InstructorConsole::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fitToScreen(this);
    clock.start();
}

void InstructorConsole::closeEvent(QCloseEvent* event) {
    clock.stop();
    closeProjector();
    Settings().setInstructorValue(Settings::consoleGeometryKey, saveGeometry());
    QWidget::closeEvent(event);
}

void InstructorConsole::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange && rhythmList != nullptr) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

} // namespace pulsavo
