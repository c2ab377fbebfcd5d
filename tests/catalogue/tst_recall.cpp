#include "Catalogue.h"
#include "Cp932.h"
#include "Recall.h"

#include <QTest>

#include <vector>

using namespace pulsavo;
using namespace pulsavo::catalogue;

Q_DECLARE_METATYPE(std::vector<pulsavo::Rhythm>)

namespace {

using Rhythms = std::vector<Rhythm>;
using L = LibraryRhythm;

Rhythm lib(LibraryRhythm rhythm) {
    return rhythmOf(rhythm);
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

// A row whose tag is what is typed; a non-empty canonical name marks a close misspelling.
void row(const char* typed, const Rhythms& inPlay, const Rhythms& expected,
         const char* canonical = "", const char* tag = nullptr, bool prefix = false) {
    QTest::newRow(tag ? tag : typed)
        << QString::fromUtf8(typed) << inPlay << expected << QString::fromUtf8(canonical) << prefix;
}

void prefixRow(const char* typed, const Rhythms& inPlay, const Rhythms& expected,
               const char* first = "", const char* tag = nullptr) {
    row(typed, inPlay, expected, first, tag ? tag : qPrintable(QStringLiteral("prefix ") + typed),
        true);
}

} // namespace

class TestRecall : public QObject {
    Q_OBJECT

private slots:
    void foldsTypedText_data();
    void foldsTypedText();
    void matchesOrCompletesTypedName_data();
    void matchesOrCompletesTypedName();
    void everyRhythmIsReachableByNamesAndReading();
};

// Width, case, separators and numerals fold away; romaji variants (Hepburn, Kunrei, long vowels
// written or not, n/m, small tsu) read as one key, and kana reads as its romaji.
void TestRecall::foldsTypedText_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("romaji");
    // typed > folded; then, after a blank entry, typed > romaji key.
    const QString rows = QString::fromUtf8(
        "ＡＦｉｂ>afib|ｳｪﾝｹﾊﾞｯﾊ>うぇんけばっは|ﾍﾟｰｽ>ぺーす|トルサード>とるさーど|"
        "Wolff-Parkinson・White "
        "(WPW)>wolffparkinsonwhitewpw|心房粗動（２：１伝導）>心房粗動2:1伝導|"
        "Ⅲ度>3度|d\u014dch\u014d>doochoo| ・-（）>||douchouritsu>dochoritsu|doutyouritu>dochoritsu|"
        "doochooritsu>dochoritsu|dochoritsu>dochoritsu|sinnbousaidou>shinbosaido|"
        "shimbosaido>shinbosaido|konnichi>konnichi|huzen>fuzen|wenkebahha>wenkebahha|"
        "ぺーすめーかー>pesumeka|しんぼうさいどう>shinbosaido|flutter>|洞調律>");
    bool romaji = false;
    for (const QString& row : rows.split(QLatin1Char('|'))) {
        const QStringList parts = row.split(QLatin1Char('>'));
        romaji = romaji || row.isEmpty();
        if (!row.isEmpty()) {
            QTest::newRow(qPrintable(row)) << parts[0] << parts[1] << romaji;
        }
    }
}

void TestRecall::foldsTypedText() {
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QFETCH(bool, romaji);
    const std::string folded = normalizeTyped(typed.toStdString());
    QCOMPARE(QString::fromStdString(romaji ? romajiKey(folded) : folded), expected);
}

void TestRecall::matchesOrCompletesTypedName_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Rhythms>("inPlay");
    QTest::addColumn<Rhythms>("expected");
    QTest::addColumn<QString>("canonical");
    QTest::addColumn<bool>("prefix");
    const Rhythm af = Rhythm::atrialFibrillation;
    const Rhythm wenck = lib(L::mobitz1);
    const Rhythm mobitz2 = lib(L::mobitz2);
    const Rhythm chb = Rhythm::completeBlock;
    const Rhythm vt = Rhythm::ventricularTachycardia;
    const Rhythms round{Rhythm::sinusRhythm, af, vt, chb, wenck, mobitz2, lib(L::svtAvnrt),
                        lib(L::torsades)};

    // Japanese in every script, English, abbreviations.
    row("ｳｪﾝｹﾊﾞｯﾊ", round, {wenck});
    row("sinbosaido", round, {af});
    row("3度房室ブロック", round, {chb});
    row("心房細動（Ａｆ）", round, {af});
    row("a-fib", round, {af});
    row("1°AVB", classic, {Rhythm::firstDegreeBlock});
    row("2:1", library(), {lib(L::avBlock2to1)});
    row("PVC", {Rhythm::sinusRhythm, Rhythm::rOnT, Rhythm::sporadicPvc}, {Rhythm::sporadicPvc});
    row("モビッツ", round, {mobitz2});
    // The abbreviations ward staff type: each a row, since any one can drop from the table alone.
    for (const auto& [typed, rhythm] : {std::pair{"Af", af},
                                        {"wenck", wenck},
                                        {"chb", chb},
                                        {"PSVT", lib(L::svtAvnrt)},
                                        {"tdp", lib(L::torsades)}}) {
        row(typed, round, {rhythm});
    }

    // Ambiguity: every candidate it could be, in candidate order.
    const Rhythms vfs{lib(L::vfFine), lib(L::asystole), lib(L::vfCoarse)};
    row("VF", vfs, {lib(L::vfFine), lib(L::vfCoarse)}, "", "VF, coarse and fine");
    row("flutter", library(),
        {lib(L::flutter2to1), lib(L::flutter4to1), lib(L::flutterVariable), lib(L::flutter3to1)});
    row("Mobitz", round, {wenck, mobitz2});
    row("AF", {af, lib(L::afRapid)}, {af, lib(L::afRapid)}, "", "classic and library twin");
    row("AF", {Rhythm::atrialFlutter, af}, {Rhythm::atrialFlutter, af}, "", "AF names flutter");

    // Candidates restrict: only what is in play, and a rhythm named exactly is never another.
    row("AF", {lib(L::afRapid)}, {lib(L::afRapid)}, "", "twin out of play");
    row("心室細動", round, {}, "", "exact name of a rhythm not in play");
    row("VT", {Rhythm::ventricularFibrillation}, {}, "", "VT is no slip of VF");
    row("PAC", {Rhythm::sporadicPvc}, {}, "", "PAC is no slip of PVC");
    row("VT", {vt, vt}, {vt}, "", "candidate repeated");

    // Misspellings: within the distance they count and name the rhythm; beyond, nothing.
    row("asytole", {lib(L::asystole)}, {lib(L::asystole)}, "Asystole");
    row("wenkc", round, {wenck}, "Second-degree heart block, Mobitz I (Wenckebach)");
    row("atrial fibrilaton", round, {af}, "Atrial fibrillation (AF)");
    row("wnk", round, {});
    row("atrail fibrilaton", round, {});
    row("心房細勤", round, {af}, "心房細動(Ａｆ)");
    row("うぇんけばは", round, {wenck}, "Ⅱ度房室ブロック（ウェンケバッハ型）");
    row("shinbosaidoo", round, {af});
    row("shinbosiado", round, {af}, "心房細動(Ａｆ)");
    row("心房組動", {af}, {}, "", "slip as near another rhythm out of play");
    row("TdQ", round, {});
    row("  ", round, {}, "", "empty");

    // Completing a prefix (the canonical column holds the first entry offered).
    // The whole abbreviation first, then the shorter entry, then candidate order.
    prefixRow("vf", {lib(L::ventricularFlutter), lib(L::vfFine)},
              {lib(L::vfFine), lib(L::ventricularFlutter)}, "VF");
    prefixRow("心室", {lib(L::torsades), lib(L::nsvt), lib(L::vtMonomorphic)},
              {lib(L::vtMonomorphic)}, "心室頻拍");
    prefixRow("flutter", {lib(L::flutterVariable), lib(L::flutter2to1), lib(L::ventricularFlutter)},
              {lib(L::flutterVariable), lib(L::flutter2to1)}, "flutter");
    prefixRow("uenk", {Rhythm::wenckebachBlock}, {}, "", "romaji prefix mid-syllable");
    prefixRow("wenk", {Rhythm::sinusRhythm, Rhythm::wenckebachBlock}, {Rhythm::wenckebachBlock},
              "ウェンケバッハ");
    prefixRow("トルサ", {lib(L::torsades)}, {lib(L::torsades)}, "トルサード");
    prefixRow("tors", {Rhythm::sinusRhythm}, {}, "", "out of play never offered");
    prefixRow("", classic, {}, "", "empty prefix offers nothing");
}

void TestRecall::matchesOrCompletesTypedName() {
    QFETCH(QString, typed);
    QFETCH(Rhythms, inPlay);
    QFETCH(Rhythms, expected);
    QFETCH(QString, canonical);
    QFETCH(bool, prefix);
    Rhythms got;
    std::string_view name; // a close misspelling's canonical name or the first entry offered
    if (prefix) {
        const std::vector<Completion> completions = completeTypedName(typed.toStdString(), inPlay);
        for (const Completion& completion : completions) {
            got.push_back(completion.rhythm);
        }
        name = completions.empty() ? "" : completions.front().entry;
    } else {
        const RecallResult result = matchTypedName(typed.toStdString(), inPlay);
        got = result.rhythms;
        QCOMPARE(result.closeMisspelling, !canonical.isEmpty());
        QCOMPARE(result.matchedEntry.empty(), got.empty());
        name = result.closeMisspelling ? result.canonicalName : "";
    }
    QCOMPARE(show(got), show(expected));
    QCOMPARE(QString::fromUtf8(name.data(), qsizetype(name.size())), canonical);
}

// Both names, the first alias (a kana reading, stored in code page 932 like every alias) and
// its romaji find each rhythm alone and among all; a rhythm's own name brings in no other family.
void TestRecall::everyRhythmIsReachableByNamesAndReading() {
    Rhythms all;
    for (int i = 0; i < totalRhythmCount; ++i) {
        all.push_back(*anyRhythmAt(i));
    }
    for (const Rhythm rhythm : all) {
        const auto aliases = recallAliasesOf(rhythm);
        QVERIFY(!aliases.empty());
        for (const std::string_view alias : aliases) {
            QVERIFY2(testing::cp932Size(alias) > 0, std::string(alias).c_str());
        }
        const std::string reading = romajiKey(normalizeTyped(aliases.front()));
        QVERIFY2(!reading.empty() &&
                     normalizeTyped(aliases.front()).find_first_of("abcdefghijklmnopqrstuvwxyz") ==
                         std::string::npos,
                 aliases.front().data());
        for (const std::string& text : {std::string(nameOf(rhythm, Language::japanese)),
                                        std::string(nameOf(rhythm, Language::english)),
                                        std::string(aliases.front()), reading}) {
            const RecallResult alone = matchTypedName(text, Rhythms{rhythm});
            QVERIFY2(alone.matched() && !alone.closeMisspelling, text.c_str());
            const Rhythms amongAll = matchTypedName(text, all).rhythms;
            QVERIFY2(std::find(amongAll.begin(), amongAll.end(), rhythm) != amongAll.end(),
                     text.c_str());
        }
        const RecallResult byName = matchTypedName(nameOf(rhythm, Language::english), all);
        QVERIFY2(byName.rhythms.size() <= 2, nameOf(rhythm, Language::english).data());
    }
}

QTEST_APPLESS_MAIN(TestRecall)
#include "tst_recall.moc"
