// The answers database as a file: durability across a kill, damaged and unwritable files,
// two writers at once, schema upgrades and reset.
#include "NativePath.h"
#include "ProgressSchema.h"
#include "ProgressStore.h"
#include "ProgressTally.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <unistd.h>

using namespace pulsavo;

namespace {

const QString writer = QStringLiteral(PROGRESS_WRITER);

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

AnswerRecord answerWithSeed(std::uint32_t seed) {
    AnswerRecord answer;
    answer.shown = Rhythm::atrialFlutter;
    answer.answer = Rhythm::atrialFibrillation;
    answer.seed = seed;
    answer.answerMs = 2500;
    return answer;
}

// The seeds stored in a file, read through a connection of the test's own.
QSet<qint64> storedSeeds(const QString& path) {
    QSet<qint64> seeds;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "check");
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(QStringLiteral("SELECT seed FROM answers"), db);
            while (query.next()) {
                seeds.insert(query.value(0).toLongLong());
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return seeds;
}

QStringList firstRow(const QString& path, const char* sql) {
    QStringList row;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "row");
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(QString::fromLatin1(sql), db);
            if (query.next()) {
                for (int i = 0; i < query.record().count(); ++i) {
                    row << query.value(i).toString();
                }
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("row"));
    return row;
}

QList<qint64> committedSeeds(const QByteArray& output) {
    QList<qint64> seeds;
    for (const QByteArray& line : output.split('\n')) {
        if (line.startsWith("committed ")) {
            seeds.append(line.mid(10).toLongLong());
        }
    }
    return seeds;
}

// A v1 file as the first release wrote it, with one round and one answer.
void createVersion1(const QString& path, int userVersion = 1) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "v1");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (const char* sql : {
                 "CREATE TABLE rounds (id INTEGER PRIMARY KEY, started TEXT NOT NULL,"
                 " mode TEXT NOT NULL, exam_code TEXT, length INTEGER NOT NULL,"
                 " options TEXT NOT NULL DEFAULT '', app_version TEXT NOT NULL, finished TEXT)",
                 "CREATE TABLE answers (id INTEGER PRIMARY KEY, time TEXT NOT NULL,"
                 " round_id INTEGER REFERENCES rounds(id), shown INTEGER NOT NULL,"
                 " seed INTEGER NOT NULL, answer INTEGER, correct INTEGER NOT NULL,"
                 " hinted INTEGER NOT NULL, answer_ms INTEGER NOT NULL,"
                 " app_version TEXT NOT NULL, exam_code TEXT)",
                 "CREATE INDEX answers_round ON answers(round_id)",
                 "INSERT INTO rounds VALUES (1, '2024-01-05T09:00:00.000Z', 'practice', NULL,"
                 " 10, '', '1.0.0.0', NULL)",
                 "INSERT INTO answers VALUES (1, '2024-01-05T09:00:05.000Z', 1, 11, 777, 10, 0,"
                 " 1, 4200, '1.0.0.0', NULL)",
             }) {
            QVERIFY2(query.exec(QString::fromLatin1(sql)), qPrintable(query.lastError().text()));
        }
        QVERIFY(query.exec(QStringLiteral("PRAGMA user_version = %1").arg(userVersion)));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("v1"));
}

} // namespace

class ProgressStoreTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        temporary = std::make_unique<QTemporaryDir>();
        QVERIFY(temporary->isValid());
    }

    // Folders made read-only by a test must become removable again.
    void cleanup() {
        QFile::setPermissions(temporary->filePath(QStringLiteral("shared")),
                              QFile::Permissions(0x7700));
        temporary.reset();
    }

    // A report's store reads every kind of file and changes none: not the bytes, not the
    // folder (no log or index left beside it), whatever the file holds.
    void readingChangesNothing_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("problem");
        using P = ProgressStore::ReadProblem;
        QTest::newRow("healthy") << "healthy" << static_cast<int>(P::none);
        QTest::newRow("still open in the practice window") << "open" << static_cast<int>(P::none);
        QTest::newRow("older schema") << "schema2" << static_cast<int>(P::tooOld);
        QTest::newRow("empty") << "empty" << static_cast<int>(P::notAnswers);
        QTest::newRow("not a database") << "garbage" << static_cast<int>(P::damaged);
        QTest::newRow("missing") << "missing" << static_cast<int>(P::missing);
        QTest::newRow("name not UTF-8") << "raw" << static_cast<int>(P::none);
    }

    void readingChangesNothing() {
        QFETCH(QString, kind);
        QFETCH(int, problem);
        const QString folder = temporary->filePath(QStringLiteral("r"));
        QVERIFY(QDir().mkpath(folder));
        QByteArray native = QFile::encodeName(folder) + "/answers.sqlite";
        const QString path = QFile::decodeName(native);
        std::unique_ptr<ProgressStore> owner;
        if (kind == "healthy" || kind == "open" || kind == "raw") {
            // The owner writes a name that is not UTF-8 byte for byte, and no other name.
            native = kind == "raw" ? QFile::encodeName(folder) + "/x\xffy\xc3.sqlite" : native;
            owner = std::make_unique<ProgressStore>(pathFromNative(native));
            QVERIFY(owner->recordAnswer(answerWithSeed(77)) > 0);
            if (kind != "open") {
                owner.reset();
            }
        } else if (kind == "schema2") {
            QVERIFY(QFile::copy(QStringLiteral(PROGRESS_SCHEMA2), path));
        } else if (kind == "empty") {
            writeFile(path, {});
        } else if (kind == "garbage") {
            writeFile(path, QByteArray(8192, '\x5a'));
        }
        const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        QVERIFY(kind != "raw" || names.isEmpty()); // QDir lists no name that is not UTF-8
        QMap<QString, QByteArray> before;
        for (const QString& name : names) {
            before.insert(name, readAll(folder + "/" + name));
        }
        {
            ProgressStore store(ProgressStore::ReadOnly::tag, native);
            QCOMPARE(static_cast<int>(store.readProblem()), problem);
            if (problem == static_cast<int>(ProgressStore::ReadProblem::none)) {
                QCOMPARE(store.state(), ProgressStore::State::readOnly);
                QVERIFY(store.answerCount() >= 1);
                QCOMPARE(store.recordAnswer(answerWithSeed(78)), std::int64_t{-1});
                QCOMPARE(store.beginRound(RoundInfo{}), std::int64_t{-1});
                QVERIFY(!store.reset());
            } else {
                QCOMPARE(store.state(), ProgressStore::State::unavailable);
            }
        }
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), names);
        for (const QString& name : names) {
            // The index beside an open file is shared memory, where every reader marks what
            // it reads; it holds no answers.
            if (!name.endsWith(QStringLiteral("-shm"))) {
                QCOMPARE(readAll(folder + "/" + name), before.value(name));
            }
        }
        ::unlink(native.constData()); // a name QTemporaryDir cannot remove
    }

    // Reading every page costs half a second at a million answers: a clean file is opened
    // without it, a file another store still has open (or a crash left a log beside) with it.
    void everyPageIsReadOnlyWhenNeeded() {
        const QString path = temporary->filePath(QStringLiteral("progress.sqlite"));
        {
            ProgressStore fresh(path);
            QVERIFY(!fresh.checkedEveryPage());
            QVERIFY(fresh.recordAnswer(answerWithSeed(1)) > 0);
        }
        {
            ProgressStore reopened(path);
            QVERIFY(!reopened.checkedEveryPage());
            QVERIFY(reopened.recordAnswer(answerWithSeed(2)) > 0);
            ProgressStore beside(path);
            QVERIFY(beside.checkedEveryPage());
            QCOMPARE(beside.answerCount(), 2);
        }
        QByteArray bytes = readAll(path);
        writeFile(path, bytes + QByteArray(4096, '\0')); // grown behind SQLite's back
        ProgressStore grown(path);
        QVERIFY(grown.checkedEveryPage());
        QCOMPARE(grown.answerCount(), 2);
    }

    void answersAreThereAfterReopening() {
        const QString path = temporary->filePath(QStringLiteral("a/b/progress.sqlite"));
        {
            ProgressStore store(path);
            QVERIFY(store.isSaving());
            QVERIFY(store.notice().isEmpty());
            QCOMPARE(store.schemaVersion(), ProgressSchema::currentVersion);
            const std::int64_t round = store.beginRound(RoundInfo{});
            QVERIFY(round > 0);
            AnswerRecord answer = answerWithSeed(4000000000U);
            answer.roundId = round;
            QVERIFY(store.recordAnswer(answer) > 0);
            QVERIFY(store.finishRound(round));
            QVERIFY(!store.finishRound(round + 100));
            AnswerRecord outOfRange = answerWithSeed(1);
            outOfRange.shown = static_cast<Rhythm>(totalRhythmCount);
            QCOMPARE(store.recordAnswer(outOfRange), std::int64_t{-1});
        }
        QCOMPARE(storedSeeds(path), QSet<qint64>{4000000000LL});
        ProgressStore again(path);
        QVERIFY(again.notice().isEmpty());
        QCOMPARE(again.answerCount(), 1);
    }

    void killedWriterLosesNothingCommitted() {
        const QString path = temporary->filePath(QStringLiteral("progress.sqlite"));
        QProcess process;
        process.start(writer, {QStringLiteral("write"), path, QStringLiteral("1000000"),
                               QStringLiteral("1")});
        QVERIFY(process.waitForStarted());
        QByteArray output;
        while (committedSeeds(output).size() < 40) {
            QVERIFY2(process.waitForReadyRead(30000), "the writer stopped writing");
            output += process.readAllStandardOutput();
        }
        process.kill(); // SIGKILL, somewhere in the middle of an answer
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        output += process.readAllStandardOutput();

        const QList<qint64> committed = committedSeeds(output);
        ProgressStore store(path);
        QVERIFY(store.checkedEveryPage());
        QVERIFY2(store.notice().isEmpty(), qPrintable(store.notice()));
        QVERIFY(store.isSaving());
        QCOMPARE(store.integrityCheck(), QStringLiteral("ok"));
        const QSet<qint64> stored = storedSeeds(path);
        for (const qint64 seed : committed) {
            QVERIFY2(stored.contains(seed), qPrintable(QString::number(seed)));
        }
        QVERIFY(store.recordAnswer(answerWithSeed(5)) > 0);
    }

    void twoProcessesBothRecord() {
        const QString path = temporary->filePath(QStringLiteral("progress.sqlite"));
        { ProgressStore create(path); }
        constexpr int each = 150;
        QProcess first;
        QProcess second;
        for (QProcess* process : {&first, &second}) {
            const QString tag = process == &first ? QStringLiteral("1") : QStringLiteral("2");
            process->start(writer, {QStringLiteral("write"), path, QString::number(each), tag,
                                    QStringLiteral("--wait")});
            QVERIFY(process->waitForReadyRead(30000));
            QCOMPARE(process->readLine().trimmed(), QByteArray("ready"));
        }
        first.write("go\n");
        second.write("go\n");
        for (QProcess* process : {&first, &second}) {
            QVERIFY(process->waitForFinished(120000));
            QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
        }
        const QSet<qint64> stored = storedSeeds(path);
        QCOMPARE(stored.size(), 2 * each);
        QVERIFY(stored.contains(1000000 + each - 1));
        QVERIFY(stored.contains(2000000 + each - 1));
    }

    void twoStoresInOneProcessInterleave() {
        const QString path = temporary->filePath(QStringLiteral("progress.sqlite"));
        ProgressStore first(path);
        ProgressStore second(path);
        for (std::uint32_t i = 0; i < 20; ++i) {
            QVERIFY((i % 2 == 0 ? first : second).recordAnswer(answerWithSeed(i)) > 0);
        }
        QCOMPARE(first.answerCount(), 20);
        QCOMPARE(second.answerCount(), 20);
    }

    void damagedFileIsMovedAside_data() {
        QTest::addColumn<QString>("damage");
        QTest::newRow("text") << "text";
        QTest::newRow("random header") << "random";
        QTest::newRow("overwritten pages, then a crash") << "pages";
        QTest::newRow("truncated") << "truncated";
    }

    void damagedFileIsMovedAside() {
        QFETCH(QString, damage);
        const QString path = temporary->filePath(QStringLiteral("progress.sqlite"));
        if (damage == QStringLiteral("text")) {
            writeFile(path, QByteArray("answers, but not a database\n").repeated(200));
        } else if (damage == QStringLiteral("random")) {
            QByteArray bytes(16384, '\0');
            for (qsizetype i = 0; i < bytes.size(); ++i) {
                bytes[i] = static_cast<char>((i * 7919 + 13) % 251);
            }
            writeFile(path, bytes);
        } else {
            {
                ProgressStore store(path);
                for (std::uint32_t i = 0; i < 400; ++i) {
                    QVERIFY(store.recordAnswer(answerWithSeed(i)) > 0);
                }
            }
            QByteArray bytes = readAll(path);
            QVERIFY(bytes.size() > 16384);
            if (damage == QStringLiteral("pages")) {
                bytes.replace(4096, 8192, QByteArray(8192, '\xab'));
                // A log left behind: the file was not closed cleanly, so opening reads it all.
                writeFile(path + QStringLiteral("-wal"), QByteArray(4096, '\0'));
            } else {
                bytes.truncate(bytes.size() / 2 + 100);
            }
            writeFile(path, bytes);
        }
        const QByteArray original = readAll(path);

        ProgressStore store(path);
        QVERIFY(store.isSaving());
        QVERIFY(!store.movedAsidePath().isEmpty());
        QVERIFY(!store.checkedEveryPage()); // the fresh file that replaced it needs no check
        QVERIFY(store.notice().contains(QDir::toNativeSeparators(store.movedAsidePath())));
        QVERIFY(store.movedAsidePath().startsWith(path + QStringLiteral(".damaged-")));
        QCOMPARE(readAll(store.movedAsidePath()), original);
        QCOMPARE(store.answerCount(), 0);
        QCOMPARE(store.integrityCheck(), QStringLiteral("ok"));
        QVERIFY(store.recordAnswer(answerWithSeed(1)) > 0);

        ProgressStore again(path);
        QVERIFY(again.notice().isEmpty());
        QCOMPARE(again.answerCount(), 1);
    }

    void unwritableLocationKeepsAnswersInMemory_data() {
        QTest::addColumn<QString>("where");
        QTest::newRow("under a file") << "under a file";
        QTest::newRow("a directory") << "a directory";
        QTest::newRow("system directory") << "system directory";
        QTest::newRow("read-only directory") << "read-only directory";
        QTest::newRow("read-only file") << "read-only file";
    }

    void unwritableLocationKeepsAnswersInMemory() {
        QFETCH(QString, where);
        QString path;
        bool permissions = false;
        if (where == QStringLiteral("under a file")) {
            writeFile(temporary->filePath(QStringLiteral("plain")), "x");
            path = temporary->filePath(QStringLiteral("plain/progress.sqlite"));
        } else if (where == QStringLiteral("a directory")) {
            path = temporary->filePath(QStringLiteral("folder"));
            QVERIFY(QDir().mkpath(path));
        } else if (where == QStringLiteral("system directory")) {
            path = QStringLiteral("/proc/progress.sqlite"); // not writable even by root
        } else {
            permissions = true;
            const QString folder = temporary->filePath(QStringLiteral("shared"));
            QVERIFY(QDir().mkpath(folder));
            path = folder + QStringLiteral("/progress.sqlite");
            if (where == QStringLiteral("read-only file")) {
                { ProgressStore create(path); }
                QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup |
                                                        QFile::ReadOther));
                QVERIFY(QFile::setPermissions(folder, QFile::Permissions(0x7777)));
            } else {
                QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner |
                                                          QFile::ReadOther | QFile::ExeOther));
            }
        }
        const QByteArray before = readAll(path);

        if (!permissions) {
            ProgressStore store(path);
            QCOMPARE(store.state(), ProgressStore::State::inMemory);
            QVERIFY(store.notice().contains(QDir::toNativeSeparators(path)));
            QVERIFY(store.recordAnswer(answerWithSeed(3)) > 0);
            QCOMPARE(store.answerCount(), 1);
            QCOMPARE(store.rhythmStats()[indexOf(Rhythm::atrialFlutter)].attempts, 1);
            QVERIFY(store.reset());
            QCOMPARE(store.answerCount(), 0);
        } else {
            // Permissions do not hold for root, so then the check runs as nobody.
            QVERIFY(QFile::setPermissions(temporary->path(), QFile::Permissions(0x7755)));
            QStringList args{QStringLiteral("probe"), path};
            if (geteuid() == 0) {
                args << QStringLiteral("--as-nobody");
            }
            QProcess process;
            process.start(writer, args);
            QVERIFY(process.waitForFinished(30000));
            const QByteArray output = process.readAllStandardOutput();
            QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
            QVERIFY2(output.contains("state inMemory\n"), output.constData());
            QVERIFY(output.contains("count 1\n"));
            QVERIFY(!output.contains("recorded -1"));
            QVERIFY(output.contains(QDir::toNativeSeparators(path).toUtf8()));
        }
        QCOMPARE(readAll(path), before);
    }

    void versionOneIsUpgradedInPlace() {
        const QString path = temporary->filePath(QStringLiteral("progress.sqlite"));
        createVersion1(path);
        ProgressStore store(path);
        QVERIFY2(store.notice().isEmpty(), qPrintable(store.notice()));
        QCOMPARE(store.schemaVersion(), ProgressSchema::currentVersion);
        QCOMPARE(store.answerCount(), 1);
        const RhythmStats vf = store.rhythmStats()[indexOf(Rhythm::ventricularFibrillation)];
        QCOMPARE(vf.attempts, 1);
        QCOMPARE(vf.hinted, 1);
        QCOMPARE(vf.medianMs.value_or(0), 4200.0);

        AnswerRecord measurement = answerWithSeed(9);
        measurement.kind = QStringLiteral("rr");
        measurement.valueMs = 820;
        measurement.errorMs = -15;
        measurement.correct = true;
        QVERIFY(store.recordAnswer(measurement) > 0);
        QCOMPARE(store.answerCount(), 1); // measurements are not naming answers
        QCOMPARE(firstRow(path, "SELECT kind, value_ms, error_ms, correct FROM answers"
                                " WHERE seed = 9"),
                 QStringList({"rr", "820", "-15", "1"}));
        QCOMPARE(storedSeeds(path), (QSet<qint64>{777, 9}));
    }

    // A file the release before the library wrote (schema 2, rhythms by number): every row is
    // kept, now by id, and the figures read the same; library answers go in beside them.
    void schemaTwoKeepsEveryAnswer() {
        const QString path = temporary->filePath(QStringLiteral("progress.sqlite"));
        QVERIFY(QFile::copy(QStringLiteral(PROGRESS_SCHEMA2), path));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "edit");
            db.setDatabaseName(path);
            QVERIFY(db.open());
            // A number no release wrote: kept as it is, left out of the figures.
            QVERIFY(
                QSqlQuery(db).exec(QStringLiteral("UPDATE answers SET shown = 99 WHERE id = 2")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("edit"));

        ProgressStore store(path);
        QVERIFY2(store.notice().isEmpty(), qPrintable(store.notice()));
        QCOMPARE(store.schemaVersion(), ProgressSchema::currentVersion);
        QCOMPARE(store.integrityCheck(), QStringLiteral("ok"));
        // Rhythm i shown once, answered (5 i) mod 18; then the exam's two and a measurement.
        QStringList rows;
        for (int i = 0; i < rhythmCount; ++i) {
            rows << QStringLiteral("classic_%1:classic_%2:%3")
                        .arg(i == 1 ? 99 : i)
                        .arg(i * 5 % rhythmCount)
                        .arg(1000 + i);
        }
        rows << "classic_5:classic_4:2000"
             << "classic_17:-:2001"
             << "classic_14:-:1005";
        QCOMPARE(firstRow(path, "SELECT group_concat(shown || ':' || coalesce(answer, '-') || ':'"
                                " || seed, ' ') FROM (SELECT * FROM answers ORDER BY id)"),
                 QStringList(rows.join(' ')));
        QCOMPARE(firstRow(path, "SELECT kind, value_ms, error_ms, correct, hinted FROM answers"
                                " WHERE seed = 1005 AND kind IS NOT NULL"),
                 QStringList({"pr", "280", "-20", "1", "0"}));
        QCOMPARE(store.answerCount({QStringLiteral("PX-8AK9-P73D")}), 2);
        const RhythmStatsTable stats = store.rhythmStats();
        QCOMPARE(stats[indexOf(Rhythm::atrialFlutter)].medianMs.value_or(0), 2850.0);
        QCOMPARE(stats[indexOf(Rhythm::supraventricularPremature)].attempts, 0);

        AnswerRecord library = answerWithSeed(3000);
        library.shown = rhythmOf(LibraryRhythm::mobitz1);
        library.answer = rhythmOf(LibraryRhythm::avBlock2to1);
        QVERIFY(store.recordAnswer(library) > 0);
        QCOMPARE(store.confusion()[indexOf(library.shown)][indexOf(*library.answer)], 1);
        QCOMPARE(firstRow(path, "SELECT shown, answer FROM answers WHERE seed = 3000"),
                 QStringList({"mobitz_1", "av_block_2to1"}));
    }

    void worksheetFieldsAreKept_data() {
        QTest::addColumn<bool>("fromSchema4");
        QTest::newRow("new file") << false;
        QTest::newRow("file of schema 4") << true;
    }

    // A worksheet's fields go in beside its naming answer and are counted per field; a file from
    // before worksheets reads as having none and takes them once upgraded.
    void worksheetFieldsAreKept() {
        QFETCH(bool, fromSchema4);
        const QString path = temporary->filePath(QStringLiteral("progress.sqlite"));
        if (fromSchema4) {
            ProgressStore(path).recordAnswer(answerWithSeed(1));
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "old");
                db.setDatabaseName(path);
                QVERIFY(db.open());
                QSqlQuery query(db);
                QVERIFY(query.exec(QStringLiteral("DROP TABLE worksheet_fields")));
                QVERIFY(query.exec(QStringLiteral("DROP INDEX answers_fluency")));
                QVERIFY(query.exec(QStringLiteral("ALTER TABLE answers DROP COLUMN limit_ms")));
                QVERIFY(query.exec(QStringLiteral("PRAGMA user_version = 4")));
            }
            QSqlDatabase::removeDatabase(QStringLiteral("old"));
            const ProgressStore report(ProgressStore::ReadOnly::tag, nativeFromPath(path));
            QVERIFY(report.readProblem() == ProgressStore::ReadProblem::none);
            QVERIFY(report.worksheetAccuracy().isEmpty() && report.answerCount() == 1);
        }
        ProgressStore store(path);
        QVERIFY2(store.notice().isEmpty(), qPrintable(store.notice()));
        QCOMPARE(store.schemaVersion(), ProgressSchema::currentVersion);
        AnswerRecord sheet = answerWithSeed(5);
        sheet.examCode = QStringLiteral("PX-8AK9-P73D");
        sheet.worksheet = {{"atrial_rate", "300", "300", true}, {"pr", "", "none", false}};
        QVERIFY(store.recordAnswer(sheet) > 0);
        sheet.worksheet[1].correct = true;
        QVERIFY(store.recordAnswer(sheet) > 0);
        QCOMPARE(store.answerCount(), fromSchema4 ? 3 : 2);
        QCOMPARE(firstRow(path,
                          "SELECT group_concat(field || ':' || coalesce(learner_value, '-')"
                          " || ':' || true_value || ':' || correct, ' ') FROM worksheet_fields"
                          " WHERE answer_id = (SELECT MIN(answer_id) FROM worksheet_fields)"),
                 QStringList("atrial_rate:300:300:1 pr:-:none:0"));
        const QList<WorksheetFieldStats> stats = store.worksheetAccuracy({sheet.examCode});
        QCOMPARE(stats.size(), 2);
        QVERIFY(stats[0].field == "atrial_rate" && stats[0].attempts == 2 && stats[0].correct == 2);
        QVERIFY(stats[1].field == "pr" && stats[1].attempts == 2 && stats[1].correct == 1);
        QVERIFY(store.worksheetAccuracy({QStringLiteral("PX-OTHER")}).isEmpty());
    }

    void fluencyIsReadFromTimedAnswers_data() {
        QTest::addColumn<bool>("fromSchema5");
        QTest::newRow("new file") << false;
        QTest::newRow("file of schema 5") << true;
    }

    // 6秒モード: a late answer stays as given, marked wrong, with its limit; fluency is the
    // median time of the right, unhinted answers given against the clock, per rhythm.
    void fluencyIsReadFromTimedAnswers() {
        QFETCH(bool, fromSchema5);
        const QString path = temporary->filePath(QStringLiteral("progress.sqlite"));
        if (fromSchema5) {
            ProgressStore(path).recordAnswer(answerWithSeed(1));
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "old");
                db.setDatabaseName(path);
                QVERIFY(db.open());
                QSqlQuery query(db);
                QVERIFY(query.exec(QStringLiteral("DROP INDEX answers_fluency")));
                QVERIFY(query.exec(QStringLiteral("ALTER TABLE answers DROP COLUMN limit_ms")));
                QVERIFY(query.exec(QStringLiteral("PRAGMA user_version = 5")));
            }
            QSqlDatabase::removeDatabase(QStringLiteral("old"));
            const ProgressStore report(ProgressStore::ReadOnly::tag, nativeFromPath(path));
            QVERIFY(report.fluency().isEmpty() && report.answerCount() == 1);
        }
        ProgressStore store(path);
        QCOMPARE(store.schemaVersion(), ProgressSchema::currentVersion);
        const auto timed = [](Rhythm rhythm, int ms, std::optional<int> limit, bool right,
                              bool hinted = false) {
            AnswerRecord answer = answerWithSeed(static_cast<std::uint32_t>(ms));
            answer.shown = rhythm;
            answer.answer = rhythm;
            answer.answerMs = ms;
            answer.limitMs = limit;
            answer.hinted = hinted;
            answer.correct = right ? std::nullopt : std::optional(false);
            return answer;
        };
        const Rhythm sinus = Rhythm::sinusRhythm;
        const Rhythm vt = rhythmOf(LibraryRhythm::vtMonomorphic);
        for (const AnswerRecord& answer :
             {timed(vt, 4000, 6000, true), timed(sinus, 3000, 6000, true),
              timed(sinus, 1000, 6000, true), timed(sinus, 7000, 6000, false),
              timed(sinus, 500, std::nullopt, true), timed(sinus, 800, 6000, true, true),
              timed(sinus, 2000, 10000, true)}) {
            QVERIFY(store.recordAnswer(answer) > 0);
        }
        QCOMPARE(firstRow(path, "SELECT answer, correct, limit_ms FROM answers"
                                " WHERE answer_ms = 7000"),
                 QStringList({"classic_0", "0", "6000"}));
        ProgressSummary summary = store.summary();
        QCOMPARE(summary.fluency.size(), 2);
        QVERIFY(summary.fluency[0].rhythm == sinus && summary.fluency[1].rhythm == vt);
        QCOMPARE(summary.fluency[0].timesMs, (std::vector<int>{1000, 2000, 3000}));
        QCOMPARE(summary.fluency[0].medianMs(), std::optional<double>(2000.0));
        QCOMPARE(summary.fluency[1].medianMs(), std::optional<double>(4000.0));
        // An answer counted in while the window is open moves the median as a reread would.
        AnswerRecord later = timed(vt, 5000, 6000, true);
        later.time = QDateTime::currentDateTime();
        QVERIFY(store.recordAnswer(later) > 0);
        QVERIFY(ProgressTally::fold(summary, later, {}));
        QCOMPARE(summary.fluency[1].medianMs(), std::optional<double>(4500.0));
        QCOMPARE(summary.fluency[1].timesMs, store.fluency()[1].timesMs);
    }

    void newerSchemaIsLeftAlone() {
        const QString path = temporary->filePath(QStringLiteral("progress.sqlite"));
        createVersion1(path, ProgressSchema::currentVersion + 1);
        const QByteArray before = readAll(path);
        ProgressStore store(path);
        QCOMPARE(store.state(), ProgressStore::State::inMemory);
        QVERIFY(!store.notice().isEmpty());
        QVERIFY(store.movedAsidePath().isEmpty());
        QVERIFY(store.recordAnswer(answerWithSeed(1)) > 0);
        QCOMPARE(readAll(path), before);
    }

    void resetMovesTheFileAside() {
        const QString path = temporary->filePath(QStringLiteral("progress.sqlite"));
        ProgressStore store(path);
        ProgressStore reader(path);
        for (std::uint32_t i = 0; i < 3; ++i) {
            QVERIFY(store.recordAnswer(answerWithSeed(i)) > 0);
        }
        QVERIFY(store.reset());
        const QString aside = store.movedAsidePath();
        QVERIFY(aside.startsWith(path + QStringLiteral(".reset-")));
        QVERIFY(store.notice().contains(QDir::toNativeSeparators(aside)));
        QCOMPARE(store.answerCount(), 0);
        QVERIFY(store.recordAnswer(answerWithSeed(10)) > 0);
        QCOMPARE(storedSeeds(aside), (QSet<qint64>{0, 1, 2}));
        QCOMPARE(storedSeeds(path), QSet<qint64>{10});

        QVERIFY(store.reset()); // twice in the same second: a second name, nothing overwritten
        QVERIFY(store.movedAsidePath() != aside);
        QCOMPARE(storedSeeds(aside), (QSet<qint64>{0, 1, 2}));
        QCOMPARE(storedSeeds(store.movedAsidePath()), QSet<qint64>{10});
    }

    // Another program holding the write lock, from before the open or from between two
    // answers: the answers and their round wait, visibly, and reach the file once it frees.
    void answersWaitForALockedFile_data() {
        QTest::addColumn<bool>("lockedAtOpen");
        QTest::newRow("locked at open") << true;
        QTest::newRow("locked between answers") << false;
    }

    void answersWaitForALockedFile() {
        QFETCH(bool, lockedAtOpen);
        const QString path = temporary->filePath(QStringLiteral("progress.sqlite"));
        { ProgressStore create(path); }
        QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "holder");
        holder.setDatabaseName(path);
        QVERIFY(holder.open());
        std::unique_ptr<ProgressStore> store;
        if (!lockedAtOpen) {
            store = std::make_unique<ProgressStore>(path);
        }
        QVERIFY(QSqlQuery(holder).exec(QStringLiteral("BEGIN IMMEDIATE")));
        if (lockedAtOpen) {
            store = std::make_unique<ProgressStore>(path);
        }
        const std::int64_t round = store->beginRound({});
        AnswerRecord waiting = answerWithSeed(1);
        waiting.roundId = round;
        QCOMPARE(store->recordAnswer(waiting), -1);
        QCOMPARE(store->state(), ProgressStore::State::waiting);
        QCOMPARE(store->waitingCount(), 1);
        QVERIFY(store->notice().contains(QStringLiteral("1 件")));

        QVERIFY(QSqlQuery(holder).exec(QStringLiteral("ROLLBACK")));
        QVERIFY(store->recordAnswer(answerWithSeed(2)) > 0);
        QVERIFY(store->finishRound(round));
        QCOMPARE(store->state(), ProgressStore::State::saved);
        QVERIFY(store->notice().isEmpty());
        QCOMPARE(store->takeWritten().answers.size(), std::size_t(2));
        holder.close();
        holder = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        QCOMPARE(storedSeeds(path), (QSet<qint64>{1, 2}));
        QCOMPARE(firstRow(path, "SELECT COUNT(*) FROM answers a JOIN rounds r ON r.id = a.round_id"
                                " WHERE r.finished IS NOT NULL"),
                 QStringList{"1"});
    }

    // A reset from another store (the progress window) while this one (practice) is open: the
    // next answers, and the round under way, go to the fresh file.
    void resetElsewhereIsFollowed() {
        const QString path = temporary->filePath(QStringLiteral("progress.sqlite"));
        ProgressStore practice(path);
        AnswerRecord answer = answerWithSeed(1);
        answer.roundId = practice.beginRound({});
        QVERIFY(practice.recordAnswer(answer) > 0);
        ProgressStore window(path);
        QVERIFY(window.reset());
        answer.seed = 2;
        QVERIFY(practice.recordAnswer(answer) > 0);
        QCOMPARE(storedSeeds(window.movedAsidePath()), QSet<qint64>{1});
        QCOMPARE(storedSeeds(path), QSet<qint64>{2});
        QCOMPARE(
            firstRow(path, "SELECT COUNT(*) FROM answers a JOIN rounds r ON r.id = a.round_id"),
            QStringList{"1"});
    }

private:
    std::unique_ptr<QTemporaryDir> temporary;
};

QTEST_GUILESS_MAIN(ProgressStoreTest)
#include "tst_progressstore.moc"
