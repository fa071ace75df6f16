# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# A build for 64-bit Windows with Debian's mingw-w64 cross compiler
# (g++-mingw-w64-x86-64), whose programs the tests run under wine. The posix
# flavour of the compiler is taken, for std::thread in the sweep; every
# program is linked statically (see CMakeLists.txt), so its threads library
# needs no DLL either.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# Header-only libraries that Debian installs once for every target, in the
# build machine's /usr/include, which this compiler does not search, and
# rightly: the rest of that folder is the GNU C library's.
set(PILO_SHARED_HEADERS /usr/include/fast_float)
