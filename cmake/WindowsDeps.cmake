# The libraries the Windows build compiles from source: pugixml as every
# build does (Pugixml.cmake), and GoogleTest from /usr/src/googletest, as
# Debian ships it for the Linux build. Both are static.
include_guard(GLOBAL)

include(cmake/Pugixml.cmake)

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
