#include "PracticeTopBar.h"

#include "MonitorActions.h"
#include "PracticeSession.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace pulsavo {

namespace {

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

PracticeTopBar::PracticeTopBar(MonitorActions* monitorActions, QWidget* parent)
    : QWidget(parent), actions(monitorActions) {
    setObjectName(QStringLiteral("practiceTopBar"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    progressLabel = named(new QLabel(this), "progressLabel");
    // A long English line wraps in the room the buttons leave; it never widens the window.
    progressLabel->setWordWrap(true);
    progressLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    timeLabel = named(new QLabel(this), "timeLabel");
    timeLabel->hide();
    freezeButton = named(new QPushButton(this), "freezeButton");
    checkButton = named(new QPushButton(this), "checkButton");
    checkButton->setEnabled(false);
    progressButton = named(new QPushButton(this), "progressButton");
    gradebookButton = named(new QPushButton(this), "gradebookButton");
    classButton = named(new QPushButton(this), "classButton");
    languageButton = named(new QToolButton(this), "languageButton");
    highlightButton = named(new QToolButton(this), "highlightButton");
    languageButton->setMenu(actions->languageMenu());
    highlightButton->setMenu(actions->highlightMenu());
    for (QToolButton* button : {languageButton, highlightButton}) {
        button->setPopupMode(QToolButton::InstantPopup);
    }
    row->addWidget(progressLabel, 1);
    row->addWidget(timeLabel);
    for (QWidget* button :
         std::initializer_list<QWidget*>{freezeButton, checkButton, progressButton, gradebookButton,
                                         classButton, highlightButton, languageButton}) {
        row->addWidget(button);
    }
    connect(freezeButton, &QPushButton::clicked, this, &PracticeTopBar::freezeClicked);
    connect(checkButton, &QPushButton::clicked, this, &PracticeTopBar::checkClicked);
    connect(progressButton, &QPushButton::clicked, this, &PracticeTopBar::progressClicked);
    connect(gradebookButton, &QPushButton::clicked, this, &PracticeTopBar::gradebookClicked);
    connect(classButton, &QPushButton::clicked, this, &PracticeTopBar::joinClassClicked);
}

void PracticeTopBar::showStage(const PracticeSession& session) {
    const bool exam = session.mode() == RoundMode::exam;
    freezeButton->setEnabled(session.stage() != PracticeSession::Stage::setup);
    switch (session.stage()) {
    case PracticeSession::Stage::setup:
        progressLabel->setText(tr("オプションを選んで［開始］を押してください。"));
        break;
    case PracticeSession::Stage::question:
    case PracticeSession::Stage::worksheet:
    case PracticeSession::Stage::feedback:
    case PracticeSession::Stage::measurement:
        if (exam) {
            progressLabel->setText((session.isHinted() ? tr("試験 %1　問 %2 / %3（ヒント使用）")
                                                       : tr("試験 %1　問 %2 / %3"))
                                       .arg(QString::fromStdString(session.examCode()))
                                       .arg(session.number())
                                       .arg(session.planned()));
        } else {
            progressLabel->setText(
                (session.isHinted() ? tr("問題 %1 / %2（ヒント使用）") : tr("問題 %1 / %2"))
                    .arg(session.number())
                    .arg(session.planned()));
        }
        break;
    case PracticeSession::Stage::summary:
        progressLabel->setText(tr("ラウンド終了"));
        break;
    }
}

void PracticeTopBar::showFrozen(bool on) {
    frozen = on;
    checkButton->setEnabled(on);
    freezeButton->setText(on ? tr("再開(&F)") : tr("一時停止(&F)"));
    actions->showFrozen(on);
}

void PracticeTopBar::setCheckAllowed(bool allowed) {
    checkButton->setVisible(allowed);
}

void PracticeTopBar::setClockShown(bool shown) {
    shownSeconds = -1;
    timeLabel->setVisible(shown);
}

void PracticeTopBar::showTimeLeft(std::int64_t leftMs) {
    const std::int64_t seconds = (leftMs + 999) / 1000;
    if (seconds == shownSeconds) {
        return;
    }
    shownSeconds = seconds;
    answerClock = false;
    timeLabel->setText(tr("残り %1:%2")
                           .arg(seconds / 60, 2, 10, QLatin1Char('0'))
                           .arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

void PracticeTopBar::showAnswerTimeLeft(std::int64_t leftMs) {
    const std::int64_t seconds = (leftMs + 999) / 1000;
    if (seconds == shownSeconds) {
        return;
    }
    shownSeconds = seconds;
    answerClock = true;
    timeLabel->setText(seconds > 0 ? tr("回答まで残り %1 秒").arg(seconds)
                                   : tr("時間切れ: 今の回答は不正解になります"));
}

void PracticeTopBar::retranslate() {
    actions->retranslate(frozen);
    progressButton->setText(tr("成績(&T)..."));
    gradebookButton->setText(tr("採点(&G)..."));
    gradebookButton->setToolTip(tr("クラスの解答データベースや提出ファイルから試験を採点します。"));
    classButton->setText(tr("教室に参加(&J)..."));
    classButton->setToolTip(
        tr("先生のモニターに参加コードでつなぎ、同じ波形を見て質問に答えます。"));
    freezeButton->setText(frozen ? tr("再開(&F)") : tr("一時停止(&F)"));
    freezeButton->setToolTip(tr("モニターを止めてキャリパーで測ります（Pause または F キー）。"));
    checkButton->setText(tr("答え合わせ(&K)"));
    checkButton->setToolTip(
        tr("止めた波形に本当の波の位置を示し、キャリパーを採点します。回答前はヒント扱いです。"));
    freezeButton->setAccessibleDescription(freezeButton->toolTip());
    checkButton->setAccessibleDescription(checkButton->toolTip());
    progressButton->setAccessibleDescription(tr("正答率と取り違えの多い組み合わせを表示します。"));
    languageButton->setText(tr("Language / 言語"));
    languageButton->setAccessibleName(tr("Language / 言語"));
    languageButton->setAccessibleDescription(tr("画面の言語を選びます。"));
    highlightButton->setText(tr("強調表示"));
    highlightButton->setToolTip(
        tr("注目する部分の示し方を選びます（色覚に配慮した配色もあります）。"));
    if (shownSeconds >= 0) {
        const std::int64_t seconds = shownSeconds;
        shownSeconds = -1;
        if (answerClock) {
            showAnswerTimeLeft(seconds * 1000);
        } else {
            showTimeLeft(seconds * 1000);
        }
    }
}

} // namespace pulsavo
