#include "xml/format_version.h"

#include <cstdint>
#include <limits>

#include "xml/number_text.h"

namespace xml {
namespace {

bool isCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One "%d" conversion at |p|; false when no digit follows the white space
// and sign, as when sscanf stops.
bool scanInt(const char*& p, const char* end, int* value) {
  while (p != end && isCSpace(*p)) ++p;
  const char* start = p;
  if (p != end && (*p == '+' || *p == '-')) ++p;
  if (p == end || *p < '0' || *p > '9') return false;
  while (p != end && *p >= '0' && *p <= '9') ++p;
  *value = parseInt(std::string_view(start, static_cast<std::size_t>(p - start)));
  return true;
}

}  // namespace

FormatVersion FormatVersion::parse(std::string_view text) {
  FormatVersion version;
  int* fields[] = {&version.major, &version.minor, &version.revision, &version.build};
  const char* p = text.data();
  const char* end = p + text.size();
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (p == end || *p != '.') break;
      ++p;
    }
    if (!scanInt(p, end, fields[i])) break;
  }
  return version;
}

std::string FormatVersion::toString() const {
  return formatInt(major) + "." + formatInt(minor) + "." + formatInt(revision) + "." +
         formatInt(build);
}

int FormatVersion::compare(const FormatVersion& other) const {
  if (major == other.major && minor == other.minor) return 0;
  if (major < other.major) return -1;
  if (minor < other.minor) return -1;
  return 1;
}

int FormatVersion::code() const {
  std::uint32_t value =
      static_cast<std::uint32_t>(major) * 1000000u + static_cast<std::uint32_t>(minor) * 10000u +
      static_cast<std::uint32_t>(revision) * 100u + static_cast<std::uint32_t>(build);
  return static_cast<int>(value);
}

}  // namespace xml
