#pragma once

#include "Drill.h"
#include "Language.h"
#include "Monitor.h"

#include <QWidget>

#include <cstdint>
#include <optional>

namespace pulsavo {

class CaliperOverlay;
class ComparePanel;
class LadderPanel;
class MonitorClock;
class ScopePanel;

// The question's monitor with its calipers and ladder, and under it the learner's answer played
// from the question's seed for comparison. The window's clock drives both, in step; both follow
// the learner's highlight style.
class PracticeMonitors : public QWidget {
    Q_OBJECT
public:
    PracticeMonitors(MonitorClock& clock, QWidget* parent = nullptr);
    ~PracticeMonitors() override;

    // The classic dialog's panel: the practice panels are as high, so the trace's vertical
    // geometry is the same.
    static QSize classicPanelSize();

    Monitor& question() { return questionScope; }
    const Monitor& question() const { return questionScope; }
    Monitor& compared() { return compareScope; }
    CaliperOverlay* calipers() const { return overlay; }

    // A new question on a clean panel, unmarked, nothing compared, no ladder: the previous
    // question's marked beats would tell what it was. An exam's draws its printed strip's samples.
    void ask(const Question& question, bool exam);
    // Plays `rhythm` from `seed` from its start, marked, on the question's panel; the compared
    // answer, if any, beside it, its first complex under the question's first.
    void replay(Rhythm rhythm, std::uint32_t seed);
    // Plays an earlier question again, with the artifact it was shown with.
    void replay(const Question& question);
    // Plays the question and the learner's answer from the question's seed, one above the other,
    // the answer's first complex under the question's first so the two differ at matching beats.
    void compare(const Question& question, Rhythm answer);
    void stopComparing();
    std::optional<Rhythm> comparing() const { return comparedRhythm; }
    // Nothing plays: the set-up page shows.
    void restart();

    void setMarking(bool on);
    bool isFrozen() const { return questionScope.isPaused(); }
    // The compared answer stops with the question, so the two stay in step.
    void setFrozen(bool on);
    void showLadder(bool on);

    // `number`: the question's number, 0 outside a round. A screen reader must not say the answer.
    void retranslate(catalogue::Language language, int number);

private:
    void play(Monitor& monitor, Rhythm rhythm, std::uint32_t seed, bool marking);
    // The compared answer from `seed`, run ahead unseen to line up with `question`'s beats.
    void playCompared(Rhythm question, std::uint32_t seed);
    // The question's artifact and no other, kept by the monitor until the next is laid.
    static void layArtifact(Monitor& monitor, const Question& question);
    void resetSweeps();

    Monitor questionScope{1, 1};
    Monitor compareScope{1, 1};
    std::optional<Rhythm> comparedRhythm;
    ScopePanel* questionPanel = nullptr;
    CaliperOverlay* overlay = nullptr;
    LadderPanel* ladderPanel = nullptr;
    ComparePanel* compareArea = nullptr;
};

} // namespace pulsavo
