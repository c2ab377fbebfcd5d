#include "Catalogue.h"
#include "Cp932.h"
#include "KeyPoints.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace pulsavo;
using namespace pulsavo::catalogue;

namespace {

QByteArray bytes(std::string_view text) {
    return QByteArray(text.data(), qsizetype(text.size()));
}

QByteArrayList linesOf(std::string_view text) {
    return bytes(text).split('\n');
}

struct Edition {
    QByteArray danger;
    QByteArray bracket;
    QByteArrayList headings; // key points, waveform, management, drugs
};

Edition editionOf(Language language) {
    if (language == Language::japanese) {
        return {"危険度　",
                "＜",
                {"＜判定のポイント＞", "＜波形の説明＞", "＜対処方法＞", "＜使用される薬剤＞"}};
    }
    return {"Danger level ",
            "<",
            {"<Key points>", "<About the waveform>", "<Management>", "<Drugs used>"}};
}

// Body lines of each section, in heading order.
QList<QByteArrayList> sectionsOf(std::string_view text, const Edition& edition) {
    QList<QByteArrayList> sections;
    for (const QByteArray& line : linesOf(text)) {
        const QByteArray bare = line.chopped(line.endsWith('\r') ? 1 : 0);
        if (edition.headings.contains(bare)) {
            sections.append(QByteArrayList());
        } else if (!sections.isEmpty() && !bare.isEmpty()) {
            sections.last().append(bare);
        }
    }
    return sections;
}

// The numbers written in a text, decimals kept whole ("2.0", "3.5").
QSet<QString> numbersIn(const std::string& text) {
    static const QRegularExpression number(QStringLiteral("[0-9]+(\\.[0-9]+)?"));
    QSet<QString> numbers;
    for (const auto& match : number.globalMatch(QString::fromStdString(text))) {
        numbers.insert(match.captured());
    }
    return numbers;
}

void addRhythmRows() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < libraryRhythmCount; ++i) {
        QTest::addRow("%s", libraryInfo[std::size_t(i)].id.data()) << i;
    }
}

} // namespace

class TestLibraryCatalogue : public QObject {
    Q_OBJECT

private slots:
    void textsFollowTheFrame_data();
    void textsFollowTheFrame();
    void editionsAgree_data();
    void editionsAgree();
    void keyPointsCarryTheCriteria_data();
    void keyPointsCarryTheCriteria();
    void namesAreDistinct_data();
    void namesAreDistinct();
    void lookupsReachEveryRhythm_data();
    void lookupsReachEveryRhythm();
    void documentListsEveryRhythm();
};

void TestLibraryCatalogue::textsFollowTheFrame_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("languageIndex");
    for (int i = 0; i < libraryRhythmCount; ++i) {
        for (const Language language : {Language::japanese, Language::english}) {
            QTest::addRow("%s %s", libraryInfo[std::size_t(i)].id.data(),
                          languageCode(language).data())
                << i << int(language);
        }
    }
}

// Danger line, empty line, then the four sections each under its heading with at least one
// body line and one empty line between sections; CR LF between lines, no line that the key
// points reader would take for a heading, and lines the explanation box can show.
void TestLibraryCatalogue::textsFollowTheFrame() {
    QFETCH(int, index);
    QFETCH(int, languageIndex);
    const auto language = static_cast<Language>(languageIndex);
    const Edition edition = editionOf(language);
    const std::string_view text = textOf(static_cast<LibraryRhythm>(index), language);
    QVERIFY(!text.empty() && !text.ends_with("\r\n"));

    QByteArrayList shape;
    const QByteArrayList lines = linesOf(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        QVERIFY2(i == lines.size() - 1 ? !line.endsWith('\r') : line.endsWith('\r'), line);
        line.chop(i == lines.size() - 1 ? 0 : 1);
        QVERIFY2(!line.contains('\r') && line.trimmed() == line && !line.startsWith("　"), line);
        if (i == 0) {
            QVERIFY2(line.startsWith(edition.danger), line);
            const QString stars = QString::fromUtf8(line.mid(edition.danger.size()));
            QVERIFY2(QRegularExpression(QStringLiteral("^★+☆*$")).match(stars).hasMatch() &&
                         stars.size() == 3,
                     line);
            shape.append("danger");
        } else if (line.isEmpty() || edition.headings.contains(line)) {
            shape.append(line);
        } else {
            QVERIFY2(!line.startsWith(edition.bracket), line);
            if (shape.last() != "body") {
                shape.append("body");
            }
        }
        if (language == Language::japanese) {
            QVERIFY2(QString::fromUtf8(line).size() <= 49, line);
        } else if (i > 0) {
            for (const char c : line) {
                QVERIFY2(c >= ' ' && c <= '~', line);
            }
            for (const QByteArray& word : line.split(' ')) {
                QVERIFY2(word.size() <= 20, word);
            }
        }
    }
    const QByteArrayList expected{
        "danger", "", edition.headings[0], "body", "", edition.headings[1],
        "body",   "", edition.headings[2], "body", "", edition.headings[3],
        "body"};
    QCOMPARE(shape, expected);
    if (language == Language::japanese) {
        QVERIFY(testing::cp932Size(text) > 0);
    }
    QCOMPARE(QByteArray::fromStdString(
                 keyPointsOf(rhythmOf(static_cast<LibraryRhythm>(index)), language)),
             sectionsOf(text, edition).front().join('\n'));
}

void TestLibraryCatalogue::editionsAgree_data() {
    addRhythmRows();
}

// The English follows the Japanese line for line: the same danger level, as many lines in each
// section and the same figures in the key points.
void TestLibraryCatalogue::editionsAgree() {
    QFETCH(int, index);
    const auto rhythm = static_cast<LibraryRhythm>(index);
    const std::string_view japanese = textOf(rhythm, Language::japanese);
    const std::string_view english = textOf(rhythm, Language::english);
    QCOMPARE(linesOf(english).front().mid(editionOf(Language::english).danger.size()),
             linesOf(japanese).front().mid(editionOf(Language::japanese).danger.size()));
    const auto japaneseSections = sectionsOf(japanese, editionOf(Language::japanese));
    const auto englishSections = sectionsOf(english, editionOf(Language::english));
    QCOMPARE(englishSections.size(), japaneseSections.size());
    for (qsizetype s = 0; s < japaneseSections.size(); ++s) {
        QCOMPARE(englishSections[s].size(), japaneseSections[s].size());
    }
    QCOMPARE(numbersIn(keyPointsOf(rhythmOf(rhythm), Language::english)),
             numbersIn(keyPointsOf(rhythmOf(rhythm), Language::japanese)));
}

void TestLibraryCatalogue::keyPointsCarryTheCriteria_data() {
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<QStringList>("numbers");
    // The figures the conduction model plays for each rhythm (rates per minute, times in ms,
    // seconds, beat counts and ratios), which its key points must state.
    const std::pair<const char*, const char*> rows[] = {
        {"sinus_rhythm", "60 100 120 200"},
        {"sinus_bradycardia", "40 59 120 200"},
        {"sinus_tachycardia", "101 160 120 200"},
        {"sinus_arrhythmia", "60 100 3 5 160"},
        {"sinus_arrest", "60 100 4 8 2.0 3.5"},
        {"sa_block", "60 100 3 7 2"},
        {"pac", "60 100 3 8 55 75 120 200"},
        {"atrial_tachycardia", "150 250 1 120 160"},
        {"mat", "100 150 3 120 200"},
        {"af_controlled", "350 600 60 100"},
        {"af_rapid", "350 600 110 160"},
        {"flutter_2to1", "250 350 2 1 125 175"},
        {"flutter_3to1", "250 350 3 1"},
        {"flutter_4to1", "250 350 4 1 62 88"},
        {"flutter_variable", "250 350 2 3 4 1"},
        {"pjc", "60 100 3 8 120"},
        {"junctional_escape", "40 60"},
        {"accelerated_junctional", "61 100"},
        {"junctional_tachycardia", "101 140"},
        {"svt_avnrt", "150 250 100"},
        {"wpw", "60 100 80 110 120 30 50 140"},
        {"av_block_1", "60 100 210 380"},
        {"mobitz_1", "60 100 160 220 3 5 2"},
        {"mobitz_2", "60 100 120 200 2 5"},
        {"av_block_2to1", "70 100 2 1 120 200"},
        {"chb_narrow", "60 100 35 60 120"},
        {"chb_wide", "60 100 20 40 120"},
        {"pvc_unifocal", "60 100 3 10 120 160 2"},
        {"pvc_multifocal", "60 100 3 120 160"},
        {"ventricular_bigeminy", "60 100"},
        {"ventricular_trigeminy", "60 100"},
        {"pvc_couplets", "60 100 4 8 2"},
        {"pvc_r_on_t", "60 100 240 320"},
        {"nsvt", "60 100 3 10 120 200 30"},
        {"idioventricular", "20 40 120"},
        {"aivr", "50 100 120"},
        {"vt_monomorphic", "130 250 120"},
        {"torsades", "200 250 5 15"},
        {"ventricular_flutter", "250 350"},
        {"vf_coarse", "150 500 3"},
        {"vf_fine", "150 500 3"},
        {"p_wave_asystole", "30 60"},
        {"paced_atrial", "20 60 80 160 240"},
        {"paced_ventricular", "120 60 80"},
        {"paced_av", "120 200 60 80"},
        {"paced_failure_to_capture", "60 80 1 3"},
        {"paced_failure_to_sense", "70 95 60 70"},
        {"bbb", "60 100 120 200 160"},
    };
    for (const auto& [id, numbers] : rows) {
        QTest::newRow(id) << QByteArray(id) << QString::fromLatin1(numbers).split(' ');
    }
}

void TestLibraryCatalogue::keyPointsCarryTheCriteria() {
    QFETCH(QByteArray, id);
    QFETCH(QStringList, numbers);
    const auto rhythm = parseRhythmId(id.toStdString());
    QVERIFY(rhythm && !isClassic(*rhythm));
    const QSet<QString> written = numbersIn(keyPointsOf(*rhythm));
    for (const QString& number : numbers) {
        QVERIFY2(written.contains(number), qPrintable(number));
    }
}

void TestLibraryCatalogue::namesAreDistinct_data() {
    QTest::addColumn<int>("languageIndex");
    QTest::newRow("ja") << int(Language::japanese);
    QTest::newRow("en") << int(Language::english);
}

// Every one of the 67 names is its own, and no library name begins another, so that typing
// the start of a name in a list picks one rhythm.
void TestLibraryCatalogue::namesAreDistinct() {
    QFETCH(int, languageIndex);
    const auto language = static_cast<Language>(languageIndex);
    QSet<QByteArray> seen;
    for (int i = 0; i < totalRhythmCount; ++i) {
        const QByteArray name = bytes(nameOf(*anyRhythmAt(i), language));
        QVERIFY2(!name.isEmpty() && name.trimmed() == name && !name.contains("  "), name);
        QVERIFY2(!seen.contains(name), name);
        seen.insert(name);
        if (language == Language::japanese) {
            QVERIFY2(testing::cp932Size(name.toStdString()) > 0, name);
        } else {
            for (const char c : name) {
                QVERIFY2(c >= ' ' && c <= '~', name);
            }
        }
    }
    const LibraryEntries& names = libraryNamesIn(language);
    for (const std::string_view name : names) {
        for (const std::string_view other : names) {
            QVERIFY2(name == other || !other.starts_with(name), bytes(name) + " / " + bytes(other));
        }
    }
}

void TestLibraryCatalogue::lookupsReachEveryRhythm_data() {
    addRhythmRows();
}

void TestLibraryCatalogue::lookupsReachEveryRhythm() {
    QFETCH(int, index);
    const auto library = static_cast<LibraryRhythm>(index);
    const Rhythm rhythm = rhythmOf(library);
    for (const Language language : {Language::japanese, Language::english}) {
        QCOMPARE(nameOf(rhythm, language), libraryNamesIn(language)[std::size_t(index)]);
        QCOMPARE(textOf(rhythm, language), libraryTextsIn(language)[std::size_t(index)]);
        QCOMPARE(findRhythm(nameOf(rhythm, language), language), indexOf(rhythm));
    }
    QCOMPARE(findRhythm(nameOf(rhythm)), indexOf(rhythm));
    QCOMPARE(findRhythm(nameOf(rhythm, Language::english)), noEntry);
    QCOMPARE(findRhythm(nameOf(rhythm), Language::english), noEntry);
    // Values that name no rhythm give no text rather than reading past the tables.
    QVERIFY(nameOf(static_cast<Rhythm>(totalRhythmCount)).empty());
    QVERIFY(textOf(static_cast<Rhythm>(-1), Language::english).empty());
}

// docs/rhythm-criteria.md has one table row per library rhythm, under its id, with the names
// the catalogue gives it.
void TestLibraryCatalogue::documentListsEveryRhythm() {
    QFile file(qEnvironmentVariable("PULSAVO_SOURCE_DIR") +
               QStringLiteral("/docs/rhythm-criteria.md"));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    QHash<QByteArray, QByteArrayList> rows;
    for (const QByteArray& line : file.readAll().split('\n')) {
        QByteArrayList cells = line.split('|');
        if (cells.size() < 5 || !line.startsWith("| `")) {
            continue;
        }
        for (QByteArray& cell : cells) {
            cell = cell.trimmed();
        }
        const QByteArray id = cells[1].mid(1, cells[1].size() - 2);
        QVERIFY2(!rows.contains(id), id);
        rows.insert(id, cells);
    }
    QCOMPARE(rows.size(), libraryRhythmCount);
    for (const LibraryRhythm rhythm : allLibraryRhythms) {
        const QByteArray id = bytes(infoOf(rhythm).id);
        QVERIFY2(rows.contains(id), id);
        QCOMPARE(rows[id][2], bytes(nameOf(rhythm, Language::japanese)));
        QCOMPARE(rows[id][3], bytes(nameOf(rhythm, Language::english)));
    }
}

QTEST_APPLESS_MAIN(TestLibraryCatalogue)

#include "tst_librarycatalogue.moc"
