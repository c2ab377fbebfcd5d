#pragma once

#include "Language.h"
#include "PracticeSession.h"

#include <QWidget>

#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace pulsavo {

// The end of a round: the score and the questions missed, each to play again.
class SummaryPage : public QWidget {
    Q_OBJECT
public:
    explicit SummaryPage(QWidget* parent = nullptr);

    // A finished round; the first missed question is current.
    void showRound(const PracticeSession::Summary& summary);
    // A missed question playing again.
    void showReplaying(int index, const QString& name);
    void clear();
    // After an exam: a button to write the learner's hand-in file, and what became of it.
    void offerHandIn(bool on);
    void showHandInResult(const QString& text);
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
    QLabel* summaryLabel = nullptr;
    QLabel* missedLabel = nullptr;
    QListWidget* missedList = nullptr;
    QPushButton* replayButton = nullptr;
    QPushButton* newRoundButton = nullptr;
    QPushButton* handInButton = nullptr;
    QLabel* replayingLabel = nullptr;
};

} // namespace pulsavo
