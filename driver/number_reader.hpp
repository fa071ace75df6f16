// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Number reader: turns a number token into a value.
#pragma once

#include <cstddef>

namespace pilo {

// Stores the value in out and returns 0 when the whole of token, a
// zero-terminated string, is a number as strtod reads it in the "C" locale
// (signs, exponents, hexadecimal forms, inf and nan); returns -1 otherwise,
// a null or empty token included, and leaves out untouched. Out-of-range
// numbers become infinities or zeros.
[[nodiscard]] int parse_number(const char* token, double& out) noexcept;

// As parse_number above, for a token of length bytes followed by a zero byte;
// a length of 0 is an empty token.
[[nodiscard]] int parse_number(const char* token, std::size_t length, double& out) noexcept;

// Bytes past a token's last byte that parse_padded_decimal may read.
inline constexpr std::size_t NUMBER_PADDING = 16;

// As parse_number, for a token of length bytes followed by a delimiter or a
// zero byte, with NUMBER_PADDING readable bytes past its last byte, when it
// has the common short form: an optional sign, at most 16 digits (a zero
// before the point aside) with an optional point, and an optional exponent
// of at most four digits, whose value is d * 10^e with d <= 2^53 and
// |e| <= 22. Returns -1, leaving out untouched, for any other token, which
// parse_number must then judge. What the padding holds after the delimiter
// never changes the result. The value is exact in the default rounding mode,
// round to nearest, which pilo never changes.
[[nodiscard]] int parse_padded_decimal(const char* token, std::size_t length, double& out) noexcept;

// As parse_number, for a token that parse_padded_decimal has declined, so
// that its short readers are not tried again. Declined means only that the
// token is not of the short form: it may still be a number.
[[nodiscard]] int parse_declined_number(const char* token, std::size_t length,
                                        double& out) noexcept;

} // namespace pilo
