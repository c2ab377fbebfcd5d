#pragma once

#include "ExamAnswer.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace pulsavo {

class ProgressStore;

// A learner's answers to one exam in a file of their own, to hand to the instructor: CSV with a
// header, UTF-8, CRLF, so that it can be read in any spreadsheet or text editor, closed by the
// SHA-256 of everything before it, so that an edited file is found rather than counted.
//
//   pulsavo_hand_in,1,PX-8J00-44JF
//   learner,question,shown,seed,answer,correct,hinted,answer_ms,time_utc
//   Sato,3,classic_4,1234,classic_5,0,0,5230,2024-03-10T16:00:00.000Z
//   sha256,<64 hexadecimal digits>
class HandIn {
public:
    static constexpr int formatVersion = 1;
    static constexpr const char* marker = "pulsavo_hand_in";

    enum class Problem { none, notHandIn, damaged, edited, tooNew };
    struct Contents {
        Problem problem = Problem::none;
        QString examCode;
        QList<ExamAnswer> answers;
    };

    static QByteArray write(const QString& examCode, const QList<ExamAnswer>& answers);
    static Contents read(const QByteArray& bytes);
    // Whether a file starting with `head` is meant to be a hand-in (it may still be damaged).
    static bool looksLike(const QByteArray& head);

    // The store's answers to the exam, written whole or not at all (QSaveFile). False when
    // the store has none or the file cannot be written.
    static bool save(const ProgressStore& store, const QString& examCode, const QString& fileName);
    // The file name offered for a learner's hand-in: the code and the learner, with every
    // character a file system may refuse or read as a folder replaced by "_".
    static QString suggestedName(const QString& examCode, const QString& learner);
};

} // namespace pulsavo
