#include "LibraryCatalogue.h"

#include "FixedText.h"

namespace pulsavo::catalogue {

namespace {

using namespace text;

constexpr char dangerLow[] = "危険度　★☆☆";
constexpr char dangerModerate[] = "危険度　★★☆";
constexpr char dangerHigh[] = "危険度　★★★";

constexpr char pointsHeading[] = "＜判定のポイント＞";
constexpr char waveformHeading[] = "＜波形の説明＞";
constexpr char actionHeading[] = "＜対処方法＞";
constexpr char drugsHeading[] = "＜使用される薬剤＞";
constexpr char empty[] = "";

// Lines several rhythms share are written once, so that the same advice reads the same
// wherever it appears.
constexpr char sinusP[] = "洞調律と同じ形のP波がすべてのQRS波の前にある。";
constexpr char sinusBase[] = "基本は洞調律（60～100/分）である。";
constexpr char narrowQrs[] = "QRS幅は狭い（60～100ms）。";
constexpr char noTreatment[] = "治療は不要である。";
constexpr char noDrugs[] = "なし";
constexpr char usuallyNoDrugs[] = "通常は不要";

constexpr char unstableCardioversion[] =
    "不安定（ショック、失神、心筋虚血、心不全）なら同期電気ショックを行う。";
constexpr char symptomaticBradycardia[] =
    "症状（ショック、失神、心筋虚血、心不全）があればアトロピンを静注する。";
constexpr char bradycardiaEscalation[] =
    "無効なら経皮ペーシング、アドレナリンやドパミンの持続投与を行う。";
constexpr char atropine[] = "アトロピン（0.5～1mg静注、3～5分ごと、総量3mgまで）";
constexpr char infusions[] = "アドレナリン（2～10μg/分）、ドパミン（5～20μg/kg/分）";
constexpr char adenosine[] = "アデノシン（国内ではATP）の急速静注";

constexpr char flutterWaves[] = "P波の代わりに、のこぎりの歯状のF波（250～350/分）がある。";
constexpr char flutterBaseline[] = "F波はⅡ誘導で陰性で、F波の間に平坦な基線がない。";
constexpr char flutterRateControl[] = "安定していればβ遮断薬、ジルチアゼムなどで心拍数を調節する。";
constexpr char flutterAnticoagulation[] =
    "抗凝固療法は心房細動と同じ基準で判断し、根治にはアブレーションを検討する。";
constexpr char flutterDrugs[] = "β遮断薬、ジルチアゼム、ベラパミル、抗凝固薬（DOAC）";
constexpr char fibrillationWaves[] = "P波がなく、基線に細かい揺れ（f波、350～600/分）がある。";
constexpr char irregularlyIrregular[] = "RR間隔がまったく不規則である（絶対性不整脈）。";
constexpr char anticoagulants[] = "抗凝固薬（直接経口抗凝固薬：DOAC、ワルファリン）";

constexpr char noPBeforeQrs[] =
    "QRS波の前にP波がない（直後に逆行性の陰性P波があるか、P波がない）。";
constexpr char digoxinCheck[] = "ジゴキシンを使っていれば中止し、血中濃度とカリウムを確かめる。";

constexpr char pvcShape[] = "PVCの前にP波がなく、幅広いQRSとT波の向きが逆である。";
constexpr char pvcAsymptomatic[] = "症状がなく散発なら治療は不要である。";
constexpr char pvcRegularNoSymptoms[] = "症状がなく心機能が正常なら、治療は不要である。";
constexpr char pvcWorkUp[] = "カリウム、マグネシウムを確かめ、心疾患の有無を評価する。";
constexpr char noSuppression[] = "抗不整脈薬で予防的に抑えることはしない。";
constexpr char pvcDrugs[] = "症状が強いときにβ遮断薬（低カリウム、低マグネシウムは補正）";
constexpr char correctCauses[] = "原因（心筋虚血、電解質異常、低酸素、薬剤）を探して正す。";
constexpr char monitorAndPrepare[] = "心電図を連続監視し、除細動器を準備する。";
constexpr char electrolytes[] = "カリウム、マグネシウムの補正";
constexpr char specialistDrugs[] = "β遮断薬、アミオダロン（専門医と相談）";

constexpr char pulseFirst[] = "まず脈拍を確認する。";
constexpr char pulseCheck[] = "まず脈拍を確認し、脈がなければ心停止として扱う。";
constexpr char defibrillate[] = "直ちに除細動を行い、すぐに胸骨圧迫を再開する。";
constexpr char rhythmCheck[] = "2分ごとにリズムを確認し、適応があれば除細動を繰り返す。";
constexpr char noThump[] = "前胸部叩打は行わず、除細動器が届くまで胸骨圧迫を続ける。";
constexpr char arrestAdrenaline[] = "アドレナリン1mg（ショックが無効なら投与し、以後3～5分ごと）";
constexpr char arrestAntiarrhythmics[] =
    "アミオダロン300mg（3回目のショック後）、ニフェカラント、リドカイン";
constexpr char quiverNoOutput[] = "心臓は震えるだけで血液を送り出せない（心停止）。";
constexpr char cprAndAdrenaline[] = "直ちに心肺蘇生を行い、できるだけ早くアドレナリンを投与する。";
constexpr char noDefibrillation[] = "除細動の適応はない。";
constexpr char reversibleCauses[] = "可逆的な原因（低酸素、循環血液量減少、電解質異常、低体温、";
constexpr char reversibleCausesCont[] = "緊張性気胸、心タンポナーデ、中毒、血栓症）を検索する。";
constexpr char asystoleAdrenaline[] = "アドレナリン1mg（できるだけ早く、以後3～5分ごと）";
constexpr char checkLeads[] =
    "電極の外れ、誘導の誤り、感度（ゲイン）の低さでも平坦に見えるため確かめる。";

constexpr char pacingWorks[] = "正常に作動していれば治療は不要である。";
constexpr char pacemakerCard[] = "ペースメーカー手帳で設定（モード、下限心拍数）を確かめる。";
constexpr char pacingRate[] = "ペーシングの心拍数は60～80/分。";
constexpr char deviceCheck[] = "専門医にプログラマーでの点検を依頼する。";

// One source line per line of text.
// clang-format off
constexpr auto sinusRhythm = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusP,
    "心拍数は60～100/分で、RR間隔は規則的である。",
    "PR間隔は120～200msで一定。",
    narrowQrs,
    empty,
    waveformHeading,
    "洞結節の興奮が心房、房室結節、ヒス束、脚の順に伝わる正常の調律である。",
    "P波は心房、QRS波は心室の興奮、T波は心室の興奮の回復を表す。",
    "記録速度25mm/秒では、心拍数は300をRR間隔の太い目盛りの数で割って求める。",
    empty,
    actionHeading,
    noTreatment,
    "他の調律を判定する基準として、P波、PR間隔、QRS幅を確かめる習慣をつける。",
    empty,
    drugsHeading,
    noDrugs);

constexpr auto sinusBradycardia = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusP,
    "心拍数は40～59/分（60/分未満）で、規則的である。",
    "PR間隔は120～200msで一定。",
    narrowQrs,
    empty,
    waveformHeading,
    "洞結節の興奮が遅くなった状態で、波形と間隔は洞調律と同じである。",
    "運動選手や睡眠中には生理的にみられる。",
    "薬剤（β遮断薬、カルシウム拮抗薬など）、甲状腺機能低下、下壁梗塞でも起こる。",
    empty,
    actionHeading,
    "症状がなければ観察し、原因となる薬剤を見直す。",
    symptomaticBradycardia,
    bradycardiaEscalation,
    empty,
    drugsHeading,
    atropine,
    infusions);

constexpr auto sinusTachycardia = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusP,
    "心拍数は101～160/分（100/分を超える）で、規則的である。",
    "PR間隔は120～200msで一定。",
    narrowQrs,
    empty,
    waveformHeading,
    "洞結節の興奮が速くなった状態で、多くは体の需要に対する反応である。",
    "始まりと終わりは徐々で、突然には始まらない。",
    "速くなるとP波が前のT波に重なり、上室頻拍と紛らわしくなる。",
    empty,
    actionHeading,
    "原因（発熱、痛み、不安、脱水、出血、貧血、低酸素、敗血症、",
    "甲状腺機能亢進、肺塞栓など）を探して治療する。",
    "電気ショックや抗不整脈薬で心拍数だけを下げてはならない。",
    empty,
    drugsHeading,
    "原因に対する治療（輸液、酸素、解熱薬、鎮痛薬など）");

constexpr auto sinusArrhythmia = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    "洞調律のP波がすべてのQRS波の前にあり、PR間隔は一定である。",
    "平均の心拍数は60～100/分。",
    "PP間隔が呼吸に合わせて周期的に変わる（3～5秒の周期）。",
    "最も長いPP間隔と最も短いPP間隔の差は160ms以上。",
    empty,
    waveformHeading,
    "吸気で心拍数が増え、呼気で減る（迷走神経の緊張の変化による）。",
    "小児や若い人に多い生理的な現象である。",
    empty,
    actionHeading,
    noTreatment,
    "呼吸と無関係な不規則さなら、期外収縮や心房細動を考える。",
    empty,
    drugsHeading,
    noDrugs);

constexpr auto sinusArrest = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    sinusBase,
    "4～8拍ごとにP波が突然出なくなり、2.0～3.5秒の休止となる。",
    "休止の長さはPP間隔の整数倍にならない（洞房ブロックとの違い）。",
    "休止の後は洞調律が再開する。",
    empty,
    waveformHeading,
    "洞結節が一時的に興奮を作らなくなった状態である。",
    "洞不全症候群（SSS）の一型で、薬剤や迷走神経の緊張でも起こる。",
    "長い休止の後に、房室接合部や心室の補充収縮が現れることがある。",
    empty,
    actionHeading,
    "3秒を超える休止は心静止の危険があり、ペーシングを準備する。",
    symptomaticBradycardia,
    "原因となる薬剤を見直し、恒久的ペースメーカーを検討する。",
    empty,
    drugsHeading,
    atropine,
    infusions);

constexpr auto saBlock = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    sinusBase,
    "3～7拍ごとにP-QRS-T波がまるごと脱落する。",
    "休止はちょうどPP間隔の2倍になる（洞停止との違い）。",
    empty,
    waveformHeading,
    "洞結節は規則的に興奮しているが、その興奮が心房に伝わらない。",
    "Ⅱ度洞房ブロックで、洞結節の興奮そのものは心電図に現れない。",
    "洞不全症候群の一型である。",
    empty,
    actionHeading,
    "症状がなければ観察し、原因となる薬剤を見直す。",
    symptomaticBradycardia,
    "症状を繰り返すなら恒久的ペースメーカーを検討する。",
    empty,
    drugsHeading,
    atropine,
    infusions);

constexpr auto pac = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusBase,
    "3～8拍ごとに、PP間隔の55～75%の時点で早いP'波が現れる。",
    "P'波は洞調律のP波と形が違い（二相性）、PR'間隔は120～200ms。",
    narrowQrs,
    "洞結節がリセットされ、休止は代償性にならない。",
    empty,
    waveformHeading,
    "洞結節以外の心房の部位が、洞結節より早く興奮して起こる。",
    "上室性期外収縮の一つで、健康な人にもよくみられる。",
    "非常に早いP'波は伝導されず、QRS波を伴わないことがある。",
    empty,
    actionHeading,
    "症状がなければ治療は不要である。",
    "カフェイン、アルコール、喫煙、睡眠不足、ストレスを減らす。",
    "頻発するときは心房細動や上室頻拍の前触れとなることがある。",
    empty,
    drugsHeading,
    "症状が強いときにβ遮断薬");

constexpr auto atrialTachycardia = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "心房の異所性興奮による頻拍で、心拍数は150～250/分、規則的。",
    "形の違うP'波がすべてのQRS波の前にある（1:1伝導）。",
    "PR間隔は120～160ms。",
    narrowQrs,
    empty,
    waveformHeading,
    "心房内の1か所から速い興奮が続いて起こる。",
    "P'波はⅡ誘導で陰性や二相性のことがあり、洞頻脈との区別の手がかりになる。",
    "ジゴキシン中毒では房室ブロックを伴う心房頻拍がみられる。",
    empty,
    actionHeading,
    unstableCardioversion,
    "安定していれば迷走神経刺激とアデノシンを試す（P'波が見えやすくなる）。",
    "β遮断薬などで心拍数を調節し、ジゴキシン中毒や低カリウム血症を正す。",
    empty,
    drugsHeading,
    adenosine,
    "β遮断薬、ベラパミル、ジルチアゼム");

constexpr auto mat = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "平均の心拍数は100～150/分で、不規則である。",
    "形の違うP'波が3種類以上ある。",
    "PP間隔とPR間隔（120～200ms）が一拍ごとに変わる。",
    narrowQrs,
    empty,
    waveformHeading,
    "心房内の複数の部位が別々に興奮して起こる。",
    "重い肺疾患（COPD）、低酸素、電解質異常、テオフィリンなどでみられる。",
    "不規則なため心房細動と間違えやすいが、はっきりしたP'波がある。",
    empty,
    actionHeading,
    "原疾患（低酸素、呼吸不全、低カリウム血症、低マグネシウム血症）を治療する。",
    "電気ショックは効かない。",
    "心拍数の調節が必要なら、ベラパミルやβ遮断薬を慎重に使う。",
    empty,
    drugsHeading,
    "硫酸マグネシウム、ベラパミル、ジルチアゼム",
    "β遮断薬（気管支攣縮に注意）");

constexpr auto afControlled = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    fibrillationWaves,
    irregularlyIrregular,
    "心室の心拍数は平均60～100/分に保たれている。",
    narrowQrs,
    empty,
    waveformHeading,
    "心房の各部が無秩序に興奮し、心房は有効に収縮しない。",
    "房室結節が通す興奮の数で、心室の心拍数が決まる。",
    "心房内に血栓ができやすく、脳梗塞の原因となる。",
    empty,
    actionHeading,
    "CHA2DS2-VAScスコアなどで脳梗塞の危険を評価し、抗凝固療法を決める。",
    "心拍数の調節と、必要なら洞調律に戻す治療を専門医と検討する。",
    "発症から48時間を超える（または不明の）ときは、抗凝固なしに洞調律に戻さない。",
    empty,
    drugsHeading,
    anticoagulants,
    "心拍数の調節にβ遮断薬、ジルチアゼム、ベラパミル、ジゴキシン");

constexpr auto afRapid = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    fibrillationWaves,
    irregularlyIrregular,
    "心室の心拍数は110～160/分と速い（頻脈性）。",
    narrowQrs,
    empty,
    waveformHeading,
    "房室結節を通る興奮が多く、心室の心拍数が速くなった心房細動である。",
    "拡張期が短くなって心拍出量が減り、心不全や血圧低下を起こしやすい。",
    empty,
    actionHeading,
    unstableCardioversion,
    "安定していればβ遮断薬やジルチアゼムで心拍数を調節する。",
    "心不全があればジゴキシンやアミオダロンを使い、カルシウム拮抗薬は避ける。",
    "発症から48時間を超える（または不明の）ときは、抗凝固なしに洞調律に戻さない。",
    empty,
    drugsHeading,
    "β遮断薬（ランジオロールなど）、ジルチアゼム、ベラパミル",
    "ジゴキシン、アミオダロン、抗凝固薬（ヘパリン、DOAC）");

constexpr auto flutter2to1 = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    flutterWaves,
    flutterBaseline,
    "2:1伝導で、心室の心拍数は125～175/分、規則的。",
    narrowQrs,
    empty,
    waveformHeading,
    "右心房を大きく旋回する興奮（マクロリエントリー）で起こる。",
    "F波の1つがQRSやT波に隠れ、洞頻脈や上室頻拍と間違えやすい。",
    "迷走神経刺激やアデノシンで伝導が減ると、F波がはっきり見える。",
    empty,
    actionHeading,
    unstableCardioversion,
    flutterRateControl,
    flutterAnticoagulation,
    empty,
    drugsHeading,
    flutterDrugs);

constexpr auto flutter4to1 = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    flutterWaves,
    flutterBaseline,
    "4:1伝導で、心室の心拍数は62～88/分、規則的。",
    narrowQrs,
    empty,
    waveformHeading,
    "RR間隔ごとにF波が4つあり、のこぎりの歯がよく見える。",
    "房室結節の伝導が抑えられた状態（薬剤の効果など）である。",
    empty,
    actionHeading,
    "心拍数が保たれていれば、緊急の治療は不要である。",
    flutterAnticoagulation,
    empty,
    drugsHeading,
    anticoagulants,
    "心拍数の調節にβ遮断薬");

constexpr auto flutterVariable = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    flutterWaves,
    flutterBaseline,
    "伝導比が2:1、3:1、4:1の間で変わり、RR間隔は不規則。",
    narrowQrs,
    empty,
    waveformHeading,
    "RR間隔はF波の間隔の整数倍になり、心房細動のまったく不規則なRRとは違う。",
    "伝導比が変わるたびに心拍数が変わる。",
    empty,
    actionHeading,
    unstableCardioversion,
    flutterRateControl,
    flutterAnticoagulation,
    empty,
    drugsHeading,
    flutterDrugs);

constexpr auto flutter3to1 = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    flutterWaves,
    flutterBaseline,
    "3:1伝導で、心室の心拍数はF波の3分の1（83～117/分）、規則的。",
    narrowQrs,
    empty,
    waveformHeading,
    "RR間隔ごとにF波が3つある。",
    "奇数比の伝導は少なく、多くは2:1か4:1で伝導する。",
    empty,
    actionHeading,
    unstableCardioversion,
    flutterRateControl,
    flutterAnticoagulation,
    empty,
    drugsHeading,
    flutterDrugs);

constexpr auto pjc = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusBase,
    "3～8拍ごとに、早い時期に幅の狭いQRS波が現れる。",
    "そのP'波は陰性でPR'間隔は120ms未満か、P'波がない。",
    narrowQrs,
    "洞結節がリセットされ、その後の洞調律の周期がずれる。",
    empty,
    waveformHeading,
    "房室接合部から早く出た興奮が、心室へは順行性、心房へは逆行性に伝わる。",
    "上室性期外収縮の一つで、P'波はQRSの前、中、後のいずれにもなりうる。",
    empty,
    actionHeading,
    "症状がなければ治療は不要である。",
    "カフェイン、アルコール、喫煙を控え、ジゴキシン中毒がないか確かめる。",
    empty,
    drugsHeading,
    usuallyNoDrugs);

constexpr auto junctionalEscape = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "心拍数は40～60/分で、規則的である。",
    narrowQrs,
    noPBeforeQrs,
    empty,
    waveformHeading,
    "洞結節の興奮が遅いか止まったとき、房室接合部が代わりに心拍を作る。",
    "心拍を保つための補充調律であり、抑えてはならない。",
    empty,
    actionHeading,
    "原因（洞不全、房室ブロック、薬剤、迷走神経の緊張、下壁梗塞）を調べる。",
    symptomaticBradycardia,
    bradycardiaEscalation,
    empty,
    drugsHeading,
    atropine,
    infusions);

constexpr auto acceleratedJunctional = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "心拍数は61～100/分で、規則的である。",
    narrowQrs,
    noPBeforeQrs,
    empty,
    waveformHeading,
    "房室接合部の自動能が高まり、洞結節より速く興奮する。",
    "ジゴキシン中毒、心筋梗塞、心臓手術後、心筋炎でみられる。",
    empty,
    actionHeading,
    "多くは一過性で、原因の治療でよい。",
    digoxinCheck,
    empty,
    drugsHeading,
    usuallyNoDrugs);

constexpr auto junctionalTachycardia = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "心拍数は101～140/分で、規則的である。",
    narrowQrs,
    noPBeforeQrs,
    empty,
    waveformHeading,
    "房室接合部の自動能がさらに高まった頻拍で、始まりと終わりは徐々である。",
    "ジゴキシン中毒、心筋梗塞、心臓手術後（特に小児）にみられる。",
    "リエントリーではないため、アデノシンや電気ショックでは止まりにくい。",
    empty,
    actionHeading,
    "原因（ジゴキシン中毒、電解質異常、カテコラミン投与など）を正す。",
    digoxinCheck,
    "心拍数の調節が必要なら、専門医と相談してβ遮断薬などを使う。",
    empty,
    drugsHeading,
    "β遮断薬、アミオダロン");

constexpr auto svtAvnrt = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "心拍数は150～250/分で、規則的である。",
    narrowQrs,
    "P波はQRSに隠れて見えないか、QRSの直後にある（RP間隔100ms未満）。",
    empty,
    waveformHeading,
    "房室結節内の速い経路と遅い経路を旋回する興奮（リエントリー）で起こる。",
    "発作性上室頻拍で最も多く、突然始まり、突然止まる。",
    "若い人に多く、心臓に病気がないことが多い。",
    empty,
    actionHeading,
    unstableCardioversion,
    "安定していれば修正バルサルバ法などの迷走神経刺激を行う。",
    "（半座位で15秒いきんだ直後に、仰向けで両脚を挙上する）",
    "無効ならアデノシンを急速静注する。眼球圧迫は行わない。",
    "発作を繰り返すなら、カテーテルアブレーションで根治できる。",
    empty,
    drugsHeading,
    adenosine,
    "ベラパミル、ジルチアゼム、β遮断薬");

constexpr auto wpw = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    sinusBase,
    "PR間隔が短い（80～110ms、120ms未満）。",
    "QRSの立ち上がりがなだらかなデルタ波（30～50ms）がある。",
    "QRS幅は110～140msに広がる。",
    empty,
    waveformHeading,
    "房室結節を通らない副伝導路（ケント束）で、心室の一部が早く興奮する。",
    "心電図所見だけならWPW型、頻拍発作を伴えばWPW症候群と呼ぶ。",
    "房室回帰性頻拍や、早期興奮を伴う心房細動（偽性心室頻拍）を起こしうる。",
    empty,
    actionHeading,
    "発作がなければ、専門医で突然死の危険を評価する。",
    "早期興奮を伴う心房細動では、房室結節を抑える薬を使わない。",
    "（アデノシン、ベラパミル、ジルチアゼム、ジゴキシンは禁忌）",
    unstableCardioversion,
    "根治にはカテーテルアブレーションが有効である。",
    empty,
    drugsHeading,
    "早期興奮を伴う心房細動にはプロカインアミド",
    "QRS幅の狭い房室回帰性頻拍にはアデノシン（迷走神経刺激の後）");

constexpr auto avBlock1 = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusBase,
    "PR間隔は210～380msに延長し、一定である（200msを超える）。",
    "すべてのP波にQRS波が続き、脱落はない。",
    empty,
    waveformHeading,
    "心房から心室への伝導（多くは房室結節）が遅れているが、途絶えてはいない。",
    "運動選手、迷走神経の緊張、薬剤、下壁梗塞でみられる。",
    empty,
    actionHeading,
    "単独では治療は不要である。",
    "原因となる薬剤を見直し、より高度なブロックへの進行に注意する。",
    empty,
    drugsHeading,
    "なし（原因となる薬剤の減量や中止を検討）");

constexpr auto mobitz1 = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    sinusBase,
    "PR間隔が160～220msから一拍ごとに延び、ついにQRS波が脱落する。",
    "PRの延びは最初が最も大きく、グループ内でRR間隔は短くなっていく。",
    "伝導は3～5拍ごとに途切れ、脱落を挟むRRはPP間隔の2倍より短い。",
    empty,
    waveformHeading,
    "房室結節の伝導がしだいに遅れ、ついに1拍が伝わらない周期を繰り返す。",
    "この周期をウェンケバッハ周期と呼び、脱落の後のPR間隔が最も短い。",
    "ブロックの部位はほとんどが房室結節で、予後は良好なことが多い。",
    empty,
    actionHeading,
    "症状がなければ観察し、原因（薬剤、下壁梗塞、迷走神経の緊張）を確かめる。",
    symptomaticBradycardia,
    empty,
    drugsHeading,
    atropine);

constexpr auto mobitz2 = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    sinusBase,
    "PR間隔は120～200msで一定。",
    "2～5拍伝導した後、前触れなくP波の後のQRS波が脱落する。",
    "脱落を挟むRR間隔は、ちょうどPP間隔の2倍。",
    "QRS幅は狭いことも広いこともある。",
    empty,
    waveformHeading,
    "ヒス束や脚（房室結節より下）のブロックで起こることが多い。",
    "完全房室ブロックや心静止に進む危険が高い。",
    empty,
    actionHeading,
    "症状がなくても心静止の危険があり、経皮ペーシングを準備して専門医に相談する。",
    "症状があれば経皮ペーシングやアドレナリンで対応し、経静脈ペーシングを行う。",
    "アトロピンは効かないことが多い。恒久的ペースメーカーの適応となる。",
    empty,
    drugsHeading,
    "アドレナリン、ドパミン、イソプロテレノール（ペーシングまでのつなぎ）");

constexpr auto avBlock2to1 = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "心房の心拍数は70～100/分で、P波の2つに1つが伝導されない。",
    "伝導されるP波のPR間隔は120～200msで一定。",
    "心室の心拍数は心房の半分（35～50/分）。",
    empty,
    waveformHeading,
    "続けて伝導される拍がないため、モビッツⅠ型かⅡ型かを決められない。",
    "QRS幅が狭ければ房室結節、広ければヒス束より下のブロックの可能性が高い。",
    "伝導されないP波がT波に重なると、洞徐脈と誤りやすい。",
    empty,
    actionHeading,
    symptomaticBradycardia,
    bradycardiaEscalation,
    "進行の危険があるため、ペーシングを準備して専門医に相談する。",
    empty,
    drugsHeading,
    atropine,
    infusions);

constexpr auto chbNarrow = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "P波（60～100/分）とQRS波（35～60/分）が無関係に現れる。",
    "心房の心拍数が心室より速く、PR間隔はばらばらである。",
    "QRS幅は120ms未満で、房室接合部からの補充調律である。",
    empty,
    waveformHeading,
    "心房の興奮がまったく心室に伝わらず、房室接合部が心室を動かしている。",
    "P波がQRSやT波に重なっても、PP間隔を追うと規則的である。",
    "房室結節のブロック（下壁梗塞、薬剤など）に多い。",
    empty,
    actionHeading,
    symptomaticBradycardia,
    bradycardiaEscalation,
    "多くは恒久的ペースメーカーの適応となり、専門医に相談する。",
    empty,
    drugsHeading,
    atropine,
    infusions);

constexpr auto chbWide = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "P波（60～100/分）とQRS波が無関係に現れる（房室解離）。",
    "心室の補充調律は20～40/分と遅く、QRS幅は120ms以上。",
    empty,
    waveformHeading,
    "ヒス束より下でブロックされ、心室の補充調律だけで心拍が保たれている。",
    "補充調律は不安定で、心静止に進む危険が高い。",
    empty,
    actionHeading,
    "直ちに経皮ペーシングを準備する（アトロピンはほとんど効かない）。",
    "薬剤の持続投与でつなぎ、経静脈ペーシング、恒久的ペースメーカーを行う。",
    "補充調律を抑える抗不整脈薬（リドカインなど）は使わない。",
    empty,
    drugsHeading,
    "アドレナリン、ドパミン、イソプロテレノール");

constexpr auto pvcUnifocal = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusBase,
    "3～10拍ごとに、早い時期に幅広いQRS（120～160ms）が現れる。",
    pvcShape,
    "形はすべて同じで、連結期（先行するQRSからの間隔）は一定。",
    "代償性休止：PVCを挟むRR間隔がちょうどPP間隔の2倍になる。",
    empty,
    waveformHeading,
    "心室の1か所から早く出た興奮が、心室内を遠回りして伝わるため幅が広い。",
    "洞結節はリセットされず、次の洞性P波はPVCに隠れる。",
    empty,
    actionHeading,
    pvcAsymptomatic,
    pvcWorkUp,
    noSuppression,
    empty,
    drugsHeading,
    pvcDrugs);

constexpr auto pvcMultifocal = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    sinusBase,
    "幅広いQRS（120～160ms）の心室性期外収縮が現れる。",
    "PVCの形が3種類あり、連結期も一定でない。",
    pvcShape,
    empty,
    waveformHeading,
    "心室内の複数の部位から興奮が出ている。",
    "心筋虚血、低カリウム血症、ジゴキシン中毒など、心筋の障害を示すことがある。",
    "心室頻拍や心室細動に移行する危険がある。",
    empty,
    actionHeading,
    correctCauses,
    monitorAndPrepare,
    empty,
    drugsHeading,
    electrolytes,
    specialistDrugs);

constexpr auto ventricularBigeminy = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusBase,
    "正常の拍とPVCが交互に現れる（N V N V）。",
    "連結期は一定で、PVCの後に代償性休止がある。",
    pvcShape,
    empty,
    waveformHeading,
    "心室二段脈と呼ぶ。PVCの拍出は少なく、脈拍は心電図より少なく触れる。",
    "PVCが2拍に1回と多いため、心機能の低下や電解質異常がないか確かめる。",
    empty,
    actionHeading,
    pvcRegularNoSymptoms,
    pvcWorkUp,
    noSuppression,
    empty,
    drugsHeading,
    pvcDrugs);

constexpr auto ventricularTrigeminy = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusBase,
    "正常の拍2つの後にPVCが1つ現れる（N N V）。",
    "連結期は一定で、PVCの後に代償性休止がある。",
    pvcShape,
    empty,
    waveformHeading,
    "心室三段脈と呼ぶ。",
    "単発のPVCが規則的に繰り返されているもので、意味は単発のPVCと同じである。",
    empty,
    actionHeading,
    pvcRegularNoSymptoms,
    pvcWorkUp,
    noSuppression,
    empty,
    drugsHeading,
    pvcDrugs);

constexpr auto pvcCouplets = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    sinusBase,
    "4～8拍ごとに、PVCが2つ続けて現れる（2連発）。",
    pvcShape,
    empty,
    waveformHeading,
    "2つ続くものを2連発（カプレット）と呼ぶ。",
    "3つ以上続けば非持続性心室頻拍であり、単発より危険である。",
    empty,
    actionHeading,
    correctCauses,
    monitorAndPrepare,
    empty,
    drugsHeading,
    electrolytes,
    specialistDrugs);

constexpr auto pvcROnT = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    sinusBase,
    "連結期240～320msの非常に早いPVCが現れる。",
    "PVCが先行する拍のT波の上（受攻期）に乗る。",
    empty,
    waveformHeading,
    "心室の回復が不均一な受攻期の刺激は、心室頻拍や心室細動の引き金になる。",
    "QT延長、急性心筋虚血、電解質異常があると特に危険である。",
    empty,
    actionHeading,
    monitorAndPrepare,
    "カリウム、マグネシウムを補正し、QTを延長させる薬剤を見直す。",
    "心室細動や無脈性心室頻拍になれば直ちに除細動を行う。",
    empty,
    drugsHeading,
    electrolytes,
    "心筋虚血があればβ遮断薬");

constexpr auto nsvt = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    sinusBase,
    "幅広いQRSの心室性の拍が3～10拍、120～200/分で続く。",
    "連発は30秒未満で自然に止まり、洞調律に戻る。",
    empty,
    waveformHeading,
    "3拍以上続き30秒未満で止まる心室頻拍を、非持続性心室頻拍と呼ぶ。",
    "心臓に病気のある人では、突然死の危険の指標になる。",
    empty,
    actionHeading,
    monitorAndPrepare,
    "電解質を補正し、心エコーなどで心臓の病気を評価する。",
    empty,
    drugsHeading,
    electrolytes,
    specialistDrugs);

constexpr auto idioventricular = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "心室の心拍数は20～40/分、QRS幅は120ms以上。",
    "P波がない。",
    empty,
    waveformHeading,
    "上位のペースメーカーがすべて働かないときの、心室からの補充調律である。",
    "心拍出量が少なく、脈が触れない（無脈性電気活動）こともある。",
    "心停止の直前や蘇生の途中でみられることが多い。",
    empty,
    actionHeading,
    pulseCheck,
    "脈があれば重い徐脈として、経皮ペーシングやアドレナリンで治療する。",
    "補充調律を抑える抗不整脈薬（リドカインなど）は使わない。",
    empty,
    drugsHeading,
    "アドレナリン（アトロピンの効果は乏しい）");

constexpr auto aivr = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    "心室の心拍数は50～100/分、QRS幅は120ms以上。",
    "P波がない。",
    empty,
    waveformHeading,
    "心室の自動能が高まり、洞結節よりわずかに速くなって現れる。",
    "心筋梗塞の再灌流後によくみられ、多くは一過性で良性である。",
    "心拍数が遅い点で心室頻拍と区別する。",
    empty,
    actionHeading,
    "血行動態が安定していれば治療は不要で、監視を続ける。",
    "抗不整脈薬で抑えない（下位の調律を失い、心停止となるおそれがある）。",
    empty,
    drugsHeading,
    usuallyNoDrugs);

constexpr auto vtMonomorphic = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "心室の心拍数は130～250/分で、規則的である。",
    "QRS幅は120ms以上で、形はすべて同じ（単形性）。",
    "洞調律のP波はQRSと無関係に現れる（房室解離）。",
    empty,
    waveformHeading,
    "心室内のリエントリー（心筋梗塞の瘢痕など）で起こることが多い。",
    "房室解離、融合収縮、捕捉収縮があれば心室頻拍と確定できる。",
    "脈があることも、ないこともある。",
    empty,
    actionHeading,
    pulseFirst,
    "脈がなければ直ちに除細動、脈があり不安定なら同期電気ショックを行う。",
    "安定していれば12誘導心電図を記録し、専門医と抗不整脈薬を検討する。",
    empty,
    drugsHeading,
    "アミオダロン、プロカインアミド、ニフェカラント、リドカイン");

constexpr auto torsades = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "心拍数200～250/分の、幅広いQRSの頻拍。",
    "QRSの振幅が5～15拍ごとに増減し、向きがねじれるように変わる。",
    empty,
    waveformHeading,
    "QT延長（先天性、薬剤、低カリウム血症、低マグネシウム血症、徐脈）が背景にある。",
    "多形性心室頻拍の一つで、自然に止まることも心室細動に移ることもある。",
    empty,
    actionHeading,
    "脈がなければ直ちに除細動を行い、心肺蘇生を続ける。",
    "硫酸マグネシウム2gを静注する。",
    "QTを延長させる薬剤を中止し、カリウムを補正する。",
    "徐脈が引き金なら、イソプロテレノールやペーシングで心拍数を上げる。",
    empty,
    drugsHeading,
    "硫酸マグネシウム、塩化カリウム、イソプロテレノール");

constexpr auto ventricularFlutter = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "250～350/分の、正弦波のような規則的で振幅の大きい波。",
    "QRSとT波を区別できず、基線（等電位線）がない。",
    empty,
    waveformHeading,
    "非常に速い心室の興奮で、有効な心拍出はなく心停止として扱う。",
    "短い時間で心室細動に移ることが多い。",
    empty,
    actionHeading,
    defibrillate,
    rhythmCheck,
    noThump,
    empty,
    drugsHeading,
    arrestAdrenaline,
    arrestAntiarrhythmics);

constexpr auto vfCoarse = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "QRS波がなく、150～500/分の無秩序な波が続く。",
    "波の振幅は山から谷まで3mm以上（粗い心室細動）。",
    empty,
    waveformHeading,
    concat("心室の各部がばらばらに興奮し、", quiverNoOutput),
    "時間がたつと波は細かくなり、やがて心静止に移る。",
    empty,
    actionHeading,
    defibrillate,
    rhythmCheck,
    noThump,
    empty,
    drugsHeading,
    arrestAdrenaline,
    arrestAntiarrhythmics);

constexpr auto vfFine = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "QRS波がなく、150～500/分の無秩序な波が続く。",
    "波の振幅は3mm未満（細かい心室細動）。",
    empty,
    waveformHeading,
    "心室細動が長く続き、心筋のエネルギーが尽きかけている。",
    "心静止と紛らわしいので、誘導、感度（ゲイン）、電極の外れを確かめる。",
    empty,
    actionHeading,
    "細動波がはっきりしていれば、直ちに除細動を行う。",
    "心静止と区別できないほど細かいときは、除細動せず胸骨圧迫を続ける。",
    rhythmCheck,
    empty,
    drugsHeading,
    arrestAdrenaline,
    arrestAntiarrhythmics);

constexpr auto asystole = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "平坦な線で、P波もQRS波もない。",
    empty,
    waveformHeading,
    "心臓の電気的な活動が止まった状態で、最も予後が悪い。",
    checkLeads,
    empty,
    actionHeading,
    cprAndAdrenaline,
    noDefibrillation,
    reversibleCauses,
    reversibleCausesCont,
    empty,
    drugsHeading,
    asystoleAdrenaline);

constexpr auto pWaveAsystole = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "P波だけが30～60/分で現れ、QRS波がない（心室静止）。",
    empty,
    waveformHeading,
    "心房は興奮しているが心室に伝わらず、心室の補充調律も出ない。",
    "完全房室ブロックで補充調律が出ないときに起こる。",
    empty,
    actionHeading,
    cprAndAdrenaline,
    noDefibrillation,
    "P波のある心静止には、ペーシングが有効なことがある。",
    empty,
    drugsHeading,
    asystoleAdrenaline);

constexpr auto pacedAtrial = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    "細いスパイク（20ms以下）の直後にP波が続く。",
    "P波は房室結節を通って伝わり、QRS幅は狭い。",
    "ペーシングの心拍数は60～80/分、スパイクからQRSまで160～240ms。",
    empty,
    waveformHeading,
    "心房のリードで心房を刺激するペースメーカー（AAIなど）である。",
    "房室伝導が保たれた洞不全症候群に使われる。",
    empty,
    actionHeading,
    pacingWorks,
    pacemakerCard,
    empty,
    drugsHeading,
    noDrugs);

constexpr auto pacedVentricular = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    "スパイクの直後に幅広いQRS（120ms以上）が続き、T波は逆向き。",
    pacingRate,
    "P波がない。",
    empty,
    waveformHeading,
    "右心室のリードで刺激するため、左脚ブロックに似た幅広いQRSになる。",
    "徐脈性の心房細動や房室ブロックで使われる（VVIなど）。",
    empty,
    actionHeading,
    pacingWorks,
    pacemakerCard,
    empty,
    drugsHeading,
    noDrugs);

constexpr auto pacedAv = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    "心房スパイク、P波、心室スパイク、幅広いQRSの順に現れる。",
    "房室遅延（スパイクからスパイクまで）は120～200ms。",
    pacingRate,
    empty,
    waveformHeading,
    "心房と心室のリードで順に刺激し（DDDなど）、房室の同期を保つ。",
    "房室ブロックや洞不全症候群に使われる。",
    empty,
    actionHeading,
    pacingWorks,
    pacemakerCard,
    empty,
    drugsHeading,
    noDrugs);

constexpr auto pacedFailureToCapture = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "心室ペーシング（60～80/分）のスパイクの後に、QRS波が続かないことがある。",
    "およそ3回に1回、スパイクだけが現れる。",
    empty,
    waveformHeading,
    "ペースメーカーの刺激が心筋を興奮させられない状態（捕捉不全）である。",
    "リードのずれや断線、閾値の上昇（虚血、高カリウム血症、薬剤）、電池の消耗で起こる。",
    empty,
    actionHeading,
    "脈拍と症状を確かめ、ペースメーカーに頼っていれば経皮ペーシングを準備する。",
    deviceCheck,
    "電解質異常（特に高カリウム血症）を確かめる。",
    empty,
    drugsHeading,
    "徐脈で症状があればアトロピン、アドレナリン");

constexpr auto pacedFailureToSense = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "自己の洞調律（70～95/分）があるのに、スパイクが一定の60～70/分で出続ける。",
    "スパイクがQRSやT波に重なる（捕捉しない）か、心室が反応できれば捕捉する。",
    empty,
    waveformHeading,
    "ペースメーカーが自己の心拍を感知できない状態（アンダーセンシング）である。",
    "T波の上（受攻期）のスパイクは、心室頻拍や心室細動を誘発するおそれがある。",
    empty,
    actionHeading,
    monitorAndPrepare,
    deviceCheck,
    empty,
    drugsHeading,
    noDrugs);

constexpr auto bbb = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    "基本は洞調律（60～100/分）で、PR間隔は120～200ms。",
    "QRS幅は120～160msに広がり、ノッチ（rsR'型）がある。",
    "T波はQRSの主な向きと逆向き。",
    empty,
    waveformHeading,
    "右脚か左脚の伝導が途絶え、心室の一部が遅れて興奮する。",
    "右脚か左脚かは、12誘導心電図のV1とV6のQRSの形で判定する。",
    "すべてのQRSの前にP波があり、PR間隔が一定な点で心室頻拍と区別する。",
    empty,
    actionHeading,
    "脚ブロック自体の治療は不要である。",
    "新たな左脚ブロックで胸痛があれば、急性冠症候群として評価する。",
    "失神があれば、より高度な伝導障害を疑って評価する。",
    empty,
    drugsHeading,
    noDrugs);
// clang-format on

} // namespace

const LibraryEntries libraryNames{
    "正常洞調律",
    "洞徐脈",
    "洞頻脈",
    "呼吸性洞性不整脈",
    "洞停止",
    "Ⅱ度洞房ブロック",
    "心房性期外収縮（PAC）",
    "心房頻拍",
    "多源性心房頻拍（MAT）",
    "心房細動（心拍数コントロール良好）",
    "頻脈性心房細動",
    "心房粗動（2:1伝導）",
    "心房粗動（4:1伝導）",
    "心房粗動（不定伝導）",
    "房室接合部性期外収縮（PJC）",
    "房室接合部補充調律",
    "促進房室接合部調律",
    "房室結節リエントリー性頻拍（AVNRT）",
    "WPW症候群",
    "Ⅰ度房室ブロック",
    "Ⅱ度房室ブロック（ウェンケバッハ型）",
    "Ⅱ度房室ブロック（モビッツⅡ型）",
    "2:1房室ブロック",
    "完全房室ブロック（幅の狭いQRS）",
    "完全房室ブロック（幅の広いQRS）",
    "単源性心室性期外収縮",
    "多源性心室性期外収縮",
    "心室二段脈",
    "心室三段脈",
    "心室性期外収縮2連発",
    "R on T型心室性期外収縮",
    "非持続性心室頻拍（NSVT）",
    "心室固有調律",
    "促進心室固有調律（AIVR）",
    "単形性心室頻拍",
    "トルサード・ド・ポワント",
    "心室細動（粗い波）",
    "心室細動（細かい波）",
    "心静止",
    "心房ペーシング",
    "心室ペーシング",
    "房室順次ペーシング",
    "ペースメーカー捕捉不全",
    "ペースメーカー感知不全",
    "脚ブロック",
    "房室接合部頻拍",
    "心房粗動（3:1伝導）",
    "心室粗動",
    "P波のみの心静止",
};

const LibraryEntries libraryTexts{
    sinusRhythm.view(),
    sinusBradycardia.view(),
    sinusTachycardia.view(),
    sinusArrhythmia.view(),
    sinusArrest.view(),
    saBlock.view(),
    pac.view(),
    atrialTachycardia.view(),
    mat.view(),
    afControlled.view(),
    afRapid.view(),
    flutter2to1.view(),
    flutter4to1.view(),
    flutterVariable.view(),
    pjc.view(),
    junctionalEscape.view(),
    acceleratedJunctional.view(),
    svtAvnrt.view(),
    wpw.view(),
    avBlock1.view(),
    mobitz1.view(),
    mobitz2.view(),
    avBlock2to1.view(),
    chbNarrow.view(),
    chbWide.view(),
    pvcUnifocal.view(),
    pvcMultifocal.view(),
    ventricularBigeminy.view(),
    ventricularTrigeminy.view(),
    pvcCouplets.view(),
    pvcROnT.view(),
    nsvt.view(),
    idioventricular.view(),
    aivr.view(),
    vtMonomorphic.view(),
    torsades.view(),
    vfCoarse.view(),
    vfFine.view(),
    asystole.view(),
    pacedAtrial.view(),
    pacedVentricular.view(),
    pacedAv.view(),
    pacedFailureToCapture.view(),
    pacedFailureToSense.view(),
    bbb.view(),
    junctionalTachycardia.view(),
    flutter3to1.view(),
    ventricularFlutter.view(),
    pWaveAsystole.view(),
};

} // namespace pulsavo::catalogue
