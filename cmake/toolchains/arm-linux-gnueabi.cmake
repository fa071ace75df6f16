# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# 32-bit ARM with soft floating point (Debian armel): the compiler's default,
# ARMv5TE, has no floating-point unit, so every double operation is a call
# into the run-time library.
set(pilo_cross_triplet arm-linux-gnueabi)
set(pilo_cross_processor arm)
set(pilo_cross_qemu qemu-arm)
set(pilo_cross_deb_arch armel)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
