// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Platform: every choice pilo makes from what the compiler, the processor and
// the C and C++ libraries offer, and the facts about binary64 that its exact
// readers and writers rest on. A port to another platform starts here.
//
// Each PILO_USE_ switch is 1 when its fast path is built and 0 when the plain
// form beside it is. Both forms give the same answers, bit for bit and byte
// for byte. PILO_PLAIN_PATHS sets every switch to 0, so that any platform can
// test the plain forms.
#pragma once

#include <array>
#include <bit>
#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <version>

// Stop bytes found 16 at a time: SSE2, part of every x86-64 processor, finds
// a block's delimiters in a few vector compares. Plain form: byte words,
// eight bytes to a few integer operations.
#if defined(__SSE2__) && !defined(PILO_PLAIN_PATHS)
#define PILO_USE_SSE2 1
#include <emmintrin.h>
#else
#define PILO_USE_SSE2 0
#endif

// Short decimals read as d * 10^e in one multiplication or division of exact
// doubles. That is correctly rounded in the default rounding mode, round to
// nearest, which pilo never changes, and only where double operations round
// to double: FLT_EVAL_METHOD 0, or 1, which widens only float. Under x87
// maths (2) the result is rounded to 64 bits and again to 53 on the store,
// which can land one bit away from strtod. Plain form: the short readers take
// only values that need no rounding, d * 10^0, and the rest go on to strtod.
#if (FLT_EVAL_METHOD == 0 || FLT_EVAL_METHOD == 1) && !defined(PILO_PLAIN_PATHS)
#define PILO_USE_SCALED_DECIMALS 1
#else
#define PILO_USE_SCALED_DECIMALS 0
#endif

// Other decimals read by std::from_chars, exactly and several times faster
// than strtod. The library's feature macro says whether it has the overload
// for double; libc++ 14, for one, does not define it. It needs the same
// rounding as the scaled decimals: libstdc++ 12's takes the same shortcut and
// under x87 maths reads -2.17763e+26 one bit off. Plain form: strtod.
#if defined(__cpp_lib_to_chars) && PILO_USE_SCALED_DECIMALS
#define PILO_USE_FROM_CHARS 1
#else
#define PILO_USE_FROM_CHARS 0
#endif

// Value lines of 2^64 and over written by std::to_chars, exactly as "%.*f"
// writes them and faster than snprintf. The same feature macro tells. Plain
// form: snprintf.
#if defined(__cpp_lib_to_chars) && !defined(PILO_PLAIN_PATHS)
#define PILO_USE_TO_CHARS 1
#else
#define PILO_USE_TO_CHARS 0
#endif

#if PILO_USE_FROM_CHARS || PILO_USE_TO_CHARS
#include <charconv>
#include <system_error>
#endif

// Value lines stored straight into stdout's buffer. glibc's FILE exposes its
// put area, which its own putc_unlocked macro fills directly while
// _IO_write_ptr is below _IO_write_end; whole lines go there the same way,
// sparing fwrite's layers. Plain form, and every other C library: fwrite.
#if defined(__GLIBC__) && defined(__putc_unlocked_body) && !defined(PILO_PLAIN_PATHS)
#define PILO_USE_PUT_AREA 1
#else
#define PILO_USE_PUT_AREA 0
#endif

namespace pilo {

// Doubles are IEEE-754 binary64, which the readers and writers take apart
// and put together by their fields.
static_assert(std::numeric_limits<double>::is_iec559, "doubles must be binary64");
static_assert(sizeof(double) == sizeof(std::uint64_t));

// The fields of a binary64 value, |value| = significand * 2^exponent, where
// the significand carries the hidden bit of normal values.
inline constexpr int SIGNIFICAND_BITS = std::numeric_limits<double>::digits; // 53
inline constexpr int FRACTION_FIELD_BITS = SIGNIFICAND_BITS - 1;             // 52 stored
inline constexpr std::uint64_t FRACTION_FIELD_MASK = (std::uint64_t{1} << FRACTION_FIELD_BITS) - 1;
inline constexpr std::uint64_t HIDDEN_BIT = std::uint64_t{1} << FRACTION_FIELD_BITS;
inline constexpr int WORD_BITS = std::numeric_limits<std::uint64_t>::digits; // 64
inline constexpr int SIGN_BIT = WORD_BITS - 1;
inline constexpr std::uint64_t SIGN_MASK = std::uint64_t{1} << SIGN_BIT;
inline constexpr int EXPONENT_FIELD_BITS = SIGN_BIT - FRACTION_FIELD_BITS;          // 11
inline constexpr int EXPONENT_FIELD_ALL_ONES = (1 << EXPONENT_FIELD_BITS) - 1;      // inf, NaN
inline constexpr int EXPONENT_BIAS = std::numeric_limits<double>::max_exponent - 1; // 1023
// The exponent of the significand's unit bit when the exponent field is 1 (or
// 0, for subnormals).
inline constexpr int MIN_EXPONENT = 1 - EXPONENT_BIAS - FRACTION_FIELD_BITS; // -1074

static_assert(std::bit_cast<std::uint64_t>(-0.0) == SIGN_MASK);

// Every integer up to this is a double, exactly.
inline constexpr std::uint64_t MAX_EXACT_INTEGER = std::uint64_t{1} << SIGNIFICAND_BITS;

// 10^0 to 10^19, every power of ten a 64-bit word holds.
inline constexpr std::array<std::uint64_t, std::numeric_limits<std::uint64_t>::digits10 + 1>
    POWERS_OF_TEN = [] {
        std::array<std::uint64_t, std::numeric_limits<std::uint64_t>::digits10 + 1> powers{};
        powers[0] = 1;
        for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
        return powers;
    }();

// Powers of ten that a double holds exactly. 10^n = 5^n * 2^n is exact while
// 5^n fits the significand: 5^22 < 2^53 < 5^23. Each is ten times the one
// before, an exact product.
inline constexpr std::array<double, 23> EXACT_POWERS_OF_TEN = [] {
    std::array<double, 23> powers{};
    powers[0] = 1.0;
    for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10.0;
    return powers;
}();
inline constexpr int MAX_EXACT_POWER = static_cast<int>(EXACT_POWERS_OF_TEN.size()) - 1;

static_assert([] {
    std::uint64_t power_of_five = 1;
    for (int i = 0; i < MAX_EXACT_POWER; ++i) power_of_five *= 5;
    return power_of_five < MAX_EXACT_INTEGER && power_of_five * 5 > MAX_EXACT_INTEGER;
}());
static_assert(EXACT_POWERS_OF_TEN[MAX_EXACT_POWER] == 1e22);
static_assert(POWERS_OF_TEN.back() == 10'000'000'000'000'000'000U);

} // namespace pilo
