#!/bin/sh
# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Fails unless pilo needs only the C library at run time and holds no copy of
# the C++ run-time: check_runtime.sh READELF NM PILO, or for Windows
# check_runtime.sh OBJDUMP NM PILO.EXE. Its shared libraries may be libc, libm
# and the dynamic loader alone, or on Windows only Windows' own DLLs: the
# kernel's, the C run-time and ADVAPI32, where the stack protector finds its
# random guard. And it may define none of the run-time's own functions: no
# unwinder, personality routine, demangler, exception helper, or the
# library's compiled std:: code such as to_chars and from_chars. Inline std::
# templates that an unoptimised build keeps out of line are pilo's own code.
set -u
case $3 in
*.exe)
    needed=$("$1" -p "$3") || exit 2
    needed=$(printf '%s\n' "$needed" | sed -n 's/^[[:space:]]*DLL Name: //p')
    own='^(KERNEL32|ADVAPI32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]*)[.]dll$' ;;
*)
    needed=$("$1" -d "$3") || exit 2
    needed=$(printf '%s\n' "$needed" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p')
    own='^(libc|libm|ld-linux[^.]*|ld)[.]so[.][0-9]+$' ;;
esac
[ -n "$needed" ] || { echo "no shared libraries read from $3"; exit 2; }
failed=0
others=$(printf '%s\n' "$needed" | grep -v -i -E "$own")
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
