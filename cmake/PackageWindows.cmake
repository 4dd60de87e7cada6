# The shipping zip of the Windows build:
#   cmake --build --preset mingw --target package-zip
# makes build/mingw/OstrandKMSetup-<version>-win64.zip (see PackageZip.cmake
# for what it holds and how it is made). With OKM_SIGN_PKCS12 and
# OKM_SIGN_PASSWORD in the environment both executables are signed.
include_guard(GLOBAL)

find_program(OKM_ZIP zip)
find_program(OKM_OSSLSIGNCODE osslsigncode)

set(OKM_PACKAGE_DIR "${CMAKE_BINARY_DIR}/package")
set(OKM_PACKAGE_ZIP "${CMAKE_BINARY_DIR}/OstrandKMSetup-${PROJECT_VERSION}-win64.zip")
set(OKM_PACKAGE_ZIP_ARGS
  "-DOKM_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
  "-DOKM_VERSION=${PROJECT_VERSION}"
  "-DOKM_STRIP=${CMAKE_STRIP}"
  "-DOKM_ZIP=${OKM_ZIP}"
  "-DOKM_OSSLSIGNCODE=${OKM_OSSLSIGNCODE}"
  "-DOKM_PRODUCT_NAME=${OKM_PRODUCT_NAME}"
  "-DOKM_PUGIXML_LICENSE=${OKM_PUGIXML_SOURCE_DIR}/LICENSE.md"
  "-DOKM_INSTALLER=$<TARGET_FILE:OstrandKMSetup>"
  "-DOKM_DSRTOOL=$<TARGET_FILE:dsrtool>")
add_custom_target(package-zip
  COMMAND ${CMAKE_COMMAND} ${OKM_PACKAGE_ZIP_ARGS}
    "-DOKM_STAGE=${OKM_PACKAGE_DIR}" "-DOKM_ZIP_FILE=${OKM_PACKAGE_ZIP}"
    -P "${PROJECT_SOURCE_DIR}/cmake/PackageZip.cmake"
  DEPENDS OstrandKMSetup dsrtool
    "${PROJECT_SOURCE_DIR}/cmake/PackageZip.cmake" "${PROJECT_SOURCE_DIR}/packaging/README.txt.in"
    "${PROJECT_SOURCE_DIR}/packaging/third-party-notices.txt"
  COMMENT "Packaging ${OKM_PACKAGE_ZIP}"
  VERBATIM)
