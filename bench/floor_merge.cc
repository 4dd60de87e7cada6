// The floor of a media merge: pugixml alone loads the installed and the new
// document, appends a copy of every installed media entry to the new
// document's media list and saves the result. The whole-process benchmark
// (whole_process.sh) compares `dsrtool merge` with it.
#include <cstdio>

#include <pugixml.hpp>

#include "bench/floor_options.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: okm_floor_merge INSTALLED NEW OUT\n", stderr);
    return 2;
  }
  pugi::xml_document installed;
  pugi::xml_document updated;
  if (!installed.load_file(argv[1], bench::kFloorParseOptions, pugi::encoding_utf8) ||
      !updated.load_file(argv[2], bench::kFloorParseOptions, pugi::encoding_utf8)) {
    return 1;
  }
  pugi::xml_node from = installed.child("DeviceSeries").child("aMediaInfoList");
  pugi::xml_node to = updated.child("DeviceSeries").child("aMediaInfoList");
  if (!from || !to) return 1;
  for (pugi::xml_node media = from.first_child(); media; media = media.next_sibling()) {
    to.append_copy(media);
  }
  return bench::saveFloor(updated, argv[3]) ? 0 : 1;
}
