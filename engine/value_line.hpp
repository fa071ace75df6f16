// Value lines: a value rendered exactly as printf's "%f\n" renders it.
#pragma once

#include <array>
#include <cstddef>
#include <limits>

namespace pilo {

// The longest value line: a sign, the integer digits of the largest double
// (10^max_exponent10 is the largest power of ten below it, so it has one more
// digit than that exponent), the point, six decimals and the newline. For
// binary64 that is 1 + 309 + 1 + 6 + 1 = 318 bytes.
inline constexpr std::size_t LONGEST_VALUE_LINE =
    1 + static_cast<std::size_t>(std::numeric_limits<double>::max_exponent10 + 1) + 1 + 6 + 1;

// Room for a value line and the zero byte that snprintf adds after it.
inline constexpr std::size_t VALUE_LINE_SIZE = LONGEST_VALUE_LINE + 1;

// Writes value into line as "%f\n" would, in the "C" locale, and returns the
// number of bytes written. No terminating zero byte is added.
std::size_t format_value_line(double value, std::array<char, VALUE_LINE_SIZE>& line) noexcept;

// Writes value as a value line to standard output. Errors stay in the
// stream's error indicator for the caller to test.
void print_value_line(double value) noexcept;

} // namespace pilo
