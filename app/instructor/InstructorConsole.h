#pragma once

#include "BeatTone.h"
#include "Monitor.h"
#include "MonitorClock.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace pulsavo {

class MonitorActions;
class ProjectorWindow;
class ScopePanel;

// The instructor's console: one monitor the instructor drives (the rhythm, its parameters live,
// events, a scenario) and the projector window that shows that same monitor to the room. The
// rules live in the simulation and the scenario runner; the console only passes choices on and
// shows what they did.
class InstructorConsole : public QWidget {
    Q_OBJECT
public:
    // Without a sink the console sounds the desktop's beat tone.
    explicit InstructorConsole(std::unique_ptr<ToneSink> beat = nullptr, QWidget* parent = nullptr);
    ~InstructorConsole() override;

    Monitor& monitor() { return live; }
    MonitorClock& monitorClock() { return clock; }
    ScopePanel* ecgPanel() const { return ecg; }

    // Plays `rhythm` from `seed` at once, as a new start.
    void play(Rhythm rhythm, std::uint32_t seed);
    // Freezes the monitor for everyone who sees it (the projector included), or resumes it.
    void setFrozen(bool frozen);
    bool isFrozen() const { return live.isPaused(); }

    // The projector window, opened on the screen chosen in the console; nullptr while closed.
    ProjectorWindow* openProjector();
    ProjectorWindow* projector() const;
    void closeProjector();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildMonitorArea(QWidget* page);
    QWidget* buildProjectorTab(QWidget* tabs);
    void retranslate();
    void fillRhythms();
    void fillScreens();
    void showReadings();

    Monitor live;
    MonitorClock clock;
    std::unique_ptr<ToneSink> beatTone;
    std::optional<Rhythm> playing;
    MonitorActions* shared = nullptr;

    QLabel* rhythmLabel = nullptr;
    QListWidget* rhythmList = nullptr;
    ScopePanel* ecg = nullptr;
    ScopePanel* pleth = nullptr;
    QLabel* heartRateCaption = nullptr;
    QLabel* heartRateValue = nullptr;
    QPushButton* freezeButton = nullptr;
    QTabWidget* tabs = nullptr;

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
