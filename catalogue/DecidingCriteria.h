#pragma once

#include "Language.h"
#include "RhythmLibrary.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pulsavo::catalogue {

// What a textbook gives as a rhythm's range on a strip: the ventricular rate per minute, the PR
// a reader writes down and the QRS width. A rate of 0..0 has no range (no QRS, or any rate).
enum PrKind : std::uint8_t {
    prNormal = 1U << 0, // 120–200 ms, constant
    prLong = 1U << 1,   // over 200 ms, constant
    prShort = 1U << 2,  // under 120 ms
    prVaries = 1U << 3, // changes from beat to beat
    prNone = 1U << 4,   // no P conducted to a QRS
};
enum class QrsWidth : std::uint8_t { narrow, wide, either, none };

inline constexpr int prNormalLoMs = 120;
inline constexpr int prNormalHiMs = 200;
inline constexpr int qrsWideMs = 120;

struct TextbookRange {
    int rateLo = 0;
    int rateHi = 0;
    unsigned pr = prNormal; // the PrKind readings that fit
    QrsWidth qrs = QrsWidth::narrow;
    bool hasRate() const { return rateHi > 0; }
};

TextbookRange textbookRangeOf(Rhythm rhythm);

// The library rhythm a classic rhythm is taught as, for its criteria and confusions; a library
// rhythm stands for itself.
LibraryRhythm taughtAs(Rhythm rhythm);

// The rhythms `rhythm` is most often taken for, commonest first.
std::span<const LibraryRhythm> commonConfusions(LibraryRhythm rhythm);

// The one sign that tells the rhythm shown from the one it was taken for, as a reader checks it
// on the strip: the pair's own row, or the shown rhythm's family rule when the pair has none.
struct DecidingCriterion {
    std::string_view text;
    bool forThePair = false;
};
DecidingCriterion decidingCriterion(Rhythm shown, Rhythm taken,
                                    Language language = Language::japanese);

// The key points and the whole explanation as the practice window shows them: the question's
// trace there is all green, so a point about what "is shown in red" names the ECG feature.
std::string practiceKeyPointsOf(Rhythm rhythm, Language language = Language::japanese);
std::string practiceTextOf(Rhythm rhythm, Language language = Language::japanese);

} // namespace pulsavo::catalogue
