#pragma once

#include <QSqlDatabase>
#include <QSqlError>

namespace pulsavo {

// The answers database's tables and their upgrades. The version lives in PRAGMA user_version;
// a fresh file goes through every step from version 0, so each step is exercised on every start.
class ProgressSchema {
public:
    static constexpr int currentVersion = 6;
    // Reports read files this old as they stand: the later steps only add columns they can do
    // without.
    static constexpr int oldestReadable = 3;

    enum class Outcome { upgraded, tooNew, failed };
    struct Result {
        Outcome outcome = Outcome::failed;
        int foundVersion = 0;
        QSqlError error;
    };

    // Upgrades in place, one transaction per step (taken with BEGIN IMMEDIATE, so two processes
    // opening the same new file do not both create it). Also proves the file writable.
    static Result migrate(QSqlDatabase& db);
};

} // namespace pulsavo
