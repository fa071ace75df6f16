#include "engine/command_set.hpp"

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

int report_stack_empty() noexcept {
    std::puts(STACK_EMPTY_MESSAGE);
    return -1;
}

void print_stack(const operand_stack& stack) noexcept {
    for (std::int32_t i = stack.top; i >= 0; --i)
        print_value_line(stack.values[static_cast<std::size_t>(i)]);
}

int print_top(operand_stack& stack) noexcept {
    double value = 0.0;
    if (stack_pop(stack, value) < 0) return report_stack_empty();
    print_value_line(value);
    return stack_push(stack, value);
}

// Where each of "+ - * /" picks its result in apply_operator; other bytes
// map to 0 and are never looked up.
constexpr std::array<std::uint8_t, 256> ARITHMETIC_SLOTS = [] {
    std::array<std::uint8_t, 256> slots{};
    slots['-'] = 1;
    slots['*'] = 2;
    slots['/'] = 3;
    return slots;
}();

// a is the deeper operand, b the topmost one. The four arithmetic results
// are all computed and one is picked, because a branch on the operator
// mispredicts often and costs more than the three unused operations, which
// have no effect: IEEE arithmetic never traps here.
double apply_operator(char command, double a, double b) noexcept {
    if (command == '%') return std::fmod(a, b);
    if (command == '^') return std::pow(a, b);
    const std::array<double, 4> results = {a + b, a - b, a * b, a / b};
    return results[ARITHMETIC_SLOTS[static_cast<unsigned char>(command)]];
}

int apply_binary(operand_stack& stack, char command) noexcept {
    if (stack_depth(stack) <= 1) return report_stack_empty();
    double b = 0.0;
    double a = 0.0;
    (void)stack_pop(stack, b);
    (void)stack_pop(stack, a);
    return stack_push(stack, apply_operator(command, a, b));
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
