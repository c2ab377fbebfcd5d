#include "Recall.h"

#include "Catalogue.h"
#include "RecallAliases.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

namespace pulsavo::catalogue {

namespace {

std::u32string decodeUtf8(std::string_view text) {
    std::u32string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = 1;
        char32_t c = lead;
        if (lead >= 0xF0) {
            length = 4;
            c = lead & 0x07U;
        } else if (lead >= 0xE0) {
            length = 3;
            c = lead & 0x0FU;
        } else if (lead >= 0xC0) {
            length = 2;
            c = lead & 0x1FU;
        } else if (lead >= 0x80) {
            ++i; // a stray continuation byte reads as nothing
            continue;
        }
        if (i + static_cast<std::size_t>(length) > text.size()) {
            break;
        }
        for (int k = 1; k < length; ++k) {
            c = (c << 6U) |
                (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3FU);
        }
        out.push_back(c);
        i += static_cast<std::size_t>(length);
    }
    return out;
}

std::string encodeUtf8(std::u32string_view text) {
    std::string out;
    for (const char32_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0U | (c >> 6U)));
            out.push_back(static_cast<char>(0x80U | (c & 0x3FU)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0U | (c >> 12U)));
            out.push_back(static_cast<char>(0x80U | ((c >> 6U) & 0x3FU)));
            out.push_back(static_cast<char>(0x80U | (c & 0x3FU)));
        } else {
            out.push_back(static_cast<char>(0xF0U | (c >> 18U)));
            out.push_back(static_cast<char>(0x80U | ((c >> 12U) & 0x3FU)));
            out.push_back(static_cast<char>(0x80U | ((c >> 6U) & 0x3FU)));
            out.push_back(static_cast<char>(0x80U | (c & 0x3FU)));
        }
    }
    return out;
}

// Half-width katakana U+FF66..U+FF9D in order, as full-width katakana.
constexpr std::u32string_view halfWidthKana =
    U"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモ"
    U"ヤユヨラリルレロワン";

bool takesDakuten(char32_t c) {
    return (c >= U'カ' && c <= U'ト') || (c >= U'ハ' && c <= U'ホ') || c == U'ウ';
}

bool isDropped(char32_t c) {
    switch (c) {
    case U' ':
    case U'\t':
    case U'-':
    case U'_':
    case U'(':
    case U')':
    case U'[':
    case U']':
    case U'{':
    case U'}':
    case U',':
    case U'.':
    case U'/':
    case U'\'':
    case U'"':
    case 0x00B7:
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2013:
    case 0x2014:
    case 0x2015:
    case 0x2212:
    case 0x3000:
    case 0x3001:
    case 0x3002:
    case 0x300C:
    case 0x300D:
    case 0x3010:
    case 0x3011:
    case 0x3014:
    case 0x3015:
    case 0x30FB:
    case 0x2018:
    case 0x2019:
    case 0x201C:
    case 0x201D:
        return true;
    default:
        return false;
    }
}

// A vowel with a macron or circumflex, as romaji writes a long vowel: the vowel twice.
char32_t longVowelBase(char32_t c) {
    switch (c) {
    case 0x0100:
    case 0x0101:
    case 0x00C2:
    case 0x00E2:
        return U'a';
    case 0x012A:
    case 0x012B:
    case 0x00CE:
    case 0x00EE:
        return U'i';
    case 0x016A:
    case 0x016B:
    case 0x00DB:
    case 0x00FB:
        return U'u';
    case 0x0112:
    case 0x0113:
    case 0x00CA:
    case 0x00EA:
        return U'e';
    case 0x014C:
    case 0x014D:
    case 0x00D4:
    case 0x00F4:
        return U'o';
    default:
        return 0;
    }
}

std::u32string normalized(std::string_view text) {
    std::u32string out;
    for (char32_t c : decodeUtf8(text)) {
        if (c >= 0xFF01 && c <= 0xFF5E) {
            c -= 0xFEE0;
        } else if (c == 0xFF61 || (c >= 0xFF62 && c <= 0xFF65)) {
            continue;
        } else if (c >= 0xFF66 && c <= 0xFF9D) {
            c = halfWidthKana[c - 0xFF66];
        } else if (c == 0xFF9E || c == 0x3099 || c == 0x309B) {
            if (!out.empty() && takesDakuten(out.back() + 0x60)) {
                out.back() = out.back() == U'う' ? U'ゔ' : out.back() + 1;
            }
            continue;
        } else if (c == 0xFF9F || c == 0x309A || c == 0x309C) {
            if (!out.empty() && out.back() + 0x60 >= U'ハ' && out.back() + 0x60 <= U'ホ') {
                out.back() += 2;
            }
            continue;
        }
        if (isDropped(c)) {
            continue;
        }
        if (c >= U'A' && c <= U'Z') {
            c += U'a' - U'A';
        } else if (c >= 0x30A1 && c <= 0x30F6) {
            c -= 0x60; // katakana to hiragana
        } else if (c >= 0x2160 && c <= 0x2162) {
            c = U'1' + (c - 0x2160); // Ⅰ Ⅱ Ⅲ
        } else if (c >= 0x2170 && c <= 0x2172) {
            c = U'1' + (c - 0x2170);
        } else if (c == 0x00BA) {
            c = 0x00B0; // ordinal indicator typed for the degree sign
        } else if (const char32_t base = longVowelBase(c)) {
            out.push_back(base);
            c = base;
        }
        out.push_back(c);
    }
    return out;
}

struct Syllable {
    std::u32string_view romaji;
    std::u32string_view kana;
};

// Hepburn first for each kana: the kana-to-romaji direction takes the first spelling listed.
constexpr auto syllables = std::to_array<Syllable>({
    {U"kya", U"きゃ"}, {U"kyu", U"きゅ"}, {U"kyo", U"きょ"}, {U"gya", U"ぎゃ"}, {U"gyu", U"ぎゅ"},
    {U"gyo", U"ぎょ"}, {U"sha", U"しゃ"}, {U"shu", U"しゅ"}, {U"she", U"しぇ"}, {U"sho", U"しょ"},
    {U"sya", U"しゃ"}, {U"syu", U"しゅ"}, {U"syo", U"しょ"}, {U"ja", U"じゃ"},  {U"ju", U"じゅ"},
    {U"je", U"じぇ"},  {U"jo", U"じょ"},  {U"jya", U"じゃ"}, {U"jyu", U"じゅ"}, {U"jyo", U"じょ"},
    {U"zya", U"じゃ"}, {U"zyu", U"じゅ"}, {U"zyo", U"じょ"}, {U"cha", U"ちゃ"}, {U"chu", U"ちゅ"},
    {U"che", U"ちぇ"}, {U"cho", U"ちょ"}, {U"tya", U"ちゃ"}, {U"tyu", U"ちゅ"}, {U"tyo", U"ちょ"},
    {U"cya", U"ちゃ"}, {U"cyu", U"ちゅ"}, {U"cyo", U"ちょ"}, {U"nya", U"にゃ"}, {U"nyu", U"にゅ"},
    {U"nyo", U"にょ"}, {U"hya", U"ひゃ"}, {U"hyu", U"ひゅ"}, {U"hyo", U"ひょ"}, {U"bya", U"びゃ"},
    {U"byu", U"びゅ"}, {U"byo", U"びょ"}, {U"pya", U"ぴゃ"}, {U"pyu", U"ぴゅ"}, {U"pyo", U"ぴょ"},
    {U"mya", U"みゃ"}, {U"myu", U"みゅ"}, {U"myo", U"みょ"}, {U"rya", U"りゃ"}, {U"ryu", U"りゅ"},
    {U"ryo", U"りょ"}, {U"thi", U"てぃ"}, {U"dhi", U"でぃ"}, {U"fa", U"ふぁ"},  {U"fi", U"ふぃ"},
    {U"fe", U"ふぇ"},  {U"fo", U"ふぉ"},  {U"wi", U"うぃ"},  {U"we", U"うぇ"},  {U"va", U"ゔぁ"},
    {U"vi", U"ゔぃ"},  {U"ve", U"ゔぇ"},  {U"vo", U"ゔぉ"},  {U"vu", U"ゔ"},    {U"shi", U"し"},
    {U"si", U"し"},    {U"chi", U"ち"},   {U"ti", U"ち"},    {U"tsu", U"つ"},   {U"tu", U"つ"},
    {U"fu", U"ふ"},    {U"hu", U"ふ"},    {U"ji", U"じ"},    {U"zi", U"じ"},    {U"ji", U"ぢ"},
    {U"di", U"ぢ"},    {U"zu", U"づ"},    {U"du", U"づ"},    {U"o", U"を"},     {U"wo", U"を"},
    {U"a", U"あ"},     {U"i", U"い"},     {U"u", U"う"},     {U"e", U"え"},     {U"o", U"お"},
    {U"ka", U"か"},    {U"ki", U"き"},    {U"ku", U"く"},    {U"ke", U"け"},    {U"ko", U"こ"},
    {U"ga", U"が"},    {U"gi", U"ぎ"},    {U"gu", U"ぐ"},    {U"ge", U"げ"},    {U"go", U"ご"},
    {U"sa", U"さ"},    {U"su", U"す"},    {U"se", U"せ"},    {U"so", U"そ"},    {U"za", U"ざ"},
    {U"zu", U"ず"},    {U"ze", U"ぜ"},    {U"zo", U"ぞ"},    {U"ta", U"た"},    {U"te", U"て"},
    {U"to", U"と"},    {U"da", U"だ"},    {U"de", U"で"},    {U"do", U"ど"},    {U"na", U"な"},
    {U"ni", U"に"},    {U"nu", U"ぬ"},    {U"ne", U"ね"},    {U"no", U"の"},    {U"ha", U"は"},
    {U"hi", U"ひ"},    {U"he", U"へ"},    {U"ho", U"ほ"},    {U"ba", U"ば"},    {U"bi", U"び"},
    {U"bu", U"ぶ"},    {U"be", U"べ"},    {U"bo", U"ぼ"},    {U"pa", U"ぱ"},    {U"pi", U"ぴ"},
    {U"pu", U"ぷ"},    {U"pe", U"ぺ"},    {U"po", U"ぽ"},    {U"ma", U"ま"},    {U"mi", U"み"},
    {U"mu", U"む"},    {U"me", U"め"},    {U"mo", U"も"},    {U"ya", U"や"},    {U"yu", U"ゆ"},
    {U"yo", U"よ"},    {U"ra", U"ら"},    {U"ri", U"り"},    {U"ru", U"る"},    {U"re", U"れ"},
    {U"ro", U"ろ"},    {U"wa", U"わ"},
});

bool isVowel(char32_t c) {
    return c == U'a' || c == U'i' || c == U'u' || c == U'e' || c == U'o';
}

bool isKana(char32_t c) {
    return (c >= 0x3041 && c <= 0x3096) || c == U'ー';
}

// Romaji as kana, with the consonants left over at the end (a prefix still being typed); none
// when a letter cannot start a syllable.
std::optional<std::pair<std::u32string, std::u32string>> kanaOfRomaji(std::u32string_view text) {
    std::u32string kana;
    std::size_t i = 0;
    while (i < text.size()) {
        const char32_t c = text[i];
        const char32_t next = i + 1 < text.size() ? text[i + 1] : 0;
        if (c == U'n' && !isVowel(next) && next != U'y') {
            kana.push_back(U'ん');
            const char32_t after = i + 2 < text.size() ? text[i + 2] : 0;
            i += next == U'n' && !isVowel(after) && after != U'y' ? 2 : 1;
            continue;
        }
        if (c == U'm' && (next == U'b' || next == U'p')) {
            kana.push_back(U'ん');
            ++i;
            continue;
        }
        if (!isVowel(c) && c != U'n' && (next == c || (c == U't' && next == U'c'))) {
            kana.push_back(U'っ');
            ++i;
            continue;
        }
        const Syllable* best = nullptr;
        for (const Syllable& s : syllables) {
            if (text.substr(i).starts_with(s.romaji) &&
                (best == nullptr || s.romaji.size() > best->romaji.size())) {
                best = &s;
            }
        }
        if (best == nullptr) {
            const std::u32string_view rest = text.substr(i);
            if (std::all_of(rest.begin(), rest.end(),
                            [](char32_t r) { return r >= U'a' && r <= U'z' && !isVowel(r); })) {
                return std::pair{kana, std::u32string(rest)};
            }
            return std::nullopt;
        }
        kana += best->kana;
        i += best->romaji.size();
    }
    return std::pair{kana, std::u32string()};
}

std::u32string_view romajiOfKana(std::u32string_view kana) {
    for (const Syllable& s : syllables) {
        if (s.kana == kana) {
            return s.romaji;
        }
    }
    return {};
}

// Plain romaji of kana, long vowels shortened, so that every spelling of one reading agrees.
std::u32string keyOfKana(std::u32string_view kana) {
    std::u32string romaji;
    bool doubleNext = false;
    for (std::size_t i = 0; i < kana.size(); ++i) {
        const char32_t c = kana[i];
        if (c == U'っ') {
            doubleNext = true;
            continue;
        }
        if (c == U'ん') {
            romaji.push_back(U'n');
            continue;
        }
        if (c == U'ー') {
            if (!romaji.empty()) {
                romaji.push_back(romaji.back());
            }
            continue;
        }
        std::u32string_view part;
        if (i + 1 < kana.size()) {
            part = romajiOfKana(kana.substr(i, 2));
            if (!part.empty()) {
                ++i;
            }
        }
        if (part.empty()) {
            part = romajiOfKana(kana.substr(i, 1));
        }
        if (part.empty()) {
            return {};
        }
        if (doubleNext) {
            romaji.push_back(part.front());
            doubleNext = false;
        }
        romaji += part;
    }
    std::u32string key;
    for (const char32_t c : romaji) {
        if (!key.empty() && isVowel(c) && (key.back() == c || (c == U'u' && key.back() == U'o'))) {
            continue;
        }
        key.push_back(c);
    }
    return key;
}

// The romaji key of a normalised text; with `partial`, consonants still being typed at the end
// are kept as typed.
std::u32string keyOf(std::u32string_view text, bool partial) {
    if (text.empty()) {
        return {};
    }
    if (std::all_of(text.begin(), text.end(), isKana)) {
        return keyOfKana(text);
    }
    if (!std::all_of(text.begin(), text.end(), [](char32_t c) { return c >= U'a' && c <= U'z'; })) {
        return {};
    }
    const auto kana = kanaOfRomaji(text);
    if (!kana || (!partial && !kana->second.empty())) {
        return {};
    }
    return keyOfKana(kana->first) + kana->second;
}

// Damerau–Levenshtein distance with adjacent transpositions (Lowrance–Wagner).
int distance(std::u32string_view a, std::u32string_view b) {
    const int n = static_cast<int>(a.size());
    const int m = static_cast<int>(b.size());
    const int infinity = n + m;
    const std::size_t width = b.size() + 2;
    std::vector<int> d((a.size() + 2) * width, 0);
    const auto at = [&](int i, int j) -> int& {
        return d[static_cast<std::size_t>(i) * width + static_cast<std::size_t>(j)];
    };
    at(0, 0) = infinity;
    for (int i = 0; i <= n; ++i) {
        at(i + 1, 0) = infinity;
        at(i + 1, 1) = i;
    }
    for (int j = 0; j <= m; ++j) {
        at(0, j + 1) = infinity;
        at(1, j + 1) = j;
    }
    std::map<char32_t, int> lastRow;
    for (int i = 1; i <= n; ++i) {
        int lastColumn = 0;
        for (int j = 1; j <= m; ++j) {
            const char32_t ca = a[static_cast<std::size_t>(i - 1)];
            const char32_t cb = b[static_cast<std::size_t>(j - 1)];
            const auto found = lastRow.find(cb);
            const int k = found == lastRow.end() ? 0 : found->second;
            const int l = lastColumn;
            const int cost = ca == cb ? 0 : 1;
            if (cost == 0) {
                lastColumn = j;
            }
            at(i + 1, j + 1) = std::min({at(i, j) + cost, at(i + 1, j) + 1, at(i, j + 1) + 1,
                                         at(k, l) + (i - k - 1) + 1 + (j - l - 1)});
        }
        lastRow[a[static_cast<std::size_t>(i - 1)]] = i;
    }
    return at(n + 1, m + 1);
}

int allowedEdits(std::size_t length) {
    return length <= 6 ? 1 : 2;
}

// Entries shorter than this are matched exactly only: one slip in "VT" or "PAC" is another
// rhythm's abbreviation, not a misspelling.
constexpr std::size_t shortestFuzzyEntry = 4;

struct Entry {
    Rhythm rhythm;
    std::string_view text;
    Language language;
    std::u32string form;
    std::u32string key;
};

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::vector<std::string_view> split(std::string_view row) {
    std::vector<std::string_view> parts;
    while (!row.empty()) {
        const std::size_t bar = row.find('|');
        parts.push_back(row.substr(0, bar));
        row = bar == std::string_view::npos ? std::string_view() : row.substr(bar + 1);
    }
    return parts;
}

const std::vector<Entry>& entries() {
    static const std::vector<Entry> all = [] {
        std::vector<Entry> list;
        const auto add = [&list](Rhythm rhythm, std::string_view text, Language language) {
            std::u32string form = normalized(text);
            // Only kana entries have a romaji reading; an English alias is matched as written.
            std::u32string key =
                std::all_of(form.begin(), form.end(), isKana) ? keyOfKana(form) : std::u32string();
            list.push_back({rhythm, text, language, std::move(form), std::move(key)});
        };
        for (int index = 0; index < totalRhythmCount; ++index) {
            const Rhythm rhythm = *anyRhythmAt(index);
            add(rhythm, nameOf(rhythm, Language::japanese), Language::japanese);
            add(rhythm, nameOf(rhythm, Language::english), Language::english);
            for (const std::string_view alias :
                 split(recallAliasRows[static_cast<std::size_t>(index)])) {
                add(rhythm, alias, isAscii(alias) ? Language::english : Language::japanese);
            }
        }
        return list;
    }();
    return all;
}

std::vector<Rhythm> distinctCandidates(std::span<const Rhythm> candidates) {
    std::vector<Rhythm> distinct;
    for (const Rhythm rhythm : candidates) {
        if (anyRhythmAt(indexOf(rhythm)) &&
            std::find(distinct.begin(), distinct.end(), rhythm) == distinct.end()) {
            distinct.push_back(rhythm);
        }
    }
    return distinct;
}

bool inPlay(const std::vector<Rhythm>& candidates, Rhythm rhythm) {
    return std::find(candidates.begin(), candidates.end(), rhythm) != candidates.end();
}

// The candidates holding an entry of `chosen`, in candidate order; the result names the first
// chosen entry of the first such candidate.
RecallResult resultOf(const std::vector<Rhythm>& candidates,
                      const std::vector<const Entry*>& chosen, bool close) {
    RecallResult result;
    const Entry* named = nullptr;
    for (const Rhythm rhythm : candidates) {
        for (const Entry* entry : chosen) {
            if (entry->rhythm == rhythm) {
                result.rhythms.push_back(rhythm);
                if (named == nullptr) {
                    named = entry;
                }
                break;
            }
        }
    }
    if (named != nullptr) {
        result.closeMisspelling = close;
        result.matchedEntry = named->text;
        if (result.matched()) {
            result.canonicalName = nameOf(named->rhythm, named->language);
        }
    }
    return result;
}

} // namespace

std::string normalizeTyped(std::string_view typed) {
    return encodeUtf8(normalized(typed));
}

std::string romajiKey(std::string_view normalizedText) {
    return encodeUtf8(keyOf(decodeUtf8(normalizedText), false));
}

RecallResult matchTypedName(std::string_view typed, std::span<const Rhythm> candidates) {
    const std::vector<Rhythm> inPlayRhythms = distinctCandidates(candidates);
    const std::u32string form = normalized(typed);
    if (form.empty()) {
        return {};
    }
    const std::u32string key = keyOf(form, false);

    // An answer that is exactly some rhythm's entry names that rhythm, in play or not.
    std::vector<const Entry*> exact;
    for (const Entry& entry : entries()) {
        if (entry.form == form || (!key.empty() && entry.key == key)) {
            exact.push_back(&entry);
        }
    }
    if (!exact.empty()) {
        return resultOf(inPlayRhythms, exact, false);
    }

    // Otherwise the nearest spellings over all entries decide; if one of them belongs to no
    // rhythm in play, the learner may well have meant that one, and the answer is not credited.
    const int formAllowance = allowedEdits(form.size());
    const int keyAllowance = key.empty() ? -1 : allowedEdits(key.size());
    int best = std::max(formAllowance, keyAllowance) + 1;
    std::vector<const Entry*> nearest;
    for (const Entry& entry : entries()) {
        int edits = best + 1;
        if (entry.form.size() >= shortestFuzzyEntry) {
            if (const int e = distance(form, entry.form); e <= formAllowance) {
                edits = e;
            }
        }
        if (!key.empty() && entry.key.size() >= shortestFuzzyEntry) {
            if (const int e = distance(key, entry.key); e <= keyAllowance) {
                edits = std::min(edits, e);
            }
        }
        if (edits < best) {
            best = edits;
            nearest.clear();
        }
        if (edits == best) {
            nearest.push_back(&entry);
        }
    }
    for (const Entry* entry : nearest) {
        if (inPlay(inPlayRhythms, entry->rhythm)) {
            continue;
        }
        const bool shared = std::any_of(nearest.begin(), nearest.end(), [&](const Entry* other) {
            return inPlay(inPlayRhythms, other->rhythm) &&
                   (other->form == entry->form ||
                    (!entry->key.empty() && other->key == entry->key));
        });
        if (!shared) {
            return {};
        }
    }
    return resultOf(inPlayRhythms, nearest, true);
}

std::vector<Completion> completeTypedName(std::string_view prefix,
                                          std::span<const Rhythm> candidates) {
    const std::u32string form = normalized(prefix);
    if (form.empty()) {
        return {};
    }
    const std::u32string key = keyOf(form, true);
    struct Ranked {
        Completion completion;
        bool whole;
        std::size_t length;
        std::size_t order;
    };
    std::vector<Ranked> ranked;
    const std::vector<Rhythm> inPlayRhythms = distinctCandidates(candidates);
    for (std::size_t order = 0; order < inPlayRhythms.size(); ++order) {
        std::optional<Ranked> best;
        for (const Entry& entry : entries()) {
            if (entry.rhythm != inPlayRhythms[order]) {
                continue;
            }
            const bool byForm = entry.form.starts_with(form);
            const bool byKey = !key.empty() && entry.key.starts_with(key);
            if (!byForm && !byKey) {
                continue;
            }
            const bool whole = (byForm && entry.form == form) || (byKey && entry.key == key);
            const std::size_t length = byForm ? entry.form.size() : entry.key.size();
            if (!best || (whole && !best->whole) ||
                (whole == best->whole && length < best->length)) {
                best = Ranked{{entry.rhythm, entry.text, entry.language}, whole, length, order};
            }
        }
        if (best) {
            ranked.push_back(*best);
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        if (a.whole != b.whole) {
            return a.whole;
        }
        return a.length < b.length;
    });
    std::vector<Completion> completions;
    completions.reserve(ranked.size());
    for (const Ranked& r : ranked) {
        completions.push_back(r.completion);
    }
    return completions;
}

std::vector<std::string_view> recallAliasesOf(Rhythm rhythm) {
    const auto index = anyRhythmAt(indexOf(rhythm));
    if (!index) {
        return {};
    }
    return split(recallAliasRows[static_cast<std::size_t>(indexOf(rhythm))]);
}

} // namespace pulsavo::catalogue
