#pragma once

#include "Rhythm.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pulsavo {

// The rhythm library: textbook rhythms played by the conduction model. Each is a Rhythm whose
// index follows the classic 18 (rhythmCount + its place here), so one type names every rhythm
// the program plays. Like the classic numbering, this order is stored nowhere and may grow at
// the end only; what is stored and typed is the string id.
enum class LibraryRhythm : int {
    sinusRhythm,
    sinusBradycardia,
    sinusTachycardia,
    sinusArrhythmia,
    sinusArrest,
    saBlock,
    pac,
    atrialTachycardia,
    mat,
    afControlled,
    afRapid,
    flutter2to1,
    flutter4to1,
    flutterVariable,
    pjc,
    junctionalEscape,
    acceleratedJunctional,
    svtAvnrt,
    wpw,
    avBlock1,
    mobitz1,
    mobitz2,
    avBlock2to1,
    chbNarrow,
    chbWide,
    pvcUnifocal,
    pvcMultifocal,
    ventricularBigeminy,
    ventricularTrigeminy,
    pvcCouplets,
    pvcROnT,
    nsvt,
    idioventricular,
    aivr,
    vtMonomorphic,
    torsades,
    vfCoarse,
    vfFine,
    asystole,
    pacedAtrial,
    pacedVentricular,
    pacedAv,
    pacedFailureToCapture,
    pacedFailureToSense,
    bbb,
    junctionalTachycardia,
    flutter3to1,
    ventricularFlutter,
    pWaveAsystole,
    pea,
    vtPulseless,
};

inline constexpr int libraryRhythmCount = 51;
inline constexpr int totalRhythmCount = rhythmCount + libraryRhythmCount;

// How the library groups its rhythms for choosing and for reports.
enum class LibraryFamily {
    sinus,
    atrial,
    junctional,
    avBlock,
    ventricularEctopy,
    ventricular,
    paced,
    conduction,
};
inline constexpr int libraryFamilyCount = 8;

struct LibraryInfo {
    std::string_view id;
    LibraryFamily family;
};

inline constexpr std::array<LibraryInfo, libraryRhythmCount> libraryInfo{{
    {"sinus_rhythm", LibraryFamily::sinus},
    {"sinus_bradycardia", LibraryFamily::sinus},
    {"sinus_tachycardia", LibraryFamily::sinus},
    {"sinus_arrhythmia", LibraryFamily::sinus},
    {"sinus_arrest", LibraryFamily::sinus},
    {"sa_block", LibraryFamily::sinus},
    {"pac", LibraryFamily::atrial},
    {"atrial_tachycardia", LibraryFamily::atrial},
    {"mat", LibraryFamily::atrial},
    {"af_controlled", LibraryFamily::atrial},
    {"af_rapid", LibraryFamily::atrial},
    {"flutter_2to1", LibraryFamily::atrial},
    {"flutter_4to1", LibraryFamily::atrial},
    {"flutter_variable", LibraryFamily::atrial},
    {"pjc", LibraryFamily::junctional},
    {"junctional_escape", LibraryFamily::junctional},
    {"accelerated_junctional", LibraryFamily::junctional},
    {"svt_avnrt", LibraryFamily::junctional},
    {"wpw", LibraryFamily::junctional},
    {"av_block_1", LibraryFamily::avBlock},
    {"mobitz_1", LibraryFamily::avBlock},
    {"mobitz_2", LibraryFamily::avBlock},
    {"av_block_2to1", LibraryFamily::avBlock},
    {"chb_narrow", LibraryFamily::avBlock},
    {"chb_wide", LibraryFamily::avBlock},
    {"pvc_unifocal", LibraryFamily::ventricularEctopy},
    {"pvc_multifocal", LibraryFamily::ventricularEctopy},
    {"ventricular_bigeminy", LibraryFamily::ventricularEctopy},
    {"ventricular_trigeminy", LibraryFamily::ventricularEctopy},
    {"pvc_couplets", LibraryFamily::ventricularEctopy},
    {"pvc_r_on_t", LibraryFamily::ventricularEctopy},
    {"nsvt", LibraryFamily::ventricularEctopy},
    {"idioventricular", LibraryFamily::ventricular},
    {"aivr", LibraryFamily::ventricular},
    {"vt_monomorphic", LibraryFamily::ventricular},
    {"torsades", LibraryFamily::ventricular},
    {"vf_coarse", LibraryFamily::ventricular},
    {"vf_fine", LibraryFamily::ventricular},
    {"asystole", LibraryFamily::ventricular},
    {"paced_atrial", LibraryFamily::paced},
    {"paced_ventricular", LibraryFamily::paced},
    {"paced_av", LibraryFamily::paced},
    {"paced_failure_to_capture", LibraryFamily::paced},
    {"paced_failure_to_sense", LibraryFamily::paced},
    {"bbb", LibraryFamily::conduction},
    {"junctional_tachycardia", LibraryFamily::junctional},
    {"flutter_3to1", LibraryFamily::atrial},
    {"ventricular_flutter", LibraryFamily::ventricular},
    {"p_wave_asystole", LibraryFamily::ventricular},
    {"pea", LibraryFamily::ventricular},
    {"vt_pulseless", LibraryFamily::ventricular},
}};

static_assert(static_cast<int>(LibraryRhythm::vtPulseless) == libraryRhythmCount - 1,
              "libraryRhythmCount must match the enumeration");

constexpr Rhythm rhythmOf(LibraryRhythm rhythm) {
    return static_cast<Rhythm>(rhythmCount + static_cast<int>(rhythm));
}

constexpr bool isClassic(Rhythm rhythm) {
    return indexOf(rhythm) >= 0 && indexOf(rhythm) < rhythmCount;
}

constexpr std::optional<LibraryRhythm> libraryRhythmOf(Rhythm rhythm) {
    const int index = indexOf(rhythm) - rhythmCount;
    if (index < 0 || index >= libraryRhythmCount) {
        return std::nullopt;
    }
    return static_cast<LibraryRhythm>(index);
}

// Any rhythm by its index: the classic 0..17, then the library.
constexpr std::optional<Rhythm> anyRhythmAt(int index) {
    if (index < 0 || index >= totalRhythmCount) {
        return std::nullopt;
    }
    return static_cast<Rhythm>(index);
}

constexpr const LibraryInfo& infoOf(LibraryRhythm rhythm) {
    return libraryInfo[static_cast<std::size_t>(rhythm)];
}

inline constexpr std::array<LibraryRhythm, libraryRhythmCount> allLibraryRhythms = [] {
    std::array<LibraryRhythm, libraryRhythmCount> rhythms{};
    for (int i = 0; i < libraryRhythmCount; ++i) {
        rhythms[static_cast<std::size_t>(i)] = static_cast<LibraryRhythm>(i);
    }
    return rhythms;
}();

// The stable id of any rhythm: the library's own ids, "classic_0" to "classic_17" for the
// classic 18. This is what answers files, exam files and command lines carry.
std::string rhythmId(Rhythm rhythm);

// Reads an id as rhythmId writes it, a classic number ("0" to "17") or a library id; none for
// anything else. Exact and case-sensitive: an id is not a name.
std::optional<Rhythm> parseRhythmId(std::string_view text);

// The library's family names in the ids' own style ("sinus", "av_block", …).
std::string_view familyId(LibraryFamily family);

} // namespace pulsavo
