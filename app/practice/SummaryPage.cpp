#include "SummaryPage.h"

#include "Calipers.h"
#include "CatalogueText.h"
#include "HandIn.h"
#include "ProgressStore.h"
#include "WorksheetPage.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace pulsavo {

namespace {

constexpr int resultRole = Qt::UserRole + 1;

} // namespace

SummaryPage::SummaryPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("summaryPage"));
    auto* layout = new QVBoxLayout(this);
    summaryLabel = new QLabel(this);
    summaryLabel->setObjectName(QStringLiteral("summaryLabel"));
    summaryLabel->setTextFormat(Qt::PlainText);
    missedLabel = new QLabel(this);
    missedLabel->setObjectName(QStringLiteral("missedLabel"));
    missedList = new QListWidget(this);
    missedList->setObjectName(QStringLiteral("missedList"));
    missedList->setWordWrap(true);
    missedList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    missedList->setResizeMode(QListView::Adjust);
    missedLabel->setBuddy(missedList);
    replayButton = new QPushButton(this);
    replayButton->setObjectName(QStringLiteral("replayMissedButton"));
    newRoundButton = new QPushButton(this);
    newRoundButton->setObjectName(QStringLiteral("newRoundButton"));
    handInButton = new QPushButton(this);
    handInButton->setObjectName(QStringLiteral("handInButton"));
    handInButton->hide();
    replayingLabel = new QLabel(this);
    replayingLabel->setObjectName(QStringLiteral("replayingLabel"));
    replayingLabel->setWordWrap(true);
    buttons = new QWidget(this);
    buttons->setObjectName(QStringLiteral("summaryButtons"));
    auto* rows = new QVBoxLayout(buttons);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    row->addWidget(replayButton);
    row->addStretch();
    row->addWidget(handInButton);
    row->addWidget(newRoundButton);
    rows->addWidget(replayingLabel);
    rows->addLayout(row);
    layout->addWidget(summaryLabel);
    layout->addWidget(missedLabel);
    layout->addWidget(missedList, 1);

    connect(missedList, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { emit replayRequested(missedList->row(item)); });
    connect(replayButton, &QPushButton::clicked, this,
            [this] { emit replayRequested(missedList->currentRow()); });
    connect(missedList, &QListWidget::currentRowChanged, this,
            [this](int row) { replayButton->setEnabled(row >= 0); });
    connect(newRoundButton, &QPushButton::clicked, this, &SummaryPage::newRoundRequested);
    connect(handInButton, &QPushButton::clicked, this, &SummaryPage::handInRequested);
}

void SummaryPage::offerHandIn(bool on) {
    handInButton->setVisible(on);
}

void SummaryPage::handIn(ProgressStore& store, const QString& code, const QString& learner,
                         const std::function<QString(const QString& suggested)>& chooseFile) {
    const int waiting = store.flush() ? 0 : store.waitingCount();
    if (waiting > 0) {
        replayingLabel->setText(
            tr("%1 件の回答がまだ成績ファイルに保存されていないため、提出ファイルを作れません。"
               "しばらくしてからもう一度押してください。")
                .arg(waiting));
        return;
    }
    const QString file =
        chooseFile(QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                       .filePath(HandIn::suggestedName(code, learner)));
    if (file.isEmpty()) {
        return;
    }
    const QString shown = QDir::toNativeSeparators(file);
    replayingLabel->setText(
        HandIn::save(store, code, file)
            ? tr("提出ファイルを %1 に保存しました。講師に渡してください。").arg(shown)
            : tr("提出ファイルを %1 に保存できませんでした。").arg(shown));
}

void SummaryPage::clear() {
    missedList->clear();
    replayingLabel->clear();
}

void SummaryPage::showRound(const PracticeSession::Summary& summary) {
    clear();
    for (const int index : summary.missed) {
        auto* item = new QListWidgetItem(missedList);
        item->setData(resultRole, index);
    }
    replayButton->setEnabled(false);
    if (missedList->count() > 0) {
        missedList->setCurrentRow(0);
    }
    newRoundButton->setFocus();
}

void SummaryPage::showReplaying(int index, const QString& name) {
    replayingLabel->setText(tr("再生中: 問題 %1 %2").arg(index + 1).arg(name));
}

bool SummaryPage::listHasFocus() const {
    return missedList->hasFocus();
}

int SummaryPage::currentMissed() const {
    return missedList->currentRow();
}

int SummaryPage::resultIndex(int row) const {
    return row >= 0 && row < missedList->count() ? missedList->item(row)->data(resultRole).toInt()
                                                 : -1;
}

void SummaryPage::retranslate(catalogue::Language language, const PracticeSession::Summary& summary,
                              const std::vector<PracticeSession::Result>& results) {
    missedLabel->setText(tr("間違えた問題(&M)（ダブルクリックで再生）:"));
    replayButton->setText(tr("再生(&P)"));
    newRoundButton->setText(tr("新しいラウンド(&N)"));
    handInButton->setText(tr("提出ファイルを保存(&S)..."));
    handInButton->setToolTip(
        tr("この試験の回答を、講師の成績表で読める 1 つのファイルに保存します。"));
    QString text = tr("得点: %1 / %2\n正答率: %3%\n回答時間の中央値: %4 秒\nヒント使用: %5 問")
                       .arg(summary.correct)
                       .arg(summary.count)
                       .arg(summary.accuracyPercent, 0, 'f', 0)
                       .arg(summary.medianAnswerMs / 1000.0, 0, 'f', 1)
                       .arg(summary.hinted);
    if (summary.measured > 0) {
        text += QLatin1Char('\n') + tr("計測: %1 / %2 が誤差 %3 ms 以内")
                                        .arg(summary.measuredRight)
                                        .arg(summary.measured)
                                        .arg(calipers::toleranceMs);
    }
    if (summary.unanswered > 0) {
        text += QLatin1Char('\n') +
                tr("時間切れで未回答: %1 問（不正解として採点）").arg(summary.unanswered);
    }
    if (summary.late > 0) {
        text += QLatin1Char('\n') +
                tr("制限時間を過ぎた回答: %1 問（不正解として採点）").arg(summary.late);
    }
    if (summary.worksheets > 0) {
        // Which parts of the worksheet went wrong this round, not just how many strips.
        QStringList fields;
        for (int index = 0; index < worksheetFieldCount; ++index) {
            fields << tr("%1 %2/%3")
                          .arg(WorksheetPage::fieldName(static_cast<WorksheetField>(index)))
                          .arg(summary.fieldsRight[static_cast<std::size_t>(index)])
                          .arg(summary.worksheets);
        }
        text += QLatin1Char('\n') + tr("ワークシートの項目別: %1").arg(fields.join(tr("、")));
    }
    if (summary.passed) {
        text += QLatin1Char('\n') +
                (*summary.passed ? tr("合格（合格点 %1%）") : tr("不合格（合格点 %1%）"))
                    .arg(summary.passPercent);
    }
    summaryLabel->setText(text);
    for (int row = 0; row < missedList->count(); ++row) {
        QListWidgetItem* item = missedList->item(row);
        const int index = item->data(resultRole).toInt();
        const PracticeSession::Result& result = results.at(static_cast<std::size_t>(index));
        item->setText(result.unanswered ? tr("問題 %1: %2（未回答）")
                                              .arg(index + 1)
                                              .arg(rhythmName(result.question.rhythm, language))
                                        : tr("問題 %1: %2（あなたの回答: %3）")
                                              .arg(index + 1)
                                              .arg(rhythmName(result.question.rhythm, language),
                                                   rhythmName(result.answer, language)));
        item->setToolTip(item->text());
    }
    if (missedList->count() == 0) {
        missedLabel->setText(tr("間違えた問題はありません。"));
    }
}

} // namespace pulsavo
