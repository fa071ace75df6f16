// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Number reader: turns a number token into a value.
#pragma once

#include <cstddef>

namespace pilo {

// Bytes past a token's last byte that parse_number may read.
inline constexpr std::size_t NUMBER_PADDING = 16;

// Stores the value in out and returns 0 when the whole of token, length
// bytes, is a number as strtod reads it in the "C" locale (signs, exponents,
// hexadecimal forms, inf and nan); returns -1 otherwise, an empty token
// included, and leaves out untouched. Out-of-range numbers become infinities
// or zeros. token[length] must be a delimiter or a zero byte, and may be
// overwritten with a zero byte; the NUMBER_PADDING bytes from token + length
// must be readable, and what they hold after that byte never changes the
// result. Short decimals are read in a few word operations, exactly, in the
// default rounding mode, round to nearest, which pilo never changes.
[[nodiscard]] int parse_number(char* token, std::size_t length, double& out) noexcept;

} // namespace pilo
