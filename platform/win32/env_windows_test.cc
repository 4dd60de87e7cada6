#include <gtest/gtest.h>

#include <filesystem>

#include "platform/env.h"
#include "platform/win32/wide.h"

namespace platform::win32 {
namespace {

TEST(EnvDefault, WiresTheWindowsBackends) {
  Env& env = Env::Default();
  EXPECT_EQ(&Env::Default(), &env);

  RegKey key = 0;
  ASSERT_EQ(env.registry().openKey(Hive::kCurrentUser, "Software", &key), kOk);
  env.registry().closeKey(key);

  std::uint32_t attributes = 0;
  const std::string temp = fromWide(std::filesystem::temp_directory_path().wstring());
  EXPECT_EQ(env.files().getAttributes(temp, &attributes), kOk);
  EXPECT_EQ(attributes, kAttrDirectory);

  // The executable's own resources: this test program's.
  EXPECT_TRUE(env.resources().hasBlob(10));

  // OutputDebugStringA cannot be read back in-process; it must take the
  // line and return.
  env.debugOutput().write("[01] C:\\Härvel\\x.bmp ( 3 Bytes ) successfly updated!\r\n");
  env.debugOutput().write("");
}

}  // namespace
}  // namespace platform::win32
