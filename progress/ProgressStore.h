#pragma once

#include "ExamAnswer.h"
#include "ProgressTypes.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

class QIODevice;

namespace pulsavo {

// The learner's answers in one SQLite file (Qt SQL, QSQLITE driver). Each store has a connection
// of its own, so several stores may be open in one process and several processes on one file.
//
// Opening never fails: a damaged file is moved aside (never deleted) and a fresh one started; a
// location that cannot be written gives a store that keeps answers in memory only. Either way
// notice() holds one sentence for the window to show. Every page is read at open only when the
// file was not closed cleanly or its length disagrees with its header (checkedEveryPage()).
class ProgressStore : public AnswerSink {
public:
    enum class State {
        saved,       // answers go to the file at path()
        inMemory,    // the file could not be used; answers last as long as the store
        unavailable, // no SQLite driver at all, or a file that cannot be read; nothing is kept
        readOnly     // a report's view of the file at path(): nothing is written, ever
    };

    // Why a store opened for reading has nothing to read.
    enum class ReadProblem { none, missing, notAnswers, damaged, tooOld, tooNew, unreadable };

    // Opens the file whose name is `nativePath` (bytes as the system takes them) for reading
    // only: never created, migrated, switched to WAL or moved aside, whatever it holds. A
    // read-only file, folder or another user's file reads as well as one's own.
    enum class ReadOnly { tag };
    ProgressStore(ReadOnly, const QByteArray& nativePath);

    // Empty path: defaultPath(); ":memory:": a store that keeps nothing, with no notice.
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
    int answerCount(const ProgressFilter& filter = {}) const;

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
    enum class OpenResult { ok, damaged, unwritable, tooNew };
    void open();
    void openForReading(const QByteArray& nativePath);
    OpenResult tryOpen(const QString& name);
    void useMemory(const QString& reason);
    bool moveAside(const QString& why);
    void close();

    QString connectionName;
    QString filePath;
    QString version;
    QString currentNotice;
    QString movedAside;
    State currentState = State::unavailable;
    ReadProblem problem = ReadProblem::none;
    bool fullCheck = false;
    QSqlDatabase db;
};

QString roundModeName(RoundMode mode);

} // namespace pulsavo
