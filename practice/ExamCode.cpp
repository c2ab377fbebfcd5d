#include "ExamCode.h"

#include "SeededRandom.h"

#include <algorithm>
#include <array>
#include <utility>

namespace pulsavo {

namespace {

constexpr std::string_view alphabet = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr std::string_view prefix = "PX";
constexpr int versionBits = 2;
constexpr int countBits = 7;
constexpr int seedBits = 26;
// Version 1 names classic rhythms only, so that every release reads a classic exam's code;
// version 2 carries a mask of every rhythm.
constexpr std::uint64_t classicVersion = 1;
constexpr std::uint64_t libraryVersion = 2;

// Version 3 adds the exam's settings to either mask.
constexpr std::uint64_t settingsVersion = 3;
constexpr int settingsBits = 4 + 7 + 7;
// Whether the exam asks worksheets takes the last bit before the check character, clear of the
// bits that rhythms added later take: codes given out before it hold a zero there.
constexpr int worksheetBits = 1;
// The exam's artifact takes the two bits before it, where codes given out before hold zeros.
constexpr int artifactBits = 2;
static_assert(examArtifactKinds.size() < 1U << artifactBits);
// The bits after the rhythms added later.
constexpr int trailingBits = worksheetBits + artifactBits;

// The full mask keeps the width it had when codes with library rhythms were first given out,
// so that those codes read as they did; rhythms added since take bits at the end, where those
// codes hold reserved zeros (and where an older release, finding them set, says the code is
// newer than it).
constexpr int maskBits = 67;
constexpr int addedBits = totalRhythmCount - maskBits;
static_assert(addedBits >= 0 && addedBits < 64 - (maskBits - 64));

enum class RhythmField { none, classicMask, fullMask };

// What a code holds, told apart by its length: version, count, rhythms, seed, reserved zeros
// up to whole characters, then one check character. No length lies within three of another,
// so a code typed with its "PX", with or without a character too many or too few, is never
// read as a code of another length.
struct Layout {
    int dataLength;
    std::uint64_t version;
    RhythmField rhythms;
    int rhythmBits;
    bool settings;
    // The version whose questions it draws: settings never change them.
    std::uint64_t drawVersion;
};
constexpr std::array<Layout, 5> layouts{{
    {7, classicVersion, RhythmField::none, 0, false, classicVersion},
    {11, classicVersion, RhythmField::classicMask, rhythmCount, false, classicVersion},
    {15, settingsVersion, RhythmField::classicMask, rhythmCount, true, classicVersion},
    {21, libraryVersion, RhythmField::fullMask, totalRhythmCount, false, libraryVersion},
    {25, settingsVersion, RhythmField::fullMask, totalRhythmCount, true, libraryVersion},
}};

constexpr int usedBits(const Layout& layout) {
    return versionBits + countBits + layout.rhythmBits + seedBits +
           (layout.settings ? settingsBits : 0);
}

constexpr bool fits(const Layout& layout) {
    return usedBits(layout) + (layout.settings ? trailingBits : 0) <= 5 * layout.dataLength;
}

static_assert(Exam::maxCount == 1 << countBits);
static_assert(Exam::maxSeed == (1U << seedBits) - 1);
static_assert(std::all_of(layouts.begin(), layouts.end(), fits));
static_assert(totalRhythmCount > 64 && totalRhythmCount <= 128);

const Layout* layoutOfLength(int characters) {
    for (const Layout& layout : layouts) {
        if (layout.dataLength + 1 == characters) {
            return &layout;
        }
    }
    return nullptr;
}

std::string validLengths() {
    std::array<int, layouts.size()> lengths{};
    for (std::size_t i = 0; i < layouts.size(); ++i) {
        lengths[i] = layouts[i].dataLength + 1;
    }
    std::sort(lengths.begin(), lengths.end());
    std::string text;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        text += i == 0 ? "" : i + 1 == lengths.size() ? " or " : ", ";
        text += std::to_string(lengths[i]);
    }
    return text;
}

// Fields go in most significant bit first, five bits to a character.
class BitWriter {
public:
    void put(std::uint64_t value, int count) {
        for (int bit = count - 1; bit >= 0; --bit) {
            bits.push_back(static_cast<char>(value >> bit & 1U));
        }
    }
    std::vector<int> digits(int length) {
        bits.resize(5 * static_cast<std::size_t>(length), 0);
        std::vector<int> result;
        for (std::size_t i = 0; i < bits.size(); i += 5) {
            int digit = 0;
            for (std::size_t j = i; j < i + 5; ++j) {
                digit = digit << 1 | bits[j];
            }
            result.push_back(digit);
        }
        return result;
    }

private:
    std::vector<char> bits;
};

class BitReader {
public:
    explicit BitReader(const std::vector<int>& digits) : digits(digits) {}
    std::uint64_t take(int count) {
        std::uint64_t value = 0;
        for (int i = 0; i < count; ++i, ++position) {
            const int digit = digits[position / 5];
            value = value << 1 | static_cast<std::uint64_t>(digit >> (4 - position % 5) & 1);
        }
        return value;
    }

private:
    const std::vector<int>& digits;
    std::size_t position = 0;
};

// Arithmetic in GF(32) modulo x^5 + x^2 + 1, whose powers of x run through all 31 non-zero
// values: the check makes sum(x^i * c_i) zero, so changing any one character, or swapping two
// neighbours that differ, always changes the sum.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): multiplication commutes
int gfMultiply(int a, int b) {
    int product = 0;
    for (int bit = 0; bit < 5; ++bit) {
        if ((b >> bit & 1) != 0) {
            product ^= a;
        }
        a <<= 1;
        if ((a & 0x20) != 0) {
            a ^= 0x25;
        }
    }
    return product;
}

int gfPowerOfX(int exponent) {
    int value = 1;
    for (int i = 0; i < exponent % 31; ++i) {
        value = gfMultiply(value, 2);
    }
    return value;
}

int checkSum(const std::vector<int>& digits) {
    int sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        sum ^= gfMultiply(gfPowerOfX(static_cast<int>(i)), digits[i]);
    }
    return sum;
}

int checkDigit(const std::vector<int>& data) {
    const int n = static_cast<int>(data.size());
    return gfMultiply(gfPowerOfX(31 - n % 31), checkSum(data));
}

std::string canonical(const std::vector<int>& digits) {
    std::string code(prefix);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i % 4 == 0) {
            code += '-';
        }
        code += alphabet[static_cast<std::size_t>(digits[i])];
    }
    return code;
}

int symbolValue(char c) {
    if (c >= 'a' && c <= 'z') {
        c = static_cast<char>(c - 'a' + 'A');
    }
    if (c == 'O') {
        return 0;
    }
    if (c == 'I' || c == 'L') {
        return 1;
    }
    const std::size_t found = alphabet.find(c);
    return found == std::string_view::npos ? -1 : static_cast<int>(found);
}

// Each rhythm's share differs from the others' by at most one; the order is drawn one question
// at a time in proportion to the questions each rhythm has left, never taking a rhythm a third
// time in a row nor one that would leave the rest impossible to order without that.
std::vector<Question> drawQuestions(int count, RhythmSet rhythms, std::uint32_t seed,
                                    std::uint64_t version) {
    const std::uint64_t fields = version << 60 | static_cast<std::uint64_t>(count) << 44;
    std::uint64_t start = 0;
    if (version == classicVersion) {
        start = fields | static_cast<std::uint64_t>(rhythms.classicBits()) << seedBits | seed;
    } else {
        // The mask is wider than the state: both of its words are mixed in.
        SeededRandom mixer(rhythms.wordAt(0));
        mixer = SeededRandom(mixer.next() ^ rhythms.wordAt(1));
        start = mixer.next() ^ (fields | seed);
    }
    SeededRandom random(start);
    std::vector<Rhythm> inPlay = rhythms.list();
    const int k = static_cast<int>(inPlay.size());
    for (std::size_t i = inPlay.size(); i > 1; --i) {
        std::swap(inPlay[i - 1], inPlay[random.below(static_cast<std::uint32_t>(i))]);
    }
    std::vector<int> left(inPlay.size(), count / k);
    for (int i = 0; i < count % k; ++i) {
        ++left[static_cast<std::size_t>(i)];
    }

    std::vector<Question> questions;
    questions.reserve(static_cast<std::size_t>(count));
    int last = -1;
    int run = 0;
    const auto orderable = [&](int total) {
        for (int i = 0; i < k; ++i) {
            const int mine = left[static_cast<std::size_t>(i)];
            if (mine > 2 * (total - mine) + 2 - (i == last ? run : 0)) {
                return false;
            }
        }
        return true;
    };
    std::array<std::uint32_t, totalRhythmCount> weights{};
    for (int remaining = count; remaining > 0; --remaining) {
        std::uint32_t total = 0;
        for (int i = 0; i < k; ++i) {
            auto& mine = left[static_cast<std::size_t>(i)];
            weights[static_cast<std::size_t>(i)] = 0;
            if (mine == 0 || (k > 1 && i == last && run == 2)) {
                continue;
            }
            const int savedLast = last;
            const int savedRun = run;
            run = i == last ? run + 1 : 1;
            last = i;
            --mine;
            if (k == 1 || orderable(remaining - 1)) {
                weights[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(mine + 1);
            }
            ++mine;
            last = savedLast;
            run = savedRun;
            total += weights[static_cast<std::size_t>(i)];
        }
        int chosen = 0;
        if (total == 0) {
            while (left[static_cast<std::size_t>(chosen)] == 0) {
                ++chosen;
            }
        } else {
            std::uint32_t draw = random.below(total);
            while (draw >= weights[static_cast<std::size_t>(chosen)]) {
                draw -= weights[static_cast<std::size_t>(chosen)];
                ++chosen;
            }
        }
        --left[static_cast<std::size_t>(chosen)];
        run = chosen == last ? run + 1 : 1;
        last = chosen;
        questions.push_back({inPlay[static_cast<std::size_t>(chosen)], 0});
    }
    for (Question& question : questions) {
        question.seed = random.next32();
    }
    return questions;
}

// The exam a code stands for, made or read: every question gets the exam's artifact, the rhythms
// and seeds stay as drawn.
ExamResult examOf(const std::vector<int>& digits, int count, RhythmSet rhythms, std::uint32_t seed,
                  const ExamSettings& settings, std::uint64_t drawVersion) {
    std::vector<Question> questions = drawQuestions(count, rhythms, seed, drawVersion);
    if (settings.artifact > 0) {
        for (Question& question : questions) {
            question.artifact = examArtifactKinds[static_cast<std::size_t>(settings.artifact - 1)];
            question.artifactStrength = examArtifactStrength;
        }
    }
    ExamResult result;
    result.exam = {canonical(digits), count, rhythms, seed, settings, std::move(questions)};
    return result;
}

ExamResult failure(ExamCodeError error, std::string message) {
    ExamResult result;
    result.error = error;
    result.message = std::move(message);
    return result;
}

void putSettings(BitWriter& bits, const ExamSettings& settings) {
    bits.put(settings.hints ? 0 : 1, 1);
    bits.put(settings.feedbackAtEnd ? 1 : 0, 1);
    bits.put(settings.measurements ? 1 : 0, 1);
    bits.put(settings.shuffled ? 1 : 0, 1);
    bits.put(static_cast<std::uint64_t>(settings.timeLimitMinutes), 7);
    bits.put(static_cast<std::uint64_t>(settings.passPercent), 7);
}

ExamSettings takeSettings(BitReader& bits) {
    ExamSettings settings;
    settings.hints = bits.take(1) == 0;
    settings.feedbackAtEnd = bits.take(1) != 0;
    settings.measurements = bits.take(1) != 0;
    settings.shuffled = bits.take(1) != 0;
    settings.timeLimitMinutes = static_cast<int>(bits.take(7));
    settings.passPercent = static_cast<int>(bits.take(7));
    return settings;
}

} // namespace

ExamResult makeExam(int count, std::uint32_t seed, RhythmSet rhythms,
                    const ExamSettings& settings) {
    if (count < 1 || count > Exam::maxCount) {
        return failure(ExamCodeError::badCount, "an exam has 1 to " +
                                                    std::to_string(Exam::maxCount) +
                                                    " questions, not " + std::to_string(count));
    }
    if (seed > Exam::maxSeed) {
        return failure(ExamCodeError::badSeed, "exam seed must lie in 0.." +
                                                   std::to_string(Exam::maxSeed) + ", not " +
                                                   std::to_string(seed));
    }
    if (rhythms.empty()) {
        return failure(ExamCodeError::noRhythms, "an exam needs at least one rhythm");
    }
    if (settings.timeLimitMinutes < 0 ||
        settings.timeLimitMinutes > ExamSettings::maxTimeLimitMinutes || settings.passPercent < 0 ||
        settings.passPercent > 100 || settings.artifact < 0 ||
        settings.artifact > static_cast<int>(examArtifactKinds.size())) {
        return failure(ExamCodeError::badSettings,
                       "an exam's time limit lies in 0.." +
                           std::to_string(ExamSettings::maxTimeLimitMinutes) +
                           " minutes, its pass mark in 0..100 % and its artifact in 0..3");
    }
    const bool classic = rhythms.isSubsetOf(RhythmSet::classic());
    const Layout& layout = !settings.isDefault()             ? layouts[classic ? 2 : 4]
                           : rhythms == RhythmSet::classic() ? layouts[0]
                           : classic                         ? layouts[1]
                                                             : layouts[3];
    BitWriter bits;
    bits.put(layout.version, versionBits);
    bits.put(static_cast<std::uint64_t>(count - 1), countBits);
    switch (layout.rhythms) {
    case RhythmField::none:
        break;
    case RhythmField::classicMask:
        bits.put(rhythms.classicBits(), rhythmCount);
        break;
    case RhythmField::fullMask:
        bits.put(rhythms.wordAt(1), maskBits - 64);
        bits.put(rhythms.wordAt(0), 64);
        break;
    }
    bits.put(seed, seedBits);
    if (layout.settings) {
        putSettings(bits, settings);
    }
    if (layout.rhythms == RhythmField::fullMask) {
        bits.put(rhythms.wordAt(1) >> (maskBits - 64), addedBits);
    }
    if (layout.settings) {
        bits.put(0, 5 * layout.dataLength - usedBits(layout) - trailingBits);
        bits.put(static_cast<std::uint64_t>(settings.artifact), artifactBits);
        bits.put(settings.worksheet ? 1 : 0, worksheetBits);
    }
    std::vector<int> digits = bits.digits(layout.dataLength);
    digits.push_back(checkDigit(digits));

    return examOf(digits, count, rhythms, seed, settings, layout.drawVersion);
}

ExamResult parseExamCode(std::string_view text) {
    std::vector<int> digits;
    std::string letters;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '-' || c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            continue;
        }
        const int value = symbolValue(c);
        if (value < 0) {
            const bool printable = c > ' ' && c < 0x7F;
            return failure(ExamCodeError::badCharacter,
                           "character " + std::to_string(i + 1) + " of the exam code" +
                               (printable ? std::string(", \"") + c + "\"," : std::string()) +
                               " is not used in codes");
        }
        digits.push_back(value);
        letters += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    if (digits.empty()) {
        return failure(ExamCodeError::empty, "no exam code given");
    }
    const auto length = [&] { return static_cast<int>(digits.size()); };
    if (layoutOfLength(length()) == nullptr && letters.starts_with(prefix)) {
        digits.erase(digits.begin(), digits.begin() + 2);
    }
    const Layout* layout = layoutOfLength(length());
    if (layout == nullptr) {
        return failure(ExamCodeError::wrongLength, "exam code has " + std::to_string(length()) +
                                                       " characters after " + std::string(prefix) +
                                                       " where " + validLengths() + " belong");
    }
    if (checkSum(digits) != 0) {
        return failure(ExamCodeError::checkFailed,
                       "exam code does not check out: a character is mistyped or two are swapped");
    }

    BitReader bits(digits);
    const std::uint64_t version = bits.take(versionBits);
    const int count = static_cast<int>(bits.take(countBits)) + 1;
    RhythmSet rhythms;
    switch (layout->rhythms) {
    case RhythmField::none:
        rhythms = RhythmSet::classic();
        break;
    case RhythmField::classicMask:
        rhythms = RhythmSet::fromClassicBits(static_cast<std::uint32_t>(bits.take(rhythmCount)));
        break;
    case RhythmField::fullMask: {
        const std::uint64_t high = bits.take(maskBits - 64);
        rhythms = RhythmSet::fromWords(bits.take(64), high);
        break;
    }
    }
    const auto seed = static_cast<std::uint32_t>(bits.take(seedBits));
    ExamSettings settings = layout->settings ? takeSettings(bits) : ExamSettings{};
    if (layout->rhythms == RhythmField::fullMask) {
        const std::uint64_t added = bits.take(addedBits) << (maskBits - 64);
        rhythms = rhythms | RhythmSet::fromWords(0, added);
    }
    const std::uint64_t reserved = bits.take(5 * layout->dataLength - usedBits(*layout) -
                                             (layout->settings ? trailingBits : 0));
    if (layout->settings) {
        settings.artifact = static_cast<int>(bits.take(artifactBits));
        settings.worksheet = bits.take(worksheetBits) != 0;
    }
    if (version != layout->version || reserved != 0) {
        return failure(ExamCodeError::unknownVersion,
                       "exam code comes from a newer version of Pulsavo");
    }
    if (settings.passPercent > 100) {
        return failure(ExamCodeError::badSettings, "exam code's pass mark is above 100 %");
    }
    if (rhythms.empty()) {
        return failure(ExamCodeError::noRhythms, "exam code names no rhythms");
    }
    return examOf(digits, count, rhythms, seed, settings, layout->drawVersion);
}

std::optional<int> examArtifactOf(ArtifactKind kind) {
    const auto* found = std::find(examArtifactKinds.begin(), examArtifactKinds.end(), kind);
    if (found == examArtifactKinds.end()) {
        return std::nullopt;
    }
    return static_cast<int>(found - examArtifactKinds.begin()) + 1;
}

std::vector<int> questionOrder(const Exam& exam, std::string_view learner) {
    std::vector<int> order(exam.questions.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<int>(i);
    }
    if (!exam.settings.shuffled) {
        return order;
    }
    // FNV-1a over the code and the learner: stable across runs, platforms and releases.
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    const auto mix = [&hash](std::string_view text) {
        for (const char c : text) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
        }
        hash = (hash ^ 0xFFU) * 0x100000001b3ULL;
    };
    mix(exam.code);
    mix(learner);
    SeededRandom random(hash);
    for (std::size_t i = order.size(); i > 1; --i) {
        std::swap(order[i - 1], order[random.below(static_cast<std::uint32_t>(i))]);
    }
    return order;
}

} // namespace pulsavo
