// platform::Resources over the resources of a loaded module: blobs of type
// "BIN" (FindResourceW, LoadResource, LockResource, SizeofResource) and the
// string table (LoadStringW), both by integer identifier. Blobs are served
// in place, without copying.
//
// The resource format stores a missing string and an empty one alike (length
// zero), so an empty string reads as missing unless the resource compiler
// stored it with a terminating NUL ("\0" in the script, or rc /n for every
// string). One terminating NUL stored with a string is not part of its text,
// which is how an empty string can be told from a missing one.
#pragma once

#include "platform/resources.h"

namespace platform::win32 {

class ModuleResources : public Resources {
 public:
  // |module| is the HMODULE whose resources are served; null means the
  // executable of the process (GetModuleHandleW(nullptr)). The module must
  // stay loaded as long as this object and the blob data are used.
  explicit ModuleResources(void* module = nullptr);

  bool hasBlob(int id) override;

  // Null when there is no such blob or its data cannot be loaded.
  const std::uint8_t* blobData(int id) override;

  std::size_t blobSize(int id) override;

  // The string's UTF-16 text converted to UTF-8; false when the table has
  // no such string.
  bool loadString(int id, std::string* text) override;

 private:
  void* module_;
};

}  // namespace platform::win32
