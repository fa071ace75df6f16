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

// Evaluates token, length bytes followed by a stop byte, which may be
// overwritten, and NUMBER_PADDING readable bytes: a command, a number, or
// nothing. Commands, all one byte long, are tried before numbers, so "+" and
// "-" never read as numbers. A number that meets a full stack is dropped
// silently. Inlined into the scan, so that short numbers cost no call.
PILO_ALWAYS_INLINE void evaluate_token(operand_stack& stack, output_buffer& out, char* token,
                                       std::size_t length) noexcept {
    char command = 0;
    if (length == 1) {
        token[1] = '\0';
        if (parse_command(token, command) == 0) {
            (void)execute_command(stack, out, command);
            return;
        }
    }
    double value = 0.0;
    if (parse_number(token, length, value) == 0) (void)stack_push(stack, value);
}

} // namespace

PILO_FLATTEN int run_stream(std::FILE* stream) noexcept {
    operand_stack stack;
    stack_clear(stack);
    output_buffer out;
    pending_token pending;
    scan_buffer<TEXT_CAPACITY> text;
    piece_reader reader = start_reading(stream);
    const auto evaluate = [&](char* token, std::size_t length) {
        evaluate_token(stack, out, token, length);
    };
    std::size_t end = 0;
    bool continues = false;
    int status = 0;
    while ((status = read_pieces(reader, text.bytes.data(), end, continues)) > 0) {
        find_text_stops(text.bytes.data(), end, text.stops.data());
        scan_tokens(pending, text.bytes.data(), text.stops.data(), end, continues, evaluate);
        // Written before the next read, which may wait. Once a write has
        // failed nothing written later can be seen, and endless input would
        // never end the run.
        if (output_flush(out) != 0) return -1;
    }
    if (status == 0) finish_held(pending, evaluate);
    return output_flush(out) != 0 ? -1 : status;
}

} // namespace pilo
