#pragma once

#include "Calipers.h"
#include "Difference.h"
#include "Language.h"
#include "PracticeSession.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace pulsavo {

class MeasurementBox;

// Beside a question: the instruction while it is open, then the verdict, the explanation, the
// key points of both rhythms after a wrong answer, the measurement box and the buttons that
// replay, compare, save the strip and go on.
class FeedbackPage : public QWidget {
    Q_OBJECT
public:
    explicit FeedbackPage(QWidget* parent = nullptr);

    MeasurementBox* measurementBox() const { return measureBox; }
    // The buttons, for a row the page does not scroll away: compare, ladder and save strip;
    // replay and next.
    QWidget* studyButtons() const { return studyRow; }
    QWidget* goButtons() const { return goRow; }

    // A question open: nothing judged yet.
    void showAsking();
    // A question judged; `last` names what the next button leads to.
    void showResult(const PracticeSession::Result& result);
    // The ladder was asked for during a question: it waits for the answer, and says so.
    void explainLadderWaits();

    // This strip's facts as measured over the ticks shown, set beside the right rhythm's range
    // after a miss; none: the strip gave nothing to measure.
    void setMeasured(std::optional<MeasuredFacts> facts) { measured = facts; }

    // An exam without hints shows neither the ladder nor strip saving until its summary.
    void setStudyAllowed(bool allowed);
    bool ladderWanted() const;
    // The question is answered by typing the name: the instruction says so.
    void setTyping(bool on) { typing = on; }
    void focusNext();

    // `shown`: the judged question, or none while one is open; `task`: the measurement still to
    // be given, if any.
    void retranslate(catalogue::Language language, const PracticeSession::Result* shown, bool last,
                     std::optional<calipers::Kind> task);

signals:
    void compareRequested();
    void replayRequested();
    void ladderToggled(bool on);
    void saveStripRequested();
    void nextRequested();
    void guidedReadRequested();

private:
    static QString prRangeText(unsigned kinds);
    QString differenceText(const PracticeSession::Result& shown,
                           catalogue::Language language) const;

    QLabel* bannerLabel = nullptr;
    QLabel* correctLabel = nullptr;
    QLabel* chosenLabel = nullptr;
    QLabel* differenceLabel = nullptr;
    QPlainTextEdit* explanationEdit = nullptr;
    QGroupBox* pointsBox = nullptr;
    QLabel* correctPointsTitle = nullptr;
    QPlainTextEdit* correctPoints = nullptr;
    QLabel* chosenPointsTitle = nullptr;
    QPlainTextEdit* chosenPoints = nullptr;
    QPushButton* compareButton = nullptr;
    QPushButton* replayButton = nullptr;
    QPushButton* ladderButton = nullptr;
    QPushButton* saveStripButton = nullptr;
    QPushButton* nextButton = nullptr;
    QPushButton* guideButton = nullptr;
    MeasurementBox* measureBox = nullptr;
    QWidget* studyRow = nullptr;
    QWidget* goRow = nullptr;
    bool ladderWaits = false;
    bool typing = false;
    std::optional<MeasuredFacts> measured;
};

} // namespace pulsavo
