// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "engine/command_set.hpp"
#include "tests/number_checks.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

// Runs the whitespace-separated tokens on a fresh stack, pushing the ones that
// are not commands as the C library reads them, and returns what was printed.
// A command must return -1 when it writes the message, and 0 otherwise.
std::string run_tokens(const std::string& tokens) {
    pilo::operand_stack stack;
    pilo::stack_clear(stack);
    std::istringstream in(tokens);
    std::string token;
    std::size_t failures = 0;
    pilo::output_buffer out;
    while (in >> token) {
        char command = 0;
        if (pilo::parse_command(token.c_str(), command) == 0) {
            const int status = pilo::execute_command(stack, out, command);
            EXPECT_TRUE(status == 0 || status == -1)
                << "input: " << tokens << ", status " << status;
            failures += status == -1 ? 1 : 0;
        } else {
            (void)pilo::stack_push(stack, std::strtod(token.c_str(), nullptr));
        }
    }
    const std::string output(out.bytes.data(), out.length);
    std::size_t messages = 0;
    for (auto at = output.find("pilo: stack empty"); at != std::string::npos;
         at = output.find("pilo: stack empty", at + 1))
        ++messages;
    EXPECT_EQ(failures, messages) << "input: " << tokens;
    return output;
}

struct command_case {
    const char* tokens;
    std::string output;
};

TEST(CommandSet, WholeInputsPrintExactLines) {
    // Computed at run time, as pilo computes them: a compiler folding 0 / 0
    // may pick another NaN sign than the processor does.
    volatile double zero = 0.0;
    volatile double half = 0.5;
    const std::string empty = "pilo: stack empty\n";
    const command_case cases[] = {
        {"5 p", "5.000000\n"},
        {"5 3 - p", "2.000000\n"}, // A is the deeper value: A - B
        {"3 5 - p", "-2.000000\n"},
        {"10 4 / p", "2.500000\n"},
        {"2 10 ^ p", "1024.000000\n"},
        {"7 2 % p", "1.000000\n"},
        {"-7 2 % p", "-1.000000\n"}, // fmod keeps the sign of A
        {"7 -2 % p", "1.000000\n"},
        {"2.5 4 * p", "10.000000\n"},
        {"1 2 3 f", "3.000000\n2.000000\n1.000000\n"},
        {"1 2 3 + p f", "5.000000\n5.000000\n1.000000\n"},
        {"p", empty},
        {"4 + p", empty + "4.000000\n"}, // a lone operand stays
        {"1 2 c p", empty},
        {"c c f", ""},
        {"f", ""},
        {"9 p p", "9.000000\n9.000000\n"},
        {"0.1234567 p", "0.123457\n"},
        {"0 -1 * p", "-0.000000\n"},
        {"1e22 p", "10000000000000000000000.000000\n"}, // no exponent, ever
        {"1 0 / p", pilo_checks::printf_line(INFINITY)},
        {"-1 0 / p", pilo_checks::printf_line(-INFINITY)},
        {"0 0 / p", pilo_checks::printf_line(zero / zero)},
        {"5 0 % p", pilo_checks::printf_line(std::fmod(5.0, zero))},
        {"-8 0.5 ^ p", pilo_checks::printf_line(std::pow(-8.0, half))},
    };
    for (const auto& c : cases) EXPECT_EQ(run_tokens(c.tokens), c.output) << "input: " << c.tokens;
}

TEST(CommandSet, ParseAcceptsExactlyTheNineCharacters) {
    for (const char* token : {"+", "-", "*", "/", "%", "^", "p", "f", "c"}) {
        char command = 0;
        EXPECT_EQ(pilo::parse_command(token, command), 0) << "token: " << token;
        EXPECT_EQ(command, token[0]) << "token: " << token;
    }
    for (const char* token : {"", "P", "F", "C", "pp", "+5", "p2", "x", "=", " "}) {
        char command = 'k';
        EXPECT_EQ(pilo::parse_command(token, command), -1) << "token: '" << token << "'";
        EXPECT_EQ(command, 'k') << "token: '" << token << "'";
    }
    char command = 'k';
    EXPECT_EQ(pilo::parse_command(nullptr, command), -1);
}

TEST(CommandSet, TooFewValuesFailsAndKeepsStack) {
    pilo::operand_stack stack;
    pilo::stack_clear(stack);
    pilo::output_buffer out;
    EXPECT_EQ(pilo::execute_command(stack, out, 'p'), -1);
    ASSERT_EQ(pilo::stack_push(stack, 4.0), 0);
    for (char op : {'+', '-', '*', '/', '%', '^'})
        EXPECT_EQ(pilo::execute_command(stack, out, op), -1) << "command: " << op;
    // A character that is no command neither computes nor reports.
    ASSERT_EQ(pilo::stack_push(stack, 8.0), 0);
    for (char other : {'x', 'P', '\0', '='})
        EXPECT_EQ(pilo::execute_command(stack, out, other), -1) << "character: " << int{other};
    EXPECT_EQ(pilo::execute_command(stack, out, 'f'), 0);
    std::string want;
    for (int i = 0; i < 7; ++i) want += "pilo: stack empty\n";
    EXPECT_EQ(std::string(out.bytes.data(), out.length), want + "8.000000\n4.000000\n");
    EXPECT_EQ(pilo::stack_depth(stack), 2);
}

} // namespace
