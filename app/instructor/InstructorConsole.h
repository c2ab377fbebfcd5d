#pragma once

#include "BeatTone.h"
#include "DebriefLog.h"
#include "Monitor.h"
#include "MonitorClock.h"
#include "Scenario.h"
#include "conduction/Transition.h"

#include "MonitorText.h"
#include <QPointer>

#include <QWidget>

#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace pulsavo {

class ClassPanel;
class DebriefPanel;
class MonitorActions;
class ParameterPanel;
class ProjectorWindow;
class ScenarioPanel;
class ScopePanel;

// The instructor's console: one monitor the instructor drives (the rhythm, its parameters live,
// events, a scenario) and the projector window that shows that same monitor to the room. The
// rules live in the simulation and the scenario library; the console passes choices on, writes
// what it did into the debrief log and shows what came of it.
class InstructorConsole : public QWidget {
    Q_OBJECT
public:
    // The events on the console's keys.
    enum class Event { pvc, blockBeat, defibrillate, pacing };

    // Without a sink the console sounds the desktop's beat tone.
    explicit InstructorConsole(std::unique_ptr<ToneSink> beat = nullptr, QWidget* parent = nullptr);
    ~InstructorConsole() override;

    Monitor& monitor() { return live; }
    MonitorClock& monitorClock() { return clock; }
    ScopePanel* ecgPanel() const { return ecg; }
    ParameterPanel* parameterPanel() const { return parameters; }
    ScenarioPanel* scenarioPanel() const { return scenarios; }
    const scenario::DebriefLog& debriefLog() const { return debrief; }
    ClassPanel* classPanel() const { return classView; }

    // Plays `rhythm` from `seed` at once, as a new start.
    void play(LibraryRhythm rhythm, std::uint32_t seed);
    // Gives way to `rhythm` as `how` says, keeping the heart's timing.
    void changeTo(LibraryRhythm rhythm, std::uint32_t seed, conduction::Transition how);
    // Applies the parameter panel's pending changes together, over its ramp time.
    void applyPending();
    void fire(Event event);
    // Freezes the monitor for everyone who sees it (the projector included), or resumes it.
    void setFrozen(bool frozen);
    bool isFrozen() const { return live.isPaused(); }

    // The projector window, opened on the screen chosen in the console.
    ProjectorWindow* openProjector();
    ProjectorWindow* projector() const;
    void closeProjector();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showClassProjected();
    QWidget* buildRhythmColumn();
    QWidget* buildMonitorArea(QWidget* page);
    QWidget* buildProjectorTab(QWidget* parent);
    QAction* eventAction(Event event, Qt::Key key, const char* name);
    void retranslate();
    void fillRhythms();
    void fillScreens();
    void showReadings();
    void showParameters();
    void applyVitals(const scenario::Step& step);
    void note(scenario::EntryKind kind, const QString& subject, const QString& value = {},
              const QString& detail = {});
    QString eventText(Event event) const;
    void switchChosen();
    // A class hosted from the console plays what the console plays: from a fresh start of the
    // rhythm playing, then everything done to the console's model, at the same tick.
    void beginClass();
    void endClass();
    void advanceClass();

    Monitor live;
    MonitorClock clock;
    std::unique_ptr<ToneSink> beatTone;
    scenario::DebriefLog debrief;
    MonitorActions* shared = nullptr;

    QLabel* rhythmLabel = nullptr;
    QListWidget* rhythmList = nullptr;
    QLabel* transitionLabel = nullptr;
    QComboBox* transitionChoice = nullptr;
    QPushButton* switchButton = nullptr;
    QLabel* playingLabel = nullptr;
    ScopePanel* ecg = nullptr;
    ScopePanel* pleth = nullptr;
    QLabel* heartRateCaption = nullptr;
    QLabel* heartRateValue = nullptr;
    EnteredLabels entered;
    QLabel* rampLabel = nullptr;
    QPushButton* freezeButton = nullptr;
    std::array<QPushButton*, 4> eventButtons{};
    std::array<QAction*, 4> eventActions{};
    QLabel* shockLabel = nullptr;
    QComboBox* shockChoice = nullptr;
    QTabWidget* tabs = nullptr;
    ParameterPanel* parameters = nullptr;
    ScenarioPanel* scenarios = nullptr;
    DebriefPanel* debriefView = nullptr;
    ClassPanel* classView = nullptr;
    long long classBase = 0; // the model's tick the class's tick 0 is

    QWidget* projectorTab = nullptr;
    QLabel* screenLabel = nullptr;
    QComboBox* screenChoice = nullptr;
    QLabel* themeLabel = nullptr;
    QComboBox* themeChoice = nullptr;
    QCheckBox* fullScreenBox = nullptr;
    QPushButton* projectorButton = nullptr;
    QPointer<ProjectorWindow> projectorWindow;
};

} // namespace pulsavo
