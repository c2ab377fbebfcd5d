#include "Catalogue.h"
#include "Cp932.h"
#include "Recall.h"

#include <QTest>

#include <vector>

using namespace pulsavo;
using namespace pulsavo::catalogue;

Q_DECLARE_METATYPE(pulsavo::Rhythm)
Q_DECLARE_METATYPE(std::vector<pulsavo::Rhythm>)

namespace {

using Rhythms = std::vector<Rhythm>;

Rhythm lib(LibraryRhythm rhythm) {
    return rhythmOf(rhythm);
}

Rhythms allInPlay() {
    Rhythms all;
    for (int i = 0; i < totalRhythmCount; ++i) {
        all.push_back(*anyRhythmAt(i));
    }
    return all;
}

const Rhythms classic(allRhythms.begin(), allRhythms.end());

Rhythms library() {
    Rhythms rhythms;
    for (const LibraryRhythm rhythm : allLibraryRhythms) {
        rhythms.push_back(rhythmOf(rhythm));
    }
    return rhythms;
}

QString show(const Rhythms& rhythms) {
    QStringList ids;
    for (const Rhythm rhythm : rhythms) {
        ids << QString::fromStdString(rhythmId(rhythm));
    }
    return ids.join(QLatin1Char(','));
}

} // namespace

class TestRecall : public QObject {
    Q_OBJECT

private slots:
    void normalizesWidthCaseAndSeparators_data();
    void normalizesWidthCaseAndSeparators();
    void readsRomajiVariantsAlike_data();
    void readsRomajiVariantsAlike();
    void matchesTypedName_data();
    void matchesTypedName();
    void completesPrefixBestFirst_data();
    void completesPrefixBestFirst();
    void everyRhythmIsReachableByNamesAndReading();
    void aliasesAreCodePage932();
};

void TestRecall::normalizesWidthCaseAndSeparators_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("normalized");
    QTest::newRow("full-width Latin, case") << "ＡＦｉｂ"
                                            << "afib";
    QTest::newRow("half-width katakana with dakuten") << "ｳｪﾝｹﾊﾞｯﾊ"
                                                      << "うぇんけばっは";
    QTest::newRow("half-width handakuten") << "ﾍﾟｰｽ"
                                           << "ぺーす";
    QTest::newRow("katakana to hiragana") << "トルサード"
                                          << "とるさーど";
    QTest::newRow("spaces, hyphens, dots, brackets") << "Wolff-Parkinson・White (WPW)"
                                                     << "wolffparkinsonwhitewpw";
    QTest::newRow("ideographic space and full-width brackets") << "心房粗動（２：１伝導）"
                                                               << "心房粗動2:1伝導";
    QTest::newRow("roman numerals to digits") << "Ⅲ度"
                                              << "3度";
    QTest::newRow("macron doubles the vowel") << "d\u014dch\u014d"
                                              << "doochoo";
    QTest::newRow("empty after dropping") << " ・-（）"
                                          << "";
}

void TestRecall::normalizesWidthCaseAndSeparators() {
    QFETCH(QString, typed);
    QFETCH(QString, normalized);
    QCOMPARE(QString::fromStdString(normalizeTyped(typed.toStdString())), normalized);
}

void TestRecall::readsRomajiVariantsAlike_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("key");
    QTest::newRow("Hepburn with long vowels") << "douchouritsu"
                                              << "dochoritsu";
    QTest::newRow("Kunrei") << "doutyouritu"
                            << "dochoritsu";
    QTest::newRow("long vowels as oo") << "doochooritsu"
                                       << "dochoritsu";
    QTest::newRow("long vowels dropped") << "dochoritsu"
                                         << "dochoritsu";
    QTest::newRow("si for shi, nn") << "sinnbousaidou"
                                    << "shinbosaido";
    QTest::newRow("m before b") << "shimbosaido"
                                << "shinbosaido";
    QTest::newRow("n before a vowel keeps its syllable") << "konnichi"
                                                         << "konnichi";
    QTest::newRow("hu for fu, zi for ji") << "huzen"
                                          << "fuzen";
    QTest::newRow("small tsu doubles") << "wenkebahha"
                                       << "wenkebahha";
    QTest::newRow("katakana long mark") << "ぺーすめーかー"
                                        << "pesumeka";
    QTest::newRow("kana and romaji agree") << "しんぼうさいどう"
                                           << "shinbosaido";
    QTest::newRow("English is no romaji") << "flutter"
                                          << "";
    QTest::newRow("kanji is no romaji") << "洞調律"
                                        << "";
}

void TestRecall::readsRomajiVariantsAlike() {
    QFETCH(QString, typed);
    QFETCH(QString, key);
    QCOMPARE(QString::fromStdString(romajiKey(normalizeTyped(typed.toStdString()))), key);
}

void TestRecall::matchesTypedName_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Rhythms>("inPlay");
    QTest::addColumn<Rhythms>("expected");
    QTest::addColumn<bool>("close");
    QTest::addColumn<QString>("canonical");

    const Rhythm af = Rhythm::atrialFibrillation;
    const Rhythm wenck = lib(LibraryRhythm::mobitz1);
    const Rhythm mobitz2 = lib(LibraryRhythm::mobitz2);
    const Rhythm chb = Rhythm::completeBlock;
    const Rhythms round{Rhythm::sinusRhythm,
                        af,
                        Rhythm::ventricularTachycardia,
                        chb,
                        wenck,
                        mobitz2,
                        lib(LibraryRhythm::svtAvnrt),
                        lib(LibraryRhythm::torsades)};

    // Japanese in every script.
    QTest::newRow("kanji") << "心房細動" << round << Rhythms{af} << false << "";
    QTest::newRow("hiragana") << "しんぼうさいどう" << round << Rhythms{af} << false << "";
    QTest::newRow("katakana") << "シンボウサイドウ" << round << Rhythms{af} << false << "";
    QTest::newRow("half-width katakana") << "ｳｪﾝｹﾊﾞｯﾊ" << round << Rhythms{wenck} << false << "";
    QTest::newRow("romaji Hepburn") << "shinbousaidou" << round << Rhythms{af} << false << "";
    QTest::newRow("romaji Kunrei, short vowels")
        << "sinbosaido" << round << Rhythms{af} << false << "";
    QTest::newRow("romaji of a katakana word")
        << "torusaadodopowanto" << round << Rhythms{lib(LibraryRhythm::torsades)} << false << "";
    QTest::newRow("3度房室ブロック") << "3度房室ブロック" << round << Rhythms{chb} << false << "";
    QTest::newRow("完全房室ブロック") << "完全房室ブロック" << round << Rhythms{chb} << false << "";
    QTest::newRow("full-width displayed name")
        << "心房細動（Ａｆ）" << round << Rhythms{af} << false << "";

    // English and abbreviations.
    QTest::newRow("English name, any case")
        << "ATRIAL FIBRILLATION" << round << Rhythms{af} << false << "";
    QTest::newRow("Af") << "Af" << round << Rhythms{af} << false << "";
    QTest::newRow("afib") << "a-fib" << round << Rhythms{af} << false << "";
    QTest::newRow("wenck") << "wenck" << round << Rhythms{wenck} << false << "";
    QTest::newRow("chb") << "chb" << round << Rhythms{chb} << false << "";
    QTest::newRow("PSVT") << "PSVT" << round << Rhythms{lib(LibraryRhythm::svtAvnrt)} << false
                          << "";
    QTest::newRow("TdP") << "tdp" << round << Rhythms{lib(LibraryRhythm::torsades)} << false << "";
    QTest::newRow("1 degree sign")
        << "1°AVB" << classic << Rhythms{Rhythm::firstDegreeBlock} << false << "";
    QTest::newRow("2:1") << "2:1" << library() << Rhythms{lib(LibraryRhythm::avBlock2to1)} << false
                         << "";
    QTest::newRow("PVC among the classic")
        << "PVC" << Rhythms{Rhythm::sinusRhythm, Rhythm::rOnT, Rhythm::sporadicPvc}
        << Rhythms{Rhythm::sporadicPvc} << false << "";
    QTest::newRow("Japanese Mobitz is type II")
        << "モビッツ" << round << Rhythms{mobitz2} << false << "";

    // Ambiguity: every candidate it could be, in candidate order.
    QTest::newRow("VF, coarse and fine")
        << "VF"
        << Rhythms{lib(LibraryRhythm::vfFine), lib(LibraryRhythm::asystole),
                   lib(LibraryRhythm::vfCoarse)}
        << Rhythms{lib(LibraryRhythm::vfFine), lib(LibraryRhythm::vfCoarse)} << false << "";
    QTest::newRow("flutter, several ratios")
        << "flutter" << library()
        << Rhythms{lib(LibraryRhythm::flutter2to1), lib(LibraryRhythm::flutter4to1),
                   lib(LibraryRhythm::flutterVariable), lib(LibraryRhythm::flutter3to1)}
        << false << "";
    QTest::newRow("English Mobitz, both types")
        << "Mobitz" << round << Rhythms{wenck, mobitz2} << false << "";
    QTest::newRow("classic and library twin")
        << "AF" << Rhythms{af, lib(LibraryRhythm::afRapid)}
        << Rhythms{af, lib(LibraryRhythm::afRapid)} << false << "";
    QTest::newRow("classic AF also names flutter")
        << "AF" << Rhythms{Rhythm::atrialFlutter, af} << Rhythms{Rhythm::atrialFlutter, af} << false
        << "";

    // Candidates restrict: only what is in play, and a rhythm named exactly is never another.
    QTest::newRow("twin out of play") << "AF" << Rhythms{lib(LibraryRhythm::afRapid)}
                                      << Rhythms{lib(LibraryRhythm::afRapid)} << false << "";
    QTest::newRow("only fine VF in play") << "VF" << Rhythms{lib(LibraryRhythm::vfFine)}
                                          << Rhythms{lib(LibraryRhythm::vfFine)} << false << "";
    QTest::newRow("exact name of a rhythm not in play")
        << "心室細動" << round << Rhythms{} << false << "";
    QTest::newRow("VT is no slip of VF")
        << "VT" << Rhythms{Rhythm::ventricularFibrillation} << Rhythms{} << false << "";
    QTest::newRow("PAC is no slip of PVC")
        << "PAC" << Rhythms{Rhythm::sporadicPvc} << Rhythms{} << false << "";
    QTest::newRow("candidate repeated")
        << "VT" << Rhythms{Rhythm::ventricularTachycardia, Rhythm::ventricularTachycardia}
        << Rhythms{Rhythm::ventricularTachycardia} << false << "";

    // Misspellings: within the distance they count and name the rhythm; beyond, nothing.
    QTest::newRow("three slips beyond 6") << "wnceknbach" << round << Rhythms{} << false << "";
    QTest::newRow("one slip in 6") << "asytole" << Rhythms{lib(LibraryRhythm::asystole)}
                                   << Rhythms{lib(LibraryRhythm::asystole)} << true << "Asystole";
    QTest::newRow("transposition counts once")
        << "wenkc" << round << Rhythms{wenck} << true
        << "Second-degree heart block, Mobitz I (Wenckebach)";
    QTest::newRow("one slip beyond 6")
        << "atrial fibrilation" << round << Rhythms{af} << true << "Atrial fibrillation (AF)";
    QTest::newRow("two slips beyond 6")
        << "atrial fibrilaton" << round << Rhythms{af} << true << "Atrial fibrillation (AF)";
    QTest::newRow("two slips within 6 are too many") << "wnk" << round << Rhythms{} << false << "";
    QTest::newRow("three slips, English")
        << "atrail fibrilaton" << round << Rhythms{} << false << "";
    QTest::newRow("kanji slip") << "心房細勤" << round << Rhythms{af} << true << "心房細動(Ａｆ)";
    QTest::newRow("kana slip") << "うぇんけばは" << round << Rhythms{wenck} << true
                               << "Ⅱ度房室ブロック（ウェンケバッハ型）";
    QTest::newRow("romaji long vowel is no slip")
        << "shinbosaidoo" << round << Rhythms{af} << false << "";
    QTest::newRow("romaji transposition")
        << "shinbosiado" << round << Rhythms{af} << true << "心房細動(Ａｆ)";
    QTest::newRow("slip as near another rhythm out of play")
        << "心房組動" << Rhythms{af} << Rhythms{} << false << "";
    QTest::newRow("no slips in a short abbreviation") << "TdQ" << round << Rhythms{} << false << "";
    QTest::newRow("nothing") << "heart attack" << round << Rhythms{} << false << "";
    QTest::newRow("empty") << "  " << round << Rhythms{} << false << "";
}

void TestRecall::matchesTypedName() {
    QFETCH(QString, typed);
    QFETCH(Rhythms, inPlay);
    QFETCH(Rhythms, expected);
    QFETCH(bool, close);
    QFETCH(QString, canonical);
    const RecallResult result = matchTypedName(typed.toStdString(), inPlay);
    QCOMPARE(show(result.rhythms), show(expected));
    QCOMPARE(result.closeMisspelling, close);
    QCOMPARE(result.none(), expected.empty());
    QCOMPARE(result.ambiguous(), expected.size() > 1);
    QCOMPARE(result.matchedEntry.empty(), expected.empty());
    if (close) {
        QCOMPARE(QString::fromStdString(std::string(result.canonicalName)), canonical);
    }
}

void TestRecall::completesPrefixBestFirst_data() {
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<Rhythms>("inPlay");
    QTest::addColumn<Rhythms>("expected");
    QTest::addColumn<QString>("firstEntry");
    const Rhythms flutters{lib(LibraryRhythm::flutterVariable), lib(LibraryRhythm::flutter2to1),
                           lib(LibraryRhythm::ventricularFlutter)};
    QTest::newRow("whole abbreviation first")
        << "vf" << Rhythms{lib(LibraryRhythm::ventricularFlutter), lib(LibraryRhythm::vfFine)}
        << Rhythms{lib(LibraryRhythm::vfFine), lib(LibraryRhythm::ventricularFlutter)} << "VF";
    QTest::newRow("shorter entry first")
        << "心室"
        << Rhythms{lib(LibraryRhythm::torsades), lib(LibraryRhythm::nsvt),
                   lib(LibraryRhythm::vtMonomorphic)}
        << Rhythms{lib(LibraryRhythm::vtMonomorphic)} << "心室頻拍";
    QTest::newRow("candidate order breaks ties")
        << "flutter" << flutters
        << Rhythms{lib(LibraryRhythm::flutterVariable), lib(LibraryRhythm::flutter2to1)}
        << "flutter";
    QTest::newRow("romaji prefix mid-syllable")
        << "uenk" << Rhythms{Rhythm::wenckebachBlock} << Rhythms{} << "";
    QTest::newRow("romaji prefix")
        << "wenk" << Rhythms{Rhythm::sinusRhythm, Rhythm::wenckebachBlock}
        << Rhythms{Rhythm::wenckebachBlock} << "ウェンケバッハ";
    QTest::newRow("kana prefix in katakana")
        << "トルサ" << Rhythms{lib(LibraryRhythm::torsades)}
        << Rhythms{lib(LibraryRhythm::torsades)} << "トルサード";
    QTest::newRow("out of play never offered")
        << "tors" << Rhythms{Rhythm::sinusRhythm} << Rhythms{} << "";
    QTest::newRow("empty prefix offers nothing") << "" << classic << Rhythms{} << "";
}

void TestRecall::completesPrefixBestFirst() {
    QFETCH(QString, prefix);
    QFETCH(Rhythms, inPlay);
    QFETCH(Rhythms, expected);
    QFETCH(QString, firstEntry);
    const std::vector<Completion> completions = completeTypedName(prefix.toStdString(), inPlay);
    Rhythms got;
    for (const Completion& completion : completions) {
        got.push_back(completion.rhythm);
    }
    QCOMPARE(show(got), show(expected));
    if (!completions.empty()) {
        QCOMPARE(QString::fromStdString(std::string(completions.front().entry)), firstEntry);
    }
}

void TestRecall::everyRhythmIsReachableByNamesAndReading() {
    const Rhythms all = allInPlay();
    for (const Rhythm rhythm : all) {
        const Rhythms alone{rhythm};
        std::vector<std::string> typed{std::string(nameOf(rhythm, Language::japanese)),
                                       std::string(nameOf(rhythm, Language::english))};
        const auto aliases = recallAliasesOf(rhythm);
        QVERIFY(!aliases.empty());
        const std::string reading = romajiKey(normalizeTyped(aliases.front()));
        QVERIFY2(!reading.empty() &&
                     normalizeTyped(aliases.front()).find_first_of("abcdefghijklmnopqrstuvwxyz") ==
                         std::string::npos,
                 aliases.front().data());
        typed.emplace_back(aliases.front());
        typed.push_back(reading);
        for (const std::string& text : typed) {
            const RecallResult result = matchTypedName(text, alone);
            QVERIFY2(result.matched() && !result.closeMisspelling, text.c_str());
            const RecallResult amongAll = matchTypedName(text, all);
            QVERIFY2(std::find(amongAll.rhythms.begin(), amongAll.rhythms.end(), rhythm) !=
                         amongAll.rhythms.end(),
                     text.c_str());
        }
        // A rhythm's own name never brings in a rhythm of another family.
        const RecallResult byName = matchTypedName(nameOf(rhythm, Language::english), all);
        QVERIFY2(byName.rhythms.size() <= 2, nameOf(rhythm, Language::english).data());
    }
}

void TestRecall::aliasesAreCodePage932() {
    for (int i = 0; i < totalRhythmCount; ++i) {
        for (const std::string_view alias : recallAliasesOf(*anyRhythmAt(i))) {
            QVERIFY2(testing::cp932Size(alias) > 0, std::string(alias).c_str());
        }
    }
}

QTEST_APPLESS_MAIN(TestRecall)
#include "tst_recall.moc"
