# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Run by CPack on each package's staged install before it packs it. The
# binary is stripped as Debian strips it. The Debian package also lays out its
# documentation as Debian asks: the licence is its copyright file, it has a
# changelog in Debian's format that points to the release notes, and the
# manual page, the changelog and every other document over 4 KB are
# compressed with gzip -9n, whose output holds no file name or time.
set(root ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
execute_process(COMMAND ${CPACK_PILO_STRIP} --remove-section=.comment --remove-section=.note
                        --strip-unneeded ${root}/${CPACK_PILO_BINDIR}/pilo
                COMMAND_ERROR_IS_FATAL ANY)
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

set(docs ${root}/${CPACK_PILO_DOCDIR})
file(RENAME ${docs}/LICENSE ${docs}/copyright)
# The entry's time is SOURCE_DATE_EPOCH's where it is set, so that the
# package is the same from build to build.
string(TIMESTAMP now "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE ${docs}/changelog
     "${CPACK_PACKAGE_NAME} (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium\n\n"
     "  * Release ${CPACK_PACKAGE_VERSION}: see NEWS.md in this folder.\n\n"
     " -- ${CPACK_PACKAGE_CONTACT}  ${now}\n")

find_program(gzip_command gzip REQUIRED)
file(GLOB documents ${docs}/*)
foreach(file IN LISTS documents)
  file(SIZE ${file} size)
  if(size GREATER 4096 OR file MATCHES "/changelog$")
    execute_process(COMMAND ${gzip_command} -9n ${file} COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
execute_process(COMMAND ${gzip_command} -9n ${root}/${CPACK_PILO_MANDIR}/man1/pilo.1
                COMMAND_ERROR_IS_FATAL ANY)
