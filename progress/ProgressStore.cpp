#include "ProgressStore.h"

#include "NativePath.h"
#include "ProgressSchema.h"
#include "ProgressSql.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <tuple>
#include <utility>

namespace pulsavo {

namespace {

const QString driverName = QStringLiteral("QSQLITE");
const QString memoryName = QStringLiteral(":memory:");
// Opening gives up on a file another program is writing after a short wait (answers then wait
// in the store); an answer waits longer, as another writer's commits take milliseconds.
constexpr int openBusyMs = 250;
constexpr int writeBusyMs = 1000;

// SQLite's primary result codes for a file that is not a database or is damaged.
constexpr int sqliteCorrupt = 11;
constexpr int sqliteNotADatabase = 26;

bool isDamage(const QSqlError& error) {
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == sqliteCorrupt || code == sqliteNotADatabase;
}

bool isBusy(const QSqlError& error) {
    constexpr int sqliteBusy = 5;
    constexpr int sqliteLocked = 6;
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == sqliteBusy || code == sqliteLocked;
}

bool statOf(const QByteArray& name, struct stat& info) {
    return ::stat(name.constData(), &info) == 0;
}

bool existsNative(const QByteArray& name) {
    struct stat info {};
    return statOf(name, info);
}

QByteArray identityOf(const QByteArray& name) {
    struct stat info {};
    if (!statOf(name, info)) {
        return {};
    }
    return QByteArray::number(static_cast<qulonglong>(info.st_dev)) + ':' +
           QByteArray::number(static_cast<qulonglong>(info.st_ino));
}

// A URI carries the name byte for byte (percent-encoded), whatever the locale makes of it.
QString uriOf(const QByteArray& nativeName) {
    return QString::fromLatin1("file:" + nativeName.toPercentEncoding("/"));
}

QString nextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("pulsavo-progress-%1").arg(++counter);
}

QString text(const char* source) {
    return QCoreApplication::translate("ProgressStore", source);
}

QVariant nullable(const QString& value) {
    return value.isEmpty() ? QVariant() : QVariant(value);
}

template <typename T> QVariant nullable(const std::optional<T>& value) {
    return value ? QVariant::fromValue(*value) : QVariant();
}

bool validRhythm(Rhythm rhythm) {
    return anyRhythmAt(indexOf(rhythm)).has_value();
}

QString idText(Rhythm rhythm) {
    return QString::fromStdString(rhythmId(rhythm));
}

// Kept for a view until it takes them; a store no view drains keeps only a flag.
void keepWritten(ProgressStore::Written& written, const AnswerRecord& answer) {
    constexpr std::size_t kept = 256;
    if (written.answers.size() >= kept) {
        written.answers.clear();
        written.complete = false;
    }
    if (written.complete) {
        written.answers.push_back(answer);
    }
}

// Whether the file may hold damage a clean close would not leave: a log or journal left
// beside it (the last program to use it did not close it, or one still has it open), or a
// length other than the one its header records (cut short or grown by something else).
// Reading every page costs half a second at a million answers, so only then.
bool needsFullCheck(const QByteArray& name) {
    for (const char* suffix : {"-wal", "-journal"}) {
        struct stat companion {};
        if (statOf(name + suffix, companion) && companion.st_size > 0) {
            return true;
        }
    }
    struct stat info {};
    std::FILE* file = std::fopen(name.constData(), "rb");
    if (file == nullptr || !statOf(name, info)) {
        if (file != nullptr) {
            std::fclose(file);
        }
        return false; // opening the database itself says what is wrong
    }
    std::array<unsigned char, 100> header{};
    const std::size_t got = std::fread(header.data(), 1, header.size(), file);
    std::fclose(file);
    if (got < header.size()) {
        return info.st_size > 0;
    }
    const auto number = [&header](std::size_t at, int bytes) {
        quint32 value = 0;
        for (int i = 0; i < bytes; ++i) {
            value = (value << 8U) | header[at + static_cast<std::size_t>(i)];
        }
        return value;
    };
    const quint32 pageSize = number(16, 2) == 1 ? 65536 : number(16, 2);
    // The page count is valid only when written by the same change as the counter at 24.
    if (number(92, 4) != number(24, 4)) {
        return true;
    }
    return static_cast<qint64>(pageSize) * number(28, 4) != static_cast<qint64>(info.st_size);
}

} // namespace

QString roundModeName(RoundMode mode) {
    switch (mode) {
    case RoundMode::exam:
        return QStringLiteral("exam");
    case RoundMode::pair:
        return QStringLiteral("pair");
    case RoundMode::practice:
        break;
    }
    return QStringLiteral("practice");
}

ProgressStore::ProgressStore(const QString& path)
    : connectionName(nextConnectionName()), filePath(path.isEmpty() ? defaultPath() : path),
      version(QCoreApplication::applicationVersion()), nativeName(nativeFromPath(filePath)) {
    if (version.isEmpty()) {
        version = QStringLiteral(PULSAVO_VERSION);
    }
    open();
}

ProgressStore::~ProgressStore() {
    flush();
    close();
    db = QSqlDatabase();
    if (QSqlDatabase::contains(connectionName)) {
        QSqlDatabase::removeDatabase(connectionName);
    }
}

ProgressStore::ProgressStore(ReadOnly /*tag*/, const QByteArray& nativePath)
    : connectionName(nextConnectionName()), filePath(pathFromNative(nativePath)),
      version(QStringLiteral(PULSAVO_VERSION)), nativeName(nativePath) {
    openForReading(nativePath);
}

void ProgressStore::openForReading(const QByteArray& nativePath) {
    currentState = State::unavailable;
    if (!QSqlDatabase::isDriverAvailable(driverName)) {
        problem = ReadProblem::unreadable;
        return;
    }
    struct stat info {};
    if (::stat(nativePath.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        problem = errno == ENOENT || errno == ENOTDIR || errno == 0 ? ReadProblem::missing
                                                                    : ReadProblem::unreadable;
        if (::stat(nativePath.constData(), &info) == 0) {
            problem = ReadProblem::unreadable; // a folder or a device
        }
        return;
    }
    // A URI carries the name byte for byte (percent-encoded), whatever the locale makes of it.
    const QByteArray uri =
        "file:" + nativePath.toPercentEncoding("/") + QByteArrayLiteral("?mode=ro");
    db = QSqlDatabase::addDatabase(driverName, connectionName);
    const auto attempt = [this](const QByteArray& name) {
        db.close();
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY"));
        db.setDatabaseName(QString::fromLatin1(name));
        QSqlQuery query(db);
        if (!db.open()) {
            return std::pair{db.lastError(), -1};
        }
        if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
            return std::pair{query.lastError(), -1};
        }
        return std::pair{QSqlError(), query.value(0).toInt()};
    };
    const auto exists = [&nativePath](const char* suffix) {
        struct stat companion {};
        return ::stat((nativePath + suffix).constData(), &companion) == 0;
    };
    // With no log, index or journal beside it no one has the file open, and it is read as it
    // stands: SQLite would otherwise leave an empty log and index behind, and cannot make them
    // in a folder we may not write.
    const bool quiet = !exists("-wal") && !exists("-shm") && !exists("-journal");
    auto [error, found] = attempt(quiet ? uri + "&immutable=1" : uri);
    constexpr int sqliteCantOpen = 14;
    struct stat log {};
    if (found < 0 && (error.nativeErrorCode().toInt() & 0xff) == sqliteCantOpen &&
        (::stat((nativePath + "-wal").constData(), &log) != 0 || log.st_size == 0)) {
        std::tie(error, found) = attempt(uri + "&immutable=1");
    }
    if (found < 0) {
        problem = isDamage(error) ? ReadProblem::damaged : ReadProblem::unreadable;
        close();
        return;
    }
    if (found == 0) {
        problem = ReadProblem::notAnswers;
    } else if (found < ProgressSchema::oldestReadable) {
        problem = ReadProblem::tooOld;
    } else if (found > ProgressSchema::currentVersion) {
        problem = ReadProblem::tooNew;
    } else {
        problem = ReadProblem::none;
        currentState = State::readOnly;
        return;
    }
    close();
}

QString ProgressStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/progress.sqlite");
}

void ProgressStore::open() {
    if (!QSqlDatabase::isDriverAvailable(driverName)) {
        currentState = State::unavailable;
        currentNotice = text(QT_TRANSLATE_NOOP(
            "ProgressStore", "成績を記録できません（SQLite のドライバーがありません）。"));
        return;
    }
    db = QSqlDatabase::addDatabase(driverName, connectionName);
    if (filePath == memoryName) {
        useMemory(QString());
        return;
    }
    // A missing folder is made here; one that cannot be made shows up below as unwritable. A
    // name with bytes that are not text is taken as it is: its folder must exist.
    if (nativeName == filePath.toUtf8()) {
        QDir().mkpath(QFileInfo(filePath).absolutePath());
    }
    OpenResult result = tryOpen(filePath);
    if (result == OpenResult::damaged) {
        close();
        if (!moveAside(QStringLiteral("damaged"))) {
            useMemory(text(QT_TRANSLATE_NOOP(
                               "ProgressStore",
                               "成績ファイル %1 "
                               "が壊れていて、移すこともできません。成績は保存されません。"))
                          .arg(QDir::toNativeSeparators(filePath)));
            return;
        }
        result = tryOpen(filePath);
        if (result == OpenResult::ok) {
            currentState = State::saved;
            currentNotice =
                text(
                    QT_TRANSLATE_NOOP(
                        "ProgressStore",
                        "成績ファイルが壊れていたため %1 に移し、新しい成績ファイルを作りました。"))
                    .arg(QDir::toNativeSeparators(movedAside));
            return;
        }
    }
    switch (result) {
    case OpenResult::ok:
        currentState = State::saved;
        currentNotice.clear();
        return;
    case OpenResult::busy:
        close();
        currentState = State::waiting;
        sayWaiting();
        return;
    case OpenResult::tooNew:
        useMemory(
            text(QT_TRANSLATE_NOOP("ProgressStore", "成績ファイル %1 は新しい版の Pulsavo "
                                                    "で作られています。成績は保存されません。"))
                .arg(QDir::toNativeSeparators(filePath)));
        return;
    case OpenResult::damaged:
    case OpenResult::unwritable:
        break;
    }
    useMemory(text(QT_TRANSLATE_NOOP("ProgressStore",
                                     "成績ファイル %1 に書き込めないため、成績は保存されません。"))
                  .arg(QDir::toNativeSeparators(filePath)));
}

ProgressStore::OpenResult ProgressStore::tryOpen(const QString& name) {
    const bool file = name != memoryName;
    fullCheck = file && needsFullCheck(nativeName);
    identity.clear();
    db.setConnectOptions(file ? QStringLiteral("QSQLITE_OPEN_URI") : QString());
    db.setDatabaseName(file ? uriOf(nativeName) : name);
    if (!db.open()) {
        return isDamage(db.lastError()) ? OpenResult::damaged : OpenResult::unwritable;
    }
    QSqlQuery query(db);
    auto failed = [&]() {
        return isDamage(query.lastError()) ? OpenResult::damaged
               : isBusy(query.lastError()) ? OpenResult::busy
                                           : OpenResult::unwritable;
    };
    // Qt sets a busy timeout of its own; ours is explicit so that it cannot drift.
    if (!query.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(openBusyMs))) {
        return failed();
    }
    if (name != memoryName) {
        // Reading every page once finds a damaged file now, not in the middle of a round.
        if (fullCheck) {
            if (!query.exec(QStringLiteral("PRAGMA quick_check")) || !query.next()) {
                return failed();
            }
            if (query.value(0).toString() != QStringLiteral("ok")) {
                return OpenResult::damaged;
            }
            query.finish();
        }
        // A file from a newer release is left exactly as it is: not even the journal mode
        // changes.
        if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
            return failed();
        }
        if (query.value(0).toInt() > ProgressSchema::currentVersion) {
            return OpenResult::tooNew;
        }
        query.finish();
        // WAL: readers never block the writer, and a killed process leaves committed answers
        // in the log, replayed on the next open. FULL syncs the log at every commit, so an
        // answer whose feedback was shown also survives a power cut (NORMAL would only
        // survive the process dying).
        if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL"))) {
            return failed();
        }
        query.finish();
    }
    if (!query.exec(QStringLiteral("PRAGMA synchronous = FULL"))) {
        return failed();
    }
    const ProgressSchema::Result migration = ProgressSchema::migrate(db);
    switch (migration.outcome) {
    case ProgressSchema::Outcome::upgraded:
        if (!query.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(writeBusyMs))) {
            return failed();
        }
        identity = file ? identityOf(nativeName) : QByteArray();
        return OpenResult::ok;
    case ProgressSchema::Outcome::tooNew:
        return OpenResult::tooNew;
    case ProgressSchema::Outcome::failed:
        break;
    }
    return isDamage(migration.error) ? OpenResult::damaged
           : isBusy(migration.error) ? OpenResult::busy
                                     : OpenResult::unwritable;
}

void ProgressStore::useMemory(const QString& reason) {
    close();
    currentNotice = reason;
    currentState = tryOpen(memoryName) == OpenResult::ok ? State::inMemory : State::unavailable;
}

void ProgressStore::close() {
    if (db.isValid() && db.isOpen()) {
        db.close();
    }
}

bool ProgressStore::moveAside(const QString& why) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QByteArray tail = QStringLiteral(".%1-%2").arg(why, stamp).toUtf8();
    QByteArray target = nativeName + tail;
    for (int n = 2; existsNative(target) || existsNative(target + "-wal"); ++n) {
        target = nativeName + tail + '-' + QByteArray::number(n);
    }
    if (::rename(nativeName.constData(), target.constData()) != 0) {
        return false;
    }
    // The log and index travel with the file, under the names SQLite pairs with it, so that
    // nothing of the old database is lost or replayed into the new one.
    for (const char* suffix : {"-wal", "-shm"}) {
        if (existsNative(nativeName + suffix)) {
            ::rename((nativeName + suffix).constData(), (target + suffix).constData());
        }
    }
    movedAside = pathFromNative(target);
    return true;
}

bool ProgressStore::reset() {
    if (currentState == State::unavailable || currentState == State::readOnly || !flush()) {
        return false;
    }
    close();
    if (currentState == State::inMemory) {
        return tryOpen(memoryName) == OpenResult::ok;
    }
    if (!moveAside(QStringLiteral("reset"))) {
        tryOpen(filePath);
        currentNotice =
            text(QT_TRANSLATE_NOOP("ProgressStore",
                                   "成績ファイル %1 を移せませんでした。成績はそのままです。"))
                .arg(QDir::toNativeSeparators(filePath));
        return false;
    }
    if (tryOpen(filePath) != OpenResult::ok) {
        useMemory(
            text(QT_TRANSLATE_NOOP("ProgressStore",
                                   "成績ファイル %1 に書き込めないため、成績は保存されません。"))
                .arg(QDir::toNativeSeparators(filePath)));
        return false;
    }
    roundIds.clear();
    currentRound = 0;
    currentNotice = text(QT_TRANSLATE_NOOP("ProgressStore",
                                           "これまでの成績を %1 に移し、新しく記録を始めました。"))
                        .arg(QDir::toNativeSeparators(movedAside));
    return true;
}

bool ProgressStore::writable() const {
    return currentState == State::saved || currentState == State::inMemory ||
           currentState == State::waiting;
}

// A reset from another window or program renames the file under this connection, which would
// go on writing into the file moved aside: the name is checked before each write instead.
void ProgressStore::followMovedFile() {
    if (currentState != State::saved || filePath == memoryName || identity.isEmpty() ||
        identityOf(nativeName) == identity) {
        return;
    }
    close();
    roundIds.clear();
    if (tryOpen(filePath) != OpenResult::ok) {
        close();
        currentState = State::waiting;
        if (currentRound > 0) {
            waitingRounds.push_back({currentRound, currentRoundInfo, {}});
        }
        return;
    }
    // The round in progress goes on in the new file under a row of its own.
    if (currentRound > 0) {
        const std::int64_t id = insertRound(currentRoundInfo);
        if (id > 0) {
            roundIds.insert(currentRound, id);
        }
    }
}

std::int64_t ProgressStore::fileRoundId(std::int64_t handedOut) const {
    return roundIds.value(handedOut, handedOut);
}

void ProgressStore::sayWaiting() {
    currentNotice =
        text(QT_TRANSLATE_NOOP("ProgressStore",
                               "成績ファイル %1 に今は書き込めません（ほかのプログラムが使用中、"
                               "またはディスクがいっぱい）。保存待ちの回答 %2 件は、書き込めるよう"
                               "になりしだい保存します。"))
            .arg(QDir::toNativeSeparators(filePath))
            .arg(waitingAnswers.size());
}

void ProgressStore::wait(const AnswerRecord& answer) {
    if (currentState == State::inMemory) {
        currentNotice =
            text(QT_TRANSLATE_NOOP("ProgressStore", "この回答を記録できませんでした。"));
        return;
    }
    waitingAnswers.push_back(answer);
    currentState = State::waiting;
    sayWaiting();
}

bool ProgressStore::flush() {
    if (currentState != State::waiting) {
        return currentState != State::unavailable && currentState != State::readOnly;
    }
    if (!db.isOpen() && tryOpen(filePath) != OpenResult::ok) {
        close();
        sayWaiting();
        return false;
    }
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        sayWaiting();
        return false;
    }
    // All that waited goes in one transaction, or none of it.
    const QHash<std::int64_t, std::int64_t> before = roundIds;
    bool ok = true;
    for (const WaitingRound& round : waitingRounds) {
        const std::int64_t id = insertRound(round.info);
        ok = id > 0 && (!round.finished.isValid() || updateFinished(id, round.finished));
        if (!ok) {
            break;
        }
        roundIds.insert(round.id, id);
    }
    for (std::size_t i = 0; ok && i < waitingAnswers.size(); ++i) {
        AnswerRecord answer = waitingAnswers[i];
        answer.roundId = fileRoundId(answer.roundId);
        ok = insertAnswer(answer) > 0;
    }
    if (!ok || !query.exec(QStringLiteral("COMMIT"))) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        roundIds = before;
        sayWaiting();
        return false;
    }
    for (AnswerRecord& answer : waitingAnswers) {
        answer.roundId = fileRoundId(answer.roundId);
        keepWritten(written, answer);
    }
    waitingRounds.clear();
    waitingAnswers.clear();
    currentState = State::saved;
    currentNotice.clear();
    return true;
}

std::int64_t ProgressStore::insertRound(const RoundInfo& round) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral("INSERT INTO rounds (started, mode, exam_code, length, options,"
                                 " app_version) VALUES (?, ?, ?, ?, ?, ?)"));
    query.addBindValue(utcTextOrNow(round.started));
    query.addBindValue(roundModeName(round.mode));
    query.addBindValue(nullable(round.examCode));
    query.addBindValue(round.length);
    query.addBindValue(round.options.isNull() ? QStringLiteral("") : round.options);
    query.addBindValue(version);
    return query.exec() ? query.lastInsertId().toLongLong() : -1;
}

bool ProgressStore::updateFinished(std::int64_t fileId, const QDateTime& finished) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral("UPDATE rounds SET finished = ? WHERE id = ?"));
    query.addBindValue(utcTextOrNow(finished));
    query.addBindValue(static_cast<qlonglong>(fileId));
    return query.exec() && query.numRowsAffected() == 1;
}

std::int64_t ProgressStore::beginRound(const RoundInfo& given) {
    if (!writable()) {
        return -1;
    }
    RoundInfo round = given;
    if (!round.started.isValid()) {
        round.started = QDateTime::currentDateTimeUtc();
    }
    followMovedFile();
    std::int64_t id = currentState == State::waiting && !flush() ? -1 : insertRound(round);
    if (id < 0) {
        // Waits with the answers that will follow it, under an id no file row has.
        id = nextWaitingId++;
        waitingRounds.push_back({id, round, {}});
        currentState = State::waiting;
        sayWaiting();
    }
    currentRound = id;
    currentRoundInfo = round;
    return id;
}

bool ProgressStore::finishRound(std::int64_t roundId, const QDateTime& finished) {
    if (!writable()) {
        return false;
    }
    const QDateTime at = finished.isValid() ? finished : QDateTime::currentDateTimeUtc();
    if (roundId == currentRound) {
        currentRound = 0;
    }
    followMovedFile();
    for (WaitingRound& round : waitingRounds) {
        if (round.id == roundId) {
            round.finished = at;
            return flush() || currentState == State::waiting;
        }
    }
    if (currentState == State::waiting && !flush()) {
        return false;
    }
    return updateFinished(fileRoundId(roundId), at);
}

std::int64_t ProgressStore::openRound(const RoundStart& round) {
    RoundInfo info;
    info.mode = round.mode;
    info.examCode = QString::fromStdString(round.examCode);
    info.length = round.length;
    info.options = QString::fromStdString(round.options);
    return beginRound(info);
}

bool ProgressStore::closeRound(std::int64_t roundId) {
    return finishRound(roundId);
}

std::int64_t ProgressStore::keepAnswer(const AnswerEntry& answer) {
    AnswerRecord record;
    record.roundId = answer.roundId;
    record.shown = answer.shown;
    record.seed = answer.seed;
    record.answer = answer.answer;
    record.correct = answer.correct;
    record.hinted = answer.hinted;
    record.answerMs = answer.answerMs;
    record.examCode = QString::fromStdString(answer.examCode);
    record.learner = QString::fromStdString(answer.learner);
    record.question = answer.question;
    record.kind = QString::fromStdString(answer.kind);
    record.valueMs = answer.valueMs;
    record.errorMs = answer.errorMs;
    record.worksheet = answer.worksheet;
    record.limitMs = answer.limitMs;
    return recordAnswer(record);
}

std::int64_t ProgressStore::recordAnswer(const AnswerRecord& given) {
    if (!writable() || !validRhythm(given.shown) || (given.answer && !validRhythm(*given.answer))) {
        return -1;
    }
    AnswerRecord answer = given;
    answer.correct = answer.correct.value_or(answer.answer == answer.shown);
    answer.answerMs = std::max(answer.answerMs, 0);
    if (!answer.time.isValid()) {
        answer.time = QDateTime::currentDateTimeUtc(); // a waiting answer keeps its own time
    }
    followMovedFile();
    if (currentState == State::waiting && !flush()) {
        wait(answer);
        return -1;
    }
    AnswerRecord stored = answer;
    stored.roundId = fileRoundId(answer.roundId);
    const std::int64_t id = insertAnswer(stored);
    if (id < 0) {
        wait(answer);
        return -1;
    }
    keepWritten(written, stored);
    return id;
}

ProgressStore::Written ProgressStore::takeWritten() {
    return std::exchange(written, {});
}

// One statement outside any explicit transaction is a transaction of its own: the row is
// committed (and synced) before exec() returns, so before the feedback is shown. A worksheet's
// fields go in with their answer under one savepoint (a transaction of its own outside flush()).
std::int64_t ProgressStore::insertAnswer(const AnswerRecord& answer) {
    QSqlQuery query(db);
    const bool fields = !answer.worksheet.empty();
    if (fields && !query.exec(QStringLiteral("SAVEPOINT answer"))) {
        return -1;
    }
    query.prepare(QStringLiteral(
        "INSERT INTO answers (time, round_id, shown, seed, answer, correct, hinted, answer_ms,"
        " app_version, exam_code, kind, value_ms, error_ms, learner, question, limit_ms)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    query.addBindValue(utcTextOrNow(answer.time));
    query.addBindValue(answer.roundId > 0 ? QVariant(static_cast<qlonglong>(answer.roundId))
                                          : QVariant());
    query.addBindValue(idText(answer.shown));
    query.addBindValue(static_cast<qlonglong>(answer.seed));
    query.addBindValue(answer.answer ? QVariant(idText(*answer.answer)) : QVariant());
    query.addBindValue(answer.correct.value_or(false) ? 1 : 0);
    query.addBindValue(answer.hinted ? 1 : 0);
    query.addBindValue(answer.answerMs);
    query.addBindValue(version);
    query.addBindValue(nullable(answer.examCode));
    query.addBindValue(nullable(answer.kind));
    query.addBindValue(nullable(answer.valueMs));
    query.addBindValue(nullable(answer.errorMs));
    query.addBindValue(nullable(answer.learner));
    query.addBindValue(answer.question > 0 ? QVariant(answer.question) : QVariant());
    query.addBindValue(nullable(answer.limitMs));
    if (!query.exec()) {
        if (fields) {
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK TO answer"));
            QSqlQuery(db).exec(QStringLiteral("RELEASE answer"));
        }
        return -1;
    }
    const std::int64_t id = query.lastInsertId().toLongLong();
    if (!fields) {
        return id;
    }
    bool ok = true;
    for (const WorksheetEntry& entry : answer.worksheet) {
        QSqlQuery field(db);
        field.prepare(
            QStringLiteral("INSERT INTO worksheet_fields (answer_id, field,"
                           " learner_value, true_value, correct) VALUES (?, ?, ?, ?, ?)"));
        field.addBindValue(static_cast<qlonglong>(id));
        field.addBindValue(QString::fromStdString(entry.field));
        field.addBindValue(nullable(QString::fromStdString(entry.learnerValue)));
        field.addBindValue(nullable(QString::fromStdString(entry.trueValue)));
        field.addBindValue(entry.correct ? 1 : 0);
        if (!field.exec()) {
            ok = false;
            break;
        }
    }
    if (!ok) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK TO answer"));
    }
    return QSqlQuery(db).exec(QStringLiteral("RELEASE answer")) && ok ? id : -1;
}

int ProgressStore::schemaVersion() const {
    QSqlQuery query(db);
    if (currentState == State::unavailable || !query.exec(QStringLiteral("PRAGMA user_version")) ||
        !query.next()) {
        return -1;
    }
    return query.value(0).toInt();
}

QString ProgressStore::integrityCheck() const {
    QSqlQuery query(db);
    if (currentState == State::unavailable ||
        !query.exec(QStringLiteral("PRAGMA integrity_check")) || !query.next()) {
        return query.lastError().text();
    }
    return query.value(0).toString();
}

} // namespace pulsavo
