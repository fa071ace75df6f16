# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Run by CPack on each package it has made. CPack writes a tarball's or a
# zip's entries in the order the file system lists them and a .deb's members
# with the builder's umask in their modes; this writes them again so that
# neither shows. A tarball or a zip is packed anew from the staged install,
# whose modes the pre-build script has set, its files sorted by name and each
# time SOURCE_DATE_EPOCH's (or the time of the build); the .deb's members are
# archived again in GNU ar's deterministic mode, owner root and mode 0644.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "[.]deb$")
    set(work ${CPACK_TOPLEVEL_DIRECTORY}/normalize)
    file(REMOVE_RECURSE ${work})
    file(MAKE_DIRECTORY ${work})
    execute_process(COMMAND ${CPACK_PILO_AR} x ${package} WORKING_DIRECTORY ${work}
                    COMMAND_ERROR_IS_FATAL ANY)
    # A .deb's members must come in this order.
    execute_process(COMMAND ${CPACK_PILO_AR} rcD ${package}.new debian-binary control.tar.gz
                            data.tar.gz WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${work})
  else()
    file(GLOB_RECURSE files RELATIVE ${CPACK_TOPLEVEL_DIRECTORY} ${CPACK_TEMPORARY_DIRECTORY}/*)
    list(SORT files)
    if(package MATCHES "[.]zip$")
      # CMake's zip writer stores each file's access and change times too,
      # which no option drops: Info-ZIP's zip, told to store no extra fields,
      # writes only the time of each file, which is set here, in UTC.
      find_program(zip_command zip REQUIRED)
      string(TIMESTAMP epoch "%s" UTC)
      string(REPLACE ";" "\n" names "${files}")
      file(WRITE ${CPACK_TOPLEVEL_DIRECTORY}/zip-names "${names}\n")
      execute_process(COMMAND touch -d @${epoch} -- ${files}
                      WORKING_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY} COMMAND_ERROR_IS_FATAL ANY)
      execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${zip_command} -q -X -D ${package}.new -@
                      INPUT_FILE ${CPACK_TOPLEVEL_DIRECTORY}/zip-names
                      WORKING_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY} COMMAND_ERROR_IS_FATAL ANY)
    else()
      string(TIMESTAMP time "%Y-%m-%d %H:%M:%S UTC" UTC)
      execute_process(COMMAND ${CMAKE_COMMAND} -E tar czf ${package}.new --format=gnutar
                              "--mtime=${time}" -- ${files}
                      WORKING_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY} COMMAND_ERROR_IS_FATAL ANY)
    endif()
  endif()
  file(RENAME ${package}.new ${package})
endforeach()
