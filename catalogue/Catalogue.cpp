#include "Catalogue.h"
#include "FixedText.h"

#include <cstddef>

namespace pulsavo::catalogue {

namespace {

using namespace text;

constexpr char dangerLow[] = "危険度　★☆☆";
constexpr char dangerModerate[] = "危険度　★★☆";
constexpr char dangerHigh[] = "危険度　★★★";

constexpr char pointsHeading[] = "＜判定のポイント＞";
constexpr char waveformHeading[] = "＜波形の説明＞";
constexpr char actionHeading[] = "＜対処方法＞";
constexpr char drugsHeading[] = "＜使用される薬物＞";
constexpr char medicinesHeading[] = "＜使用される薬剤＞";
constexpr char empty[] = "";

constexpr char suddenAttack[] = "突然始まり、突然止まる頻拍発作である。";
constexpr char attacksRecur[] =
    "発作を繰り返すことはあるが予後は良好で、多くは自然に発作が起こらなくなる。";
constexpr char unexplainedPalpitations[] =
    "原因のはっきりしない動悸を訴える患者では、この頻拍であることが多い。";
constexpr char longAttackHeartFailure[] = "発作が長く続くと心不全に至ることがある。";
constexpr char vagalManoeuvres[] =
    "物理的方法（頸動脈洞圧迫、眼球圧迫、バルサルバ試験）で迷走神経反射を誘発する。";
constexpr char defibrillate[] = "電気的除細動を行う。";
constexpr char supraventricularDrugs[] = "ジギタリス製剤、ワソランなど";
constexpr char prepareDefibrillation[] = "除細動の準備をする。";
constexpr char xylocaine[] = "キシロカインなど";
constexpr char pacemaker[] = "ペースメーカーによる治療を行う。";
constexpr char watchBradycardiaSymptoms[] = "徐脈による症状の出現に注意する。";
constexpr char treatUnderlyingDisease[] = "原疾患の治療を行う。";

// One source line per line of text.
// clang-format off
constexpr auto sinusRhythm = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    "P波に続いてQRS波、T波が現れる。",
    "各波の間隔は正常である。",
    "正常な心拍数は毎分60～100回である。",
    empty,
    empty,
    empty,
    waveformHeading,
    "心房の興奮（P波）、心室の興奮（QRS波）、心筋の電気的興奮の回復（T波）からなる。",
    "洞結節自体の興奮は小さすぎて、波形としては現れない。",
    "P波の始まりからQRS波の始まりまでが、洞結節から房室結節までの伝導時間である。",
    empty,
    actionHeading,
    "原因（発熱、低体温、運動、情動など）を取り除く。",
    empty,
    drugsHeading,
    "著しい頻脈にはプロプラノロール",
    "著しい徐脈にはアトロピン");

constexpr auto supraventricularPremature = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    "基本のリズムから外れて、P波を伴うQRST波が現れる。",
    "形は正常の波形と異なることもあるが、波形内の各間隔は正常である。",
    empty,
    waveformHeading,
    "洞結節とは無関係に、心房内で始まった興奮によって起こる。",
    empty,
    actionHeading,
    "コーヒー、喫煙、飲酒を控える。",
    empty,
    drugsHeading,
    "インデラル、ワソラン、ジゴキシン、リスモダンなど");

constexpr auto atrialTachycardia = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    suddenAttack,
    "P波はあるが、多くの場合は他の波に隠れて判別できない。",
    empty,
    waveformHeading,
    "心室内に興奮の発生源がある頻拍で、PATとは機序が異なると考えられている。",
    "PSVTとの区別は難しく、両者を合わせて発作性上室性頻拍とも呼ぶ。",
    attacksRecur,
    unexplainedPalpitations,
    longAttackHeartFailure,
    empty,
    actionHeading,
    vagalManoeuvres,
    defibrillate,
    empty,
    drugsHeading,
    supraventricularDrugs);

constexpr auto junctionalTachycardia = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    suddenAttack,
    "先行するP波のないQRS-P波が連続する。",
    empty,
    waveformHeading,
    "接合部や房室結節などを旋回する興奮（リエントリー）によって起こる。",
    "多くの場合、P波がないことさえ判別できない。",
    "PATとの区別は難しく、両者を合わせて発作性上室性頻拍とも呼ぶ。",
    attacksRecur,
    unexplainedPalpitations,
    longAttackHeartFailure,
    empty,
    actionHeading,
    vagalManoeuvres,
    defibrillate,
    empty,
    drugsHeading,
    supraventricularDrugs);

constexpr auto atrialFibrillation = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "基線の細かい揺れ（f波）が赤で表示される。",
    "QRS波が不規則な間隔で現れる。",
    empty,
    waveformHeading,
    "心房内の無数の興奮源から無数のP波が生じ、これがf波となる。",
    "心房の興奮が不規則に心室へ伝わるため、RR間隔が不規則になる。",
    "心拍数は速いことも遅いこともある。",
    "心房が有効に収縮しないため血液がうっ滞し、心房内に血栓ができやすい。",
    "この血栓は脳梗塞や肺梗塞などの原因となる。",
    empty,
    actionHeading,
    "慢性の場合は頻脈・徐脈に注意して観察を続け、抗血栓薬で血栓を予防する。",
    "新たに発症した場合は治療が必要である。",
    "物理的方法として、電気的除細動やペースメーカーがある。",
    empty,
    drugsHeading,
    "ジギタリス");

constexpr auto atrialFlutter = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "やや大きく規則的な基線の揺れ（鋸歯状と表現されるF波）が赤で表示される。",
    "一定数のF波ごとに1回R波が現れる（不規則なこともある）。",
    empty,
    waveformHeading,
    "F波とR波の比によって、1:1伝導、2:1伝導のように呼ぶ。",
    "2:1伝導や1:1伝導では頻脈が著しく、緊急の治療が必要である。",
    empty,
    actionHeading,
    "ジギタリス製剤を使用する。");

constexpr auto sporadicPvc = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "幅の広いQRS波と逆向きのT波が赤で表示される。",
    "P波を伴わない。",
    empty,
    waveformHeading,
    "心室で発生した興奮によって起こる。",
    "拍出される血液が少なく好ましくない収縮だが、頻発しなければ臨床的な問題は少ない。",
    "健康な人でも1日に700回程度みられることがある。",
    "出現のしかたによっては危険なことがある。",
    empty,
    actionHeading,
    "1分間に6回以下であれば経過観察でよい。",
    "R on Tや連発（ショートラン）に注意する。",
    empty,
    medicinesHeading,
    xylocaine);

// The action heading of this text runs on inside the last waveform line.
constexpr auto multifocalPvc = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "形、大きさ、向きの異なる心室性期外収縮が現れる（2種類以上のPVC）。",
    empty,
    waveformHeading,
    "心室内に2つ以上の興奮源があり、複数の種類の波形が現れる。",
    concat("心室頻拍や心室細動に移行する危険性が高い。", actionHeading, prepareDefibrillation),
    empty,
    medicinesHeading,
    xylocaine);

constexpr auto rOnT = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "心室性期外収縮がT波の頂上付近（受攻期）に出現する。",
    empty,
    waveformHeading,
    "1回でも心室細動の引き金となるため、注意が必要である。",
    empty,
    actionHeading,
    prepareDefibrillation,
    empty,
    medicinesHeading,
    xylocaine);

// Unlike the others, this drug heading opens with an ASCII '<'.
constexpr auto shortRun = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "心室性期外収縮が2つ以上連続して現れる。",
    empty,
    waveformHeading,
    "2つ連続するものを2連発、3つ連続するものを3連発のように呼ぶ。",
    "3連発以上をショートラン、10連発以上をVTと呼ぶこともあるが、定義はあいまいである。",
    empty,
    actionHeading,
    prepareDefibrillation,
    empty,
    "<使用される薬剤＞",
    xylocaine);

constexpr auto ventricularTachycardia = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "大きな波が周期的に連続して現れる。",
    "突然、発作的に始まる。",
    empty,
    waveformHeading,
    "放置すると、心室粗動や心室細動に移行する可能性が高い。",
    "心室内で興奮が連続して発生している。",
    "多くは心室内のリエントリーによる。",
    "有効な心拍出がなく、失神や呼吸困難を伴うことが多い。",
    "動悸、胸痛、胸部不快感を訴えることが多い。",
    "心拍数の遅いものはスローVTと呼ばれ、心拍出量が比較的保たれることがある。",
    empty,
    actionHeading,
    "発症から30秒以内であれば、前胸部叩打が有効なことがある。",
    defibrillate,
    empty,
    medicinesHeading,
    xylocaine);

constexpr auto ventricularFibrillation = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "基線が大きく、まったく不規則に揺れ動く。",
    empty,
    waveformHeading,
    "心臓は細かく震えるだけで、血液をほとんど送り出せない。",
    "事実上の心停止状態である。",
    empty,
    actionHeading,
    "前胸部叩打を行う。",
    "心肺蘇生を開始する。",
    defibrillate,
    empty,
    medicinesHeading,
    xylocaine);

constexpr auto sinusArrest = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "PP間隔が一定でなくなる。",
    "P-QRS-T内の各間隔は正常である。",
    empty,
    waveformHeading,
    "洞結節の興奮が不規則になるために起こる。",
    "7～8秒以上波形が平坦になると、失神を起こすことがある。",
    "長い停止の後に、P波を伴わない補充収縮が現れることがある。",
    empty,
    actionHeading,
    pacemaker,
    empty,
    medicinesHeading,
    "プロタノール、アトロピン");

constexpr auto sinoatrialBlock = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "P-QRS-T波がまるごと脱落する。",
    "休止期はPP間隔の整数倍になる。",
    empty,
    waveformHeading,
    "洞結節の刺激が、心房に伝わる前にブロックされる。",
    "その結果、P波もQRS波も現れない。",
    "洞結節自体は規則的に興奮している。",
    "心電図上はSSSとの区別がほとんどできない。",
    "補充収縮がみられることがある。",
    empty,
    actionHeading,
    pacemaker,
    empty,
    medicinesHeading,
    "アトロピン、プロタノール");

constexpr auto firstDegreeBlock = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "PQ時間が延長している（0.24秒以上）。",
    empty,
    waveformHeading,
    "洞結節から房室結節までの伝導時間が延長している。",
    "PQ時間の延長以外は、洞調律と同じ波形である。",
    empty,
    actionHeading,
    treatUnderlyingDisease,
    "ブロックが進行しないか観察する。",
    empty,
    medicinesHeading,
    "アロテックなど");

constexpr auto mobitzBlock = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "P波の後に続くはずのQRS波が脱落する。",
    "脱落は不規則なタイミングで起こる。",
    empty,
    waveformHeading,
    "ときどき、洞結節の興奮が房室結節に伝わらなくなる。",
    "ブロックが頻回に起こるものを高度房室ブロックと呼ぶ。",
    empty,
    actionHeading,
    watchBradycardiaSymptoms,
    pacemaker,
    empty,
    drugsHeading,
    "アトロピン、プロタノールなど");

constexpr auto wenckebachBlock = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "PQ時間は最初は正常で、しだいに延長していく。",
    "最後にQRS波が脱落する。",
    "これが周期的に繰り返される。",
    empty,
    waveformHeading,
    "PQ時間の延長とQRS波の脱落の周期を、ウェンケバッハ周期と呼ぶ。",
    "可逆的なことが多く、原因を治療すると改善することが多い。",
    empty,
    empty,
    actionHeading,
    watchBradycardiaSymptoms,
    "ブロックの進行に注意して観察する。",
    treatUnderlyingDisease,
    empty,
    medicinesHeading,
    "アトロピン");

constexpr auto completeBlock = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "P波は出現するが、それに続くQRS波がない。",
    "房室結節より下位からの補充収縮が、P波とは無関係に一定のリズムで現れる。",
    empty,
    waveformHeading,
    "洞結節は興奮し心房も規則的に収縮するが、興奮は房室結節に伝わらない。",
    "刺激を受けない房室結節より下位の部分が、独立した第2のペースメーカーとなる。",
    "そのため、P波とQRS波はそれぞれ独立して出現する。",
    "房室結節より下位から興奮が起こるため、リズムは遅い。",
    "QRS波が心室性期外収縮（VPC）のような形になることがある。",
    empty,
    actionHeading,
    pacemaker,
    medicinesHeading,
    "アトロピン、プロタノールなど");
// clang-format on

} // namespace

const Entries rhythmNames{
    "洞調律",
    "心室性期外収縮(ＳＶＰＣ)",
    "心房性性頻拍(ＰＡＴ)",
    "接合部頻拍(ＰＳＶＴ)",
    "心房細動(Ａｆ)",
    "心房粗動(ＡＦ)",
    "心室性期外収縮（散発性）",
    "心室性期外収縮（多源性）",
    "心室性期外収縮（Ｒ　ｏｎ　Ｔ）",
    "心室性期外収縮（ショートラン型）",
    "心室頻拍(VT)",
    "心室粗・細動(VF)",
    "洞停止(ａｒｒｅｓｔ　,ＳＳＳ)",
    "洞房ブロック",
    "房室ブロック　Ⅰ度",
    "房室ブロック　Ⅱ度　モービッツ型",
    "房室ブロック　Ⅱ度　ウェッケンバッハ型",
    "房室ブロック　Ⅲ度",
};

const Entries rhythmTexts{
    sinusRhythm.view(),
    supraventricularPremature.view(),
    atrialTachycardia.view(),
    junctionalTachycardia.view(),
    atrialFibrillation.view(),
    atrialFlutter.view(),
    sporadicPvc.view(),
    multifocalPvc.view(),
    rOnT.view(),
    shortRun.view(),
    ventricularTachycardia.view(),
    ventricularFibrillation.view(),
    sinusArrest.view(),
    sinoatrialBlock.view(),
    firstDegreeBlock.view(),
    mobitzBlock.view(),
    wenckebachBlock.view(),
    completeBlock.view(),
};

int findRhythm(std::string_view name, Language language) {
    const Entries& names = namesIn(language);
    for (int i = 0; i < entryCount; ++i) {
        if (names[static_cast<std::size_t>(i)] == name) {
            return i;
        }
    }
    const LibraryEntries& library = libraryNamesIn(language);
    for (int i = 0; i < libraryRhythmCount; ++i) {
        if (library[static_cast<std::size_t>(i)] == name) {
            return indexOf(rhythmOf(static_cast<LibraryRhythm>(i)));
        }
    }
    return noEntry;
}

int findRhythm(std::string_view name) {
    return findRhythm(name, Language::japanese);
}

} // namespace pulsavo::catalogue
