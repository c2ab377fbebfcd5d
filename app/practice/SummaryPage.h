#pragma once

#include "Language.h"
#include "PracticeSession.h"

#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace pulsavo {

class ProgressStore;

// The end of a round: the score and the questions missed, each to play again.
class SummaryPage : public QWidget {
    Q_OBJECT
public:
    explicit SummaryPage(QWidget* parent = nullptr);

    // What replays, what the hand-in became and the page's buttons, for the window to keep in
    // view below what scrolls.
    QWidget* buttonBar() const { return buttons; }

    // A finished round; the first missed question is current.
    void showRound(const PracticeSession::Summary& summary);
    // A missed question playing again.
    void showReplaying(int index, const QString& name);
    void clear();
    // After an exam: a button to write the learner's hand-in file, and what became of it.
    void offerHandIn(bool on);
    // Writes the exam's hand-in from `store` where `chooseFile` says (empty: not saved), offering
    // a name after the code and the learner, and says what became of it. Answers still waiting
    // for a busy file would be missing from it: then it says so and writes nothing.
    void handIn(ProgressStore& store, const QString& code, const QString& learner,
                const std::function<QString(const QString& suggested)>& chooseFile);
    bool listHasFocus() const;
    int currentMissed() const;
    // The index into the results of a missed row, or -1.
    int resultIndex(int row) const;

    void retranslate(catalogue::Language language, const PracticeSession::Summary& summary,
                     const std::vector<PracticeSession::Result>& results);

signals:
    void replayRequested(int row);
    void newRoundRequested();
    void handInRequested();

private:
    QWidget* buttons = nullptr;
    QLabel* summaryLabel = nullptr;
    QLabel* missedLabel = nullptr;
    QListWidget* missedList = nullptr;
    QPushButton* replayButton = nullptr;
    QPushButton* newRoundButton = nullptr;
    QPushButton* handInButton = nullptr;
    QLabel* replayingLabel = nullptr;
};

} // namespace pulsavo
