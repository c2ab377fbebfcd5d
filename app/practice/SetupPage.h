#pragma once

#include "Drill.h"
#include "ExamCode.h"
#include "Language.h"
#include "RhythmSet.h"

#include <QWidget>

#include <array>
#include <optional>
#include <string>

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
        // The name typed, with completion, instead of picked from the list.
        bool recall = false;
        // Artifact laid over some questions of a drawn round, the answer still the rhythm.
        bool artifact = false;
        // The round kind アーチファクトか不整脈か instead of naming the chosen rhythms.
        bool artifactVersus = false;
        // Each strip read field by field on a worksheet instead of named from the list.
        bool worksheet = false;
        // 6秒モード: six seconds of strip, each answer due within this many seconds (0: off).
        int answerLimitSeconds = 0;

        // As a round records them with its answers: `length`, `rhythms` and `adaptive` as the
        // round has them (a fixed round's own), the rest as chosen; `review` marks a 今日の復習
        // round.
        std::string roundJson(int length, RhythmSet rhythms, bool adaptive,
                              bool review = false) const;
    };
    // A review round asks at most this many rhythms.
    static constexpr int reviewLimit = 36;
    static constexpr std::array<int, 3> roundLengths{10, 20, 36};
    static constexpr std::array<int, 5> answerLimits{0, 10, 15, 20, 30};

    explicit SetupPage(QWidget* parent = nullptr);

    // The options stored in the settings (defaults for what is missing), and storing them.
    static Options storedOptions();
    static void storeOptions(const Options& options);

    // 開始, the exam code and their messages, for the window to keep in view below what scrolls.
    QWidget* buttonBar() const { return buttons; }

    // The name of the group at `place` in rhythmGroups(): a library family or the classic 18.
    static QString groupName(std::size_t place);

    Options options() const;
    // Shows `options`; optionsChanged follows once.
    void setOptions(const Options& options);
    bool canStart() const;

    // The exam of a code, its canonical form then in the code box; none, with the reason beside
    // the box (the code kept for the learner to mend), when the code is refused.
    std::optional<Exam> readExamCode(const QString& code);
    void focusStart();
    // 今日の復習: how many rhythms are due; the button is off with none.
    void showDue(int count);

    void retranslate(catalogue::Language language);

signals:
    void startRequested();
    void examRequested(const QString& code);
    void optionsChanged();
    void reviewRequested();
    // The page is shown again: the window tells it what is due now.
    void dueWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fillRhythmTree();
    RhythmSet checkedRhythms() const;
    void updateStartButton();

    QWidget* buttons = nullptr;
    QLabel* lengthLabel = nullptr;
    QComboBox* lengthCombo = nullptr;
    QComboBox* limitCombo = nullptr;
    QLabel* limitLabel = nullptr;
    QLabel* rhythmsLabel = nullptr;
    QTreeWidget* rhythmTree = nullptr;
    QPushButton* allRhythmsButton = nullptr;
    QCheckBox* adaptiveCheck = nullptr;
    QCheckBox* toneCheck = nullptr;
    QCheckBox* measureCheck = nullptr;
    QCheckBox* recallCheck = nullptr;
    QCheckBox* artifactCheck = nullptr;
    QLabel* kindLabel = nullptr;
    QComboBox* kindCombo = nullptr;
    QPushButton* reviewButton = nullptr;
    int dueCount = 0;
    QCheckBox* worksheetCheck = nullptr;
    QLabel* noRhythmLabel = nullptr;
    QPushButton* startButton = nullptr;
    QLabel* examLabel = nullptr;
    QLineEdit* examEdit = nullptr;
    QPushButton* examButton = nullptr;
    QLabel* examErrorLabel = nullptr;
};

} // namespace pulsavo
