#include "driver/number_reader.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

struct accepted_case {
    const char* token;
    double value;
};

// Compares bit patterns, so that -0.0 differs from 0.0 and NaN signs count.
bool same_bits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(NumberReader, AcceptsStrtodForms) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    const accepted_case cases[] = {
        {"0", 0.0},
        {"-0", -0.0},
        {"+5", 5.0},
        {"-5", -5.0},
        {"2.5", 2.5},
        {".5", 0.5},
        {"5.", 5.0},
        {"1e2", 100.0},
        {"1E-2", 0.01},
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
        EXPECT_EQ(pilo::parse_number(c.token, out), 0) << "token: " << c.token;
        EXPECT_TRUE(same_bits(out, c.value)) << "token: " << c.token << " gave " << out;
    }
    for (const char* token : {"nan", "NAN", "-nan", "nan(123)"}) {
        double out = 0.5;
        EXPECT_EQ(pilo::parse_number(token, out), 0) << "token: " << token;
        EXPECT_TRUE(std::isnan(out)) << "token: " << token;
        EXPECT_EQ(std::signbit(out), token[0] == '-') << "token: " << token;
    }
}

TEST(NumberReader, AcceptsLongDigitStrings) {
    const std::string ones = "1" + std::string(299, '0');
    const std::string tiny = "0." + std::string(400, '0') + "1";
    for (const std::string& token : {ones, tiny, std::string(4000, '0') + "8"}) {
        double out = 0.5;
        ASSERT_EQ(pilo::parse_number(token.c_str(), out), 0) << "token: " << token;
        EXPECT_TRUE(same_bits(out, std::strtod(token.c_str(), nullptr))) << "token: " << token;
    }
}

TEST(NumberReader, RefusesPartialAndEmptyTokens) {
    for (const char* token : {"", "12abc", ".", "e5", "x", "P", "1e", "0x", "5\r", "1,5", "--1",
                              "+-1", "1..2", "infinit", "nan(", "0x1p"}) {
        double out = 0.5;
        EXPECT_EQ(pilo::parse_number(token, out), -1) << "token: '" << token << "'";
        EXPECT_EQ(out, 0.5) << "token: '" << token << "'";
    }
    double out = 0.5;
    EXPECT_EQ(pilo::parse_number(nullptr, out), -1);
    EXPECT_EQ(out, 0.5);
}

} // namespace
