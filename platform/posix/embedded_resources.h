// platform::Resources over a table that the build embedded into the program
// (see platform/embedded_table.h). Blobs are served in place, without
// copying; a blob of size zero has valid (empty) data.
#pragma once

#include <map>
#include <string_view>

#include "platform/embedded_table.h"
#include "platform/resources.h"

namespace platform::posix {

class EmbeddedResources : public Resources {
 public:
  // |table| must outlive this object (generated tables live for the run).
  explicit EmbeddedResources(const EmbeddedTable& table);

  bool hasBlob(int id) override;
  const std::uint8_t* blobData(int id) override;
  std::size_t blobSize(int id) override;
  bool loadString(int id, std::string* text) override;

 private:
  std::map<int, const EmbeddedBlob*> blobs_;
  std::map<int, std::string_view> strings_;
};

}  // namespace platform::posix
