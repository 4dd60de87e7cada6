// The executable's own resources: binary blobs of type "BIN" and the string
// table, both looked up by integer identifier.
//
// The Windows backend uses FindResourceA / LoadResource / LockResource /
// SizeofResource and LoadStringA; the POSIX backend serves the tables the
// build embeds from payload/manifest.tsv.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class Resources {
 public:
  virtual ~Resources() = default;

  // True when a blob of type "BIN" with |id| exists.
  virtual bool hasBlob(int id) = 0;

  // The blob's bytes, or null when they cannot be obtained (or no such blob).
  virtual const std::uint8_t* blobData(int id) = 0;

  // The blob's size in bytes (0 when there is no such blob).
  virtual std::size_t blobSize(int id) = 0;

  // The UTF-8 text of string |id|; false when the table has no such string.
  virtual bool loadString(int id, std::string* text) = 0;
};

}  // namespace platform
