# okm_warnings(target): the warning set every target of the project builds with.
function(okm_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wcast-align -Wnull-dereference -Wimplicit-fallthrough)
  if(OKM_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# okm_test(name SOURCES sources... LIBS libs... [RESOURCES lib]): a GoogleTest
# executable registered with CTest. RESOURCES names the library holding the
# program's own resources (blobs and strings); by default the payload's, as
# the installer carries them.
function(okm_test name)
  cmake_parse_arguments(T "" "RESOURCES" "SOURCES;LIBS" ${ARGN})
  if(NOT T_RESOURCES)
    set(T_RESOURCES okm_payload)
  endif()
  add_executable(${name} ${T_SOURCES})
  okm_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${T_RESOURCES} GTest::gtest GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    # Listed when ctest runs, so that building never starts the emulator.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 NO_PRETTY_VALUES
      PROPERTIES LABELS unit FIXTURES_REQUIRED wine)
  else()
    # Parameterised tests are named by their index or name generator, not by
    # a dump of the parameter, so result lines stay short.
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES PROPERTIES LABELS unit)
  endif()
endfunction()
