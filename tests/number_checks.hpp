// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Number checks: pilo's number readers and value-line writer against the C
// library, the reference. One set of checks for every driver: the fuzz
// target, its corpus replay and the number reader's unit test.
#pragma once

#include "driver/number_reader.hpp"
#include "engine/value_line.hpp"

#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace pilo_checks {

// Whether a and b have the same bits, so that -0.0 differs from 0.0 and NaN
// signs and payloads count.
inline bool same_bits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// What strtod makes of a token, and the first reader that differs from it.
struct number_verdict {
    const char* difference; // nullptr when every reader agrees
    bool number;            // whether strtod reads the whole token
    double value;           // strtod's value
};

// Checks token, cut as the input loop cuts tokens, with following the input's
// bytes after it (empty at the end of the input, which ends the token with a
// zero byte), handed to parse_number as the loop hands it: the stop byte and
// the padding from following. parse_number must agree with strtod on whether
// the whole token is a number and on its value, bit for bit, and leave its
// output untouched on refusal.
inline number_verdict check_number(const std::string& token, std::string_view following) {
    char* end = nullptr;
    const double want = std::strtod(token.c_str(), &end);
    const bool number = !token.empty() && *end == '\0'; // strtod reads "" as 0
    // A NaN with a payload no reading makes, so that a write on refusal shows.
    const double untouched = std::bit_cast<double>(std::uint64_t{0x7ff4'dead'beef'0001});
    std::string padded = token + std::string(following.substr(0, 1 + pilo::NUMBER_PADDING));
    padded.resize(token.size() + 1 + pilo::NUMBER_PADDING, '5');
    if (following.empty()) padded[token.size()] = '\0';
    double got = untouched;
    const int status = pilo::parse_number(padded.data(), token.size(), got);
    const bool same = status == (number ? 0 : -1) && same_bits(got, number ? want : untouched);
    return number_verdict{same ? nullptr : "parse_number differs from strtod", number, want};
}

// The C library's own value line for value, snprintf("%f\n"): the reference,
// and the platform's word on the text of infinities and NaNs.
inline std::string printf_line(double value) {
    std::array<char, pilo::VALUE_LINE_SIZE + 1> line;
    std::snprintf(line.data(), line.size(), "%f\n", value);
    return line.data();
}

// Whether format_value_line writes value as snprintf("%f\n") does.
inline bool value_line_matches(double value) {
    std::array<char, pilo::VALUE_LINE_SIZE> line;
    const std::size_t length = pilo::format_value_line(value, line);
    return std::string_view(line.data(), length) == printf_line(value);
}

} // namespace pilo_checks
