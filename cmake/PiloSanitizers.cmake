# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# PILO_SANITIZE builds every target with AddressSanitizer and
# UndefinedBehaviorSanitizer. The first report ends the program with a failing
# status, so a test fails on it whoever runs the binary.
if(PILO_SANITIZE)
  set(pilo_sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=all)
  add_compile_options(${pilo_sanitizer_flags} -fno-omit-frame-pointer)
  add_link_options(${pilo_sanitizer_flags})
  # GCC 12's -Wrestrict misfires on std::string concatenation once the code is
  # instrumented (GCC bug 105651); plain builds keep the warning.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-restrict)
  endif()
  add_library(pilo_sanitizer_defaults OBJECT ${CMAKE_CURRENT_LIST_DIR}/sanitizer_defaults.cpp)
  pilo_set_warnings(pilo_sanitizer_defaults)
endif()

# pilo_set_sanitizer_defaults(executable): builds the sanitizer run-time defaults
# into executable in a PILO_SANITIZE build; does nothing otherwise.
function(pilo_set_sanitizer_defaults target)
  if(PILO_SANITIZE)
    target_link_libraries(${target} PRIVATE pilo_sanitizer_defaults)
  endif()
endfunction()
