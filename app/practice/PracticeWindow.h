#pragma once

#include "BeatTone.h"
#include "Calipers.h"
#include "Difference.h"
#include "Drill.h"
#include "Language.h"
#include "Monitor.h"
#include "MonitorClock.h"
#include "PracticeMonitors.h"
#include "PracticeSession.h"
#include "ProgressStore.h"
#include "ProgressWindow.h"
#include "SetupPage.h"
#include "StripSaving.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QThread;
class QScrollArea;
class QStackedWidget;

namespace pulsavo {

class CaliperOverlay;
class FeedbackPage;
class GradebookWindow;
class GuidedRead;
class MonitorActions;
class PracticeTopBar;
class QuestionPage;
class SummaryPage;
class WorksheetPage;

// The practice window: the monitor plays a rhythm without its name, the learner names it, and
// every answer goes to the answers database before the feedback shows. The window wires the
// session (the round's rules) to its top bar, monitors and pages, and owns the clock and tone.
class PracticeWindow : public QWidget {
    Q_OBJECT
public:
    enum class Stage { setup, asking, feedback, summary };

    // An answered question and its measurement, as the session keeps them.
    using Measurement = PracticeSession::Measurement;
    using Result = PracticeSession::Result;

    using Options = SetupPage::Options;

    // dbPath empty: the default database location. Without a tone sink the window opens the
    // desktop's beat tone.
    explicit PracticeWindow(const QString& dbPath = {}, std::unique_ptr<ToneSink> tone = nullptr,
                            QWidget* parent = nullptr);
    ~PracticeWindow() override;

    // A round from the options, chosen by the drill.
    void startRound();
    // A round of fixed questions, e.g. from an exam code.
    void startRound(std::vector<Question> fixed, RoundMode mode, const QString& examCode = {});
    // Two rhythms alternating at random, for a pair the learner confuses.
    void startPairDrill(Rhythm first, Rhythm second);
    // The answered question's strip frozen and read step by step (ガイド付き判読).
    void startGuidedRead();
    GuidedRead* guidedRead() const { return guide; }
    // 今日の復習: what the schedule has due today from every stored answer, each once.
    void startReview();
    // A typed name as the answer; a name that is no rhythm of the round, or could be several,
    // is said so in the recall box and the question stays open.
    void answerTyped(const QString& text);
    // The questions of an exam code, in its order, each with the trace of its printed strip;
    // answers are recorded with the code. A bad code leaves the window as it was, with its
    // message beside the code box, and returns false.
    bool startExam(const QString& code);

    // The progress window (成績) on this window's database, read afresh each time; its
    // heat-map cells start a pair drill here.
    void showProgress();
    // The gradebook (採点); a remediation exam made there is started here.
    void showGradebook();
    // Asks for a class's code and opens a learner's monitor joined to it.
    void joinClass();
    ProgressWindow* progressWindow() const { return progressView.data(); }
    // Keeps `view` (this window's or another's on the same database) counting in the answers
    // written here while it is shown.
    void feedProgress(ProgressWindow* view);

    // Freezes the monitors for measuring with calipers (no ticks, no tone) or resumes them.
    void setFrozen(bool on);
    bool isFrozen() const { return monitors->isFrozen(); }
    // Marks the true waves under the calipers; before an answer this counts as a hint.
    void checkCalipers();
    CaliperOverlay* caliperOverlay() const { return monitors->calipers(); }

    // The measurement the answered question asks for, while it is still to be given.
    std::optional<calipers::Kind> measurementTask() const;
    // This question's strip measured over the ticks in view: rate, PR and QRS.
    std::optional<MeasuredFacts> measuredFacts();
    // Scores the task's caliper (the selected one, else the last one set for it), records it
    // like an answer and marks the true waves. False, with the reason beside the task, when
    // there is no task, no caliper for it or no such interval in view.
    bool submitMeasurement();

    // The learner's actions, as the buttons and keys trigger them.
    void answer(Rhythm rhythm);
    void showHint();
    void replayQuestion();
    void compareWithAnswer();
    void nextQuestion();
    void replayMissed(int index);
    void showSetup();

    Stage stage() const;
    Options options() const { return setupPage->options(); }
    void setOptions(const Options& options) { setupPage->setOptions(options); }
    const std::vector<Result>& results() const { return session.results(); }
    std::optional<Question> currentQuestion() const { return session.currentQuestion(); }
    bool isHinted() const { return session.isHinted(); }
    std::int64_t roundId() const { return session.roundId(); }
    const Mastery& mastery() const { return session.mastery(); }
    const PracticeSession& practiceSession() const { return session; }

    ProgressStore& store() { return progress; }
    MonitorClock& monitorClock() { return clock; }
    Monitor& questionMonitor() { return monitors->question(); }
    Monitor& compareMonitor() { return monitors->compared(); }

    // Where a round's drill takes its seed from: the system's random source.
    std::function<std::uint64_t()> seedSource;
    // Asked before a close would cut a round short; false keeps the window open. A question box
    // unless a test sets another.
    std::function<bool(int waiting)> confirmLeaving;
    // Where the learner puts an exam's hand-in file (empty: not saved); a file dialog by default.
    std::function<QString(const QString& suggested)> chooseHandInFile;
    // Saves the question monitor's strip; asks where unless a test sets another.
    // Before the answer the strip shows the trace only.
    std::function<void(const Monitor& monitor, bool ladder, StripShows shows)> saveStrip;
    // Milliseconds on a steady clock that answer times are measured by; a QElapsedTimer started
    // with the window unless a test sets another.
    std::function<qint64()> answerClock;

signals:
    // The stored answers were read (off the window's thread) and the review counts them.
    void historyLearned();
    // Answers just written to the database, for any open progress window to fold in.
    void answersWritten(const pulsavo::ProgressStore::Written& written);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void wireStudyModes();
    void connectPages();
    void retranslate();
    void describePanels();
    void loadSettings();
    void saveSettings() const;
    void ask(const Question& question);
    void keepTraceInView();
    void saveHandIn();
    void showFeedback(const Result& result);
    void showSummary(const PracticeSession::Summary& summary);
    void updateNotice();
    void saveQuestionStrip();
    // Each frame: ends a timed exam at its deadline and shows the time left.
    void followDeadline();
    void readHistory();
    void learnHistory(const std::vector<ReviewAnswer>& history);
    static constexpr long long sixSecondTicks = 600;
    void showExamRules(bool open);
    // The worksheet page and its part in the session's callbacks, for worksheet rounds.
    void wireWorksheet();
    void showPage(QWidget* page);

    ProgressStore progress;
    QThread* historyReader = nullptr; // reads the stored answers at open
    PracticeSession session{progress};
    MonitorClock clock;
    std::unique_ptr<ToneSink> tone;
    catalogue::Language language = catalogue::Language::japanese;

    QElapsedTimer steadyClock;
    bool loading = false;

    MonitorActions* actions = nullptr;
    QLabel* noticeLabel = nullptr;
    PracticeTopBar* topBar = nullptr;
    QScrollArea* pageScroll = nullptr;
    PracticeMonitors* monitors = nullptr;
    QPointer<ProgressWindow> progressView;
    QPointer<GradebookWindow> gradebookView;
    QStackedWidget* pages = nullptr;
    SetupPage* setupPage = nullptr;
    QuestionPage* questionPage = nullptr;
    FeedbackPage* feedbackPage = nullptr;
    SummaryPage* summaryPage = nullptr;
    GuidedRead* guide = nullptr;
    WorksheetPage* worksheetPage = nullptr;
};

} // namespace pulsavo
