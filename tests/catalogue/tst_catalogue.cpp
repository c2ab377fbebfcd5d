#include "Catalogue.h"
#include "Cp932.h"

#include <QTest>

#include <optional>
#include <string>

using namespace pulsavo::catalogue;
using pulsavo::testing::cp932Size;

namespace {

const QByteArray pointsHeading = "＜判定のポイント＞";
const QByteArray waveformHeading = "＜波形の説明＞";
const QByteArray actionHeading = "＜対処方法＞";
const QByteArray drugsHeading = "＜使用される薬物＞";
const QByteArray medicinesHeading = "＜使用される薬剤＞";
const QByteArray asciiMedicinesHeading = "<使用される薬剤＞";
const QByteArray bodyLine = "(body)";

const QByteArray englishPoints = "<Key points>";
const QByteArray englishWaveform = "<About the waveform>";
const QByteArray englishAction = "<Management>";
const QByteArray englishDrugs = "<Drugs used>";

enum Section { Points, Waveform, Action, Drugs };

QByteArrayList linesOf(std::string_view text) {
    QByteArrayList lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string_view::npos;
         start = end + 2) {
        lines.append(QByteArray(text.data() + start, qsizetype(end - start)));
    }
    lines.append(QByteArray(text.data() + start, qsizetype(text.size() - start)));
    return lines;
}

bool isHeadingLike(const QByteArray& line) {
    return line.startsWith("＜") || line.startsWith('<');
}

bool isHeadingOf(const QByteArray& line, Section section) {
    switch (section) {
    case Points:
        return line == pointsHeading || line == englishPoints;
    case Waveform:
        return line == waveformHeading || line == englishWaveform;
    case Action:
        return line == actionHeading || line == englishAction;
    case Drugs:
        return line == drugsHeading || line == medicinesHeading || line == asciiMedicinesHeading ||
               line == englishDrugs;
    }
    return false;
}

QByteArray bytes(std::string_view text) {
    return QByteArray(text.data(), qsizetype(text.size()));
}

// The stars of a danger line: the same level in every language.
QByteArray starsOf(std::string_view text) {
    const QByteArray first = linesOf(text).front();
    return first.mid(first.indexOf("★") >= 0 ? first.indexOf("★") : first.indexOf("☆"));
}

// The body lines under the section's own heading line; empty when the heading has no line.
QByteArrayList sectionBody(const QByteArrayList& lines, Section section) {
    QByteArrayList body;
    qsizetype i = 0;
    while (i < lines.size() && !isHeadingOf(lines[i], section)) {
        ++i;
    }
    for (++i; i < lines.size() && !lines[i].isEmpty() && !isHeadingLike(lines[i]); ++i) {
        body.append(lines[i]);
    }
    return body;
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void everyNameLooksUpItsOwnIndex_data();
    void everyNameLooksUpItsOwnIndex();
    void lookupFindsNoRhythm_data();
    void lookupFindsNoRhythm();
    void namesAreDistinctAndNoneIsAPrefixOfAnother();
    void namesHaveTheirCp932ByteCounts_data();
    void namesHaveTheirCp932ByteCounts();
    void noSelectionMessageIsExact();
    void textsKeepTheLineRules_data();
    void textsKeepTheLineRules();
    void textsFollowTheFrame_data();
    void textsFollowTheFrame();
    void multifocalActionRunsOnInsideAWaveformLine();
    void sharedLinesAreIdentical_data();
    void sharedLinesAreIdentical();

    void englishNamesLookUpTheirOwnIndex_data();
    void englishNamesLookUpTheirOwnIndex();
    void englishNamesAreDistinctAsciiAndNoneIsAPrefixOfAnother();
    void englishTextsKeepTheLineRules_data();
    void englishTextsKeepTheLineRules();
    void englishTextsMatchTheJapaneseSections_data();
    void englishTextsMatchTheJapaneseSections();
    void languageSelectsTheEdition();
    void noSelectionMessageInEachLanguage();
    void languageOfLocale_data();
    void languageOfLocale();
    void systemLanguageReadsTheEnvironment_data();
    void systemLanguageReadsTheEnvironment();
};

void TestCatalogue::everyNameLooksUpItsOwnIndex_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < entryCount; ++i) {
        QTest::addRow("%d", i) << i;
    }
}

void TestCatalogue::everyNameLooksUpItsOwnIndex() {
    QFETCH(int, index);
    QCOMPARE(findRhythm(rhythmNames[index]), index);
}

void TestCatalogue::lookupFindsNoRhythm_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty selection") << QByteArray();
    QTest::newRow("shared beginning of the premature-contraction names")
        << QByteArray("心室性期外収縮");
    QTest::newRow("first-degree block with an ASCII space") << QByteArray("房室ブロック Ⅰ度");
    QTest::newRow("ASCII parentheses for full-width ones") << QByteArray("心室性期外収縮(散発性)");
    QTest::newRow("ASCII letters for full-width ones") << QByteArray("心房細動(Af)");
    QTest::newRow("trailing space") << QByteArray("洞調律 ");
}

void TestCatalogue::lookupFindsNoRhythm() {
    QFETCH(QByteArray, text);
    QCOMPARE(findRhythm(std::string_view(text.constData(), text.size())), noEntry);
}

void TestCatalogue::namesAreDistinctAndNoneIsAPrefixOfAnother() {
    for (int i = 0; i < entryCount; ++i) {
        QVERIFY2(!rhythmNames[i].empty(), QByteArray::number(i));
        QCOMPARE(rhythmNames[i].find_first_of("\r\n"), std::string_view::npos);
        for (int j = 0; j < entryCount; ++j) {
            QVERIFY2(i == j || !rhythmNames[j].starts_with(rhythmNames[i]),
                     QByteArray::number(i) + " begins " + QByteArray::number(j));
        }
    }
}

void TestCatalogue::namesHaveTheirCp932ByteCounts_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("bytes");
    const int bytes[entryCount] = {6,  24, 20, 20, 14, 14, 24, 24, 30,
                                   32, 12, 16, 29, 12, 18, 32, 38, 18};
    for (int i = 0; i < entryCount; ++i) {
        QTest::addRow("%d", i) << i << bytes[i];
    }
}

void TestCatalogue::namesHaveTheirCp932ByteCounts() {
    QFETCH(int, index);
    QFETCH(int, bytes);
    QCOMPARE(cp932Size(rhythmNames[index]), bytes);
}

void TestCatalogue::noSelectionMessageIsExact() {
    QCOMPARE(QByteArray(noSelectionMessage.data(), noSelectionMessage.size()),
             QByteArray("波形が選択されていません"));
    QCOMPARE(cp932Size(noSelectionMessage), 24);
}

void TestCatalogue::textsKeepTheLineRules_data() {
    everyNameLooksUpItsOwnIndex_data();
}

void TestCatalogue::textsKeepTheLineRules() {
    QFETCH(int, index);
    const std::string_view text = rhythmTexts[index];
    QVERIFY(cp932Size(text) > 0);
    QVERIFY(!text.ends_with("\r\n"));
    for (const QByteArray& line : linesOf(text)) {
        QVERIFY2(!line.contains('\r') && !line.contains('\n'), line);
        for (const char* blank : {" ", "　", "\t"}) {
            QVERIFY2(!line.startsWith(blank) && !line.endsWith(blank), line);
        }
        // The explanation box is sized for lines of this length; longer ones wrap.
        QVERIFY2(QString::fromUtf8(line).size() <= 49, line);
    }
}

void TestCatalogue::textsFollowTheFrame_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("danger");
    QTest::addColumn<QByteArrayList>("headings");
    QTest::addColumn<QList<int>>("bodyLines");
    QTest::addColumn<QList<int>>("emptyLinesAfter");
    QTest::addColumn<int>("lineCount");

    const QByteArray low = "危険度　★☆☆";
    const QByteArray moderate = "危険度　★★☆";
    const QByteArray high = "危険度　★★★";
    const QByteArrayList withDrugs{pointsHeading, waveformHeading, actionHeading, drugsHeading};
    const QByteArrayList withMedicines{pointsHeading, waveformHeading, actionHeading,
                                       medicinesHeading};
    const QList<int> single{1, 1, 1};

    QTest::newRow("0") << int(Language::japanese) << 0 << low << withDrugs << QList<int>{3, 3, 1, 2}
                       << QList<int>{3, 1, 1} << 20;
    QTest::newRow("1") << int(Language::japanese) << 1 << low << withDrugs << QList<int>{2, 1, 1, 1}
                       << single << 14;
    QTest::newRow("2") << int(Language::japanese) << 2 << moderate << withDrugs
                       << QList<int>{2, 5, 2, 1} << single << 19;
    QTest::newRow("3") << int(Language::japanese) << 3 << moderate << withDrugs
                       << QList<int>{2, 6, 2, 1} << single << 20;
    QTest::newRow("4") << int(Language::japanese) << 4 << moderate << withDrugs
                       << QList<int>{2, 5, 3, 1} << single << 20;
    QTest::newRow("5") << int(Language::japanese) << 5 << moderate
                       << QByteArrayList{pointsHeading, waveformHeading, actionHeading, {}}
                       << QList<int>{2, 2, 1, 0} << QList<int>{1, 1, 0} << 12;
    QTest::newRow("6") << int(Language::japanese) << 6 << moderate << withMedicines
                       << QList<int>{2, 4, 2, 1} << single << 18;
    QTest::newRow("7") << int(Language::japanese) << 7 << moderate
                       << QByteArrayList{pointsHeading, waveformHeading, {}, medicinesHeading}
                       << QList<int>{1, 2, 0, 1} << QList<int>{1, 0, 1} << 11;
    QTest::newRow("8") << int(Language::japanese) << 8 << moderate << withMedicines
                       << QList<int>{1, 1, 1, 1} << single << 13;
    QTest::newRow("9") << int(Language::japanese) << 9 << moderate
                       << QByteArrayList{pointsHeading, waveformHeading, actionHeading,
                                         asciiMedicinesHeading}
                       << QList<int>{1, 2, 1, 1} << single << 14;
    QTest::newRow("10") << int(Language::japanese) << 10 << high << withMedicines
                        << QList<int>{2, 6, 2, 1} << single << 20;
    QTest::newRow("11") << int(Language::japanese) << 11 << high << withMedicines
                        << QList<int>{1, 2, 3, 1} << single << 16;
    QTest::newRow("12") << int(Language::japanese) << 12 << moderate << withMedicines
                        << QList<int>{2, 3, 1, 1} << single << 16;
    QTest::newRow("13") << int(Language::japanese) << 13 << moderate << withMedicines
                        << QList<int>{2, 5, 1, 1} << single << 18;
    QTest::newRow("14") << int(Language::japanese) << 14 << moderate << withMedicines
                        << QList<int>{1, 2, 2, 1} << single << 15;
    QTest::newRow("15") << int(Language::japanese) << 15 << moderate << withDrugs
                        << QList<int>{2, 2, 2, 1} << single << 16;
    QTest::newRow("16") << int(Language::japanese) << 16 << moderate << withMedicines
                        << QList<int>{3, 2, 3, 1} << QList<int>{1, 2, 1} << 19;
    QTest::newRow("17") << int(Language::japanese) << 17 << moderate << withMedicines
                        << QList<int>{2, 5, 1, 1} << QList<int>{1, 1, 0} << 17;

    // The English edition: the same sections and body lines, every section under a heading line
    // of its own and one empty line between sections.
    const QByteArray lowEn = "Danger level ★☆☆";
    const QByteArray moderateEn = "Danger level ★★☆";
    const QByteArray highEn = "Danger level ★★★";
    const QByteArrayList english{englishPoints, englishWaveform, englishAction, englishDrugs};
    const QList<QList<int>> body{
        {3, 3, 1, 2}, {2, 1, 1, 1}, {2, 5, 2, 1}, {2, 6, 2, 1}, {2, 5, 3, 1}, {2, 2, 1, 0},
        {2, 4, 2, 1}, {1, 2, 1, 1}, {1, 1, 1, 1}, {1, 2, 1, 1}, {2, 6, 2, 1}, {1, 2, 3, 1},
        {2, 3, 1, 1}, {2, 5, 1, 1}, {1, 2, 2, 1}, {2, 2, 2, 1}, {3, 2, 3, 1}, {2, 5, 1, 1}};
    for (int i = 0; i < entryCount; ++i) {
        const QByteArray danger = i <= 1 ? lowEn : i == 10 || i == 11 ? highEn : moderateEn;
        QByteArrayList headings = english;
        QList<int> emptyLines = single;
        int lines = 2 + 4 + 3;
        if (i == 5) {
            headings[Drugs].clear();
            emptyLines[Action] = 0;
            lines -= 2;
        }
        for (const int count : body[i]) {
            lines += count;
        }
        QTest::addRow("en %d", i) << int(Language::english) << i << danger << headings << body[i]
                                  << emptyLines << lines;
    }
}

// Compares the text line by line with the frame: danger line, empty line, then each section's
// heading (an empty heading means the section has no heading line) and body lines, and the
// empty lines after each section.
void TestCatalogue::textsFollowTheFrame() {
    QFETCH(int, language);
    QFETCH(int, index);
    QFETCH(QByteArray, danger);
    QFETCH(QByteArrayList, headings);
    QFETCH(QList<int>, bodyLines);
    QFETCH(QList<int>, emptyLinesAfter);
    QFETCH(int, lineCount);

    QByteArrayList expected{danger, {}};
    for (int section = Points; section <= Drugs; ++section) {
        if (!headings[section].isEmpty()) {
            expected.append(headings[section]);
        }
        for (int i = 0; i < bodyLines[section]; ++i) {
            expected.append(bodyLine);
        }
        for (int i = 0; section < Drugs && i < emptyLinesAfter[section]; ++i) {
            expected.append(QByteArray());
        }
    }
    QCOMPARE(expected.size(), lineCount);

    QByteArrayList actual = linesOf(textsIn(static_cast<Language>(language))[index]);
    for (qsizetype i = 1; i < actual.size(); ++i) {
        if (!actual[i].isEmpty() && !isHeadingLike(actual[i])) {
            actual[i] = bodyLine;
        }
    }
    QCOMPARE(actual, expected);
}

void TestCatalogue::multifocalActionRunsOnInsideAWaveformLine() {
    const QByteArrayList lines = linesOf(rhythmTexts[7]);
    const QByteArrayList waveform = sectionBody(lines, Waveform);
    QCOMPARE(waveform.size(), 2);
    const qsizetype at = waveform[1].indexOf(actionHeading);
    QVERIFY(at > 0);
    QVERIFY(at + actionHeading.size() < waveform[1].size());
    QCOMPARE(QByteArray(rhythmTexts[7].data(), rhythmTexts[7].size()).count(actionHeading), 1);
}

void TestCatalogue::sharedLinesAreIdentical_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("position"); // negative: counted from the end of the section
    QTest::addColumn<QList<int>>("entries");
    QTest::newRow("sudden attack")
        << int(Language::japanese) << int(Points) << 0 << QList<int>{2, 3};
    QTest::newRow("recurring attacks")
        << int(Language::japanese) << int(Waveform) << -3 << QList<int>{2, 3};
    QTest::newRow("unexplained palpitations")
        << int(Language::japanese) << int(Waveform) << -2 << QList<int>{2, 3};
    QTest::newRow("heart failure")
        << int(Language::japanese) << int(Waveform) << -1 << QList<int>{2, 3};
    QTest::newRow("vagal manoeuvres")
        << int(Language::japanese) << int(Action) << 0 << QList<int>{2, 3};
    QTest::newRow("defibrillation")
        << int(Language::japanese) << int(Action) << -1 << QList<int>{2, 3, 10, 11};
    QTest::newRow("supraventricular drugs")
        << int(Language::japanese) << int(Drugs) << 0 << QList<int>{2, 3};
    QTest::newRow("xylocaine") << int(Language::japanese) << int(Drugs) << 0
                               << QList<int>{6, 7, 8, 9, 10, 11};
    QTest::newRow("pacemaker") << int(Language::japanese) << int(Action) << -1
                               << QList<int>{12, 13, 15, 17};
    QTest::newRow("bradycardia symptoms")
        << int(Language::japanese) << int(Action) << 0 << QList<int>{15, 16};
    // English names the electrical treatment of each rhythm by its own clinical term, so only
    // the two supraventricular tachycardias share that line.
    const auto en = int(Language::english);
    QTest::newRow("en sudden attack") << en << int(Points) << 0 << QList<int>{2, 3};
    QTest::newRow("en recurring attacks") << en << int(Waveform) << -3 << QList<int>{2, 3};
    QTest::newRow("en unexplained palpitations") << en << int(Waveform) << -2 << QList<int>{2, 3};
    QTest::newRow("en heart failure") << en << int(Waveform) << -1 << QList<int>{2, 3};
    QTest::newRow("en vagal manoeuvres") << en << int(Action) << 0 << QList<int>{2, 3};
    QTest::newRow("en cardioversion") << en << int(Action) << -1 << QList<int>{2, 3};
    QTest::newRow("en supraventricular drugs") << en << int(Drugs) << 0 << QList<int>{2, 3};
    QTest::newRow("en lidocaine") << en << int(Drugs) << 0 << QList<int>{6, 7, 8, 9, 10, 11};
    QTest::newRow("en pacemaker") << en << int(Action) << -1 << QList<int>{12, 13, 15, 17};
    QTest::newRow("en bradycardia symptoms") << en << int(Action) << 0 << QList<int>{15, 16};
}

void TestCatalogue::sharedLinesAreIdentical() {
    QFETCH(int, language);
    QFETCH(int, section);
    QFETCH(int, position);
    QFETCH(QList<int>, entries);
    std::optional<QByteArray> shared;
    for (const int entry : entries) {
        const QByteArrayList body =
            sectionBody(linesOf(textsIn(static_cast<Language>(language))[entry]),
                        static_cast<Section>(section));
        const qsizetype at = position < 0 ? body.size() + position : position;
        QVERIFY2(at >= 0 && at < body.size(), QByteArray::number(entry));
        if (!shared) {
            shared = body[at];
        }
        QCOMPARE(body[at], *shared);
    }
}

void TestCatalogue::englishNamesLookUpTheirOwnIndex_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < entryCount; ++i) {
        QTest::addRow("%d %s", i, englishNames[i].data()) << i;
    }
}

void TestCatalogue::englishNamesLookUpTheirOwnIndex() {
    QFETCH(int, index);
    QCOMPARE(findRhythm(englishNames[index], Language::english), index);
    QCOMPARE(findRhythm(rhythmNames[index], Language::japanese), index);
    // Each lookup stays within its own edition; the classic one is the Japanese.
    QCOMPARE(findRhythm(englishNames[index]), noEntry);
    QCOMPARE(findRhythm(rhythmNames[index], Language::english), noEntry);
    QCOMPARE(findRhythm(bytes(englishNames[index]).toLower().toStdString(), Language::english),
             noEntry);
}

void TestCatalogue::englishNamesAreDistinctAsciiAndNoneIsAPrefixOfAnother() {
    for (int i = 0; i < entryCount; ++i) {
        const QByteArray name = bytes(englishNames[i]);
        QVERIFY2(!name.isEmpty() && name.trimmed() == name && !name.contains("  "), name);
        for (const char c : name) {
            QVERIFY2(c >= ' ' && c <= '~', name);
        }
        for (int j = 0; j < entryCount; ++j) {
            QVERIFY2(i == j || !englishNames[j].starts_with(englishNames[i]),
                     name + " begins " + bytes(englishNames[j]));
        }
    }
    QCOMPARE(findRhythm("", Language::english), noEntry);
    QCOMPARE(findRhythm("Premature ventricular contraction (PVC)", Language::english), noEntry);
}

void TestCatalogue::englishTextsKeepTheLineRules_data() {
    everyNameLooksUpItsOwnIndex_data();
}

// ASCII after the danger line, and no word so long that the narrow explanation box (about 40
// Latin characters) would have to split it.
void TestCatalogue::englishTextsKeepTheLineRules() {
    QFETCH(int, index);
    const std::string_view text = englishTexts[index];
    QVERIFY(!text.ends_with("\r\n"));
    const QByteArrayList lines = linesOf(text);
    QVERIFY(lines.front().startsWith("Danger level "));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        QVERIFY2(line.trimmed() == line && !line.contains("  "), line);
        for (const char c : line) {
            QVERIFY2(c >= ' ' && c <= '~', line);
        }
        for (const QByteArray& word : line.split(' ')) {
            QVERIFY2(word.size() <= 20, word);
        }
        const bool heading = line.startsWith('<');
        QCOMPARE(line.endsWith('>'), heading);
    }
}

void TestCatalogue::englishTextsMatchTheJapaneseSections_data() {
    everyNameLooksUpItsOwnIndex_data();
}

// A line-by-line translation: the same danger level and as many lines in each section.
void TestCatalogue::englishTextsMatchTheJapaneseSections() {
    QFETCH(int, index);
    QCOMPARE(starsOf(englishTexts[index]), starsOf(rhythmTexts[index]));
    const QByteArrayList english = linesOf(englishTexts[index]);
    const QByteArrayList japanese = linesOf(rhythmTexts[index]);
    for (int section = Points; section <= Drugs; ++section) {
        qsizetype expected = sectionBody(japanese, static_cast<Section>(section)).size();
        if (index == 7 && section == Action) {
            expected = 1; // runs on inside the Japanese waveform line
        }
        QCOMPARE(sectionBody(english, static_cast<Section>(section)).size(), expected);
    }
}

void TestCatalogue::languageSelectsTheEdition() {
    for (const pulsavo::Rhythm rhythm : pulsavo::allRhythms) {
        const auto i = static_cast<std::size_t>(indexOf(rhythm));
        QCOMPARE(nameOf(rhythm), rhythmNames[i]);
        QCOMPARE(textOf(rhythm), rhythmTexts[i]);
        QCOMPARE(nameOf(rhythm, Language::japanese), rhythmNames[i]);
        QCOMPARE(textOf(rhythm, Language::japanese), rhythmTexts[i]);
        QCOMPARE(nameOf(rhythm, Language::english), englishNames[i]);
        QCOMPARE(textOf(rhythm, Language::english), englishTexts[i]);
    }
    QCOMPARE(nameOf(pulsavo::Rhythm::mobitzBlock, Language::english),
             std::string_view("Second-degree AV block, Mobitz type II"));
}

void TestCatalogue::noSelectionMessageInEachLanguage() {
    QCOMPARE(noSelectionMessage(Language::japanese), std::string_view(noSelectionMessage));
    QCOMPARE(bytes(noSelectionMessage(Language::english)),
             QByteArray("No waveform has been selected"));
}

void TestCatalogue::languageOfLocale_data() {
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<bool>("japanese");
    QTest::newRow("ja") << QByteArray("ja") << true;
    QTest::newRow("ja_JP.UTF-8") << QByteArray("ja_JP.UTF-8") << true;
    QTest::newRow("ja_JP.eucJP") << QByteArray("ja_JP.eucJP") << true;
    QTest::newRow("ja-JP") << QByteArray("ja-JP") << true;
    QTest::newRow("ja.UTF-8") << QByteArray("ja.UTF-8") << true;
    QTest::newRow("en_US.UTF-8") << QByteArray("en_US.UTF-8") << false;
    QTest::newRow("C") << QByteArray("C") << false;
    QTest::newRow("C.UTF-8") << QByteArray("C.UTF-8") << false;
    QTest::newRow("POSIX") << QByteArray("POSIX") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("Jamaican Creole") << QByteArray("jam_JM") << false;
    QTest::newRow("Javanese") << QByteArray("jv_ID") << false;
}

void TestCatalogue::languageOfLocale() {
    QFETCH(QByteArray, locale);
    QFETCH(bool, japanese);
    QCOMPARE(pulsavo::catalogue::languageOfLocale(locale.toStdString()),
             japanese ? Language::japanese : Language::english);
}

void TestCatalogue::systemLanguageReadsTheEnvironment_data() {
    QTest::addColumn<QByteArrayList>("values"); // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
    QTest::addColumn<bool>("japanese");
    QTest::newRow("nothing set") << QByteArrayList{{}, {}, {}, {}} << false;
    QTest::newRow("LANG Japanese") << QByteArrayList{{}, {}, {}, "ja_JP.UTF-8"} << true;
    QTest::newRow("LANG C") << QByteArrayList{{}, {}, {}, "C"} << false;
    QTest::newRow("LC_ALL over LANG") << QByteArrayList{{}, "C", {}, "ja_JP.UTF-8"} << false;
    QTest::newRow("LC_MESSAGES over LANG") << QByteArrayList{{}, {}, "ja_JP", "en_GB"} << true;
    QTest::newRow("LANGUAGE first entry") << QByteArrayList{"ja:en", {}, {}, "en_US"} << true;
    QTest::newRow("LANGUAGE English first")
        << QByteArrayList{"en_GB:ja", {}, {}, "ja_JP.UTF-8"} << false;
}

void TestCatalogue::systemLanguageReadsTheEnvironment() {
    QFETCH(QByteArrayList, values);
    QFETCH(bool, japanese);
    const char* const names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    for (int i = 0; i < 4; ++i) {
        if (values[i].isEmpty()) {
            qunsetenv(names[i]);
        } else {
            qputenv(names[i], values[i]);
        }
    }
    QCOMPARE(systemLanguage(), japanese ? Language::japanese : Language::english);
}

QTEST_APPLESS_MAIN(TestCatalogue)

#include "tst_catalogue.moc"
