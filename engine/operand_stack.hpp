// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Operand stack: the fixed-capacity store of values every command works on.
// The operations are defined here so that the input loop's pushes inline.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pilo {

// Most values the stack holds. A push beyond it is refused and the value dropped.
inline constexpr std::int32_t STACK_CAPACITY = 1024;

// Last-in, first-out store of values. values[0] is the bottom and values[top]
// the topmost value; top is -1 when the stack is empty. Slots above top hold
// stale values and are never read, so only top needs initialising.
struct operand_stack {
    std::array<double, STACK_CAPACITY> values;
    std::int32_t top;
};

// Empties the stack. A stack must be cleared before its first use.
inline void stack_clear(operand_stack& stack) noexcept {
    stack.top = -1;
}

// Returns the number of values held, from 0 to STACK_CAPACITY.
[[nodiscard]] inline int stack_depth(const operand_stack& stack) noexcept {
    return stack.top + 1;
}

// Pushes value and returns 0; on a full stack returns -1 and drops value.
[[nodiscard]] inline int stack_push(operand_stack& stack, double value) noexcept {
    if (stack.top == STACK_CAPACITY - 1) return -1;
    ++stack.top;
    stack.values[static_cast<std::size_t>(stack.top)] = value;
    return 0;
}

// Pops the top value into out and returns 0; on an empty stack returns -1 and
// leaves out untouched.
[[nodiscard]] inline int stack_pop(operand_stack& stack, double& out) noexcept {
    if (stack.top < 0) return -1;
    out = stack.values[static_cast<std::size_t>(stack.top)];
    --stack.top;
    return 0;
}

} // namespace pilo
