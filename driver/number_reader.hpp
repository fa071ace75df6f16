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

} // namespace pilo
