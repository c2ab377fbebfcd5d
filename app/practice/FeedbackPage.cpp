#include "FeedbackPage.h"

#include "CatalogueText.h"
#include "MeasurementBox.h"
#include "Settings.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <tuple>

namespace pulsavo {

namespace {

QPlainTextEdit* makeTextBox(const char* name, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Two lines at least; on a small screen the boxes give way before the buttons do.
    box->setMinimumHeight(box->fontMetrics().lineSpacing() * 2 + 8);
    return box;
}

QLabel* makeLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    // Long rhythm names wrap rather than widen the window at every wrong answer.
    label->setWordWrap(true);
    return label;
}

QPushButton* makeButton(const char* name, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

FeedbackPage::FeedbackPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("feedbackArea"));
    auto* feedback = new QVBoxLayout(this);
    feedback->setContentsMargins(0, 0, 0, 0);
    bannerLabel = makeLabel("bannerLabel", this);
    QFont bannerFont = bannerLabel->font();
    bannerFont.setPointSizeF(bannerFont.pointSizeF() * 1.6);
    bannerFont.setBold(true);
    bannerLabel->setFont(bannerFont);
    correctLabel = makeLabel("correctLabel", this);
    chosenLabel = makeLabel("chosenLabel", this);
    explanationEdit = makeTextBox("explanationEdit", this);
    pointsBox = new QGroupBox(this);
    pointsBox->setObjectName(QStringLiteral("pointsBox"));
    auto* points = new QHBoxLayout(pointsBox);
    for (auto [title, box, titleName, boxName] :
         {std::tuple{&correctPointsTitle, &correctPoints, "correctPointsTitle", "correctPoints"},
          std::tuple{&chosenPointsTitle, &chosenPoints, "chosenPointsTitle", "chosenPoints"}}) {
        auto* column = new QVBoxLayout;
        *title = makeLabel(titleName, pointsBox);
        *box = makeTextBox(boxName, pointsBox);
        column->addWidget(*title);
        column->addWidget(*box);
        points->addLayout(column);
    }
    compareButton = makeButton("compareButton", this);
    // It names the learner's answer, elided: the button never widens the window.
    compareButton->setMinimumWidth(compareButton->fontMetrics().averageCharWidth() * 12);
    compareButton->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    replayButton = makeButton("replayButton", this);
    nextButton = makeButton("nextButton", this);
    ladderButton = makeButton("ladderButton", this);
    ladderButton->setCheckable(true);
    ladderButton->setChecked(Settings().practiceLadder());
    saveStripButton = makeButton("saveStripButton", this);
    measureBox = new MeasurementBox(this);
    // Two rows, so that every button stays on a narrow window at a large scale.
    studyRow = new QWidget(this);
    auto* study = new QHBoxLayout(studyRow);
    study->setContentsMargins(0, 0, 0, 0);
    study->addWidget(compareButton, 1);
    study->addWidget(ladderButton);
    study->addWidget(saveStripButton);
    goRow = new QWidget(this);
    auto* go = new QHBoxLayout(goRow);
    go->setContentsMargins(0, 0, 0, 0);
    go->addWidget(replayButton);
    go->addWidget(nextButton);
    feedback->addWidget(bannerLabel);
    feedback->addWidget(correctLabel);
    feedback->addWidget(chosenLabel);
    feedback->addWidget(explanationEdit, 1);
    feedback->addWidget(pointsBox, 1);
    feedback->addWidget(measureBox);

    connect(compareButton, &QPushButton::clicked, this, &FeedbackPage::compareRequested);
    connect(replayButton, &QPushButton::clicked, this, &FeedbackPage::replayRequested);
    connect(ladderButton, &QPushButton::toggled, this, [this](bool on) {
        Settings().setPracticeLadder(on);
        emit ladderToggled(on);
    });
    connect(saveStripButton, &QPushButton::clicked, this, &FeedbackPage::saveStripRequested);
    connect(nextButton, &QPushButton::clicked, this, &FeedbackPage::nextRequested);
}

void FeedbackPage::setStudyAllowed(bool allowed) {
    ladderButton->setVisible(allowed);
    saveStripButton->setVisible(allowed);
}

void FeedbackPage::showAsking() {
    ladderWaits = false;
    pointsBox->hide();
    compareButton->hide();
    measureBox->hide();
    replayButton->setEnabled(false);
    nextButton->setEnabled(false);
    bannerLabel->setStyleSheet({});
}

void FeedbackPage::showResult(const PracticeSession::Result& result) {
    replayButton->setEnabled(true);
    nextButton->setEnabled(true);
    pointsBox->setVisible(!result.correct());
    compareButton->setVisible(!result.correct());
    bannerLabel->setStyleSheet(result.correct() ? QStringLiteral("color: #006400;")
                                                : QStringLiteral("color: #b00000;"));
}

void FeedbackPage::explainLadderWaits() {
    ladderWaits = true;
    bannerLabel->setText(tr("ラダー図は答えを示すため、回答のあとに表示します。"));
}

bool FeedbackPage::ladderWanted() const {
    return ladderButton->isChecked() && !ladderButton->isHidden();
}

void FeedbackPage::focusNext() {
    nextButton->setFocus();
}

void FeedbackPage::retranslate(catalogue::Language language, const PracticeSession::Result* shown,
                               bool last, std::optional<calipers::Kind> task) {
    if (!task && shown != nullptr && shown->measurement) {
        task = static_cast<calipers::Kind>(shown->measurement->task.kind);
    }
    measureBox->retranslate(task);
    pointsBox->setTitle(tr("見分けるポイント"));
    replayButton->setText(tr("もう一度(&R)"));
    ladderButton->setText(tr("ラダー図(&D)"));
    ladderButton->setToolTip(tr("心房・房室結節・心室の伝わり方を図で示します。答えがわかるため、"
                                "回答のあとに表示します。"));
    saveStripButton->setText(tr("記録紙を保存(&W)..."));
    saveStripButton->setToolTip(
        tr("回答前に保存した記録紙には、波形名・強調表示・ラダー図は入りません。"));
    nextButton->setText(last ? tr("結果を見る(&N)") : tr("次の問題(&N)"));
    if (shown == nullptr) {
        bannerLabel->setText(ladderWaits ? tr("ラダー図は答えを示すため、回答のあとに表示します。")
                                         : tr("波形名を選んで［回答］を押してください。"));
        correctLabel->clear();
        chosenLabel->clear();
        explanationEdit->clear();
        compareButton->setText(tr("比べる(&C)"));
        compareButton->setToolTip({});
        return;
    }
    const QString correct = rhythmName(shown->question.rhythm, language);
    const QString chosen = rhythmName(shown->answer, language);
    bannerLabel->setText(shown->correct() ? tr("○ 正解") : tr("× 不正解"));
    correctLabel->setText(tr("正解: %1").arg(correct));
    chosenLabel->setText(tr("あなたの回答: %1").arg(chosen));
    explanationEdit->setPlainText(
        catalogueText(catalogue::textOf(shown->question.rhythm, language)));
    correctPointsTitle->setText(tr("正解: %1").arg(correct));
    correctPoints->setPlainText(pointsSection(shown->question.rhythm, language));
    chosenPointsTitle->setText(tr("あなたの回答: %1").arg(chosen));
    chosenPoints->setPlainText(pointsSection(shown->answer, language));
    const QFontMetrics metrics = compareButton->fontMetrics();
    compareButton->setText(
        tr("「%1」を下に再生して比べる(&C)")
            .arg(metrics.elidedText(chosen, Qt::ElideRight, metrics.averageCharWidth() * 18)));
    compareButton->setToolTip(tr("「%1」を下に再生して比べる").arg(chosen));
}

} // namespace pulsavo
