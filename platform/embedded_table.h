// The payload table the build embeds into the program (POSIX build).
//
// cmake/EmbedPayload.cmake reads a manifest (payload/manifest.tsv for the
// product) and generates, for one library, the blob bytes (assembler
// .incbin, read-only data) and a C++ accessor returning this table. The
// product's accessor is platform::embeddedPayload(), defined by the library
// okm_payload; a test may embed a manifest of its own under another accessor
// name, declared with the same signature.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace platform {

// One blob: |size| bytes at |data|, which stay valid for the whole run.
struct EmbeddedBlob {
  int id;
  const std::uint8_t* data;
  std::size_t size;
};

// One entry of the string table, UTF-8.
struct EmbeddedString {
  int id;
  std::string_view text;
};

// Blobs and strings in manifest order; ids are unique within each list
// (the build refuses a manifest with a repeated id).
struct EmbeddedTable {
  std::span<const EmbeddedBlob> blobs;
  std::span<const EmbeddedString> strings;
};

// The product's table, generated from payload/manifest.tsv.
const EmbeddedTable& embeddedPayload();

}  // namespace platform
