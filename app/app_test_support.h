// Shared set-up of the installer driver's tests: a registered host, and the
// string table and blobs the payload table needs.
#pragma once

#include <string>

#include "platform/testing/fake_registry.h"
#include "platform/testing/fake_resources.h"

namespace app::testing {

// Loads the string table of the installer's payload table: the
// device folder, the three profile folders, the device file names and the
// fifty profile paths.
void addPayloadStrings(platform::testing::FakeResources& resources);

// Registers a host in the local-machine hive with |installPath|.
void registerHost(platform::testing::FakeRegistry& registry, const std::string& installPath);

// Small distinct blobs for every payload id (130 to 193 but 140).
void addSmallBlobs(platform::testing::FakeResources& resources);

}  // namespace app::testing
