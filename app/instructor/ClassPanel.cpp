#include "ClassPanel.h"

#include "LanguageManager.h"
#include "QrCode.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

namespace pulsavo {

using classroom::ClassHost;

namespace {

constexpr int learnerIdRole = Qt::UserRole;

} // namespace

QPixmap ClassPanel::qrPixmap(const QString& text, int modulePixels) {
    const auto code = classroom::QrCode::encode(text);
    if (!code || modulePixels < 1) {
        return {};
    }
    // Four modules of quiet zone all round, as scanners expect.
    const int side = (code->size + 8) * modulePixels;
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    for (int y = 0; y < code->size; ++y) {
        for (int x = 0; x < code->size; ++x) {
            if (code->dark(x, y)) {
                painter.fillRect((x + 4) * modulePixels, (y + 4) * modulePixels, modulePixels,
                                 modulePixels, Qt::black);
            }
        }
    }
    return pixmap;
}

ClassPanel::ClassPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("classPanel"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    startButton = new QPushButton(this);
    startButton->setObjectName(QStringLiteral("classStart"));
    approvalBox = new QCheckBox(this);
    top->addWidget(startButton);
    top->addWidget(approvalBox);
    top->addStretch();
    layout->addLayout(top);

    auto* grid = new QGridLayout;
    codeCaption = new QLabel(this);
    codeLabel = new QLabel(this);
    codeLabel->setObjectName(QStringLiteral("classCode"));
    QFont big = codeLabel->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    codeLabel->setFont(big);
    codeLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    addressLabel = new QLabel(this);
    addressLabel->setWordWrap(true);
    addressLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    qrLabel = new QLabel(this);
    grid->addWidget(codeCaption, 0, 0);
    grid->addWidget(codeLabel, 1, 0);
    grid->addWidget(addressLabel, 2, 0);
    grid->addWidget(qrLabel, 0, 1, 3, 1, Qt::AlignRight | Qt::AlignTop);
    grid->setColumnStretch(0, 1);
    layout->addLayout(grid);

    learnersCaption = new QLabel(this);
    learnerList = new QListWidget(this);
    learnerList->setObjectName(QStringLiteral("classLearners"));
    learnersCaption->setBuddy(learnerList);
    auto* approval = new QHBoxLayout;
    approveButton = new QPushButton(this);
    rejectButton = new QPushButton(this);
    approval->addWidget(approveButton);
    approval->addWidget(rejectButton);
    approval->addStretch();
    layout->addWidget(learnersCaption);
    layout->addWidget(learnerList, 1);
    layout->addLayout(approval);

    auto* polls = new QHBoxLayout;
    askButton = new QPushButton(this);
    askButton->setObjectName(QStringLiteral("classAsk"));
    closeButton = new QPushButton(this);
    closeButton->setObjectName(QStringLiteral("classClosePoll"));
    polls->addWidget(askButton);
    polls->addWidget(closeButton);
    polls->addStretch();
    layout->addLayout(polls);
    answersLabel = new QLabel(this);
    answersLabel->setObjectName(QStringLiteral("classAnswers"));
    answersLabel->setTextFormat(Qt::PlainText);
    layout->addWidget(answersLabel);
    noticeLabel = new QLabel(this);
    noticeLabel->setWordWrap(true);
    noticeLabel->setStyleSheet(QStringLiteral("color: #b00020"));
    layout->addWidget(noticeLabel);

    connect(startButton, &QPushButton::clicked, this, [this] {
        if (hosting()) {
            endClass();
        } else {
            startClass();
        }
    });
    connect(approveButton, &QPushButton::clicked, this, [this] {
        if (const QListWidgetItem* item = learnerList->currentItem(); item && session) {
            session->approve(item->data(learnerIdRole).toInt());
            showLearners();
        }
    });
    connect(rejectButton, &QPushButton::clicked, this, [this] {
        if (const QListWidgetItem* item = learnerList->currentItem(); item && session) {
            session->reject(item->data(learnerIdRole).toInt());
            showLearners();
        }
    });
    connect(learnerList, &QListWidget::currentRowChanged, this, [this] { showLearners(); });
    connect(askButton, &QPushButton::clicked, this, &ClassPanel::askRhythm);
    connect(closeButton, &QPushButton::clicked, this, &ClassPanel::closePoll);
    retranslate();
    showSession();
}

ClassPanel::~ClassPanel() = default;

bool ClassPanel::startClass(const QHostAddress& address) {
    auto host = std::make_unique<ClassHost>();
    ClassHost::Options options;
    options.address = address;
    options.requireApproval = approvalBox->isChecked();
    QString error;
    if (!host->start(options, &error)) {
        setNotice(tr("授業を始められません: %1").arg(error));
        return false;
    }
    session = std::move(host);
    asked = {};
    askedOptions.clear();
    // Learners on the room's network find the class by its code; without it they type the
    // address the tab shows, so a port in use is a notice, not a failure.
    responder = std::make_unique<classroom::DiscoveryResponder>();
    QString unfound;
    const bool findable =
        responder->start(session->code(), session->joinUrl(), session->pageUrl(), &unfound);
    if (!findable) {
        responder.reset();
    }
    connect(session.get(), &ClassHost::joinRequested, this, &ClassPanel::showLearners);
    connect(session.get(), &ClassHost::learnerJoined, this, &ClassPanel::showLearners);
    connect(session.get(), &ClassHost::learnerLeft, this, &ClassPanel::showLearners);
    connect(session.get(), &ClassHost::answerReceived, this,
            [this](int poll, int, const QString& name, int choice) {
                if (poll == session->openPoll() && choice >= 0 && choice < askedOptions.size()) {
                    emit answerGiven(name, askedOptions.at(choice), asked.isCorrect(choice));
                }
                showAnswers();
            });
    setNotice(findable ? QString()
                       : tr("コードだけでは見つけてもらえません (UDP "
                            "%1)。学習者にはアドレスを伝えてください。")
                             .arg(classroom::discovery::defaultPort));
    showSession();
    emit classStarted();
    return true;
}

void ClassPanel::endClass() {
    if (!session) {
        return;
    }
    responder.reset();
    session->stop();
    session.reset();
    showSession();
    emit classEnded();
}

bool ClassPanel::askRhythm() {
    const std::optional<Rhythm> rhythm = playingRhythm ? playingRhythm() : std::nullopt;
    if (!session || !rhythm) {
        return false;
    }
    asked = classroom::RhythmPoll::ask(*rhythm, QRandomGenerator::global()->generate());
    askedOptions = asked.options(LanguageManager::instance().language());
    const QString question = tr("この波形は？");
    if (session->startPoll(QStringLiteral("rhythm"), question, askedOptions) == 0) {
        setNotice(tr("質問を送れませんでした"));
        return false;
    }
    emit pollAsked(question, askedOptions);
    showAnswers();
    return true;
}

void ClassPanel::closePoll() {
    if (session) {
        session->closePoll();
        showAnswers();
    }
}

QString ClassPanel::notice() const {
    return noticeLabel->text();
}

void ClassPanel::setNotice(const QString& text) {
    noticeLabel->setText(text);
}

void ClassPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

void ClassPanel::retranslate() {
    approvalBox->setText(tr("参加を承認制にする(&V)"));
    codeCaption->setText(tr("参加コード"));
    learnersCaption->setText(tr("参加者(&L)"));
    approveButton->setText(tr("承認(&Y)"));
    rejectButton->setText(tr("拒否(&N)"));
    askButton->setText(tr("「この波形は？」と全員に聞く(&Q)"));
    closeButton->setText(tr("回答を締め切る(&X)"));
    showSession();
}

void ClassPanel::showSession() {
    startButton->setText(hosting() ? tr("授業を終える(&E)") : tr("授業を始める(&S)"));
    approvalBox->setEnabled(!hosting());
    askButton->setEnabled(hosting());
    if (!session) {
        codeLabel->setText(QStringLiteral("—"));
        addressLabel->setText(
            tr("授業を始めると、同じネットワークの学習者がコードで参加できます。"));
        qrLabel->clear();
    } else {
        const QString code = session->code();
        codeLabel->setText(code.left(3) + QLatin1Char(' ') + code.mid(3));
        addressLabel->setText(
            tr("ブラウザ: %1\nPulsavo: pulsavo --join %2（見つからないときは --host %3）")
                .arg(session->pageUrl().toString(), code, session->joinUrl().authority()));
        qrLabel->setPixmap(qrPixmap(session->pageUrl().toString(QUrl::FullyEncoded)));
    }
    showLearners();
    showAnswers();
}

void ClassPanel::showLearners() {
    const int current = learnerList->currentRow();
    const QSignalBlocker quiet(learnerList);
    learnerList->clear();
    bool pendingChosen = false;
    if (session) {
        for (const ClassHost::Learner& learner : session->learners()) {
            auto* item = new QListWidgetItem(
                learner.approved ? learner.name : tr("%1（承認待ち）").arg(learner.name),
                learnerList);
            item->setData(learnerIdRole, learner.id);
        }
        learnerList->setCurrentRow(std::min(current, learnerList->count() - 1));
        if (const QListWidgetItem* item = learnerList->currentItem()) {
            const int id = item->data(learnerIdRole).toInt();
            for (const ClassHost::Learner& learner : session->learners()) {
                pendingChosen = pendingChosen || (learner.id == id && !learner.approved);
            }
        }
    }
    learnersCaption->setText(session ? tr("参加者(&L): %1 人").arg(session->learnerCount())
                                     : tr("参加者(&L)"));
    approveButton->setEnabled(pendingChosen);
    rejectButton->setEnabled(session && learnerList->currentItem() != nullptr);
    emit shownChanged();
}

void ClassPanel::showAnswers() {
    closeButton->setEnabled(session && session->pollIsOpen());
    if (!session || askedOptions.isEmpty()) {
        answersLabel->clear();
        emit shownChanged();
        return;
    }
    const std::vector<int> counts = session->pollCounts();
    int total = 0;
    for (const int n : counts) {
        total += n;
    }
    QStringList lines{tr("この波形は？ — 回答 %1 人").arg(total)};
    for (int i = 0; i < askedOptions.size(); ++i) {
        const int n = i < static_cast<int>(counts.size()) ? counts[static_cast<std::size_t>(i)] : 0;
        lines << QStringLiteral("%1 %2  %3 %4")
                     .arg(asked.isCorrect(i) ? QStringLiteral("✓") : QStringLiteral("　"),
                          askedOptions.at(i), QString(n, QChar(0x2588)))
                     .arg(n);
    }
    answersLabel->setText(lines.join(QLatin1Char('\n')));
    emit shownChanged();
}

} // namespace pulsavo
