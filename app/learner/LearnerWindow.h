#pragma once

#include "BeatTone.h"
#include "ClassLearner.h"
#include "Discovery.h"
#include "Monitor.h"
#include "TimelineCursor.h"

#include <QTimer>
#include <QWidget>

#include <memory>

class QAction;
class QGridLayout;
class QLabel;
class QPushButton;

namespace pulsavo {

class CaliperOverlay;
class LadderPanel;
class MonitorActions;
class ScopePanel;

// A learner's monitor in a class: it plays what the instructor's console plays, on the
// learner's own model from the class's timeline, a little behind the console. The class's
// questions appear under it to answer. Freezing it here (F) holds only this monitor, for
// calipers; the class plays on and the monitor catches up on resuming. When the network fails
// it keeps playing what it has, says so and tries to join again.
class LearnerWindow : public QWidget {
    Q_OBJECT
public:
    explicit LearnerWindow(std::unique_ptr<ToneSink> beat = nullptr, QWidget* parent = nullptr);
    ~LearnerWindow() override;

    // ADDR:PORT (or ws://…) and the code as typed; false with the reason shown when they cannot
    // be one.
    // With no address the class is looked for by its code on the room's network first.
    bool join(const QString& address, const QString& code, const QString& name);
    // The name to join with when none is given: the login name, else 学習者.
    static QString defaultName();

    classroom::ClassLearner& learner() { return session; }
    Monitor& monitor() { return live; }
    ScopePanel* ecgPanel() const { return ecg; }
    QString statusText() const;
    // Steps the monitor towards the class's tick as the timer does.
    void follow();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void retranslate();
    void showStatus();
    void showPoll();
    void setHeld(bool on);
    void showLadderChoice();

    classroom::ClassLearner session;
    std::unique_ptr<classroom::DiscoveryQuery> search; // while the class is looked for
    classroom::TimelineCursor cursor;
    Monitor live;
    std::unique_ptr<ToneSink> beatTone;
    QTimer frames;
    QTimer retry;
    bool held = false;        // this monitor frozen by the learner
    bool classFrozen = false; // the class held by the instructor, as last shown
    QString address;
    QString code;
    QString name;
    QString problem; // why joining failed, when it did

    MonitorActions* shared = nullptr;
    QLabel* statusLabel = nullptr;
    ScopePanel* ecg = nullptr;
    CaliperOverlay* calipers = nullptr;
    LadderPanel* ladder = nullptr;
    QAction* ladderItem = nullptr;
    QLabel* questionLabel = nullptr;
    QGridLayout* optionGrid = nullptr;
    std::vector<QPushButton*> optionButtons;
    QLabel* answerLabel = nullptr;
    int answered = -1; // the option chosen in the poll shown
};

} // namespace pulsavo
