# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# Writes OUTPUT, the source tarball of the files git tracks at HEAD in
# SOURCE_DIR, each under the folder PREFIX: cmake -D SOURCE_DIR=... -D
# PREFIX=... -D OUTPUT=... -P make_dist.cmake. Outside a git checkout it
# refuses, and it never leaves a partial OUTPUT behind.
find_program(git_command git)
if(NOT git_command)
  message(FATAL_ERROR "dist: git is not installed; the source tarball is made from git's files")
endif()
# A source folder inside some other checkout is not one of its own.
execute_process(COMMAND ${git_command} -C ${SOURCE_DIR} rev-parse --show-toplevel --verify HEAD
                RESULT_VARIABLE not_a_checkout OUTPUT_VARIABLE top_and_head ERROR_QUIET)
string(REGEX REPLACE "\n.*" "" top "${top_and_head}")
file(REAL_PATH ${SOURCE_DIR} source_path)
if(not_a_checkout OR NOT top STREQUAL source_path)
  message(FATAL_ERROR "dist: ${SOURCE_DIR} is not a git checkout with a commit; "
                      "the source tarball is made from the files git tracks at HEAD")
endif()
file(REMOVE ${OUTPUT})
execute_process(COMMAND ${git_command} -C ${SOURCE_DIR} archive --format=tar.gz
                        --prefix=${PREFIX}/ -o ${OUTPUT}.part HEAD RESULT_VARIABLE failed)
if(failed)
  file(REMOVE ${OUTPUT}.part)
  message(FATAL_ERROR "dist: git archive failed")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
