// Shared set-up of the libFuzzer harnesses: an in-memory file system behind a
// test environment whose resources hold the product's payload blobs, and a
// check that stops the run with a message when a property does not hold.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/embedded_table.h"
#include "testsupport/memory_file_system.h"
#include "testsupport/test_env.h"

namespace fuzz {

// Aborts with |what| when |condition| is false, so libFuzzer keeps the input.
inline void check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "property violated: %s\n", what);
  std::abort();
}

// The bytes of payload blob |id| ("" when the program carries none).
inline std::string payloadBlob(int id) {
  for (const platform::EmbeddedBlob& blob : platform::embeddedPayload().blobs) {
    if (blob.id == id) return {reinterpret_cast<const char*>(blob.data), blob.size};
  }
  return {};
}

// A fresh environment per input: files in memory, fake registry and
// debugger channel, and the payload blob |blobId| as its only resource.
struct MemoryHost {
  explicit MemoryHost(int blobId, const std::string& blobBytes) {
    env.fakeResources().addBlob(blobId, blobBytes);
  }

  testsupport::MemoryFileSystem files;
  testsupport::TestEnv env{files};
};

}  // namespace fuzz
