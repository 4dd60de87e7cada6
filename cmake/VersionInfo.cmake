# The VERSIONINFO resource of the Windows executables, from the one project
# version (project(VERSION ...)) and the settings below, so that Explorer's
# Details tab and deployment tools see what a file is.
#
#   okm_version_info(<target> DESCRIPTION <text>)
#
# writes <target>_version.rc into the target's build folder and compiles it
# into <target>: FileVersion and ProductVersion major.minor.patch (the fixed
# versions major,minor,patch,0), ProductName, CompanyName and
# LegalCopyright from the settings, FileDescription from DESCRIPTION,
# InternalName the target's output name and OriginalFilename that name with
# ".exe". The payload's resource script is linked into several programs
# (the installer, dsrtool, the tests), so each program's version
# information is a script of its own.
include_guard(GLOBAL)

set(OKM_COMPANY_NAME "Ostrand KM" CACHE STRING "CompanyName of the executables' version information")
set(OKM_PRODUCT_NAME "Ostrand KM device-data installer" CACHE STRING
  "ProductName of the executables' version information")
set(OKM_COPYRIGHT_YEAR "2026" CACHE STRING "Year of the LegalCopyright notice")

# _okm_rc_string(<text> <out>): <text> as the body of a resource-script
# string: a quote doubled, a backslash doubled.
function(_okm_rc_string text out)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\"\"" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(okm_version_info target)
  cmake_parse_arguments(V "" "DESCRIPTION" "" ${ARGN})
  if(NOT V_DESCRIPTION)
    message(FATAL_ERROR "okm_version_info(${target}): DESCRIPTION is required")
  endif()
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  _okm_rc_string("${OKM_COMPANY_NAME}" _okm_company)
  _okm_rc_string("${OKM_PRODUCT_NAME}" _okm_product)
  _okm_rc_string("${V_DESCRIPTION}" _okm_description)
  _okm_rc_string("Copyright (C) ${OKM_COPYRIGHT_YEAR} ${OKM_COMPANY_NAME}" _okm_copyright)
  _okm_rc_string("${name}" _okm_internal_name)
  _okm_rc_string("${name}.exe" _okm_original_filename)
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc")
  configure_file("${PROJECT_SOURCE_DIR}/cmake/version_info.rc.in" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
endfunction()
