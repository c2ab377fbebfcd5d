#pragma once

#include "Language.h"
#include "RhythmSet.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace pulsavo {

class FeedbackPage;

// A question: the names to answer from, ヒント and 回答, with the feedback beside them.
// Nothing is answered without Enter, a double click or 回答.
class QuestionPage : public QWidget {
    Q_OBJECT
public:
    explicit QuestionPage(QWidget* parent = nullptr);

    FeedbackPage* feedback() const { return feedbackPage; }
    // The page's buttons and the feedback's, for the window to keep in view below what scrolls.
    QWidget* buttonBar() const { return buttons; }

    // The names a round answers from, in rhythm order.
    void fill(RhythmSet choices, catalogue::Language language);
    // A new question: every name open, none chosen.
    void ask();
    // Answered: nothing more to choose.
    void lock();
    void hintTaken();
    // An exam without hints has no ヒント button.
    void setHintAllowed(bool allowed);
    void submitSelected();

    void retranslate(catalogue::Language language);

signals:
    void answerChosen(Rhythm rhythm);
    void hintRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FeedbackPage* feedbackPage = nullptr;
    QWidget* buttons = nullptr;
    QLabel* answerLabel = nullptr;
    QListWidget* answerList = nullptr;
    QPushButton* hintButton = nullptr;
    QPushButton* answerButton = nullptr;
    bool asking = false;
    bool hintAllowed = true;
};

} // namespace pulsavo
