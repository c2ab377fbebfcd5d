#pragma once

#include <QWidget>

#include <cstdint>

class QLabel;
class QPushButton;
class QToolButton;

namespace pulsavo {

class MonitorActions;
class PracticeSession;

// The practice window's top row: where the round stands (the exam's code, question n of N, the
// time left) and the monitor's buttons (freeze, check, progress, gradebook, class, highlight,
// language).
class PracticeTopBar : public QWidget {
    Q_OBJECT
public:
    PracticeTopBar(MonitorActions* actions, QWidget* parent = nullptr);

    // The stage, the question's number and whether it was hinted, as the session has them.
    void showStage(const PracticeSession& session);
    void showFrozen(bool frozen);
    // An exam without hints has no 答え合わせ until its summary.
    void setCheckAllowed(bool allowed);
    // A timed round shows its clock; `leftMs` is rounded up, so 00:00 shows only once it is over.
    void setClockShown(bool shown);
    void showTimeLeft(std::int64_t leftMs);
    // 6秒モード: the open question's answer time, counted down to 時間切れ.
    void showAnswerTimeLeft(std::int64_t leftMs);

    void retranslate();

signals:
    void freezeClicked();
    void checkClicked();
    void progressClicked();
    void gradebookClicked();
    void joinClassClicked();

private:
    MonitorActions* actions;
    QLabel* progressLabel = nullptr;
    QLabel* timeLabel = nullptr;
    QPushButton* freezeButton = nullptr;
    QPushButton* checkButton = nullptr;
    QPushButton* progressButton = nullptr;
    QPushButton* gradebookButton = nullptr;
    QPushButton* classButton = nullptr;
    QToolButton* languageButton = nullptr;
    QToolButton* highlightButton = nullptr;
    std::int64_t shownSeconds = -1;
    bool answerClock = false; // the label counts an answer's time, not the round's
    bool frozen = false;
};

} // namespace pulsavo
