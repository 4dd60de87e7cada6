# okm_test(name SOURCES sources... LIBS libs... [RESOURCES lib | NO_RESOURCES]
#          [LABELS labels...]): a GoogleTest executable registered with CTest,
# its tests labelled |labels| (default: unit). RESOURCES names the library
# holding the program's own resources (blobs and strings); by default the
# payload's, as the installer carries them. NO_RESOURCES links none, for the
# tests of the payload generator, which must not depend on the payload it
# makes.
function(okm_test name)
  cmake_parse_arguments(T "NO_RESOURCES" "RESOURCES" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_RESOURCES AND NOT T_NO_RESOURCES)
    set(T_RESOURCES okm_payload)
  endif()
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  add_executable(${name} ${T_SOURCES})
  okm_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${T_RESOURCES} GTest::gtest GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    # Listed when ctest runs, so that building never starts the emulator.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 NO_PRETTY_VALUES
      PROPERTIES LABELS "${T_LABELS}" FIXTURES_REQUIRED wine)
  else()
    # Parameterised tests are named by their index or name generator, not by
    # a dump of the parameter, so result lines stay short.
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
      PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
