// Number reader: turns a number token into a value.
#pragma once

#include <cstddef>

namespace pilo {

// Stores the value in out and returns 0 when the whole of token, which must be
// non-empty, is a number as strtod reads it in the "C" locale (signs,
// exponents, hexadecimal forms, inf and nan); returns -1 otherwise and leaves
// out untouched. Out-of-range numbers become infinities or zeros.
[[nodiscard]] int parse_number(const char* token, double& out) noexcept;

// As parse_number above, for a token of length bytes followed by a zero byte.
[[nodiscard]] int parse_number(const char* token, std::size_t length, double& out) noexcept;

// Bytes past a token's last byte that parse_padded_decimal may read. Their
// contents never change its result.
inline constexpr std::size_t NUMBER_PADDING = 16;

// Reads token, length bytes that need not be followed by a zero byte, when
// it is an optional minus, then at most eight digits with at most one point
// among them. Stores the value and returns 0, as parse_number would; returns
// -1, leaving out untouched, for any other token, which parse_number must then
// judge. The NUMBER_PADDING bytes after the token must be readable.
[[nodiscard]] int parse_padded_decimal(const char* token, std::size_t length, double& out) noexcept;

// Reads the number at the start of text when it has the common short form:
// an optional minus, at most 19 digits with an optional point, and an optional
// exponent, whose value is d * 10^e with d <= 2^53 and |e| <= 22. Both
// factors are then exact doubles, so one multiplication or division, rounded
// to nearest, gives strtod's answer. Where double operations carry excess
// precision (x87), only e = 0 is taken. Stores the value and returns a pointer
// to the first byte after the number; returns null, leaving out untouched, for
// any other text.
// Reading stops at the first byte outside that form, at the latest at the zero
// byte that must follow text, so it also finds where a number token ends.
[[nodiscard]] const char* parse_short_decimal(const char* text, double& out) noexcept;

} // namespace pilo
