# okm_warnings(target): the warning set every target of the project builds with.
function(okm_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wcast-align -Wnull-dereference -Wimplicit-fallthrough)
  if(OKM_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# okm_test(name sources... LIBS libs...): a GoogleTest executable registered with CTest.
function(okm_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  okm_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit)
endfunction()
