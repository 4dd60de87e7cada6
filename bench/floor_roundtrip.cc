// The floor of a document round trip: pugixml alone loads a document with
// the parse options the DOM uses and saves it in the saved form of
// save_format.h. The whole-process benchmark (whole_process.sh) compares
// `dsrtool roundtrip` with it.
#include <cstdio>

#include <pugixml.hpp>

#include "bench/floor_options.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: okm_floor_roundtrip IN OUT\n", stderr);
    return 2;
  }
  pugi::xml_document document;
  if (!document.load_file(argv[1], bench::kFloorParseOptions, pugi::encoding_utf8)) return 1;
  return bench::saveFloor(document, argv[2]) ? 0 : 1;
}
