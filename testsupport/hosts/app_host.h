// Shared set-up of the installer driver's tests: a registered host, and the
// string table and blobs the payload table needs.
#pragma once

#include <string>

#include "testsupport/fake_registry.h"
#include "testsupport/fake_resources.h"

namespace testsupport {

// Loads the string table of the installer's payload table: the
// device folder, the three profile folders, the device file names and the
// fifty profile paths.
void addPayloadStrings(testsupport::FakeResources& resources);

// Registers a host in the local-machine hive with |installPath|.
void registerHost(testsupport::FakeRegistry& registry, const std::string& installPath);

// Small distinct blobs for every payload id (130 to 193 but 140).
void addSmallBlobs(testsupport::FakeResources& resources);

}  // namespace testsupport
