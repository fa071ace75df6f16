# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# A cross build with Debian's cross compilers, for the Debian architecture
# named by PILO_DEB_ARCH (arm64, armhf, s390x, ...). dpkg-architecture derives
# GNU's name of the target, whose g++ builds, and its processor, whose
# qemu-user program runs every test with the cross C and C++ libraries as the
# target's root.
# The file is read again for every check CMake compiles, in projects of their
# own that see the environment but not the cache.
if(PILO_DEB_ARCH)
  set(ENV{PILO_DEB_ARCH} ${PILO_DEB_ARCH})
elseif(DEFINED ENV{PILO_DEB_ARCH})
  set(PILO_DEB_ARCH $ENV{PILO_DEB_ARCH})
else()
  message(FATAL_ERROR "debian-cross.cmake: set PILO_DEB_ARCH to a Debian architecture")
endif()

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
