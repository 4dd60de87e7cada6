// Fuzz target: the parser of Wine registry files.
//
// Properties: nothing crashes or hangs, and memory stays bounded (the run
// sets -rss_limit_mb and -malloc_limit_mb); every key's ancestors exist,
// as the parser promises, without being stored themselves; every key and
// value name is folded to lower case.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "platform/posix/wine_registry_parser.h"

namespace {

bool hasUpperCaseAscii(const std::string& text) {
  for (char c : text) {
    if (c >= 'A' && c <= 'Z') return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const platform::posix::RegistryHive hive = platform::posix::parseWineRegistry(text);

  fuzz::check(hive.exists(""), "the root key exists");
  for (const auto& [path, values] : hive.keys) {
    fuzz::check(!hasUpperCaseAscii(path), "key paths are folded");
    const std::size_t cut = path.rfind('\\');
    if (!path.empty()) {
      const std::string parent = cut == std::string::npos ? "" : path.substr(0, cut);
      fuzz::check(hive.exists(parent), "every ancestor of a key exists");
    }
    for (const auto& entry : values) {
      fuzz::check(!hasUpperCaseAscii(entry.first), "value names are folded");
    }
  }
  return 0;
}
