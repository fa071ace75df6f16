// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "engine/value_line.hpp"

#include "engine/byte_words.hpp"

#include <bit>
#include <cmath>
#include <compare>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <version>

// Fast paths, each with a plain form beside it that prints the same lines.
// PILO_PLAIN_PATHS forces every plain form on, so that any platform can test
// them.
//
// Exactness assumes the default rounding mode, round to nearest, which pilo
// never changes. There printf rounds the sixth decimal half to even, and so
// do split_fixed and to_chars; glibc's printf follows another rounding mode
// when one is set, and they would not.
//
// std::to_chars prints large values exactly as "%.*f" does, and faster than
// snprintf. The library's feature macro says whether it has the overload for
// double; libc++ 14, for one, does not define it.
#if defined(__cpp_lib_to_chars) && !defined(PILO_PLAIN_PATHS)
#define PILO_USE_TO_CHARS 1
#include <charconv>
#else
#define PILO_USE_TO_CHARS 0
#endif
// glibc's FILE exposes its put area, which its own putc_unlocked macro fills
// directly while _IO_write_ptr is below _IO_write_end. Whole lines go there
// the same way, sparing fwrite's layers. Other C libraries get plain fwrite.
#if defined(__GLIBC__) && defined(__putc_unlocked_body) && !defined(PILO_PLAIN_PATHS)
#define PILO_USE_PUT_AREA 1
#include <cstring>
#else
#define PILO_USE_PUT_AREA 0
#endif

namespace pilo {

namespace {

static_assert(std::numeric_limits<double>::is_iec559, "value lines take binary64 fields apart");
static_assert(sizeof(double) == sizeof(std::uint64_t));

// The fields of a binary64 value: |value| = significand * 2^exponent, where
// the significand carries the hidden bit of normal values.
constexpr int SIGNIFICAND_BITS = std::numeric_limits<double>::digits; // 53
constexpr int FRACTION_FIELD_BITS = SIGNIFICAND_BITS - 1;             // 52 stored
constexpr std::uint64_t FRACTION_FIELD_MASK = (std::uint64_t{1} << FRACTION_FIELD_BITS) - 1;
constexpr std::uint64_t HIDDEN_BIT = std::uint64_t{1} << FRACTION_FIELD_BITS;
constexpr int WORD_BITS = std::numeric_limits<std::uint64_t>::digits; // 64
constexpr int SIGN_BIT = WORD_BITS - 1;
constexpr int EXPONENT_FIELD_BITS = SIGN_BIT - FRACTION_FIELD_BITS;          // 11
constexpr int EXPONENT_FIELD_ALL_ONES = (1 << EXPONENT_FIELD_BITS) - 1;      // infinities and NaNs
constexpr int EXPONENT_BIAS = std::numeric_limits<double>::max_exponent - 1; // 1023
// The exponent of the significand's unit bit when the exponent field is 1 (or
// 0, for subnormals).
constexpr int MIN_EXPONENT = 1 - EXPONENT_BIAS - FRACTION_FIELD_BITS; // -1074

constexpr std::uint32_t MICRO = 1'000'000; // six decimals

// Integers whose significand shifted left stays below 2^64 take the integer
// path; larger ones go to the general formatter.
constexpr int MAX_INTEGER_SHIFT = WORD_BITS - SIGNIFICAND_BITS;

// A fraction f < 2^53 shifted right by at least NEGLIGIBLE_SHIFT is below
// 2^-21, which is under half a millionth: it rounds to zero micros.
constexpr int ROUNDS_TO_ZERO_BITS = 21;
static_assert((std::uint64_t{1} << ROUNDS_TO_ZERO_BITS) > 2 * std::uint64_t{MICRO});
constexpr int NEGLIGIBLE_SHIFT = SIGNIFICAND_BITS + ROUNDS_TO_ZERO_BITS;

// "00" to "99", so that digits are written two at a time.
constexpr std::array<char, 200> DIGIT_PAIRS = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// Writes the digits of number, which has count digits, ending just before last.
void write_digits(char* last, std::uint64_t number, int count) noexcept {
    for (; count >= 2; count -= 2) {
        const auto pair = static_cast<std::size_t>(number % 100) * 2;
        number /= 100;
        *--last = DIGIT_PAIRS[pair + 1];
        *--last = DIGIT_PAIRS[pair];
    }
    if (count == 1) *--last = static_cast<char>('0' + number);
}

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

// The integer part below 10^8 takes one word of digits, written whole and
// advanced over by its length, so its length costs no branch; below 10^16 it
// takes two.
constexpr std::uint64_t WORD_DIGITS_LIMIT = 100'000'000;

constexpr std::array<std::uint64_t, 20> POWERS_OF_TEN = [] {
    std::array<std::uint64_t, 20> powers{};
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
    return powers;
}();

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
    const std::strong_ordering rest_to_half = rest_upper != half_upper
                                                  ? rest_upper <=> half_upper
                                                  : low_bits(low, 32) <=> std::uint64_t{0};
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
    const int exponent = MIN_EXPONENT + (exponent_field == 0 ? 0 : exponent_field - 1);
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

// The general formatter, for values split_fixed does not take. The C library
// renders infinities and NaNs: their text is the platform's to decide.
std::size_t format_general(double value, std::array<char, VALUE_LINE_SIZE>& line) noexcept {
    char* const first = line.data();
#if PILO_USE_TO_CHARS
    if (std::isfinite(value)) {
        // The buffer always has room, so the call cannot fail.
        char* end =
            std::to_chars(first, first + line.size() - 1, value, std::chars_format::fixed, 6).ptr;
        *end++ = '\n';
        return static_cast<std::size_t>(end - first);
    }
#endif
    const int length = std::snprintf(first, line.size(), "%f\n", value);
    return length < 0 ? 0 : static_cast<std::size_t>(length);
}

// The longest line of the common form, which split_fixed takes: its integer
// part is below 2^64, so it has at most 20 digits.
constexpr std::size_t FIXED_LINE_SIZE =
    value_line_length(std::numeric_limits<std::uint64_t>::digits10 + 1);

// Bytes copied whole for a line of the common form.
constexpr std::size_t LINE_COPY = 32;
static_assert(LINE_COPY >= FIXED_LINE_SIZE && LINE_COPY <= VALUE_LINE_SIZE);

} // namespace

std::size_t format_value_line(double value, std::array<char, VALUE_LINE_SIZE>& line) noexcept {
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
    if (integer < WORD_DIGITS_LIMIT) {
        store_word(end - count,
                   eight_digits(static_cast<std::uint32_t>(integer)) >> (8 * (8 - count)));
    } else if (integer < WORD_DIGITS_LIMIT * WORD_DIGITS_LIMIT) {
        // The leading count - 8 digits, then the last eight over whatever
        // the first word left past them.
        const auto high = static_cast<std::uint32_t>(integer / WORD_DIGITS_LIMIT);
        const auto low = static_cast<std::uint32_t>(integer % WORD_DIGITS_LIMIT);
        store_word(end - count, eight_digits(high) >> (8 * (16 - count)));
        store_word(end - WORD_BYTES, eight_digits(low));
    } else {
        write_digits(end, integer, count);
    }
    // Six decimals: the eight digits of micros less two leading zeros, then
    // the newline and the point before them, all in one word.
    const std::uint64_t decimals = (eight_digits(micros) >> 8) & ~std::uint64_t{0xFF};
    store_word(end, std::uint64_t{'.'} | decimals | (std::uint64_t{'\n'} << 56));
    return static_cast<std::size_t>(end + 8 - first);
}

void print_value_line(double value) noexcept {
    std::array<char, VALUE_LINE_SIZE> line;
    const std::size_t length = format_value_line(value, line);
    // Either way the line goes through stdout's own buffer, so line buffering
    // at a terminal holds: glibc keeps _IO_write_end at or below
    // _IO_write_ptr on line-buffered and unbuffered streams, and on any stream
    // before its first write, which sends every such line through fwrite.
#if PILO_USE_PUT_AREA
    // A line of the common form goes in as a fixed LINE_COPY bytes, a copy
    // that compiles to a few moves. The bytes past the line land in the
    // buffer's free space, and only bytes below _IO_write_ptr are ever
    // written out.
    std::FILE* const out = stdout;
    if (length <= LINE_COPY &&
        out->_IO_write_end - out->_IO_write_ptr >= static_cast<std::ptrdiff_t>(LINE_COPY)) {
        std::memcpy(out->_IO_write_ptr, line.data(), LINE_COPY);
        out->_IO_write_ptr += length;
        return;
    }
#endif
    // A failed write stays in the stream's error indicator, which the caller
    // tests.
    (void)std::fwrite(line.data(), 1, length, stdout);
}

} // namespace pilo
