#include "ArtifactText.h"

#include <array>

namespace pulsavo::catalogue {

namespace {

struct ArtifactEntry {
    std::string_view nameJa;
    std::string_view nameEn;
    std::string_view explanationJa;
    std::string_view explanationEn;
};

// In the order of ArtifactKind.
constexpr std::array<ArtifactEntry, artifactKindCount> entries{{
    {"基線の揺れ（呼吸）", "Baseline wander (breathing)",
     "基線が呼吸に合わせてゆっくり上下します。P 波・QRS・T 波の形と R–R 間隔は変わらないので、"
     "基線ではなく QRS を追って読みます。",
     "The baseline rises and falls slowly with breathing. The P waves, QRS complexes and T waves "
     "keep their shape and the R–R intervals do not change: follow the QRS, not the baseline."},
    {"筋電図の混入（ふるえ）", "Muscle tremor",
     "細かく不規則な揺れが基線に乗り、心房細動の f 波に見えることがあります。R–R 間隔が規則的で、"
     "揺れの合間に P 波が見えれば洞調律です。心房細動なら R–R は絶対的に不規則です。",
     "Fine, irregular oscillation rides on the baseline and can pass for the f waves of atrial "
     "fibrillation. Regular R–R intervals and P waves seen between the tremor mean sinus rhythm; "
     "in atrial fibrillation the R–R intervals are irregularly irregular."},
    {"交流障害（ハム）", "50/60 Hz mains interference",
     "電源の 50/60 Hz が細かく均一な波として基線に乗り、粗動波に見えることがあります。"
     "粗動波（毎分約 300）よりずっと速く、形がそろいすぎています。P 波と QRS の関係は保たれます。",
     "The 50/60 Hz of the mains rides on the baseline as a fine, even wave and can pass for "
     "flutter "
     "waves. It is far faster than flutter waves (about 300/min) and too uniform; the P waves keep "
     "their relation to the QRS."},
    {"体動・電極の動き", "Electrode motion",
     "体動で幅の広い大きな振れが出て、心室頻拍に見えることがあります。振れの中や前後に元の QRS が"
     "同じ間隔で続いていれば、アーチファクトです。患者を見て、脈を確かめます。",
     "Movement makes wide, large deflections that can pass for ventricular tachycardia. When the "
     "patient's own QRS complexes march on at the same interval through and around them, it is "
     "artifact: look at the patient and feel for a pulse."},
    {"リードオフ（電極外れ）", "Lead off",
     "電極が外れると波形は平坦になり、心静止に見えます。モニターの「リードオフ」表示を確かめ、"
     "患者を見て電極を付け直します。",
     "A loose electrode flattens the trace, which can pass for asystole. Check the monitor's "
     "lead-off "
     "notice, look at the patient and reattach the electrode."},
    {"胸骨圧迫（CPR）", "CPR compressions",
     "胸骨圧迫は毎分 100〜120 の規則的な大きな波を作り、心室細動や心室頻拍を隠したり、"
     "それらに見せかけたりします。リズムは圧迫を止めた 10 秒以内の解析で判定します。",
     "Chest compressions make large regular waves at 100–120/min that hide ventricular "
     "fibrillation or tachycardia, or pass for them. Judge the rhythm in a pause of no more than "
     "10 seconds with compressions stopped."},
}};

const ArtifactEntry& entryOf(ArtifactKind kind) {
    return entries[static_cast<std::size_t>(kind)];
}

} // namespace

std::string_view artifactNameOf(ArtifactKind kind, Language language) {
    return language == Language::japanese ? entryOf(kind).nameJa : entryOf(kind).nameEn;
}

std::string_view artifactExplanationOf(ArtifactKind kind, Language language) {
    return language == Language::japanese ? entryOf(kind).explanationJa
                                          : entryOf(kind).explanationEn;
}

} // namespace pulsavo::catalogue
