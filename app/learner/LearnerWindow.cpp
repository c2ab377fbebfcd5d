#include "LearnerWindow.h"

#include "CaliperOverlay.h"
#include "LadderPanel.h"
#include "MonitorActions.h"
#include "Protocol.h"
#include "ScopePanel.h"
#include "Sweep.h"
#include "WindowFit.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace pulsavo {

using classroom::ClassLearner;

namespace {

// Ticks made up in one frame at most: a rejoin's replay plays fast but never stalls the window.
constexpr int maxTicksPerFrame = 600;
constexpr int frameMs = 16;
constexpr int retryMs = 3000;

} // namespace

LearnerWindow::LearnerWindow(std::unique_ptr<ToneSink> beat, QWidget* parent)
    : QWidget(parent, Qt::Window), live(defaultPanelWidth, defaultPanelHeight),
      beatTone(beat ? std::move(beat) : std::make_unique<BeatTone>()) {
    setObjectName(QStringLiteral("learnerWindow"));
    live.setEventHistory(true);
    MonitorActions::wireTone(live, [this] { return held ? nullptr : beatTone.get(); });
    shared = new MonitorActions(this);
    connect(shared, &MonitorActions::freezeToggled, this, [this] { setHeld(!held); });
    setContextMenuPolicy(Qt::ActionsContextMenu);
    addAction(shared->freezeAction());
    addAction(shared->highlightMenu()->menuAction());
    addAction(shared->languageMenu()->menuAction());

    auto* layout = new QVBoxLayout(this);
    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("learnerStatus"));
    statusLabel->setWordWrap(true);
    layout->addWidget(statusLabel);
    ecg = new ScopePanel(this);
    ecg->setObjectName(QStringLiteral("learnerEcg"));
    ecg->setFixedSize(defaultPanelWidth, defaultPanelHeight);
    QPalette black = ecg->palette();
    black.setColor(QPalette::Window, Qt::black);
    ecg->setPalette(black);
    ecg->attach(live);
    live.beforeStep = [this] { cursor.applyDue(session.model().timeline(), live.simulation()); };
    calipers = new CaliperOverlay(ecg);
    calipers->setMonitor(&live);
    layout->addWidget(ecg, 0, Qt::AlignHCenter);
    ladder = new LadderPanel(this);
    ladder->setFixedSize(defaultPanelWidth, LadderPanel::preferredHeight);
    ladder->setMonitor(&live);
    ladder->hide();
    layout->addWidget(ladder, 0, Qt::AlignHCenter);
    ladderItem = new QAction(this);
    ladderItem->setCheckable(true);
    addAction(ladderItem);
    connect(ladderItem, &QAction::toggled, this, [this](bool on) {
        ladder->setVisible(on);
        if (on) {
            ladder->refresh();
        }
    });

    questionLabel = new QLabel(this);
    questionLabel->setObjectName(QStringLiteral("learnerQuestion"));
    QFont larger = questionLabel->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.4);
    larger.setBold(true);
    questionLabel->setFont(larger);
    layout->addWidget(questionLabel);
    optionGrid = new QGridLayout;
    layout->addLayout(optionGrid);
    answerLabel = new QLabel(this);
    answerLabel->setObjectName(QStringLiteral("learnerAnswer"));
    answerLabel->setWordWrap(true);
    layout->addWidget(answerLabel);
    layout->addStretch(1);

    connect(&session, &ClassLearner::statusChanged, this, [this](ClassLearner::Status status) {
        // Offline, the monitor plays on from what it has; joining again brings it back.
        if (status == ClassLearner::Status::offline) {
            retry.start();
        } else {
            retry.stop();
        }
        showStatus();
    });
    connect(&session, &ClassLearner::pollReceived, this, [this] {
        answered = -1;
        showPoll();
        showLadderChoice();
    });
    connect(&session, &ClassLearner::pollClosed, this, [this] {
        showPoll();
        showLadderChoice();
    });
    retry.setInterval(retryMs);
    connect(&retry, &QTimer::timeout, this, [this] {
        QString error;
        session.join(address, code, name, &error);
    });
    frames.setInterval(frameMs);
    frames.setTimerType(Qt::PreciseTimer);
    connect(&frames, &QTimer::timeout, this, &LearnerWindow::follow);
    retranslate();
    resize(defaultPanelWidth + 40, defaultPanelHeight + 260);
}

LearnerWindow::~LearnerWindow() {
    frames.stop();
    session.leave();
}

bool LearnerWindow::join(const QString& where, const QString& joinCode,
                         const QString& learnerName) {
    address = where.trimmed();
    code = joinCode;
    name = learnerName;
    problem.clear();
    if (address.isEmpty()) {
        search = std::make_unique<classroom::DiscoveryQuery>();
        connect(search.get(), &classroom::DiscoveryQuery::found, this, [this](const QUrl& url) {
            search.release()->deleteLater();
            join(url.toString(), code, name);
        });
        connect(search.get(), &classroom::DiscoveryQuery::failed, this, [this] {
            search.release()->deleteLater();
            problem =
                tr("同じネットワークに参加コード %1 の教室が見つかりません。先生の画面のアドレス"
                   "を入れてください")
                    .arg(code);
            showStatus();
        });
        QString error;
        if (!search->start(code, {}, &error)) {
            search.reset();
            problem = error;
            showStatus();
            return false;
        }
        showStatus();
        return true;
    }
    QString error;
    const bool started = session.join(address, code, name, &error);
    problem = started ? QString() : error;
    showStatus();
    return started;
}

QString LearnerWindow::defaultName() {
    for (const char* variable : {"USER", "LOGNAME", "USERNAME"}) {
        QString login = qEnvironmentVariable(variable).trimmed();
        if (classroom::protocol::validName(login)) {
            return login;
        }
    }
    return tr("学習者");
}

void LearnerWindow::follow() {
    const auto& timeline = session.model().timeline();
    if (cursor.replayNeeded(timeline, live.simulation().tickCount)) {
        // The timeline changed under what was played: play it again from the class's start.
        live.restart();
        cursor.rewind();
        calipers->followFreeze(false);
    }
    if (held) {
        return;
    }
    std::int64_t target =
        std::min(session.playoutTick(), live.simulation().tickCount + maxTicksPerFrame);
    // A class the console holds holds here too, unless the class has gone on since.
    const classroom::protocol::Message* last = timeline.empty() ? nullptr : &timeline.back();
    if (last != nullptr && last->type == classroom::protocol::Type::freeze && last->on) {
        target = std::min(target, last->at - 1);
    }
    // One run, its entries applied before each step: the panel repaints once a frame, not once
    // a tick (a rejoin plays hundreds of ticks in a frame).
    if (target > live.simulation().tickCount) {
        live.run(static_cast<int>(target - live.simulation().tickCount));
    }
    cursor.applyDue(timeline, live.simulation());
    if (ladder->isVisible()) {
        ladder->refresh();
    }
    if (cursor.frozen() != classFrozen) {
        classFrozen = cursor.frozen();
        showStatus();
    }
}

// The ladder shows how the rhythm conducts, which answers the question: it waits while one is
// open.
void LearnerWindow::showLadderChoice() {
    const bool asking = session.currentPoll().type == classroom::protocol::Type::poll;
    if (asking) {
        ladderItem->setChecked(false);
    }
    ladderItem->setEnabled(!asking);
}

void LearnerWindow::setHeld(bool on) {
    held = on;
    shared->showFrozen(on);
    calipers->followFreeze(on);
    if (on && live.onSilence) {
        live.onSilence();
    }
    showStatus();
}

QString LearnerWindow::statusText() const {
    return statusLabel->text();
}

void LearnerWindow::showStatus() {
    QString text;
    switch (session.status()) {
    case ClassLearner::Status::idle:
        text = !problem.isEmpty() ? tr("参加できません: %1").arg(problem)
               : search           ? tr("教室 %1 を探しています…").arg(code)
                                  : tr("教室に参加していません");
        break;
    case ClassLearner::Status::connecting:
        text = tr("教室 %1 に接続しています…").arg(code);
        break;
    case ClassLearner::Status::pending:
        text = tr("先生の承認を待っています…");
        break;
    case ClassLearner::Status::joined:
        text = tr("教室 %1 に %2 として参加しています").arg(code, name);
        break;
    case ClassLearner::Status::offline:
        text = tr("ネットワークが切れました。最後の波形を再生し続け、再接続を試みています…");
        break;
    case ClassLearner::Status::refused:
        switch (session.refusal()) {
        case classroom::protocol::Refusal::code:
            text = tr("参加コードが違います");
            break;
        case classroom::protocol::Refusal::full:
            text = tr("教室が満員です");
            break;
        case classroom::protocol::Refusal::rejected:
            text = tr("先生が参加を認めませんでした");
            break;
        case classroom::protocol::Refusal::version:
            text = tr("先生の Pulsavo と版が合いません");
            break;
        default:
            text = tr("教室が終わったか、接続が断られました");
            break;
        }
        break;
    }
    if (classFrozen) {
        text += QLatin1Char('\n') + tr("先生がモニターを一時停止しています");
    }
    if (held) {
        text += QLatin1Char('\n') + tr("このモニターを一時停止中（F で再開。授業は続いています）");
    }
    statusLabel->setText(text);
}

void LearnerWindow::showPoll() {
    for (QPushButton* button : optionButtons) {
        delete button;
    }
    optionButtons.clear();
    const classroom::protocol::Message& poll = session.currentPoll();
    if (poll.poll == 0) {
        questionLabel->clear();
        answerLabel->clear();
        return;
    }
    const bool open = poll.type == classroom::protocol::Type::poll;
    questionLabel->setText(poll.question);
    for (int i = 0; i < poll.options.size(); ++i) {
        auto* button = new QPushButton(poll.options.at(i), this);
        button->setCheckable(true);
        button->setChecked(i == answered);
        button->setEnabled(open);
        connect(button, &QPushButton::clicked, this, [this, i, id = poll.poll] {
            if (session.answer(id, i)) {
                answered = i;
            }
            showPoll();
        });
        optionGrid->addWidget(button, i / 2, i % 2);
        optionButtons.push_back(button);
    }
    if (!open) {
        answerLabel->setText(
            answered >= 0
                ? tr("締め切られました。あなたの回答: %1").arg(poll.options.value(answered))
                : tr("締め切られました"));
    } else {
        answerLabel->setText(answered >= 0 ? tr("回答しました: %1（締め切りまで変えられます）")
                                                 .arg(poll.options.value(answered))
                                           : tr("モニターを見て答えてください"));
    }
}

void LearnerWindow::retranslate() {
    setWindowTitle(tr("Pulsavo — 教室"));
    ladderItem->setText(tr("ラダー図(&D)"));
    shared->retranslate(held);
    showStatus();
    showPoll();
}

void LearnerWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange && statusLabel != nullptr) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

void LearnerWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fitToScreen(this);
    frames.start();
}

void LearnerWindow::closeEvent(QCloseEvent* event) {
    frames.stop();
    retry.stop();
    session.leave();
    QWidget::closeEvent(event);
}

} // namespace pulsavo
