// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "driver/number_reader.hpp"

#include "base/binary64.hpp"
#include "base/byte_words.hpp"
#include "base/compiler.hpp"
#include "base/platform.hpp"

#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>

#if PILO_USE_FAST_FLOAT
#include <fast_float/fast_float.h>
#endif

namespace pilo {

namespace {

// The short readers take the digits that two words hold.
constexpr std::size_t MAX_SIGNIFICAND_DIGITS = 2 * WORD_BYTES;
// Exponents longer than this, such as ones with leading zeros, are left to the
// general readers; four digits are far past any exponent the short readers take.
constexpr std::size_t MAX_EXPONENT_DIGITS = 4;

// The high bit of each byte of word that is not a digit, exact up to and
// including the first such byte; bytes after it may be marked wrongly, as a
// carry or borrow out of it can reach them. A digit, 0x30 to 0x39, plus 0x46
// stays below 0x80 and minus 0x30 does not borrow, so no digit before the
// first mark disturbs the next byte, and the first mark itself is exact:
// b + 0x46 reaches 0x80 for b >= 0x3A, and b - 0x30 wraps for b < 0x30 and
// keeps its high bit for b >= 0xB0.
constexpr std::uint64_t non_digit_bytes(std::uint64_t word) noexcept {
    return ((word + broadcast(0x80 - '9' - 1)) | (word - broadcast('0'))) & HIGH_BITS;
}

// The bytes of a word from index count up, for 0 <= count <= 8. The shift
// is split in two so that count 8 shifts by 64.
constexpr std::uint64_t bytes_from(std::size_t count) noexcept {
    const std::size_t half_shift = 4 * count;
    return (~std::uint64_t{0} << half_shift) << half_shift;
}

// The high bits of bytes 0 to count - 1, for counts from 0 to 8: the bytes
// that count bytes of text cover in their word.
constexpr std::array<std::uint64_t, WORD_BYTES + 1> HIGH_BITS_BELOW = [] {
    std::array<std::uint64_t, WORD_BYTES + 1> masks{};
    for (std::size_t count = 0; count <= WORD_BYTES; ++count)
        masks[count] = HIGH_BITS & ~bytes_from(count);
    return masks;
}();

static_assert(HIGH_BITS_BELOW[0] == 0 && HIGH_BITS_BELOW[3] == 0x80'8080 &&
              HIGH_BITS_BELOW[WORD_BYTES] == HIGH_BITS);

// The value of the digits in bytes 0 to count - 1 of word, byte 0 the most
// significant, for 0 <= count <= 8. Each step joins neighbouring groups into
// one, 10a + b, 100a + b, then 10000a + b, and each group stays below its
// lane's limit (99 < 2^8, 9999 < 2^16, 99999999 < 2^32), so no step carries
// from one group into the next.
constexpr std::uint32_t digits_value(std::uint64_t word, std::size_t count) noexcept {
    // Digits are at least '0', so the subtraction borrows only from bytes
    // past them, which the shift drops; the bytes shifted in become leading
    // zero digits. The shift is split in two so that count 0 shifts by 64.
    const std::size_t half_shift = 4 * (WORD_BYTES - count);
    std::uint64_t value = ((word - broadcast('0')) << half_shift) << half_shift;
    value = (value * 10 + (value >> 8)) & 0x00FF'00FF'00FF'00FF;
    value = (value * 100 + (value >> 16)) & 0x0000'FFFF'0000'FFFF;
    return static_cast<std::uint32_t>(value * 10000 + (value >> 32));
}

static_assert(digits_value(0x3837'3635'3433'3231, 8) == 12345678);
static_assert(digits_value(0x2020'2020'2030'3039, 3) == 900);
static_assert(digits_value(0x3132'3334'3536'3738, 0) == 0);
static_assert(POWERS_OF_TEN[WORD_BYTES] - 1 <= MAX_EXACT_INTEGER); // eight digits are exact
static_assert(static_cast<int>(WORD_BYTES) <= MAX_EXACT_POWER);    // and so is 10^8

// digits * 10^exponent for digits <= 2^53 and |exponent| <= 22: both factors
// are exact doubles, so the one operation, rounded to nearest, gives
// strtod's answer (Clinger's fast path).
double scale_exactly(std::uint64_t digits, int exponent) noexcept {
    const auto value = static_cast<double>(digits);
    if (exponent < 0) return value / EXACT_POWERS_OF_TEN[static_cast<std::size_t>(-exponent)];
    return value * EXACT_POWERS_OF_TEN[static_cast<std::size_t>(exponent)];
}

// Reads text, size bytes, when it is at most eight digits with at most one
// point among them; the words read end at text + 8. This is the most common
// number of all, so it is always inlined, and it takes no branch on the
// digits: the point is found and squeezed out with masks.
PILO_ALWAYS_INLINE int read_word_decimal(const char* text, std::size_t size, double& out) noexcept {
    if (size - 1 > WORD_BYTES) return -1; // 1 to 9 bytes
    const std::uint64_t word = load_word(text);
    // When the first non-digit is a point, the bytes after it move down by
    // one. The byte at size is a delimiter, so a point found there or
    // earlier is inside the text. Setting the top bit of the marks spares
    // the count of trailing zeros its case for zero, a branch on some
    // targets; then a word of eight digits gives 7, the index of a digit.
    // The point is a mask of all ones or none, not a bool: compilers tend to
    // turn a select on a bool into a branch.
    const std::uint64_t marks = non_digit_bytes(word);
    const auto integer_count =
        static_cast<std::size_t>(std::countr_zero(marks | std::uint64_t{1} << 63)) / 8;
    const std::uint64_t point = 0 - static_cast<std::uint64_t>(text[integer_count] == '.');
    const std::uint64_t kept = (((marks & (0 - marks)) >> 7) - 1) | ~point;
    const std::uint64_t digits = (word & kept) | (load_word(text + 1) & ~kept);
    const std::size_t digit_count = size - static_cast<std::size_t>(point & 1);
    if (digit_count - 1 >= WORD_BYTES ||
        (non_digit_bytes(digits) & HIGH_BITS_BELOW[digit_count]) != 0)
        return -1;
    const std::size_t fraction_count =
        (digit_count - integer_count) & static_cast<std::size_t>(point);
    if (!PILO_USE_SCALED_DECIMALS && fraction_count != 0) return -1;
    // d < 10^8 and 10^fraction_count are exact doubles: one correctly
    // rounded division, as in scale_exactly.
    out = static_cast<double>(digits_value(digits, digit_count)) /
          EXACT_POWERS_OF_TEN[fraction_count];
    return 0;
}

// The index of the first byte of text that is not a digit, or 16 when the
// first 16 are all digits. Words are tested separately, so each one's first
// mark is exact.
std::size_t first_non_digit(std::uint64_t low, std::uint64_t high) noexcept {
    const std::size_t first = first_marked_byte(non_digit_bytes(low));
    return first < WORD_BYTES ? first : WORD_BYTES + first_marked_byte(non_digit_bytes(high));
}

static_assert(NUMBER_PADDING >= MAX_SIGNIFICAND_DIGITS); // the reach of read_short_decimal

// Reads text, up to last, when it has the short form: at most 16 digits with
// an optional point, and an optional exponent of at most four digits, whose
// value is d * 10^e with d <= 2^53 and |e| <= 22. A zero before the point
// does not count. The byte at last must be a delimiter or a zero byte; the
// words read end 16 bytes past the token's first digit or point. Out of
// line: the word reader takes most numbers.
PILO_NOINLINE int read_short_decimal(const char* text, const char* last, double& out) noexcept {
    if (text[0] == '0' && text[1] == '.') ++text; // "0.5" is ".5"; "0." fails below
    // The 16 bytes at text, with a point among the leading digits squeezed
    // out as in read_word_decimal: the bytes after it come from text + 1.
    // The byte at last is neither a digit nor a point, so the digits and the
    // point end by then.
    const std::uint64_t low = load_word(text);
    const std::uint64_t high = load_word(text + WORD_BYTES);
    const std::size_t first = first_non_digit(low, high);
    const std::uint64_t point = 0 - static_cast<std::uint64_t>(text[first] == '.');
    const std::size_t low_kept = first < WORD_BYTES ? first : WORD_BYTES;
    const std::uint64_t low_moved = bytes_from(low_kept) & point;
    const std::uint64_t high_moved = bytes_from(first - low_kept) & point;
    const std::uint64_t digits_low = (low & ~low_moved) | (load_word(text + 1) & low_moved);
    const std::uint64_t digits_high =
        (high & ~high_moved) | (load_word(text + WORD_BYTES + 1) & high_moved);
    // Without a point, count is first; with one, the digits after it make
    // the difference.
    const std::size_t count = first_non_digit(digits_low, digits_high);
    if (count == 0) return -1;
    const std::size_t low_count = count < WORD_BYTES ? count : WORD_BYTES;
    const std::uint64_t digits =
        std::uint64_t{digits_value(digits_low, low_count)} * POWERS_OF_TEN[count - low_count] +
        digits_value(digits_high, count - low_count);
    int exponent = static_cast<int>(first) - static_cast<int>(count);
    const char* at = text + count + static_cast<std::size_t>(point & 1);
    if (at != last) {
        if ((*at | 0x20) != 'e') return -1; // 'e' or 'E'
        ++at;
        const bool negative = *at == '-';
        if (negative || *at == '+') ++at;
        const std::uint64_t word = load_word(at); // ends at most 7 bytes past last
        const std::size_t written = first_marked_byte(non_digit_bytes(word));
        if (written == 0 || written > MAX_EXPONENT_DIGITS || at + written != last) return -1;
        const auto value = static_cast<int>(digits_value(word, written));
        exponent += negative ? -value : value;
    }
    if (digits > MAX_EXACT_INTEGER) return -1;
    if (exponent < -MAX_EXACT_POWER || exponent > MAX_EXACT_POWER) return -1;
    if (!PILO_USE_SCALED_DECIMALS && exponent != 0) return -1;
    out = scale_exactly(digits, exponent);
    return 0;
}

// The general readers, for every token the short readers decline: plain
// decimal forms with fast_float, exactly as strtod reads them, and anything
// else, or anything fast_float does not take whole, with strtod, the
// reference. Only tokens that open with a digit or a point, after an optional
// sign, go to fast_float: strtod alone skips white space and reads inf, nan
// and hexadecimal forms. fast_float refuses a plus sign, and rounds values out
// of range to an infinity or a zero as strtod does. Out of line, so that the
// input loop's path for short numbers saves no registers for it.
PILO_NOINLINE int read_general(char* token, std::size_t length, double& out) noexcept {
    // strtod turns "" into 0.0 with its end pointer on the terminator, so an
    // empty token would otherwise pass the whole-token test.
    if (length == 0) return -1;
#if PILO_USE_FAST_FLOAT
    const char lead = token[token[0] == '-' || token[0] == '+' ? 1 : 0];
    if ((lead >= '0' && lead <= '9') || lead == '.') {
        double value = 0.0;
        const char* const last = token + length;
        const auto [end, error] = fast_float::from_chars(token, last, value);
        if (error == std::errc{} && end == last) {
            out = value;
            return 0;
        }
    }
#endif
    token[length] = '\0';
    char* end = nullptr;
    const double value = std::strtod(token, &end);
    if (*end != '\0') return -1;
    out = value;
    return 0;
}

} // namespace

int parse_number(char* token, std::size_t length, double& out) noexcept {
    const bool negative = token[0] == '-';
    const std::size_t sign_size = negative || token[0] == '+' ? 1 : 0;
    const char* const text = token + sign_size;
    const std::size_t size = length - sign_size;
    double value = 0.0;
    if (read_word_decimal(text, size, value) != 0 &&
        read_short_decimal(text, text + size, value) != 0)
        return read_general(token, length, out);
    // The sign goes in as a bit, which negates exactly, -0 included, and
    // takes no branch.
    const std::uint64_t sign = SIGN_MASK * static_cast<std::uint64_t>(negative);
    out = std::bit_cast<double>(std::bit_cast<std::uint64_t>(value) | sign);
    return 0;
}

} // namespace pilo
