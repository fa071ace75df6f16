#!/bin/sh
# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Fails unless pilo needs only the C library at run time and holds no copy of
# the C++ run-time: check_runtime.sh READELF NM PILO. Its shared libraries
# may be libc, libm and the dynamic loader alone, and it may define none of
# the run-time's own functions: no unwinder, personality routine, demangler,
# exception helper, or the library's compiled std:: code such as to_chars
# and from_chars. Inline std:: templates that an unoptimised build keeps out
# of line are pilo's own code.
set -u
needed=$("$1" -d "$3") || exit 2
needed=$(printf '%s\n' "$needed" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p')
[ -n "$needed" ] || { echo "no shared libraries read from $3"; exit 2; }
failed=0
others=$(printf '%s\n' "$needed" | grep -v -E '^(libc|libm|ld-linux[^.]*|ld)[.]so[.][0-9]+$')
if [ -n "$others" ]; then
    echo "pilo needs more than the C library:" $others
    failed=1
fi
defined=$("$2" --defined-only "$3") || exit 2
runtime=$(printf '%s\n' "$defined" |
    grep -E ' (__gxx_personality|_Unwind_|__cxa_|_ZSt[0-9]+(to_chars|from_chars|__throw_|__glibcxx))' |
    grep -v ' __cxa_finalize' | head -5)
if [ -n "$runtime" ]; then
    echo "pilo holds the C++ run-time's code, such as:"
    printf '%s\n' "$runtime"
    failed=1
fi
exit $failed
