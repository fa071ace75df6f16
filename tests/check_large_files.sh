#!/bin/sh
# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Fails when a 32-bit pilo imports a C library call whose file offsets are 32
# bits, with which a file over 2 GiB does not open: check_large_files.sh
# READELF PILO. Built with 64-bit offsets, pilo imports fopen64 and the like
# instead. Under an emulator the 32-bit call can still succeed, so the
# binary's imports are read rather than a large file opened.
set -u
symbols=$("$1" --dyn-syms -W "$2") || exit 2
# Every pilo imports read or fgets: a listing without either was misread.
echo "$symbols" | grep -Eq ' UND (read|fgets)@' || { echo "no imports read from $2"; exit 2; }
offset_calls='fopen|freopen|tmpfile|open|openat|creat|lseek|fseeko|ftello|fgetpos|fsetpos'
offset_calls="$offset_calls|stat|fstat|lstat|fstatat|__xstat|__fxstat|__lxstat|mmap|truncate|ftruncate"
if echo "$symbols" | grep -E " UND ($offset_calls)@"; then
    echo "calls with 32-bit file offsets: build with -D_FILE_OFFSET_BITS=64"
    exit 1
fi
exit 0
