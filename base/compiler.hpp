// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Compiler hints. Each is a GNU attribute, which g++ and clang take; a
// compiler that does not know it, as __has_cpp_attribute tells, gets an
// empty definition instead, so every build means the same and only the speed
// can differ.
#pragma once

#if defined(__has_cpp_attribute)
#if __has_cpp_attribute(gnu::always_inline)
// Inlines a small function on a hot path even where the compiler's own
// estimate would not.
#define PILO_ALWAYS_INLINE [[gnu::always_inline]] inline
#endif
#if __has_cpp_attribute(gnu::no_stack_protector)
// Spares a hot function the stack protector's guard, for a function whose
// arrays are written only at fixed places, where the guard protects nothing.
#define PILO_NO_STACK_PROTECTOR [[gnu::no_stack_protector]]
#endif
#if __has_cpp_attribute(gnu::flatten)
// Inlines every call a hot function makes, and every call those make, but
// those to functions kept out of line: for a loop whose callees live in other
// files, which only link-time optimisation can inline.
#define PILO_FLATTEN [[gnu::flatten]]
#endif
#if __has_cpp_attribute(gnu::noinline)
// Keeps a rarely taken function out of a hot loop, so that the loop does not
// save registers for it on every pass.
#define PILO_NOINLINE [[gnu::noinline]]
#endif
#endif

#ifndef PILO_ALWAYS_INLINE
#define PILO_ALWAYS_INLINE inline
#endif
#ifndef PILO_NO_STACK_PROTECTOR
#define PILO_NO_STACK_PROTECTOR
#endif
#ifndef PILO_FLATTEN
#define PILO_FLATTEN
#endif
#ifndef PILO_NOINLINE
#define PILO_NOINLINE
#endif
