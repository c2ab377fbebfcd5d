#pragma once

#include "ProgressStore.h"
#include "ProgressTypes.h"
#include "Rhythm.h"
#include "RhythmLibrary.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QThread;
class QLabel;
class QPushButton;
class QTextBrowser;

namespace pulsavo {

// The confusion matrix as a heat map over the rhythms a report lists (reportedRhythms): rows
// the rhythm shown, columns the answer given, numbered as the accuracy bars are, the count in
// each cell and its colour by the share of that row. Clicking a cell off the
// diagonal asks for a drill of that pair.
class AccuracyBars;
class DayChart;
class DueView;

class ConfusionMap : public QWidget {
    Q_OBJECT
public:
    explicit ConfusionMap(QWidget* parent = nullptr);

    // The map's rows and columns are `rhythms`, in that order.
    void setMatrix(const ConfusionMatrix& counts, std::vector<Rhythm> rhythms);
    const ConfusionMatrix& matrix() const { return counts; }
    const std::vector<Rhythm>& rhythms() const { return listed; }
    // The cell of (shown, answered) in widget coordinates; empty when either is not listed.
    QRect cellRect(Rhythm shown, Rhythm answered) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void cellClicked(pulsavo::Rhythm shown, pulsavo::Rhythm answered);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    int cellSize() const;
    QPoint origin() const;
    bool cellAt(const QPoint& pos, Rhythm& shown, Rhythm& answered) const;

    int placeOf(Rhythm rhythm) const;
    QRect rowRect(int place) const;
    void sumRows();
    int count() const { return static_cast<int>(listed.size()); }

    ConfusionMatrix counts{};
    std::array<int, totalRhythmCount> rowTotals{};
    std::vector<Rhythm> listed;
};

// The learner's standing (成績): accuracy per rhythm as bars with attempts and median answer
// time, the confusion heat map, accuracy per day over the last 30 days with the current streak,
// the five pairs most often confused with the key points of both, and export and reset.
// Opened from the classic dialog's context menu and from the practice window.
//
// The file is read on a thread of its own, through a read-only connection (a read-only file or
// another user's reads too), while the window says it is loading: the monitors never wait for
// it. An answer recorded while the window is open is folded into what it shows (addAnswer()).
class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int dayCount = 30;
    static constexpr int topPairs = 5;

    // Empty path: the trainer's own database. `examCode` non-empty: that exam's answers only.
    explicit ProgressWindow(const QString& databasePath = {}, QWidget* parent = nullptr,
                            const QString& examCode = {});
    ~ProgressWindow() override;

    const ProgressSummary& summary() const { return shown; }
    QString databasePath() const { return path; }
    // Where the last reset put the old file (empty when none was moved).
    QString movedAsidePath() const { return movedAside; }
    bool isLoading() const { return loader != nullptr; }
    // Blocks until the file has been read and shown (tests and benchmarks).
    void finishLoading();
    ConfusionMap* confusionMap() const { return map; }
    AccuracyBars* accuracyBars() const { return bars; }
    DayChart* dayChart() const { return dayView; }

    // Asked before a reset and for an export's file name; dialogs unless set (tests set them).
    std::function<bool()> confirmReset;
    std::function<QString()> askExportPath;

public slots:
    // Reads the database again, in the background.
    void refresh();
    // Counts the answers the store wrote (ProgressStore::takeWritten()) without reading the file.
    void addAnswers(const pulsavo::ProgressStore::Written& written);
    void setExamFilter(const QString& examCode);
    void exportCsv();
    void resetProgress();

signals:
    // A heat-map cell: start a short drill of the two rhythms (the practice window connects it).
    void pairDrillRequested(pulsavo::Rhythm shown, pulsavo::Rhythm answered);

protected:
    void closeEvent(QCloseEvent* event) override;
    // A language chosen while the window is open renames the rhythms in its charts and lists.
    void changeEvent(QEvent* event) override;

private:
    struct Loaded {
        ProgressSummary summary;
        ProgressStore::ReadProblem problem = ProgressStore::ReadProblem::none;
    };
    static Loaded load(const QString& path, const ProgressFilter& filter, QDate today);
    // Runs `job` on a thread of its own; what it returns then runs on the window's thread.
    void runInBackground(bool fullLoad, std::function<std::function<void()>()> job);
    void jobDone();
    void loadedInBackground(const Loaded& loaded);
    void refreshMedians();
    void showAll();
    // Lays the scrolled charts out for what they now show.
    void settleLayout();
    void showTotals();
    void buildCharts();
    // Only the rows that differ from those shown are repainted.
    void showBars();
    void showDays();
    void showPairs();
    void recountPairs(const QList<ConfusedPair>& before);
    // A pair's line: "shown を answered と答えた: n 回", its names escaped for HTML or not.
    static QString pairHeading(const ConfusedPair& pair, bool html);
    // Accuracy per worksheet field, as bars of text; hidden until a worksheet was answered.
    void showWorksheetFields();
    // 6秒モード: the median time to a right answer per rhythm; hidden until one was given.
    void showFluency();
    void onCell(Rhythm shown, Rhythm answered);

    QString path;
    QString movedAside;
    QThread* loader = nullptr;
    bool loading = false;      // the job running reads everything
    bool loadAgain = false;    // a full read was asked for while a job ran
    bool mediansAgain = false; // answers came in while a job ran
    ProgressFilter filter;
    ProgressSummary shown;
    std::vector<Rhythm> listed; // the bars and the heat map's rows, top down
    DayChart* dayView = nullptr;
    AccuracyBars* bars = nullptr;
    ConfusionMap* map = nullptr;
    QLabel* totals = nullptr;
    DueView* dueView = nullptr;
    QLabel* streakLabel = nullptr;
    QLabel* notice = nullptr;
    QString loadProblem;
    QTextBrowser* pairs = nullptr;
    QLabel* worksheetPanel = nullptr;
    QLabel* fluencyPanel = nullptr;
    QPushButton* exportButton = nullptr;
    QPushButton* resetButton = nullptr;
};

} // namespace pulsavo
