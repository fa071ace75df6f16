// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "engine/command_set.hpp"

#include "base/compiler.hpp"
#include "engine/value_line.hpp"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pilo {

namespace {

// What each byte is as a command, so that telling commands from numbers
// costs one look-up: a binary command, by the operation it carries out, one
// of "p f c", or no command. The four arithmetic operations come first, in
// the order apply_arithmetic computes them.
enum binary_operation : std::uint8_t {
    ADD,
    SUBTRACT,
    MULTIPLY,
    DIVIDE,
    REMAINDER,
    POWER,
    NOT_BINARY,
    NOT_COMMAND
};

constexpr std::array<binary_operation, 256> COMMAND_OPERATIONS = [] {
    std::array<binary_operation, 256> operations{};
    operations.fill(NOT_COMMAND);
    operations['+'] = ADD;
    operations['-'] = SUBTRACT;
    operations['*'] = MULTIPLY;
    operations['/'] = DIVIDE;
    operations['%'] = REMAINDER;
    operations['^'] = POWER;
    operations['p'] = operations['f'] = operations['c'] = NOT_BINARY;
    return operations;
}();

constexpr std::string_view STACK_EMPTY_MESSAGE = "pilo: stack empty\n";

// The commands other than arithmetic are kept out of line, so that the
// arithmetic path, by far the most common, saves no registers for them.
PILO_NOINLINE int report_stack_empty(output_buffer& out) noexcept {
    output_text(out, STACK_EMPTY_MESSAGE);
    return -1;
}

PILO_NOINLINE void print_stack(const operand_stack& stack, output_buffer& out) noexcept {
    for (std::int32_t i = stack.top; i >= 0; --i)
        put_value_line(out, stack.values[static_cast<std::size_t>(i)]);
}

// Prints the top value where it lies, which is what taking it off and putting
// it back comes to, without the second check: "p" is among the most common
// commands.
PILO_NOINLINE int print_top(const operand_stack& stack, output_buffer& out) noexcept {
    if (stack_depth(stack) == 0) return report_stack_empty(out);
    put_value_line(out, stack.values[static_cast<std::size_t>(stack.top)]);
    return 0;
}

// The binary commands replace the two topmost values, a the deeper and b the
// topmost, with their result, which always has room once both are off. Both
// need two values, which the caller has checked.

// REMAINDER pushes fmod(a, b) and POWER pow(a, b): the two operations that
// call the maths library, whose cost dwarfs the stack's own operations.
PILO_NOINLINE int apply_function(operand_stack& stack, binary_operation operation) noexcept {
    double a = 0.0;
    double b = 0.0;
    (void)stack_pop(stack, b);
    (void)stack_pop(stack, a);
    return stack_push(stack, operation == REMAINDER ? std::fmod(a, b) : std::pow(a, b));
}

// ADD to DIVIDE: the four results are all computed and one is picked, because
// a branch on the operator mispredicts often and costs more than the three
// unused operations, which have no effect: IEEE arithmetic never traps here.
// The slots are indexed directly: this is the most common command of all,
// and the stack's operations, with their checks, cost it several percent.
int apply_arithmetic(operand_stack& stack, binary_operation operation) noexcept {
    const auto top = static_cast<std::size_t>(stack.top);
    const double a = stack.values[top - 1];
    const double b = stack.values[top];
    // Indexed by operation, so in the order of the enumeration.
    static_assert(ADD == 0 && SUBTRACT == 1 && MULTIPLY == 2 && DIVIDE == 3);
    const std::array<double, DIVIDE + 1> results = {a + b, a - b, a * b, a / b};
    stack.values[top - 1] = results[static_cast<std::size_t>(operation)];
    --stack.top;
    return 0;
}

} // namespace

int parse_command(const char* token, char& command) noexcept {
    if (token == nullptr || token[0] == '\0' || token[1] != '\0') return -1;
    if (COMMAND_OPERATIONS[static_cast<unsigned char>(token[0])] == NOT_COMMAND) return -1;
    command = token[0];
    return 0;
}

// The arithmetic's array of results, inlined here, is written only at fixed
// places, so the stack protector's guard would cost every command and
// protect nothing.
PILO_NO_STACK_PROTECTOR int execute_command(operand_stack& stack, output_buffer& out,
                                            char command) noexcept {
    if (command == 'f') {
        print_stack(stack, out);
        return 0;
    }
    if (command == 'p') return print_top(stack, out);
    if (command == 'c') {
        stack_clear(stack);
        return 0;
    }
    const binary_operation operation = COMMAND_OPERATIONS[static_cast<unsigned char>(command)];
    if (operation >= NOT_BINARY) return -1;
    if (stack_depth(stack) <= 1) return report_stack_empty(out);
    if (operation == REMAINDER || operation == POWER) return apply_function(stack, operation);
    return apply_arithmetic(stack, operation);
}

} // namespace pilo
