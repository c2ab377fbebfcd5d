#pragma once

#include "DebriefLog.h"
#include "Scenario.h"
#include "ScenarioRunner.h"

#include <QWidget>

#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace pulsavo {

class Simulation;
class ScenarioTimeline;

// The scenario runner and a small editor of its steps. Files are read and validated by the
// scenario library; a file it refuses changes nothing here and the reason, naming the step,
// shows in the panel. The runner plays on the console's monitor, stepped before each tick.
class ScenarioPanel : public QWidget {
    Q_OBJECT
public:
    ScenarioPanel(Simulation& simulation, scenario::DebriefLog& log, QWidget* parent = nullptr);
    ~ScenarioPanel() override;

    // Reads `path` into the editor; true when it was taken.
    bool openFile(const QString& path);
    // Validates the steps as edited and writes them atomically; true when written.
    bool saveFile(const QString& path);
    // Plays the steps as edited from the first; false (and the reason shown) when they do not
    // validate, and then nothing changes.
    bool start(std::uint32_t seed);
    void stop();
    // The instructor's "next step".
    void advance();
    // Before each simulation step while a scenario plays; the step that began on this tick, or
    // nullptr.
    const scenario::Step* tick();
    // After each wake: the step playing, its notes and the timeline.
    void showProgress();

    const scenario::Scenario& edited() const { return steps; }
    const scenario::ScenarioRunner* runner() const { return playing.get(); }
    QString notice() const;

    // Editing, as the editor's buttons do it.
    void addStep();
    void removeStep();
    void moveStep(int by);

signals:
    // A step began: the rhythm or its values may have changed.
    void stepStarted(int index);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void fillSteps();
    void fillShipped();
    void showStep();
    void stepEdited();
    void showNotice(const QString& text);
    void chooseFile();
    void chooseSaveFile();

    Simulation& simulation;
    scenario::DebriefLog& debrief;
    scenario::Scenario steps;
    std::unique_ptr<scenario::ScenarioRunner> playing;
    int shownStep = -2;
    bool filling = false;

    QLabel* titleLabel = nullptr;
    QLabel* noticeLabel = nullptr;
    QComboBox* shippedChoice = nullptr;
    QPushButton* openButton = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* startButton = nullptr;
    QPushButton* stopButton = nullptr;
    QPushButton* nextButton = nullptr;
    ScenarioTimeline* timeline = nullptr;
    QLabel* currentLabel = nullptr;
    QLabel* notesLabel = nullptr;
    QLabel* expectedLabel = nullptr;
    QListWidget* stepList = nullptr;
    QPushButton* addButton = nullptr;
    QPushButton* removeButton = nullptr;
    QPushButton* upButton = nullptr;
    QPushButton* downButton = nullptr;
    QLabel* stepTitleCaption = nullptr;
    QLineEdit* stepTitle = nullptr;
    QLabel* stepTitleEnCaption = nullptr;
    QLineEdit* stepTitleEn = nullptr;
    QLabel* rhythmCaption = nullptr;
    QComboBox* rhythmChoice = nullptr;
    QLabel* parametersCaption = nullptr;
    QLineEdit* parametersEdit = nullptr;
    QLabel* transitionCaption = nullptr;
    QComboBox* transitionChoice = nullptr;
    QLabel* rampCaption = nullptr;
    QSpinBox* rampBox = nullptr;
    QLabel* advanceCaption = nullptr;
    QComboBox* advanceChoice = nullptr;
    QLabel* secondsCaption = nullptr;
    QSpinBox* secondsBox = nullptr;
    QLabel* notesCaption = nullptr;
    QPlainTextEdit* notesEdit = nullptr;
    QLabel* expectedCaption = nullptr;
    QLineEdit* expectedEdit = nullptr;
};

} // namespace pulsavo
