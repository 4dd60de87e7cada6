#include "platform/posix/embedded_resources.h"

namespace platform::posix {

EmbeddedResources::EmbeddedResources(const EmbeddedTable& table) {
  // emplace keeps the first entry of an id; the build already refuses
  // repeated ids, so this only matters for hand-made tables.
  for (const EmbeddedBlob& blob : table.blobs) blobs_.emplace(blob.id, &blob);
  for (const EmbeddedString& entry : table.strings) strings_.emplace(entry.id, entry.text);
}

bool EmbeddedResources::hasBlob(int id) { return blobs_.contains(id); }

const std::uint8_t* EmbeddedResources::blobData(int id) {
  const auto found = blobs_.find(id);
  return found == blobs_.end() ? nullptr : found->second->data;
}

std::size_t EmbeddedResources::blobSize(int id) {
  const auto found = blobs_.find(id);
  return found == blobs_.end() ? 0 : found->second->size;
}

bool EmbeddedResources::loadString(int id, std::string* text) {
  const auto found = strings_.find(id);
  if (found == strings_.end()) return false;
  if (text != nullptr) text->assign(found->second);
  return true;
}

}  // namespace platform::posix
