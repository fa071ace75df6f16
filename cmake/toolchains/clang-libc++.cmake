# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# clang with LLVM's C++ library, libc++, in place of libstdc++. The flag goes
# to every C++ compile and link; Debian's libc++-dev and libc++abi-dev hold
# the library.
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_FLAGS_INIT -stdlib=libc++)
