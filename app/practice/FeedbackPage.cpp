#include "FeedbackPage.h"

#include "ArtifactText.h"
#include "CatalogueText.h"
#include "DecidingCriteria.h"
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

QString rangeText(int lo, int hi, const QString& unit) {
    return QStringLiteral("%1–%2 %3").arg(lo).arg(hi).arg(unit);
}

} // namespace

QString FeedbackPage::prRangeText(unsigned kinds) {
    using namespace catalogue;
    QStringList readings;
    if ((kinds & prShort) != 0) {
        readings << tr("%1 ms 未満").arg(prNormalLoMs);
    }
    if ((kinds & prNormal) != 0) {
        readings << rangeText(prNormalLoMs, prNormalHiMs, QStringLiteral("ms"));
    }
    if ((kinds & prLong) != 0) {
        readings << tr("%1 ms 超").arg(prNormalHiMs);
    }
    if ((kinds & catalogue::prVaries) != 0) {
        readings << tr("一定しない");
    }
    if ((kinds & prNone) != 0) {
        readings << tr("なし");
    }
    return readings.join(QStringLiteral(" / "));
}

QString FeedbackPage::differenceText(const PracticeSession::Result& shown,
                                     catalogue::Language language) const {
    using catalogue::QrsWidth;
    const MeasuredFacts facts = measured.value_or(MeasuredFacts{});
    const Difference difference =
        differenceOf(shown.question.rhythm, shown.answer, facts, language);
    const catalogue::TextbookRange& range = difference.range;
    const QString none = tr("なし");
    const auto cell = [](const QString& text, bool fits) {
        return fits ? QStringLiteral("<td>%1 ○</td>").arg(text.toHtmlEscaped())
                    : QStringLiteral("<td style='color:#b00000'>%1 ×</td>")
                          .arg(text.toHtmlEscaped());
    };
    QString pr = facts.prMs ? tr("%1 ms").arg(*facts.prMs) : none;
    if (facts.prVaries && facts.prMs) {
        pr = tr("一定しない（%1 ms〜）").arg(*facts.prMs);
    }
    const QString qrsRanges[] = {tr("%1 ms 未満").arg(catalogue::qrsWideMs),
                                 tr("%1 ms 以上").arg(catalogue::qrsWideMs), tr("どちらも"), none};
    const QString row = QStringLiteral("<tr><th align='left'>%1</th>%2%3%4</tr>");
    QString text =
        QStringLiteral("<b>%1</b> %2")
            .arg((difference.criterion.forThePair ? tr("見分ける決め手:") : tr("見分け方の基本:"))
                     .toHtmlEscaped(),
                 catalogueText(difference.criterion.text).toHtmlEscaped());
    if (!measured) {
        return text;
    }
    text += QStringLiteral("<table cellspacing='0' cellpadding='2'><tr><th></th><th>%1</th>"
                           "<th>PR</th><th>QRS</th></tr>")
                .arg(tr("心拍数").toHtmlEscaped());
    text += row.arg(tr("この記録").toHtmlEscaped(),
                    cell(facts.rate ? tr("%1/分").arg(*facts.rate) : none, difference.fit.rate),
                    cell(pr, difference.fit.pr),
                    cell(facts.qrsMs ? tr("%1 ms").arg(*facts.qrsMs) : none, difference.fit.qrs));
    const auto plain = [](const QString& value) {
        return QStringLiteral("<td>%1</td>").arg(value.toHtmlEscaped());
    };
    text +=
        row.arg(tr("%1 の範囲").arg(rhythmName(shown.question.rhythm, language)).toHtmlEscaped(),
                plain(range.hasRate() ? rangeText(range.rateLo, range.rateHi, tr("/分")) : none),
                plain(prRangeText(range.pr)), plain(qrsRanges[static_cast<int>(range.qrs)]));
    return text + QStringLiteral("</table>");
}

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
    differenceLabel = makeLabel("differenceLabel", this);
    differenceLabel->setTextFormat(Qt::RichText);
    differenceLabel->setFrameShape(QFrame::StyledPanel);
    differenceLabel->setStyleSheet(QStringLiteral("QLabel { background: #f4f7ff; padding: 4px; }"));
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
    guideButton = makeButton("guideButton", this);
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
    go->addWidget(guideButton);
    go->addStretch();
    go->addWidget(replayButton);
    go->addWidget(nextButton);
    feedback->addWidget(bannerLabel);
    feedback->addWidget(correctLabel);
    feedback->addWidget(chosenLabel);
    feedback->addWidget(differenceLabel);
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
    connect(guideButton, &QPushButton::clicked, this, &FeedbackPage::guidedReadRequested);
}

void FeedbackPage::setStudyAllowed(bool allowed) {
    ladderButton->setVisible(allowed);
    guideButton->setVisible(allowed);
    saveStripButton->setVisible(allowed);
}

void FeedbackPage::showAsking() {
    ladderWaits = false;
    pointsBox->hide();
    differenceLabel->hide();
    compareButton->hide();
    measureBox->hide();
    replayButton->setEnabled(false);
    nextButton->setEnabled(false);
    guideButton->setEnabled(false);
    bannerLabel->setStyleSheet({});
}

void FeedbackPage::showResult(const PracticeSession::Result& result) {
    replayButton->setEnabled(true);
    nextButton->setEnabled(true);
    guideButton->setEnabled(true);
    // A right name given too late confused nothing: there is no pair to tell apart.
    pointsBox->setVisible(!result.named());
    differenceLabel->setVisible(!result.named() && !result.unanswered);
    compareButton->setVisible(!result.named());
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
    guideButton->setText(tr("ガイド付き判読(&G)"));
    guideButton->setToolTip(
        tr("止めた波形で、心拍数・規則性・P 波・PR・QRS・波形名の順に読みます。"));
    if (shown == nullptr) {
        bannerLabel->setText(ladderWaits ? tr("ラダー図は答えを示すため、回答のあとに表示します。")
                             : typing ? tr("波形名を入力して Enter を押してください。")
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
    bannerLabel->setText(
        shown->correct() ? tr("○ 正解")
        : shown->late
            ? tr("× 時間切れ（%1 秒かかりました）").arg(shown->answerMs / 1000.0, 0, 'f', 1)
            : tr("× 不正解"));
    correctLabel->setText(tr("正解: %1").arg(correct));
    chosenLabel->setText(tr("あなたの回答: %1").arg(chosen));
    if (!shown->typed.empty()) {
        const QString typed = QString::fromStdString(shown->typed);
        QString said = tr("あなたの回答: %1（入力「%2」）");
        if (shown->closeMisspelling) {
            said =
                shown->correct()
                    ? tr("あなたの回答: %1（入力「%2」は、つづりの小さな違いとして正解にしました）")
                    : tr("あなたの回答: %1（入力「%2」をこの名前のつづり違いとして読みました）");
        }
        chosenLabel->setText(said.arg(chosen, typed));
    }
    QString explanation =
        catalogueText(catalogue::practiceTextOf(shown->question.rhythm, language));
    // The artifact first: it is what the learner was to see through.
    const Question& question = shown->question;
    if (const std::optional<ArtifactKind> artifact =
            question.hasArtifact() ? std::optional(question.artifact) : shown->lookAlike) {
        const QString name = catalogueText(catalogue::artifactNameOf(*artifact, language));
        correctLabel->setText(question.hasArtifact()
                                  ? tr("正解: %1（%2 が重なっています）").arg(correct, name)
                                  : tr("正解: %1（%2 と見分ける問題）").arg(correct, name));
        const QString heading =
            question.hasArtifact()
                ? tr("【アーチファクト】%1（強さ %2）").arg(name).arg(question.artifactStrength)
                : tr("【見分け方】%1 との違い").arg(name);
        explanation = heading + QLatin1Char('\n') +
                      catalogueText(catalogue::artifactExplanationOf(*artifact, language)) +
                      QStringLiteral("\n\n") + explanation;
    }
    explanationEdit->setPlainText(explanation);
    correctPointsTitle->setText(tr("正解: %1").arg(correct));
    correctPoints->setPlainText(practicePointsSection(shown->question.rhythm, language));
    chosenPointsTitle->setText(tr("あなたの回答: %1").arg(chosen));
    chosenPoints->setPlainText(practicePointsSection(shown->answer, language));
    if (shown->late) {
        chosenLabel->setText(chosenLabel->text() + QLatin1Char('\n') +
                             (shown->named()
                                  ? tr("名前は合っていますが、制限時間を過ぎたため不正解です。")
                                  : tr("制限時間を過ぎた回答です。")));
    }
    if (!shown->named() && !shown->unanswered) {
        differenceLabel->setText(differenceText(*shown, language));
    }
    const QFontMetrics metrics = compareButton->fontMetrics();
    compareButton->setText(
        tr("「%1」を下に再生して比べる(&C)")
            .arg(metrics.elidedText(chosen, Qt::ElideRight, metrics.averageCharWidth() * 18)));
    compareButton->setToolTip(tr("「%1」を下に再生して比べる").arg(chosen));
}

} // namespace pulsavo
