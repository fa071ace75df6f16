# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# 64-bit little-endian MIPS (Debian mips64el), whose NaNs use the legacy
# encoding: a quiet NaN has the top fraction bit clear.
set(pilo_cross_triplet mips64el-linux-gnuabi64)
set(pilo_cross_processor mips64)
set(pilo_cross_qemu qemu-mips64el)
set(pilo_cross_deb_arch mips64el)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
