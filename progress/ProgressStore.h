#pragma once

#include "ExamAnswer.h"
#include "ProgressTypes.h"
#include "ReviewSchedule.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

class QIODevice;

namespace pulsavo {

// The learner's answers in one SQLite file (Qt SQL, QSQLITE driver). Each store has a connection
// of its own, so several stores may be open in one process and several processes on one file.
//
// Opening never fails: a damaged file is moved aside (never deleted) and a fresh one started; a
// location that cannot be written gives a store that keeps answers in memory only. Either way
// notice() holds one sentence for the window to show. Every page is read at open only when the
// file was not closed cleanly or its length disagrees with its header (checkedEveryPage()).
//
// No answer is dropped quietly: while another program holds the file's write lock, or a write
// fails (a full disk), answers wait in the store, notice() says how many, and each later write
// (or flush()) tries the file again. A file moved away under a saving store (a reset from
// another window or process) is followed: the next write goes to the file now at path().
class ProgressStore : public AnswerSink {
public:
    enum class State {
        saved,       // answers go to the file at path()
        inMemory,    // the file could not be used; answers last as long as the store
        unavailable, // no SQLite driver at all, or a file that cannot be read; nothing is kept
        readOnly,    // a report's view of the file at path(): nothing is written, ever
        waiting      // the file is busy or failed a write: answers wait here for the next try
    };

    // Why a store opened for reading has nothing to read.
    enum class ReadProblem { none, missing, notAnswers, damaged, tooOld, tooNew, unreadable };

    // Opens the file whose name is `nativePath` (bytes as the system takes them) for reading
    // only: never created, migrated, switched to WAL or moved aside, whatever it holds. A
    // read-only file, folder or another user's file reads as well as one's own.
    enum class ReadOnly { tag };
    ProgressStore(ReadOnly, const QByteArray& nativePath);

    // Empty path: defaultPath(); ":memory:": a store that keeps nothing, with no notice. The
    // path may carry bytes that are not UTF-8 as pathFromNative() writes them.
    explicit ProgressStore(const QString& path = {});
    ~ProgressStore() override;
    ProgressStore(const ProgressStore&) = delete;
    ProgressStore& operator=(const ProgressStore&) = delete;

    // QStandardPaths::AppDataLocation/progress.sqlite, e.g. ~/.local/share/Pulsavo/progress.sqlite.
    static QString defaultPath();

    State state() const { return currentState; }
    bool isSaving() const { return currentState == State::saved; }
    ReadProblem readProblem() const { return problem; }
    QString path() const { return filePath; }
    // Recorded with every round and answer: the application's version unless set.
    QString appVersion() const { return version; }
    void setAppVersion(const QString& appVersion) { version = appVersion; }
    QString notice() const { return currentNotice; }
    // Where a damaged file or a reset put the old database (empty when nothing was moved).
    QString movedAsidePath() const { return movedAside; }

    // Each returns once its row is committed (and, with synchronous=FULL, on disk); the id of the
    // new row, or -1 when it could not be written (notice() then says why).
    std::int64_t beginRound(const RoundInfo& round);
    bool finishRound(std::int64_t roundId, const QDateTime& finished = {});
    std::int64_t recordAnswer(const AnswerRecord& answer);

    // A practice session's rounds and answers, as the three calls above keep them.
    std::int64_t openRound(const RoundStart& round) override;
    bool closeRound(std::int64_t roundId) override;
    std::int64_t keepAnswer(const AnswerEntry& answer) override;

    // Moves the file aside under a timestamped name (never deletes it) and starts a fresh one.
    bool reset();

    // Answers and rounds not yet in the file; flush() writes them now, true once none wait.
    int waitingCount() const { return static_cast<int>(waitingAnswers.size()); }
    bool flush();
    // The answers written since the last call, as stored (time and correctness filled in), for
    // a view to fold in; `complete` is false when more were written than were kept for it.
    struct Written {
        std::vector<AnswerRecord> answers;
        bool complete = true;
    };
    Written takeWritten();

    // Queries. Naming answers only; local calendar days; `today` defaults to the current date.
    RhythmStatsTable rhythmStats(const ProgressFilter& filter = {}) const;
    ConfusionMatrix confusion(const ProgressFilter& filter = {}) const;
    // One entry per local day, oldest first, the last being `today`.
    QList<DayAccuracy> accuracyByDay(int days, const ProgressFilter& filter = {},
                                     QDate today = {}) const;
    // Consecutive local days with at least one answer, ending today, or ending yesterday when
    // nothing has been answered yet today; 0 otherwise. Answers dated after today are ignored.
    int streak(const ProgressFilter& filter = {}, QDate today = {}) const;
    // Ordered pairs (shown, answered) with shown != answered, most frequent first, ties by
    // rhythm index; only pairs that occurred.
    QList<ConfusedPair> topConfusions(int count = 5, const ProgressFilter& filter = {}) const;
    ProgressSummary summary(const ProgressFilter& filter = {}, int days = 30,
                            QDate today = {}) const;
    QStringList examCodes() const;
    // The exam's naming answers in the order given, with their learner and question where the
    // file records them; none when the file cannot be read.
    std::optional<QList<ExamAnswer>> examAnswers(const QString& examCode) const;
    // Every naming answer as the review schedule reads it, oldest first, its day the local
    // calendar day as QDate::toJulianDay() counts it; answers of rhythms unknown here left out.
    // `throughId`: only the answers stored up to that id, for a reader on another thread that
    // must not count twice what its window learns of meanwhile.
    std::vector<ReviewAnswer> reviewHistory(std::int64_t throughId = INT64_MAX) const;
    // The id of the last answer stored; 0 for none.
    std::int64_t lastAnswerId() const;
    int answerCount(const ProgressFilter& filter = {}) const;
    // Measurement rows (calipers), which the CSV export holds beside the naming answers.
    int measurementCount(const ProgressFilter& filter = {}) const;
    // Per worksheet field that was ever answered, by stored name; empty for a file
    // without worksheets (one from before them too).
    QList<WorksheetFieldStats> worksheetAccuracy(const ProgressFilter& filter = {}) const;
    // Per rhythm with a right, unhinted answer given against the clock; empty for a file from
    // before the 6秒モード.
    QList<RhythmFluency> fluency(const ProgressFilter& filter = {}) const;
    // The median answer time of `rhythm`'s `attempts` naming answers, straight off the index.
    std::optional<double> medianMs(Rhythm rhythm, int attempts,
                                   const ProgressFilter& filter = {}) const;

    // The attempts as CSV: RFC 4180 (comma, CRLF, quotes doubled), UTF-8 without a byte order
    // mark, a header row, one row per answer in the order given. nameOf fills the name columns.
    using RhythmNamer = std::function<QString(Rhythm)>;
    bool exportCsv(QIODevice& device, const ProgressFilter& filter = {},
                   const RhythmNamer& nameOf = {}) const;
    // Writes the whole file or leaves none (QSaveFile).
    bool exportCsv(const QString& fileName, const ProgressFilter& filter = {},
                   const RhythmNamer& nameOf = {}) const;

    // Whether opening read every page (PRAGMA quick_check): only after an unclean shutdown or
    // when the file's length is not the one its header records.
    bool checkedEveryPage() const { return fullCheck; }

    int schemaVersion() const;
    QString integrityCheck() const; // "ok" when sound

private:
    enum class OpenResult { ok, damaged, unwritable, tooNew, busy };
    struct WaitingRound {
        std::int64_t id = 0; // as handed out
        RoundInfo info;
        QDateTime finished; // invalid: still open
    };
    void open();
    void openForReading(const QByteArray& nativePath);
    OpenResult tryOpen(const QString& name);
    void useMemory(const QString& reason);
    bool moveAside(const QString& why);
    void close();
    bool writable() const;
    void followMovedFile();
    void wait(const AnswerRecord& answer);
    void sayWaiting();
    std::int64_t insertRound(const RoundInfo& round);
    bool updateFinished(std::int64_t fileId, const QDateTime& finished);
    std::int64_t insertAnswer(const AnswerRecord& answer);
    std::int64_t fileRoundId(std::int64_t handedOut) const;

    QString connectionName;
    QString filePath;
    QString version;
    QString currentNotice;
    QString movedAside;
    State currentState = State::unavailable;
    ReadProblem problem = ReadProblem::none;
    bool fullCheck = false;
    QSqlDatabase db;

    QByteArray nativeName; // filePath as the file system takes it
    QByteArray identity;   // device and inode of the file opened; empty when none
    std::vector<WaitingRound> waitingRounds;
    std::vector<AnswerRecord> waitingAnswers;
    QHash<std::int64_t, std::int64_t> roundIds; // handed-out id -> id in the file, when they differ
    std::int64_t nextWaitingId = std::int64_t{1} << 48; // far above any row id a file reaches
    std::int64_t currentRound = 0;                      // the round begun and not yet finished
    RoundInfo currentRoundInfo;
    Written written;
};

QString roundModeName(RoundMode mode);

} // namespace pulsavo
