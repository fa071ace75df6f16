# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# A cross build with Debian's cross compilers, for the Debian architecture
# named by PILO_DEB_ARCH (arm64, armhf, s390x, ...). dpkg-architecture derives
# GNU's name of the target, whose g++ builds, and its processor, whose
# qemu-user program runs every test with the cross C and C++ libraries as the
# target's root.
if(NOT PILO_DEB_ARCH)
  message(FATAL_ERROR "debian-cross.cmake: set PILO_DEB_ARCH to a Debian architecture")
endif()
# The toolchain file is read again for every check CMake compiles.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PILO_DEB_ARCH)

foreach(field IN ITEMS GNU_TYPE GNU_CPU)
  execute_process(COMMAND dpkg-architecture -a${PILO_DEB_ARCH} -qDEB_HOST_${field}
                  OUTPUT_VARIABLE pilo_cross_${field} OUTPUT_STRIP_TRAILING_WHITESPACE
                  ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# qemu-user names two processors its own way.
set(pilo_cross_qemu ${pilo_cross_GNU_CPU})
if(pilo_cross_qemu STREQUAL "i686")
  set(pilo_cross_qemu i386)
elseif(pilo_cross_qemu STREQUAL "powerpc64le")
  set(pilo_cross_qemu ppc64le)
endif()

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${pilo_cross_GNU_CPU})
set(CMAKE_CXX_COMPILER ${pilo_cross_GNU_TYPE}-g++)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${pilo_cross_qemu} -L /usr/${pilo_cross_GNU_TYPE})
