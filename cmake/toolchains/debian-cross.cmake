# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# What every cross build with Debian's cross compilers shares. The toolchain
# file of a target sets pilo_cross_triplet (GNU's name of the target),
# pilo_cross_processor, pilo_cross_qemu (qemu-user's program for it, or empty
# where the machine runs it directly) and pilo_cross_deb_arch (Debian's name),
# then includes this. CTest runs every test under qemu-user, with the cross
# C and C++ libraries as the target's root, and the Debian package is named
# and marked for the target.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${pilo_cross_processor})
set(CMAKE_CXX_COMPILER ${pilo_cross_triplet}-g++)
if(pilo_cross_qemu)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${pilo_cross_qemu} -L /usr/${pilo_cross_triplet})
endif()
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${pilo_cross_deb_arch})
