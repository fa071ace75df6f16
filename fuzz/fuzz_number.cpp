// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// fuzz_number: any bytes, cut into tokens the way the input loop cuts them (at
// the delimiters and at zero bytes), go through the number checks: every
// reader against strtod, given the bytes that follow each token. The
// value-line writer is checked against snprintf("%f\n") for every value read,
// and for the first eight input bytes taken as a double.

#include "driver/input_loop.hpp"
#include "tests/number_checks.hpp"

#include <algorithm>
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

void check_value_line(double value, const std::string& source) {
    if (!pilo_checks::value_line_matches(value)) fail("value line differs from printf", source);
}

void check_token(const std::string& token, std::string_view following) {
    const pilo_checks::number_verdict verdict = pilo_checks::check_number(token, following);
    if (verdict.difference != nullptr) fail(verdict.difference, token);
    if (verdict.number) check_value_line(verdict.value, token);
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
