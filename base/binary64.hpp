// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Binary64: the fields of an IEEE-754 double by name, and the powers of ten
// that pilo's exact number readers and value-line writer share.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>

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
// 0, for subnormals): the weight of the lowest bit of the smallest values.
// Not numeric_limits<double>::min_exponent, which is -1021.
inline constexpr int LOWEST_UNIT_EXPONENT = 1 - EXPONENT_BIAS - FRACTION_FIELD_BITS; // -1074

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
