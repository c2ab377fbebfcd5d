#include "TrainerDialog.h"

#include "AboutDialog.h"
#include "CaliperOverlay.h"
#include "Catalogue.h"
#include "PracticeWindow.h"
#include "ProgressWindow.h"
#include "Resources.h"
#include "ScopePanel.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>

#include <ctime>

namespace pulsavo {

namespace {

QString fromCatalogue(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The box hands its lines back joined by LF; the fields keep the catalogue's CR LF.
QString withCrLf(QString text) {
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

QSettings settings() {
    return QSettings(QStringLiteral("Pulsavo"), QStringLiteral("Pulsavo"));
}

const QString gridKey = QStringLiteral("monitor/grid");
const QString toneKey = QStringLiteral("monitor/tone");
const QString qrsToneValue = QStringLiteral("qrs");

// Waves laid in the ~8 s a panel and the queue ahead hold, with room to spare.

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

TrainerDialog::~TrainerDialog() = default;

void TrainerDialog::buildControls() {
    const Layout layout = layoutFor(DialogUnits::forFont(font()));

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
}

void TrainerDialog::exchangeData(Direction direction) {
    if (direction == Direction::load) {
        nameEdit->setText(nameText);
        if (selectionText.isEmpty()) {
            rhythmList->clearSelection();
        } else {
            const QList<QListWidgetItem*> matches =
                rhythmList->findItems(selectionText, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (!matches.isEmpty()) {
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
        auto* item = new QListWidgetItem(fromCatalogue(catalogue::nameOf(rhythm)), rhythmList);
        item->setData(rhythmRole, indexOf(rhythm));
    }

    clock.start();

    scopeRect = QRect(QPoint(0, 0), scopePanel->clientRect().size());
    monitor.setPanelSize(scopeRect.width(), scopeRect.height());
    scopePanel->prepare();
    scopePanel->attach(monitor);
    clock.add(&monitor);
    monitor.onTone = [this] { tone->sound(); };
    monitor.setEventHistory(true);
    overlay = new CaliperOverlay(scopePanel);
    overlay->setMonitor(&monitor);
    connect(overlay, &CaliperOverlay::changed, this, [this] { checkItem->setEnabled(isFrozen()); });
    {
        const QSettings stored = settings();
        setGrid(stored.value(gridKey, false).toBool());
        setToneMode(stored.value(toneKey).toString() == qrsToneValue
                        ? Monitor::ToneMode::qrs
                        : Monitor::ToneMode::threshold);
    }

    closeButton->setFocus();
    return true;
}

void TrainerDialog::buildSystemMenu() {
    menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("systemMenu"));
    buildMeasureItems();
    practiceItem = menu->addAction(tr("練習モード(&P)..."));
    practiceItem->setObjectName(QStringLiteral("practiceAction"));
    connect(practiceItem, &QAction::triggered, this, &TrainerDialog::onPractice);
    progressItem = menu->addAction(tr("成績(&R)..."));
    progressItem->setObjectName(QStringLiteral("progressAction"));
    connect(progressItem, &QAction::triggered, this, &TrainerDialog::onProgress);
    closeItem = menu->addAction(tr("閉じる(&C)"));
    closeItem->setObjectName(QStringLiteral("closeAction"));
    connect(closeItem, &QAction::triggered, this, &QWidget::close);
    menu->addSeparator();
    about = menu->addAction(tr("バージョン情報 Tavix(&A)..."));
    about->setObjectName(QStringLiteral("aboutAction"));
    connect(about, &QAction::triggered, this, &TrainerDialog::onAbout);
}

// Measuring on the monitor: freeze, paper, check and the tone's mode, ahead of the close item.
void TrainerDialog::buildMeasureItems() {
    freezeItem = menu->addAction(tr("一時停止(&F)"));
    freezeItem->setObjectName(QStringLiteral("freezeAction"));
    // Not Space, which presses the focused button; F also works on keyboards without Pause.
    freezeItem->setShortcuts({QKeySequence(Qt::Key_Pause), QKeySequence(Qt::Key_F)});
    freezeItem->setShortcutContext(Qt::WindowShortcut);
    addAction(freezeItem);
    connect(freezeItem, &QAction::triggered, this, [this] { setFrozen(!isFrozen()); });

    checkItem = menu->addAction(tr("答え合わせ(&K)"));
    checkItem->setObjectName(QStringLiteral("checkAction"));
    checkItem->setEnabled(false);
    connect(checkItem, &QAction::triggered, this, [this] { overlay->check(); });

    gridItem = menu->addAction(tr("方眼(&G)"));
    gridItem->setObjectName(QStringLiteral("gridAction"));
    gridItem->setCheckable(true);
    connect(gridItem, &QAction::toggled, this, &TrainerDialog::setGrid);

    QMenu* toneMenu = menu->addMenu(tr("同期音(&S)"));
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

void TrainerDialog::setFrozen(bool on) {
    monitor.setPaused(on);
    freezeItem->setText(on ? tr("再開(&F)") : tr("一時停止(&F)"));
    checkItem->setEnabled(on);
    overlay->followFreeze(on);
}

void TrainerDialog::setGrid(bool on) {
    scopePanel->setGrid(on);
    if (gridItem->isChecked() != on) {
        gridItem->setChecked(on);
    }
    if (settings().value(gridKey, false).toBool() != on) {
        settings().setValue(gridKey, on);
    }
}

void TrainerDialog::setToneMode(Monitor::ToneMode mode) {
    monitor.setToneMode(mode);
    const bool qrs = mode == Monitor::ToneMode::qrs;
    (qrs ? qrsToneItem : thresholdToneItem)->setChecked(true);
    const QString value = qrs ? qrsToneValue : QStringLiteral("threshold");
    if (settings().value(toneKey).toString() != value) {
        settings().setValue(toneKey, value);
    }
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
    if (rhythm) {
        nameText = fromCatalogue(catalogue::nameOf(*rhythm));
        explanationText = fromCatalogue(catalogue::textOf(*rhythm));
    } else {
        explanationText = fromCatalogue(catalogue::noSelectionMessage);
    }
    exchangeData(Direction::load);
    simulation.selectRhythm(rhythm, seed);
}

std::optional<Rhythm> TrainerDialog::selectedRhythm() const {
    const QList<QListWidgetItem*> selected = rhythmList->selectedItems();
    if (selected.isEmpty()) {
        return std::nullopt;
    }
    return rhythmAt(selected.first()->data(rhythmRole).toInt());
}

void TrainerDialog::onListDoubleClick() {
    onDecide();
}

void TrainerDialog::onTimerTick() {
    clock.advance(1);
}

void TrainerDialog::onAbout() {
    AboutDialog box(this);
    box.exec();
}

PracticeWindow* TrainerDialog::practiceWindow() const {
    return practice.data();
}

// One practice window at a time, a window of its own that closes with the trainer.
void TrainerDialog::onPractice() {
    if (!practice) {
        practice = new PracticeWindow(practiceDatabase, nullptr, this);
        practice->setAttribute(Qt::WA_DeleteOnClose);
    }
    practice->show();
    practice->raise();
    practice->activateWindow();
}

void TrainerDialog::onProgress() {
    if (!progress) {
        progress = new ProgressWindow(QString(), this);
    } else {
        progress->refresh();
    }
    progress->show();
    progress->raise();
    progress->activateWindow();
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
    QDialog::keyPressEvent(event);
}

} // namespace pulsavo
