# Test programs of the Windows build run under Wine (Debian wine64), in a
# prefix of this build folder. One wineserver serves the whole test run: the
# fixture "wine" starts it, persistent, before the first test and stops it
# after the last, with its standard streams on /dev/null.
include_guard(GLOBAL)

set(OKM_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(OKM_WINE_RUN "${PROJECT_SOURCE_DIR}/cmake/wine-run.sh")
set(CMAKE_CROSSCOMPILING_EMULATOR "${OKM_WINE_RUN};${OKM_WINEPREFIX}")

add_test(NAME wine_server_start
  COMMAND sh -c "\"$0\" \"$1\" cmd /c exit 0 && /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1; exit 0"
    "${OKM_WINE_RUN}" "${OKM_WINEPREFIX}")
add_test(NAME wine_server_stop COMMAND sh -c "/usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1; exit 0")
set_tests_properties(wine_server_start PROPERTIES
  FIXTURES_SETUP wine ENVIRONMENT "WINEPREFIX=${OKM_WINEPREFIX}" LABELS wine)
set_tests_properties(wine_server_stop PROPERTIES
  FIXTURES_CLEANUP wine ENVIRONMENT "WINEPREFIX=${OKM_WINEPREFIX}" LABELS wine)
