// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Value lines: a value rendered exactly as printf's "%f\n" renders it.
#pragma once

#include "engine/output_buffer.hpp"

#include <cstddef>
#include <limits>
#include <span>

namespace pilo {

// The decimals of every value line, as "%f" writes them.
inline constexpr std::size_t LINE_DECIMALS = 6;

// The length of a value line whose integer part has integer_digits digits:
// a sign, those digits, the point, the decimals and the newline.
constexpr std::size_t value_line_length(std::size_t integer_digits) noexcept {
    return 1 + integer_digits + 1 + LINE_DECIMALS + 1;
}

// The longest value line. The largest double has one integer digit more than
// max_exponent10, the exponent of the largest power of ten below it: 309 for
// binary64, which makes 318 bytes.
inline constexpr std::size_t LONGEST_VALUE_LINE =
    value_line_length(static_cast<std::size_t>(std::numeric_limits<double>::max_exponent10) + 1);

// Room for a value line and the zero byte that snprintf adds after it.
inline constexpr std::size_t VALUE_LINE_SIZE = LONGEST_VALUE_LINE + 1;
static_assert(VALUE_LINE_SIZE <= OUTPUT_CAPACITY);

// Writes value into line as "%f\n" would, in the "C" locale, and returns the
// number of bytes written. No terminating zero byte is added; bytes past the
// line may be overwritten.
std::size_t format_value_line(double value, std::span<char, VALUE_LINE_SIZE> line) noexcept;

// Appends value as a value line to out.
void put_value_line(output_buffer& out, double value) noexcept;

} // namespace pilo
