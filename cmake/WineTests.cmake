# Test programs of the Windows build run under Wine (Debian wine64), in a
# prefix of this build folder. One wineserver serves the whole test run: the
# fixture "wine" starts it, persistent, before the first test and stops it
# after the last, with its standard streams on /dev/null.
include_guard(GLOBAL)

set(OKM_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(OKM_WINE_RUN "${PROJECT_SOURCE_DIR}/cmake/wine-run.sh")
set(CMAKE_CROSSCOMPILING_EMULATOR "${OKM_WINE_RUN};${OKM_WINEPREFIX}")

set(OKM_WINE_SERVER "${PROJECT_SOURCE_DIR}/cmake/wine-server.sh")
add_test(NAME wine_server_start COMMAND "${OKM_WINE_SERVER}" start "${OKM_WINEPREFIX}")
add_test(NAME wine_server_stop COMMAND "${OKM_WINE_SERVER}" stop "${OKM_WINEPREFIX}")
set_tests_properties(wine_server_start PROPERTIES FIXTURES_SETUP wine LABELS wine)
set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine LABELS wine)
