# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# 64-bit ARM (Debian arm64).
set(pilo_cross_triplet aarch64-linux-gnu)
set(pilo_cross_processor aarch64)
set(pilo_cross_qemu qemu-aarch64)
set(pilo_cross_deb_arch arm64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
