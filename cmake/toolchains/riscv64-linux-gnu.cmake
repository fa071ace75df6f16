# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# 64-bit RISC-V (Debian riscv64).
set(pilo_cross_triplet riscv64-linux-gnu)
set(pilo_cross_processor riscv64)
set(pilo_cross_qemu qemu-riscv64)
set(pilo_cross_deb_arch riscv64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
