// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "tests/number_checks.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace {

// Returns false, after reporting value, when the writer's line differs from
// the C library's "%f\n".
bool matches_printf(double value) {
    const bool matches = pilo_checks::value_line_matches(value);
    EXPECT_TRUE(matches) << "value " << std::hexfloat << value;
    return matches;
}

TEST(ValueLine, MatchesPrintfByteForByte) {
    using limits = std::numeric_limits<double>;
    // Specials, rounding ties at the sixth decimal (k / 2^7 halves exactly
    // there), carries into the integer part, the boundaries of the rounding
    // steps, the switch to the general formatter at 2^64, and the extremes.
    for (double value : {0.0,
                         -0.0,
                         limits::infinity(),
                         -limits::infinity(),
                         limits::quiet_NaN(),
                         -limits::quiet_NaN(),
                         0.0078125,
                         0.0234375,
                         -0.0078125,
                         0.9999995,
                         0.99999949999999999,
                         9.9999995,
                         -1e-7,
                         5e-7,
                         4.9999999999999998e-7,
                         0x1p-20,
                         0x1.fffffffffffffp-21, // the last shift rounded (73): up to 0.000001
                         0x1.fffffffffffffp-22, // the first taken as zero (74)
                         524288.0078125,        // a tie at shift 33, on two words
                         1048576.0078125,       // a tie at shift 32, in one word
                         1048576.0234375,
                         0x1.024c272p+0, // above half only by 2^31, in the low word
                         0x1p-52,
                         0x1p-64,
                         0x1p-75,
                         0x1p62,
                         0x1.fffffffffffffp62,
                         0x1p63,
                         0x1.fffffffffffffp63, // the largest integer written without the formatter
                         0x1p64,
                         -0x1p63,
                         1e22,
                         limits::max(),
                         -limits::max(),
                         limits::min(),
                         limits::denorm_min(),
                         99999999.9999996,   // carries into an integer part of two words
                         100000000.0,        // the first in two words
                         9999999999999998.0, // the last in two words
                         1e16,               // the first past them
                         123456789.125,
                         4503599627370495.5})
        matches_printf(value);
    std::mt19937_64 random(2026);
    int failures = 0;
    for (int i = 0; i < 300000 && failures < 10; ++i) {
        // Raw bit patterns, values of every size near one, and short dyadic
        // fractions, where exact ties at six decimals live.
        const double raw = std::bit_cast<double>(random());
        const double near_one =
            std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 90));
        const double dyadic =
            static_cast<double>(static_cast<std::int64_t>(random() % 2000001) - 1000000) /
            static_cast<double>(1 << (random() % 12));
        for (double value : {raw, near_one, -near_one, dyadic})
            if (!matches_printf(value)) ++failures;
    }
}

} // namespace
