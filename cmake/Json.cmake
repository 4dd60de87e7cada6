# okm_json: nlohmann-json (Debian's header-only nlohmann-json3-dev), used by
# dsrtool for its --json output.
find_path(OKM_NLOHMANN_JSON_INCLUDE_DIR nlohmann/json.hpp
  PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
# The headers are reached through a folder of the build that holds only
# them: the cross build must never search the build machine's /usr/include,
# whose C library headers would shadow MinGW's.
set(_okm_json_dir "${CMAKE_BINARY_DIR}/json-include")
file(MAKE_DIRECTORY "${_okm_json_dir}")
file(CREATE_LINK "${OKM_NLOHMANN_JSON_INCLUDE_DIR}/nlohmann" "${_okm_json_dir}/nlohmann" SYMBOLIC)
add_library(okm_json INTERFACE)
target_include_directories(okm_json SYSTEM INTERFACE "${_okm_json_dir}")
