#include "ProgressStore.h"

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

#include <atomic>
#include <cerrno>
#include <sys/stat.h>
#include <tuple>

namespace pulsavo {

namespace {

const QString driverName = QStringLiteral("QSQLITE");
const QString memoryName = QStringLiteral(":memory:");
constexpr int busyTimeoutMs = 5000;

// SQLite's primary result codes for a file that is not a database or is damaged.
constexpr int sqliteCorrupt = 11;
constexpr int sqliteNotADatabase = 26;

bool isDamage(const QSqlError& error) {
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == sqliteCorrupt || code == sqliteNotADatabase;
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

// Whether the file may hold damage a clean close would not leave: a log or journal left
// beside it (the last program to use it did not close it, or one still has it open), or a
// length other than the one its header records (cut short or grown by something else).
// Reading every page costs half a second at a million answers, so only then.
bool needsFullCheck(const QString& name) {
    for (const char* suffix : {"-wal", "-journal"}) {
        if (QFileInfo(name + QLatin1String(suffix)).size() > 0) {
            return true;
        }
    }
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        return false; // opening the database itself says what is wrong
    }
    const QByteArray header = file.read(100);
    if (header.size() < 100) {
        return file.size() > 0;
    }
    const auto number = [&header](int at, int bytes) {
        quint32 value = 0;
        for (int i = 0; i < bytes; ++i) {
            value = (value << 8U) | static_cast<quint8>(header[at + i]);
        }
        return value;
    };
    const quint32 pageSize = number(16, 2) == 1 ? 65536 : number(16, 2);
    // The page count is valid only when written by the same change as the counter at 24.
    if (number(92, 4) != number(24, 4)) {
        return true;
    }
    return static_cast<qint64>(pageSize) * number(28, 4) != file.size();
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
      version(QCoreApplication::applicationVersion()) {
    if (version.isEmpty()) {
        version = QStringLiteral(PULSAVO_VERSION);
    }
    open();
}

ProgressStore::~ProgressStore() {
    close();
    db = QSqlDatabase();
    if (QSqlDatabase::contains(connectionName)) {
        QSqlDatabase::removeDatabase(connectionName);
    }
}

ProgressStore::ProgressStore(ReadOnly /*tag*/, const QByteArray& nativePath)
    : connectionName(nextConnectionName()), filePath(QFile::decodeName(nativePath)),
      version(QStringLiteral(PULSAVO_VERSION)) {
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
    // A missing folder is made here; one that cannot be made shows up below as unwritable.
    QDir().mkpath(QFileInfo(filePath).absolutePath());
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
    fullCheck = name != memoryName && needsFullCheck(name);
    db.setDatabaseName(name);
    if (!db.open()) {
        return isDamage(db.lastError()) ? OpenResult::damaged : OpenResult::unwritable;
    }
    QSqlQuery query(db);
    auto failed = [&]() {
        return isDamage(query.lastError()) ? OpenResult::damaged : OpenResult::unwritable;
    };
    // Qt sets a busy timeout of its own; ours is explicit so that it cannot drift.
    if (!query.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(busyTimeoutMs))) {
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
        return OpenResult::ok;
    case ProgressSchema::Outcome::tooNew:
        return OpenResult::tooNew;
    case ProgressSchema::Outcome::failed:
        break;
    }
    return isDamage(migration.error) ? OpenResult::damaged : OpenResult::unwritable;
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
    QString target = QStringLiteral("%1.%2-%3").arg(filePath, why, stamp);
    for (int n = 2; QFileInfo::exists(target) || QFileInfo::exists(target + "-wal"); ++n) {
        target = QStringLiteral("%1.%2-%3-%4").arg(filePath, why, stamp).arg(n);
    }
    if (!QFile::rename(filePath, target)) {
        return false;
    }
    // The log and index travel with the file, under the names SQLite pairs with it, so that
    // nothing of the old database is lost or replayed into the new one.
    for (const char* suffix : {"-wal", "-shm"}) {
        const QString companion = filePath + QLatin1String(suffix);
        if (QFileInfo::exists(companion)) {
            QFile::rename(companion, target + QLatin1String(suffix));
        }
    }
    movedAside = target;
    return true;
}

bool ProgressStore::reset() {
    if (currentState == State::unavailable || currentState == State::readOnly) {
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
    currentNotice = text(QT_TRANSLATE_NOOP("ProgressStore",
                                           "これまでの成績を %1 に移し、新しく記録を始めました。"))
                        .arg(QDir::toNativeSeparators(movedAside));
    return true;
}

std::int64_t ProgressStore::beginRound(const RoundInfo& round) {
    if (currentState == State::unavailable || currentState == State::readOnly) {
        return -1;
    }
    QSqlQuery query(db);
    query.prepare(QStringLiteral("INSERT INTO rounds (started, mode, exam_code, length, options,"
                                 " app_version) VALUES (?, ?, ?, ?, ?, ?)"));
    query.addBindValue(utcTextOrNow(round.started));
    query.addBindValue(roundModeName(round.mode));
    query.addBindValue(nullable(round.examCode));
    query.addBindValue(round.length);
    query.addBindValue(round.options.isNull() ? QStringLiteral("") : round.options);
    query.addBindValue(version);
    if (!query.exec()) {
        currentNotice = text(QT_TRANSLATE_NOOP("ProgressStore", "成績を保存できませんでした: %1"))
                            .arg(query.lastError().text());
        return -1;
    }
    return query.lastInsertId().toLongLong();
}

bool ProgressStore::finishRound(std::int64_t roundId, const QDateTime& finished) {
    if (currentState == State::unavailable || currentState == State::readOnly) {
        return false;
    }
    QSqlQuery query(db);
    query.prepare(QStringLiteral("UPDATE rounds SET finished = ? WHERE id = ?"));
    query.addBindValue(utcTextOrNow(finished));
    query.addBindValue(static_cast<qlonglong>(roundId));
    if (!query.exec()) {
        currentNotice = text(QT_TRANSLATE_NOOP("ProgressStore", "成績を保存できませんでした: %1"))
                            .arg(query.lastError().text());
        return false;
    }
    return query.numRowsAffected() == 1;
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
    return recordAnswer(record);
}

std::int64_t ProgressStore::recordAnswer(const AnswerRecord& answer) {
    if (currentState == State::unavailable || currentState == State::readOnly ||
        !validRhythm(answer.shown) || (answer.answer && !validRhythm(*answer.answer))) {
        return -1;
    }
    const bool correct = answer.correct.value_or(answer.answer == answer.shown);
    // One statement outside any explicit transaction is a transaction of its own: the row is
    // committed (and synced) before exec() returns, so before the feedback is shown.
    QSqlQuery query(db);
    query.prepare(QStringLiteral(
        "INSERT INTO answers (time, round_id, shown, seed, answer, correct, hinted, answer_ms,"
        " app_version, exam_code, kind, value_ms, error_ms, learner, question)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    query.addBindValue(utcTextOrNow(answer.time));
    query.addBindValue(answer.roundId > 0 ? QVariant(static_cast<qlonglong>(answer.roundId))
                                          : QVariant());
    query.addBindValue(idText(answer.shown));
    query.addBindValue(static_cast<qlonglong>(answer.seed));
    query.addBindValue(answer.answer ? QVariant(idText(*answer.answer)) : QVariant());
    query.addBindValue(correct ? 1 : 0);
    query.addBindValue(answer.hinted ? 1 : 0);
    query.addBindValue(std::max(answer.answerMs, 0));
    query.addBindValue(version);
    query.addBindValue(nullable(answer.examCode));
    query.addBindValue(nullable(answer.kind));
    query.addBindValue(nullable(answer.valueMs));
    query.addBindValue(nullable(answer.errorMs));
    query.addBindValue(nullable(answer.learner));
    query.addBindValue(answer.question > 0 ? QVariant(answer.question) : QVariant());
    if (!query.exec()) {
        currentNotice =
            text(QT_TRANSLATE_NOOP("ProgressStore", "この回答を保存できませんでした: %1"))
                .arg(query.lastError().text());
        return -1;
    }
    return query.lastInsertId().toLongLong();
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
