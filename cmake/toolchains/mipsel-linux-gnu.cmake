# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# 32-bit little-endian MIPS (Debian mipsel), whose NaNs use the legacy
# encoding: a quiet NaN has the top fraction bit clear.
set(pilo_cross_triplet mipsel-linux-gnu)
set(pilo_cross_processor mips)
set(pilo_cross_qemu qemu-mipsel)
set(pilo_cross_deb_arch mipsel)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
