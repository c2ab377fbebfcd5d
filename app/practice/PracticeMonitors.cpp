#include "PracticeMonitors.h"

#include "BeatAlignment.h"
#include "CaliperOverlay.h"
#include "CatalogueText.h"
#include "ComparePanel.h"
#include "DialogUnits.h"
#include "ExamStrip.h"
#include "HighlightChoice.h"
#include "LadderPanel.h"
#include "MonitorClock.h"
#include "ScopePanel.h"
#include "TrainerDialog.h"

#include <QLayout>
#include <QPalette>
#include <QVBoxLayout>

#include <utility>

namespace pulsavo {

PracticeMonitors::PracticeMonitors(MonitorClock& clock, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("practiceMonitors"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The width gives way: at a large scale the window would otherwise push its buttons off
    // the screen.
    const QSize classic = classicPanelSize();
    questionPanel = new ScopePanel(this);
    questionPanel->setObjectName(QStringLiteral("questionPanel"));
    compareArea = new ComparePanel(this);
    for (ScopePanel* panel : {questionPanel, compareArea->scope()}) {
        panel->setMinimumWidth(classic.width() / 3);
        panel->setFixedHeight(classic.height());
        panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        // A monitor is black where the sweep has not yet passed, not the window's grey.
        QPalette black = panel->palette();
        black.setColor(QPalette::Window, Qt::black);
        panel->setPalette(black);
    }
    overlay = new CaliperOverlay(questionPanel);
    // The ladder gives the answer away: it shows only with the feedback, when asked for.
    ladderPanel = new LadderPanel(this);
    ladderPanel->setObjectName(QStringLiteral("ladderPanel"));
    ladderPanel->setMonitor(&questionScope);
    ladderPanel->setFixedHeight(LadderPanel::preferredHeight);
    ladderPanel->hide();
    compareArea->hide();
    layout->addWidget(questionPanel);
    layout->addWidget(ladderPanel);
    layout->addWidget(compareArea);
    connect(&clock, &MonitorClock::advanced, ladderPanel, &LadderPanel::refresh);

    for (Monitor* monitor : {&questionScope, &compareScope}) {
        clock.add(monitor);
        monitor->setHighlight(HighlightChoice::stored());
    }
    connect(&HighlightChoice::instance(), &HighlightChoice::changed, this,
            [this](Sweep::Highlight style) {
                questionScope.setHighlight(style);
                compareScope.setHighlight(style);
            });
    questionPanel->attach(questionScope);
    compareArea->scope()->attach(compareScope);
    questionScope.setMarking(false);
    compareScope.setMarking(true);
    // One tone at every QRS: the rate can be heard even where the trace's slope would not sound.
    questionScope.setToneMode(Monitor::ToneMode::qrs);
    questionScope.setEventHistory(true);
    overlay->setMonitor(&questionScope);
}

QSize PracticeMonitors::classicPanelSize() {
    return TrainerDialog::layoutFor(DialogUnits::forFont(dialogFont(11))).scopePanel.size();
}

PracticeMonitors::~PracticeMonitors() {
    questionScope.setSurface(nullptr);
    compareScope.setSurface(nullptr);
}

void PracticeMonitors::ask(const Question& question, bool exam) {
    setFrozen(false);
    stopComparing();
    resetSweeps();
    layArtifact(questionScope, question);
    if (exam) {
        // The same samples as the question's printed strip.
        startExamQuestion(questionScope, question.rhythm, question.seed);
        questionScope.setMarking(false);
    } else {
        play(questionScope, question.rhythm, question.seed, false);
    }
    ladderPanel->hide();
}

void PracticeMonitors::replay(Rhythm rhythm, std::uint32_t seed) {
    setFrozen(false);
    play(questionScope, rhythm, seed, true);
    if (comparedRhythm) {
        resetSweeps();
        playCompared(rhythm, seed);
    }
}

void PracticeMonitors::replay(const Question& question) {
    layArtifact(questionScope, question);
    replay(question.rhythm, question.seed);
}

void PracticeMonitors::compare(const Question& question, Rhythm answer) {
    setFrozen(false);
    layArtifact(questionScope, question);
    comparedRhythm = answer;
    compareArea->show();
    // The compare panel takes its width before its monitor is sized to it.
    if (parentWidget() != nullptr && parentWidget()->layout() != nullptr) {
        parentWidget()->layout()->activate();
    }
    layout()->activate();
    resetSweeps();
    play(questionScope, question.rhythm, question.seed, true);
    playCompared(question.rhythm, question.seed);
}

void PracticeMonitors::stopComparing() {
    comparedRhythm.reset();
    compareArea->hide();
    compareScope.restart();
}

void PracticeMonitors::restart() {
    setFrozen(false);
    stopComparing();
    questionScope.restart();
}

void PracticeMonitors::setMarking(bool on) {
    questionScope.setMarking(on);
}

void PracticeMonitors::setFrozen(bool on) {
    if (on == isFrozen()) {
        return;
    }
    questionScope.setPaused(on);
    compareScope.setPaused(on);
    overlay->followFreeze(on);
}

void PracticeMonitors::showLadder(bool on) {
    ladderPanel->setVisible(on);
}

void PracticeMonitors::play(Monitor& monitor, Rhythm rhythm, std::uint32_t seed, bool marking) {
    monitor.restart();
    monitor.setMarking(marking);
    monitor.select(rhythm, seed);
}

void PracticeMonitors::playCompared(Rhythm question, std::uint32_t seed) {
    play(compareScope, *comparedRhythm, seed, true);
    compareScope.preRoll(compareLead(question, *comparedRhythm, seed));
}

void PracticeMonitors::layArtifact(Monitor& monitor, const Question& question) {
    for (const ArtifactKind kind : allArtifactKinds) {
        const bool laid = question.hasArtifact() && kind == question.artifact;
        monitor.simulation().setArtifact(kind, laid ? question.artifactStrength : 0);
    }
}

void PracticeMonitors::resetSweeps() {
    for (auto [panel, monitor] : {std::pair{questionPanel, &questionScope},
                                  std::pair{compareArea->scope(), &compareScope}}) {
        panel->prepare();
        monitor->setPanelSize(panel->clientRect().width(), panel->clientRect().height());
    }
}

void PracticeMonitors::retranslate(catalogue::Language language, int number) {
    questionPanel->setDescription(number == 0 ? tr("モニター")
                                              : tr("モニター: 問題 %1").arg(number));
    const QString name = comparedRhythm ? rhythmName(*comparedRhythm, language) : QString();
    compareArea->scope()->setDescription(comparedRhythm ? tr("比較用モニター: %1").arg(name)
                                                        : QString());
    if (comparedRhythm) {
        compareArea->showCaption(tr("あなたの回答「%1」を同じシードで再生中").arg(name));
    }
    overlay->setAccessibleName(tr("キャリパー"));
    overlay->setAccessibleDescription(
        tr("ドラッグで2本の縦線を置き、間隔をミリ秒と毎分の回数で示します。"));
}

} // namespace pulsavo
