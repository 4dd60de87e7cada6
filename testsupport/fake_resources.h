// In-memory executable resources for tests: blobs and strings by id.
//
// Besides ordinary blobs it can stand for the two broken cases the loader
// must survive: a blob that exists but whose data cannot be obtained, and a
// blob of size zero.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/resources.h"

namespace testsupport {

class FakeResources : public platform::Resources {
 public:
  // A blob with exactly |bytes| (which may be empty: a blob of size zero).
  void addBlob(int id, std::vector<std::uint8_t> bytes);
  void addBlob(int id, const std::string& text);

  // A blob that exists, reports |size|, but yields no data.
  void addUnobtainableBlob(int id, std::size_t size = 16);

  void removeBlob(int id);

  void setString(int id, std::string text);
  void removeString(int id);

  // The bytes of blob |id| as text (empty when there is no such blob).
  std::string blobText(int id) const;

  // Resources
  bool hasBlob(int id) override;
  const std::uint8_t* blobData(int id) override;
  std::size_t blobSize(int id) override;
  bool loadString(int id, std::string* text) override;

 private:
  struct Blob {
    std::vector<std::uint8_t> bytes;
    bool obtainable = true;
    std::size_t reportedSize = 0;
  };
  std::map<int, Blob> blobs_;
  std::map<int, std::string> strings_;
};

}  // namespace testsupport
