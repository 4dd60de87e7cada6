// Shared set-up of the installer driver's tests: a scratch folder, a
// registered host, and the string table and blobs the payload table needs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/testing/fake_registry.h"
#include "platform/testing/fake_resources.h"

namespace app::testing {

// A fresh, empty folder below the system's temporary folder, removed with
// everything in it when the object goes away.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Loads the string table of the installer's payload table: the
// device folder, the three profile folders, the device file names and the
// fifty profile paths.
void addPayloadStrings(platform::testing::FakeResources& resources);

// Registers a host in the local-machine hive with |installPath|.
void registerHost(platform::testing::FakeRegistry& registry, const std::string& installPath);

// Small distinct blobs for every payload id (130 to 193 but 140).
void addSmallBlobs(platform::testing::FakeResources& resources);

// Reads a whole file, or "<missing>" when it cannot be read.
std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& content);

}  // namespace app::testing
