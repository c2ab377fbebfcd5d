#include "HandIn.h"

#include "ProgressStore.h"
#include "RhythmLibrary.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>

namespace pulsavo {

namespace {

const QByteArray header = "learner,question,shown,seed,answer,correct,hinted,answer_ms,time_utc";
const QByteArray checksumField = "sha256";
constexpr int columnCount = 9;

QByteArray csvField(const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') ||
        bytes.contains('\n')) {
        bytes.replace("\"", "\"\"");
        return '"' + bytes + '"';
    }
    return bytes;
}

// RFC 4180 records; none when a quote is left open.
std::optional<QList<QStringList>> parseCsv(const QByteArray& bytes) {
    QList<QStringList> records;
    QStringList record;
    QByteArray field;
    bool quoted = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (quoted) {
            if (c == '"' && i + 1 < bytes.size() && bytes[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"' && field.isEmpty()) {
            quoted = true;
        } else if (c == ',') {
            record << QString::fromUtf8(field);
            field.clear();
        } else if (c == '\n') {
            if (field.endsWith('\r')) {
                field.chop(1);
            }
            record << QString::fromUtf8(field);
            records << record;
            record.clear();
            field.clear();
        } else {
            field += c;
        }
    }
    if (quoted) {
        return std::nullopt;
    }
    if (!field.isEmpty() || !record.isEmpty()) {
        record << QString::fromUtf8(field);
        records << record;
    }
    return records;
}

QString idText(Rhythm rhythm) {
    return QString::fromStdString(rhythmId(rhythm));
}

} // namespace

bool HandIn::looksLike(const QByteArray& head) {
    return head.startsWith(QByteArray(marker) + ',');
}

QByteArray HandIn::write(const QString& examCode, const QList<ExamAnswer>& answers) {
    QByteArray out = QByteArray(marker) + ',' + QByteArray::number(formatVersion) + ',' +
                     csvField(examCode) + "\r\n" + header + "\r\n";
    for (const ExamAnswer& answer : answers) {
        const QStringList fields{
            answer.learner,
            answer.question > 0 ? QString::number(answer.question) : QString(),
            idText(answer.shown),
            QString::number(answer.seed),
            answer.answer ? idText(*answer.answer) : QString(),
            answer.answer == answer.shown ? QStringLiteral("1") : QStringLiteral("0"),
            answer.hinted ? QStringLiteral("1") : QStringLiteral("0"),
            QString::number(answer.answerMs),
            answer.time,
        };
        for (qsizetype i = 0; i < fields.size(); ++i) {
            out += (i > 0 ? "," : "") + csvField(fields[i]);
        }
        out += "\r\n";
    }
    const QByteArray sum = QCryptographicHash::hash(out, QCryptographicHash::Sha256).toHex();
    return out + checksumField + ',' + sum + "\r\n";
}

HandIn::Contents HandIn::read(const QByteArray& bytes) {
    Contents contents;
    if (!looksLike(bytes)) {
        contents.problem = Problem::notHandIn;
        return contents;
    }
    // The version comes first: a newer format may close the file differently.
    const qsizetype firstEnd = bytes.indexOf('\n');
    const QList<QByteArray> first = bytes.left(firstEnd).trimmed().split(',');
    bool numeric = false;
    const int version = first.value(1).toInt(&numeric);
    if (!numeric || version < 1) {
        contents.problem = Problem::damaged;
        return contents;
    }
    if (version > formatVersion) {
        contents.problem = Problem::tooNew;
        return contents;
    }
    const QByteArray closing = "\r\n" + checksumField + ',';
    const qsizetype sumAt = bytes.lastIndexOf(closing);
    if (sumAt < 0 || bytes.mid(sumAt + closing.size()).trimmed().size() != 64) {
        contents.problem = Problem::damaged; // cut short, or the closing line removed
        return contents;
    }
    const QByteArray body = bytes.left(sumAt + 2);
    if (QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex() !=
        bytes.mid(sumAt + closing.size()).trimmed().toLower()) {
        contents.problem = Problem::edited;
        return contents;
    }
    const std::optional<QList<QStringList>> records = parseCsv(body);
    if (!records || records->size() < 2 || records->at(0).size() != 3 ||
        records->at(1).join(QLatin1Char(',')).toUtf8() != header) {
        contents.problem = Problem::damaged;
        return contents;
    }
    contents.examCode = records->at(0).at(2);
    // The checksum matched, so a row that does not read was written by something else.
    for (qsizetype r = 2; r < records->size(); ++r) {
        const QStringList& row = records->at(r);
        bool ok = row.size() == columnCount;
        ExamAnswer answer;
        answer.examCode = contents.examCode;
        if (ok) {
            answer.learner = row[0];
            bool numbered = true;
            answer.question = row[1].isEmpty() ? 0 : row[1].toInt(&numbered);
            const std::optional<Rhythm> shown = parseRhythmId(row[2].toStdString());
            bool seeded = false;
            answer.seed = row[3].toUInt(&seeded);
            if (!row[4].isEmpty()) {
                answer.answer = parseRhythmId(row[4].toStdString());
            }
            bool timed = false;
            answer.answerMs = row[7].toInt(&timed);
            answer.hinted = row[6] == QLatin1String("1");
            answer.time = row[8];
            ok = numbered && seeded && timed && shown && (row[4].isEmpty() || answer.answer);
            answer.shown = shown.value_or(Rhythm::sinusRhythm);
        }
        if (!ok) {
            contents.problem = Problem::damaged;
            contents.answers.clear();
            return contents;
        }
        contents.answers.push_back(answer);
    }
    return contents;
}

bool HandIn::save(const ProgressStore& store, const QString& examCode, const QString& fileName) {
    const std::optional<QList<ExamAnswer>> answers = store.examAnswers(examCode);
    if (!answers || answers->isEmpty()) {
        return false;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = write(examCode, *answers);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString HandIn::suggestedName(const QString& examCode, const QString& learner) {
    QString name = examCode;
    if (!learner.isEmpty()) {
        name += QLatin1Char('-') + learner;
    }
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]")),
                 QStringLiteral("_"));
    return name + QStringLiteral(".csv");
}

} // namespace pulsavo
