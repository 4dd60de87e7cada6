// Test set-up helpers of the payload tests: where the committed payload is
// and how to read one of its files.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace payloadgen::testing {

// payload/ of the source tree (set by the build).
inline std::filesystem::path payloadDir() { return OKM_PAYLOAD_DIR; }

// The whole file as bytes; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::ifstream in(path, std::ios::binary);
  if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return {};
  return bytes;
}

}  // namespace payloadgen::testing
