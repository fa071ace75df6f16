// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "driver/input_loop.hpp"

#include "base/compiler.hpp"
#include "driver/number_reader.hpp"
#include "engine/command_set.hpp"
#include "engine/operand_stack.hpp"
#include "engine/output_buffer.hpp"

#include <cstddef>

namespace pilo {

namespace {

// Stores the command in command and returns true when token, length bytes
// with room for one more, is a command. Commands, all one byte long, are
// tried before numbers, so "+" and "-" never read as numbers.
PILO_ALWAYS_INLINE bool is_command(char* token, std::size_t length, char& command) noexcept {
    if (length != 1) return false;
    token[1] = '\0';
    return parse_command(token, command) == 0;
}

// Tokens are judged on two paths: evaluate_in_place reads a text's own tokens
// with parse_padded_decimal inlined into the scan, and the functions below
// take a held token, or one declined by the padded reader, out of line. One
// path for both costs 8.6% more instructions on the mixed workload and 10.9%
// on the short one (callgrind): with two callers the compiler no longer
// inlines the padded reader into the loop.

// Evaluates token, length bytes with room for one more: a command, a number,
// or nothing. A number that meets a full stack is dropped silently.
PILO_NOINLINE void evaluate_token(operand_stack& stack, output_buffer& out, char* token,
                                  std::size_t length) noexcept {
    token[length] = '\0';
    char command = 0;
    double value = 0.0;
    if (is_command(token, length, command))
        (void)execute_command(stack, out, command);
    else if (parse_number(token, length, value) == 0)
        (void)stack_push(stack, value);
}

// Evaluates token, length bytes with room for one more, which is no command
// and which parse_padded_decimal has declined, as evaluate_token would: it is
// a number or nothing.
PILO_NOINLINE void evaluate_declined_number(operand_stack& stack, char* token,
                                            std::size_t length) noexcept {
    if (length > TOKEN_CAPACITY) return; // ignored whole, as if held across texts
    token[length] = '\0';
    double value = 0.0;
    if (parse_declined_number(token, length, value) == 0) (void)stack_push(stack, value);
}

// Evaluates a token read in place, followed by a stop byte and the padding.
// Short decimals, the most common numbers, are read here. For tokens of two
// bytes or more that comes before any zero byte goes in after the token:
// writing a byte just before an eight-byte load that covers it would stall
// the load.
PILO_ALWAYS_INLINE void evaluate_in_place(operand_stack& stack, output_buffer& out, char* token,
                                          std::size_t length) noexcept {
    char command = 0;
    if (is_command(token, length, command)) {
        (void)execute_command(stack, out, command);
        return;
    }
    double value = 0.0;
    if (parse_padded_decimal(token, length, value) == 0)
        (void)stack_push(stack, value);
    else
        evaluate_declined_number(stack, token, length);
}

} // namespace

int run_stream(std::FILE* stream) noexcept {
    operand_stack stack;
    stack_clear(stack);
    output_buffer out;
    pending_token pending;
    scan_buffer<TEXT_CAPACITY> text;
    piece_reader reader = start_reading(stream);
    const auto evaluate = [&](char* token, std::size_t length) {
        evaluate_in_place(stack, out, token, length);
    };
    const auto evaluate_held = [&](char* token, std::size_t length) {
        evaluate_token(stack, out, token, length);
    };
    std::size_t end = 0;
    bool continues = false;
    int status = 0;
    while ((status = read_pieces(reader, text.bytes.data(), end, continues)) > 0) {
        find_text_stops(text.bytes.data(), end, text.stops.data());
        scan_tokens(pending, text.bytes.data(), text.stops.data(), end, continues, evaluate,
                    evaluate_held);
        // Written before the next read, which may wait. Once a write has
        // failed nothing written later can be seen, and endless input would
        // never end the run.
        if (output_flush(out) != 0) return -1;
    }
    if (status == 0) finish_held(pending, evaluate_held);
    return output_flush(out) != 0 ? -1 : status;
}

} // namespace pilo
