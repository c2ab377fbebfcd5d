#include "SetupPage.h"

#include "CatalogueText.h"
#include "RhythmLibrary.h"
#include "Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace pulsavo {

namespace {

constexpr int rhythmRole = Qt::UserRole;

Rhythm rhythmOfItem(const QTreeWidgetItem* item) {
    return anyRhythmAt(item->data(0, rhythmRole).toInt()).value_or(Rhythm::sinusRhythm);
}

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

// The groups by their place in rhythmGroups(): the library's families, then the classic 18.
QString SetupPage::groupName(std::size_t place) {
    if (place >= static_cast<std::size_t>(libraryFamilyCount)) {
        return SetupPage::tr("従来の 18 波形");
    }
    switch (static_cast<LibraryFamily>(place)) {
    case LibraryFamily::sinus:
        return SetupPage::tr("洞性");
    case LibraryFamily::atrial:
        return SetupPage::tr("心房性");
    case LibraryFamily::junctional:
        return SetupPage::tr("房室接合部性");
    case LibraryFamily::avBlock:
        return SetupPage::tr("房室ブロック");
    case LibraryFamily::ventricularEctopy:
        return SetupPage::tr("心室期外収縮");
    case LibraryFamily::ventricular:
        return SetupPage::tr("心室性");
    case LibraryFamily::paced:
        return SetupPage::tr("ペースメーカー");
    case LibraryFamily::conduction:
        return SetupPage::tr("伝導障害");
    }
    return {};
}

SetupPage::SetupPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("setupPage"));
    auto* setup = new QVBoxLayout(this);
    auto* lengthRow = new QHBoxLayout;
    lengthLabel = named(new QLabel(this), "lengthLabel");
    lengthCombo = named(new QComboBox(this), "lengthCombo");
    for (const int length : roundLengths) {
        lengthCombo->addItem(QString::number(length), length);
    }
    lengthLabel->setBuddy(lengthCombo);
    lengthRow->addWidget(lengthLabel);
    lengthRow->addWidget(lengthCombo);
    kindLabel = named(new QLabel(this), "kindLabel");
    kindCombo = named(new QComboBox(this), "kindCombo");
    kindCombo->addItem(QString(), false);
    kindCombo->addItem(QString(), true);
    kindLabel->setBuddy(kindCombo);
    lengthRow->addSpacing(lengthLabel->fontMetrics().averageCharWidth() * 2);
    lengthRow->addWidget(kindLabel);
    lengthRow->addWidget(kindCombo);
    lengthRow->addStretch();
    setup->addLayout(lengthRow);
    rhythmsLabel = named(new QLabel(this), "rhythmsLabel");
    rhythmTree = named(new QTreeWidget(this), "rhythmTree");
    rhythmTree->setHeaderHidden(true);
    rhythmsLabel->setBuddy(rhythmTree);
    setup->addWidget(rhythmsLabel);
    setup->addWidget(rhythmTree, 1);
    allRhythmsButton = named(new QPushButton(this), "allRhythmsButton");
    adaptiveCheck = named(new QCheckBox(this), "adaptiveCheck");
    toneCheck = named(new QCheckBox(this), "toneCheck");
    measureCheck = named(new QCheckBox(this), "measureCheck");
    recallCheck = named(new QCheckBox(this), "recallCheck");
    artifactCheck = named(new QCheckBox(this), "artifactCheck");
    reviewButton = named(new QPushButton(this), "reviewButton");
    worksheetCheck = named(new QCheckBox(this), "worksheetCheck");
    limitLabel = named(new QLabel(this), "limitLabel");
    limitCombo = named(new QComboBox(this), "limitCombo");
    for (const int seconds : answerLimits) {
        limitCombo->addItem(QString(), seconds);
    }
    limitLabel->setBuddy(limitCombo);
    noRhythmLabel = named(new QLabel(this), "noRhythmLabel");
    noRhythmLabel->setWordWrap(true);
    startButton = named(new QPushButton(this), "startButton");
    // Two rows, so that the options fit a narrow window at a large scale.
    auto* optionRow = new QHBoxLayout;
    optionRow->addWidget(allRhythmsButton);
    optionRow->addWidget(adaptiveCheck);
    optionRow->addWidget(artifactCheck);
    optionRow->addStretch();
    auto* secondRow = new QHBoxLayout;
    secondRow->addWidget(toneCheck);
    secondRow->addWidget(measureCheck);
    secondRow->addWidget(recallCheck);
    secondRow->addWidget(worksheetCheck);
    secondRow->addStretch();
    auto* limitRow = new QHBoxLayout;
    limitRow->addWidget(limitLabel);
    limitRow->addWidget(limitCombo);
    limitRow->addStretch();
    setup->addLayout(optionRow);
    setup->addLayout(secondRow);
    setup->addLayout(limitRow);
    buttons = new QWidget(this);
    buttons->setObjectName(QStringLiteral("setupButtons"));
    auto* bar = new QVBoxLayout(buttons);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(noRhythmLabel);
    auto* startRow = new QHBoxLayout;
    startRow->addWidget(startButton, 1);
    startRow->addWidget(reviewButton);
    bar->addLayout(startRow);
    // An instructor's exam: the code read out or typed, its questions in its order.
    examLabel = named(new QLabel(this), "examLabel");
    examEdit = named(new QLineEdit(this), "examEdit");
    examEdit->setPlaceholderText(QStringLiteral("PX-XXXX-XXXX"));
    examLabel->setBuddy(examEdit);
    examEdit->installEventFilter(this);
    examButton = named(new QPushButton(this), "examButton");
    examErrorLabel = named(new QLabel(this), "examErrorLabel");
    examErrorLabel->setStyleSheet(QStringLiteral("color: #b00000;"));
    examErrorLabel->setWordWrap(true);
    examErrorLabel->hide();
    auto* examRow = new QHBoxLayout;
    examRow->addWidget(examLabel);
    examRow->addWidget(examEdit, 1);
    examRow->addWidget(examButton);
    bar->addLayout(examRow);
    bar->addWidget(examErrorLabel);
    fillRhythmTree();

    connect(startButton, &QPushButton::clicked, this, &SetupPage::startRequested);
    connect(reviewButton, &QPushButton::clicked, this, &SetupPage::reviewRequested);
    connect(examButton, &QPushButton::clicked, this,
            [this] { emit examRequested(examEdit->text()); });
    connect(examEdit, &QLineEdit::textEdited, examErrorLabel, &QWidget::hide);
    connect(allRhythmsButton, &QPushButton::clicked, this, [this] {
        Options all = options();
        all.rhythms = RhythmSet::every();
        setOptions(all);
    });
    connect(rhythmTree, &QTreeWidget::itemChanged, this, [this] {
        updateStartButton();
        emit optionsChanged();
    });
    connect(lengthCombo, &QComboBox::currentIndexChanged, this, &SetupPage::optionsChanged);
    connect(limitCombo, &QComboBox::currentIndexChanged, this, &SetupPage::optionsChanged);
    connect(kindCombo, &QComboBox::currentIndexChanged, this, [this] {
        updateStartButton();
        emit optionsChanged();
    });
    for (QCheckBox* box :
         {adaptiveCheck, toneCheck, measureCheck, recallCheck, artifactCheck, worksheetCheck}) {
        connect(box, &QCheckBox::toggled, this, &SetupPage::optionsChanged);
    }
}

void SetupPage::fillRhythmTree() {
    const QSignalBlocker blocker(rhythmTree);
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

SetupPage::Options SetupPage::options() const {
    Options current;
    current.length = lengthCombo->currentData().toInt();
    current.rhythms = checkedRhythms();
    current.adaptive = adaptiveCheck->isChecked();
    current.beatTone = toneCheck->isChecked();
    current.measure = measureCheck->isChecked();
    current.recall = recallCheck->isChecked();
    current.artifact = artifactCheck->isChecked();
    current.artifactVersus = kindCombo->currentData().toBool();
    current.worksheet = worksheetCheck->isChecked();
    current.answerLimitSeconds = limitCombo->currentData().toInt();
    return current;
}

void SetupPage::setOptions(const Options& options) {
    {
        const QSignalBlocker blockers[] = {QSignalBlocker(this), QSignalBlocker(rhythmTree)};
        const int lengthIndex = lengthCombo->findData(options.length);
        lengthCombo->setCurrentIndex(lengthIndex >= 0 ? lengthIndex : 0);
        for (int top = 0; top < rhythmTree->topLevelItemCount(); ++top) {
            QTreeWidgetItem* group = rhythmTree->topLevelItem(top);
            for (int child = 0; child < group->childCount(); ++child) {
                QTreeWidgetItem* item = group->child(child);
                item->setCheckState(
                    0, options.rhythms.contains(rhythmOfItem(item)) ? Qt::Checked : Qt::Unchecked);
            }
        }
        adaptiveCheck->setChecked(options.adaptive);
        toneCheck->setChecked(options.beatTone);
        measureCheck->setChecked(options.measure);
        recallCheck->setChecked(options.recall);
        artifactCheck->setChecked(options.artifact);
        kindCombo->setCurrentIndex(options.artifactVersus ? 1 : 0);
        worksheetCheck->setChecked(options.worksheet);
        // A limit no longer offered (a hand-edited file) reads as off.
        limitCombo->setCurrentIndex(std::max(0, limitCombo->findData(options.answerLimitSeconds)));
    }
    rhythmTree->viewport()->update();
    updateStartButton();
    emit optionsChanged();
}

RhythmSet SetupPage::checkedRhythms() const {
    RhythmSet set;
    for (int top = 0; top < rhythmTree->topLevelItemCount(); ++top) {
        const QTreeWidgetItem* group = rhythmTree->topLevelItem(top);
        for (int child = 0; child < group->childCount(); ++child) {
            if (group->child(child)->checkState(0) == Qt::Checked) {
                set.insert(rhythmOfItem(group->child(child)));
            }
        }
    }
    return set;
}

bool SetupPage::canStart() const {
    return startButton->isEnabled();
}

void SetupPage::updateStartButton() {
    // The artifact round asks its own pairs, whatever is chosen in the tree.
    const bool any = !checkedRhythms().empty() || kindCombo->currentData().toBool();
    startButton->setEnabled(any);
    noRhythmLabel->setVisible(!any);
}

std::optional<Exam> SetupPage::readExamCode(const QString& code) {
    const ExamResult parsed = parseExamCode(code.toStdString());
    if (parsed.ok()) {
        examErrorLabel->hide();
        examEdit->setText(QString::fromStdString(parsed.exam.code));
        return parsed.exam;
    }
    switch (parsed.error) {
    case ExamCodeError::empty:
        examErrorLabel->setText(tr("試験コードを入力してください。"));
        break;
    case ExamCodeError::badCharacter:
        examErrorLabel->setText(tr("試験コードに使えない文字があります。"));
        break;
    case ExamCodeError::wrongLength:
        examErrorLabel->setText(tr("試験コードの長さが違います。"));
        break;
    case ExamCodeError::unknownVersion:
        examErrorLabel->setText(tr("この試験コードは新しい版の Pulsavo で作られています。"));
        break;
    default:
        examErrorLabel->setText(tr("試験コードが正しくありません。入力を確かめてください。"));
        break;
    }
    examErrorLabel->show();
    return std::nullopt;
}

SetupPage::Options SetupPage::storedOptions() {
    const Settings settings;
    Options saved;
    saved.length = settings.practiceLength(saved.length);
    const std::optional<QString> list = settings.practiceRhythmList();
    saved.rhythms = savedPracticeRhythms(list ? std::optional(list->toStdString()) : std::nullopt,
                                         settings.practiceRhythmMask());
    saved.adaptive = settings.practiceAdaptive(saved.adaptive);
    saved.beatTone = settings.practiceBeatTone(saved.beatTone);
    saved.measure = settings.practiceMeasure(saved.measure);
    saved.recall = settings.practiceRecall(saved.recall);
    saved.artifact = settings.practiceArtifact(saved.artifact);
    saved.artifactVersus = settings.practiceArtifactVersus(saved.artifactVersus);
    saved.worksheet = settings.practiceWorksheet(saved.worksheet);
    saved.answerLimitSeconds = settings.practiceAnswerLimit(saved.answerLimitSeconds);
    return saved;
}

void SetupPage::storeOptions(const Options& options) {
    Settings settings;
    settings.setPracticeLength(options.length);
    // Releases before the library read their classic choice from the mask.
    settings.setPracticeRhythms(QString::fromStdString(formatRhythmList(options.rhythms)),
                                options.rhythms.classicBits());
    settings.setPracticeAdaptive(options.adaptive);
    settings.setPracticeBeatTone(options.beatTone);
    settings.setPracticeMeasure(options.measure);
    settings.setPracticeRecall(options.recall);
    settings.setPracticeArtifact(options.artifact);
    settings.setPracticeArtifactVersus(options.artifactVersus);
    settings.setPracticeWorksheet(options.worksheet);
    settings.setPracticeAnswerLimit(options.answerLimitSeconds);
}

std::string SetupPage::Options::roundJson(int roundLength, RhythmSet roundRhythms,
                                          bool roundAdaptive, bool review) const {
    QJsonObject object;
    object.insert(QStringLiteral("length"), roundLength);
    object.insert(QStringLiteral("rhythms"),
                  QString::fromStdString(formatRhythmList(roundRhythms)));
    object.insert(QStringLiteral("adaptive"), roundAdaptive);
    object.insert(QStringLiteral("beatTone"), beatTone);
    object.insert(QStringLiteral("measure"), measure);
    object.insert(QStringLiteral("recall"), recall);
    // With the answers' seeds, this gives back the artifact each question was shown with.
    object.insert(QStringLiteral("artifact"), artifact);
    object.insert(QStringLiteral("artifactVersus"), artifactVersus);
    object.insert(QStringLiteral("worksheet"), worksheet);
    if (answerLimitSeconds > 0) {
        object.insert(QStringLiteral("answerLimitSeconds"), answerLimitSeconds);
    }
    if (review) {
        object.insert(QStringLiteral("review"), true);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

void SetupPage::showDue(int count) {
    dueCount = count;
    reviewButton->setEnabled(count > 0);
    reviewButton->setText(count > 0 ? tr("今日の復習 %1 問(&V)").arg(count)
                                    : tr("今日の復習はありません"));
}

void SetupPage::showEvent(QShowEvent* event) {
    emit dueWanted();
    QWidget::showEvent(event);
}

void SetupPage::focusStart() {
    startButton->setFocus();
}

void SetupPage::retranslate(catalogue::Language language) {
    lengthLabel->setText(tr("問題数(&Q):"));
    rhythmsLabel->setText(tr("出題する波形(&W):"));
    allRhythmsButton->setText(tr("すべて選択(&L)"));
    adaptiveCheck->setText(tr("苦手な波形を多く出題(&D)"));
    toneCheck->setText(tr("心拍音(&B)"));
    measureCheck->setText(tr("計測課題も出す(&M)"));
    measureCheck->setToolTip(
        tr("回答のあと、止めた波形でキャリパーを使って間隔を測る課題を出します。"));
    recallCheck->setText(tr("波形名を入力して答える(&I)"));
    recallCheck->setToolTip(
        tr("一覧を隠し、波形名を日本語・ローマ字・英語・略語で入力して答えます。"));
    artifactCheck->setText(tr("アーチファクトを混ぜる(&Y)"));
    artifactCheck->setToolTip(
        tr("3問に1問ほど、筋電図の混入や体動などのアーチファクトを波形に重ねます。"
           "答えは下の波形名のままです。"));
    kindLabel->setText(tr("出題(&Z):"));
    kindCombo->setItemText(0, tr("選んだ波形の名前"));
    kindCombo->setItemText(1, tr("アーチファクトか不整脈か"));
    kindCombo->setToolTip(
        tr("「アーチファクトか不整脈か」は、アーチファクトの乗った洞調律と、"
           "それに似た不整脈（心房細動・粗動・心室頻拍・心室細動）を出題します。"));
    reviewButton->setToolTip(tr("記録された回答から、今日復習する時期の波形と取り違えた組み合わせを"
                                "1回ずつ出題します。"));
    showDue(dueCount);
    worksheetCheck->setText(tr("ワークシート形式(&R)"));
    limitLabel->setText(tr("6秒モード(&6):"));
    limitLabel->setToolTip(tr("6秒間の記録だけを見せ、制限時間内に答えます。時間を過ぎた回答は"
                              "記録したうえで不正解になります。"));
    limitCombo->setToolTip(limitLabel->toolTip());
    for (int index = 0; index < limitCombo->count(); ++index) {
        const int seconds = limitCombo->itemData(index).toInt();
        limitCombo->setItemText(index,
                                seconds == 0 ? tr("使わない") : tr("%1 秒以内に回答").arg(seconds));
    }
    worksheetCheck->setToolTip(
        tr("波形ごとに心房・心室レート、整・不整、P波、PR、QRS、波形名、次の対応"
           "を記入し、項目ごとに採点します。"));
    noRhythmLabel->setText(tr("出題する波形を1つ以上選んでください。"));
    startButton->setText(tr("開始(&S)"));
    examLabel->setText(tr("試験コード(&E):"));
    examButton->setText(tr("試験を開始(&X)"));
    examEdit->setAccessibleName(tr("試験コード"));
    examEdit->setAccessibleDescription(tr("講師から受け取った試験コード（例: PX-8AK9-P73D）"));
    const QSignalBlocker blocker(rhythmTree);
    for (int top = 0; top < rhythmTree->topLevelItemCount(); ++top) {
        QTreeWidgetItem* group = rhythmTree->topLevelItem(top);
        group->setText(0, groupName(static_cast<std::size_t>(top)));
        for (int child = 0; child < group->childCount(); ++child) {
            QTreeWidgetItem* item = group->child(child);
            const QString name = rhythmName(rhythmOfItem(item), language);
            item->setText(0, name);
            item->setToolTip(0, name);
        }
    }
}

// Enter in the code box starts the exam, never a round from the options.
bool SetupPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == examEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit examRequested(examEdit->text());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pulsavo
