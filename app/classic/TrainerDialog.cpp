#include "TrainerDialog.h"
#include "Settings.h"

#include "AboutDialog.h"
#include "CaliperOverlay.h"
#include "Catalogue.h"
#include "CatalogueText.h"
#include "GradebookWindow.h"
#include "HighlightChoice.h"
#include "InstructorConsole.h"
#include "LadderPanel.h"
#include "LanguageManager.h"
#include "MonitorActions.h"
#include "PracticeWindow.h"
#include "ProgressWindow.h"
#include "Resources.h"
#include "RhythmLibrary.h"
#include "ScopePanel.h"
#include "StripSaving.h"
#include "WardWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <ctime>
#include <utility>

namespace pulsavo {

namespace {

// The box hands its lines back joined by LF; the fields keep the catalogue's CR LF.
QString withCrLf(QString text) {
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

const QString qrsToneValue = QStringLiteral("qrs");

catalogue::Language currentLanguage() {
    return LanguageManager::instance().language();
}

// A label keeps its place; a translation longer than the template's width widens it to the
// right, over the empty space there, rather than being cut off.
void fitLabel(QLabel* label, const QRect& place) {
    label->resize(std::max(place.width(), label->sizeHint().width()), place.height());
}

QLabel* makeLabel(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// A single-selection list box: only the left button selects, and once a rhythm is chosen the
// user cannot empty the selection (Ctrl+click and Ctrl+Space would otherwise toggle it off).
class RhythmList : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            QListWidget::mousePressEvent(event);
        }
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            QListWidget::mouseReleaseEvent(event);
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            QListWidget::mouseDoubleClickEvent(event);
        }
    }
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, event);
        if (flags.testFlag(QItemSelectionModel::Toggle) ||
            flags.testFlag(QItemSelectionModel::Deselect)) {
            flags = QItemSelectionModel::ClearAndSelect;
        }
        return flags;
    }
};

} // namespace

TrainerDialog::Layout TrainerDialog::layoutFor(const DialogUnits& units) {
    Layout layout;
    layout.dialog = QSize(units.x(354), units.y(262));
    layout.closeButton = units.rect(101, 237, 30, 18);
    layout.nameEdit = units.rect(114, 6, 132, 12);
    layout.explanationEdit = units.rect(138, 120, 210, 110);
    layout.scopePanel = units.rect(6, 24, 342, 78);
    layout.rhythmList = units.rect(6, 120, 126, 110);
    layout.decideButton = units.rect(7, 237, 90, 18);
    layout.selectionLabel = units.rect(48, 108, 31, 8);
    layout.explanationLabel = units.rect(228, 108, 16, 8);

    const int shortfall = minimumScopeHeight - layout.scopePanel.height();
    if (shortfall > 0) {
        layout.scopePanel.setHeight(layout.scopePanel.height() + shortfall);
        layout.dialog.rheight() += shortfall;
        for (QRect* below :
             {&layout.closeButton, &layout.explanationEdit, &layout.rhythmList,
              &layout.decideButton, &layout.selectionLabel, &layout.explanationLabel}) {
            below->translate(0, shortfall);
        }
    }
    return layout;
}

TrainerDialog::TrainerDialog(std::unique_ptr<ToneSink> toneSink, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      seedSource([] { return static_cast<std::uint32_t>(std::time(nullptr)); }),
      tone(std::move(toneSink)) {
    initResources();
    setObjectName(QStringLiteral("trainerDialog"));
    setWindowTitle(QStringLiteral("Pulsavo"));
    setFont(dialogFont(11));
    if (!tone) {
        tone = std::make_unique<BeatTone>();
    }
    buildControls();
    initDialog();
}

// The practice window, a child, goes first and without telling the dialog: its going gives the
// classic monitor back its sweep, which a dialog half destroyed no longer has.
TrainerDialog::~TrainerDialog() {
    if (practice) {
        practice->disconnect(this);
        delete practice.data();
    }
}

void TrainerDialog::buildControls() {
    const Layout layout = layoutFor(DialogUnits::forFont(font()));
    templateLayout = layout;

    closeButton = new QPushButton(tr("閉じる"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setDefault(true);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("nameEdit"));
    nameEdit->setAlignment(Qt::AlignCenter);
    nameEdit->setReadOnly(true);
    nameEdit->setFocusPolicy(Qt::ClickFocus);

    explanationEdit = new QPlainTextEdit(this);
    explanationEdit->setObjectName(QStringLiteral("explanationEdit"));
    explanationEdit->setReadOnly(true);
    explanationEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    explanationEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    explanationEdit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    explanationEdit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    explanationEdit->setFocusPolicy(Qt::ClickFocus);
    explanationEdit->setTabChangesFocus(true);
    // The style shows no focus on a read-only text box; while it has the focus (F6), a ring
    // shows where it went.
    auto* explanationFocus = new QFocusFrame(this);
    explanationFocus->setObjectName(QStringLiteral("explanationFocus"));
    explanationFocus->hide();
    // The box itself, not the dialog, is captured: focus moves while the dialog is destroyed.
    QPlainTextEdit* box = explanationEdit;
    connect(qApp, &QApplication::focusChanged, explanationFocus,
            [box, explanationFocus](QWidget* /*old*/, QWidget* now) {
                explanationFocus->setWidget(now == box ? box : nullptr);
            });

    scopePanel = new ScopePanel(this);
    scopePanel->setObjectName(QStringLiteral("scopePanel"));

    rhythmList = new RhythmList(this);
    rhythmList->setObjectName(QStringLiteral("rhythmList"));
    rhythmList->setSelectionMode(QAbstractItemView::SingleSelection);
    rhythmList->setSortingEnabled(false);
    connect(rhythmList, &QListWidget::itemDoubleClicked, this, &TrainerDialog::onListDoubleClick);

    decideButton = new QPushButton(tr("決定"), this);
    decideButton->setObjectName(QStringLiteral("decideButton"));
    connect(decideButton, &QPushButton::clicked, this, &TrainerDialog::onDecide);

    selectionLabel = makeLabel(tr("波形選択"), "selectionLabel", this);
    explanationLabel = makeLabel(tr("説明"), "explanationLabel", this);

    closeButton->setGeometry(layout.closeButton);
    nameEdit->setGeometry(layout.nameEdit);
    explanationEdit->setGeometry(layout.explanationEdit);
    scopePanel->setGeometry(layout.scopePanel);
    rhythmList->setGeometry(layout.rhythmList);
    decideButton->setGeometry(layout.decideButton);
    selectionLabel->setGeometry(layout.selectionLabel);
    explanationLabel->setGeometry(layout.explanationLabel);
    setFixedSize(layout.dialog);

    // The template's order; only the buttons and the list take the focus by Tab, so from a
    // clicked box Tab goes on to the list and Shift+Tab back to 閉じる.
    setTabOrder(closeButton, nameEdit);
    setTabOrder(nameEdit, explanationEdit);
    setTabOrder(explanationEdit, rhythmList);
    setTabOrder(rhythmList, decideButton);

    // The text boxes show the trainer's menu, not the editor's own, and Enter typed in the
    // explanation box stays there instead of pressing the default button.
    for (QWidget* box : {static_cast<QWidget*>(nameEdit), static_cast<QWidget*>(explanationEdit),
                         explanationEdit->viewport()}) {
        box->installEventFilter(this);
    }
    monitor.setHighlight(HighlightChoice::stored());
    connect(&HighlightChoice::instance(), &HighlightChoice::changed, this,
            [this](Sweep::Highlight style) { monitor.setHighlight(style); });
    connect(&LanguageManager::instance(), &LanguageManager::languageChanged, this,
            &TrainerDialog::retranslate);
}

void TrainerDialog::exchangeData(Direction direction) {
    if (direction == Direction::load) {
        nameEdit->setText(nameText);
        if (selectionText.isEmpty()) {
            rhythmList->clearSelection();
        } else {
            // A library rhythm may share its name with a classic one: the entry already chosen
            // stays chosen.
            const QListWidgetItem* chosen = rhythmList->currentItem();
            const QList<QListWidgetItem*> matches =
                rhythmList->findItems(selectionText, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (!matches.isEmpty() &&
                (chosen == nullptr || chosen->text() != selectionText || !chosen->isSelected())) {
                rhythmList->setCurrentItem(matches.first());
            }
        }
        explanationEdit->setPlainText(explanationText);
    } else {
        nameText = nameEdit->text();
        const QList<QListWidgetItem*> selected = rhythmList->selectedItems();
        selectionText = selected.isEmpty() ? QString() : selected.first()->text();
        explanationText = withCrLf(explanationEdit->toPlainText());
    }
}

bool TrainerDialog::initDialog() {
    exchangeData(Direction::load);
    buildSystemMenu();

    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/pulsavo-monitor-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/pulsavo-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/pulsavo.svg"));
    setWindowIcon(icon);

    for (const Rhythm rhythm : allRhythms) {
        auto* item = new QListWidgetItem(
            catalogueText(catalogue::nameOf(rhythm, currentLanguage())), rhythmList);
        item->setData(rhythmRole, indexOf(rhythm));
    }

    clock.start();

    scopeRect = QRect(QPoint(0, 0), scopePanel->clientRect().size());
    monitor.setPanelSize(scopeRect.width(), scopeRect.height());
    scopePanel->prepare();
    scopePanel->attach(monitor);
    clock.add(&monitor);
    MonitorActions::wireTone(monitor, [this] { return tone.get(); });
    monitor.setEventHistory(true);
    overlay = new CaliperOverlay(scopePanel);
    overlay->setMonitor(&monitor);
    connect(overlay, &CaliperOverlay::changed, this, [this] { checkItem->setEnabled(isFrozen()); });
    {
        const Settings stored;
        setGrid(stored.grid());
        setLadder(stored.classicLadder());
        setLibraryListed(stored.libraryListed());
        setToneMode(stored.toneMode() == qrsToneValue ? Monitor::ToneMode::qrs
                                                      : Monitor::ToneMode::threshold);
    }

    retranslate();
    closeButton->setFocus();
    return true;
}

void TrainerDialog::buildSystemMenu() {
    menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("systemMenu"));
    shared = new MonitorActions(this);
    buildMeasureItems();
    practiceItem = menu->addAction(tr("練習モード(&P)..."));
    practiceItem->setObjectName(QStringLiteral("practiceAction"));
    connect(practiceItem, &QAction::triggered, this, &TrainerDialog::onPractice);
    progressItem = menu->addAction(tr("成績(&R)..."));
    progressItem->setObjectName(QStringLiteral("progressAction"));
    connect(progressItem, &QAction::triggered, this, &TrainerDialog::onProgress);
    gradebookItem = menu->addAction(tr("採点(&B)..."));
    gradebookItem->setObjectName(QStringLiteral("gradebookAction"));
    connect(gradebookItem, &QAction::triggered, this, &TrainerDialog::onGradebook);
    wardItem = menu->addAction(tr("病棟モニター(&W)..."));
    wardItem->setObjectName(QStringLiteral("wardAction"));
    connect(wardItem, &QAction::triggered, this, &TrainerDialog::onWard);
    instructorItem = menu->addAction(tr("インストラクター(&I)..."));
    instructorItem->setObjectName(QStringLiteral("instructorAction"));
    connect(instructorItem, &QAction::triggered, this, &TrainerDialog::onInstructor);
    closeItem = menu->addAction(tr("閉じる(&C)"));
    closeItem->setObjectName(QStringLiteral("closeAction"));
    connect(closeItem, &QAction::triggered, this, &QWidget::close);
    menu->addSeparator();
    about = menu->addAction(tr("バージョン情報 Tavix(&A)..."));
    about->setObjectName(QStringLiteral("aboutAction"));
    connect(about, &QAction::triggered, this, &TrainerDialog::onAbout);

    // New choices go above 閉じる(&C); the separator and the About item stay last.
    menu->insertMenu(practiceItem, shared->languageMenu());
    menu->insertMenu(shared->languageMenu()->menuAction(), shared->highlightMenu());

    saveStripItem = new QAction(menu);
    saveStripItem->setObjectName(QStringLiteral("saveStripAction"));
    connect(saveStripItem, &QAction::triggered, this, &TrainerDialog::onSaveStrip);
    menu->insertAction(practiceItem, saveStripItem);

    libraryItem = new QAction(menu);
    libraryItem->setObjectName(QStringLiteral("libraryAction"));
    libraryItem->setCheckable(true);
    connect(libraryItem, &QAction::toggled, this, &TrainerDialog::setLibraryListed);
    menu->insertAction(practiceItem, libraryItem);
}

QMenu* TrainerDialog::languageMenu() const {
    return shared->languageMenu();
}

QMenu* TrainerDialog::highlightMenu() const {
    return shared->highlightMenu();
}

void TrainerDialog::chooseHighlight(Sweep::Highlight style) {
    HighlightChoice::instance().choose(style);
}

void TrainerDialog::retranslate() {
    const catalogue::Language language = currentLanguage();

    closeButton->setText(tr("閉じる"));
    decideButton->setText(tr("決定"));
    selectionLabel->setText(tr("波形選択"));
    explanationLabel->setText(tr("説明"));
    fitLabel(selectionLabel, templateLayout.selectionLabel);
    fitLabel(explanationLabel, templateLayout.explanationLabel);

    closeItem->setText(tr("閉じる(&C)"));
    about->setText(tr("バージョン情報 Tavix(&A)..."));
    shared->retranslate(isFrozen());
    checkItem->setText(tr("答え合わせ(&K)"));
    gridItem->setText(tr("方眼(&G)"));
    ladderItem->setText(tr("ラダー図(&D)"));
    toneMenu->setTitle(tr("同期音(&S)"));
    thresholdToneItem->setText(tr("従来(&T)"));
    qrsToneItem->setText(tr("QRS 毎(&Q)"));
    saveStripItem->setText(tr("記録紙を保存(&W)..."));
    libraryItem->setText(tr("ライブラリの波形も一覧に出す(&Y)"));
    practiceItem->setText(tr("練習モード(&P)..."));
    progressItem->setText(tr("成績(&R)..."));
    gradebookItem->setText(tr("採点(&B)..."));
    wardItem->setText(tr("病棟モニター(&W)..."));
    instructorItem->setText(tr("インストラクター(&I)..."));

    // The English names are longer than the list is wide: they wrap onto a second line
    // rather than hiding their distinguishing ends behind a horizontal scroll bar. The
    // Japanese names fit on one line, so each entry keeps the one row the template sizes for.
    const bool wrapNames = language != catalogue::Language::japanese;
    rhythmList->setWordWrap(wrapNames);
    rhythmList->setHorizontalScrollBarPolicy(wrapNames ? Qt::ScrollBarAlwaysOff
                                                       : Qt::ScrollBarAsNeeded);
    rhythmList->setResizeMode(wrapNames ? QListView::Adjust : QListView::Fixed);

    // The list keeps each entry's rhythm id and the selection; only the names change.
    for (int row = 0; row < rhythmList->count(); ++row) {
        QListWidgetItem* item = rhythmList->item(row);
        if (const auto rhythm = anyRhythmAt(item->data(rhythmRole).toInt())) {
            item->setText(catalogueText(catalogue::nameOf(*rhythm, language)));
        }
    }
    const QList<QListWidgetItem*> selected = rhythmList->selectedItems();
    selectionText = selected.isEmpty() ? QString() : selected.first()->text();
    if (decided) {
        if (shownRhythm) {
            nameText = catalogueText(catalogue::nameOf(*shownRhythm, language));
            explanationText = catalogueText(catalogue::textOf(*shownRhythm, language));
        } else {
            explanationText = catalogueText(catalogue::noSelectionMessage(language));
        }
        nameEdit->setText(nameText);
        explanationEdit->setPlainText(explanationText);
    }

    closeButton->setAccessibleName(tr("閉じる"));
    closeButton->setAccessibleDescription(tr("トレーナーを終了します"));
    rhythmList->setAccessibleName(tr("波形選択"));
    rhythmList->setAccessibleDescription(
        tr("不整脈の一覧です。選んで「決定」を押すか、ダブルクリックすると、モニターに表示します"));
    decideButton->setAccessibleName(tr("決定"));
    decideButton->setAccessibleDescription(
        tr("選んだ波形をモニターに表示し、その名前と説明を表示します"));
    nameEdit->setAccessibleName(tr("波形名"));
    nameEdit->setAccessibleDescription(tr("モニターに表示している波形の名前"));
    explanationEdit->setAccessibleName(tr("説明"));
    explanationEdit->setAccessibleDescription(
        tr("モニターに表示している波形の説明です。F6 キーでここに移動して読めます"));
    selectionLabel->setAccessibleName(selectionLabel->text());
    selectionLabel->setAccessibleDescription(tr("下の一覧の見出し"));
    explanationLabel->setAccessibleName(explanationLabel->text());
    explanationLabel->setAccessibleDescription(tr("下の説明欄の見出し"));
    overlay->setAccessibleName(tr("キャリパー"));
    overlay->setAccessibleDescription(tr("一時停止したモニターの上でドラッグして間隔を測ります。1 "
                                         "から 4 のキーで測る種類を選びます"));
    if (ladderPanel != nullptr) {
        ladderPanel->setAccessibleName(tr("ラダー図"));
        ladderPanel->setAccessibleDescription(
            tr("心房、房室結節、心室の三段で、各拍の興奮の伝わり方を示します"));
    }
    describeMonitor();
}

QString TrainerDialog::monitorDescription(std::optional<Rhythm> rhythm, int beatInterval,
                                          catalogue::Language language) {
    if (!rhythm) {
        return tr("モニター：波形なし");
    }
    const QString name = catalogueText(catalogue::nameOf(*rhythm, language));
    // Fibrillation, flutter and arrest have no one rate that the beat interval would give; the
    // beat interval belongs to the classic generators, not to the library's conduction model.
    const bool steadyRate = isClassic(*rhythm) && *rhythm != Rhythm::atrialFibrillation &&
                            *rhythm != Rhythm::atrialFlutter &&
                            *rhythm != Rhythm::ventricularFibrillation &&
                            *rhythm != Rhythm::sinusArrest;
    if (steadyRate && beatInterval > 0) {
        const int perMinute = (6000 + beatInterval / 2) / beatInterval;
        return tr("モニター：%1、毎分約 %2 回").arg(name).arg(perMinute);
    }
    return tr("モニター：%1").arg(name);
}

void TrainerDialog::describeMonitor() {
    scopePanel->setDescription(
        monitorDescription(simulation.rhythm(), simulation.beatInterval, currentLanguage()));
}

void TrainerDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange && menu != nullptr) {
        retranslate();
    }
    QDialog::changeEvent(event);
}

// Measuring on the monitor: freeze, paper, check and the tone's mode, ahead of the close item.
void TrainerDialog::buildMeasureItems() {
    menu->addAction(shared->freezeAction());
    connect(shared, &MonitorActions::freezeToggled, this, [this] { setFrozen(!isFrozen()); });

    checkItem = menu->addAction(tr("答え合わせ(&K)"));
    checkItem->setObjectName(QStringLiteral("checkAction"));
    checkItem->setEnabled(false);
    connect(checkItem, &QAction::triggered, this, [this] { overlay->check(); });

    gridItem = menu->addAction(tr("方眼(&G)"));
    gridItem->setObjectName(QStringLiteral("gridAction"));
    gridItem->setCheckable(true);
    connect(gridItem, &QAction::toggled, this, &TrainerDialog::setGrid);

    ladderItem = menu->addAction(tr("ラダー図(&D)"));
    ladderItem->setObjectName(QStringLiteral("ladderAction"));
    ladderItem->setCheckable(true);
    connect(ladderItem, &QAction::toggled, this, &TrainerDialog::setLadder);

    toneMenu = menu->addMenu(tr("同期音(&S)"));
    toneMenu->setObjectName(QStringLiteral("toneMenu"));
    auto* toneGroup = new QActionGroup(toneMenu);
    thresholdToneItem = toneMenu->addAction(tr("従来(&T)"));
    thresholdToneItem->setObjectName(QStringLiteral("thresholdToneAction"));
    qrsToneItem = toneMenu->addAction(tr("QRS 毎(&Q)"));
    qrsToneItem->setObjectName(QStringLiteral("qrsToneAction"));
    for (QAction* item : {thresholdToneItem, qrsToneItem}) {
        item->setCheckable(true);
        toneGroup->addAction(item);
    }
    thresholdToneItem->setChecked(true);
    connect(thresholdToneItem, &QAction::triggered, this,
            [this] { setToneMode(Monitor::ToneMode::threshold); });
    connect(qrsToneItem, &QAction::triggered, this,
            [this] { setToneMode(Monitor::ToneMode::qrs); });
}

bool TrainerDialog::saveStrip(const QString& path, int seconds, QString* error) {
    return saveMonitorStrip(monitor, path, seconds, ladderItem->isChecked(), error);
}

void TrainerDialog::onSaveStrip() {
    askAndSaveMonitorStrip(this, monitor, ladderItem->isChecked());
}

void TrainerDialog::setFrozen(bool on) {
    monitor.setPaused(on);
    shared->showFrozen(on);
    checkItem->setEnabled(on);
    overlay->followFreeze(on);
}

// The ladder diagram sits under the monitor, on its time axis; the window grows by its height
// and everything below moves down. Off, the window is the template again.
void TrainerDialog::setLadder(bool on) {
    Layout layout = templateLayout;
    if (on) {
        if (ladderPanel == nullptr) {
            ladderPanel = new LadderPanel(this);
            ladderPanel->setObjectName(QStringLiteral("ladderPanel"));
            ladderPanel->setMonitor(&monitor);
            connect(&clock, &MonitorClock::advanced, ladderPanel, &LadderPanel::refresh);
            retranslate();
        }
        const int shift = LadderPanel::preferredHeight + ladderGap;
        ladderPanel->setGeometry(layout.scopePanel.left(),
                                 layout.scopePanel.bottom() + 1 + ladderGap,
                                 layout.scopePanel.width(), LadderPanel::preferredHeight);
        for (QRect* below :
             {&layout.closeButton, &layout.explanationEdit, &layout.rhythmList,
              &layout.decideButton, &layout.selectionLabel, &layout.explanationLabel}) {
            below->translate(0, shift);
        }
        layout.dialog.rheight() += shift;
    }
    if (ladderPanel != nullptr) {
        ladderPanel->setVisible(on);
    }
    closeButton->move(layout.closeButton.topLeft());
    explanationEdit->move(layout.explanationEdit.topLeft());
    rhythmList->move(layout.rhythmList.topLeft());
    decideButton->move(layout.decideButton.topLeft());
    selectionLabel->move(layout.selectionLabel.topLeft());
    explanationLabel->move(layout.explanationLabel.topLeft());
    setFixedSize(layout.dialog);
    ladderItem->setChecked(on);
    Settings().setClassicLadder(on);
}

void TrainerDialog::setGrid(bool on) {
    scopePanel->setGrid(on);
    if (gridItem->isChecked() != on) {
        gridItem->setChecked(on);
    }
    Settings().setGrid(on);
}

void TrainerDialog::setToneMode(Monitor::ToneMode mode) {
    monitor.setToneMode(mode);
    const bool qrs = mode == Monitor::ToneMode::qrs;
    (qrs ? qrsToneItem : thresholdToneItem)->setChecked(true);
    const QString value = qrs ? qrsToneValue : QStringLiteral("threshold");
    Settings().setToneMode(value);
}

void TrainerDialog::onDecide() {
    // A new rhythm is to be watched, not measured: a frozen monitor runs on.
    if (isFrozen()) {
        setFrozen(false);
    }
    const std::uint32_t seed = seedSource();
    exchangeData(Direction::save);
    nameText = selectionText;
    const std::optional<Rhythm> rhythm = selectedRhythm();
    const catalogue::Language language = currentLanguage();
    if (rhythm) {
        nameText = catalogueText(catalogue::nameOf(*rhythm, language));
        explanationText = catalogueText(catalogue::textOf(*rhythm, language));
    } else {
        explanationText = catalogueText(catalogue::noSelectionMessage(language));
    }
    decided = true;
    shownRhythm = rhythm;
    exchangeData(Direction::load);
    monitor.select(rhythm, seed);
    describeMonitor();
}

std::optional<Rhythm> TrainerDialog::selectedRhythm() const {
    const QList<QListWidgetItem*> selected = rhythmList->selectedItems();
    if (selected.isEmpty()) {
        return std::nullopt;
    }
    return anyRhythmAt(selected.first()->data(rhythmRole).toInt());
}

void TrainerDialog::setLibraryListed(bool on) {
    if (on != isLibraryListed()) {
        if (on) {
            for (const LibraryRhythm library : allLibraryRhythms) {
                const Rhythm rhythm = rhythmOf(library);
                auto* item = new QListWidgetItem(
                    catalogueText(catalogue::nameOf(rhythm, currentLanguage())), rhythmList);
                item->setData(rhythmRole, indexOf(rhythm));
            }
        } else {
            // What plays goes on playing; only the list entries go.
            while (rhythmList->count() > rhythmCount) {
                delete rhythmList->takeItem(rhythmList->count() - 1);
            }
        }
    }
    if (libraryItem->isChecked() != on) {
        libraryItem->setChecked(on);
    }
    Settings().setLibraryListed(on);
}

bool TrainerDialog::isLibraryListed() const {
    return rhythmList->count() > rhythmCount;
}

void TrainerDialog::onListDoubleClick() {
    onDecide();
}

void TrainerDialog::advanceOneTick() {
    clock.advance(1);
}

void TrainerDialog::onAbout() {
    AboutDialog box(this);
    box.exec();
}

PracticeWindow* TrainerDialog::practiceWindow() const {
    return practice.data();
}

ProgressWindow* TrainerDialog::progressWindow() const {
    return progress.data();
}

// One practice window at a time, a window of its own that closes with the trainer.
void TrainerDialog::onPractice() {
    if (!practice) {
        practice = new PracticeWindow(practiceDatabase, nullptr, this);
        practice->setAttribute(Qt::WA_DeleteOnClose);
        restWhileOpen(practice);
        if (progress) {
            practice->feedProgress(progress);
        }
    }
    practice->show();
    practice->raise();
    practice->activateWindow();
}

WardWindow* TrainerDialog::wardWindow() const {
    return ward.data();
}

// Only the window the learner works in may sound: two beat tones cannot be told apart. The
// classic monitor rests while `window` is open and plays on when it closes.
void TrainerDialog::restWhileOpen(QWidget* window) {
    const bool wasRunning = !isFrozen();
    setFrozen(true);
    connect(window, &QObject::destroyed, this, [this, wasRunning] {
        if (wasRunning) {
            setFrozen(false);
        }
    });
}

void TrainerDialog::onWard() {
    if (!ward) {
        ward = new WardWindow(nullptr, nullptr, this);
        ward->setAttribute(Qt::WA_DeleteOnClose);
        restWhileOpen(ward);
    }
    ward->show();
    ward->raise();
    ward->activateWindow();
}

InstructorConsole* TrainerDialog::instructorConsole() const {
    return instructor.data();
}

void TrainerDialog::onInstructor() {
    if (!instructor) {
        instructor = new InstructorConsole(nullptr, this);
        instructor->setAttribute(Qt::WA_DeleteOnClose);
        restWhileOpen(instructor);
    }
    instructor->show();
    instructor->raise();
    instructor->activateWindow();
}

void TrainerDialog::onProgress() {
    if (!progress) {
        // The database the practice window writes, so its answers show here.
        progress = new ProgressWindow(practiceDatabase, this);
        connect(progress, &ProgressWindow::pairDrillRequested, this, [this](Rhythm a, Rhythm b) {
            onPractice();
            practice->startPairDrill(a, b);
        });
        if (practice) {
            practice->feedProgress(progress);
        }
    } else {
        progress->refresh();
    }
    progress->show();
    progress->raise();
    progress->activateWindow();
}

void TrainerDialog::onGradebook() {
    if (!gradebook) {
        gradebook = new GradebookWindow(this);
        connect(gradebook, &GradebookWindow::practiceRequested, this, [this](const QString& code) {
            onPractice();
            practice->startExam(code);
        });
    }
    gradebook->show();
    gradebook->raise();
    gradebook->activateWindow();
}

void TrainerDialog::showSystemMenu(const QPoint& globalPos) {
    menu->exec(globalPos);
}

void TrainerDialog::contextMenuEvent(QContextMenuEvent* event) {
    showSystemMenu(event->globalPos());
    event->accept();
}

bool TrainerDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu) {
        showSystemMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    if (event->type() == QEvent::KeyPress && watched == explanationEdit) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TrainerDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        const QWidget* anchor = focusWidget() ? focusWidget() : this;
        showSystemMenu(anchor->mapToGlobal(anchor->rect().center()));
        return;
    }
    // The boxes stay out of the Tab order; F6 reaches the explanation to read or scroll it
    // by keyboard, and takes the focus back to the list.
    if (event->key() == Qt::Key_F6 && event->modifiers() == Qt::NoModifier) {
        if (explanationEdit->hasFocus()) {
            rhythmList->setFocus(Qt::OtherFocusReason);
        } else {
            explanationEdit->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace pulsavo
