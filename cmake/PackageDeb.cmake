# The .deb of the Linux build:
#   cmake --preset release && cmake --build --preset release --target package-deb
# makes build/release/ostrand-km-setup_<version>_<arch>.deb with
#   /usr/bin/OstrandKMSetup, /usr/bin/dsrtool         (stripped)
#   /usr/share/man/man1/OstrandKMSetup.1.gz, dsrtool.1.gz
#   /usr/share/doc/ostrand-km-setup/copyright         (Debian's format)
#   /usr/share/doc/ostrand-km-setup/changelog.gz
# Its dependencies come from the shared libraries the programs link
# (dpkg-shlibdeps). Reproducible: the man pages and the changelog are
# compressed without name or time (gzip -n) and CPack takes every time in
# the package from SOURCE_DATE_EPOCH (the environment's, else the last
# commit's time, see Reproducible.cmake).
#
# Make it with package-deb, not cpack or the package target alone: run as
# a script (cmake -P) by the package-deb target, this file compresses the
# documents, then runs cpack with SOURCE_DATE_EPOCH set.
include_guard(GLOBAL)

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  cmake_policy(VERSION 3.25)
  include("${CMAKE_CURRENT_LIST_DIR}/Reproducible.cmake")
  okm_source_date_epoch(epoch "${OKM_SOURCE_DIR}")
  file(MAKE_DIRECTORY "${OKM_BINARY_DIR}/deb-docs")
  # The changelog's newest entry carries the package's version.
  set(PROJECT_VERSION "${OKM_VERSION}")
  configure_file("${OKM_SOURCE_DIR}/packaging/changelog.in" "${OKM_BINARY_DIR}/deb-docs/changelog"
    @ONLY)
  foreach(doc packaging/OstrandKMSetup.1 packaging/dsrtool.1 deb-docs/changelog)
    get_filename_component(name "${doc}" NAME)
    set(from "${OKM_SOURCE_DIR}/${doc}")
    if(doc MATCHES "^deb-docs/")
      set(from "${OKM_BINARY_DIR}/${doc}")
    endif()
    execute_process(COMMAND gzip -9 -n -c
      INPUT_FILE "${from}"
      OUTPUT_FILE "${OKM_BINARY_DIR}/deb-docs/${name}.gz" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "PackageDeb.cmake: gzip ${name} failed")
    endif()
  endforeach()
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env "SOURCE_DATE_EPOCH=${epoch}"
      "${OKM_CPACK}" --config "${OKM_BINARY_DIR}/CPackConfig.cmake"
    WORKING_DIRECTORY "${OKM_BINARY_DIR}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "PackageDeb.cmake: cpack failed")
  endif()
  return()
endif()

set(OKM_DEB_NAME ostrand-km-setup)
set(OKM_DEB_MAINTAINER "Ostrand KM device data <devicedata@ostrand-km.example>" CACHE STRING
  "Maintainer field of the .deb")

include(GNUInstallDirs)
install(TARGETS OstrandKMSetup RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET dsrtool)
  install(TARGETS dsrtool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
set(_okm_deb_docs "${CMAKE_BINARY_DIR}/deb-docs")
install(FILES "${_okm_deb_docs}/OstrandKMSetup.1.gz" "${_okm_deb_docs}/dsrtool.1.gz"
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES "${PROJECT_SOURCE_DIR}/packaging/copyright" "${_okm_deb_docs}/changelog.gz"
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${OKM_DEB_NAME})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${OKM_DEB_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${OKM_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# CPack indents every line after the summary and writes an empty line as
# the paragraph break " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Ostrand KM device-data installer for the Rastella RIP under Wine
OstrandKMSetup deploys the Ostrand KM printer data (device picture, media
files, pass-mask tables, ICC output profiles and device-series documents)
into a Rastella RIP installed in a Wine prefix, found through the host's
registry records in the prefix. An installed device-series document keeps
the user's own media and visibility choices.

dsrtool checks an installation against the data and reads, compares and
merges device-series files.")
include(CPack)

add_custom_target(package-deb
  COMMAND "${CMAKE_COMMAND}" "-DOKM_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
    "-DOKM_BINARY_DIR=${CMAKE_BINARY_DIR}" "-DOKM_CPACK=${CMAKE_CPACK_COMMAND}"
    "-DOKM_VERSION=${PROJECT_VERSION}"
    -P "${PROJECT_SOURCE_DIR}/cmake/PackageDeb.cmake"
  DEPENDS OstrandKMSetup $<TARGET_NAME_IF_EXISTS:dsrtool>
  COMMENT "Packaging the .deb of the Linux build"
  VERBATIM)
