// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// fuzz_number: any bytes, cut into tokens the way the input loop cuts them (at
// the delimiters and at zero bytes), go to parse_number and to strtod. Both
// must agree on whether each token is a number and on its value bit for bit,
// and a refused token must leave the output untouched; the padded reader,
// given the bytes that follow the token, may decline but must not differ, and
// what it declines must read the same through parse_refused_number.
// The value-line writer is checked against snprintf("%f\n") for every value
// read, and for the first eight input bytes taken as a double.

#include "driver/input_loop.hpp"
#include "driver/number_reader.hpp"
#include "engine/value_line.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void fail(const char* what, const std::string& token) {
    std::fprintf(stderr, "fuzz_number: %s: [%s]\n", what, token.c_str());
    std::abort();
}

bool same_bits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The value-line writer must print exactly what snprintf("%f\n") prints.
void check_value_line(double value, const std::string& source) {
    char want[400];
    const int want_length = std::snprintf(want, sizeof want, "%f\n", value);
    std::array<char, pilo::VALUE_LINE_SIZE> line;
    const std::size_t length = pilo::format_value_line(value, line);
    if (length != static_cast<std::size_t>(want_length) ||
        std::memcmp(line.data(), want, length) != 0)
        fail("value line differs from printf", source);
}

void check_token(const std::string& token, std::string_view following) {
    char* end = nullptr;
    const double want = std::strtod(token.c_str(), &end);
    const bool want_number = *end == '\0';
    // A NaN with a payload no parse can produce, so a write on refusal shows.
    constexpr std::uint64_t untouched_bits = 0x7ff4'dead'beef'0001;
    double got = 0.0;
    std::memcpy(&got, &untouched_bits, sizeof got);
    const double untouched = got;
    const bool got_number = pilo::parse_number(token.c_str(), got) == 0;
    if (got_number != want_number) fail(want_number ? "refused a number" : "accepted", token);
    if (!got_number && !same_bits(got, untouched)) fail("refusal changed the output", token);
    if (got_number && !same_bits(got, want)) fail("value differs from strtod", token);
    if (got_number) check_value_line(got, token);
    // The padded reader may decline, but what it takes must be strtod's
    // value, whatever bytes follow the delimiter after the token.
    std::string padded = token + std::string(following.substr(0, pilo::NUMBER_PADDING));
    padded.resize(token.size() + pilo::NUMBER_PADDING, '5');
    if (following.empty()) padded[token.size()] = '\0'; // the end of input ends the token
    double fast = got;
    if (pilo::parse_padded_decimal(padded.data(), token.size(), fast) == 0) {
        if (!want_number) fail("padded reader accepted", token);
        if (!same_bits(fast, want)) fail("padded value differs from strtod", token);
    } else {
        if (!same_bits(fast, got)) fail("padded refusal changed the output", token);
        // What it declines, parse_refused_number reads as parse_number does.
        double rest = got;
        if ((pilo::parse_refused_number(token.c_str(), token.size(), rest) == 0) != got_number ||
            !same_bits(rest, got))
            fail("refused-token reader differs", token);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // The first eight bytes, taken as a double, reach every bit pattern.
    if (size >= sizeof(double)) {
        double value = 0.0;
        std::memcpy(&value, data, sizeof value);
        char bits[32];
        std::snprintf(bits, sizeof bits, "bits %a", value);
        check_value_line(value, bits);
    }
    const std::string cuts = std::string(pilo::TOKEN_DELIMITERS) + '\0';
    std::size_t pos = 0;
    while ((pos = input.find_first_not_of(cuts, pos)) != std::string::npos) {
        const std::size_t end = std::min(input.find_first_of(cuts, pos), input.size());
        check_token(input.substr(pos, end - pos), std::string_view(input).substr(end));
        pos = end;
    }
    return 0;
}
