# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# 64-bit IBM Z, big-endian (Debian s390x).
set(pilo_cross_triplet s390x-linux-gnu)
set(pilo_cross_processor s390x)
set(pilo_cross_qemu qemu-s390x)
set(pilo_cross_deb_arch s390x)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
