// Value lines: a value rendered exactly as printf's "%f\n" renders it.
#pragma once

#include <array>
#include <cstddef>

namespace pilo {

// Room for the longest value line: a sign, the 309 integer digits of the
// largest double, the point, six decimals and the newline make 318 bytes.
inline constexpr std::size_t VALUE_LINE_SIZE = 320;

// Writes value into line as "%f\n" would, in the "C" locale, and returns the
// number of bytes written. No terminating zero byte is added.
std::size_t format_value_line(double value, std::array<char, VALUE_LINE_SIZE>& line) noexcept;

// Writes value as a value line to standard output. Errors stay in the
// stream's error indicator for the caller to test.
void print_value_line(double value) noexcept;

} // namespace pilo
