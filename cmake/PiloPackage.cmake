# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Packages. In a configured tree, `cmake --build B --target package` makes a
# Debian package named as Debian names them (pilo_1.1.0_amd64.deb) and a
# binary tarball named for its architecture (pilo-1.1.0-linux-amd64.tar.gz),
# and `--target dist` the source tarball pilo-1.1.0.tar.gz of the files git
# tracks at HEAD. With SOURCE_DATE_EPOCH set, every archive is the same to the
# byte whatever the builder's path, umask, time zone or locale.

set(CPACK_PACKAGE_VENDOR "The pilo authors")
# A packager who ships pilo puts their own name and address here.
set(PILO_PACKAGE_CONTACT "The pilo authors <pilo@example.org>"
    CACHE STRING "Maintainer of the Debian package")
set(CPACK_PACKAGE_CONTACT ${PILO_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reverse Polish calculator over IEEE-754 doubles")
# Lines of at most 80 columns, as Debian asks. No semicolons or double
# quotes: CMake would cut the text at the one, and CPack writes the other
# into the control file as a list separator.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "pilo reads numbers and one-character commands from a file or the standard\n"
       "input, keeps the numbers on a stack of up to 1024 doubles, and adds,\n"
       "subtracts, multiplies, divides, takes remainders and powers, prints the top\n"
       "value or the whole stack, or clears it. Every number is read exactly as the\n"
       "C library's strtod reads it, and every value is printed exactly as printf\n"
       "prints it with six decimals, several times faster than a plain strtod and\n"
       "printf loop. It works the same at a terminal and in a pipeline, and its\n"
       "exit status says whether the input was read and the output written.")

# The architecture by its Debian name where there is one: a cross build's
# target, or the machine's own where dpkg tells it.
set(pilo_package_arch ${CMAKE_SYSTEM_PROCESSOR})
if(PILO_DEB_ARCH)
  set(pilo_package_arch ${PILO_DEB_ARCH})
elseif(NOT CMAKE_CROSSCOMPILING)
  find_program(PILO_DPKG dpkg)
  if(PILO_DPKG)
    execute_process(COMMAND ${PILO_DPKG} --print-architecture OUTPUT_VARIABLE pilo_package_arch
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
endif()
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-linux-${pilo_package_arch})

# The Debian package's dependencies come from dpkg-shlibdeps, which knows only
# the libraries installed as packages of the machine's own architecture.
# Windows gets a zip, pilo-1.2.0-win64.zip, of one folder.
set(CPACK_GENERATOR TGZ)
find_program(PILO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(WIN32)
  set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-win64)
  set(CPACK_GENERATOR ZIP)
elseif(CMAKE_CROSSCOMPILING)
  message(STATUS "Cross build: the package target makes no .deb, only the binary tarball")
elseif(NOT PILO_DPKG_SHLIBDEPS)
  message(STATUS "No dpkg-shlibdeps: the package target makes no .deb (Debian: dpkg-dev)")
else()
  list(APPEND CPACK_GENERATOR DEB)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The staged install is stripped, and the Debian package's documentation laid
# out, by the first script, and the packages written again without the
# builder's file order and umask by the second; they find the tools and the
# install's folders here.
set(CPACK_PILO_STRIP ${CMAKE_STRIP})
set(CPACK_PILO_AR ${CMAKE_AR})
set(CPACK_PILO_PROGRAM ${PILO_BIN_DIR}/pilo${CMAKE_EXECUTABLE_SUFFIX})
set(CPACK_PILO_DOCDIR ${PILO_DOC_DIR})
set(CPACK_PILO_MANUAL ${PILO_MANUAL})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/stage_package.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/normalize_package.cmake)
# CPack's source tarball, package_source, packs the source folder as it is,
# less git's data and the build folders; dist, below, packs what git tracks.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/[.]git/" "/build[^/]*/")
include(CPack)

# The source tarball: exactly the tracked files, as git archive writes them,
# with the time of the commit on each.
add_custom_target(
  dist
  COMMAND ${CMAKE_COMMAND} -D SOURCE_DIR=${PROJECT_SOURCE_DIR}
          -D PREFIX=${PROJECT_NAME}-${PROJECT_VERSION}
          -D OUTPUT=${PROJECT_BINARY_DIR}/${PROJECT_NAME}-${PROJECT_VERSION}.tar.gz -P
          ${CMAKE_CURRENT_LIST_DIR}/make_dist.cmake
  COMMENT "Writing ${PROJECT_NAME}-${PROJECT_VERSION}.tar.gz from the files git tracks at HEAD"
  VERBATIM)
