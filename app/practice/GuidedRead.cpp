#include "GuidedRead.h"

#include "CaliperOverlay.h"
#include "CatalogueText.h"
#include "Monitor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace pulsavo {

using Step = GuidedReading::Step;

// The six-second marks over the frozen strip, as printed at the top of ECG paper every three
// seconds; drawn above the calipers and letting the mouse through to them.
class SecondMarks : public QWidget {
public:
    explicit SecondMarks(CaliperOverlay* over) : QWidget(over->parentWidget()), overlay(over) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }
    void showWindow(std::int64_t first, int count) {
        from = first;
        complexes = count;
        setGeometry(overlay->geometry());
        raise();
        show();
        update();
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        const QColor colour(255, 220, 0);
        painter.setPen(QPen(colour, 2));
        std::optional<int> start;
        std::optional<int> end;
        for (int second = 0; second <= 6; second += 3) {
            const std::optional<int> x =
                overlay->columnOf(from + second * GuidedReading::sixSecondTicks / 6);
            if (!x) {
                continue;
            }
            painter.drawLine(*x, 0, *x, 14);
            painter.drawText(*x + 3, 24, QString::number(second) + QStringLiteral(" s"));
            (second == 0 ? start : end) = x;
        }
        if (start && end && complexes >= 0) {
            painter.drawText(
                std::min(*start, *end) + 3, height() - 22,
                GuidedRead::tr("QRS %1 個 × 10 = %2/分").arg(complexes).arg(complexes * 10));
        }
    }

private:
    CaliperOverlay* overlay;
    std::int64_t from = 0;
    int complexes = -1;
};

GuidedRead::GuidedRead(CaliperOverlay* caliperOverlay, QWidget* parent)
    : QGroupBox(parent), overlay(caliperOverlay), marks(new SecondMarks(caliperOverlay)) {
    setObjectName(QStringLiteral("guidedRead"));
    auto* layout = new QVBoxLayout(this);
    stepLabel = new QLabel(this);
    QFont bold = stepLabel->font();
    bold.setBold(true);
    stepLabel->setFont(bold);
    sixSecondCheck = new QCheckBox(this);
    sixSecondCheck->setObjectName(QStringLiteral("sixSecondCheck"));
    promptLabel = new QLabel(this);
    promptLabel->setWordWrap(true);
    choiceBox = new QComboBox(this);
    choiceBox->setObjectName(QStringLiteral("guideChoice"));
    valueBox = new QSpinBox(this);
    valueBox->setObjectName(QStringLiteral("guideValue"));
    valueBox->setRange(0, 400);
    verdictLabel = new QLabel(this);
    verdictLabel->setObjectName(QStringLiteral("guideVerdict"));
    verdictLabel->setWordWrap(true);
    verdictLabel->setTextFormat(Qt::PlainText);
    checkButton = new QPushButton(this);
    checkButton->setObjectName(QStringLiteral("guideCheckButton"));
    nextButton = new QPushButton(this);
    nextButton->setObjectName(QStringLiteral("guideNextButton"));
    closeButton = new QPushButton(this);
    auto* heading = new QHBoxLayout;
    heading->addWidget(stepLabel, 1);
    heading->addWidget(sixSecondCheck);
    auto* answerRow = new QHBoxLayout;
    answerRow->addWidget(choiceBox, 1);
    answerRow->addWidget(valueBox);
    answerRow->addWidget(checkButton);
    answerRow->addWidget(nextButton);
    answerRow->addWidget(closeButton);
    layout->addLayout(heading);
    layout->addWidget(promptLabel);
    layout->addLayout(answerRow);
    layout->addWidget(verdictLabel);
    hide();
    for (QWidget* input : std::initializer_list<QWidget*>{valueBox, choiceBox, sixSecondCheck}) {
        input->installEventFilter(this);
    }

    connect(checkButton, &QPushButton::clicked, this, &GuidedRead::checkStep);
    connect(nextButton, &QPushButton::clicked, this, &GuidedRead::nextStep);
    connect(closeButton, &QPushButton::clicked, this, [this] {
        stop();
        emit closed();
    });
    connect(choiceBox, &QComboBox::currentIndexChanged, this, [this] {
        // The PR in ms needs a number; "varies" and "none" do not.
        valueBox->setEnabled(!reading || reading->step() != Step::pr ||
                             choiceBox->currentIndex() == 0);
    });
    // The rate counted another way: the read starts again from its first step.
    connect(sixSecondCheck, &QCheckBox::toggled, this, [this] {
        if (reading) {
            start(rhythm, language);
        }
    });
}

GuidedRead::~GuidedRead() = default;

void GuidedRead::start(Rhythm shown, catalogue::Language chosen) {
    const Monitor* monitor = overlay->shownMonitor();
    if (monitor == nullptr) {
        return;
    }
    rhythm = shown;
    language = chosen;
    const auto [first, last] = overlay->visibleTicks();
    const std::vector<WaveEvent> events = monitor->events();
    reading.emplace(events, first, last, rhythm, sixSecondCheck->isChecked());
    // On a sweep the newest trace may wrap to the panel's left: the six seconds are counted
    // where they run left to right without the gap, the oldest ones if the newest wrap.
    if (!runsOnward(reading->sixFrom(), reading->sixTo()) &&
        runsOnward(first, first + GuidedReading::sixSecondTicks)) {
        reading->countFrom(first);
    }
    show();
    showStep();
}

bool GuidedRead::runsOnward(std::int64_t from, std::int64_t to) const {
    const std::optional<int> left = overlay->columnOf(from);
    const std::optional<int> right = overlay->columnOf(to);
    return left && right && *left < *right;
}

void GuidedRead::showCalipers(std::vector<calipers::Caliper> set) {
    // A caliper across the sweep's gap would be drawn from one edge to the other.
    std::erase_if(set, [this](const calipers::Caliper& caliper) {
        return !runsOnward(caliper.from, caliper.to);
    });
    overlay->showCalipers(std::move(set));
}

void GuidedRead::stop() {
    reading.reset();
    marks->hide();
    overlay->showCalipers({});
    hide();
}

int GuidedRead::answerValue() const {
    if (!reading) {
        return 0;
    }
    switch (reading->step()) {
    case Step::rate:
    case Step::qrs:
        return valueBox->value();
    case Step::pr:
        return choiceBox->currentIndex() == 0
                   ? valueBox->value()
                   : (choiceBox->currentIndex() == 1 ? GuidedReading::prVaries
                                                     : GuidedReading::prNone);
    case Step::regularity:
    case Step::pWaves:
        return choiceBox->currentIndex();
    case Step::name:
        return indexOf(rhythm);
    }
    return 0;
}

void GuidedRead::checkStep() {
    if (!reading || reading->step() == Step::name) {
        return;
    }
    checked = true;
    const Step step = reading->step();
    const bool right = reading->check(answerValue());
    verdictLabel->setStyleSheet(right ? QStringLiteral("color: #006400;")
                                      : QStringLiteral("color: #b00000;"));
    verdictLabel->setText((right ? tr("○ そのとおりです。") : tr("× 違います。")) +
                          QLatin1Char(' ') + truthText(step));
    showCalipers(reading->calipersFor(step));
    nextButton->setFocus();
}

void GuidedRead::nextStep() {
    if (!reading) {
        return;
    }
    if (!checked && reading->step() != Step::name) {
        checkStep();
        return;
    }
    if (!reading->next()) {
        stop();
        emit closed();
        return;
    }
    showStep();
}

// Enter in the read checks the step, then moves on; it never reaches the window, where it
// would go to the next question.
bool GuidedRead::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            nextStep();
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

void GuidedRead::showStep() {
    checked = false;
    const Step step = reading->step();
    verdictLabel->clear();
    overlay->showCalipers({});
    if (reading->sixSecondMode() && step == Step::rate) {
        // The marks show from the start; the count joins them once checked.
        marks->showWindow(reading->sixFrom(), -1);
    } else if (step != Step::rate) {
        marks->hide();
    }
    fillChoices();
    const bool number = step == Step::rate || step == Step::qrs || step == Step::pr;
    valueBox->setVisible(number);
    choiceBox->setVisible(step == Step::regularity || step == Step::pWaves || step == Step::pr);
    checkButton->setVisible(step != Step::name);
    valueBox->setSuffix(step == Step::rate ? (reading->sixSecondMode() ? tr(" 個") : tr(" /分"))
                                           : tr(" ms"));
    valueBox->setValue(0);
    if (step == Step::name) {
        // The read ends where a reader ends: the name, its key points, and the PR calipers
        // that tell the AV blocks apart.
        showCalipers(reading->calipersFor(step));
        verdictLabel->setStyleSheet({});
        verdictLabel->setText(practicePointsSection(rhythm, language));
    }
    retranslate(language);
    // The PR starts with its kind: in ms, varying or none.
    QWidget* first = step == Step::name                        ? static_cast<QWidget*>(nextButton)
                     : step == Step::rate || step == Step::qrs ? static_cast<QWidget*>(valueBox)
                                                               : choiceBox;
    first->setFocus();
}

void GuidedRead::fillChoices() {
    const QSignalBlocker blocker(choiceBox);
    choiceBox->clear();
    switch (reading->step()) {
    case Step::regularity:
        choiceBox->addItems({tr("規則的"), tr("規則的に不規則"), tr("不規則に不規則")});
        break;
    case Step::pWaves:
        choiceBox->addItems({tr("正常（QRS ごとに1つ）"), tr("異常（陰性・逆行性・形が変わる）"),
                             tr("QRS より多い"), tr("粗動波"), tr("細動波"), tr("なし")});
        break;
    case Step::pr:
        choiceBox->addItems({tr("ms で答える"), tr("一定しない"), tr("なし")});
        break;
    default:
        break;
    }
    valueBox->setEnabled(true);
}

QString GuidedRead::stepName(Step step) const {
    switch (step) {
    case Step::rate:
        return tr("心拍数");
    case Step::regularity:
        return tr("規則性");
    case Step::pWaves:
        return tr("P 波");
    case Step::pr:
        return tr("PR 間隔");
    case Step::qrs:
        return tr("QRS 幅");
    case Step::name:
        return tr("波形名");
    }
    return {};
}

QString GuidedRead::truthText(Step step) const {
    const StripFacts& facts = reading->facts();
    const std::optional<int> truth = reading->truth(step);
    switch (step) {
    case Step::rate:
        if (reading->sixSecondMode()) {
            marks->showWindow(reading->sixFrom(), reading->qrsInSixSeconds());
            return tr("6 秒間に QRS が %1 個: 心拍数はおよそ %2/分です。")
                .arg(reading->qrsInSixSeconds())
                .arg(reading->qrsInSixSeconds() * 10);
        }
        return truth ? tr("心室レートは %1/分です（RR のキャリパー）。").arg(*truth)
                     : tr("この記録では心拍数を測れません。");
    case Step::regularity:
        return tr("RR 間隔を見比べてください: %1。").arg(choiceBox->itemText(*truth));
    case Step::pWaves:
        return tr("PP 間隔と P 波の数を見てください: %1。").arg(choiceBox->itemText(*truth));
    case Step::pr:
        if (facts.prVaries) {
            return tr("PR は %1〜%2 ms で一定しません。伸びていく PR と、QRS の続かない P 波を"
                      "探してください。")
                .arg(*facts.prMs)
                .arg(*facts.prMaxMs);
        }
        return facts.prMs ? tr("PR は %1 ms です。").arg(*facts.prMs)
                          : tr("測れる PR はありません。");
    case Step::qrs:
        return truth ? tr("QRS 幅は %1 ms です。").arg(*truth) : tr("QRS がありません。");
    case Step::name:
        return {};
    }
    return {};
}

void GuidedRead::retranslate(catalogue::Language chosen) {
    language = chosen;
    setTitle(tr("ガイド付き判読"));
    sixSecondCheck->setText(tr("6秒法で心拍数を数える(&6)"));
    sixSecondCheck->setToolTip(tr("6 秒の目印の間の QRS を数え、10 倍して心拍数にします。"));
    checkButton->setText(tr("確かめる(&O)"));
    closeButton->setText(tr("判読を閉じる"));
    if (!reading) {
        return;
    }
    const Step step = reading->step();
    const int number = static_cast<int>(step) + 1;
    stepLabel->setText(
        tr("手順 %1 / %2: %3").arg(number).arg(GuidedReading::stepCount).arg(stepName(step)));
    nextButton->setText(step == Step::name ? tr("終わる(&J)") : tr("次へ(&J)"));
    switch (step) {
    case Step::rate:
        promptLabel->setText(
            reading->sixSecondMode()
                ? tr("黄色の 0 s と 6 s の目印の間にある QRS を数えてください（10 倍が心拍数）。")
                : tr("心室の心拍数（毎分）は？ RR 間隔から求めてください（大きいマス 300 ÷ "
                     "マス数）。"));
        break;
    case Step::regularity:
        promptLabel->setText(tr("RR 間隔は規則的ですか？"));
        break;
    case Step::pWaves:
        promptLabel->setText(tr("P 波はどうですか？ QRS ごとに1つずつありますか？"));
        break;
    case Step::pr:
        promptLabel->setText(tr("PR 間隔は？ P 波の始まりから QRS の始まりまで。拍ごとに変わる"
                                "なら「一定しない」。"));
        break;
    case Step::qrs:
        promptLabel->setText(tr("QRS 幅は？（120 ms 未満なら幅の狭い QRS）"));
        break;
    case Step::name:
        promptLabel->setText(
            tr("ここまでの所見から: この波形は「%1」です。").arg(rhythmName(rhythm, language)));
        break;
    }
}

} // namespace pulsavo
