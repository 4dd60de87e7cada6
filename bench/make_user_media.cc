// Makes the large documents of the whole-process benchmark: a device-series
// document with |count| user media appended to its media list, each a copy
// of one of its own media (taken in turn) under a name of its own, so that a
// merge into the original document appends every one of them.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "bench/floor_options.h"

int main(int argc, char** argv) {
  int count = -1;
  if (argc == 4) {
    const std::string_view text(argv[2]);
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (ec != std::errc() || end != text.data() + text.size()) count = -1;
  }
  if (count < 0) {
    std::fputs("usage: okm_make_user_media DOCUMENT COUNT OUT\n", stderr);
    return 2;
  }
  pugi::xml_document document;
  if (!document.load_file(argv[1], bench::kFloorParseOptions, pugi::encoding_utf8)) return 1;
  pugi::xml_node list = document.child("DeviceSeries").child("aMediaInfoList");
  std::vector<pugi::xml_node> originals;
  for (pugi::xml_node media = list.first_child(); media; media = media.next_sibling()) {
    originals.push_back(media);
  }
  if (originals.empty()) return 1;
  for (int i = 0; i < count; ++i) {
    pugi::xml_node media =
        list.append_copy(originals[static_cast<std::size_t>(i) % originals.size()]);
    const std::string name = "User media " + std::to_string(i);
    for (pugi::xml_node slot = media.child("strMediaName").first_child(); slot;
         slot = slot.next_sibling()) {
      slot.text().set(name.c_str());
    }
  }
  return bench::saveFloor(document, argv[3]) ? 0 : 1;
}
