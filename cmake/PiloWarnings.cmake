# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# pilo_set_warnings(target): the project's strict warning set, as errors when
# PILO_WERROR is on.
function(pilo_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wsign-conversion)
  if(PILO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
