// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "driver/number_reader.hpp"
#include "tests/number_checks.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

struct accepted_case {
    const char* token;
    double value;
};

using pilo_checks::same_bits;

std::string print(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A value as failure messages show it: in hexadecimal, every bit visible.
std::string hex(double value) {
    return print("%a", value);
}

// parse_number on token as the input loop hands it over: followed by a
// delimiter, then padding.
int parse(const std::string& token, double& out) {
    std::string padded = token + std::string(1 + pilo::NUMBER_PADDING, ' ');
    return pilo::parse_number(padded.data(), token.size(), out);
}

TEST(NumberReader, AcceptsStrtodForms) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    const accepted_case cases[] = {
        {"0", 0.0},
        {"-0", -0.0},
        {"+5", 5.0}, // a plus sign, which from_chars refuses
        {"-5", -5.0},
        {"2.5", 2.5},
        {".5", 0.5},
        {"5.", 5.0},
        {"1e2", 100.0},
        {"1E-2", 0.01},
        {"-1234.5678", -1234.5678},                 // a sign and eight digits: one word
        {"123456789", 123456789.0},                 // nine digits: two words
        {"12345678.5", 12345678.5},                 // the point in the second word
        {"1e22", 1e22},                             // the largest exact power of ten
        {"1e0022", 1e22},                           // the longest exponent taken
        {"9007199254740992", 0x1p53},               // the largest exact significand
        {"18446744073709551616", 0x1p64},           // 20 digits: 2^64 wraps to 0 in a word
        {"0.5488135039273248", 0.5488135039273248}, // 16 digits after "0."
        {"0x10", 16.0},
        {"0X1.8p1", 3.0},
        {"inf", inf},
        {"-Infinity", -inf},
        {"1e400", inf}, // overflow arrives as infinity
        {"-1e400", -inf},
        {"1e-400", 0.0},         // underflow below the subnormals arrives as zero
        {"4.9e-324", 0x1p-1074}, // the least subnormal
        {"\v7", 7.0},            // strtod skips white space other than the delimiters
        {"0.1", 0.1},
        {"9007199254740993", 9007199254740992.0}, // halfway, to even
    };
    for (const auto& c : cases) {
        double out = 0.5;
        EXPECT_EQ(parse(c.token, out), 0) << "token: " << c.token;
        EXPECT_TRUE(same_bits(out, c.value)) << "token: " << c.token << " gave " << hex(out);
    }
    for (const char* token : {"nan", "NAN", "-nan", "nan(123)"}) {
        double out = 0.5;
        EXPECT_EQ(parse(token, out), 0) << "token: " << token;
        EXPECT_TRUE(std::isnan(out)) << "token: " << token;
        EXPECT_EQ(std::signbit(out), token[0] == '-') << "token: " << token;
    }
}

TEST(NumberReader, RefusesEmptyTokens) {
    double out = 0.5;
    EXPECT_EQ(parse("", out), -1) << "strtod reads \"\" as 0";
    EXPECT_EQ(out, 0.5);
}

// Runs the number checks on token, followed by a delimiter and then a number
// that must not be read with it. Returns false, after reporting token, when
// a reader differs from strtod.
bool agrees_with_strtod(const std::string& token) {
    const auto verdict =
        pilo_checks::check_number(token, " 9.9e9" + std::string(pilo::NUMBER_PADDING, '7'));
    EXPECT_EQ(verdict.difference, nullptr)
        << "token: '" << token << "': " << verdict.difference << "; strtod reads "
        << (verdict.number ? hex(verdict.value) : "no number");
    return verdict.difference == nullptr;
}

// The exact decimal expansion of the midpoint between value and the next
// double up: strtod must round it to even, and the strings just above and
// below it to the nearer neighbour. Long double holds the midpoint exactly.
std::vector<std::string> halfway_strings(double value) {
    const long double midpoint =
        (static_cast<long double>(value) + std::nextafter(value, INFINITY)) / 2;
    std::vector<char> text(1100);
    std::snprintf(text.data(), text.size(), "%.767Le", midpoint);
    std::string exact = text.data();
    const auto e = exact.find('e');
    std::string mantissa = exact.substr(0, e);
    while (mantissa.back() == '0') mantissa.pop_back();
    const std::string exponent = exact.substr(e);
    std::string below = mantissa;
    below.back() = static_cast<char>(below.back() - 1); // the last kept digit is never 0
    return {mantissa + exponent, mantissa + "0000000001" + exponent, below + "9999999" + exponent};
}

TEST(NumberReader, MatchesStrtodBitForBit) {
    std::mt19937_64 random(2026);
    std::size_t failures = 0;
    auto check = [&](const std::string& token) {
        if (!agrees_with_strtod(token)) ++failures;
        return failures < 10;
    };
    // Random bit patterns, subnormals and specials among them, written
    // shortest-exact, in hexadecimal, signed and as fixed decimals.
    for (int i = 0; i < 200000 && failures < 10; ++i) {
        const double value = std::bit_cast<double>(random());
        const double subnormal = std::bit_cast<double>(random() >> 12);
        for (const char* format : {"%.17g", "%a", "%+.17g", "%.15g", "%.6f", "%.3e", "%g"})
            check(print(format, value)) && check(print(format, subnormal));
        check(std::to_string(random() % 100000000));
    }
    // Halfway cases, long digit strings to 1000 characters, and near the
    // ends of the range.
    for (int i = 0; i < 3000 && failures < 10; ++i) {
        for (const auto& token : halfway_strings(std::bit_cast<double>(random() >> 1)))
            check(token);
        std::string digits(1 + static_cast<std::size_t>(random() % 1000), '0');
        for (char& digit : digits) digit = static_cast<char>('0' + random() % 10);
        digits[static_cast<std::size_t>(random() % digits.size())] = '.';
        check(digits) && check(digits + "e-" + std::to_string(random() % 400)) &&
            check("-" + digits + "e" + std::to_string(random() % 400));
    }
    // Every digit count to 20, across the word readers' 8-digit groups and
    // past 2^53 and 2^64, with the point at every place or none, each signed
    // and not.
    for (int i = 0; i < 1500 && failures < 10; ++i) {
        std::string digits(1 + static_cast<std::size_t>(i % 20), '0');
        for (char& digit : digits) digit = static_cast<char>('0' + random() % 10);
        for (std::size_t point = 0; point <= digits.size() + 1; ++point) {
            std::string token = digits;
            if (point <= digits.size()) token.insert(point, ".");
            check(token) && check("-" + token);
        }
    }
    // '/' and ':', the bytes just below '0' and just above '9', at every
    // place of every digit string the short readers take, to 17 bytes: a
    // digit test one byte too wide would read either as a digit.
    for (std::size_t size = 1; size <= 17; ++size)
        for (std::size_t place = 0; place < size; ++place)
            for (const char neighbour : {'/', ':'}) {
                std::string token = std::string("98765432109876543").substr(0, size);
                token[place] = neighbour;
                check(token) && check(token + ".5") && check("-" + token);
            }
    for (const char* token : {"1.7976931348623157e308",
                              "1.7976931348623158e308",
                              "1.7976931348623159e308",
                              "1e309",
                              "-1e309",
                              "2.2250738585072011e-308",
                              "2.2250738585072014e-308",
                              "4.9406564584124654e-324",
                              "2.4703282292062327e-324",
                              "2.4703282292062328e-324",
                              "1e-400",
                              "-1e-400",
                              "0e999999",
                              "1e-999999999999",
                              "123456789012345678901234567890",
                              "9007199254740993",
                              "0.1e-22",
                              "3.2517e-10", // rounded twice by x87 maths, each one bit off
                              "-27.197241",
                              "-2.17763e+26",
                              "1e22",
                              "1e23",
                              "-0.0",
                              "+0",
                              "+.5",
                              "-.5e+1",
                              "00000.5",
                              "5e",
                              "5e+",
                              "1e5x", // bytes after an exponent's digits
                              "-2.5E-3.0",
                              "1.2.3",
                              "--1",
                              "+-1",
                              " 1",
                              "\f1",
                              "1 ",
                              "0x",
                              "0x1p-1074",
                              "0x1P+1024",
                              "-0X.8",
                              "0xg"})
        check(token);
    for (const char* spelling :
         {"inf", "INF", "Inf", "infinity", "INFINITY", "infinit", "infx", "nan", "NaN", "nan(123)",
          "nan(abc_1)", "nan()", "nan(", "nanx", "nan(1"})
        for (const char* sign : {"", "+", "-"}) check(std::string(sign) + spelling);
    EXPECT_EQ(failures, 0u);
}

} // namespace
