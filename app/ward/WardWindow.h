#pragma once

#include "AlarmSignal.h"
#include "BeatTone.h"
#include "Monitor.h"
#include "MonitorClock.h"

#include "MonitorText.h"

#include <QWidget>

#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace pulsavo {

class ScopePanel;

// The ward monitor: a rhythm as a bedside monitor shows it, with the ECG, the pulse wave under
// it, the heart-rate numeric and SpO2, artifact laid over the ECG and the alarms, seen and
// heard. The monitor and its readings are stepped by the window's clock; the window only shows
// them and passes the learner's choices on.
class WardWindow : public QWidget {
    Q_OBJECT
public:
    // Without sinks the window opens the desktop's beat tone and alarm tone.
    explicit WardWindow(std::unique_ptr<ToneSink> beat = nullptr,
                        std::unique_ptr<AlarmSink> alarm = nullptr, QWidget* parent = nullptr);
    ~WardWindow() override;

    void play(Rhythm rhythm, std::uint32_t seed);
    // Lays artifact of `kind` at `strength` (0 takes it off).
    void setArtifact(ArtifactKind kind, int strength);
    void setLimits(const AlarmLimits& limits);
    // Numerics a scenario or the instructor's console sets; false, and nothing changed, for
    // values a monitor cannot show. NIBP and respiration show "---" until set.
    bool setVitals(const ScenarioVitals& vitals);
    void silenceAlarms();

    Monitor& monitor() { return ward; }
    MonitorClock& monitorClock() { return clock; }
    // What the window shows, as read after the latest ticks.
    QString heartRateText() const;
    QString alarmText() const;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    static constexpr int plethHeight = 72;
    static constexpr int maxControlsWidth = 230;
    static QString alarmName(Alarm alarm);
    static QString artifactLabel(ArtifactKind kind);
    QWidget* buildMonitorArea(QWidget* page);
    QWidget* buildControls(QWidget* page);
    void retranslate();
    void fillRhythms();
    void fillArtifactList();
    void showReadings();
    void loadSettings();
    void saveSettings() const;
    void limitsEdited();

    Monitor ward;
    MonitorClock clock;
    std::unique_ptr<ToneSink> beatTone;
    std::unique_ptr<AlarmSink> alarmTone;
    AlarmFollower follower;
    std::optional<Rhythm> playing;

    QLabel* rhythmLabel = nullptr;
    QListWidget* rhythmList = nullptr;
    ScopePanel* ecgPanel = nullptr;
    ScopePanel* plethPanel = nullptr;
    QLabel* ecgLabel = nullptr;
    QLabel* plethLabel = nullptr;
    QLabel* heartRateCaption = nullptr;
    QLabel* heartRateValue = nullptr;
    QLabel* saturationCaption = nullptr;
    QLabel* saturationValue = nullptr;
    EnteredLabels entered;
    QLabel* alarmBanner = nullptr;
    QLabel* silenceLabel = nullptr;
    QLabel* soundNotice = nullptr;
    QPushButton* silenceButton = nullptr;

    QLabel* artifactTitle = nullptr;
    QComboBox* artifactKind = nullptr;
    QSpinBox* artifactStrength = nullptr;
    QPushButton* addArtifact = nullptr;
    QListWidget* artifactList = nullptr;
    QPushButton* removeArtifact = nullptr;

    QLabel* limitsTitle = nullptr;
    QLabel* lowCaption = nullptr;
    QLabel* highCaption = nullptr;
    QLabel* extremeLowCaption = nullptr;
    QLabel* extremeHighCaption = nullptr;
    QLabel* saturationLowCaption = nullptr;
    QSpinBox* lowLimit = nullptr;
    QSpinBox* highLimit = nullptr;
    QSpinBox* extremeLowLimit = nullptr;
    QSpinBox* extremeHighLimit = nullptr;
    QSpinBox* saturationLowLimit = nullptr;
};

} // namespace pulsavo
