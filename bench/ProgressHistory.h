#pragma once

// A learner's year of answers for the progress benchmarks: 100,000 naming answers (or `size`)
// ending on `lastDay`, about 70 % right, one in ten from the exam `examCode` when one is given.
#include "ProgressStore.h"
#include "Rhythm.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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
// minutes. Without `keepIn` the file lives until the program ends. With it the file is kept in
// that folder under a name carrying its size, exam and last day, and a later run reuses it: a
// million answers take minutes to write. It is written under a temporary name and renamed once
// complete, so an interrupted fill is never taken for a whole one.
inline QString filledProgressDatabase(const QDate& lastDay, const QString& examCode,
                                      int size = historySize, const QString& keepIn = {}) {
    static QTemporaryDir temporary;
    QString file = temporary.filePath(QStringLiteral("history-%1.sqlite").arg(size));
    QString kept;
    if (!keepIn.isEmpty() && QDir().mkpath(keepIn)) {
        kept = QDir(keepIn).filePath(QStringLiteral("history-%1-%2%3.sqlite")
                                         .arg(size)
                                         .arg(lastDay.toString(Qt::ISODate), examCode));
        if (QFile::exists(kept)) {
            return kept;
        }
        file = kept + QStringLiteral(".part");
        QFile::remove(file);
    }
    QElapsedTimer filling;
    filling.start();
    bool whole = true;
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
                whole = false;
                break;
            }
        }
        whole = query.exec(QStringLiteral("COMMIT")) && whole;
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    std::fprintf(stderr, "filled %d answers in %.1f s\n", size,
                 static_cast<double>(filling.elapsed()) / 1000.0);
    if (whole && !kept.isEmpty() && QFile::rename(file, kept)) {
        return kept;
    }
    return file;
}

} // namespace pulsavo::bench
