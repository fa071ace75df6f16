// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "engine/operand_stack.hpp"

#include <gtest/gtest.h>

namespace {

using pilo::operand_stack;

// Fills a cleared stack with 1, 2, ... STACK_CAPACITY.
void fill(operand_stack& stack) {
    pilo::stack_clear(stack);
    for (int i = 1; i <= pilo::STACK_CAPACITY; ++i) ASSERT_EQ(pilo::stack_push(stack, i), 0) << i;
}

TEST(OperandStack, EmptyPopFailsAndLeavesOutput) {
    operand_stack stack;
    pilo::stack_clear(stack);
    EXPECT_EQ(pilo::stack_depth(stack), 0);
    double out = 42.0;
    EXPECT_EQ(pilo::stack_pop(stack, out), -1);
    EXPECT_EQ(out, 42.0);
    EXPECT_EQ(pilo::stack_depth(stack), 0);
}

TEST(OperandStack, ValuesComeBackInReverseOrder) {
    operand_stack stack;
    pilo::stack_clear(stack);
    for (double v : {1.0, 2.0, 3.0}) ASSERT_EQ(pilo::stack_push(stack, v), 0);
    for (double want : {3.0, 2.0, 1.0}) {
        double out = 0.0;
        ASSERT_EQ(pilo::stack_pop(stack, out), 0);
        EXPECT_EQ(out, want);
    }
    EXPECT_EQ(pilo::stack_depth(stack), 0);
}

TEST(OperandStack, FullStackRefusesAndKeepsTop) {
    operand_stack stack;
    fill(stack);
    EXPECT_EQ(pilo::stack_depth(stack), pilo::STACK_CAPACITY);
    EXPECT_EQ(pilo::stack_push(stack, -1.0), -1);
    EXPECT_EQ(pilo::stack_depth(stack), pilo::STACK_CAPACITY);
    double out = 0.0;
    ASSERT_EQ(pilo::stack_pop(stack, out), 0);
    EXPECT_EQ(out, pilo::STACK_CAPACITY);
    EXPECT_EQ(pilo::stack_push(stack, 7.0), 0) << "a pop from a full stack makes room for one";
    EXPECT_EQ(pilo::stack_push(stack, 8.0), -1);
}

TEST(OperandStack, ClearingFullStackEmptiesIt) {
    operand_stack stack;
    fill(stack);
    pilo::stack_clear(stack);
    double out = 5.0;
    EXPECT_EQ(pilo::stack_pop(stack, out), -1);
    EXPECT_EQ(out, 5.0);
}

} // namespace
