#include "ExamCode.h"

#include "SeededRandom.h"

#include <array>

namespace pulsavo {

namespace {

constexpr std::string_view alphabet = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr std::string_view prefix = "PX";
constexpr std::uint64_t codeVersion = 1;
constexpr int versionBits = 2;
constexpr int countBits = 7;
constexpr int seedBits = 26;
// All rhythms: version, count and seed in 7 characters; a subset adds its 18-bit mask and two
// reserved bits, 11 characters. One check character ends either.
constexpr int shortData = 7;
constexpr int longData = 11;

static_assert(Exam::maxCount == 1 << countBits);
static_assert(Exam::maxSeed == (1U << seedBits) - 1);
static_assert(versionBits + countBits + seedBits <= 5 * shortData);
static_assert(versionBits + countBits + rhythmCount + seedBits <= 5 * longData);

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
std::vector<Question> drawQuestions(int count, RhythmSet rhythms, std::uint32_t seed) {
    SeededRandom random(codeVersion << 60 | static_cast<std::uint64_t>(count) << 44 |
                        static_cast<std::uint64_t>(rhythms.bits()) << seedBits | seed);
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
    std::array<std::uint32_t, rhythmCount> weights{};
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

ExamResult failure(ExamCodeError error, std::string message) {
    ExamResult result;
    result.error = error;
    result.message = std::move(message);
    return result;
}

} // namespace

ExamResult makeExam(int count, std::uint32_t seed, RhythmSet rhythms) {
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
    const bool subset = rhythms != RhythmSet::all();
    std::uint64_t bits = codeVersion;
    bits = bits << countBits | static_cast<std::uint64_t>(count - 1);
    if (subset) {
        bits = bits << rhythmCount | rhythms.bits();
    }
    bits = bits << seedBits | seed;
    const int dataLength = subset ? longData : shortData;
    const int used = versionBits + countBits + (subset ? rhythmCount : 0) + seedBits;
    bits <<= 5 * dataLength - used;

    std::vector<int> digits;
    for (int i = dataLength - 1; i >= 0; --i) {
        digits.push_back(static_cast<int>(bits >> (5 * i) & 31));
    }
    digits.push_back(checkDigit(digits));

    ExamResult result;
    result.exam = {canonical(digits), count, rhythms, seed, drawQuestions(count, rhythms, seed)};
    return result;
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
    if (length() != shortData + 1 && length() != longData + 1 && letters.starts_with(prefix)) {
        digits.erase(digits.begin(), digits.begin() + 2);
    }
    if (length() != shortData + 1 && length() != longData + 1) {
        return failure(ExamCodeError::wrongLength,
                       "exam code has " + std::to_string(length()) + " characters after " +
                           std::string(prefix) + " where " + std::to_string(shortData + 1) +
                           " or " + std::to_string(longData + 1) + " belong");
    }
    if (checkSum(digits) != 0) {
        return failure(ExamCodeError::checkFailed,
                       "exam code does not check out: a character is mistyped or two are swapped");
    }

    const bool subset = length() == longData + 1;
    std::uint64_t bits = 0;
    for (int i = 0; i + 1 < length(); ++i) {
        bits = bits << 5 | static_cast<std::uint64_t>(digits[static_cast<std::size_t>(i)]);
    }
    const int used = versionBits + countBits + (subset ? rhythmCount : 0) + seedBits;
    const int spare = 5 * (subset ? longData : shortData) - used;
    const auto take = [&bits](int count) {
        const auto value = static_cast<std::uint32_t>(bits & ((1ULL << count) - 1));
        bits >>= count;
        return value;
    };
    const std::uint32_t reserved = take(spare);
    const std::uint32_t seed = take(seedBits);
    const RhythmSet rhythms = subset ? RhythmSet::fromBits(take(rhythmCount)) : RhythmSet::all();
    const int count = static_cast<int>(take(countBits)) + 1;
    const std::uint32_t version = take(versionBits);
    if (version != codeVersion || reserved != 0) {
        return failure(ExamCodeError::unknownVersion,
                       "exam code comes from a newer version of Pulsavo");
    }
    if (rhythms.empty()) {
        return failure(ExamCodeError::noRhythms, "exam code names no rhythms");
    }
    ExamResult result;
    result.exam = {canonical(digits), count, rhythms, seed, drawQuestions(count, rhythms, seed)};
    return result;
}

} // namespace pulsavo
