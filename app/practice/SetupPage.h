#pragma once

#include "Drill.h"
#include "Language.h"
#include "RhythmSet.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace pulsavo {

// The options of a round and the exam code box, before a round starts.
class SetupPage : public QWidget {
    Q_OBJECT
public:
    // The round's options as the practice window remembers them.
    struct Options {
        int length = 10;
        RhythmSet rhythms = defaultPracticeRhythms();
        bool adaptive = true;
        bool beatTone = true;
        // After each answer, a measurement on the frozen trace ("measure the PR interval").
        bool measure = false;
        // Each strip read field by field on a worksheet instead of named from the list.
        bool worksheet = false;
    };
    static constexpr std::array<int, 3> roundLengths{10, 20, 36};

    explicit SetupPage(QWidget* parent = nullptr);

    Options options() const;
    // Shows `options`; optionsChanged follows once.
    void setOptions(const Options& options);
    bool canStart() const;

    // The code as the exam started with it, or the reason a code was refused.
    void showExamCode(const QString& code);
    void showExamError(const QString& message);
    void focusStart();

    void retranslate(catalogue::Language language);

signals:
    void startRequested();
    void examRequested(const QString& code);
    void optionsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillRhythmTree();
    RhythmSet checkedRhythms() const;
    void updateStartButton();

    QLabel* lengthLabel = nullptr;
    QComboBox* lengthCombo = nullptr;
    QLabel* rhythmsLabel = nullptr;
    QTreeWidget* rhythmTree = nullptr;
    QPushButton* allRhythmsButton = nullptr;
    QCheckBox* adaptiveCheck = nullptr;
    QCheckBox* toneCheck = nullptr;
    QCheckBox* measureCheck = nullptr;
    QCheckBox* worksheetCheck = nullptr;
    QLabel* noRhythmLabel = nullptr;
    QPushButton* startButton = nullptr;
    QLabel* examLabel = nullptr;
    QLineEdit* examEdit = nullptr;
    QPushButton* examButton = nullptr;
    QLabel* examErrorLabel = nullptr;
};

} // namespace pulsavo
