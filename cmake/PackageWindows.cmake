# The shipping zip of the Windows build:
#   cmake --build --preset mingw --target package-zip
# makes build/mingw/OstrandKMSetup-<version>-win64.zip holding the stripped
# OstrandKMSetup.exe and dsrtool.exe and SHA256SUMS.txt with their sums
# (in the format `sha256sum -c` reads).
include_guard(GLOBAL)

set(OKM_PACKAGE_DIR "${CMAKE_BINARY_DIR}/package")
set(OKM_PACKAGE_ZIP "${CMAKE_BINARY_DIR}/OstrandKMSetup-${PROJECT_VERSION}-win64.zip")
add_custom_target(package-zip
  COMMAND ${CMAKE_COMMAND} -E rm -rf "${OKM_PACKAGE_DIR}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${OKM_PACKAGE_DIR}"
  COMMAND ${CMAKE_STRIP} -o "${OKM_PACKAGE_DIR}/OstrandKMSetup.exe" $<TARGET_FILE:OstrandKMSetup>
  COMMAND ${CMAKE_STRIP} -o "${OKM_PACKAGE_DIR}/dsrtool.exe" $<TARGET_FILE:dsrtool>
  COMMAND ${CMAKE_COMMAND} -DDIR=${OKM_PACKAGE_DIR} -P "${PROJECT_SOURCE_DIR}/cmake/Sha256Sums.cmake"
  COMMAND ${CMAKE_COMMAND} -E rm -f "${OKM_PACKAGE_ZIP}"
  COMMAND ${CMAKE_COMMAND} -E chdir "${OKM_PACKAGE_DIR}"
    ${CMAKE_COMMAND} -E tar cf "${OKM_PACKAGE_ZIP}" --format=zip
      OstrandKMSetup.exe dsrtool.exe SHA256SUMS.txt
  DEPENDS OstrandKMSetup dsrtool
  COMMENT "Packaging ${OKM_PACKAGE_ZIP}"
  VERBATIM)
