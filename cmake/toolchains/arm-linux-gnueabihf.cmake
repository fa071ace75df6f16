# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# 32-bit ARMv7 with its floating-point unit (Debian armhf).
set(pilo_cross_triplet arm-linux-gnueabihf)
set(pilo_cross_processor arm)
set(pilo_cross_qemu qemu-arm)
set(pilo_cross_deb_arch armhf)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
