#pragma once

#include "GuidedReading.h"
#include "Language.h"

#include <QGroupBox>

#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace pulsavo {

class CaliperOverlay;
class SecondMarks;

// Walks the learner through the frozen strip: rate, regularity, P waves, PR, QRS, then the
// name. Each step is answered, checked, and shown on the strip with the calipers that measure
// it; with 6秒法 the rate is the QRS complexes between the six-second marks, times ten.
class GuidedRead : public QGroupBox {
    Q_OBJECT
public:
    GuidedRead(CaliperOverlay* overlay, QWidget* parent = nullptr);
    ~GuidedRead() override;

    // A read of the strip the overlay's frozen monitor shows, playing `rhythm`.
    void start(Rhythm rhythm, catalogue::Language language);
    void stop();
    bool isReading() const { return reading.has_value(); }
    const GuidedReading* current() const { return reading ? &*reading : nullptr; }

    // The learner's answer to the current step, as the controls hold it.
    int answerValue() const;
    void checkStep();
    void nextStep();

    void retranslate(catalogue::Language language);

signals:
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showStep();
    // Whether the panel draws ticks `from` to `to` left to right, without the sweep's gap.
    bool runsOnward(std::int64_t from, std::int64_t to) const;
    void showCalipers(std::vector<calipers::Caliper> set);
    void fillChoices();
    QString stepName(GuidedReading::Step step) const;
    QString truthText(GuidedReading::Step step) const;

    CaliperOverlay* overlay;
    SecondMarks* marks = nullptr;
    std::optional<GuidedReading> reading;
    Rhythm rhythm = Rhythm::sinusRhythm;
    catalogue::Language language = catalogue::Language::japanese;
    bool checked = false;

    QLabel* stepLabel = nullptr;
    QCheckBox* sixSecondCheck = nullptr;
    QLabel* promptLabel = nullptr;
    QComboBox* choiceBox = nullptr;
    QSpinBox* valueBox = nullptr;
    QLabel* verdictLabel = nullptr;
    QPushButton* checkButton = nullptr;
    QPushButton* nextButton = nullptr;
    QPushButton* closeButton = nullptr;
};

} // namespace pulsavo
