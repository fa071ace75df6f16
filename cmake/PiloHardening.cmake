# SPDX-FileCopyrightText: 2026 The pilo authors
# SPDX-License-Identifier: ISC

# PILO_HARDEN builds every target as Debian builds its packages: position-
# independent executables, stack protector, fortified C library calls,
# read-only relocations and immediate binding, and, as Debian's next release
# adds, stack clash protection. Each flag goes in only where the compiler or
# linker takes it, so that a cross build keeps building. Control-flow
# protection is left out: Debian 12's C start files lack its marking, so the
# linker drops it from every program.
# Sanitizer builds go without: their run-time checks more than these do and
# replaces the checked C library calls.
include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)
include(CheckPIESupported)

if(PILO_HARDEN AND NOT PILO_SANITIZE)
  check_pie_supported(LANGUAGES CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)

  # These make code, so with link-time optimisation they go to the link too.
  # Windows probes the stack itself, and g++ for Windows fails inside on
  # stack clash protection in some functions, though its trivial check passes.
  set(pilo_code_flags -fstack-protector-strong)
  if(NOT WIN32)
    list(APPEND pilo_code_flags -fstack-clash-protection)
  endif()
  foreach(flag IN LISTS pilo_code_flags)
    string(MAKE_C_IDENTIFIER "pilo_has${flag}" known)
    check_cxx_compiler_flag(${flag} ${known})
    if(${known})
      add_compile_options(${flag})
      add_link_options(${flag})
    endif()
  endforeach()

  # Fortified calls need the optimiser, and a packager's own choice of level
  # in CMAKE_CXX_FLAGS (or the fortify CI job's) stays as given. The level is
  # undefined first, for compilers that define one of their own.
  if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
    set(pilo_optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
    add_compile_options($<${pilo_optimised}:-U_FORTIFY_SOURCE> $<${pilo_optimised}:-D_FORTIFY_SOURCE=2>)
  endif()

  check_linker_flag(CXX -Wl,-z,relro,-z,now pilo_has_relro_now)
  if(pilo_has_relro_now)
    add_link_options(-Wl,-z,relro,-z,now)
  endif()
endif()
