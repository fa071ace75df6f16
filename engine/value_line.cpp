// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "engine/value_line.hpp"

#include "base/binary64.hpp"
#include "base/byte_words.hpp"
#include "base/compiler.hpp"
#include "base/platform.hpp"

#include <bit>
#include <compare>
#include <cstdint>
#include <cstdio>
#include <limits>

// Exactness assumes the default rounding mode, round to nearest, which pilo
// never changes. There printf rounds the sixth decimal half to even, and so
// does split_fixed; glibc's printf follows another rounding mode when one is
// set, and split_fixed would not.

namespace pilo {

namespace {

constexpr auto MICRO = static_cast<std::uint32_t>(POWERS_OF_TEN[LINE_DECIMALS]);

// Integers whose significand shifted left stays below 2^64 take the integer
// path; larger ones go to the general formatter.
constexpr int MAX_INTEGER_SHIFT = WORD_BITS - SIGNIFICAND_BITS;

// A fraction f < 2^53 shifted right by at least NEGLIGIBLE_SHIFT is below
// 2^-21, which is under half a millionth: it rounds to zero micros.
constexpr int ROUNDS_TO_ZERO_BITS = 21;
static_assert((std::uint64_t{1} << ROUNDS_TO_ZERO_BITS) > 2 * std::uint64_t{MICRO});
constexpr int NEGLIGIBLE_SHIFT = SIGNIFICAND_BITS + ROUNDS_TO_ZERO_BITS;

// The eight decimal digits of number < 10^8, leading zeros included, as
// text in a byte word: the most significant digit in byte 0. Each step splits
// every lane in two, number / 10^k and number % 10^k, with the quotient
// taken as a multiplication and a shift that is exact over the lane's range:
// y / 10^4 first, then y / 100 = (y * 5243) >> 19 for y < 10^4, then
// y / 10 = (y * 103) >> 10 for y < 100. No product overflows its lane.
constexpr std::uint64_t eight_digits(std::uint32_t number) noexcept {
    std::uint64_t lanes = (number / 10000) | (std::uint64_t{number % 10000} << 32);
    const std::uint64_t hundreds = ((lanes * 5243) >> 19) & 0x0000'007F'0000'007F;
    lanes = hundreds | ((lanes - hundreds * 100) << 16);
    const std::uint64_t tens = ((lanes * 103) >> 10) & 0x000F'000F'000F'000F;
    lanes = tens | ((lanes - tens * 10) << 8);
    return lanes + broadcast('0');
}

static_assert(eight_digits(12345678) == 0x3837'3635'3433'3231);
static_assert(eight_digits(90000001) == 0x3130'3030'3030'3039);

// The integer part is written eight digits to a word: below 10^8 in one
// word, written whole and advanced over by its length, so that its length
// costs no branch; below 10^16 in two; and up to 2^64 in three.
constexpr std::uint64_t WORD_DIGITS_LIMIT = POWERS_OF_TEN[WORD_BYTES];
constexpr std::uint64_t TWO_WORD_DIGITS_LIMIT = POWERS_OF_TEN[2 * WORD_BYTES];

// Writes the count digits of number, 10^16 <= number < 2^64, ending just
// before end: the leading count - 16 digits, then two words of eight over
// what the first word left past them. Out of line, as such integer parts are
// rare.
PILO_NOINLINE void write_three_words(char* end, std::uint64_t number, int count) noexcept {
    const auto top = static_cast<std::uint32_t>(number / TWO_WORD_DIGITS_LIMIT);
    const std::uint64_t rest = number % TWO_WORD_DIGITS_LIMIT;
    store_word(end - count, eight_digits(top) >> (8 * (24 - count)));
    store_word(end - 2 * WORD_BYTES,
               eight_digits(static_cast<std::uint32_t>(rest / WORD_DIGITS_LIMIT)));
    store_word(end - WORD_BYTES,
               eight_digits(static_cast<std::uint32_t>(rest % WORD_DIGITS_LIMIT)));
}

// Returns how many decimal digits number has, counting 0 as one digit. The
// bit width times log10(2), 1233 / 4096, is the digit count or one less.
int count_digits(std::uint64_t number) noexcept {
    const auto estimate = static_cast<int>((std::bit_width(number | 1) * 1233) >> 12);
    return estimate + ((number | 1) >= POWERS_OF_TEN[static_cast<std::size_t>(estimate)] ? 1 : 0);
}

constexpr std::uint64_t low_bits(std::uint64_t number, int count) noexcept {
    return number & ((std::uint64_t{1} << count) - 1);
}

// Rounds quotient up when the remainder it leaves is above half, or equal to
// half with quotient odd: round half to even, which is what printf does in the
// default rounding mode.
std::uint32_t round_half_even(std::uint64_t quotient, std::strong_ordering rest_to_half) noexcept {
    const bool up = std::is_gt(rest_to_half) || (std::is_eq(rest_to_half) && (quotient & 1) != 0);
    return static_cast<std::uint32_t>(quotient + (up ? 1 : 0));
}

// Returns fraction * 10^6 / 2^shift rounded half to even, from 0 to MICRO.
// Needs 1 <= shift < NEGLIGIBLE_SHIFT and fraction < 2^min(shift, 53). The
// product needs up to 73 bits, so it is taken in two 64-bit words: portable
// to every target, and no slower than a 128-bit type where one exists.
std::uint32_t round_micros(std::uint64_t fraction, int shift) noexcept {
    if (shift <= 32) { // fraction < 2^32, so fraction * 10^6 < 2^52 fits a word
        const std::uint64_t scaled = fraction * MICRO;
        return round_half_even(scaled >> shift,
                               low_bits(scaled, shift) <=> std::uint64_t{1} << (shift - 1));
    }
    // fraction * 10^6 = upper * 2^32 + (low mod 2^32), where low is the low
    // half's product (< 2^52) and upper < 2^42 gathers the rest. Then with
    // k = shift - 32 < 42, the quotient is upper / 2^k and the remainder is
    // (upper mod 2^k) * 2^32 + (low mod 2^32), which is compared with
    // half = 2^(k-1) * 2^32 word by word.
    const std::uint64_t low = low_bits(fraction, 32) * MICRO;
    const std::uint64_t upper = (fraction >> 32) * MICRO + (low >> 32);
    const int k = shift - 32;
    const std::uint64_t rest_upper = low_bits(upper, k);
    const std::uint64_t half_upper = std::uint64_t{1} << (k - 1);
    // The comparison with 0 has a branch for less that no value can take: an
    // unsigned value is never below 0. Coverage leaves that line's branches out.
    const std::strong_ordering rest_to_half =
        rest_upper != half_upper ? rest_upper <=> half_upper
                                 : low_bits(low, 32) <=> std::uint64_t{0}; // GCOVR_EXCL_BR_LINE
    return round_half_even(upper >> k, rest_to_half);
}

// Splits |value|, given as its bits, into its integer part and its fraction
// rounded to six decimals, in exact integer arithmetic. Returns false for
// values of 2^64 and over and for infinities and NaNs, which are left to the
// general formatter.
bool split_fixed(std::uint64_t bits, std::uint64_t& integer, std::uint32_t& micros) noexcept {
    const auto exponent_field =
        static_cast<int>((bits >> FRACTION_FIELD_BITS) & EXPONENT_FIELD_ALL_ONES);
    if (exponent_field == EXPONENT_FIELD_ALL_ONES) return false;
    std::uint64_t significand = bits & FRACTION_FIELD_MASK;
    if (exponent_field != 0) significand |= HIDDEN_BIT;
    const int exponent = LOWEST_UNIT_EXPONENT + (exponent_field == 0 ? 0 : exponent_field - 1);
    if (exponent >= 0) {
        if (exponent > MAX_INTEGER_SHIFT) return false;
        integer = significand << exponent;
        micros = 0;
        return true;
    }
    const int shift = -exponent;
    if (shift >= NEGLIGIBLE_SHIFT) {
        integer = 0;
        micros = 0;
        return true;
    }
    // A shift by a word's width or more is undefined, and every bit is
    // fraction then.
    integer = shift >= WORD_BITS ? 0 : significand >> shift;
    micros = round_micros(shift >= WORD_BITS ? significand : low_bits(significand, shift), shift);
    if (micros == MICRO) { // 0.9999995 and up carry into the integer part
        ++integer;
        micros = 0;
    }
    return true;
}

// The general formatter, for values split_fixed does not take: 2^64 and
// over, infinities and NaNs. Such lines are rare, and the C library's own
// rendering is the reference; the text of infinities and NaNs is the
// platform's to decide.
std::size_t format_general(double value, std::span<char, VALUE_LINE_SIZE> line) noexcept {
    const int length = std::snprintf(line.data(), line.size(), "%f\n", value);
    return length < 0 ? 0 : static_cast<std::size_t>(length);
}

// The longest line of the common form, which split_fixed takes: its integer
// part is below 2^64, so it has at most 20 digits.
constexpr std::size_t FIXED_LINE_SIZE =
    value_line_length(std::numeric_limits<std::uint64_t>::digits10 + 1);

} // namespace

std::size_t format_value_line(double value, std::span<char, VALUE_LINE_SIZE> line) noexcept {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    std::uint64_t integer = 0;
    std::uint32_t micros = 0;
    if (!split_fixed(bits, integer, micros)) return format_general(value, line);
    // The line is at most FIXED_LINE_SIZE bytes here, and whole words are
    // stored past its end only within the buffer. The sign is written always
    // and kept only for negative values.
    static_assert(VALUE_LINE_SIZE >= FIXED_LINE_SIZE + WORD_BYTES);
    char* const first = line.data();
    *first = '-';
    char* end = first + (bits >> SIGN_BIT);
    const int count = count_digits(integer);
    end += count;
    // Six decimals: the eight digits of micros less two leading zeros, then
    // the newline and the point before them, all in one word.
    static_assert(1 + LINE_DECIMALS + 1 == WORD_BYTES);
    if (integer < WORD_DIGITS_LIMIT) {
        store_word(end - count,
                   eight_digits(static_cast<std::uint32_t>(integer)) >> (8 * (8 - count)));
    } else if (integer < TWO_WORD_DIGITS_LIMIT) {
        // The leading count - 8 digits, then the last eight over whatever
        // the first word left past them.
        const auto high = static_cast<std::uint32_t>(integer / WORD_DIGITS_LIMIT);
        const auto low = static_cast<std::uint32_t>(integer % WORD_DIGITS_LIMIT);
        store_word(end - count, eight_digits(high) >> (8 * (16 - count)));
        store_word(end - WORD_BYTES, eight_digits(low));
    } else {
        write_three_words(end, integer, count);
    }
    const std::uint64_t decimals = (eight_digits(micros) >> 8) & ~std::uint64_t{0xFF};
    store_word(end, std::uint64_t{'.'} | decimals | (std::uint64_t{'\n'} << 56));
    return static_cast<std::size_t>(end + 8 - first);
}

void put_value_line(output_buffer& out, double value) noexcept {
    // Formatted in place, in the buffer's free space.
    out.length += format_value_line(value, std::span<char, VALUE_LINE_SIZE>(
                                               output_room(out, VALUE_LINE_SIZE), VALUE_LINE_SIZE));
}

} // namespace pilo
