# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Run by CPack on each package's staged install before it packs it. The
# binary is stripped as Debian strips it. The Debian package also lays out its
# documentation as Debian asks: the licence is its copyright file, never
# compressed; it has a changelog in Debian's format that points to the
# release notes; and the manual page, the changelog and every other document
# over 4 KB are compressed with gzip -9n, whose output holds no file name or
# time. Last, every mode is set, so that the builder's umask shows nowhere.
set(root ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
if(CPACK_INSTALLED_DIRECTORIES) # package_source's copy of the source folder
  return()
endif()
execute_process(COMMAND ${CPACK_PILO_STRIP} --remove-section=.comment --remove-section=.note
                        --strip-unneeded ${root}/${CPACK_PILO_PROGRAM}
                COMMAND_ERROR_IS_FATAL ANY)

if(CPACK_GENERATOR STREQUAL "DEB")
  set(docs ${root}/${CPACK_PILO_DOCDIR})
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
    if(file MATCHES "/changelog$" OR (size GREATER 4096 AND NOT file MATCHES "/LICENSE$"))
      execute_process(COMMAND ${gzip_command} -9n ${file} COMMAND_ERROR_IS_FATAL ANY)
    endif()
  endforeach()
  file(RENAME ${docs}/LICENSE ${docs}/copyright)
  execute_process(COMMAND ${gzip_command} -9n ${root}/${CPACK_PILO_MANUAL}
                  COMMAND_ERROR_IS_FATAL ANY)
endif()

file(CHMOD_RECURSE ${CPACK_TEMPORARY_DIRECTORY} FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ
     WORLD_READ DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
     GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(CHMOD ${root}/${CPACK_PILO_PROGRAM} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
     GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
