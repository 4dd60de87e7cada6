// The committed payload in the source tree, and reading whole files.
#pragma once

#include <filesystem>
#include <string>

#include "testsupport/scratch_dir.h"

namespace testsupport {

// The four device-series documents of the payload.
inline constexpr const char* kPayloadNames[] = {"ostrand_km.dsr", "ostrand_km_300.dsr",
                                                "ostrand_km_lx.dsr", "ostrand_km_300_lx.dsr"};

// payload/ of the source tree (set by the build).
inline std::filesystem::path payloadDir() { return OKM_PAYLOAD_DIR; }

// The whole file as bytes; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& path) {
  return ScratchDir::read(path.string());
}

// The bytes of payload/blobs/|name|.
inline std::string payloadText(const std::string& name) {
  return readFile(payloadDir() / "blobs" / name);
}

}  // namespace testsupport
