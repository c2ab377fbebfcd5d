#include "ProgressStore.h"

#include "RhythmLibrary.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace pulsavo {

std::optional<QList<ExamAnswer>> ProgressStore::examAnswers(const QString& examCode) const {
    if (currentState == State::unavailable) {
        return std::nullopt;
    }
    // Files from before answers named their learner and question read as not recording them.
    const bool tagged = schemaVersion() >= 4;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("SELECT exam_code, %1, shown, seed, answer, hinted,"
                                      " answer_ms, time FROM answers"
                                      " WHERE kind IS NULL AND exam_code = ? ORDER BY id")
                           .arg(tagged ? QStringLiteral("learner, question")
                                       : QStringLiteral("NULL, NULL")))) {
        return std::nullopt;
    }
    query.addBindValue(examCode);
    if (!query.exec()) {
        return std::nullopt;
    }
    QList<ExamAnswer> answers;
    while (query.next()) {
        const std::optional<Rhythm> shown = parseRhythmId(query.value(3).toString().toStdString());
        if (!shown) {
            continue; // a rhythm this release does not know cannot be graded
        }
        ExamAnswer answer;
        answer.examCode = query.value(0).toString();
        answer.learner = query.value(1).toString();
        answer.question = query.value(2).toInt();
        answer.shown = *shown;
        answer.seed = static_cast<std::uint32_t>(query.value(4).toLongLong());
        if (!query.value(5).isNull()) {
            answer.answer = parseRhythmId(query.value(5).toString().toStdString());
        }
        answer.hinted = query.value(6).toInt() != 0;
        answer.answerMs = query.value(7).toInt();
        answer.time = query.value(8).toString();
        answers.push_back(answer);
    }
    if (query.lastError().isValid()) {
        return std::nullopt;
    }
    return answers;
}

} // namespace pulsavo
