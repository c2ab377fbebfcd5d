#include "TrainerDialog.h"

#include "AboutDialog.h"
#include "Catalogue.h"
#include "Resources.h"
#include "ScopePanel.h"

#include <QContextMenuEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

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

QLabel* makeLabel(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

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

    const int shortfall =
        minimumScopeHeight + 2 * ScopePanel::frameWidth - layout.scopePanel.height();
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

    scopePanel = new ScopePanel(this);
    scopePanel->setObjectName(QStringLiteral("scopePanel"));

    rhythmList = new QListWidget(this);
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

    setTabOrder(closeButton, rhythmList);
    setTabOrder(rhythmList, decideButton);
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
    icon.addFile(QStringLiteral(":/icons/pulsavo-16.png"), QSize(16, 16));
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
    monitor.onUpcoming = [this](int ticks) {
        tone->upcoming(ticks == Simulation::noBeepDue ? ToneSink::nothingDue : ticks);
    };

    closeButton->setFocus();
    return true;
}

void TrainerDialog::buildSystemMenu() {
    menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("systemMenu"));
    closeItem = menu->addAction(tr("閉じる(&C)"));
    closeItem->setObjectName(QStringLiteral("closeAction"));
    connect(closeItem, &QAction::triggered, this, &QWidget::close);
    menu->addSeparator();
    about = menu->addAction(tr("バージョン情報 Tavix(&A)..."));
    about->setObjectName(QStringLiteral("aboutAction"));
    connect(about, &QAction::triggered, this, &TrainerDialog::onAbout);
}

void TrainerDialog::onDecide() {
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

void TrainerDialog::showSystemMenu(const QPoint& globalPos) {
    menu->exec(globalPos);
}

void TrainerDialog::contextMenuEvent(QContextMenuEvent* event) {
    showSystemMenu(event->globalPos());
    event->accept();
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
