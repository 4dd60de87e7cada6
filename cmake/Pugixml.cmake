# pugixml, compiled into the programs from Debian's source package of the
# version libpugixml-dev installs (scripts/setup.sh fetches it into .deps/),
# so that both builds parse and save alike and its small accessors are
# direct calls, inlined across files by link-time optimisation in Release,
# rather than calls into a shared library.
include_guard(GLOBAL)

file(GLOB _okm_pugixml_dirs LIST_DIRECTORIES true "${PROJECT_SOURCE_DIR}/.deps/pugixml-*")
set(OKM_PUGIXML_SOURCE_DIR "" CACHE PATH "pugixml source tree compiled into the programs")
if(NOT OKM_PUGIXML_SOURCE_DIR AND _okm_pugixml_dirs)
  list(SORT _okm_pugixml_dirs)
  list(GET _okm_pugixml_dirs -1 _okm_pugixml_dir)
  set(OKM_PUGIXML_SOURCE_DIR "${_okm_pugixml_dir}" CACHE PATH "" FORCE)
endif()
if(NOT EXISTS "${OKM_PUGIXML_SOURCE_DIR}/src/pugixml.cpp")
  message(FATAL_ERROR "No pugixml source: run scripts/setup.sh")
endif()
add_library(okm_pugixml STATIC "${OKM_PUGIXML_SOURCE_DIR}/src/pugixml.cpp")
target_include_directories(okm_pugixml SYSTEM PUBLIC "${OKM_PUGIXML_SOURCE_DIR}/src")
add_library(pugixml::pugixml ALIAS okm_pugixml)
