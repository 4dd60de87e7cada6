# Reproducible bytes: the same source gives the same programs, whichever
# folder it is built in and whenever.
#
# - No build path in the programs: __FILE__ (assertions), debug information
#   and the paths of .incbin'd blobs name the source tree "." and the build
#   folder "build". GCC tries the last of these options first, so the build
#   folder, which lies inside the source tree, is named before it.
# - No link time stamp in the PE header of the Windows programs (ld would
#   write the current time there); the ELF programs carry none, and their
#   build id is a hash of their contents.
#
# The packaging steps (strip, zip, .deb) take their times from
# SOURCE_DATE_EPOCH (see PackageZip.cmake and PackageDeb.cmake).
include_guard(GLOBAL)

if(NOT CMAKE_SCRIPT_MODE_FILE)
  add_compile_options("-ffile-prefix-map=${PROJECT_SOURCE_DIR}=."
                      "-ffile-prefix-map=${PROJECT_BINARY_DIR}=build")
  if(WIN32)
    add_link_options("LINKER:--no-insert-timestamp")
  endif()
endif()

# okm_source_date_epoch(<out> <source dir>): SOURCE_DATE_EPOCH from the
# environment; else the time of the last commit of <source dir>; else a
# fixed time (2026-01-01 00:00 UTC), so that a tree outside git still
# packages alike.
function(okm_source_date_epoch out source_dir)
  if(DEFINED ENV{SOURCE_DATE_EPOCH} AND "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
    set(${out} "$ENV{SOURCE_DATE_EPOCH}" PARENT_SCOPE)
    return()
  endif()
  find_program(_okm_git git)
  if(_okm_git)
    execute_process(COMMAND "${_okm_git}" -C "${source_dir}" log -1 --format=%ct
      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
    if(NOT failed AND epoch MATCHES "^[0-9]+$")
      set(${out} "${epoch}" PARENT_SCOPE)
      return()
    endif()
  endif()
  set(${out} 1767225600 PARENT_SCOPE)
endfunction()
