// Operand stack: the fixed-capacity store of values every command works on.
#pragma once

#include <array>
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
void stack_clear(operand_stack& stack) noexcept;

// Returns the number of values held, from 0 to STACK_CAPACITY.
[[nodiscard]] int stack_depth(const operand_stack& stack) noexcept;

// Pushes value and returns 0; on a full stack returns -1 and drops value.
[[nodiscard]] int stack_push(operand_stack& stack, double value) noexcept;

// Pops the top value into out and returns 0; on an empty stack returns -1 and
// leaves out untouched.
[[nodiscard]] int stack_pop(operand_stack& stack, double& out) noexcept;

} // namespace pilo
