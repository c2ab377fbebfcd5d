#include "Catalogue.h"

#include <QTest>

#include <iconv.h>

#include <cerrno>
#include <optional>
#include <string>

using namespace pulsavo::catalogue;

namespace {

const QByteArray pointsHeading = "＜判定のポイント＞";
const QByteArray waveformHeading = "＜波形の説明＞";
const QByteArray actionHeading = "＜対処方法＞";
const QByteArray drugsHeading = "＜使用される薬物＞";
const QByteArray medicinesHeading = "＜使用される薬剤＞";
const QByteArray asciiMedicinesHeading = "<使用される薬剤＞";
const QByteArray bodyLine = "(body)";

enum Section { Points, Waveform, Action, Drugs };

std::optional<std::string> convert(std::string_view text, const char* to, const char* from) {
    const iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string in(text);
    std::string out(4 * in.size() + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    // A non-zero count means characters were approximated, which the Windows build would show
    // differently.
    if (result != 0 || inLeft != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    return out;
}

// Code-page-932 bytes of `text`, or -1 when it does not convert there and back unchanged.
int cp932Size(std::string_view text) {
    const auto encoded = convert(text, "CP932", "UTF-8");
    if (!encoded || convert(*encoded, "UTF-8", "CP932") != std::string(text)) {
        return -1;
    }
    return int(encoded->size());
}

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
        return line == pointsHeading;
    case Waveform:
        return line == waveformHeading;
    case Action:
        return line == actionHeading;
    case Drugs:
        return line == drugsHeading || line == medicinesHeading || line == asciiMedicinesHeading;
    }
    return false;
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

    QTest::newRow("0") << 0 << low << withDrugs << QList<int>{3, 3, 1, 2} << QList<int>{3, 1, 1}
                       << 20;
    QTest::newRow("1") << 1 << low << withDrugs << QList<int>{2, 1, 1, 1} << single << 14;
    QTest::newRow("2") << 2 << moderate << withDrugs << QList<int>{2, 5, 2, 1} << single << 19;
    QTest::newRow("3") << 3 << moderate << withDrugs << QList<int>{2, 6, 2, 1} << single << 20;
    QTest::newRow("4") << 4 << moderate << withDrugs << QList<int>{2, 5, 3, 1} << single << 20;
    QTest::newRow("5") << 5 << moderate
                       << QByteArrayList{pointsHeading, waveformHeading, actionHeading, {}}
                       << QList<int>{2, 2, 1, 0} << QList<int>{1, 1, 0} << 12;
    QTest::newRow("6") << 6 << moderate << withMedicines << QList<int>{2, 4, 2, 1} << single << 18;
    QTest::newRow("7") << 7 << moderate
                       << QByteArrayList{pointsHeading, waveformHeading, {}, medicinesHeading}
                       << QList<int>{1, 2, 0, 1} << QList<int>{1, 0, 1} << 11;
    QTest::newRow("8") << 8 << moderate << withMedicines << QList<int>{1, 1, 1, 1} << single << 13;
    QTest::newRow("9") << 9 << moderate
                       << QByteArrayList{pointsHeading, waveformHeading, actionHeading,
                                         asciiMedicinesHeading}
                       << QList<int>{1, 2, 1, 1} << single << 14;
    QTest::newRow("10") << 10 << high << withMedicines << QList<int>{2, 6, 2, 1} << single << 20;
    QTest::newRow("11") << 11 << high << withMedicines << QList<int>{1, 2, 3, 1} << single << 16;
    QTest::newRow("12") << 12 << moderate << withMedicines << QList<int>{2, 3, 1, 1} << single
                        << 16;
    QTest::newRow("13") << 13 << moderate << withMedicines << QList<int>{2, 5, 1, 1} << single
                        << 18;
    QTest::newRow("14") << 14 << moderate << withMedicines << QList<int>{1, 2, 2, 1} << single
                        << 15;
    QTest::newRow("15") << 15 << moderate << withDrugs << QList<int>{2, 2, 2, 1} << single << 16;
    QTest::newRow("16") << 16 << moderate << withMedicines << QList<int>{3, 2, 3, 1}
                        << QList<int>{1, 2, 1} << 19;
    QTest::newRow("17") << 17 << moderate << withMedicines << QList<int>{2, 5, 1, 1}
                        << QList<int>{1, 1, 0} << 17;
}

// Compares the text line by line with the frame: danger line, empty line, then each section's
// heading (an empty heading means the section has no heading line) and body lines, and the
// empty lines after each section.
void TestCatalogue::textsFollowTheFrame() {
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

    QByteArrayList actual = linesOf(rhythmTexts[index]);
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
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("position"); // negative: counted from the end of the section
    QTest::addColumn<QList<int>>("entries");
    QTest::newRow("sudden attack") << int(Points) << 0 << QList<int>{2, 3};
    QTest::newRow("recurring attacks") << int(Waveform) << -3 << QList<int>{2, 3};
    QTest::newRow("unexplained palpitations") << int(Waveform) << -2 << QList<int>{2, 3};
    QTest::newRow("heart failure") << int(Waveform) << -1 << QList<int>{2, 3};
    QTest::newRow("vagal manoeuvres") << int(Action) << 0 << QList<int>{2, 3};
    QTest::newRow("defibrillation") << int(Action) << -1 << QList<int>{2, 3, 10, 11};
    QTest::newRow("supraventricular drugs") << int(Drugs) << 0 << QList<int>{2, 3};
    QTest::newRow("xylocaine") << int(Drugs) << 0 << QList<int>{6, 7, 8, 9, 10, 11};
    QTest::newRow("pacemaker") << int(Action) << -1 << QList<int>{12, 13, 15, 17};
    QTest::newRow("bradycardia symptoms") << int(Action) << 0 << QList<int>{15, 16};
}

void TestCatalogue::sharedLinesAreIdentical() {
    QFETCH(int, section);
    QFETCH(int, position);
    QFETCH(QList<int>, entries);
    std::optional<QByteArray> shared;
    for (const int entry : entries) {
        const QByteArrayList body =
            sectionBody(linesOf(rhythmTexts[entry]), static_cast<Section>(section));
        const qsizetype at = position < 0 ? body.size() + position : position;
        QVERIFY2(at >= 0 && at < body.size(), QByteArray::number(entry));
        if (!shared) {
            shared = body[at];
        }
        QCOMPARE(body[at], *shared);
    }
}

QTEST_APPLESS_MAIN(TestCatalogue)

#include "tst_catalogue.moc"
