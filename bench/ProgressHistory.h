#pragma once

// A learner's year of answers for the progress benchmarks: 100,000 naming answers (or `size`)
// ending on `lastDay`, about 70 % right, one in ten from the exam `examCode` when one is given.
#include "ProgressStore.h"
#include "Rhythm.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <cstdio>
#include <random>

namespace pulsavo::bench {

inline constexpr int historySize = 100000;

// Written in one transaction through a connection of its own: a commit per row would take
// minutes. The file lives until the program ends.
inline QString filledProgressDatabase(const QDate& lastDay, const QString& examCode,
                                      int size = historySize) {
    static QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("history-%1.sqlite").arg(size));
    { ProgressStore create(file); }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "fill");
        db.setDatabaseName(file);
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("BEGIN"));
        query.prepare(QStringLiteral(
            "INSERT INTO answers (time, round_id, shown, seed, answer, correct, hinted,"
            " answer_ms, app_version, exam_code) VALUES (?, NULL, ?, ?, ?, ?, ?, ?, ?, ?)"));
        std::mt19937 random(42);
        std::uniform_int_distribution<int> rhythm(0, rhythmCount - 1);
        std::uniform_int_distribution<int> day(0, 364);
        std::uniform_int_distribution<int> ms(800, 15000);
        std::uniform_int_distribution<int> percent(0, 99);
        const QDateTime start = lastDay.addDays(-364).startOfDay(Qt::UTC);
        for (int i = 0; i < size; ++i) {
            const int shown = rhythm(random);
            const int answer = percent(random) < 70 ? shown : rhythm(random);
            const QDateTime time = start.addDays(day(random)).addSecs(i % 86400);
            query.addBindValue(time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ")));
            query.addBindValue(shown);
            query.addBindValue(i);
            query.addBindValue(answer);
            query.addBindValue(answer == shown ? 1 : 0);
            query.addBindValue(percent(random) < 10 ? 1 : 0);
            query.addBindValue(ms(random));
            query.addBindValue(QStringLiteral("bench"));
            query.addBindValue(!examCode.isEmpty() && i % 10 == 0 ? QVariant(examCode)
                                                                  : QVariant());
            if (!query.exec()) {
                std::fprintf(stderr, "fill: %s\n", qPrintable(query.lastError().text()));
                break;
            }
        }
        query.exec(QStringLiteral("COMMIT"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return file;
}

} // namespace pulsavo::bench
