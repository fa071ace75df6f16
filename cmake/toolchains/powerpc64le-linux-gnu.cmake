# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# 64-bit little-endian POWER (Debian ppc64el).
set(pilo_cross_triplet powerpc64le-linux-gnu)
set(pilo_cross_processor ppc64le)
set(pilo_cross_qemu qemu-ppc64le)
set(pilo_cross_deb_arch ppc64el)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
