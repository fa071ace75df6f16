#include "engine/command_set.hpp"

#include "engine/compiler.hpp"
#include "engine/value_line.hpp"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace pilo {

namespace {

// Whether each byte value is a command character, so that telling commands
// from numbers costs one look-up.
constexpr std::array<bool, 256> COMMAND_BYTES = [] {
    std::array<bool, 256> commands{};
    for (const char* command = "+-*/%^pfc"; *command != '\0'; ++command)
        commands[static_cast<unsigned char>(*command)] = true;
    return commands;
}();

constexpr const char* STACK_EMPTY_MESSAGE = "pilo: stack empty";

// The commands other than arithmetic are kept out of line, so that the
// arithmetic path, by far the most common, saves no registers for them.
PILO_NOINLINE int report_stack_empty() noexcept {
    std::puts(STACK_EMPTY_MESSAGE);
    return -1;
}

PILO_NOINLINE void print_stack(const operand_stack& stack) noexcept {
    for (std::int32_t i = stack.top; i >= 0; --i)
        print_value_line(stack.values[static_cast<std::size_t>(i)]);
}

PILO_NOINLINE int print_top(const operand_stack& stack) noexcept {
    if (stack_depth(stack) == 0) return report_stack_empty();
    print_value_line(stack.values[static_cast<std::size_t>(stack.top)]);
    return 0;
}

// Where each of "+ - * /" picks its result in apply_arithmetic; other bytes
// map to 0 and are never looked up.
constexpr std::array<std::uint8_t, 256> ARITHMETIC_SLOTS = [] {
    std::array<std::uint8_t, 256> slots{};
    slots['-'] = 1;
    slots['*'] = 2;
    slots['/'] = 3;
    return slots;
}();

// The binary commands replace the two topmost values, a the deeper and b the
// topmost, with their result. The stack shrinks by one, so the result always
// has room. Both need two values, which the caller has checked.

// "%" and "^", which call the maths library.
PILO_NOINLINE int apply_function(operand_stack& stack, char command) noexcept {
    const auto top = static_cast<std::size_t>(stack.top);
    const double a = stack.values[top - 1];
    const double b = stack.values[top];
    stack.values[top - 1] = command == '%' ? std::fmod(a, b) : std::pow(a, b);
    --stack.top;
    return 0;
}

// "+ - * /": the four results are all computed and one is picked, because a
// branch on the operator mispredicts often and costs more than the three
// unused operations, which have no effect: IEEE arithmetic never traps here.
int apply_arithmetic(operand_stack& stack, char command) noexcept {
    const auto top = static_cast<std::size_t>(stack.top);
    const double a = stack.values[top - 1];
    const double b = stack.values[top];
    const std::array<double, 4> results = {a + b, a - b, a * b, a / b};
    stack.values[top - 1] = results[ARITHMETIC_SLOTS[static_cast<unsigned char>(command)]];
    --stack.top;
    return 0;
}

int apply_binary(operand_stack& stack, char command) noexcept {
    if (stack_depth(stack) <= 1) return report_stack_empty();
    if (command == '%' || command == '^') return apply_function(stack, command);
    return apply_arithmetic(stack, command);
}

} // namespace

int parse_command(const char* token, char& command) noexcept {
    if (token == nullptr || token[0] == '\0' || token[1] != '\0') return -1;
    if (!COMMAND_BYTES[static_cast<unsigned char>(token[0])]) return -1;
    command = token[0];
    return 0;
}

int execute_command(operand_stack& stack, char command) noexcept {
    if (command == 'f') {
        print_stack(stack);
        return 0;
    }
    if (command == 'p') return print_top(stack);
    if (command == 'c') {
        stack_clear(stack);
        return 0;
    }
    return apply_binary(stack, command);
}

} // namespace pilo
