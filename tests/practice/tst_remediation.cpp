#include "Remediation.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>

using namespace pulsavo;

namespace {

Rhythm at(int index) {
    return *anyRhythmAt(index);
}

// "index:asked/credited ..." and "shown>answered:count ..."
std::vector<RhythmTally> tallies(const QString& text) {
    std::vector<RhythmTally> out;
    for (const QString& item : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(QRegularExpression(QStringLiteral("[:/]")));
        out.push_back({at(parts[0].toInt()), parts[1].toInt(), parts[2].toInt()});
    }
    return out;
}

std::vector<ConfusionTally> confusions(const QString& text) {
    std::vector<ConfusionTally> out;
    for (const QString& item : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(QRegularExpression(QStringLiteral("[>:]")));
        out.push_back({at(parts[0].toInt()), at(parts[1].toInt()), parts[2].toInt()});
    }
    return out;
}

QString indices(const std::vector<Rhythm>& rhythms) {
    QStringList out;
    for (const Rhythm rhythm : rhythms) {
        out << QString::number(indexOf(rhythm));
    }
    return out.join(QLatin1Char(' '));
}

} // namespace

class TestRemediation : public QObject {
    Q_OBJECT

private slots:
    void choice_data();
    void choice();
    void exam();
};

void TestRemediation::choice_data() {
    QTest::addColumn<QString>("tallies");
    QTest::addColumn<QString>("confusions");
    QTest::addColumn<int>("maxWeak");
    QTest::addColumn<QString>("weak");
    QTest::addColumn<QString>("contrast");
    QTest::newRow("lowest share first, capped") << "1:10/9 2:10/2 3:10/5 4:10/10"
                                                << "" << 2 << "2 3"
                                                << "";
    // Equal shares (1/2 = 5/10): the one asked more first, then index order.
    QTest::newRow("ties") << "7:2/1 5:10/5 6:10/5"
                          << "" << 3 << "5 6 7"
                          << "";
    QTest::newRow("all correct") << "1:10/10 2:4/4 3:0/0"
                                 << "1>2:0" << 5 << ""
                                 << "";
    QTest::newRow("commonest confusion as contrast, ties by index")
        << "2:10/4"
        << "2>9:3 2>8:3 2>1:1 5>6:9" << 3 << "2"
        << "8";
    QTest::newRow("contrast already weak or shared is not repeated")
        << "2:10/1 3:10/2 4:10/3"
        << "2>3:5 3>9:2 4>9:4" << 3 << "2 3 4"
        << "9";
}

void TestRemediation::choice() {
    QFETCH(QString, tallies);
    QFETCH(QString, confusions);
    QFETCH(int, maxWeak);
    const Remediation chosen =
        chooseRemediation(::tallies(tallies), ::confusions(confusions), maxWeak);
    QTEST(indices(chosen.weak), "weak");
    QTEST(indices(chosen.contrast), "contrast");
    QCOMPARE(chosen.empty(), chosen.rhythms().empty());
}

void TestRemediation::exam() {
    ExamSettings settings;
    settings.hints = false;
    settings.timeLimitMinutes = 15;
    settings.passPercent = 80;
    const Exam graded = makeExam(20, 77, RhythmSet::library(), settings).exam;
    // Fewer rhythms than questions: the two come up ten times each, taken as the graded exam.
    const Remediation remediation{{at(20)}, {at(21)}};
    const ExamResult made = remediationExam(graded, remediation, 20, 5);
    QVERIFY(made.ok());
    QCOMPARE(made.exam.settings, settings);
    QCOMPARE(made.exam.count, 20);
    QCOMPARE(made.exam.rhythms, remediation.rhythms());
    QCOMPARE(std::count_if(made.exam.questions.begin(), made.exam.questions.end(),
                           [](const Question& q) { return q.rhythm == at(20); }),
             10);
    QCOMPARE(parseExamCode(made.exam.code).exam.settings, settings);
    QCOMPARE(remediationExam(graded, {}, 20, 5).error, ExamCodeError::noRhythms);
}

QTEST_APPLESS_MAIN(TestRemediation)
#include "tst_remediation.moc"
