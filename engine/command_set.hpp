// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Command set: which tokens are commands, and carrying them out on the stack.
// Every output pilo makes comes from here, into the output buffer: the
// message directly, and value lines through the value-line writer.
#pragma once

#include "engine/operand_stack.hpp"
#include "engine/output_buffer.hpp"

namespace pilo {

// Stores the command character in command and returns 0 when token is exactly
// one of "+ - * / % ^ p f c"; returns -1 for a null, empty, longer or other
// token, and leaves command untouched.
[[nodiscard]] int parse_command(const char* token, char& command) noexcept;

// Carries out command, a character that parse_command accepts, on stack,
// appending what it prints to out. Value lines are written as "%f\n".
// Returns -1 after writing "pilo: stack empty" when the stack held too few
// values, leaving it as it was; else returns 0. Any other character changes
// nothing and returns -1.
[[nodiscard]] int execute_command(operand_stack& stack, output_buffer& out, char command) noexcept;

} // namespace pilo
