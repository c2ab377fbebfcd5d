#include "InstructorConsole.h"

#include "CatalogueText.h"
#include "LanguageManager.h"
#include "MonitorActions.h"
#include "MonitorText.h"
#include "ProjectorWindow.h"
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
#include <QTabWidget>
#include <QVBoxLayout>

namespace pulsavo {

namespace {

constexpr int rhythmRole = Qt::UserRole;
constexpr int plethHeight = 72;

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

    auto* root = new QHBoxLayout(this);
    auto* chooser = new QVBoxLayout;
    rhythmLabel = new QLabel(this);
    rhythmList = new QListWidget(this);
    rhythmList->setObjectName(QStringLiteral("consoleRhythms"));
    rhythmList->setMinimumWidth(150);
    rhythmLabel->setBuddy(rhythmList);
    chooser->addWidget(rhythmLabel);
    chooser->addWidget(rhythmList);
    root->addLayout(chooser, 2);
    root->addWidget(buildMonitorArea(this), 6);
    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("consoleTabs"));
    projectorTab = buildProjectorTab(tabs);
    tabs->addTab(projectorTab, QString());
    root->addWidget(tabs, 4);

    connect(rhythmList, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (const auto rhythm = anyRhythmAt(item->data(rhythmRole).toInt())) {
            play(*rhythm, QRandomGenerator::global()->generate());
        }
    });
    clock.add(&live);
    connect(&clock, &MonitorClock::advanced, this, &InstructorConsole::showReadings);

    const Settings stored;
    if (!restoreGeometry(stored.instructorValue(Settings::consoleGeometryKey).toByteArray())) {
        resize(1280, 560);
    }
    retranslate();
    play(rhythmOf(LibraryRhythm::sinusRhythm), QRandomGenerator::global()->generate());
}

InstructorConsole::~InstructorConsole() {
    clock.stop();
    delete projectorWindow.data();
}

QWidget* InstructorConsole::buildMonitorArea(QWidget* page) {
    auto* area = new QWidget(page);
    area->setObjectName(QStringLiteral("consoleMonitorArea"));
    area->setAutoFillBackground(true);
    QPalette black = area->palette();
    black.setColor(QPalette::Window, Qt::black);
    area->setPalette(black);
    auto* column = new QVBoxLayout(area);
    auto* middle = new QHBoxLayout;
    ecg = new ScopePanel(area);
    pleth = new ScopePanel(area);
    ecg->setObjectName(QStringLiteral("consoleEcg"));
    pleth->setObjectName(QStringLiteral("consolePleth"));
    // The panel keeps the classic geometry: one column a tick, so the projector scales a
    // picture whose time and voltage scales every other window shares.
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
    numerics->addWidget(heartRateCaption);
    numerics->addWidget(heartRateValue);
    numerics->addStretch(1);
    middle->addLayout(numerics);
    column->addLayout(middle);

    freezeButton = new QPushButton(area);
    freezeButton->setObjectName(QStringLiteral("consoleFreeze"));
    connect(freezeButton, &QPushButton::clicked, this, [this] { setFrozen(!isFrozen()); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(freezeButton);
    buttons->addStretch(1);
    column->addLayout(buttons);
    column->addStretch(1);

    ecg->attach(live);
    pleth->attachPleth(live);
    return area;
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
        const auto theme = ProjectorWindow::parseTheme(themeChoice->currentData().toString());
        if (projectorWindow) {
            projectorWindow->setTheme(theme);
        } else {
            Settings().setInstructorValue(Settings::projectorThemeKey,
                                          ProjectorWindow::themeName(theme));
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
        // The console's shortcuts work while the projector has the focus.
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
    projectorButton->setText(tr("投影を閉じる(&O)"));
    return projectorWindow;
}

ProjectorWindow* InstructorConsole::projector() const {
    return projectorWindow.data();
}

void InstructorConsole::closeProjector() {
    if (projectorWindow) {
        projectorWindow->close();
    }
}

void InstructorConsole::retranslate() {
    setWindowTitle(tr("インストラクター"));
    rhythmLabel->setText(tr("波形(&W)"));
    heartRateCaption->setText(tr("HR /分"));
    tabs->setTabText(tabs->indexOf(projectorTab), tr("投影"));
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
    for (const LibraryRhythm library : allLibraryRhythms) {
        const Rhythm rhythm = rhythmOf(library);
        auto* item = new QListWidgetItem(rhythmName(rhythm, language), rhythmList);
        item->setData(rhythmRole, indexOf(rhythm));
        if (rhythm == playing) {
            rhythmList->setCurrentItem(item);
        }
    }
}

void InstructorConsole::play(Rhythm rhythm, std::uint32_t seed) {
    playing = rhythm;
    live.select(rhythm, seed);
    for (int i = 0; i < rhythmList->count(); ++i) {
        if (rhythmList->item(i)->data(rhythmRole).toInt() == indexOf(rhythm)) {
            const QSignalBlocker quiet(rhythmList);
            rhythmList->setCurrentRow(i);
        }
    }
}

void InstructorConsole::setFrozen(bool frozen) {
    live.setPaused(frozen);
    shared->showFrozen(frozen);
    freezeButton->setText(frozen ? tr("再開 (F)") : tr("全員の画面を一時停止 (F)"));
    showReadings();
}

void InstructorConsole::showReadings() {
    const std::optional<int> rate = live.heartRate().rate();
    heartRateValue->setText(readingText(rate));
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
