#pragma once

#include "ExamAnswer.h"
#include "ExamCode.h"
#include "ProgressTypes.h"
#include "Remediation.h"

#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace pulsavo {

// Why a file, or part of one, was left out of the grades.
struct GradebookNotice {
    enum class Kind {
        unreadable,  // missing, damaged or not a file of ours (detail says which)
        edited,      // a hand-in whose checksum no longer matches
        tooNew,      // written by a newer Pulsavo
        otherExam,   // answers of another exam (detail: its code)
        noAnswers,   // nothing for this exam
        duplicate,   // a learner already graded from an earlier file (detail: that file)
        retake,      // a learner answered some question again; the first answer counts
        foreignItem, // answers that match none of the exam's questions
    };
    // Why an unreadable file could not be read.
    enum class Unreadable {
        missing,
        cannotOpen, // detail: the system's reason
        damagedDatabase,
        olderDatabase, // opening it once in the practice window brings it up to date
        notDatabase,
        notOurs, // neither an answers database nor a hand-in
        tooLarge,
        damagedHandIn,
    };
    QString source;
    Kind kind = Kind::unreadable;
    QString learner;
    QString detail;
    Unreadable why = Unreadable::cannotOpen;
};

// A learner's answer to one question of the exam, as graded.
struct ItemResponse {
    std::optional<Rhythm> answer;
    bool correct = false;
    bool hinted = false;
    int answerMs = 0;
    // A hinted answer is reported but earns no credit.
    bool credited() const { return correct && !hinted; }
};

struct LearnerGrade {
    QString learner; // as first typed, or the file's name when none was recorded
    QString source;
    std::vector<std::optional<ItemResponse>> responses; // one per question, in exam order
    int answered = 0;
    int score = 0; // credited answers
    int hinted = 0;
    qint64 totalMs = 0;
    double percent = 0.0;       // score over every question of the exam
    std::optional<bool> passed; // none: the exam has no pass mark
};

struct ItemAnalysis {
    int number = 0; // from 1
    Rhythm rhythm = Rhythm::sinusRhythm;
    int answered = 0;
    int credited = 0;
    double shareCorrect = 0.0; // credited answers over every learner graded
    // Share credited in the top third by score minus the bottom third's; none under 3 learners.
    std::optional<double> discrimination;
    std::optional<Rhythm> commonestWrong;
    int commonestWrongCount = 0;
};

struct GradebookResult {
    std::vector<LearnerGrade> learners; // by learner name
    std::vector<ItemAnalysis> items;    // in exam order
    QList<ConfusedPair> confusions;     // most frequent first
    std::vector<GradebookNotice> notices;
    int passedCount() const;
    // The class's weakest rhythms by share credited over every learner graded, with the
    // rhythms they were taken for.
    Remediation remediation(int maxWeak) const;
};

// The class's grades for one exam, from answers collected file by file. Files are taken in the
// order given: a learner found again in a later file is counted once and reported.
class Gradebook {
public:
    explicit Gradebook(Exam exam);

    void add(const QString& source, const QList<ExamAnswer>& answers);
    // Reads one answers database or hand-in file; what cannot be counted becomes a notice
    // naming the file. Safe on any thread, one gradebook per thread.
    void addFile(const QString& path);
    void addNotice(const GradebookNotice& notice) { notices.push_back(notice); }
    GradebookResult result() const;
    const Exam& exam() const { return examTaken; }

    // Names compare without case and surrounding or repeated spaces.
    static QString learnerKey(const QString& learner);

private:
    std::optional<int> questionIndex(const ExamAnswer& answer) const;

    Exam examTaken;
    std::vector<LearnerGrade> graded;
    std::vector<GradebookNotice> notices;
};

} // namespace pulsavo
