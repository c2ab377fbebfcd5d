#pragma once

// A class sitting an exam, for the gradebook's tests: answers by pattern, kept in a real store.
#include "ExamAnswer.h"
#include "ExamCode.h"
#include "ProgressStore.h"

#include <QDateTime>

namespace pulsavo::testing {

// `learner` answers question k right when pattern[k] is 'R', hinted-right with 'H', with the
// next question's rhythm with 'W', and skips it with '-'; unnumbered, as before answers carried
// their question's number.
inline QList<ExamAnswer> sat(const Exam& exam, const QString& learner, const char* pattern,
                             bool numbered = true) {
    QList<ExamAnswer> answers;
    const std::size_t count = exam.questions.size();
    for (std::size_t k = 0; pattern[k] != '\0'; ++k) {
        const Question& question = exam.questions[k];
        if (pattern[k] == '-') {
            continue;
        }
        answers << ExamAnswer{QString::fromStdString(exam.code),
                              learner,
                              numbered ? int(k) + 1 : 0,
                              question.rhythm,
                              question.seed,
                              pattern[k] == 'W' ? exam.questions[(k + 1) % count].rhythm
                                                : question.rhythm,
                              pattern[k] == 'H',
                              1000,
                              QStringLiteral("2024-05-01T10:00:%1.000Z").arg(k, 2, 10, QChar('0'))};
    }
    return answers;
}

// The answers as the practice window records them; false when one is not saved.
inline bool keep(const QString& path, const QList<ExamAnswer>& answers) {
    ProgressStore store(path);
    for (const ExamAnswer& answer : answers) {
        AnswerRecord record;
        record.shown = answer.shown;
        record.seed = answer.seed;
        record.answer = answer.answer;
        record.hinted = answer.hinted;
        record.answerMs = answer.answerMs;
        record.examCode = answer.examCode;
        record.learner = answer.learner;
        record.question = answer.question;
        record.time = QDateTime::fromString(answer.time, Qt::ISODateWithMs);
        if (store.recordAnswer(record) <= 0) {
            return false;
        }
    }
    return true;
}

} // namespace pulsavo::testing
