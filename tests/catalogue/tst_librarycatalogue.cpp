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

bool printable(const QByteArray& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

const Language languages[] = {Language::japanese, Language::english};

// The danger line's start, a heading's bracket and the headings (key points, waveform,
// management, drugs) of each language, in the order of `languages`.
struct Edition {
    QByteArray danger, bracket;
    QByteArrayList headings;
};
const Edition editions[] = {
    {"危険度　",
     "＜",
     {"＜判定のポイント＞", "＜波形の説明＞", "＜対処方法＞", "＜使用される薬剤＞"}},
    {"Danger level ",
     "<",
     {"<Key points>", "<About the waveform>", "<Management>", "<Drugs used>"}}};

// The numbers written in a text, decimals kept whole ("2.0", "3.5").
QSet<QString> numbersIn(const std::string& text) {
    static const QRegularExpression number(QStringLiteral("[0-9]+(\\.[0-9]+)?"));
    QSet<QString> numbers;
    for (const auto& match : number.globalMatch(QString::fromStdString(text))) {
        numbers.insert(match.captured());
    }
    return numbers;
}

// The figures the conduction model plays for each rhythm (rates per minute, times in ms,
// seconds, beat counts and ratios), which its key points must state.
const QString criteria = QStringLiteral(
    "sinus_rhythm 60 100 120 200;sinus_bradycardia 40 59 120 200;sinus_tachycardia 101 160 120 "
    "200;sinus_arrhythmia 60 100 3 5 160;sinus_arrest 60 100 4 8 2.0 3.5;sa_block 60 100 3 7 2;"
    "pac 60 100 3 8 55 75 120 200;atrial_tachycardia 150 250 1 120 160;mat 100 150 3 120 200;"
    "af_controlled 350 600 60 100;af_rapid 350 600 110 160;flutter_2to1 250 350 2 1 125 175;"
    "flutter_3to1 250 350 3 1;flutter_4to1 250 350 4 1 62 88;flutter_variable 250 350 2 3 4 1;"
    "pjc 60 100 3 8 120;junctional_escape 40 60;accelerated_junctional 61 100;"
    "junctional_tachycardia 101 140;svt_avnrt 150 250 100;wpw 60 100 80 110 120 30 50 140;"
    "av_block_1 60 100 210 380;mobitz_1 60 100 160 220 3 5 2;mobitz_2 60 100 120 200 2 5;"
    "av_block_2to1 70 100 2 1 120 200;chb_narrow 60 100 35 60 120;chb_wide 60 100 20 40 120;"
    "pvc_unifocal 60 100 3 10 120 160 2;pvc_multifocal 60 100 3 120 160;ventricular_bigeminy 60 "
    "100;ventricular_trigeminy 60 100;pvc_couplets 60 100 4 8 2;pvc_r_on_t 60 100 240 320;nsvt "
    "60 100 3 10 120 200 30;idioventricular 20 40 120;aivr 50 100 120;vt_monomorphic 130 250 120;"
    "torsades 200 250 5 15;ventricular_flutter 250 350;vf_coarse 150 500 3;vf_fine 150 500 3;"
    "asystole;p_wave_asystole 30 60;paced_atrial 20 60 80 160 240;paced_ventricular 120 60 80;"
    "paced_av 120 200 60 80;paced_failure_to_capture 60 80 1 3;paced_failure_to_sense 70 95 60 "
    "70;bbb 60 100 120 200 160;pea 40 100;vt_pulseless 150 250 120");

} // namespace

class TestLibraryCatalogue : public QObject {
    Q_OBJECT

private slots:
    void eachRhythm_data();
    void eachRhythm();
    void namesAreDistinct();
    void documentListsEveryRhythm();
};

void TestLibraryCatalogue::eachRhythm_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("figures");
    QHash<QString, QStringList> figures;
    for (const QString& row : criteria.split(QLatin1Char(';'))) {
        QStringList numbers = row.split(QLatin1Char(' '));
        figures.insert(numbers.takeFirst(), numbers);
    }
    for (int i = 0; i < libraryRhythmCount; ++i) {
        const QString id = QString::fromLatin1(bytes(libraryInfo[std::size_t(i)].id));
        QTest::addRow("%s", qPrintable(id)) << i << figures.value(id, {QStringLiteral("(no row)")});
    }
}

// In each language: a danger line, an empty line, then the four sections each under its heading
// with at least one body line and one empty line between sections; CR LF between lines, no line
// the key points reader would take for a heading, and lines the explanation box can show. The
// English follows the Japanese line for line (danger level, lines per section, figures in the
// key points), the key points state the model's figures, and every lookup finds the rhythm.
void TestLibraryCatalogue::eachRhythm() {
    QFETCH(int, index);
    QFETCH(QStringList, figures);
    const Rhythm rhythm = rhythmOf(static_cast<LibraryRhythm>(index));
    QByteArrayList stars;
    QList<QList<qsizetype>> sectionSizes;
    for (const Language language : languages) {
        const Edition& edition = editions[language == Language::japanese ? 0 : 1];
        QCOMPARE(nameOf(rhythm, language), libraryNamesIn(language)[std::size_t(index)]);
        QCOMPARE(textOf(rhythm, language), libraryTextsIn(language)[std::size_t(index)]);
        QCOMPARE(findRhythm(nameOf(rhythm, language), language), indexOf(rhythm));
        const std::string_view text = textOf(rhythm, language);
        QVERIFY(!text.ends_with("\r\n") &&
                (language == Language::english || testing::cp932Size(text) > 0));
        QByteArrayList shape;
        QList<QByteArrayList> sections; // body lines under each heading
        const QByteArrayList lines = bytes(text).split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QByteArray line = lines[i];
            QVERIFY2(line.endsWith('\r') == (i < lines.size() - 1), line);
            line.chop(i < lines.size() - 1 ? 1 : 0);
            QVERIFY2(!line.contains('\r') && line.trimmed() == line && !line.startsWith("　"),
                     line);
            if (i == 0) {
                stars.append(line.mid(edition.danger.size()));
                const QString danger = QString::fromUtf8(stars.last());
                QVERIFY2(line.startsWith(edition.danger) && danger.size() == 3 &&
                             QRegularExpression(QStringLiteral("^★+☆*$")).match(danger).hasMatch(),
                         line);
                shape.append("danger");
            } else if (line.isEmpty() || edition.headings.contains(line)) {
                shape.append(line);
                sections.append(QByteArrayList());
            } else {
                QVERIFY2(!line.startsWith(edition.bracket) && !sections.isEmpty(), line);
                shape.append(shape.last() == "body" ? QByteArrayList() : QByteArrayList{"body"});
                sections.last().append(line);
            }
            if (language == Language::japanese) {
                QVERIFY2(QString::fromUtf8(line).size() <= 49, line);
            } else if (i > 0) {
                QVERIFY2(printable(line), line);
                for (const QByteArray& word : line.split(' ')) {
                    QVERIFY2(word.size() <= 20, word);
                }
            }
        }
        const QByteArrayList& h = edition.headings;
        QCOMPARE(shape, QByteArrayList({"danger", "", h[0], "body", "", h[1], "body", "", h[2],
                                        "body", "", h[3], "body"}));
        QCOMPARE(bytes(keyPointsOf(rhythm, language)), sections[1].join('\n'));
        sectionSizes.append(QList<qsizetype>());
        for (const QByteArrayList& section : sections) {
            sectionSizes.last().append(section.size());
        }
    }
    QCOMPARE(stars[1], stars[0]);
    QCOMPARE(sectionSizes[1], sectionSizes[0]);
    const QSet<QString> written = numbersIn(keyPointsOf(rhythm, Language::japanese));
    QCOMPARE(numbersIn(keyPointsOf(rhythm, Language::english)), written);
    for (const QString& number : figures) {
        QVERIFY2(written.contains(number), qPrintable(number));
    }
    QCOMPARE(findRhythm(nameOf(rhythm)), indexOf(rhythm));
    QCOMPARE(findRhythm(nameOf(rhythm, Language::english)), noEntry);
    QCOMPARE(findRhythm(nameOf(rhythm), Language::english), noEntry);
    // Values that name no rhythm give no text rather than reading past the tables.
    QVERIFY(nameOf(static_cast<Rhythm>(totalRhythmCount)).empty());
    QVERIFY(textOf(static_cast<Rhythm>(-1), Language::english).empty());
}

// Every name is its own, and no library name begins another, so that typing
// the start of a name in a list picks one rhythm.
void TestLibraryCatalogue::namesAreDistinct() {
    for (const Language language : languages) {
        QSet<QByteArray> seen;
        for (int i = 0; i < totalRhythmCount; ++i) {
            const QByteArray name = bytes(nameOf(*anyRhythmAt(i), language));
            QVERIFY2(!name.isEmpty() && name.trimmed() == name && !name.contains("  "), name);
            QVERIFY2(!seen.contains(name), name);
            seen.insert(name);
            QVERIFY2(language == Language::japanese ? testing::cp932Size(name.toStdString()) > 0
                                                    : printable(name),
                     name);
        }
        const LibraryEntries& names = libraryNamesIn(language);
        for (const std::string_view name : names) {
            for (const std::string_view other : names) {
                QVERIFY2(name == other || !other.starts_with(name),
                         bytes(name) + " / " + bytes(other));
            }
        }
    }
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
        if (cells.size() >= 5 && line.startsWith("| `")) {
            const QByteArray id = cells[1].trimmed().chopped(1).mid(1);
            QVERIFY2(!rows.contains(id), id);
            rows.insert(id, {cells[2].trimmed(), cells[3].trimmed()});
        }
    }
    QCOMPARE(rows.size(), libraryRhythmCount);
    for (const LibraryRhythm rhythm : allLibraryRhythms) {
        const QByteArray id = bytes(infoOf(rhythm).id);
        QCOMPARE(rows.value(id), QByteArrayList({bytes(nameOf(rhythm, Language::japanese)),
                                                 bytes(nameOf(rhythm, Language::english))}));
    }
}

QTEST_APPLESS_MAIN(TestLibraryCatalogue)

#include "tst_librarycatalogue.moc"
