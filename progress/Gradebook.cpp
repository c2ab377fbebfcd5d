#include "Gradebook.h"

#include "HandIn.h"
#include "ProgressStore.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <map>
#include <utility>

namespace pulsavo {

namespace {

// Hand-ins are a few kilobytes; anything far larger is not one.
constexpr qint64 largestHandIn = qint64{16} * 1024 * 1024;

} // namespace

int GradebookResult::passedCount() const {
    return static_cast<int>(std::count_if(learners.begin(), learners.end(),
                                          [](const auto& l) { return l.passed.value_or(false); }));
}

Remediation GradebookResult::remediation(int maxWeak) const {
    std::vector<RhythmTally> tallies;
    for (const ItemAnalysis& item : items) {
        auto tally = std::find_if(tallies.begin(), tallies.end(),
                                  [&](const RhythmTally& t) { return t.rhythm == item.rhythm; });
        if (tally == tallies.end()) {
            tally = tallies.insert(tallies.end(), {item.rhythm, 0, 0});
        }
        const int graded = static_cast<int>(learners.size());
        tally->asked += graded;
        tally->credited += item.credited;
    }
    std::vector<ConfusionTally> pairs;
    for (const ConfusedPair& pair : confusions) {
        pairs.push_back({pair.shown, pair.answered, pair.count});
    }
    return chooseRemediation(tallies, pairs, maxWeak);
}

Gradebook::Gradebook(Exam exam) : examTaken(std::move(exam)) {}

QString Gradebook::learnerKey(const QString& learner) {
    return learner.simplified().toCaseFolded();
}

std::optional<int> Gradebook::questionIndex(const ExamAnswer& answer) const {
    const auto matches = [&](int index) {
        const Question& question = examTaken.questions[static_cast<std::size_t>(index)];
        return question.rhythm == answer.shown && question.seed == answer.seed;
    };
    const int count = static_cast<int>(examTaken.questions.size());
    if (answer.question > 0) {
        return answer.question <= count && matches(answer.question - 1)
                   ? std::optional<int>(answer.question - 1)
                   : std::nullopt;
    }
    // Answers saved before they carried their number are found by their rhythm and seed.
    for (int index = 0; index < count; ++index) {
        if (matches(index)) {
            return index;
        }
    }
    return std::nullopt;
}

void Gradebook::add(const QString& source, const QList<ExamAnswer>& answers) {
    const QString code = QString::fromStdString(examTaken.code);
    const QString fallback = QFileInfo(source).completeBaseName();
    QHash<QString, int> earlier;
    for (int i = 0; i < static_cast<int>(graded.size()); ++i) {
        earlier.insert(learnerKey(graded[static_cast<std::size_t>(i)].learner), i);
    }
    // A retake counts from its first answer to each question: earliest first.
    QList<ExamAnswer> ordered = answers;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const ExamAnswer& a, const ExamAnswer& b) { return a.time < b.time; });

    std::vector<LearnerGrade> here;
    QHash<QString, std::size_t> hereIndex;
    QSet<QString> duplicates;
    QSet<QString> retakes;
    QString otherCode;
    int foreignItems = 0;
    bool anyOfThisExam = false;
    for (const ExamAnswer& answer : ordered) {
        if (answer.examCode != code) {
            otherCode = answer.examCode;
            continue;
        }
        anyOfThisExam = true;
        const QString name =
            answer.learner.simplified().isEmpty() ? fallback : answer.learner.simplified();
        const QString key = learnerKey(name);
        if (earlier.contains(key)) {
            if (!duplicates.contains(key)) {
                duplicates.insert(key);
                notices.push_back({source, GradebookNotice::Kind::duplicate, name,
                                   graded[static_cast<std::size_t>(earlier.value(key))].source});
            }
            continue;
        }
        const std::optional<int> index = questionIndex(answer);
        if (!index) {
            ++foreignItems;
            continue;
        }
        if (!hereIndex.contains(key)) {
            hereIndex.insert(key, here.size());
            LearnerGrade grade;
            grade.learner = name;
            grade.source = source;
            grade.responses.resize(examTaken.questions.size());
            here.push_back(std::move(grade));
        }
        std::optional<ItemResponse>& slot =
            here[hereIndex.value(key)].responses[static_cast<std::size_t>(*index)];
        if (slot) {
            if (!retakes.contains(key)) {
                retakes.insert(key);
                notices.push_back({source, GradebookNotice::Kind::retake, name, {}});
            }
            continue;
        }
        slot = ItemResponse{answer.answer, answer.answer == answer.shown, answer.hinted,
                            answer.answerMs};
    }
    if (!otherCode.isEmpty()) {
        notices.push_back({source, GradebookNotice::Kind::otherExam, {}, otherCode});
    }
    if (foreignItems > 0) {
        notices.push_back(
            {source, GradebookNotice::Kind::foreignItem, {}, QString::number(foreignItems)});
    }
    if (!anyOfThisExam && otherCode.isEmpty()) {
        notices.push_back({source, GradebookNotice::Kind::noAnswers, {}, {}});
    }
    for (LearnerGrade& grade : here) {
        graded.push_back(std::move(grade));
    }
}

void Gradebook::addFile(const QString& source) {
    using Why = GradebookNotice::Unreadable;
    const auto unreadable = [&](Why why, const QString& detail = {}) {
        notices.push_back({source, GradebookNotice::Kind::unreadable, {}, detail, why});
    };
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.exists()) {
            unreadable(Why::cannotOpen, file.errorString());
        } else {
            unreadable(Why::missing);
        }
        return;
    }
    const QByteArray head = file.peek(16);
    if (head.startsWith(QByteArrayLiteral("SQLite format 3"))) {
        file.close();
        const ProgressStore store(ProgressStore::ReadOnly::tag, QFile::encodeName(source));
        using Problem = ProgressStore::ReadProblem;
        switch (store.readProblem()) {
        case Problem::none:
            break;
        case Problem::tooNew:
            notices.push_back({source, GradebookNotice::Kind::tooNew, {}, {}});
            return;
        case Problem::damaged:
            unreadable(Why::damagedDatabase);
            return;
        case Problem::tooOld:
            unreadable(Why::olderDatabase);
            return;
        case Problem::notAnswers:
        case Problem::missing:
        case Problem::unreadable:
            unreadable(Why::notDatabase);
            return;
        }
        const std::optional<QList<ExamAnswer>> answers =
            store.examAnswers(QString::fromStdString(examTaken.code));
        if (!answers) {
            unreadable(Why::damagedDatabase);
            return;
        }
        add(source, *answers);
        return;
    }
    if (!HandIn::looksLike(head)) {
        unreadable(Why::notOurs);
        return;
    }
    if (file.size() > largestHandIn) {
        unreadable(Why::tooLarge);
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        unreadable(Why::cannotOpen, file.errorString());
        return;
    }
    const HandIn::Contents contents = HandIn::read(bytes);
    switch (contents.problem) {
    case HandIn::Problem::none:
        add(source, contents.answers);
        return;
    case HandIn::Problem::edited:
        notices.push_back({source, GradebookNotice::Kind::edited, {}, {}});
        return;
    case HandIn::Problem::tooNew:
        notices.push_back({source, GradebookNotice::Kind::tooNew, {}, {}});
        return;
    case HandIn::Problem::notHandIn:
    case HandIn::Problem::damaged:
        unreadable(Why::damagedHandIn);
        return;
    }
}

GradebookResult Gradebook::result() const {
    GradebookResult out;
    out.notices = notices;
    out.learners = graded;
    const int count = static_cast<int>(examTaken.questions.size());
    const int pass = examTaken.settings.passPercent;
    for (LearnerGrade& grade : out.learners) {
        for (const std::optional<ItemResponse>& response : grade.responses) {
            if (response) {
                ++grade.answered;
                grade.score += response->credited() ? 1 : 0;
                grade.hinted += response->hinted ? 1 : 0;
                grade.totalMs += response->answerMs;
            }
        }
        grade.percent = count > 0 ? 100.0 * grade.score / count : 0.0;
        if (pass > 0) {
            grade.passed = grade.score * 100 >= pass * count;
        }
    }
    std::stable_sort(out.learners.begin(), out.learners.end(), [](const auto& a, const auto& b) {
        return learnerKey(a.learner) < learnerKey(b.learner);
    });

    // Thirds by score, ties broken by name so that the same class always splits alike.
    std::vector<std::size_t> ranked(out.learners.size());
    for (std::size_t i = 0; i < ranked.size(); ++i) {
        ranked[i] = i;
    }
    std::stable_sort(ranked.begin(), ranked.end(), [&](std::size_t a, std::size_t b) {
        return out.learners[a].score > out.learners[b].score;
    });
    const std::size_t third = ranked.size() / 3;

    std::map<std::pair<int, int>, int> pairs;
    for (int q = 0; q < count; ++q) {
        const auto slot = static_cast<std::size_t>(q);
        ItemAnalysis item;
        item.number = q + 1;
        item.rhythm = examTaken.questions[slot].rhythm;
        int& credited = item.credited;
        std::map<int, int> wrong;
        for (const LearnerGrade& grade : out.learners) {
            const std::optional<ItemResponse>& response = grade.responses[slot];
            if (!response) {
                continue;
            }
            ++item.answered;
            credited += response->credited() ? 1 : 0;
            if (response->answer && *response->answer != item.rhythm) {
                ++wrong[indexOf(*response->answer)];
                ++pairs[{indexOf(item.rhythm), indexOf(*response->answer)}];
            }
        }
        item.shareCorrect = out.learners.empty() ? 0.0 : double(credited) / out.learners.size();
        if (third > 0) {
            const auto share = [&](std::size_t from) {
                int right = 0;
                for (std::size_t i = from; i < from + third; ++i) {
                    const auto& response = out.learners[ranked[i]].responses[slot];
                    right += response && response->credited() ? 1 : 0;
                }
                return double(right) / double(third);
            };
            item.discrimination = share(0) - share(ranked.size() - third);
        }
        for (const auto& [rhythm, times] : wrong) {
            if (times > item.commonestWrongCount) {
                item.commonestWrong = anyRhythmAt(rhythm);
                item.commonestWrongCount = times;
            }
        }
        out.items.push_back(item);
    }
    for (const auto& [pair, times] : pairs) {
        out.confusions.push_back({*anyRhythmAt(pair.first), *anyRhythmAt(pair.second), times});
    }
    std::stable_sort(out.confusions.begin(), out.confusions.end(),
                     [](const auto& a, const auto& b) { return a.count > b.count; });
    return out;
}

} // namespace pulsavo
