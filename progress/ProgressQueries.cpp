#include "ProgressStore.h"

#include "ProgressSql.h"

#include <QHash>
#include <QIODevice>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <limits>
#include <string_view>
#include <tuple>

namespace pulsavo {

namespace {

// The WHERE clause every aggregate shares: naming answers only, optionally one exam's.
struct Where {
    QString clause;
    QVariantList values;
};

Where whereFor(const ProgressFilter& filter, const QString& extra = {}) {
    Where where{QStringLiteral(" WHERE kind IS NULL"), {}};
    if (!filter.examCode.isEmpty()) {
        where.clause += QStringLiteral(" AND exam_code = ?");
        where.values << filter.examCode;
    }
    if (!extra.isEmpty()) {
        where.clause += QStringLiteral(" AND ") + extra;
    }
    return where;
}

bool run(QSqlQuery& query, const QString& sql, const QVariantList& values) {
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        return false;
    }
    for (const QVariant& value : values) {
        query.addBindValue(value);
    }
    return query.exec();
}

// A stored rhythm id; none for NULL or for an id this release does not know.
std::optional<Rhythm> rhythmFrom(const QVariant& value) {
    return value.isNull() ? std::nullopt : parseRhythmId(value.toString().toStdString());
}

QString idText(Rhythm rhythm) {
    return QString::fromStdString(rhythmId(rhythm));
}

std::size_t at(Rhythm rhythm) {
    return static_cast<std::size_t>(indexOf(rhythm));
}

// The local calendar day (as QDate::toJulianDay counts) of a UTC minute since 1970. The zone's
// offset is looked up once per UTC day, and per quarter hour on a day it changes (offsets and
// their changes fall on quarter hours).
class LocalDays {
public:
    std::int32_t of(std::int64_t minute) {
        const std::int64_t utcDay = floorDiv(minute, minutesPerDay);
        if (utcDay != day) {
            day = utcDay;
            first = offsetAt(utcDay * minutesPerDay);
            last = offsetAt(utcDay * minutesPerDay + minutesPerDay - 1);
        }
        const std::int64_t offset = first == last ? first : offsetAt(minute - floorMod(minute, 15));
        return static_cast<std::int32_t>(floorDiv(minute + offset, minutesPerDay) + epochJulianDay);
    }

private:
    static constexpr std::int64_t minutesPerDay = 1440;
    static constexpr std::int64_t epochJulianDay = 2440588; // 1970-01-01
    static std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
        return a / b - (a % b < 0 ? 1 : 0);
    }
    static std::int64_t floorMod(std::int64_t a, std::int64_t b) { return a - floorDiv(a, b) * b; }
    static std::int64_t offsetAt(std::int64_t minute) {
        return QDateTime::fromSecsSinceEpoch(minute * 60, Qt::LocalTime).offsetFromUtc() / 60;
    }

    std::int64_t day = std::numeric_limits<std::int64_t>::min();
    std::int64_t first = 0;
    std::int64_t last = 0;
};

QDate effectiveToday(QDate today) {
    return today.isValid() ? today : QDate::currentDate();
}

// The UTC text at which a local calendar day begins, for range conditions on the time index.
QString localDayStart(QDate day) {
    return utcText(day.startOfDay(Qt::LocalTime));
}

// A cell a spreadsheet would run as a formula (=, +, -, @, tab or CR first) starts with an
// apostrophe, which spreadsheets show as text; numbers such as -40 stay numbers. Control
// characters other than tab and line breaks are written as \xHH: no cell carries a terminal
// escape sequence.
QByteArray csvField(const QString& value) {
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    const auto control = [](QChar c) {
        const char16_t code = c.unicode();
        return (code < 0x20 && code != '\t' && code != '\n' && code != '\r') || code == 0x7f;
    };
    QString text = value;
    if (std::any_of(value.begin(), value.end(), control)) {
        text.clear();
        for (const QChar c : value) {
            text += control(c) ? QStringLiteral("\\x%1").arg(static_cast<int>(c.unicode()), 2, 16,
                                                             QLatin1Char('0'))
                               : QString(c);
        }
    }
    QByteArray bytes = text.toUtf8();
    static constexpr std::string_view formulaStart = "=+-@\t\r";
    if (!bytes.isEmpty() && formulaStart.find(bytes.front()) != std::string_view::npos &&
        !number.match(value).hasMatch()) {
        bytes.prepend('\'');
    }
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') ||
        bytes.contains('\n')) {
        bytes.replace("\"", "\"\"");
        bytes.prepend('"');
        bytes.append('"');
    }
    return bytes;
}

} // namespace

RhythmStatsTable ProgressStore::rhythmStats(const ProgressFilter& filter) const {
    RhythmStatsTable table{};
    if (currentState == State::unavailable) {
        return table;
    }
    const Where where = whereFor(filter);
    QSqlQuery query(db);
    if (!run(query,
             QStringLiteral("SELECT shown, COUNT(*), SUM(correct), SUM(hinted) FROM answers%1"
                            " GROUP BY shown")
                 .arg(where.clause),
             where.values)) {
        return table;
    }
    while (query.next()) {
        const std::optional<Rhythm> shown = rhythmFrom(query.value(0));
        if (shown) {
            RhythmStats& stats = table[at(*shown)];
            stats.attempts = query.value(1).toInt();
            stats.correct = query.value(2).toInt();
            stats.hinted = query.value(3).toInt();
        }
    }
    for (int index = 0; index < totalRhythmCount; ++index) {
        RhythmStats& stats = table[at(*anyRhythmAt(index))];
        if (stats.attempts > 0) {
            stats.medianMs = medianMs(*anyRhythmAt(index), stats.attempts, filter);
        }
    }
    return table;
}

// Read straight off the (shown, answer_ms) index: skip to the middle and average the one or two
// entries found there.
std::optional<double> ProgressStore::medianMs(Rhythm rhythm, int attempts,
                                              const ProgressFilter& filter) const {
    if (currentState == State::unavailable || attempts <= 0) {
        return std::nullopt;
    }
    const Where ofRhythm = whereFor(filter, QStringLiteral("shown = ?"));
    QVariantList values = ofRhythm.values;
    values << idText(rhythm) << (attempts % 2 == 0 ? 2 : 1) << (attempts - 1) / 2;
    QSqlQuery median(db);
    if (!run(median,
             QStringLiteral("SELECT AVG(answer_ms) FROM (SELECT answer_ms FROM answers%1"
                            " ORDER BY answer_ms LIMIT ? OFFSET ?)")
                 .arg(ofRhythm.clause),
             values) ||
        !median.next() || median.value(0).isNull()) {
        return std::nullopt;
    }
    return median.value(0).toDouble();
}

ConfusionMatrix ProgressStore::confusion(const ProgressFilter& filter) const {
    ConfusionMatrix matrix{};
    if (currentState == State::unavailable) {
        return matrix;
    }
    const Where where = whereFor(filter, QStringLiteral("answer IS NOT NULL"));
    QSqlQuery query(db);
    if (!run(query,
             QStringLiteral("SELECT shown, answer, COUNT(*) FROM answers%1 GROUP BY shown, answer")
                 .arg(where.clause),
             where.values)) {
        return matrix;
    }
    while (query.next()) {
        const std::optional<Rhythm> shown = rhythmFrom(query.value(0));
        const std::optional<Rhythm> answered = rhythmFrom(query.value(1));
        if (shown && answered) {
            matrix[at(*shown)][at(*answered)] = query.value(2).toInt();
        }
    }
    return matrix;
}

QList<DayAccuracy> ProgressStore::accuracyByDay(int days, const ProgressFilter& filter,
                                                QDate today) const {
    today = effectiveToday(today);
    QList<DayAccuracy> result;
    if (days <= 0) {
        return result;
    }
    const QDate first = today.addDays(1 - days);
    for (QDate day = first; day <= today; day = day.addDays(1)) {
        result.append(DayAccuracy{day, 0, 0});
    }
    if (currentState == State::unavailable) {
        return result;
    }
    // Local days are bucketed by the UTC times at which they begin, computed here once per
    // day, so SQLite compares text on the time index instead of converting every row.
    Where where = whereFor(filter, QStringLiteral("time >= ? AND time < ?"));
    where.values << localDayStart(first) << localDayStart(today.addDays(1));
    QString bucket = QStringLiteral("CASE");
    QVariantList bounds;
    for (int i = 1; i < days; ++i) {
        bucket += QStringLiteral(" WHEN time < ? THEN %1").arg(i - 1);
        bounds << localDayStart(first.addDays(i));
    }
    bucket += QStringLiteral(" ELSE %1 END").arg(days - 1);
    QSqlQuery query(db);
    if (!run(query,
             QStringLiteral("SELECT %1 AS bucket, COUNT(*), SUM(correct) FROM answers%2"
                            " GROUP BY bucket")
                 .arg(bucket, where.clause),
             bounds + where.values)) {
        return result;
    }
    while (query.next()) {
        const int offset = query.value(0).toInt();
        if (offset >= 0 && offset < result.size()) {
            result[offset].attempts = query.value(1).toInt();
            result[offset].correct = query.value(2).toInt();
        }
    }
    return result;
}

int ProgressStore::streak(const ProgressFilter& filter, QDate today) const {
    today = effectiveToday(today);
    if (currentState == State::unavailable) {
        return 0;
    }
    // Day by day backwards, each day one seek on the time index.
    Where where = whereFor(filter, QStringLiteral("time >= ? AND time < ?"));
    const QString sql = QStringLiteral("SELECT EXISTS (SELECT 1 FROM answers%1)").arg(where.clause);
    QSqlQuery query(db);
    if (!query.prepare(sql)) {
        return 0;
    }
    auto answeredOn = [&](QDate day) {
        int i = 0;
        for (; i < where.values.size(); ++i) {
            query.bindValue(i, where.values[i]);
        }
        query.bindValue(i, localDayStart(day));
        query.bindValue(i + 1, localDayStart(day.addDays(1)));
        return query.exec() && query.next() && query.value(0).toInt() == 1;
    };
    QDate day = today;
    if (!answeredOn(day)) {
        day = day.addDays(-1);
    }
    int count = 0;
    for (; answeredOn(day); day = day.addDays(-1)) {
        ++count;
    }
    return count;
}

QList<ConfusedPair> ProgressStore::topConfusions(int count, const ProgressFilter& filter) const {
    QList<ConfusedPair> pairs;
    if (currentState == State::unavailable || count <= 0) {
        return pairs;
    }
    const Where where = whereFor(filter, QStringLiteral("answer IS NOT NULL AND answer <> shown"));
    QSqlQuery query(db);
    if (!run(query,
             QStringLiteral("SELECT shown, answer, COUNT(*) FROM answers%1 GROUP BY shown, answer")
                 .arg(where.clause),
             where.values)) {
        return pairs;
    }
    while (query.next()) {
        const std::optional<Rhythm> shown = rhythmFrom(query.value(0));
        const std::optional<Rhythm> answered = rhythmFrom(query.value(1));
        if (shown && answered) {
            pairs.append(ConfusedPair{*shown, *answered, query.value(2).toInt()});
        }
    }
    // Ids sort as text, not in rhythm order: ties are broken here instead.
    std::sort(pairs.begin(), pairs.end(), [](const ConfusedPair& a, const ConfusedPair& b) {
        return std::tuple(-a.count, indexOf(a.shown), indexOf(a.answered)) <
               std::tuple(-b.count, indexOf(b.shown), indexOf(b.answered));
    });
    if (pairs.size() > count) {
        pairs.resize(count);
    }
    return pairs;
}

std::optional<double> RhythmFluency::medianMs() const {
    if (timesMs.empty()) {
        return std::nullopt;
    }
    const std::size_t half = timesMs.size() / 2;
    return timesMs.size() % 2 == 1 ? timesMs[half] : (timesMs[half - 1] + timesMs[half]) / 2.0;
}

std::vector<Rhythm> reportedRhythms(const RhythmStatsTable& stats,
                                    const ConfusionMatrix* confusion) {
    std::vector<Rhythm> rhythms(allRhythms.begin(), allRhythms.end());
    for (const LibraryRhythm library : allLibraryRhythms) {
        const std::size_t index = at(rhythmOf(library));
        bool answered = stats[index].attempts > 0;
        for (std::size_t row = 0; confusion != nullptr && !answered && row < confusion->size();
             ++row) {
            answered = (*confusion)[row][index] > 0;
        }
        if (answered) {
            rhythms.push_back(rhythmOf(library));
        }
    }
    return rhythms;
}

ProgressSummary ProgressStore::summary(const ProgressFilter& filter, int days, QDate today) const {
    ProgressSummary result;
    result.rhythms = rhythmStats(filter);
    result.confusion = confusion(filter);
    result.days = accuracyByDay(days, filter, today);
    result.streak = streak(filter, today);
    result.topConfusions = topConfusions(5, filter);
    result.schedule = ReviewSchedule::fromAnswers(reviewHistory());
    result.worksheetFields = worksheetAccuracy(filter);
    result.fluency = fluency(filter);
    for (const RhythmStats& stats : result.rhythms) {
        result.attempts += stats.attempts;
        result.correct += stats.correct;
    }
    return result;
}

QStringList ProgressStore::examCodes() const {
    QStringList codes;
    QSqlQuery query(db);
    if (currentState == State::unavailable ||
        !run(query,
             QStringLiteral("SELECT DISTINCT exam_code FROM answers WHERE exam_code IS NOT NULL"
                            " ORDER BY exam_code"),
             {})) {
        return codes;
    }
    while (query.next()) {
        codes << query.value(0).toString();
    }
    return codes;
}

std::int64_t ProgressStore::lastAnswerId() const {
    QSqlQuery query(db);
    if (currentState == State::unavailable ||
        !run(query, QStringLiteral("SELECT MAX(id) FROM answers"), {}) || !query.next()) {
        return 0;
    }
    return query.value(0).toLongLong();
}

std::vector<ReviewAnswer> ProgressStore::reviewHistory(std::int64_t throughId) const {
    std::vector<ReviewAnswer> history;
    QSqlQuery query(db);
    // Minutes since 1970 in UTC: SQLite's 'localtime' on every row took 20 µs a row.
    if (currentState == State::unavailable ||
        !run(query,
             QStringLiteral("SELECT shown, answer, correct, hinted,"
                            " CAST((julianday(time) - 2440587.5) * 1440 AS INTEGER)"
                            " FROM answers WHERE kind IS NULL AND id <= ? ORDER BY time, id"),
             {QVariant::fromValue(static_cast<qlonglong>(throughId))})) {
        return history;
    }
    LocalDays days;
    // Ids read once each: parsing one took longer than the rest of a row.
    QHash<QString, std::optional<Rhythm>> known;
    const auto rhythmOfId = [&known](const QVariant& value) -> std::optional<Rhythm> {
        if (value.isNull()) {
            return std::nullopt;
        }
        const QString id = value.toString();
        const auto found = known.constFind(id);
        return found != known.constEnd() ? *found : *known.insert(id, rhythmFrom(value));
    };
    while (query.next()) {
        const std::optional<Rhythm> shown = rhythmOfId(query.value(0));
        if (!shown) {
            continue;
        }
        history.push_back({*shown, days.of(query.value(4).toLongLong()), query.value(2).toBool(),
                           query.value(3).toBool(), rhythmOfId(query.value(1))});
    }
    return history;
}

int ProgressStore::answerCount(const ProgressFilter& filter) const {
    const Where where = whereFor(filter);
    QSqlQuery query(db);
    if (currentState == State::unavailable ||
        !run(query, QStringLiteral("SELECT COUNT(*) FROM answers%1").arg(where.clause),
             where.values) ||
        !query.next()) {
        return 0;
    }
    return query.value(0).toInt();
}

int ProgressStore::measurementCount(const ProgressFilter& filter) const {
    QString sql = QStringLiteral("SELECT COUNT(*) FROM answers WHERE kind IS NOT NULL");
    QVariantList values;
    if (!filter.examCode.isEmpty()) {
        sql += QStringLiteral(" AND exam_code = ?");
        values << filter.examCode;
    }
    QSqlQuery query(db);
    if (currentState == State::unavailable || !run(query, sql, values) || !query.next()) {
        return 0;
    }
    return query.value(0).toInt();
}

QList<WorksheetFieldStats> ProgressStore::worksheetAccuracy(const ProgressFilter& filter) const {
    const Where where = whereFor(filter);
    QSqlQuery query(db);
    QList<WorksheetFieldStats> stats;
    // A file from before worksheets has no such table: no worksheet was ever answered in it.
    if (currentState == State::unavailable ||
        !run(query,
             QStringLiteral("SELECT field, COUNT(*), SUM(correct) FROM worksheet_fields"
                            " WHERE answer_id IN (SELECT id FROM answers%1) GROUP BY field")
                 .arg(where.clause),
             where.values)) {
        return stats;
    }
    while (query.next()) {
        stats.append({query.value(0).toString(), query.value(1).toInt(), query.value(2).toInt()});
    }
    return stats;
}

QList<RhythmFluency> ProgressStore::fluency(const ProgressFilter& filter) const {
    const Where where =
        whereFor(filter, QStringLiteral("limit_ms IS NOT NULL AND correct = 1 AND hinted = 0"));
    QSqlQuery query(db);
    QList<RhythmFluency> table;
    if (currentState == State::unavailable ||
        !run(query,
             QStringLiteral("SELECT shown, answer_ms FROM answers%1 ORDER BY shown, answer_ms")
                 .arg(where.clause),
             where.values)) {
        return table;
    }
    while (query.next()) {
        const std::optional<Rhythm> shown = parseRhythmId(query.value(0).toString().toStdString());
        if (!shown) {
            continue;
        }
        if (table.isEmpty() || table.constLast().rhythm != *shown) {
            table.append(RhythmFluency{*shown, {}});
        }
        table.last().timesMs.push_back(query.value(1).toInt());
    }
    // Ids sort as text; the window lists rhythms in index order.
    std::sort(table.begin(), table.end(), [](const RhythmFluency& a, const RhythmFluency& b) {
        return indexOf(a.rhythm) < indexOf(b.rhythm);
    });
    return table;
}

bool ProgressStore::exportCsv(QIODevice& device, const ProgressFilter& filter,
                              const RhythmNamer& nameOf) const {
    if (currentState == State::unavailable) {
        return false;
    }
    // Every row of the chosen exam, measurements included (the kind column tells them apart).
    QString clause;
    QVariantList values;
    if (!filter.examCode.isEmpty()) {
        clause = QStringLiteral(" WHERE a.exam_code = ?");
        values << filter.examCode;
    }
    QSqlQuery query(db);
    if (!run(query,
             QStringLiteral("SELECT a.id, a.time, a.round_id, r.mode, a.exam_code, a.shown,"
                            " a.answer, a.correct, a.hinted, a.answer_ms, a.seed, a.app_version,"
                            " a.kind, a.value_ms, a.error_ms"
                            " FROM answers a LEFT JOIN rounds r ON r.id = a.round_id%1"
                            " ORDER BY a.id")
                 .arg(clause),
             values)) {
        return false;
    }
    auto name = [&](const QVariant& value) {
        const std::optional<Rhythm> rhythm = rhythmFrom(value);
        return rhythm && nameOf ? nameOf(*rhythm) : QString();
    };
    auto field = [](const QVariant& value) {
        return value.isNull() ? QString() : value.toString();
    };
    QByteArray out = "answer_id,time_utc,round_id,mode,exam_code,shown,shown_name,answer,"
                     "answer_name,correct,hinted,answer_ms,seed,app_version,kind,value_ms,"
                     "error_ms\r\n";
    while (query.next()) {
        const QStringList fields = {
            field(query.value(0)),  field(query.value(1)),  field(query.value(2)),
            field(query.value(3)),  field(query.value(4)),  field(query.value(5)),
            name(query.value(5)),   field(query.value(6)),  name(query.value(6)),
            field(query.value(7)),  field(query.value(8)),  field(query.value(9)),
            field(query.value(10)), field(query.value(11)), field(query.value(12)),
            field(query.value(13)), field(query.value(14)),
        };
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0) {
                out += ',';
            }
            out += csvField(fields[i]);
        }
        out += "\r\n";
        if (out.size() > qsizetype{64} * 1024) {
            if (device.write(out) != out.size()) {
                return false;
            }
            out.clear();
        }
    }
    return device.write(out) == out.size();
}

bool ProgressStore::exportCsv(const QString& fileName, const ProgressFilter& filter,
                              const RhythmNamer& nameOf) const {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (!exportCsv(file, filter, nameOf)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace pulsavo
