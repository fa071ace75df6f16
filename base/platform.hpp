// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Platform: every fast path pilo builds from what the compiler, the processor
// and the C and C++ libraries offer. A port to another platform starts here. The
// headers a fast path needs are included where it is used, not here.
//
// Each PILO_USE_ switch is 1 when its fast path is built and 0 when the plain
// form beside it is. Both forms give the same answers, bit for bit and byte
// for byte. PILO_PLAIN_PATHS sets every switch to 0, so that any platform can
// test the plain forms.
#pragma once

#include <cfloat>

// Stop bytes found 16 at a time: SSE2, part of every x86-64 processor, finds
// a block's delimiters in a few vector compares. Plain form: byte words,
// eight bytes to a few integer operations.
#if defined(__SSE2__) && !defined(PILO_PLAIN_PATHS)
#define PILO_USE_SSE2 1
#else
#define PILO_USE_SSE2 0
#endif

// Short decimals read as d * 10^e in one multiplication or division of exact
// doubles. That is correctly rounded in the default rounding mode, round to
// nearest, which pilo never changes, and only where double operations round
// to double: FLT_EVAL_METHOD 0, or 1, which widens only float. Under x87
// maths (2) the result is rounded to 64 bits and again to 53 on the store,
// which can land one bit away from strtod. Plain form: the short readers take
// only values that need no rounding, d * 10^0, and the rest go on to strtod.
#if (FLT_EVAL_METHOD == 0 || FLT_EVAL_METHOD == 1) && !defined(PILO_PLAIN_PATHS)
#define PILO_USE_SCALED_DECIMALS 1
#else
#define PILO_USE_SCALED_DECIMALS 0
#endif

// Other decimals read by fast_float's from_chars, header-only, exactly and
// several times faster than strtod: the algorithm that libstdc++ 12's
// std::from_chars uses, without the C++ run-time that one needs. It takes
// the same rounding shortcut as the scaled decimals, so it needs the same
// rounding: fast_float's own test of FLT_EVAL_METHOD is left as a second
// guard. Debian: libfast-float-dev. Plain form: strtod.
#if defined(__has_include) && PILO_USE_SCALED_DECIMALS
#if __has_include(<fast_float/fast_float.h>)
#define PILO_USE_FAST_FLOAT 1
#endif
#endif
#ifndef PILO_USE_FAST_FLOAT
#define PILO_USE_FAST_FLOAT 0
#endif

// Input read straight from its descriptor with POSIX read(2), and output
// written to standard output's with write(2), sparing stdio's copies and
// locking. The reader cuts what each read brings into the pieces fgets would
// make (driver/piece_reader.hpp). Plain form, and for input a stream without
// a descriptor: fgets, and fwrite with fflush.
#if defined(__has_include) && !defined(PILO_PLAIN_PATHS)
#if __has_include(<unistd.h>)
#define PILO_USE_DESCRIPTORS 1
#endif
#endif
#ifndef PILO_USE_DESCRIPTORS
#define PILO_USE_DESCRIPTORS 0
#endif
