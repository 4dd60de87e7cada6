// The format version of a document: four numbers, written "%d.%d.%d.%d".
#pragma once

#include <string>
#include <string_view>

namespace xml {

struct FormatVersion {
  int major = 0;
  int minor = 0;
  int revision = 0;
  int build = 0;

  // Scans |text| as sscanf "%d.%d.%d.%d" does (white space before each
  // number skipped, optional sign, digits; out-of-range numbers saturate).
  // Components after the first that does not scan stay 0.
  static FormatVersion parse(std::string_view text);

  // "%d.%d.%d.%d", for example "3.3.0.0".
  std::string toString() const;

  // 0 when major and minor are both equal; otherwise -1 when this major is
  // below the other's, else -1 when this minor is below the other's, else
  // 1. Not an order: 4.0 compared with 3.3 gives -1.
  int compare(const FormatVersion& other) const;

  // major * 1000000 + minor * 10000 + revision * 100 + build, in 32-bit
  // arithmetic that wraps instead of overflowing. Components above 99 (or
  // minor above 99) do not survive the coding.
  int code() const;

  bool operator==(const FormatVersion&) const = default;
};

}  // namespace xml
