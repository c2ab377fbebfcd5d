#include "DecidingCriteria.h"

#include "Catalogue.h"
#include "KeyPoints.h"

#include <array>
#include <utility>

namespace pulsavo::catalogue {

namespace {

using enum LibraryRhythm;
using Pair = std::pair<std::string_view, std::string_view>; // Japanese, English

constexpr unsigned prConducted = prNormal | prLong | prShort;
constexpr unsigned prAbsent = prNone | prVaries;

TextbookRange libraryRange(LibraryRhythm rhythm) {
    using enum QrsWidth;
    switch (rhythm) {
    case sinusRhythm:
        return {60, 100, prNormal, narrow};
    case sinusBradycardia:
        return {40, 59, prNormal, narrow};
    case sinusTachycardia:
        return {101, 160, prNormal, narrow};
    case sinusArrhythmia:
        return {60, 100, prNormal, narrow};
    case sinusArrest:
    case saBlock:
        return {40, 100, prNormal, narrow};
    case pac:
    case pjc:
        return {60, 110, prNormal | prShort | prVaries, narrow};
    case atrialTachycardia:
        return {150, 250, prNormal | prShort, narrow};
    case mat:
        return {100, 150, prNormal | prShort | prVaries, narrow};
    case afControlled:
        return {50, 110, prNone, narrow};
    case afRapid:
        return {101, 180, prNone, narrow};
    case flutter2to1:
        return {125, 175, prNone, narrow};
    case flutter3to1:
        return {83, 117, prNone, narrow};
    case flutter4to1:
        return {62, 88, prNone, narrow};
    case flutterVariable:
        return {60, 175, prNone, narrow};
    case junctionalEscape:
        return {40, 60, prNone | prShort, narrow};
    case acceleratedJunctional:
        return {61, 100, prNone | prShort, narrow};
    case junctionalTachycardia:
        return {101, 140, prNone | prShort, narrow};
    case svtAvnrt:
        return {150, 250, prNone | prShort, narrow};
    case wpw:
        return {60, 100, prShort, either};
    case avBlock1:
        return {60, 100, prLong, narrow};
    case mobitz1:
        return {40, 95, prVaries, narrow};
    case mobitz2:
        return {40, 100, prNormal, either};
    case avBlock2to1:
        return {35, 50, prNormal, narrow};
    case chbNarrow:
        return {35, 60, prAbsent, narrow};
    case chbWide:
        return {20, 40, prAbsent, wide};
    case pvcUnifocal:
    case pvcMultifocal:
    case ventricularBigeminy:
    case ventricularTrigeminy:
    case pvcCouplets:
    case pvcROnT:
        return {60, 130, prNormal | prVaries, either};
    case nsvt:
        return {60, 150, prNormal | prVaries, either};
    case idioventricular:
        return {20, 40, prNone, wide};
    case aivr:
        return {40, 100, prNone, wide};
    case vtMonomorphic:
        return {100, 250, prAbsent, wide};
    case vtPulseless:
        return {150, 250, prAbsent, wide};
    case torsades:
        return {200, 250, prNone, wide};
    case ventricularFlutter:
        return {250, 350, prNone, either};
    case vfCoarse:
    case vfFine:
    case asystole:
    case pWaveAsystole:
        return {0, 0, prNone, none};
    case pacedAtrial:
        return {60, 80, prNormal | prLong, narrow};
    case pacedVentricular:
        return {60, 80, prNone, wide};
    case pacedAv:
        return {60, 80, prConducted, wide};
    case pacedFailureToCapture:
        return {20, 80, prNone, wide};
    case pacedFailureToSense:
        return {60, 130, prNormal | prVaries, either};
    case bbb:
        return {60, 100, prNormal, wide};
    case pea:
        return {40, 100, prNormal, either};
    }
    return {};
}

// The classic rhythms, each as the library rhythm it is taught as.
constexpr std::array<LibraryRhythm, rhythmCount> classicTaughtAs{
    sinusRhythm,  pac,         atrialTachycardia, junctionalTachycardia,
    afControlled, flutter4to1, pvcUnifocal,       pvcMultifocal,
    pvcROnT,      nsvt,        vtMonomorphic,     vfCoarse,
    sinusArrest,  saBlock,     avBlock1,          mobitz2,
    mobitz1,      chbWide,
};

struct PairRow {
    LibraryRhythm first;
    LibraryRhythm second;
    Pair text;
};

// One sign per pair that a reader can check on the strip itself.
constexpr PairRow pairRows[] = {
    // AV blocks among themselves, and what they are taken for.
    {avBlock1,
     mobitz1,
     {"1度房室ブロック: すべての P 波に QRS が続き、PR は長いまま一定。Mobitz I: PR が"
      "しだいに延び、QRS の続かない P 波がある。",
      "First-degree block: every P is followed by a QRS and the long PR stays the same. "
      "Mobitz I: the PR lengthens until a P has no QRS."}},
    {mobitz1,
     mobitz2,
     {"Mobitz II: 脱落の前後で PR が一定。Mobitz I: PR がしだいに延びて脱落し、脱落直後の "
      "PR が最も短い。",
      "Mobitz II: the PR is the same before and after the dropped beat. Mobitz I: the PR "
      "lengthens up to the drop and is shortest right after it."}},
    {mobitz2,
     avBlock2to1,
     {"2:1 ブロック: P 波が一つおきに伝わらず、PR の変化は判定できない。Mobitz II: 同じ PR "
      "の伝導が2拍以上続いたあと、突然 QRS が脱落する。",
      "2:1 block: every second P is blocked, so no PR trend can be seen. Mobitz II: two or "
      "more beats conduct with the same PR before a sudden drop."}},
    {mobitz1,
     avBlock2to1,
     {"2:1 ブロック: P 波が一つおきに伝わらず、伝わる PR は一定。Mobitz I: 連続して伝わる"
      "拍の PR がしだいに延びる。",
      "2:1 block: every second P is blocked and the conducted PR is constant. Mobitz I: "
      "consecutive conducted beats show a lengthening PR."}},
    {avBlock2to1,
     chbNarrow,
     {"2:1 ブロック: 伝わった拍の PR が毎回同じ。完全房室ブロック: PR がばらばらで、P 波は "
      "QRS と無関係に一定間隔で並ぶ。",
      "2:1 block: the conducted beats have the same PR every time. Complete block: the PR is "
      "never the same; P waves march through at their own rate, unrelated to the QRS."}},
    {mobitz2,
     chbNarrow,
     {"Mobitz II: 伝わった拍の PR は一定。完全房室ブロック: P 波と QRS に関係がなく、PR が"
      "毎回違う。",
      "Mobitz II: the conducted beats keep one PR. Complete block: P waves and QRS are "
      "unrelated and the PR differs every time."}},
    {mobitz2,
     chbWide,
     {"Mobitz II: 伝わった拍の PR は一定。完全房室ブロック: P 波と幅の広い補充収縮は無関係で、"
      "PR が毎回違う。",
      "Mobitz II: the conducted beats keep one PR. Complete block: P waves and the wide escape "
      "beats are unrelated and the PR differs every time."}},
    {mobitz1,
     chbNarrow,
     {"Mobitz I: PR は延びながらも P 波と QRS の対応がある。完全房室ブロック: R–R は規則的で、"
      "P 波はそれと無関係。",
      "Mobitz I: the PR lengthens but each QRS still follows its P. Complete block: the R–R "
      "is regular and the P waves bear no relation to it."}},
    {chbNarrow,
     chbWide,
     {"補充収縮の QRS 幅: 狭い（120 ms 未満、接合部、40〜60/分）か、広い（120 ms 以上、"
      "心室、20〜40/分）か。",
      "The escape QRS: narrow (under 120 ms, junctional, 40–60/min) or wide (120 ms or more, "
      "ventricular, 20–40/min)."}},
    {avBlock1,
     sinusRhythm,
     {"PR が 200 ms（大きい1マス）を超えていれば 1度房室ブロック。",
      "A PR over 200 ms (one large square) is first-degree block."}},
    {mobitz1,
     saBlock,
     {"休止の中に P 波があれば房室ブロック（Mobitz I）、P 波もなければ洞房ブロック。",
      "A P wave inside the pause means AV block (Mobitz I); no P wave at all means SA block."}},
    {mobitz2,
     saBlock,
     {"休止の中に QRS の続かない P 波があれば Mobitz II、P 波ごと抜けていれば洞房ブロック。",
      "A P wave with no QRS in the pause is Mobitz II; a pause with no P wave is SA block."}},
    {mobitz1,
     sinusArrest,
     {"休止の中に P 波があれば房室ブロック、P 波もなく長さが P–P の倍数でなければ洞停止。",
      "A P wave inside the pause is AV block; no P and a pause that is no multiple of the P–P "
      "is sinus arrest."}},
    {chbWide,
     pWaveAsystole,
     {"完全房室ブロック: 遅くても幅の広い補充収縮が出る。P 波だけの心静止: QRS がまったくない。",
      "Complete block: slow, wide escape beats still come. P-wave asystole: there is no QRS "
      "at all."}},
    // Atrial fibrillation and its look-alikes.
    {afControlled,
     flutterVariable,
     {"心房粗動: 約300/分の規則的な鋸歯状の F 波。心房細動: 形の定まらない細かい f 波で、"
      "規則的な心房波がない。",
      "Flutter: regular saw-tooth F waves near 300/min. AF: fine, shapeless f waves and no "
      "regular atrial wave."}},
    {afRapid,
     flutterVariable,
     {"心房粗動: 約300/分の規則的な鋸歯状の F 波。心房細動: 形の定まらない細かい f 波。",
      "Flutter: regular saw-tooth F waves near 300/min. AF: fine, shapeless f waves."}},
    {afControlled,
     mat,
     {"多源性心房頻拍: QRS ごとに形の違う（3種類以上）はっきりした P 波がある。心房細動: "
      "P 波がない。",
      "MAT: a distinct P wave before every QRS, in three or more shapes. AF: no P waves at "
      "all."}},
    {afRapid,
     mat,
     {"多源性心房頻拍: QRS ごとに形の違う（3種類以上）はっきりした P 波がある。心房細動: "
      "P 波がない。",
      "MAT: a distinct P wave before every QRS, in three or more shapes. AF: no P waves at "
      "all."}},
    {afControlled,
     sinusArrhythmia,
     {"洞不整脈: 同じ形の P 波が毎回 QRS の前にあり、R–R は呼吸に合わせて少しずつ変わる。"
      "心房細動: P 波がなく、R–R は全く不規則。",
      "Sinus arrhythmia: the same upright P before every QRS, the R–R changing gradually with "
      "breathing. AF: no P waves, the R–R totally irregular."}},
    {mat,
     sinusArrhythmia,
     {"多源性心房頻拍: P 波の形が3種類以上で、心拍数が 100/分を超える。洞不整脈: P 波は"
      "一つの形。",
      "MAT: P waves of three or more shapes and a rate over 100/min. Sinus arrhythmia: one P "
      "shape."}},
    {afControlled,
     afRapid,
     {"心室応答: 100/分以下なら心拍数コントロール良好の心房細動、100/分を超えれば頻脈性。",
      "The ventricular response: 100/min or less is controlled AF, over 100/min rapid AF."}},
    {afRapid,
     svtAvnrt,
     {"R–R 間隔: 発作性上室頻拍は完全に規則的、心房細動は全く不規則。",
      "The R–R: PSVT is perfectly regular, AF totally irregular."}},
    {afRapid,
     atrialTachycardia,
     {"心房頻拍: QRS ごとに P′ 波があり R–R は規則的。心房細動: P 波がなく R–R は不規則。",
      "Atrial tachycardia: a P′ before every QRS and a regular R–R. AF: no P waves and an "
      "irregular R–R."}},
    {afRapid,
     sinusTachycardia,
     {"洞頻脈: QRS ごとに正常な P 波があり R–R は規則的。心房細動: P 波がなく R–R は不規則。",
      "Sinus tachycardia: a normal P before every QRS and a regular R–R. AF: no P waves and an "
      "irregular R–R."}},
    // Flutter and the regular narrow tachycardias.
    {flutter2to1,
     sinusTachycardia,
     {"心室数がほぼ150/分で動かなければ 2:1 心房粗動を疑い、T 波に隠れた2つ目の F 波を探す。",
      "A ventricular rate fixed near 150/min suggests 2:1 flutter: look for the second F wave "
      "hidden in the T wave."}},
    {flutter2to1,
     svtAvnrt,
     {"2:1 心房粗動: QRS の間に F 波が2つ（一つは T 波に隠れる）。発作性上室頻拍: 心房波が"
      "見えないか、QRS 直後の逆行性 P のみ。",
      "2:1 flutter: two F waves between QRS complexes (one in the T wave). PSVT: no atrial "
      "wave, or a retrograde P just after the QRS."}},
    {flutter2to1,
     atrialTachycardia,
     {"F 波は基線がなく鋸歯状に続く（約300/分）。心房頻拍の P′ 波の間には平らな基線がある。",
      "F waves run on with no flat baseline (about 300/min); between atrial tachycardia's P′ "
      "waves the baseline is flat."}},
    {flutter2to1,
     flutter4to1,
     {"QRS 1つあたりの F 波の数を数える: 2つなら 2:1、4つなら 4:1。",
      "Count the F waves per QRS: two is 2:1, four is 4:1."}},
    {flutter3to1,
     flutter4to1,
     {"QRS 1つあたりの F 波の数を数える: 3つなら 3:1、4つなら 4:1。",
      "Count the F waves per QRS: three is 3:1, four is 4:1."}},
    {flutter2to1,
     flutter3to1,
     {"QRS 1つあたりの F 波の数を数える: 2つなら 2:1、3つなら 3:1。",
      "Count the F waves per QRS: two is 2:1, three is 3:1."}},
    {flutter4to1,
     flutterVariable,
     {"R–R が一定なら伝導比は固定（4:1）、QRS ごとに F 波の数が変われば伝導比不定。",
      "A constant R–R is a fixed ratio (4:1); a changing count of F waves per QRS is variable "
      "block."}},
    {flutter2to1,
     flutterVariable,
     {"R–R が一定なら伝導比は固定（2:1）、QRS ごとに F 波の数が変われば伝導比不定。",
      "A constant R–R is a fixed ratio (2:1); a changing count of F waves per QRS is variable "
      "block."}},
    {atrialTachycardia,
     svtAvnrt,
     {"発作性心房頻拍: QRS の前に毎回 P′ 波がある。房室結節リエントリー: P 波が見えないか、"
      "QRS の直後に逆行性 P がある。",
      "PAT: a P′ before every QRS. AVNRT: no P wave, or a retrograde P right after the QRS."}},
    {atrialTachycardia,
     sinusTachycardia,
     {"洞頻脈: 正常な形の P 波で、心拍数は通常 150/分まで。心房頻拍: 形の違う P′ 波で、"
      "150〜250/分。",
      "Sinus tachycardia: normal P waves, rarely over 150/min. Atrial tachycardia: P′ waves "
      "of another shape at 150–250/min."}},
    {svtAvnrt,
     sinusTachycardia,
     {"洞頻脈: QRS の前に正常な P 波がある。発作性上室頻拍: P 波が見えず、150〜250/分で"
      "完全に規則的。",
      "Sinus tachycardia: a normal P before each QRS. PSVT: no visible P, perfectly regular "
      "at 150–250/min."}},
    {atrialTachycardia,
     junctionalTachycardia,
     {"心房頻拍: QRS の前に P′ 波があり PR は正常。接合部頻拍: P 波がないか、QRS のすぐ前後に"
      "逆向きの P がある。",
      "Atrial tachycardia: a P′ before each QRS with a normal PR. Junctional tachycardia: no "
      "P, or an inverted P right before or after the QRS."}},
    {svtAvnrt,
     junctionalTachycardia,
     {"心拍数: 接合部頻拍は 100〜140/分、発作性上室頻拍は 150〜250/分。",
      "The rate: junctional tachycardia 100–140/min, PSVT 150–250/min."}},
    // Premature beats.
    {pac,
     pjc,
     {"心房期外収縮: 早く来る QRS の前に形の違う P′ 波がある。接合部期外収縮: P 波がないか、"
      "QRS のすぐ前後に逆向きの P がある。",
      "PAC: an abnormal P′ before the early QRS. PJC: no P, or an inverted P right before or "
      "after the QRS."}},
    {pac,
     pvcUnifocal,
     {"早く来る QRS の幅: 心房期外収縮は狭く、前に P′ 波がある。心室期外収縮は 120 ms 以上で、"
      "前に P 波がない。",
      "The early QRS: a PAC's is narrow with a P′ before it; a PVC's is 120 ms or wider with "
      "no P before it."}},
    {pjc,
     pvcUnifocal,
     {"早く来る QRS の幅: 接合部期外収縮は狭い（120 ms 未満）、心室期外収縮は広く形が違う。",
      "The early QRS: a PJC's is narrow (under 120 ms), a PVC's wide and of another shape."}},
    {pac,
     sinusArrhythmia,
     {"心房期外収縮: 1拍だけ急に早く、その P′ は形が違う。洞不整脈: P 波の形は同じで R–R は"
      "少しずつ変わる。",
      "PAC: one beat suddenly early, its P′ of another shape. Sinus arrhythmia: one P shape, "
      "the R–R changing gradually."}},
    {pac,
     saBlock,
     {"心房期外収縮: 休止の前に早い P′ のついた拍がある。洞房ブロック: 早い拍はなく、P 波ごと"
      "1拍抜ける。",
      "PAC: an early beat with a P′ comes before the pause. SA block: no early beat, one whole "
      "P–QRS is missing."}},
    {pvcUnifocal,
     pvcMultifocal,
     {"心室期外収縮の形を比べる: すべて同じなら単源性、2種類以上なら多源性。",
      "Compare the PVCs: all one shape is unifocal, two or more shapes multifocal."}},
    {pvcUnifocal,
     ventricularBigeminy,
     {"心室期外収縮が1拍おき（正常–期外–正常–期外）に続けば二段脈。",
      "PVCs on every second beat (normal, PVC, normal, PVC) are bigeminy."}},
    {pvcUnifocal,
     ventricularTrigeminy,
     {"心室期外収縮が3拍ごと（正常–正常–期外）に続けば三段脈。",
      "A PVC on every third beat (normal, normal, PVC) is trigeminy."}},
    {ventricularBigeminy,
     ventricularTrigeminy,
     {"期外収縮の間の正常な拍を数える: 1拍なら二段脈、2拍なら三段脈。",
      "Count the normal beats between PVCs: one is bigeminy, two trigeminy."}},
    {pvcUnifocal,
     pvcCouplets,
     {"幅の広い拍が2つ続けて出れば連発（カプレット）。", "Two wide beats in a row are a couplet."}},
    {pvcMultifocal,
     pvcCouplets,
     {"多源性: 形の違う期外収縮が1拍ずつ散らばる。連発: 期外収縮が2つ続けて出る。",
      "Multifocal: single PVCs of different shapes. Couplets: two PVCs in a row."}},
    {pvcCouplets,
     nsvt,
     {"連続する心室期外収縮の数: 2つなら連発、3つ以上なら心室頻拍（30秒未満で止まれば非持続性）。",
      "PVCs in a row: two is a couplet, three or more VT (non-sustained when it stops within "
      "30 s)."}},
    {pvcUnifocal,
     pvcROnT,
     {"R on T: 心室期外収縮が直前の T 波の頂上付近に重なる。",
      "R on T: the PVC lands on the peak of the preceding T wave."}},
    {nsvt,
     vtMonomorphic,
     {"非持続性心室頻拍: 数拍で止まり洞調律に戻る。持続性心室頻拍: 幅の広い QRS が途切れずに"
      "続く。",
      "NSVT: the run stops after a few beats and sinus rhythm returns. VT: the wide complexes "
      "go on without a break."}},
    // Wide-complex tachycardias and arrest rhythms.
    {vtMonomorphic,
     svtAvnrt,
     {"QRS 幅: 120 ms 以上で P 波が QRS と無関係（房室解離）なら心室頻拍、狭ければ上室頻拍。",
      "The QRS: 120 ms or wider with P waves unrelated to it (AV dissociation) is VT; narrow "
      "is SVT."}},
    {vtMonomorphic,
     bbb,
     {"脚ブロック: 幅の広い QRS の前に毎回 P 波があり、心拍数は 100/分以下。心室頻拍: P 波と"
      "無関係に 100/分を超える。",
      "Bundle branch block: a P before every wide QRS, at 100/min or less. VT: over 100/min, "
      "unrelated to the P waves."}},
    {vtMonomorphic,
     torsades,
     {"トルサード: QRS の振幅が紡錘状に増減し、基線の周りをねじれるように向きが変わる。単形性 "
      "VT: QRS の形と高さがそろう。",
      "Torsades: the QRS amplitude waxes and wanes in spindles, twisting about the baseline. "
      "Monomorphic VT: every QRS alike."}},
    {torsades,
     vfCoarse,
     {"トルサード: 振幅は変わっても QRS が1つずつ数えられる。心室細動: QRS と呼べる波がない。",
      "Torsades: the complexes change in height but can still be counted. VF: nothing that "
      "can be called a QRS."}},
    {vtMonomorphic,
     vfCoarse,
     {"心室頻拍: 同じ形の QRS が規則正しく並ぶ。心室細動: 形も間隔もばらばらで QRS がない。",
      "VT: regular complexes of one shape. VF: no QRS, waves of every shape and spacing."}},
    {vtMonomorphic,
     ventricularFlutter,
     {"心室粗動: QRS と T の区別がつかない正弦波状で 250/分以上。心室頻拍: QRS と T が見分け"
      "られる。",
      "Ventricular flutter: a sine wave over 250/min with no QRS told from T. VT: QRS and T "
      "can be told apart."}},
    {vfCoarse,
     vfFine,
     {"細動波の高さ: 3 mm 以上なら粗い心室細動、3 mm 未満なら細かい心室細動。",
      "The height of the waves: 3 mm or more is coarse VF, under 3 mm fine VF."}},
    {vfFine,
     asystole,
     {"細かい心室細動: 小さな不規則な波がある。心静止: ほぼ平坦。感度と誘導を変えて確かめる。",
      "Fine VF: small irregular waves. Asystole: an almost flat line. Check the gain and "
      "another lead."}},
    {asystole,
     pWaveAsystole,
     {"P 波があって QRS がなければ P 波のみの心静止、P 波もなければ心静止。",
      "P waves without QRS complexes are P-wave asystole; no P waves either is asystole."}},
    {vtMonomorphic,
     vtPulseless,
     {"波形は同じ。決め手は脈拍: 触れなければ無脈性心室頻拍で、すぐに除細動。",
      "The strips look alike; the pulse decides: none means pulseless VT, shock now."}},
    {pea,
     sinusRhythm,
     {"無脈性電気活動: 心電図は整った波形でも脈が触れない。決め手は脈拍の確認。",
      "PEA: an organised rhythm on the monitor but no pulse. Feeling for the pulse decides."}},
    {pea,
     asystole,
     {"無脈性電気活動: QRS が並ぶが脈がない。心静止: QRS がない。",
      "PEA: QRS complexes without a pulse. Asystole: no QRS complexes."}},
    {pea,
     vtPulseless,
     {"無脈性心室頻拍: 幅の広い QRS が 150/分以上で続き、除細動の適応。無脈性電気活動: それ以外の"
      "整った波形で、除細動しない。",
      "Pulseless VT: wide complexes at 150/min or more, shocked. PEA: any other organised "
      "rhythm, not shocked."}},
    // Slow escape rhythms.
    {idioventricular,
     aivr,
     {"心拍数: 心室固有調律は 20〜40/分、促進心室固有調律は 40〜100/分。",
      "The rate: idioventricular 20–40/min, accelerated idioventricular 40–100/min."}},
    {aivr,
     vtMonomorphic,
     {"心拍数: 促進心室固有調律は 100/分以下、心室頻拍は 100/分を超える。",
      "The rate: AIVR 100/min or less, VT over 100/min."}},
    {idioventricular,
     junctionalEscape,
     {"QRS 幅: 接合部補充調律は狭く 40〜60/分、心室固有調律は広く 20〜40/分。",
      "The QRS: junctional escape narrow at 40–60/min, idioventricular wide at 20–40/min."}},
    {junctionalEscape,
     acceleratedJunctional,
     {"心拍数: 接合部補充調律は 40〜60/分、促進接合部調律は 60〜100/分。",
      "The rate: junctional escape 40–60/min, accelerated junctional 60–100/min."}},
    {acceleratedJunctional,
     junctionalTachycardia,
     {"心拍数: 促進接合部調律は 100/分以下、接合部頻拍は 100/分を超える。",
      "The rate: accelerated junctional 100/min or less, junctional tachycardia over "
      "100/min."}},
    {junctionalEscape,
     sinusBradycardia,
     {"洞徐脈: QRS の前に正常な P 波があり PR は 120〜200 ms。接合部補充調律: P 波がないか"
      "逆向き。",
      "Sinus bradycardia: a normal P before each QRS, PR 120–200 ms. Junctional escape: no P "
      "or an inverted one."}},
    {acceleratedJunctional,
     sinusRhythm,
     {"洞調律: QRS の前に正常な P 波があり PR は 120〜200 ms。促進接合部調律: P 波がないか"
      "逆向き。",
      "Sinus rhythm: a normal P before each QRS, PR 120–200 ms. Accelerated junctional: no P "
      "or an inverted one."}},
    {aivr,
     pacedVentricular,
     {"ペーシング: 幅の広い QRS の直前に毎回ペーシングスパイクがある。促進心室固有調律: スパイク"
      "がない。",
      "Paced: a pacing spike right before every wide QRS. AIVR: no spikes."}},
    {idioventricular,
     pacedVentricular,
     {"ペーシング: 幅の広い QRS の直前に毎回ペーシングスパイクがある。心室固有調律: スパイク"
      "がない。",
      "Paced: a pacing spike right before every wide QRS. Idioventricular: no spikes."}},
    {idioventricular,
     chbWide,
     {"完全房室ブロック: 幅の広い補充収縮とは無関係に P 波が並ぶ。心室固有調律: P 波がない。",
      "Complete block: P waves march on, unrelated to the wide escape beats. Idioventricular: "
      "no P waves."}},
    // Sinus rhythms.
    {sinusRhythm,
     sinusBradycardia,
     {"心拍数: 60/分未満なら洞徐脈（6秒間の QRS が6個未満）。",
      "The rate: under 60/min is sinus bradycardia (fewer than 6 QRS in six seconds)."}},
    {sinusRhythm,
     sinusTachycardia,
     {"心拍数: 100/分を超えれば洞頻脈（R–R が大きいマス3つ未満）。",
      "The rate: over 100/min is sinus tachycardia (R–R under three large squares)."}},
    {sinusRhythm,
     sinusArrhythmia,
     {"洞不整脈: 最長と最短の P–P の差が 160 ms（小さいマス4つ）を超え、呼吸に合わせて"
      "少しずつ変わる。",
      "Sinus arrhythmia: the longest and shortest P–P differ by over 160 ms (four small "
      "squares), changing gradually with breathing."}},
    {sinusArrest,
     saBlock,
     {"休止の長さ: P–P のちょうど整数倍なら洞房ブロック、倍数にならなければ洞停止。",
      "The pause: an exact multiple of the P–P is SA block; no multiple is sinus arrest."}},
    {sinusRhythm,
     bbb,
     {"QRS 幅: 120 ms（小さいマス3つ）以上なら脚ブロック。",
      "The QRS: 120 ms (three small squares) or wider is bundle branch block."}},
    {sinusRhythm,
     wpw,
     {"WPW: PR が 120 ms 未満と短く、QRS の立ち上がりがなだらか（デルタ波）。",
      "WPW: a short PR under 120 ms and a slurred QRS upstroke (delta wave)."}},
    {bbb,
     wpw,
     {"WPW: PR が 120 ms 未満でデルタ波がある。脚ブロック: PR は正常。",
      "WPW: a PR under 120 ms and a delta wave. Bundle branch block: a normal PR."}},
    // Paced rhythms.
    {pacedAtrial,
     pacedVentricular,
     {"スパイクの後に続く波: P 波なら心房ペーシング、幅の広い QRS なら心室ペーシング。",
      "What follows the spike: a P wave is atrial pacing, a wide QRS ventricular pacing."}},
    {pacedAv,
     pacedVentricular,
     {"スパイクの数: P 波の前と QRS の前の2つなら DDD（房室順次）、QRS の前だけなら心室"
      "ペーシング。",
      "Count the spikes: one before the P and one before the QRS is dual-chamber pacing; "
      "only before the QRS is ventricular pacing."}},
    {pacedAtrial,
     pacedAv,
     {"QRS の前にもスパイクがあれば DDD（房室順次）、P 波の前だけなら心房ペーシング。",
      "A spike before the QRS too is dual-chamber pacing; only before the P is atrial pacing."}},
    {pacedFailureToCapture,
     pacedFailureToSense,
     {"捕捉不全: スパイクの後に QRS が続かない。感知不全: 自己の QRS を無視して、いつでも"
      "スパイクが出る。",
      "Failure to capture: a spike with no QRS after it. Failure to sense: spikes come "
      "anywhere, ignoring the patient's own QRS."}},
    {pacedVentricular,
     pacedFailureToCapture,
     {"すべてのスパイクに幅の広い QRS が続けば正常なペーシング、続かないスパイクがあれば捕捉不全。",
      "A wide QRS after every spike is normal pacing; a spike without one is failure to "
      "capture."}},
    {pacedVentricular,
     pacedFailureToSense,
     {"自己の QRS の直後にスパイクが出ていれば感知不全。正常なペーシングではスパイクは自己の拍"
      "のないときだけ。",
      "A spike just after the patient's own QRS is failure to sense; normal pacing fires only "
      "when no own beat comes."}},
    {pacedVentricular,
     chbWide,
     {"ペーシング: 幅の広い QRS の直前にスパイクがある。完全房室ブロック: スパイクがなく、P 波は"
      "QRS と無関係。",
      "Paced: a spike right before each wide QRS. Complete block: no spikes, and P waves "
      "unrelated to the QRS."}},
};

// When the pair has no row: what names a rhythm within the family of the one shown.
constexpr std::array<Pair, libraryFamilyCount> familyRules{{
    {"洞調律の仲間: QRS ごとに同じ形の陽性 P 波があり、PR は 120〜200 ms で一定。心拍数と P–P "
     "の変化、休止のしかたで名前が決まる。",
     "The sinus family: the same upright P before every QRS, PR constant at 120–200 ms. The "
     "rate, the change of P–P and the kind of pause name it."},
    {"心房の不整脈: 心房波の形（P′ 波、F 波、f 波）と、心房波と QRS の比を見る。",
     "Atrial rhythms: look at the atrial waves (P′, F or f) and how many come per QRS."},
    {"接合部の調律: QRS は狭く、P 波がないか、逆向きの P が QRS のすぐ前後にある。心拍数で"
     "名前が決まる。",
     "Junctional rhythms: a narrow QRS with no P, or an inverted P right before or after it. "
     "The rate names it."},
    {"房室ブロック: P 波を一つずつ追い、QRS に伝わったか、PR が延びるか一定かを見る。",
     "AV blocks: follow each P wave and see whether it reaches a QRS and whether the PR "
     "lengthens or stays the same."},
    {"心室期外収縮: 早く来る幅の広い QRS（120 ms 以上）で、前に P 波がない。形の数と並び方で"
     "名前が決まる。",
     "Ventricular ectopy: early wide QRS complexes (120 ms or more) with no P before them. "
     "How many shapes and how they group name it."},
    {"心室の調律: 幅の広い QRS か、QRS のない波か。心拍数、形のそろい方、脈の有無を見る。",
     "Ventricular rhythms: wide complexes or no QRS at all. Look at the rate, whether the "
     "shapes match and whether there is a pulse."},
    {"ペーシング: スパイクの位置、その後に P 波か QRS が続くか、自己の拍を感知しているかを見る。",
     "Paced rhythms: where the spikes fall, whether a P or QRS follows each, and whether the "
     "pacer senses the patient's own beats."},
    {"伝導の異常: P 波ごとに QRS が続き、QRS 幅が 120 ms 以上か PR が短いかを見る。",
     "Conduction: a QRS after every P; look for a QRS of 120 ms or more, or a short PR."},
}};

constexpr std::pair<LibraryRhythm, std::array<LibraryRhythm, 3>> confusionRows[] = {
    {sinusRhythm, {sinusBradycardia, sinusTachycardia, sinusArrhythmia}},
    {sinusBradycardia, {sinusRhythm, junctionalEscape, sinusBradycardia}},
    {sinusTachycardia, {sinusRhythm, atrialTachycardia, flutter2to1}},
    {sinusArrhythmia, {sinusRhythm, afControlled, pac}},
    {sinusArrest, {saBlock, mobitz1, sinusArrest}},
    {saBlock, {sinusArrest, mobitz2, pac}},
    {pac, {pjc, pvcUnifocal, sinusArrhythmia}},
    {atrialTachycardia, {svtAvnrt, sinusTachycardia, flutter2to1}},
    {mat, {afControlled, afRapid, sinusArrhythmia}},
    {afControlled, {flutterVariable, mat, sinusArrhythmia}},
    {afRapid, {flutterVariable, mat, svtAvnrt}},
    {flutter2to1, {sinusTachycardia, svtAvnrt, atrialTachycardia}},
    {flutter4to1, {flutter2to1, flutterVariable, flutter3to1}},
    {flutterVariable, {afControlled, afRapid, flutter4to1}},
    {pjc, {pac, pvcUnifocal, pjc}},
    {junctionalEscape, {sinusBradycardia, idioventricular, acceleratedJunctional}},
    {acceleratedJunctional, {junctionalEscape, junctionalTachycardia, sinusRhythm}},
    {svtAvnrt, {atrialTachycardia, sinusTachycardia, flutter2to1}},
    {wpw, {bbb, sinusRhythm, wpw}},
    {avBlock1, {sinusRhythm, mobitz1, avBlock1}},
    {mobitz1, {mobitz2, avBlock1, avBlock2to1}},
    {mobitz2, {mobitz1, avBlock2to1, chbNarrow}},
    {avBlock2to1, {mobitz2, mobitz1, chbNarrow}},
    {chbNarrow, {avBlock2to1, mobitz2, chbWide}},
    {chbWide, {chbNarrow, idioventricular, mobitz2}},
    {pvcUnifocal, {pvcMultifocal, pac, ventricularBigeminy}},
    {pvcMultifocal, {pvcUnifocal, pvcCouplets, pvcMultifocal}},
    {ventricularBigeminy, {ventricularTrigeminy, pvcUnifocal, ventricularBigeminy}},
    {ventricularTrigeminy, {ventricularBigeminy, pvcUnifocal, ventricularTrigeminy}},
    {pvcCouplets, {nsvt, pvcUnifocal, pvcCouplets}},
    {pvcROnT, {pvcUnifocal, pvcROnT, pvcROnT}},
    {nsvt, {vtMonomorphic, pvcCouplets, nsvt}},
    {idioventricular, {aivr, junctionalEscape, chbWide}},
    {aivr, {idioventricular, vtMonomorphic, pacedVentricular}},
    {vtMonomorphic, {svtAvnrt, torsades, vtPulseless}},
    {torsades, {vfCoarse, vtMonomorphic, torsades}},
    {vfCoarse, {vfFine, torsades, vtMonomorphic}},
    {vfFine, {asystole, vfCoarse, vfFine}},
    {asystole, {vfFine, pWaveAsystole, asystole}},
    {pacedAtrial, {pacedAv, pacedVentricular, pacedAtrial}},
    {pacedVentricular, {pacedAv, pacedFailureToCapture, aivr}},
    {pacedAv, {pacedVentricular, pacedAtrial, pacedAv}},
    {pacedFailureToCapture, {pacedFailureToSense, pacedVentricular, pacedFailureToCapture}},
    {pacedFailureToSense, {pacedFailureToCapture, pacedVentricular, pacedFailureToSense}},
    {bbb, {vtMonomorphic, wpw, sinusRhythm}},
    {junctionalTachycardia, {atrialTachycardia, svtAvnrt, acceleratedJunctional}},
    {flutter3to1, {flutter4to1, flutter2to1, flutter3to1}},
    {ventricularFlutter, {vtMonomorphic, ventricularFlutter, ventricularFlutter}},
    {pWaveAsystole, {asystole, chbWide, pWaveAsystole}},
    {pea, {sinusRhythm, vtPulseless, asystole}},
    {vtPulseless, {vtMonomorphic, pea, vtPulseless}},
};

std::string_view in(const Pair& text, Language language) {
    return language == Language::japanese ? text.first : text.second;
}

// Classic key points written for a trace drawn red; the practice trace is all green.
struct RedPoint {
    Rhythm rhythm;
    Pair classic;
    Pair practice;
};
constexpr RedPoint redPoints[] = {
    {Rhythm::atrialFibrillation,
     {"基線の細かい揺れ（f波）が赤で表示される。",
      "A fine trembling of the baseline (f waves) is shown in red."},
     {"P波の代わりに、基線の細かく不規則な揺れ（f波）がある。",
      "Instead of P waves, the baseline trembles finely and irregularly (f waves)."}},
    {Rhythm::atrialFlutter,
     {"やや大きく規則的な基線の揺れ（鋸歯状と表現されるF波）が赤で表示される。",
      "A fairly large, regular undulation of the baseline (F waves, described as saw-toothed) "
      "is shown in red."},
     {"P波の代わりに、やや大きく規則的な基線の揺れ（鋸歯状と表現されるF波）がある。",
      "Instead of P waves, the baseline undulates fairly largely and regularly (F waves, "
      "described as saw-toothed)."}},
    {Rhythm::sporadicPvc,
     {"幅の広いQRS波と逆向きのT波が赤で表示される。",
      "A wide QRS complex with an inverted T wave is shown in red."},
     {"予定より早く、幅の広いQRS波と逆向きのT波が現れる。",
      "A wide QRS complex with an inverted T wave comes earlier than the next beat was due."}},
};

std::string forPractice(std::string text, Rhythm rhythm, Language language) {
    for (const RedPoint& point : redPoints) {
        if (point.rhythm != rhythm) {
            continue;
        }
        const std::string_view classic = in(point.classic, language);
        if (const std::size_t at = text.find(classic); at != std::string::npos) {
            text.replace(at, classic.size(), in(point.practice, language));
        }
    }
    return text;
}

} // namespace

TextbookRange textbookRangeOf(Rhythm rhythm) {
    if (const auto library = libraryRhythmOf(rhythm)) {
        return libraryRange(*library);
    }
    TextbookRange range = libraryRange(taughtAs(rhythm));
    switch (rhythm) {
    case Rhythm::atrialFibrillation:
        range.rateLo = 60;
        range.rateHi = 180;
        break;
    case Rhythm::atrialFlutter:
        range.rateLo = 60;
        range.rateHi = 175;
        break;
    case Rhythm::completeBlock:
        range.rateLo = 20;
        range.rateHi = 60;
        range.qrs = QrsWidth::either;
        break;
    default:
        break;
    }
    return range;
}

LibraryRhythm taughtAs(Rhythm rhythm) {
    if (const auto library = libraryRhythmOf(rhythm)) {
        return *library;
    }
    return isClassic(rhythm) ? classicTaughtAs[static_cast<std::size_t>(indexOf(rhythm))]
                             : sinusRhythm;
}

std::span<const LibraryRhythm> commonConfusions(LibraryRhythm rhythm) {
    for (const auto& [shown, taken] : confusionRows) {
        if (shown == rhythm) {
            // Rows shorter than three repeat the rhythm itself: it ends the list.
            std::size_t count = 0;
            while (count < taken.size() && taken[count] != rhythm) {
                ++count;
            }
            return {taken.data(), count};
        }
    }
    return {};
}

DecidingCriterion decidingCriterion(Rhythm shown, Rhythm taken, Language language) {
    const LibraryRhythm a = taughtAs(shown);
    const LibraryRhythm b = taughtAs(taken);
    for (const PairRow& row : pairRows) {
        if ((row.first == a && row.second == b) || (row.first == b && row.second == a)) {
            return {in(row.text, language), true};
        }
    }
    return {in(familyRules[static_cast<std::size_t>(infoOf(a).family)], language), false};
}

std::string practiceKeyPointsOf(Rhythm rhythm, Language language) {
    return forPractice(keyPointsOf(rhythm, language), rhythm, language);
}

std::string practiceTextOf(Rhythm rhythm, Language language) {
    return forPractice(std::string(textOf(rhythm, language)), rhythm, language);
}

} // namespace pulsavo::catalogue
