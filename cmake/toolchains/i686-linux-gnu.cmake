# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# 32-bit x86 (Debian i386), whose compiler's default maths is the x87 unit's
# (FLT_EVAL_METHOD 2). An x86-64 kernel runs the result directly, given the
# i386 C++ run-time (libstdc++6:i386).
set(pilo_cross_triplet i686-linux-gnu)
set(pilo_cross_processor i686)
set(pilo_cross_qemu "")
set(pilo_cross_deb_arch i386)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
