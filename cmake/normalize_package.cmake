# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Run by CPack on each package it has made. CPack writes a tarball's entries
# in the order the file system lists them and a .deb's members with the
# builder's umask in their modes; this writes both again so that neither
# shows: the tarball's files sorted by name, each mode set and each time
# SOURCE_DATE_EPOCH's (or the time of the build), and the .deb's members by
# GNU ar's deterministic mode, owner root and mode 0644.
set(work ${CPACK_TOPLEVEL_DIRECTORY}/normalize)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  file(REMOVE_RECURSE ${work})
  file(MAKE_DIRECTORY ${work})
  if(package MATCHES "[.]deb$")
    execute_process(COMMAND ${CPACK_PILO_AR} x ${package} WORKING_DIRECTORY ${work}
                    COMMAND_ERROR_IS_FATAL ANY)
    # A .deb's members must come in this order.
    execute_process(COMMAND ${CPACK_PILO_AR} rcD ${package}.new debian-binary control.tar.gz
                            data.tar.gz WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
  else()
    file(ARCHIVE_EXTRACT INPUT ${package} DESTINATION ${work})
    file(CHMOD_RECURSE ${work} FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
         DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
         WORLD_READ WORLD_EXECUTE)
    file(GLOB_RECURSE programs ${work}/*/${CPACK_PILO_BINDIR}/*)
    file(CHMOD ${programs} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
         GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    file(GLOB_RECURSE files RELATIVE ${work} ${work}/*)
    list(SORT files)
    string(TIMESTAMP time "%Y-%m-%d %H:%M:%S UTC" UTC)
    execute_process(COMMAND ${CMAKE_COMMAND} -E tar czf ${package}.new --format=gnutar
                            "--mtime=${time}" -- ${files}
                    WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(RENAME ${package}.new ${package})
endforeach()
file(REMOVE_RECURSE ${work})
