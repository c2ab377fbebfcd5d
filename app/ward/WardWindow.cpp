#include "WardWindow.h"

#include "AlarmTone.h"
#include "CatalogueText.h"
#include "LanguageManager.h"
#include "MonitorActions.h"
#include "MonitorText.h"
#include "ScopePanel.h"
#include "Settings.h"
#include "WindowFit.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

namespace pulsavo {

namespace {

constexpr int rhythmRole = Qt::UserRole;
constexpr int kindRole = Qt::UserRole;

// The rhythms a ward monitor is shown: the library first (it holds the arrest rhythms and
// those defined by the pulse), then the classic 18.
std::vector<Rhythm> wardRhythms() {
    std::vector<Rhythm> rhythms;
    rhythms.reserve(totalRhythmCount);
    for (const LibraryRhythm library : allLibraryRhythms) {
        rhythms.push_back(rhythmOf(library));
    }
    rhythms.insert(rhythms.end(), allRhythms.begin(), allRhythms.end());
    return rhythms;
}

QString prefixOf(AlarmPriority priority) {
    switch (priority) {
    case AlarmPriority::high:
        return QStringLiteral("!!! ");
    case AlarmPriority::medium:
        return QStringLiteral("!! ");
    case AlarmPriority::low:
        break;
    }
    return QStringLiteral("! ");
}

// High red, medium yellow, low cyan, as IEC 60601-1-8 colours its alarm lights. Flashing
// swaps the colour between background and text, so the alarm stays readable when unlit.
QString bannerStyle(std::optional<AlarmPriority> priority, bool lit) {
    if (!priority) {
        return QStringLiteral("background: black; color: black;");
    }
    QString colour = QStringLiteral("#00c8ff");
    QString text = QStringLiteral("black");
    if (*priority == AlarmPriority::high) {
        colour = QStringLiteral("#e00000");
        text = QStringLiteral("white");
    } else if (*priority == AlarmPriority::medium) {
        colour = QStringLiteral("#ffd800");
    }
    return lit ? QStringLiteral("background: %1; color: %2;").arg(colour, text)
               : QStringLiteral("background: black; color: %1;").arg(colour);
}

QString formatLimits(const AlarmLimits& limits) {
    return QStringLiteral("%1,%2,%3,%4,%5")
        .arg(limits.heartRateLow)
        .arg(limits.heartRateHigh)
        .arg(limits.extremeLow)
        .arg(limits.extremeHigh)
        .arg(limits.saturationLow);
}

// Limits as formatLimits wrote them; the defaults for anything else, so a damaged setting
// cannot leave the monitor with an alarm that never or always sounds.
AlarmLimits parseLimits(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    AlarmLimits limits;
    if (parts.size() != 5) {
        return limits;
    }
    std::array<int, 5> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        bool ok = false;
        values[i] = parts[static_cast<qsizetype>(i)].toInt(&ok);
        if (!ok) {
            return limits;
        }
    }
    const AlarmLimits read{values[0], values[1], values[2], values[3], values[4]};
    const bool ordered = read.extremeLow >= 20 && read.extremeLow <= read.heartRateLow &&
                         read.heartRateLow < read.heartRateHigh &&
                         read.heartRateHigh <= read.extremeHigh && read.extremeHigh <= 300 &&
                         read.saturationLow >= 50 && read.saturationLow <= 100;
    return ordered ? read : limits;
}

} // namespace

WardWindow::WardWindow(std::unique_ptr<ToneSink> beat, std::unique_ptr<AlarmSink> alarm,
                       QWidget* parent)
    : QWidget(parent, Qt::Window), ward(defaultPanelWidth, defaultPanelHeight),
      beatTone(beat ? std::move(beat) : std::make_unique<BeatTone>()),
      alarmTone(alarm ? std::move(alarm) : std::make_unique<AlarmTone>()) {
    setObjectName(QStringLiteral("wardWindow"));
    ward.setWard(true);
    ward.setToneMode(Monitor::ToneMode::qrs);
    MonitorActions::wireTone(ward, [this] { return beatTone.get(); });

    // The monitor keeps its place at any scale; the controls beside it scroll on their own
    // when the window is too short for them, and never sideways.
    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(4, 4, 4, 4);
    root->addWidget(buildMonitorArea(this), 1);
    auto* side = new QScrollArea(this);
    side->setObjectName(QStringLiteral("wardControls"));
    side->setWidgetResizable(true);
    side->setFrameShape(QFrame::NoFrame);
    side->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QWidget* controls = buildControls(side);
    side->setWidget(controls);
    // No wider than the controls need, and narrower at a large scale: the trace has the rest.
    side->setFixedWidth(std::clamp(controls->sizeHint().width(),
                                   controls->minimumSizeHint().width(), maxControlsWidth) +
                        side->verticalScrollBar()->sizeHint().width());
    root->addWidget(side);

    connect(rhythmList, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item != nullptr) {
            const auto rhythm = anyRhythmAt(item->data(rhythmRole).toInt());
            if (rhythm && rhythm != playing) {
                play(*rhythm, QRandomGenerator::global()->generate());
            }
        }
    });
    clock.add(&ward);
    connect(&clock, &MonitorClock::advanced, this, &WardWindow::showReadings);

    loadSettings();
    retranslate();
    showReadings();
}

WardWindow::~WardWindow() {
    clock.stop();
    alarmTone->stop();
}

QWidget* WardWindow::buildMonitorArea(QWidget* page) {
    auto* area = new QWidget(page);
    area->setObjectName(QStringLiteral("wardMonitorArea"));
    area->setAutoFillBackground(true);
    QPalette black = area->palette();
    black.setColor(QPalette::Window, Qt::black);
    area->setPalette(black);
    // Everything in rows beside the traces, not under them: at 200 % on a short screen the
    // monitor keeps its whole height without scrolling.
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);

    alarmBanner = monitorText(QStringLiteral("black"), 16, area);
    alarmBanner->setObjectName(QStringLiteral("alarmBanner"));
    alarmBanner->setMinimumHeight(alarmBanner->fontMetrics().height() + 8);
    alarmBanner->setAlignment(Qt::AlignCenter);
    silenceButton = new QPushButton(area);
    silenceButton->setObjectName(QStringLiteral("silenceButton"));
    silenceLabel = monitorText(QStringLiteral("#ffd800"), 11, area);
    silenceLabel->setObjectName(QStringLiteral("silenceLabel"));
    soundNotice = monitorText(QStringLiteral("#c0c0c0"), 9, area);
    soundNotice->setWordWrap(true);
    soundNotice->hide();
    auto* top = new QHBoxLayout;
    top->addWidget(alarmBanner, 1);
    top->addWidget(soundNotice);
    top->addWidget(silenceLabel);
    top->addWidget(silenceButton);
    column->addLayout(top);
    connect(silenceButton, &QPushButton::clicked, this, &WardWindow::silenceAlarms);

    ecgLabel = monitorText(QStringLiteral("#00ff00"), 10, area);
    plethLabel = monitorText(QStringLiteral("#00c8ff"), 10, area);
    ecgPanel = new ScopePanel(area);
    plethPanel = new ScopePanel(area);
    ecgPanel->setObjectName(QStringLiteral("wardEcg"));
    plethPanel->setObjectName(QStringLiteral("wardPleth"));
    // The ECG as high as the classic panel, so its trace has the same vertical geometry.
    ecgPanel->setFixedHeight(defaultPanelHeight);
    plethPanel->setFixedHeight(plethHeight);
    for (ScopePanel* panel : {ecgPanel, plethPanel}) {
        panel->setPalette(black);
        panel->setMinimumWidth(240);
        panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    auto* traces = new QGridLayout;
    traces->setSpacing(4);
    traces->addWidget(ecgLabel, 0, 0, Qt::AlignTop);
    traces->addWidget(ecgPanel, 0, 1);
    traces->addWidget(plethLabel, 1, 0, Qt::AlignTop);
    traces->addWidget(plethPanel, 1, 1);
    auto* middle = new QHBoxLayout;
    middle->addLayout(traces, 1);

    auto* numerics = new QVBoxLayout;
    numerics->setSpacing(2);
    heartRateCaption = monitorText(QStringLiteral("#00ff00"), 11, area);
    heartRateValue = monitorText(QStringLiteral("#00ff00"), 44, area);
    heartRateValue->setObjectName(QStringLiteral("heartRateValue"));
    saturationCaption = monitorText(QStringLiteral("#00c8ff"), 11, area);
    saturationValue = monitorText(QStringLiteral("#00c8ff"), 36, area);
    saturationValue->setObjectName(QStringLiteral("saturationValue"));
    for (QLabel* value : {heartRateValue, saturationValue}) {
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("888")));
    }
    // What a scenario sets rather than the monitor measures: smaller, side by side under the
    // SpO2.
    entered = EnteredLabels::create(area, QStringLiteral("pressureValue"),
                                    QStringLiteral("respirationValue"));
    numerics->addWidget(heartRateCaption);
    numerics->addWidget(heartRateValue);
    numerics->addStretch(1);
    numerics->addWidget(saturationCaption);
    numerics->addWidget(saturationValue);
    auto* enteredGrid = new QGridLayout;
    enteredGrid->setSpacing(2);
    enteredGrid->addWidget(entered.pressureCaption, 0, 0, Qt::AlignBottom);
    enteredGrid->addWidget(entered.respirationCaption, 0, 1, Qt::AlignBottom | Qt::AlignRight);
    enteredGrid->addWidget(entered.pressureValue, 1, 0);
    enteredGrid->addWidget(entered.respirationValue, 1, 1, Qt::AlignRight);
    numerics->addLayout(enteredGrid);
    middle->addLayout(numerics);
    column->addLayout(middle);
    column->addStretch(1);

    ecgPanel->attach(ward);
    plethPanel->attachPleth(ward);
    return area;
}

QWidget* WardWindow::buildControls(QWidget* page) {
    auto* inner = new QWidget(page);
    auto* column = new QVBoxLayout(inner);
    column->setContentsMargins(0, 0, 0, 0);
    rhythmLabel = new QLabel(inner);
    rhythmList = new QListWidget(inner);
    rhythmList->setObjectName(QStringLiteral("wardRhythms"));
    rhythmList->setMinimumHeight(rhythmList->fontMetrics().height() * 6);
    rhythmList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rhythmList->setTextElideMode(Qt::ElideRight);
    rhythmLabel->setBuddy(rhythmList);
    column->addWidget(rhythmLabel);
    column->addWidget(rhythmList, 1);
    column->addSpacing(8);

    artifactTitle = new QLabel(inner);
    artifactKind = new QComboBox(inner);
    artifactKind->setObjectName(QStringLiteral("artifactKind"));
    for (const ArtifactKind kind : allArtifactKinds) {
        artifactKind->addItem(QString(), static_cast<int>(kind));
    }
    artifactTitle->setBuddy(artifactKind);
    artifactStrength = new QSpinBox(inner);
    artifactStrength->setObjectName(QStringLiteral("artifactStrength"));
    artifactStrength->setRange(1, Artifact::maxStrength);
    artifactStrength->setValue(Artifact::defaultStrength);
    addArtifact = new QPushButton(inner);
    addArtifact->setObjectName(QStringLiteral("addArtifact"));
    artifactList = new QListWidget(inner);
    artifactList->setObjectName(QStringLiteral("artifactList"));
    artifactList->setMaximumHeight(artifactList->fontMetrics().height() * 7);
    removeArtifact = new QPushButton(inner);
    removeArtifact->setObjectName(QStringLiteral("removeArtifact"));
    auto* adding = new QHBoxLayout;
    adding->addWidget(artifactKind, 1);
    adding->addWidget(artifactStrength);
    column->addWidget(artifactTitle);
    column->addLayout(adding);
    column->addWidget(addArtifact);
    column->addWidget(artifactList);
    column->addWidget(removeArtifact);
    connect(addArtifact, &QPushButton::clicked, this, [this] {
        setArtifact(static_cast<ArtifactKind>(artifactKind->currentData().toInt()),
                    artifactStrength->value());
    });
    connect(removeArtifact, &QPushButton::clicked, this, [this] {
        if (const QListWidgetItem* item = artifactList->currentItem()) {
            setArtifact(static_cast<ArtifactKind>(item->data(kindRole).toInt()), 0);
        }
    });

    limitsTitle = new QLabel(inner);
    auto* form = new QFormLayout;
    const auto limitBox = [inner](int lo, int hi, const char* name) {
        auto* box = new QSpinBox(inner);
        box->setRange(lo, hi);
        box->setObjectName(QLatin1String(name));
        return box;
    };
    lowLimit = limitBox(25, 150, "heartRateLow");
    highLimit = limitBox(60, 250, "heartRateHigh");
    extremeLowLimit = limitBox(20, 150, "extremeLow");
    extremeHighLimit = limitBox(60, 300, "extremeHigh");
    saturationLowLimit = limitBox(50, 99, "saturationLow");
    lowCaption = new QLabel(inner);
    highCaption = new QLabel(inner);
    extremeLowCaption = new QLabel(inner);
    extremeHighCaption = new QLabel(inner);
    saturationLowCaption = new QLabel(inner);
    form->addRow(lowCaption, lowLimit);
    form->addRow(highCaption, highLimit);
    form->addRow(extremeLowCaption, extremeLowLimit);
    form->addRow(extremeHighCaption, extremeHighLimit);
    form->addRow(saturationLowCaption, saturationLowLimit);
    column->addSpacing(8);
    column->addWidget(limitsTitle);
    column->addLayout(form);
    for (QSpinBox* box :
         {lowLimit, highLimit, extremeLowLimit, extremeHighLimit, saturationLowLimit}) {
        connect(box, &QSpinBox::editingFinished, this, &WardWindow::limitsEdited);
    }
    return inner;
}

QString WardWindow::alarmName(Alarm alarm) {
    switch (alarm) {
    case Alarm::asystole:
        return tr("心静止");
    case Alarm::ventricularFibrillation:
        return tr("心室細動");
    case Alarm::ventricularTachycardia:
        return tr("心室頻拍");
    case Alarm::extremeBradycardia:
        return tr("高度徐脈");
    case Alarm::extremeTachycardia:
        return tr("高度頻脈");
    case Alarm::heartRateLow:
        return tr("心拍数 下限");
    case Alarm::heartRateHigh:
        return tr("心拍数 上限");
    case Alarm::saturationLow:
        return tr("SpO2 下限");
    case Alarm::leadOff:
        return tr("リードオフ");
    case Alarm::noise:
        break;
    }
    return tr("ノイズ");
}

QString WardWindow::artifactLabel(ArtifactKind kind) {
    switch (kind) {
    case ArtifactKind::wander:
        return tr("基線の揺れ(呼吸)");
    case ArtifactKind::tremor:
        return tr("筋電図(ふるえ)");
    case ArtifactKind::mains:
        return tr("交流障害");
    case ArtifactKind::motion:
        return tr("体動(電極の動き)");
    case ArtifactKind::leadOff:
        return tr("リードオフ");
    case ArtifactKind::cpr:
        break;
    }
    return tr("胸骨圧迫(CPR)");
}

void WardWindow::retranslate() {
    setWindowTitle(tr("病棟モニター"));
    rhythmLabel->setText(tr("波形(&W)"));
    ecgLabel->setText(tr("ECG II"));
    plethLabel->setText(tr("Pleth"));
    heartRateCaption->setText(tr("HR /分"));
    heartRateValue->setToolTip(
        tr("心拍数: R 波ごとに直近 4 拍の R–R 間隔の平均から算出します。心室細動、心静止(4 秒 QRS "
           "なし)、リードオフでは --- と表示します。"));
    saturationCaption->setText(tr("SpO2 %"));
    saturationValue->setToolTip(tr("脈波が 10 秒見えないと --- と表示します。"));
    silenceButton->setText(tr("アラーム消音(&S)"));
    silenceButton->setToolTip(
        tr("アラーム音を 2 分間止めます。新しいアラームが出ると再び鳴ります。"));
    soundNotice->setText(tr("アラーム音を出せません(出力装置なし)"));
    artifactTitle->setText(tr("アーチファクト(&A)"));
    for (int i = 0; i < artifactKind->count(); ++i) {
        artifactKind->setItemText(
            i, artifactLabel(static_cast<ArtifactKind>(artifactKind->itemData(i).toInt())));
    }
    artifactStrength->setToolTip(tr("強さ(1–10)"));
    addArtifact->setText(tr("重ねる"));
    removeArtifact->setText(tr("外す"));
    limitsTitle->setText(tr("アラーム設定"));
    lowCaption->setText(tr("心拍数 下限"));
    highCaption->setText(tr("心拍数 上限"));
    extremeLowCaption->setText(tr("高度徐脈"));
    extremeHighCaption->setText(tr("高度頻脈"));
    saturationLowCaption->setText(tr("SpO2 下限"));
    fillRhythms();
    fillArtifactList();
    showReadings();
}

void WardWindow::fillRhythms() {
    const QSignalBlocker quiet(rhythmList);
    rhythmList->clear();
    const catalogue::Language language = LanguageManager::instance().language();
    for (const Rhythm rhythm : wardRhythms()) {
        auto* item = new QListWidgetItem(rhythmName(rhythm, language), rhythmList);
        item->setData(rhythmRole, indexOf(rhythm));
        if (rhythm == playing) {
            rhythmList->setCurrentItem(item);
        }
    }
}

void WardWindow::fillArtifactList() {
    artifactList->clear();
    for (const ArtifactKind kind : allArtifactKinds) {
        const int strength = ward.simulation().artifactLayer().strength(kind);
        if (strength > 0) {
            auto* item = new QListWidgetItem(
                tr("%1  強さ %2").arg(artifactLabel(kind)).arg(strength), artifactList);
            item->setData(kindRole, static_cast<int>(kind));
        }
    }
    removeArtifact->setEnabled(artifactList->count() > 0);
}

void WardWindow::play(Rhythm rhythm, std::uint32_t seed) {
    playing = rhythm;
    ward.select(rhythm, seed);
    for (int i = 0; i < rhythmList->count(); ++i) {
        if (rhythmList->item(i)->data(rhythmRole).toInt() == indexOf(rhythm)) {
            const QSignalBlocker quiet(rhythmList);
            rhythmList->setCurrentRow(i);
        }
    }
    ecgPanel->setDescription(rhythmName(rhythm, LanguageManager::instance().language()));
    saveSettings();
}

void WardWindow::setArtifact(ArtifactKind kind, int strength) {
    ward.simulation().setArtifact(kind, strength);
    fillArtifactList();
    saveSettings();
}

void WardWindow::setLimits(const AlarmLimits& limits) {
    ward.alarms().setLimits(limits);
    for (const auto& [box, value] :
         {std::pair{lowLimit, limits.heartRateLow}, std::pair{highLimit, limits.heartRateHigh},
          std::pair{extremeLowLimit, limits.extremeLow},
          std::pair{extremeHighLimit, limits.extremeHigh},
          std::pair{saturationLowLimit, limits.saturationLow}}) {
        const QSignalBlocker quiet(box);
        box->setValue(value);
    }
    saveSettings();
}

// Limits that contradict each other are not taken: the boxes go back to the limits in force.
void WardWindow::limitsEdited() {
    const AlarmLimits edited{lowLimit->value(), highLimit->value(), extremeLowLimit->value(),
                             extremeHighLimit->value(), saturationLowLimit->value()};
    setLimits(parseLimits(formatLimits(edited)) == edited ? edited : ward.alarms().currentLimits());
}

bool WardWindow::setVitals(const ScenarioVitals& vitals) {
    const bool taken = ward.setScenarioVitals(vitals);
    showReadings();
    return taken;
}

void WardWindow::silenceAlarms() {
    ward.alarms().silence();
    showReadings();
}

QString WardWindow::heartRateText() const {
    return heartRateValue->text();
}

QString WardWindow::alarmText() const {
    return alarmBanner->text();
}

void WardWindow::showReadings() {
    const HeartRateMeter& meter = ward.heartRate();
    heartRateValue->setText(readingText(meter.rate()));
    const std::optional<int> saturation = ward.simulation().plethChannel().saturation();
    saturationValue->setText(readingText(saturation));

    entered.show(ward);

    const Alarms& alarms = ward.alarms();
    QStringList shown;
    for (const AlarmPriority priority :
         {AlarmPriority::high, AlarmPriority::medium, AlarmPriority::low}) {
        for (int i = 0; i < alarmCount; ++i) {
            const auto alarm = static_cast<Alarm>(i);
            if (alarms.shows(alarm) && infoOf(alarm).priority == priority) {
                shown << prefixOf(priority) + alarmName(alarm);
            }
        }
    }
    alarmBanner->setText(shown.join(QStringLiteral("   ")));
    const std::optional<AlarmPriority> top = alarms.highest();
    // A new style sheet costs a restyle of the label: set only when the light changes.
    const QString style = bannerStyle(top, top && lampLit(*top, ward.tickCount()));
    if (alarmBanner->styleSheet() != style) {
        alarmBanner->setStyleSheet(style);
    }

    const int left = (alarms.silencedTicks() + ticksPerSecond - 1) / ticksPerSecond;
    silenceLabel->setText(
        alarms.silenced()
            ? tr("消音中 %1:%2").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0'))
            : QString());
    silenceButton->setEnabled(alarms.any());
    follower.follow(alarms, *alarmTone);
    soundNotice->setVisible(!alarmTone->audible());
}

void WardWindow::loadSettings() {
    const Settings stored;
    const QString id = stored.wardText(Settings::wardRhythmKey);
    const std::optional<Rhythm> rhythm = parseRhythmId(id.toStdString());
    const QStringList layers =
        stored.wardText(Settings::wardArtifactKey).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& layer : layers) {
        const auto kind = parseArtifactKind(layer.section(QLatin1Char(':'), 0, 0).toStdString());
        bool ok = false;
        const int strength = layer.section(QLatin1Char(':'), 1).toInt(&ok);
        if (kind && ok) {
            ward.simulation().setArtifact(*kind, strength);
        }
    }
    setLimits(parseLimits(stored.wardText(Settings::wardLimitsKey)));
    play(rhythm.value_or(rhythmOf(LibraryRhythm::sinusRhythm)),
         QRandomGenerator::global()->generate());
    if (!restoreGeometry(stored.wardGeometry())) {
        resize(1180, 600);
    }
}

void WardWindow::saveSettings() const {
    Settings stored;
    if (playing) {
        stored.setWardText(Settings::wardRhythmKey, QString::fromStdString(rhythmId(*playing)));
    }
    QStringList layers;
    for (const ArtifactKind kind : allArtifactKinds) {
        const int strength = ward.simulation().artifactLayer().strength(kind);
        if (strength > 0) {
            layers << QStringLiteral("%1:%2")
                          .arg(QString::fromUtf8(artifactName(kind).data(),
                                                 static_cast<qsizetype>(artifactName(kind).size())))
                          .arg(strength);
        }
    }
    stored.setWardText(Settings::wardArtifactKey, layers.join(QLatin1Char(',')));
    stored.setWardText(Settings::wardLimitsKey, formatLimits(ward.alarms().currentLimits()));
}

void WardWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fitToScreen(this);
    clock.start();
}

void WardWindow::closeEvent(QCloseEvent* event) {
    clock.stop();
    follower.reset();
    alarmTone->stop();
    Settings().setWardGeometry(saveGeometry());
    QWidget::closeEvent(event);
}

void WardWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange && rhythmList != nullptr) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

} // namespace pulsavo
