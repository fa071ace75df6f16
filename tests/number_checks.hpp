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
// bytes after it (empty at the end of the input). parse_number must agree
// with strtod on whether the whole token is a number and on its value, bit
// for bit, and leave its output untouched on refusal. parse_padded_decimal,
// given the bytes that follow as its padding, may decline, but what it takes
// must be strtod's value; what it declines, parse_declined_number must read
// as parse_number does.
inline number_verdict check_number(const std::string& token, std::string_view following) {
    char* end = nullptr;
    const double want = std::strtod(token.c_str(), &end);
    const bool number = !token.empty() && *end == '\0'; // strtod reads "" as 0
    const auto verdict = [&](const char* difference) {
        return number_verdict{difference, number, want};
    };
    // A NaN with a payload no reading makes, so that a write on refusal shows.
    const double untouched = std::bit_cast<double>(std::uint64_t{0x7ff4'dead'beef'0001});
    const double expected = number ? want : untouched;
    double got = untouched;
    const int status = pilo::parse_number(token.c_str(), token.size(), got);
    if (status != (number ? 0 : -1) || !same_bits(got, expected))
        return verdict("parse_number differs from strtod");
    std::string padded = token + std::string(following.substr(0, pilo::NUMBER_PADDING));
    padded.resize(token.size() + pilo::NUMBER_PADDING, '5');
    if (following.empty()) padded[token.size()] = '\0'; // the end of input ends the token
    double fast = untouched;
    if (pilo::parse_padded_decimal(padded.data(), token.size(), fast) == 0)
        return verdict(number && same_bits(fast, want) ? nullptr : "padded reader differs");
    if (!same_bits(fast, untouched)) return verdict("padded reader wrote as it declined");
    double rest = untouched;
    const int rest_status =
        token.empty() ? -1 : pilo::parse_declined_number(token.c_str(), token.size(), rest);
    if (rest_status != status || !same_bits(rest, expected))
        return verdict("declined-token reader differs");
    return verdict(nullptr);
}

// Whether format_value_line writes value as snprintf("%f\n") does.
inline bool value_line_matches(double value) {
    std::array<char, pilo::VALUE_LINE_SIZE + 1> want;
    const auto length =
        static_cast<std::size_t>(std::snprintf(want.data(), want.size(), "%f\n", value));
    std::array<char, pilo::VALUE_LINE_SIZE> line;
    return pilo::format_value_line(value, line) == length &&
           std::memcmp(line.data(), want.data(), length) == 0;
}

} // namespace pilo_checks
