#include "testsupport/fake_resources.h"

namespace testsupport {

void FakeResources::addBlob(int id, std::vector<std::uint8_t> bytes) {
  Blob blob;
  blob.reportedSize = bytes.size();
  blob.bytes = std::move(bytes);
  // Keep storage behind an empty blob so that its data pointer is not null:
  // a blob of size zero still has data that can be obtained. Only an empty
  // one needs it, and GCC 12's LTO misreads a reserve after the move.
  if (blob.bytes.empty()) blob.bytes.reserve(1);
  blobs_[id] = std::move(blob);
}

void FakeResources::addBlob(int id, const std::string& text) {
  addBlob(id, std::vector<std::uint8_t>(text.begin(), text.end()));
}

void FakeResources::addUnobtainableBlob(int id, std::size_t size) {
  Blob blob;
  blob.obtainable = false;
  blob.reportedSize = size;
  blobs_[id] = std::move(blob);
}

void FakeResources::removeBlob(int id) { blobs_.erase(id); }

void FakeResources::setString(int id, std::string text) { strings_[id] = std::move(text); }

void FakeResources::removeString(int id) { strings_.erase(id); }

std::string FakeResources::blobText(int id) const {
  const auto found = blobs_.find(id);
  if (found == blobs_.end()) return {};
  return std::string(found->second.bytes.begin(), found->second.bytes.end());
}

bool FakeResources::hasBlob(int id) { return blobs_.count(id) != 0; }

const std::uint8_t* FakeResources::blobData(int id) {
  const auto found = blobs_.find(id);
  if (found == blobs_.end() || !found->second.obtainable) return nullptr;
  return found->second.bytes.data();
}

std::size_t FakeResources::blobSize(int id) {
  const auto found = blobs_.find(id);
  return found == blobs_.end() ? 0 : found->second.reportedSize;
}

bool FakeResources::loadString(int id, std::string* text) {
  const auto found = strings_.find(id);
  if (found == strings_.end()) return false;
  *text = found->second;
  return true;
}

}  // namespace testsupport
