// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Run-time defaults for PILO_SANITIZE builds. The sanitizer run-times call these
// before main; settings in ASAN_OPTIONS and UBSAN_OPTIONS still override them.
// Setting them here rather than in the environment keeps them in force however
// the binary is started: by CTest, by a test script, or by hand.

extern "C" const char* __asan_default_options();
extern "C" const char* __ubsan_default_options();

extern "C" const char* __asan_default_options() {
    return "halt_on_error=1:detect_leaks=1";
}

extern "C" const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1";
}
