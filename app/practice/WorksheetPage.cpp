#include "WorksheetPage.h"

#include "CatalogueText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>

namespace pulsavo {

namespace {

constexpr int choiceCount(Regularity) {
    return 3;
}
constexpr int choiceCount(PWaves) {
    return 6;
}
constexpr int choiceCount(NextStep) {
    return 6;
}

// A choice box: "—" (left empty) first, then each value of the enum in its order.
template <typename T> QComboBox* choiceBox(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItem(QString(), -1);
    for (int value = 0; value < choiceCount(T{}); ++value) {
        box->addItem(QString(), value);
    }
    return box;
}

template <typename T> std::optional<T> chosen(const QComboBox* box) {
    const int value = box->currentData().toInt();
    return value < 0 ? std::nullopt : std::optional(static_cast<T>(value));
}

template <typename T> void choose(QComboBox* box, std::optional<T> value) {
    box->setCurrentIndex(box->findData(value ? static_cast<int>(*value) : -1));
}

std::optional<int> numberIn(const QLineEdit* edit) {
    bool ok = false;
    const int value = edit->text().toInt(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

void putNumber(QLineEdit* edit, std::optional<int> value) {
    edit->setText(value ? QString::number(*value) : QString());
}

QLineEdit* numberEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setValidator(new QIntValidator(0, 999, edit));
    edit->setMaximumWidth(edit->fontMetrics().averageCharWidth() * 10);
    return edit;
}

// The PR box's choices: a number of ms, "varies" or "none".
constexpr int prNumber = 0;
constexpr int prVaries = 1;
constexpr int prNone = 2;

} // namespace

WorksheetPage::WorksheetPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("worksheetPage"));
    auto* layout = new QHBoxLayout(this);
    auto* form = new QGridLayout;
    atrialEdit = numberEdit(this, "atrialEdit");
    ventricularEdit = numberEdit(this, "ventricularEdit");
    regularityCombo = choiceBox<Regularity>(this, "regularityCombo");
    pWavesCombo = choiceBox<PWaves>(this, "pWavesCombo");
    prCombo = new QComboBox(this);
    prCombo->setObjectName(QStringLiteral("prCombo"));
    prCombo->addItems({QString(), QString(), QString()});
    prEdit = numberEdit(this, "prEdit");
    qrsEdit = numberEdit(this, "qrsEdit");
    rhythmCombo = new QComboBox(this);
    rhythmCombo->setObjectName(QStringLiteral("rhythmCombo"));
    nextStepCombo = choiceBox<NextStep>(this, "nextStepCombo");
    unmeasurableCheck = new QCheckBox(this);
    unmeasurableCheck->setObjectName(QStringLiteral("unmeasurableCheck"));
    auto* atrialRow = new QHBoxLayout;
    atrialRow->addWidget(atrialEdit);
    atrialRow->addWidget(unmeasurableCheck);
    atrialRow->addStretch();
    auto* prRow = new QHBoxLayout;
    prRow->addWidget(prCombo);
    prRow->addWidget(prEdit);
    prRow->addStretch();
    const std::array<QWidget*, worksheetFieldCount> editors{
        nullptr, ventricularEdit, regularityCombo, pWavesCombo,
        nullptr, qrsEdit,         rhythmCombo,     nextStepCombo};
    for (int row = 0; row < worksheetFieldCount; ++row) {
        fieldLabels[row] = new QLabel(this);
        form->addWidget(fieldLabels[row], row, 0);
        if (QWidget* editor = editors[static_cast<std::size_t>(row)]) {
            fieldLabels[row]->setBuddy(editor);
            form->addWidget(editor, row, 1, Qt::AlignLeft);
        }
    }
    fieldLabels[static_cast<int>(WorksheetField::pr)]->setBuddy(prCombo);
    form->addLayout(prRow, static_cast<int>(WorksheetField::pr), 1);
    fieldLabels[static_cast<int>(WorksheetField::atrialRate)]->setBuddy(atrialEdit);
    form->addLayout(atrialRow, static_cast<int>(WorksheetField::atrialRate), 1);
    rhythmCombo->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    hintButton = new QPushButton(this);
    hintButton->setObjectName(QStringLiteral("worksheetHintButton"));
    submitButton = new QPushButton(this);
    submitButton->setObjectName(QStringLiteral("worksheetSubmitButton"));
    noteLabel = new QLabel(this);
    noteLabel->setObjectName(QStringLiteral("worksheetNoteLabel"));
    noteLabel->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(hintButton);
    buttons->addWidget(submitButton);
    auto* filling = new QVBoxLayout;
    filling->addLayout(form);
    filling->addLayout(buttons);
    filling->addWidget(noteLabel);
    filling->addStretch();
    layout->addLayout(filling, 2);

    verdictLabel = new QLabel(this);
    verdictLabel->setObjectName(QStringLiteral("worksheetVerdictLabel"));
    verdictLabel->setWordWrap(true);
    resultTable = new QTableWidget(worksheetFieldCount, 4, this);
    resultTable->setObjectName(QStringLiteral("worksheetResultTable"));
    resultTable->verticalHeader()->hide();
    resultTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    resultTable->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const int column : {0, 3}) {
        resultTable->horizontalHeader()->setSectionResizeMode(column,
                                                              QHeaderView::ResizeToContents);
    }
    for (const int column : {1, 2}) {
        resultTable->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Stretch);
    }
    resultTable->setWordWrap(true);
    // As tall as its rows: on a short screen the next button stays in view.
    resultTable->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    resultTable->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    caliperLabel = new QLabel(this);
    caliperLabel->setObjectName(QStringLiteral("worksheetCaliperLabel"));
    caliperLabel->setWordWrap(true);
    managementTitle = new QLabel(this);
    managementEdit = new QPlainTextEdit(this);
    managementEdit->setObjectName(QStringLiteral("worksheetManagement"));
    managementEdit->setReadOnly(true);
    managementEdit->setMaximumHeight(managementEdit->fontMetrics().lineSpacing() * 5);
    nextButton = new QPushButton(this);
    nextButton->setObjectName(QStringLiteral("worksheetNextButton"));
    auto* feedback = new QVBoxLayout;
    feedback->addWidget(verdictLabel);
    feedback->addWidget(resultTable);
    feedback->addWidget(caliperLabel);
    feedback->addWidget(managementTitle);
    feedback->addWidget(managementEdit);
    feedback->addWidget(nextButton, 0, Qt::AlignRight);
    feedback->addStretch();
    layout->addLayout(feedback, 3);

    connect(unmeasurableCheck, &QCheckBox::toggled, this,
            [this](bool on) { atrialEdit->setEnabled(asking && !on); });
    connect(prCombo, &QComboBox::currentIndexChanged, this,
            [this](int index) { prEdit->setEnabled(asking && index == prNumber); });
    connect(submitButton, &QPushButton::clicked, this, &WorksheetPage::submit);
    connect(hintButton, &QPushButton::clicked, this, &WorksheetPage::hintRequested);
    connect(nextButton, &QPushButton::clicked, this, &WorksheetPage::nextRequested);
    connect(resultTable, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (shown && row >= 0) {
            emit fieldChosen(static_cast<WorksheetField>(row));
        }
    });
    ask();
}

WorksheetTruth WorksheetPage::truthOf(const StripFacts& facts, Rhythm rhythm) {
    WorksheetTruth truth;
    truth.atrialRate = facts.atrialRate;
    truth.ventricularRate = facts.ventricularRate;
    truth.pWaves = facts.pWaves;
    if (facts.prVaries) {
        truth.pr = {PrReading::Kind::varies, facts.prMs.value_or(0)};
    } else if (facts.prMs) {
        truth.pr = {PrReading::Kind::ms, *facts.prMs};
    }
    truth.qrsMs = facts.qrsMs;
    truth.rhythm = rhythm;
    truth.traits = traitsOf(rhythm);
    return truth;
}

std::optional<calipers::Kind> WorksheetPage::caliperFor(WorksheetField field) {
    switch (field) {
    case WorksheetField::atrialRate:
        return calipers::Kind::pp;
    case WorksheetField::ventricularRate:
    case WorksheetField::regularity:
        return calipers::Kind::rr;
    case WorksheetField::pr:
        return calipers::Kind::pr;
    case WorksheetField::qrs:
        return calipers::Kind::qrs;
    default:
        return std::nullopt;
    }
}

QString WorksheetPage::fieldName(WorksheetField field) {
    const std::array<QString, worksheetFieldCount> names{
        tr("心房レート"), tr("心室レート"), tr("整・不整"), tr("P 波"),
        tr("PR 間隔"),    tr("QRS 幅"),     tr("波形名"),   tr("次の対応")};
    return names[static_cast<std::size_t>(field)];
}

void WorksheetPage::fill(RhythmSet choices, catalogue::Language language) {
    rhythmCombo->clear();
    rhythmCombo->addItem(QString(), -1);
    for (const Rhythm rhythm : choices.list()) {
        rhythmCombo->addItem(QString(), indexOf(rhythm));
    }
    retranslate(language);
}

void WorksheetPage::ask() {
    asking = true;
    shown.reset();
    setAnswer({});
    for (QWidget* editor : std::initializer_list<QWidget*>{
             unmeasurableCheck, ventricularEdit, regularityCombo, pWavesCombo, prCombo, qrsEdit,
             rhythmCombo, nextStepCombo, submitButton}) {
        editor->setEnabled(true);
    }
    atrialEdit->setEnabled(true);
    prEdit->setEnabled(true);
    hintButton->setEnabled(hintAllowed);
    noteLabel->clear();
    verdictLabel->clear();
    caliperLabel->clear();
    resultTable->clearContents();
    // The feedback shows only once there is something to show.
    for (QWidget* part : std::initializer_list<QWidget*>{resultTable, managementTitle,
                                                         managementEdit, nextButton}) {
        part->hide();
    }
    managementEdit->clear();
    atrialEdit->setFocus();
    retranslate(currentLanguage);
}

WorksheetAnswer WorksheetPage::answer() const {
    WorksheetAnswer filled;
    filled.atrialUnmeasurable = unmeasurableCheck->isChecked();
    filled.atrialRate = filled.atrialUnmeasurable ? std::nullopt : numberIn(atrialEdit);
    filled.ventricularRate = numberIn(ventricularEdit);
    filled.regularity = chosen<Regularity>(regularityCombo);
    filled.pWaves = chosen<PWaves>(pWavesCombo);
    switch (prCombo->currentIndex()) {
    case prVaries:
        filled.pr = PrReading{PrReading::Kind::varies, 0};
        break;
    case prNone:
        filled.pr = PrReading{PrReading::Kind::none, 0};
        break;
    default:
        if (const std::optional<int> ms = numberIn(prEdit)) {
            filled.pr = PrReading{PrReading::Kind::ms, *ms};
        }
        break;
    }
    filled.qrsMs = numberIn(qrsEdit);
    const int rhythm = rhythmCombo->currentData().toInt();
    filled.rhythm = rhythm < 0 ? std::nullopt : anyRhythmAt(rhythm);
    filled.nextStep = chosen<NextStep>(nextStepCombo);
    return filled;
}

void WorksheetPage::setAnswer(const WorksheetAnswer& given) {
    putNumber(atrialEdit, given.atrialRate);
    unmeasurableCheck->setChecked(given.atrialUnmeasurable);
    putNumber(ventricularEdit, given.ventricularRate);
    choose(regularityCombo, given.regularity);
    choose(pWavesCombo, given.pWaves);
    const PrReading::Kind prKind = given.pr ? given.pr->kind : PrReading::Kind::ms;
    prCombo->setCurrentIndex(prKind == PrReading::Kind::varies ? prVaries
                             : prKind == PrReading::Kind::none ? prNone
                                                               : prNumber);
    putNumber(prEdit, given.pr && prKind == PrReading::Kind::ms ? std::optional(given.pr->ms)
                                                                : std::nullopt);
    putNumber(qrsEdit, given.qrsMs);
    rhythmCombo->setCurrentIndex(
        std::max(0, rhythmCombo->findData(given.rhythm ? indexOf(*given.rhythm) : -1)));
    choose(nextStepCombo, given.nextStep);
}

void WorksheetPage::setHintAllowed(bool allowed) {
    hintAllowed = allowed;
    hintButton->setVisible(allowed);
    hintButton->setEnabled(allowed && asking);
}

void WorksheetPage::hintTaken() {
    hintButton->setEnabled(false);
}

void WorksheetPage::submit() {
    if (!asking) {
        return;
    }
    const WorksheetAnswer filled = answer();
    if (!filled.rhythm) {
        noteLabel->setText(tr("波形名を選んでから回答してください。"));
        rhythmCombo->setFocus();
        return;
    }
    emit submitted(filled);
}

void WorksheetPage::showResult(const PracticeSession::Result& result, bool last) {
    asking = false;
    shown = result;
    lastQuestion = last;
    for (QWidget* editor : std::initializer_list<QWidget*>{
             atrialEdit, unmeasurableCheck, ventricularEdit, regularityCombo, pWavesCombo, prCombo,
             prEdit, qrsEdit, rhythmCombo, nextStepCombo, submitButton, hintButton}) {
        editor->setEnabled(false);
    }
    noteLabel->clear();
    for (QWidget* part : std::initializer_list<QWidget*>{resultTable, managementTitle,
                                                         managementEdit, nextButton}) {
        part->show();
    }
    retranslate(currentLanguage);
    nextButton->setFocus();
}

void WorksheetPage::showCaliperNote(const QString& note) {
    caliperLabel->setText(note);
}

QString WorksheetPage::valueText(WorksheetField field, const WorksheetAnswer& given,
                                 catalogue::Language language) const {
    QString empty = tr("（未記入）");
    const auto rate = [&](std::optional<int> value) {
        return value ? tr("%1/分").arg(*value) : empty;
    };
    const auto item = [&](const QComboBox* box, auto value) {
        return value ? box->itemText(box->findData(static_cast<int>(*value))) : empty;
    };
    switch (field) {
    case WorksheetField::atrialRate:
        return given.atrialUnmeasurable ? unmeasurableCheck->text().remove(QLatin1Char('&'))
                                        : rate(given.atrialRate);
    case WorksheetField::ventricularRate:
        return rate(given.ventricularRate);
    case WorksheetField::regularity:
        return item(regularityCombo, given.regularity);
    case WorksheetField::pWaves:
        return item(pWavesCombo, given.pWaves);
    case WorksheetField::pr:
        if (!given.pr) {
            return empty;
        }
        return given.pr->kind == PrReading::Kind::ms ? QStringLiteral("%1 ms").arg(given.pr->ms)
               : given.pr->kind == PrReading::Kind::varies ? prCombo->itemText(prVaries)
                                                           : prCombo->itemText(prNone);
    case WorksheetField::qrs:
        return given.qrsMs ? QStringLiteral("%1 ms").arg(*given.qrsMs) : empty;
    case WorksheetField::rhythm:
        return given.rhythm ? rhythmName(*given.rhythm, language) : empty;
    case WorksheetField::nextStep:
        return item(nextStepCombo, given.nextStep);
    }
    return empty;
}

QString WorksheetPage::truthText(WorksheetField field, const WorksheetTruth& truth,
                                 catalogue::Language language) const {
    QString none = tr("なし");
    switch (field) {
    case WorksheetField::atrialRate:
        return truth.atrialRate ? tr("%1/分").arg(*truth.atrialRate) : none;
    case WorksheetField::ventricularRate:
        return truth.ventricularRate ? tr("%1/分").arg(*truth.ventricularRate) : none;
    case WorksheetField::regularity: {
        QString text = regularityCombo->itemText(
            regularityCombo->findData(static_cast<int>(truth.traits.regularity)));
        return truth.traits.occasionallyIrregular
                   ? tr("%1（時々の不整は、どちらの不整も可）").arg(text)
                   : text;
    }
    case WorksheetField::pWaves:
        return pWavesCombo->itemText(pWavesCombo->findData(static_cast<int>(truth.pWaves)));
    case WorksheetField::pr:
        return truth.pr.kind == PrReading::Kind::ms       ? QStringLiteral("%1 ms").arg(truth.pr.ms)
               : truth.pr.kind == PrReading::Kind::varies ? prCombo->itemText(prVaries)
                                                          : none;
    case WorksheetField::qrs:
        return truth.qrsMs ? QStringLiteral("%1 ms").arg(*truth.qrsMs) : none;
    case WorksheetField::rhythm:
        return rhythmName(truth.rhythm, language);
    case WorksheetField::nextStep: {
        QStringList steps;
        for (int step = 0; step < choiceCount(NextStep{}); ++step) {
            if (truth.traits.accepts(static_cast<NextStep>(step))) {
                steps << nextStepCombo->itemText(nextStepCombo->findData(step));
            }
        }
        return steps.join(QStringLiteral(" / "));
    }
    }
    return none;
}

void WorksheetPage::showFields(catalogue::Language language) {
    if (!shown || !shown->worksheet) {
        return;
    }
    const PracticeSession::WorksheetResult& sheet = *shown->worksheet;
    int right = 0;
    for (int row = 0; row < worksheetFieldCount; ++row) {
        const auto field = static_cast<WorksheetField>(row);
        const bool ok = markOf(sheet.marks, field);
        right += ok ? 1 : 0;
        const std::array<QString, 4> cells{
            fieldName(field), valueText(field, sheet.answer, language),
            truthText(field, sheet.truth, language), ok ? tr("○") : tr("×")};
        for (int column = 0; column < 4; ++column) {
            auto* cell = new QTableWidgetItem(cells[static_cast<std::size_t>(column)]);
            if (!ok) {
                cell->setForeground(QColor(0xb0, 0x00, 0x20));
            }
            resultTable->setItem(row, column, cell);
        }
    }
    QString verdict = shown->correct()
                          ? tr("正解: %1。%2 / %3 項目が正しく記入されています。")
                          : tr("不正解: 正しくは %1。%2 / %3 項目が正しく記入されています。");
    // Late, as the question page says it: the time taken, and a right name scored wrong.
    if (shown->late) {
        verdict = (shown->named() ? tr("× 時間切れ（%4 秒かかりました）: %1 は合っていますが、"
                                       "制限時間を過ぎたため不正解です。%2 / %3 "
                                       "項目が正しく記入されています。")
                                  : tr("× 時間切れ（%4 秒かかりました）: 正しくは %1。%2 / %3 "
                                       "項目が正しく記入されています。"));
    }
    verdict = verdict.arg(rhythmName(shown->question.rhythm, language))
                  .arg(right)
                  .arg(worksheetFieldCount);
    if (shown->late) {
        verdict = verdict.arg(shown->answerMs / 1000.0, 0, 'f', 1);
    }
    verdictLabel->setText(verdict);
    managementEdit->setPlainText(
        QString::fromStdString(catalogue::managementOf(shown->question.rhythm, language)));
}

void WorksheetPage::retranslate(catalogue::Language language) {
    currentLanguage = language;
    const std::array<QString, worksheetFieldCount> names{
        tr("心房レート(&1) /分:"), tr("心室レート(&2) /分:"), tr("整・不整(&3):"),
        tr("P 波(&4):"),           tr("PR 間隔(&5):"),        tr("QRS 幅(&6) ms:"),
        tr("波形名(&7):"),         tr("次の対応(&8):")};
    for (int row = 0; row < worksheetFieldCount; ++row) {
        fieldLabels[row]->setText(names[static_cast<std::size_t>(row)]);
    }
    const QString blank = QStringLiteral("—");
    for (QComboBox* box : {regularityCombo, pWavesCombo, rhythmCombo, nextStepCombo}) {
        box->setItemText(0, blank);
    }
    const QStringList regularity{tr("整"), tr("規則的な不整"), tr("不規則な不整")};
    const QStringList waves{tr("正常"),   tr("異常・陰性"), tr("QRS より多い"),
                            tr("粗動波"), tr("細動波"),     tr("なし")};
    const QStringList steps{
        tr("経過観察"), tr("応援を呼び患者を評価"),   tr("同期電気ショック（不安定なら）"),
        tr("除細動"),   tr("アトロピン・ペーシング"), tr("CPR・アドレナリン")};
    for (int i = 0; i < regularity.size(); ++i) {
        regularityCombo->setItemText(i + 1, regularity[i]);
    }
    for (int i = 0; i < waves.size(); ++i) {
        pWavesCombo->setItemText(i + 1, waves[i]);
    }
    for (int i = 0; i < steps.size(); ++i) {
        nextStepCombo->setItemText(i + 1, steps[i]);
    }
    prCombo->setItemText(prNumber, tr("ms で記入"));
    prCombo->setItemText(prVaries, tr("一定しない"));
    prCombo->setItemText(prNone, tr("なし"));
    for (int row = 1; row < rhythmCombo->count(); ++row) {
        const std::optional<Rhythm> rhythm = anyRhythmAt(rhythmCombo->itemData(row).toInt());
        rhythmCombo->setItemText(row, rhythm ? rhythmName(*rhythm, language) : QString());
    }
    atrialEdit->setToolTip(tr("心房の波がなければ空欄のままにします。"));
    unmeasurableCheck->setText(tr("測定不能(&E)"));
    unmeasurableCheck->setToolTip(tr("心房が細動していて数えられないときに選びます。"));
    hintButton->setText(tr("ヒント(&H)"));
    submitButton->setText(tr("回答(&A)"));
    resultTable->setHorizontalHeaderLabels(
        {tr("項目"), tr("あなたの記入"), tr("この波形の値"), tr("判定")});
    managementTitle->setText(tr("対処方法:"));
    nextButton->setText(lastQuestion && shown ? tr("結果を見る(&N)") : tr("次の問題(&N)"));
    if (asking) {
        verdictLabel->setText(tr("止めた波形をキャリパーで測り、各項目を記入して［回答］を押して"
                                 "ください。回答すると波形はその場で止まり、採点されます。"));
    }
    showFields(language);
}

} // namespace pulsavo
