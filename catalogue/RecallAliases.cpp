#include "RecallAliases.h"

namespace pulsavo::catalogue {

// clang-format off
const std::array<std::string_view, totalRhythmCount> recallAliasRows{
    // The classic 18.
    "どうちょうりつ|洞調律|正常洞調律|せいじょうどうちょうりつ|sinus rhythm|normal sinus rhythm|SR|NSR",
    "じょうしつせいきがいしゅうしゅく|上室性期外収縮|心房性期外収縮|しんぼうせいきがいしゅうしゅく|"
    "SVPC|SVPB|PAC|APC|supraventricular premature contraction|premature atrial contraction",
    "しんぼうせいひんぱく|心房性頻拍|心房頻拍|しんぼうひんぱく|発作性心房頻拍|ほっさせいしんぼうひんぱく|"
    "PAT|AT|paroxysmal atrial tachycardia|atrial tachycardia",
    "せつごうぶひんぱく|接合部頻拍|房室接合部頻拍|ぼうしつせつごうぶひんぱく|発作性上室性頻拍|"
    "ほっさせいじょうしつせいひんぱく|PSVT|SVT|junctional tachycardia|"
    "paroxysmal supraventricular tachycardia|supraventricular tachycardia",
    "しんぼうさいどう|心房細動|AF|AFib|atrial fibrillation",
    "しんぼうそどう|心房粗動|AF|AFL|atrial flutter|flutter",
    "しんしつせいきがいしゅうしゅくさんぱつせい|散発性心室性期外収縮|心室性期外収縮|しんしつせいきがいしゅうしゅく|"
    "PVC|VPC|VPB|premature ventricular contraction|sporadic PVC",
    "しんしつせいきがいしゅうしゅくたげんせい|多源性心室性期外収縮|たげんせいしんしつせいきがいしゅうしゅく|"
    "心室性期外収縮|しんしつせいきがいしゅうしゅく|PVC|VPC|VPB|premature ventricular contraction|"
    "multifocal PVC|multiform PVC",
    "しんしつせいきがいしゅうしゅくあーるおんてぃー|あーるおんてぃー|R on T型心室性期外収縮|R on T|R on T PVC",
    "しんしつせいきがいしゅうしゅくしょーとらんがた|ショートラン|しょーとらん|short run|PVC short run",
    "しんしつひんぱく|心室頻拍|VT|Vtach|ventricular tachycardia",
    "しんしつそさいどう|心室粗細動|心室細動|しんしつさいどう|心室粗動|しんしつそどう|VF|Vfib|"
    "ventricular fibrillation|ventricular flutter",
    "どうていし|洞停止|洞不全症候群|どうふぜんしょうこうぐん|SSS|sick sinus syndrome|sinus arrest|sinus pause",
    "どうぼうぶろっく|SA block|SAB|sinoatrial block",
    "ぼうしつぶろっくいちど|いちどぼうしつぶろっく|1度房室ブロック|Ⅰ度房室ブロック|1度AVB|1°AVB|1AVB|1st degree|"
    "1st degree AV block|first degree AV block|first degree heart block|1st degree heart block",
    "ぼうしつぶろっくにどもびっつがた|にどぼうしつぶろっくもびっつがた|モビッツ|モビッツ型|モビッツ2型|"
    "2度房室ブロックモビッツ型|Mobitz|Mobitz II|Mobitz 2|Mobitz type II|Mobitz type 2|"
    "2度房室ブロック|2nd degree AV block|second degree AV block|2nd degree",
    "ぼうしつぶろっくにどうぇんけばっはがた|にどぼうしつぶろっくうぇんけばっはがた|ウェンケバッハ|"
    "ウェンケバッハ型|ヴェンケバッハ|2度房室ブロックウェンケバッハ型|Wenckebach|wenck|Mobitz|Mobitz I|Mobitz 1|"
    "Mobitz type I|Mobitz type 1|2度房室ブロック|2nd degree AV block|second degree AV block|2nd degree",
    "ぼうしつぶろっくさんど|さんどぼうしつぶろっく|かんぜんぼうしつぶろっく|3度房室ブロック|Ⅲ度房室ブロック|"
    "完全房室ブロック|3度AVB|3°AVB|CHB|complete heart block|complete AV block|third degree AV block|"
    "3rd degree AV block|3rd degree|third degree heart block",

    // The library.
    "せいじょうどうちょうりつ|洞調律|どうちょうりつ|NSR|SR|sinus rhythm",
    "どうじょみゃく|SB|sinus brady",
    "どうひんみゃく|ST|sinus tach",
    "こきゅうせいどうせいふせいみゃく|洞性不整脈|どうせいふせいみゃく|respiratory sinus arrhythmia",
    "どうていし|sinus pause",
    "にどどうぼうぶろっく|洞房ブロック|どうぼうぶろっく|2度洞房ブロック|SA block|SAB|sinoatrial block",
    "しんぼうせいきがいしゅうしゅく|心房性期外収縮|上室性期外収縮|じょうしつせいきがいしゅうしゅく|PAC|APC|SVPC|"
    "premature atrial contraction",
    "しんぼうひんぱく|心房性頻拍|AT|PAT",
    "たげんせいしんぼうひんぱく|多源性心房頻拍|MAT",
    "しんぼうさいどうしんぱくすうこんとろーるりょうこう|心房細動|しんぼうさいどう|AF|AFib|atrial fibrillation|"
    "controlled AF|rate controlled AF",
    "ひんみゃくせいしんぼうさいどう|心房細動|しんぼうさいどう|AF|AFib|atrial fibrillation|rapid AF|AF RVR|"
    "AF with RVR|fast AF",
    "しんぼうそどうにたいいちでんどう|心房粗動|しんぼうそどう|AFL|atrial flutter|flutter|2:1 flutter|"
    "flutter 2:1|AFL 2:1|atrial flutter 2:1",
    "しんぼうそどうよんたいいちでんどう|心房粗動|しんぼうそどう|AFL|atrial flutter|flutter|4:1 flutter|"
    "flutter 4:1|AFL 4:1|atrial flutter 4:1",
    "しんぼうそどうふていでんどう|心房粗動|しんぼうそどう|AFL|atrial flutter|flutter|variable flutter|"
    "flutter variable|AFL variable|atrial flutter variable block",
    "ぼうしつせつごうぶせいきがいしゅうしゅく|接合部性期外収縮|せつごうぶせいきがいしゅうしゅく|PJC|JPC|"
    "premature junctional contraction",
    "ぼうしつせつごうぶほじゅうちょうりつ|接合部補充調律|せつごうぶほじゅうちょうりつ|junctional escape|"
    "junctional rhythm",
    "そくしんぼうしつせつごうぶちょうりつ|促進接合部調律|そくしんせつごうぶちょうりつ|AJR|accelerated junctional",
    "ぼうしつけっせつりえんとりーせいひんぱく|発作性上室性頻拍|ほっさせいじょうしつせいひんぱく|AVNRT|PSVT|SVT|"
    "supraventricular tachycardia|paroxysmal supraventricular tachycardia",
    "だぶりゅーぴーだぶりゅーしょうこうぐん|WPW|WPW syndrome|Wolff-Parkinson-White|preexcitation",
    "いちどぼうしつぶろっく|1度房室ブロック|1度AVB|1°AVB|1AVB|1st degree|1st degree AV block|"
    "first degree AV block|1st degree heart block|first degree heart block",
    "にどぼうしつぶろっくうぇんけばっはがた|ウェンケバッハ|うぇんけばっは|ウェンケバッハ型|ヴェンケバッハ|"
    "2度房室ブロックウェンケバッハ型|Wenckebach|wenck|Mobitz|Mobitz I|Mobitz 1|Mobitz type I|Mobitz type 1|"
    "2度房室ブロック|2nd degree AV block|second degree AV block|2nd degree",
    "にどぼうしつぶろっくもびっつにがた|モビッツ|もびっつ|モビッツ型|モビッツ2型|2度房室ブロックモビッツ型|"
    "Mobitz|Mobitz II|Mobitz 2|Mobitz type II|Mobitz type 2|2度房室ブロック|2nd degree AV block|"
    "second degree AV block|2nd degree",
    "にたいいちぼうしつぶろっく|2:1|2対1房室ブロック|2:1 AV block|2:1 AVB|2:1 block|2:1 heart block|"
    "2度房室ブロック|2nd degree AV block|second degree AV block|2nd degree",
    "かんぜんぼうしつぶろっくはばのせまいきゅーあーるえす|完全房室ブロック|かんぜんぼうしつぶろっく|3度房室ブロック|"
    "さんどぼうしつぶろっく|3度AVB|3°AVB|CHB|complete heart block|complete AV block|third degree AV block|"
    "3rd degree AV block|3rd degree|third degree heart block|narrow CHB|CHB narrow QRS",
    "かんぜんぼうしつぶろっくはばのひろいきゅーあーるえす|完全房室ブロック|かんぜんぼうしつぶろっく|3度房室ブロック|"
    "さんどぼうしつぶろっく|3度AVB|3°AVB|CHB|complete heart block|complete AV block|third degree AV block|"
    "3rd degree AV block|3rd degree|third degree heart block|wide CHB|CHB wide QRS",
    "たんげんせいしんしつせいきがいしゅうしゅく|心室性期外収縮|しんしつせいきがいしゅうしゅく|PVC|VPC|VPB|"
    "premature ventricular contraction|unifocal PVC",
    "たげんせいしんしつせいきがいしゅうしゅく|心室性期外収縮|しんしつせいきがいしゅうしゅく|PVC|VPC|VPB|"
    "premature ventricular contraction|multifocal PVC|multiform PVC",
    "しんしつにだんみゃく|二段脈|にだんみゃく|bigeminy",
    "しんしつさんだんみゃく|三段脈|さんだんみゃく|trigeminy",
    "しんしつせいきがいしゅうしゅくにれんぱつ|2連発|にれんぱつ|couplet|PVC couplet|PVC pair",
    "あーるおんてぃーがたしんしつせいきがいしゅうしゅく|あーるおんてぃー|R on T|R on T PVC",
    "ひじぞくせいしんしつひんぱく|NSVT|non-sustained VT|ショートラン|しょーとらん|short run",
    "しんしつこゆうちょうりつ|心室補充調律|しんしつほじゅうちょうりつ|IVR|ventricular escape rhythm",
    "そくしんしんしつこゆうちょうりつ|AIVR",
    "たんけいせいしんしつひんぱく|心室頻拍|しんしつひんぱく|VT|Vtach|ventricular tachycardia|monomorphic VT",
    "とるさーどどぽわんと|トルサード|とるさーど|TdP|torsades|torsade de pointes",
    "しんしつさいどうあらいなみ|心室細動|しんしつさいどう|VF|Vfib|ventricular fibrillation|coarse VF",
    "しんしつさいどうこまかいなみ|心室細動|しんしつさいどう|VF|Vfib|ventricular fibrillation|fine VF",
    "しんせいし|flatline",
    "しんぼうぺーしんぐ|AAI|atrial pacing|atrial paced",
    "しんしつぺーしんぐ|VVI|ventricular pacing|ventricular paced",
    "ぼうしつじゅんじぺーしんぐ|DDD|AV sequential pacing|dual chamber pacing|AV pacing",
    "ぺーすめーかーほそくふぜん|捕捉不全|ほそくふぜん|failure to capture|loss of capture",
    "ぺーすめーかーかんちふぜん|感知不全|かんちふぜん|アンダーセンシング|failure to sense|undersensing",
    "きゃくぶろっく|BBB",
    "ぼうしつせつごうぶひんぱく|接合部頻拍|せつごうぶひんぱく|JT|JET",
    "しんぼうそどうさんたいいちでんどう|心房粗動|しんぼうそどう|AFL|atrial flutter|flutter|3:1 flutter|"
    "flutter 3:1|AFL 3:1|atrial flutter 3:1",
    "しんしつそどう|VFL|Vflutter",
    "ぴーはのみのしんせいし|P波のみ|心室静止|しんしつせいし|ventricular standstill",
    "むみゃくせいでんきかつどう|無脈性電気活動|PEA|pulseless electrical activity",
    "むみゃくせいしんしつひんぱく|無脈性VT|pulseless VT|pVT",
};
// clang-format on

} // namespace pulsavo::catalogue
