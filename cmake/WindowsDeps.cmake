# The libraries the Windows build compiles from source, as Debian ships them
# for the Linux build: pugixml from Debian's source package of the version
# the Linux build links (fetched by scripts/setup.sh into .deps/), and
# GoogleTest from /usr/src/googletest. Both are static.
include_guard(GLOBAL)

file(GLOB _okm_pugixml_dirs LIST_DIRECTORIES true "${PROJECT_SOURCE_DIR}/.deps/pugixml-*")
set(OKM_PUGIXML_SOURCE_DIR "" CACHE PATH "pugixml source tree for the Windows build")
if(NOT OKM_PUGIXML_SOURCE_DIR AND _okm_pugixml_dirs)
  list(SORT _okm_pugixml_dirs)
  list(GET _okm_pugixml_dirs -1 _okm_pugixml_dir)
  set(OKM_PUGIXML_SOURCE_DIR "${_okm_pugixml_dir}" CACHE PATH "" FORCE)
endif()
if(NOT EXISTS "${OKM_PUGIXML_SOURCE_DIR}/src/pugixml.cpp")
  message(FATAL_ERROR "No pugixml source for the Windows build: run scripts/setup.sh")
endif()
add_library(okm_pugixml STATIC "${OKM_PUGIXML_SOURCE_DIR}/src/pugixml.cpp")
target_include_directories(okm_pugixml SYSTEM PUBLIC "${OKM_PUGIXML_SOURCE_DIR}/src")
add_library(pugixml::pugixml ALIAS okm_pugixml)

if(OKM_BUILD_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${t})
      add_library(GTest::${t} ALIAS ${t})
    endif()
  endforeach()
endif()
