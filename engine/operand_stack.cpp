#include "engine/operand_stack.hpp"

#include <cstddef>

namespace pilo {

namespace {

std::size_t slot(std::int32_t index) noexcept {
    return static_cast<std::size_t>(index);
}

} // namespace

void stack_clear(operand_stack& stack) noexcept {
    stack.top = -1;
}

int stack_depth(const operand_stack& stack) noexcept {
    return stack.top + 1;
}

int stack_push(operand_stack& stack, double value) noexcept {
    if (stack.top == STACK_CAPACITY - 1) return -1;
    ++stack.top;
    stack.values[slot(stack.top)] = value;
    return 0;
}

int stack_pop(operand_stack& stack, double& out) noexcept {
    if (stack.top < 0) return -1;
    out = stack.values[slot(stack.top)];
    --stack.top;
    return 0;
}

} // namespace pilo
