#include "testsupport/fake_registry.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

namespace testsupport {
namespace {

constexpr char kKey[] = "Software\\Vendor\\Product";

class FakeRegistryQuery : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.setString(platform::Hive::kLocalMachine, kKey, "Path", "abc");
    ASSERT_EQ(registry.openKey(platform::Hive::kLocalMachine, kKey, &key), platform::kOk);
  }
  void TearDown() override { registry.closeKey(key); }

  FakeRegistry registry;
  platform::RegKey key = 0;
};

TEST_F(FakeRegistryQuery, CopiesTheValueWithItsNulAndReportsTypeAndSize) {
  std::array<std::uint8_t, 8> buffer{};
  std::uint32_t size = buffer.size();
  platform::RegType type = platform::kRegNone;
  ASSERT_EQ(registry.queryValue(key, "PATH", &type, buffer.data(), &size), platform::kOk);
  EXPECT_EQ(type, platform::kRegSz);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data()), size), std::string("abc\0", 4));
}

TEST_F(FakeRegistryQuery, ValueThatFillsTheBufferExactlyFits) {
  std::array<std::uint8_t, 4> buffer{};
  std::uint32_t size = buffer.size();
  EXPECT_EQ(registry.queryValue(key, "Path", nullptr, buffer.data(), &size), platform::kOk);
  EXPECT_EQ(size, 4u);
}

TEST_F(FakeRegistryQuery, LargerValueAsksForMoreWithoutWritingBeyondTheBuffer) {
  std::array<std::uint8_t, 4> buffer{0xEE, 0xEE, 0xEE, 0xEE};
  std::uint32_t size = 3;
  EXPECT_EQ(registry.queryValue(key, "Path", nullptr, buffer.data(), &size), platform::kMoreData);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(buffer[3], 0xEE);
}

TEST_F(FakeRegistryQuery, NullDataAsksForTypeAndSizeOnly) {
  std::uint32_t size = 0;
  platform::RegType type = platform::kRegNone;
  EXPECT_EQ(registry.queryValue(key, "Path", &type, nullptr, &size), platform::kOk);
  EXPECT_EQ(type, platform::kRegSz);
  EXPECT_EQ(size, 4u);
}

TEST_F(FakeRegistryQuery, MissingAndFailingValues) {
  std::array<std::uint8_t, 8> buffer{};
  std::uint32_t size = buffer.size();
  EXPECT_EQ(registry.queryValue(key, "Other", nullptr, buffer.data(), &size),
            platform::kFileNotFound);
  registry.failValue(platform::Hive::kLocalMachine, kKey, "Path", platform::kAccessDenied);
  EXPECT_EQ(registry.queryValue(key, "Path", nullptr, buffer.data(), &size),
            platform::kAccessDenied);
}

TEST(FakeRegistry, KeysAreCaseInsensitiveAndImplyTheirParents) {
  FakeRegistry registry;
  registry.addKey(platform::Hive::kCurrentUser, kKey);
  platform::RegKey key = 0;
  EXPECT_EQ(registry.openKey(platform::Hive::kCurrentUser, "software\\VENDOR", &key),
            platform::kOk);
  registry.closeKey(key);
  EXPECT_EQ(registry.openKey(platform::Hive::kLocalMachine, kKey, &key), platform::kFileNotFound);
  EXPECT_EQ(registry.openKeyCount(), 0);
  registry.closeKey(key);
  EXPECT_EQ(registry.strayCloseCount(), 1);
}

}  // namespace
}  // namespace testsupport
