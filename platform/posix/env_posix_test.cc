#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/embedded_table.h"
#include "platform/env.h"
#include "testsupport/scratch_dir.h"

namespace platform::posix {
namespace {

using testsupport::ScratchDir;

// The only test of this program that calls Env::Default(): the prefix is read
// once, on first use.
TEST(EnvDefault, WiresThePrefixOfWineprefix) {
  ScratchDir prefix;
  prefix.write("system.reg", "WINE REGISTRY Version 2\n[Software\\\\Harvel] 1\n");
  prefix.mkdirs("dosdevices/c:/Host");
  ::setenv("WINEPREFIX", prefix.path().c_str(), 1);
  Env& env = Env::Default();
  ::unsetenv("WINEPREFIX");

  RegKey key = 0;
  ASSERT_EQ(env.registry().openKey(Hive::kLocalMachine, "Software\\Harvel", &key), kOk);
  env.registry().closeKey(key);

  std::uint32_t attributes = 0;
  EXPECT_EQ(env.files().getAttributes("C:\\host", &attributes), kOk);
  EXPECT_EQ(attributes, kAttrDirectory);

  // The product's table, whatever the manifest holds today.
  for (const EmbeddedBlob& blob : embeddedPayload().blobs) {
    EXPECT_TRUE(env.resources().hasBlob(blob.id));
    EXPECT_EQ(env.resources().blobSize(blob.id), blob.size);
  }
  EXPECT_EQ(&Env::Default(), &env);
}

}  // namespace
}  // namespace platform::posix
