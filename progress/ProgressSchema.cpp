#include "ProgressSchema.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace pulsavo {

namespace {

// Step n takes the database from version n to version n + 1.
QStringList stepStatements(int fromVersion) {
    switch (fromVersion) {
    case 0:
        return {
            QStringLiteral("CREATE TABLE rounds ("
                           " id INTEGER PRIMARY KEY,"
                           " started TEXT NOT NULL,"
                           " mode TEXT NOT NULL,"
                           " exam_code TEXT,"
                           " length INTEGER NOT NULL,"
                           " options TEXT NOT NULL DEFAULT '',"
                           " app_version TEXT NOT NULL,"
                           " finished TEXT)"),
            QStringLiteral("CREATE TABLE answers ("
                           " id INTEGER PRIMARY KEY,"
                           " time TEXT NOT NULL,"
                           " round_id INTEGER REFERENCES rounds(id),"
                           " shown INTEGER NOT NULL,"
                           " seed INTEGER NOT NULL,"
                           " answer INTEGER,"
                           " correct INTEGER NOT NULL,"
                           " hinted INTEGER NOT NULL,"
                           " answer_ms INTEGER NOT NULL,"
                           " app_version TEXT NOT NULL,"
                           " exam_code TEXT)"),
            QStringLiteral("CREATE INDEX answers_round ON answers(round_id)"),
        };
    case 1:
        // Measurements (calipers) share the answers table; the indexes serve the progress
        // window's aggregates, which count naming answers only.
        return {
            QStringLiteral("ALTER TABLE answers ADD COLUMN kind TEXT"),
            QStringLiteral("ALTER TABLE answers ADD COLUMN value_ms INTEGER"),
            QStringLiteral("ALTER TABLE answers ADD COLUMN error_ms INTEGER"),
            QStringLiteral("CREATE INDEX answers_time ON answers(time)"),
            QStringLiteral(
                "CREATE INDEX answers_shown ON answers(shown, answer_ms, correct, hinted)"
                " WHERE kind IS NULL"),
            QStringLiteral("CREATE INDEX answers_pair ON answers(shown, answer, correct, hinted)"
                           " WHERE kind IS NULL"),
            QStringLiteral("CREATE INDEX answers_exam ON answers(exam_code, shown, answer_ms,"
                           " correct, hinted, answer) WHERE kind IS NULL"),
            QStringLiteral("CREATE INDEX answers_exam_time ON answers(exam_code, time)"
                           " WHERE kind IS NULL"),
        };
    case 2: {
        // Answers name rhythms by id rather than by list position, so that library rhythms
        // fit beside the classic ones; SQLite changes a column's type only by copying the table.
        const QString idOf =
            QStringLiteral("CASE WHEN typeof(%1) = 'integer' THEN 'classic_' || %1 ELSE %1 END");
        return {
            QStringLiteral("CREATE TABLE answers_by_id ("
                           " id INTEGER PRIMARY KEY,"
                           " time TEXT NOT NULL,"
                           " round_id INTEGER REFERENCES rounds(id),"
                           " shown TEXT NOT NULL,"
                           " seed INTEGER NOT NULL,"
                           " answer TEXT,"
                           " correct INTEGER NOT NULL,"
                           " hinted INTEGER NOT NULL,"
                           " answer_ms INTEGER NOT NULL,"
                           " app_version TEXT NOT NULL,"
                           " exam_code TEXT,"
                           " kind TEXT,"
                           " value_ms INTEGER,"
                           " error_ms INTEGER)"),
            QStringLiteral("INSERT INTO answers_by_id SELECT id, time, round_id, %1, seed, %2,"
                           " correct, hinted, answer_ms, app_version, exam_code, kind, value_ms,"
                           " error_ms FROM answers ORDER BY id")
                .arg(idOf.arg(QStringLiteral("shown")), idOf.arg(QStringLiteral("answer"))),
            QStringLiteral("DROP TABLE answers"),
            QStringLiteral("ALTER TABLE answers_by_id RENAME TO answers"),
            QStringLiteral("CREATE INDEX answers_round ON answers(round_id)"),
            QStringLiteral("CREATE INDEX answers_time ON answers(time)"),
            QStringLiteral(
                "CREATE INDEX answers_shown ON answers(shown, answer_ms, correct, hinted)"
                " WHERE kind IS NULL"),
            QStringLiteral("CREATE INDEX answers_pair ON answers(shown, answer, correct, hinted)"
                           " WHERE kind IS NULL"),
            QStringLiteral("CREATE INDEX answers_exam ON answers(exam_code, shown, answer_ms,"
                           " correct, hinted, answer) WHERE kind IS NULL"),
            QStringLiteral("CREATE INDEX answers_exam_time ON answers(exam_code, time)"
                           " WHERE kind IS NULL"),
        };
    }
    case 3:
        // Exam answers name who gave them and which question of the exam they answer, so that
        // one class's files can be pooled into a gradebook.
        return {
            QStringLiteral("ALTER TABLE answers ADD COLUMN learner TEXT"),
            QStringLiteral("ALTER TABLE answers ADD COLUMN question INTEGER"),
        };
    case 4:
        // A worksheet's fields hang off its naming answer, one row each, so the answers table
        // and every query on it stay as they were.
        return {
            QStringLiteral("CREATE TABLE worksheet_fields ("
                           " answer_id INTEGER NOT NULL REFERENCES answers(id),"
                           " field TEXT NOT NULL,"
                           " learner_value TEXT,"
                           " true_value TEXT,"
                           " correct INTEGER NOT NULL,"
                           " PRIMARY KEY (answer_id, field))"),
            QStringLiteral(
                "CREATE INDEX worksheet_fields_field ON worksheet_fields(field, correct)"),
        };
    case 5:
        // 6秒モード: the limit an answer was due within, so that a late one is told from a
        // plain miss and fluency is read from the answers given against the clock.
        return {
            QStringLiteral("ALTER TABLE answers ADD COLUMN limit_ms INTEGER"),
            QStringLiteral("CREATE INDEX answers_fluency ON answers(shown, answer_ms)"
                           " WHERE kind IS NULL AND limit_ms IS NOT NULL AND correct = 1"
                           " AND hinted = 0"),
        };
    default:
        return {};
    }
}

} // namespace

ProgressSchema::Result ProgressSchema::migrate(QSqlDatabase& db) {
    Result result;
    QSqlQuery query(db);
    bool first = true;
    for (;;) {
        if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
            result.error = query.lastError();
            return result;
        }
        auto rollback = [&](const QSqlError& error) {
            result.error = error;
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            return result;
        };
        if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
            return rollback(query.lastError());
        }
        const int version = query.value(0).toInt();
        if (first) {
            result.foundVersion = version;
            first = false;
        }
        if (version > currentVersion) {
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            result.outcome = Outcome::tooNew;
            return result;
        }
        const QStringList statements = stepStatements(version);
        for (const QString& statement : statements) {
            if (!query.exec(statement)) {
                return rollback(query.lastError());
            }
        }
        // Rewriting the version even when nothing changed is the write that proves the file
        // can be written before any answer depends on it.
        const int next = statements.isEmpty() ? version : version + 1;
        if (!query.exec(QStringLiteral("PRAGMA user_version = %1").arg(next)) ||
            !query.exec(QStringLiteral("COMMIT"))) {
            return rollback(query.lastError());
        }
        if (next == currentVersion && statements.isEmpty()) {
            result.outcome = Outcome::upgraded;
            return result;
        }
    }
}

} // namespace pulsavo
