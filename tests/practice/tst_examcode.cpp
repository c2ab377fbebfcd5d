#include "ExamCode.h"
#include "SeededRandom.h"

#include <QFile>
#include <QTest>

#include <algorithm>
#include <numeric>
#include <set>

using namespace pulsavo;

Q_DECLARE_METATYPE(pulsavo::ExamCodeError)
Q_DECLARE_METATYPE(pulsavo::ExamSettings)

namespace {

constexpr std::string_view symbols = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";

RhythmSet setOf(const char* list) {
    return parseRhythmList(list).rhythms;
}

// Codes of every length over a spread of counts, seeds and rhythm sets.
std::vector<std::string> sampleCodes() {
    std::vector<std::string> codes;
    for (std::uint32_t i = 0; i < 48; ++i) {
        // Classic 18, classic subsets (short codes) and any subset of every rhythm (long ones).
        const RhythmSet rhythms = i % 3 == 0 ? RhythmSet::classic()
                                  : i % 3 == 1
                                      ? RhythmSet::fromClassicBits(0x9E3779B9U * (i + 1))
                                      : RhythmSet::fromWords(0x9E3779B97F4A7C15ULL * (i + 1), i);
        // Every fourth with settings: the codes four characters longer.
        ExamSettings settings;
        settings.passPercent = i % 4 == 3 ? static_cast<int>(i) : 0;
        codes.push_back(makeExam(1 + static_cast<int>(i * 37 % 128), i * 2796203U % Exam::maxSeed,
                                 rhythms.empty() ? RhythmSet::classic() : rhythms, settings)
                            .exam.code);
    }
    return codes;
}

// The code's characters without "PX" and dashes.
std::string body(const std::string& code) {
    std::string text;
    for (const char c : code.substr(2)) {
        if (c != '-') {
            text += c;
        }
    }
    return text;
}

} // namespace

class ExamCodeTest : public QObject {
    Q_OBJECT

private slots:
    void frozenCodes_data();
    void frozenCodes();
    void roundTrip_data();
    void roundTrip();
    void libraryCodesKeepTheirRhythms_data();
    void libraryCodesKeepTheirRhythms();
    void typedForms_data();
    void typedForms();
    void sameCodeSameQuestions();
    void evenAndShuffled_data();
    void evenAndShuffled();
    void everySubstitutionRejected();
    void everyTranspositionRejected();
    void newerVersionRejected();
    void badCodes_data();
    void badCodes();
    void badExams_data();
    void badExams();
    void rhythmList_data();
    void rhythmList();
    void rhythmListNames_data();
    void rhythmListNames();
    void rhythmListFormat();
    void savedPracticeChoice_data();
    void savedPracticeChoice();
    void settingsTravelWithTheCode_data();
    void settingsTravelWithTheCode();
    void eachLearnerHasAnOrder();
};

void ExamCodeTest::frozenCodes_data() {
    QTest::addColumn<QString>("line");
    QFile file(QStringLiteral(EXAM_CODES_V1));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    while (!file.atEnd()) {
        const QString line = QString::fromLatin1(file.readLine()).trimmed();
        if (!line.isEmpty() && !line.startsWith('#')) {
            QTest::newRow(qPrintable(line.section(' ', 0, 0))) << line;
        }
    }
}

// Codes handed out before the library still name the same questions, and the same exam still
// gets the same code.
void ExamCodeTest::frozenCodes() {
    QFETCH(QString, line);
    const QStringList fields = line.split(' ');
    QCOMPARE(fields.size(), 5);
    const ExamResult read = parseExamCode(fields[0].toStdString());
    QVERIFY2(read.ok(), read.message.c_str());
    QCOMPARE(read.exam.count, fields[1].toInt());
    QCOMPARE(read.exam.seed, fields[2].toUInt());
    QCOMPARE(read.exam.rhythms, RhythmSet::fromClassicBits(fields[3].toUInt(nullptr, 16)));
    QStringList questions;
    for (const Question& question : read.exam.questions) {
        questions << QStringLiteral("%1:%2").arg(indexOf(question.rhythm)).arg(question.seed);
    }
    QCOMPARE(questions.join(',') + ',', fields[4]);
    QCOMPARE(makeExam(read.exam.count, read.exam.seed, read.exam.rhythms).exam.code,
             fields[0].toStdString());
}

void ExamCodeTest::roundTrip_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<uint>("seed");
    QTest::addColumn<QString>("rhythms");
    QTest::addColumn<int>("length"); // characters of the canonical code
    QTest::newRow("one question") << 1 << 0U << "0-17" << 12;
    QTest::newRow("ten") << 10 << 12345U << "0-17" << 12;
    QTest::newRow("largest") << Exam::maxCount << Exam::maxSeed << "0-17" << 12;
    QTest::newRow("subset") << 36 << 777U << "0,4,5,10-11" << 17;
    QTest::newRow("one rhythm") << 5 << 1U << "17" << 17;
    QTest::newRow("all but one") << 128 << Exam::maxSeed << "1-17" << 17;
    QTest::newRow("library") << 10 << 5U << "library" << 30;
    QTest::newRow("one family") << 128 << Exam::maxSeed << "av_block" << 30;
    QTest::newRow("every rhythm") << 1 << 0U << "0-17,library" << 30;
    QTest::newRow("library ids") << 36 << 777U << "sinus_bradycardia,mobitz_1" << 30;
    QTest::newRow("classic and library ids") << 128 << Exam::maxSeed << "0,17,mobitz_1" << 30;
    QTest::newRow("every rhythm but one") << 64 << 3U << "0-16,library" << 30;
    QTest::newRow("rhythms added to the library") << 20 << 9U << "pea,vt_pulseless,asystole" << 30;
}

void ExamCodeTest::roundTrip() {
    QFETCH(int, count);
    QFETCH(uint, seed);
    QFETCH(QString, rhythms);
    QFETCH(int, length);
    const ExamResult made = makeExam(count, seed, setOf(rhythms.toLatin1().constData()));
    QVERIFY2(made.ok(), made.message.c_str());
    QCOMPARE(static_cast<int>(made.exam.code.size()), length);
    QVERIFY(made.exam.code.starts_with("PX-"));
    QCOMPARE(static_cast<int>(made.exam.questions.size()), count);
    const ExamResult read = parseExamCode(made.exam.code);
    QVERIFY2(read.ok(), read.message.c_str());
    QCOMPARE(read.exam.code, made.exam.code);
    QCOMPARE(read.exam.count, count);
    QCOMPARE(read.exam.seed, seed);
    QVERIFY(read.exam.rhythms == made.exam.rhythms);
    QVERIFY(read.exam.questions == made.exam.questions);
}

void ExamCodeTest::libraryCodesKeepTheirRhythms_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("rhythms");
    QTest::addColumn<int>("count");
    QTest::addColumn<uint>("seed");
    QTest::newRow("library") << "PX-GKZZ-ZZZZ-ZZZW-0000-0114-GE"
                             << "library" << 10 << 4242U;
    QTest::newRow("family and classic") << "PX-H7G1-ZG00-0000-0040-000K-8X"
                                        << "ventricular,3" << 20 << 77U;
}

// Codes given out before pea and vt_pulseless joined the library read as they did: the rhythms
// then in the set, the same questions, and the same exam still gets the same code.
void ExamCodeTest::libraryCodesKeepTheirRhythms() {
    QFETCH(QString, code);
    QFETCH(QString, rhythms);
    QFETCH(int, count);
    QFETCH(uint, seed);
    RhythmSet before = setOf(rhythms.toLatin1().constData());
    before.erase(rhythmOf(LibraryRhythm::pea));
    before.erase(rhythmOf(LibraryRhythm::vtPulseless));
    const ExamResult read = parseExamCode(code.toStdString());
    QVERIFY2(read.ok(), read.message.c_str());
    QVERIFY(read.exam.rhythms == before);
    QCOMPARE(read.exam.count, count);
    QCOMPARE(read.exam.seed, seed);
    const ExamResult made = makeExam(count, seed, before);
    QCOMPARE(made.exam.code, code.toStdString());
    QVERIFY(made.exam.questions == read.exam.questions);
}

void ExamCodeTest::typedForms_data() {
    QTest::addColumn<QString>("typed");
    const std::string code = makeExam(20, 4242, setOf("2-9")).exam.code;
    const QString canonical = QString::fromStdString(code);
    QTest::newRow("as printed") << canonical;
    QTest::newRow("lower case") << canonical.toLower();
    QTest::newRow("no dashes") << canonical.toLower().remove('-');
    QTest::newRow("no prefix") << canonical.mid(3);
    QTest::newRow("extra dashes and spaces")
        << " px--" + canonical.mid(3).replace("-", " - ") + "- ";
    QTest::newRow("O for 0, I and L for 1") << QString(canonical)
                                                   .replace(QChar(0x30), QChar(0x4F))
                                                   .replace(QChar(0x31), QChar(0x49))
                                                   .toLower()
                                                   .replace(QChar(0x69), QChar(0x6C));
}

void ExamCodeTest::typedForms() {
    QFETCH(QString, typed);
    const ExamResult expected = makeExam(20, 4242, setOf("2-9"));
    const ExamResult read = parseExamCode(typed.toStdString());
    QVERIFY2(read.ok(), read.message.c_str());
    QCOMPARE(read.exam.code, expected.exam.code);
    QVERIFY(read.exam.questions == expected.exam.questions);
}

// A code is a promise kept across versions and platforms: these questions are frozen.
void ExamCodeTest::sameCodeSameQuestions() {
    const ExamResult made = makeExam(6, 20240611, RhythmSet::classic());
    QCOMPARE(made.exam.code, std::string("PX-8AK9-P73D"));
    const std::vector<Question> expected{
        {Rhythm::supraventricularPremature, 0xA62F8611U},
        {Rhythm::multifocalPvc, 0x6A8331A3U},
        {Rhythm::junctionalTachycardia, 0x371B4209U},
        {Rhythm::mobitzBlock, 0xE579A1C0U},
        {Rhythm::shortRun, 0x78C9303EU},
        {Rhythm::firstDegreeBlock, 0x57673FD7U},
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QCOMPARE(indexOf(made.exam.questions[i].rhythm), indexOf(expected[i].rhythm));
        QCOMPARE(made.exam.questions[i].seed, expected[i].seed);
    }
}

void ExamCodeTest::evenAndShuffled_data() {
    QTest::addColumn<QString>("rhythms");
    QTest::addColumn<int>("count");
    QTest::newRow("18 rhythms, 10") << "0-17" << 10;
    QTest::newRow("18 rhythms, 36") << "0-17" << 36;
    QTest::newRow("18 rhythms, 128") << "0-17" << 128;
    QTest::newRow("5 rhythms, 23") << "0,3,6,9,12" << 23;
    QTest::newRow("3 rhythms, 40") << "4-6" << 40;
    QTest::newRow("2 rhythms, 7") << "4-5" << 7;
    QTest::newRow("2 rhythms, 128") << "10-11" << 128;
    QTest::newRow("1 rhythm, 4") << "8" << 4;
    QTest::newRow("library, 128") << "library" << 128;
    QTest::newRow("3 library rhythms, 40") << "pac,mobitz_1,vf_fine" << 40;
}

// Every rhythm gets its share within one, no rhythm outside the set, no rhythm three times in
// a row, and seeds give different orders.
void ExamCodeTest::evenAndShuffled() {
    QFETCH(QString, rhythms);
    QFETCH(int, count);
    const RhythmSet set = setOf(rhythms.toLatin1().constData());
    std::set<std::vector<int>> orders;
    for (std::uint32_t seed = 0; seed < 100; ++seed) {
        const ExamResult made = makeExam(count, seed * 65537U, set);
        QVERIFY(made.ok());
        std::array<int, totalRhythmCount> counts{};
        std::vector<int> order;
        int run = 0;
        for (std::size_t i = 0; i < made.exam.questions.size(); ++i) {
            const Rhythm rhythm = made.exam.questions[i].rhythm;
            QVERIFY(set.contains(rhythm));
            ++counts[static_cast<std::size_t>(indexOf(rhythm))];
            order.push_back(indexOf(rhythm));
            run = i > 0 && made.exam.questions[i - 1].rhythm == rhythm ? run + 1 : 1;
            QVERIFY2(run <= 2 || set.size() == 1, qPrintable(QString("seed %1").arg(seed)));
        }
        int fewest = count;
        int most = 0;
        for (const Rhythm rhythm : set.list()) {
            fewest = std::min(fewest, counts[static_cast<std::size_t>(indexOf(rhythm))]);
            most = std::max(most, counts[static_cast<std::size_t>(indexOf(rhythm))]);
        }
        QVERIFY(most - fewest <= 1);
        orders.insert(order);
    }
    QVERIFY(set.size() == 1 ||
            orders.size() > std::min<std::size_t>(50, static_cast<std::size_t>(count)));
}

void ExamCodeTest::everySubstitutionRejected() {
    for (const std::string& code : sampleCodes()) {
        const std::string text = body(code);
        for (std::size_t i = 0; i < text.size(); ++i) {
            for (const char symbol : symbols) {
                if (symbol == text[i]) {
                    continue;
                }
                std::string typed = text;
                typed[i] = symbol;
                const ExamResult read = parseExamCode(typed);
                QVERIFY2(read.error == ExamCodeError::checkFailed,
                         qPrintable(QString::fromStdString(code) + " -> " +
                                    QString::fromStdString(typed)));
            }
        }
    }
}

void ExamCodeTest::everyTranspositionRejected() {
    for (const std::string& code : sampleCodes()) {
        const std::string text = body(code);
        for (std::size_t i = 0; i + 1 < text.size(); ++i) {
            if (text[i] == text[i + 1]) {
                continue;
            }
            std::string typed = text;
            std::swap(typed[i], typed[i + 1]);
            QCOMPARE(parseExamCode(typed).error, ExamCodeError::checkFailed);
        }
    }
}

// A code whose version field is not ours, with a check character that fits: of the 32 possible
// last characters exactly one passes the check, and that code is refused by version.
void ExamCodeTest::newerVersionRejected() {
    for (const std::string& code :
         {makeExam(10, 5).exam.code, makeExam(10, 5, setOf("1-3")).exam.code,
          makeExam(10, 5, setOf("library")).exam.code, makeExam(10, 5, setOf("1,pac")).exam.code}) {
        std::string text = body(code);
        text[0] = 'Z';
        int passing = 0;
        for (const char symbol : symbols) {
            text.back() = symbol;
            const ExamResult read = parseExamCode(text);
            if (read.error != ExamCodeError::checkFailed) {
                ++passing;
                QCOMPARE(read.error, ExamCodeError::unknownVersion);
                QCOMPARE(read.message,
                         std::string("exam code comes from a newer version of Pulsavo"));
            }
        }
        QCOMPARE(passing, 1);
    }
}

void ExamCodeTest::badCodes_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<ExamCodeError>("error");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing") << " - " << ExamCodeError::empty << "no exam code given";
    QTest::newRow("U") << "PX-8AK9-P73U" << ExamCodeError::badCharacter
                       << "character 12 of the exam code, \"U\", is not used in codes";
    QTest::newRow("not ASCII") << "PX-8AK9-P73\xc3\xa9" << ExamCodeError::badCharacter
                               << "character 12 of the exam code is not used in codes";
    QTest::newRow("one short")
        << "PX-8AK9-P73" << ExamCodeError::wrongLength
        << "exam code has 7 characters after PX where 8, 12, 16, 22 or 26 belong";
    QTest::newRow("one extra")
        << "PX-8AK9-P73CC" << ExamCodeError::wrongLength
        << "exam code has 9 characters after PX where 8, 12, 16, 22 or 26 belong";
    QTest::newRow("prefix only")
        << "PX" << ExamCodeError::wrongLength
        << "exam code has 0 characters after PX where 8, 12, 16, 22 or 26 belong";
    QTest::newRow("mistyped") << "PX-8AK9-P73E" << ExamCodeError::checkFailed
                              << "exam code does not check out: a character is mistyped or two "
                                 "are swapped";
}

void ExamCodeTest::badCodes() {
    QFETCH(QString, typed);
    QFETCH(ExamCodeError, error);
    QFETCH(QString, message);
    const ExamResult read = parseExamCode(typed.toUtf8().toStdString());
    QCOMPARE(read.error, error);
    QCOMPARE(QString::fromStdString(read.message), message);
    QVERIFY(read.exam.questions.empty());
}

void ExamCodeTest::badExams_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<uint>("seed");
    QTest::addColumn<QString>("rhythms");
    QTest::addColumn<ExamCodeError>("error");
    QTest::addColumn<QString>("message");
    QTest::newRow("no questions") << 0 << 1U << "0-17" << ExamCodeError::badCount
                                  << "an exam has 1 to 128 questions, not 0";
    QTest::newRow("too many") << 129 << 1U << "0-17" << ExamCodeError::badCount
                              << "an exam has 1 to 128 questions, not 129";
    QTest::newRow("seed too big") << 10 << Exam::maxSeed + 1 << "0-17" << ExamCodeError::badSeed
                                  << "exam seed must lie in 0..67108863, not 67108864";
    QTest::newRow("no rhythms") << 10 << 1U << "" << ExamCodeError::noRhythms
                                << "an exam needs at least one rhythm";
}

void ExamCodeTest::badExams() {
    QFETCH(int, count);
    QFETCH(uint, seed);
    QFETCH(QString, rhythms);
    QFETCH(ExamCodeError, error);
    QFETCH(QString, message);
    const ExamResult made = makeExam(count, seed, setOf(rhythms.toLatin1().constData()));
    QCOMPARE(made.error, error);
    QCOMPARE(QString::fromStdString(made.message), message);
    QVERIFY(made.exam.code.empty());
}

void ExamCodeTest::rhythmList_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("bits");
    QTest::addColumn<QString>("error");
    QTest::newRow("list and ranges") << "0,4,5,10-11" << 0xC31U << "";
    QTest::newRow("spaces, repeats") << " 3 , 3,1 - 2 " << 0xEU << "";
    QTest::newRow("all") << "0-17" << 0x3FFFFU << "";
    QTest::newRow("leading zero") << "07" << 0x80U << "";
    QTest::newRow("empty")
        << " " << 0U
        << "empty rhythm list: give rhythm numbers 0-17, ids or families, e.g. 0,4,10-11 "
           "or sinus,mobitz_1";
    QTest::newRow("out of range") << "3,18" << 0U
                                  << "not a rhythm number in 0-17: \"18\" in \"18\"";
    QTest::newRow("not a number") << "1,af" << 0U
                                  << "not a rhythm number in 0-17, rhythm id or family: \"af\"";
    QTest::newRow("ids are exact") << "Sinus_Bradycardia" << 0U
                                   << "not a rhythm number in 0-17, rhythm id or family: "
                                      "\"Sinus_Bradycardia\"";
    QTest::newRow("no ranges of ids") << "sinus-atrial" << 0U
                                      << "not a rhythm number in 0-17: \"sinus\" in "
                                         "\"sinus-atrial\"";
    QTest::newRow("backwards") << "5-3" << 0U << "range runs backwards: \"5-3\"";
    QTest::newRow("double comma")
        << "1,,2" << 0U << "empty item in rhythm list (two commas in a row, or one at an end)";
    QTest::newRow("trailing comma")
        << "1," << 0U << "empty item in rhythm list (two commas in a row, or one at an end)";
    QTest::newRow("open range") << "4-" << 0U << "incomplete range in rhythm list: \"4-\"";
    QTest::newRow("negative") << "-3" << 0U << "incomplete range in rhythm list: \"-3\"";
    QTest::newRow("two dashes") << "1-2-3" << 0U
                                << "not a rhythm number in 0-17: \"2-3\" in \"1-2-3\"";
}

void ExamCodeTest::rhythmList() {
    QFETCH(QString, text);
    QFETCH(uint, bits);
    QFETCH(QString, error);
    const RhythmListResult result = parseRhythmList(text.toStdString());
    QCOMPARE(QString::fromStdString(result.error), error);
    if (result.ok()) {
        QCOMPARE(result.rhythms.classicBits(), bits);
    }
}

void ExamCodeTest::rhythmListNames_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint64>("low");  // rhythms 0..63
    QTest::addColumn<quint64>("high"); // rhythms 64..68
    const auto row = [](const char* text, quint64 low, quint64 high = 0) {
        QTest::newRow(text) << text << low << high;
    };
    row("sinus_bradycardia, mobitz_1", 1ULL << 19 | 1ULL << 38);
    row("av_block", 0x3FULL << 37);
    row("ventricular", 0x7FULL << 50, 0x1E); // the last family reaches the second word
    row("classic_17,0,4-5", 0x20031);
    row("library", ~0x3FFFFULL, 0x1F);
    row("pac,atrial,pac", 0xFFULL << 24, 0x1);
}

void ExamCodeTest::rhythmListNames() {
    QFETCH(QString, text);
    QFETCH(quint64, low);
    QFETCH(quint64, high);
    const RhythmListResult result = parseRhythmList(text.toStdString());
    QVERIFY2(result.ok(), result.error.c_str());
    QCOMPARE(result.rhythms.wordAt(0), low);
    QCOMPARE(result.rhythms.wordAt(1), high);
}

void ExamCodeTest::rhythmListFormat() {
    QCOMPARE(formatRhythmList(setOf("0,4,5,10-12,17")), std::string("0,4,5,10-12,17"));
    QCOMPARE(formatRhythmList(RhythmSet()), std::string());
    QCOMPARE(formatRhythmList(RhythmSet::every()), std::string("0-17,library"));
    QCOMPARE(formatRhythmList(setOf("mobitz_1,3,av_block,pac")), std::string("3,pac,av_block"));
    // A classic round answers from the classic list as it always has; a rhythm is never asked
    // without its own name among the answers.
    for (const auto& [asked, offered] : {std::pair{"4,7", "0-17"},
                                         {"mobitz_1,mobitz_2", "library"},
                                         {"17,pac", "0-17,library"},
                                         {"", ""}}) {
        const RhythmSet choices = answerChoicesFor(setOf(asked));
        QCOMPARE(formatRhythmList(choices), std::string(offered));
        QVERIFY(setOf(asked).isSubsetOf(choices));
    }
    for (std::uint32_t bits = 1; bits < RhythmSet::allClassicBits; bits = bits * 7 + 3) {
        const RhythmSet set = RhythmSet::fromClassicBits(bits);
        QVERIFY(parseRhythmList(formatRhythmList(set)).rhythms == set);
    }
    SeededRandom random(67);
    for (int i = 0; i < 200; ++i) {
        const RhythmSet set = RhythmSet::fromWords(random.next() & random.next(), random.next());
        QVERIFY2(parseRhythmList(formatRhythmList(set)).rhythms == set,
                 formatRhythmList(set).data());
    }
}

void ExamCodeTest::savedPracticeChoice_data() {
    QTest::addColumn<QString>("list"); // null: no list saved
    QTest::addColumn<int>("bits");     // -1: no classic mask saved
    QTest::addColumn<QString>("chosen");
    QTest::newRow("nothing saved") << QString() << -1 << "library";
    QTest::newRow("an earlier release's 18") << QString() << 0x3FFFF << "0-17";
    QTest::newRow("the list wins") << "av_block,3" << 0x3FFFF << "3,av_block";
    QTest::newRow("nothing chosen") << "" << 0x3FFFF << "";
    QTest::newRow("damaged list, mask") << "0,zz" << 0x1 << "0";
    QTest::newRow("damaged list alone") << "0,zz" << -1 << "library";
}

void ExamCodeTest::savedPracticeChoice() {
    QFETCH(QString, list);
    QFETCH(int, bits);
    QFETCH(QString, chosen);
    const RhythmSet saved = savedPracticeRhythms(
        list.isNull() ? std::nullopt : std::optional(list.toStdString()),
        bits < 0 ? std::nullopt : std::optional(static_cast<std::uint32_t>(bits)));
    QCOMPARE(QString::fromStdString(formatRhythmList(saved)), chosen);
}

void ExamCodeTest::settingsTravelWithTheCode_data() {
    QTest::addColumn<QString>("rhythms");
    QTest::addColumn<int>("length"); // characters after PX, the check included
    QTest::addColumn<ExamSettings>("settings");
    const ExamSettings strict{
        .hints = false, .feedbackAtEnd = true, .timeLimitMinutes = 15, .passPercent = 80};
    const ExamSettings open{.measurements = true,
                            .shuffled = true,
                            .timeLimitMinutes = ExamSettings::maxTimeLimitMinutes,
                            .passPercent = 100};
    QTest::newRow("classic subset, strict") << "0-9" << 16 << strict;
    QTest::newRow("classic 18, shuffled") << "classic" << 16 << open;
    QTest::newRow("library, strict") << "library" << 26 << strict;
    QTest::newRow("library, shuffled") << "av_block,wpw" << 26 << open;
    QTest::newRow("classic subset, worksheet") << "0-9" << 16 << ExamSettings{.worksheet = true};
    QTest::newRow("library, worksheet") << "library" << 26 << ExamSettings{.worksheet = true};
    QTest::newRow("classic 18, motion") << "classic" << 16 << ExamSettings{.artifact = 2};
    QTest::newRow("library, tremor, worksheet")
        << "library" << 26 << ExamSettings{.worksheet = true, .artifact = 1};
    QTest::newRow("library, wander") << "av_block,wpw" << 26 << ExamSettings{.artifact = 3};
}

// Settings ride in the code, read back exactly, and never change the rhythms and seeds drawn:
// the same exam without them keeps the code it always had; an artifact setting lays its
// artifact on every question. Values past their range are refused.
void ExamCodeTest::settingsTravelWithTheCode() {
    QFETCH(QString, rhythms);
    QFETCH(int, length);
    QFETCH(ExamSettings, settings);
    const RhythmSet set = parseRhythmList(rhythms.toStdString()).rhythms;
    const ExamResult plain = makeExam(20, 4242, set);
    const ExamResult made = makeExam(20, 4242, set, settings);
    QVERIFY(made.ok() && plain.exam.code != made.exam.code);
    QCOMPARE(static_cast<int>(body(made.exam.code).size()), length);
    const ExamResult read = parseExamCode(made.exam.code);
    QVERIFY(read.ok() && read.exam.settings == settings);
    std::vector<Question> expected = plain.exam.questions;
    for (Question& question : expected) {
        if (settings.artifact > 0) {
            question.artifact = examArtifactKinds[static_cast<std::size_t>(settings.artifact - 1)];
            question.artifactStrength = Artifact::defaultStrength;
        }
    }
    QVERIFY(read.exam.questions == expected && made.exam.questions == expected);
    QVERIFY(parseExamCode(plain.exam.code).exam.settings.isDefault());
    ExamSettings late = settings;
    late.passPercent = 101;
    QCOMPARE(makeExam(20, 4242, set, late).error, ExamCodeError::badSettings);
    late = settings;
    late.timeLimitMinutes = ExamSettings::maxTimeLimitMinutes + 1;
    QCOMPARE(makeExam(20, 4242, set, late).error, ExamCodeError::badSettings);
    late = settings;
    late.artifact = static_cast<int>(examArtifactKinds.size()) + 1;
    QCOMPARE(makeExam(20, 4242, set, late).error, ExamCodeError::badSettings);
}

// A shuffled exam gives every learner the same questions in an order of their own, the same
// each time they open it; an exam that is not shuffled keeps its order for everyone.
void ExamCodeTest::eachLearnerHasAnOrder() {
    const Exam shuffled = makeExam(30, 77, RhythmSet::library(), {.shuffled = true}).exam;
    const std::vector<int> hana = questionOrder(shuffled, "hana");
    std::vector<int> identity(30);
    std::iota(identity.begin(), identity.end(), 0);
    QVERIFY(questionOrder(shuffled, "hana") == hana && questionOrder(shuffled, "ken") != hana);
    QVERIFY(hana != identity && std::is_permutation(hana.begin(), hana.end(), identity.begin()));
    QCOMPARE(questionOrder(makeExam(30, 77, RhythmSet::library()).exam, "hana"), identity);
}

QTEST_APPLESS_MAIN(ExamCodeTest)
#include "tst_examcode.moc"
