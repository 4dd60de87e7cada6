#include "platform/posix/wine_registry.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include "testsupport/scratch_dir.h"

namespace platform::posix {
namespace {

using testsupport::ScratchDir;

constexpr std::uint32_t kBuffer = 1024;
constexpr std::uint8_t kGuard = 0xA5;

class WineRegistryTest : public ::testing::Test {
 protected:
  void writeHive(const std::string& file, const std::string& body) {
    scratch_.write(file, "WINE REGISTRY Version 2\n;; written by the test\n\n" + body);
  }

  // Opens |subkey|, queries |name| into a 1024-byte buffer followed by a
  // guard byte, closes the key and checks the guard.
  Error query(Hive hive, const std::string& subkey, const std::string& name, RegType* type,
              std::uint32_t* size) {
    RegKey key = 0;
    Error error = registry_.openKey(hive, subkey, &key);
    if (error != kOk) return error;
    buffer_.assign(kBuffer + 1, 0xEE);
    buffer_[kBuffer] = kGuard;
    *size = kBuffer;
    error = registry_.queryValue(key, name, type, buffer_.data(), size);
    registry_.closeKey(key);
    EXPECT_EQ(buffer_[kBuffer], kGuard) << "written past the buffer";
    return error;
  }

  ScratchDir scratch_;
  WineRegistry registry_{scratch_.path()};
  std::vector<std::uint8_t> buffer_;
};

TEST_F(WineRegistryTest, HivesComeFromTheirFiles) {
  writeHive("system.reg",
            "[Software\\\\Classes\\\\Msxml2.DOMDocument.4.0\\\\CLSID] 1\n@=\"{88d969c0}\"\n"
            "[Software\\\\Only\\\\Machine] 1\n");
  writeHive("user.reg", "[Software\\\\Only\\\\User] 1\n");
  RegKey key = 0;
  EXPECT_EQ(registry_.openKey(Hive::kLocalMachine, "Software\\Only\\Machine", &key), kOk);
  registry_.closeKey(key);
  EXPECT_EQ(registry_.openKey(Hive::kLocalMachine, "Software\\Only\\User", &key), kFileNotFound);
  EXPECT_EQ(registry_.openKey(Hive::kCurrentUser, "Software\\Only\\User", &key), kOk);
  registry_.closeKey(key);
  EXPECT_EQ(registry_.openKey(Hive::kCurrentUser, "Software\\Only\\Machine", &key), kFileNotFound);

  // HKEY_CLASSES_ROOT is the machine's Software\Classes.
  RegType type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(query(Hive::kClassesRoot, "msxml2.domdocument.4.0\\clsid", "", &type, &size), kOk);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer_.data())), "{88d969c0}");
}

TEST_F(WineRegistryTest, MissingFileIsAnEmptyHive) {
  RegKey key = 0;
  EXPECT_EQ(registry_.openKey(Hive::kCurrentUser, "Software", &key), kFileNotFound);
  EXPECT_EQ(registry_.openKey(Hive::kCurrentUser, "", &key), kOk);  // the root always exists
  registry_.closeKey(key);
  EXPECT_EQ(registry_.openKey(Hive::kClassesRoot, "", &key), kOk);
  registry_.closeKey(key);
  EXPECT_EQ(registry_.openKey(Hive::kClassesRoot, "Msxml2.DOMDocument.4.0", &key), kFileNotFound);
}

TEST_F(WineRegistryTest, HiveThatIsNoRegularFileIsEmptyAndNeverWaitedFor) {
  ASSERT_EQ(::mkfifo((scratch_ / "system.reg").c_str(), 0600), 0);
  ASSERT_EQ(::mkdir((scratch_ / "user.reg").c_str(), 0700), 0);
  auto opened = std::async(std::launch::async, [this] {
    RegKey key = 0;
    return registry_.openKey(Hive::kLocalMachine, "Software", &key) == kFileNotFound &&
           registry_.openKey(Hive::kCurrentUser, "Software", &key) == kFileNotFound;
  });
  if (opened.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    ADD_FAILURE() << "waits for a writer of the FIFO";
    std::ofstream((scratch_ / "system.reg").c_str()) << "\n";  // let it go on
  }
  EXPECT_TRUE(opened.get());
}

TEST_F(WineRegistryTest, DeepKeyAndItsAncestorsOpen) {
  std::string section = "Software";
  std::string path = "Software";
  for (int depth = 0; depth < 200000; ++depth) {
    section += "\\\\k";
    path += "\\k";
  }
  writeHive("system.reg", "[" + section + "] 1\n\"V\"=\"deep\"\n");
  RegType type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(query(Hive::kLocalMachine, path, "v", &type, &size), kOk);
  EXPECT_EQ(size, 5u);
  RegKey key = 0;
  ASSERT_EQ(registry_.openKey(Hive::kLocalMachine, path.substr(0, 100000), &key), kOk);
  registry_.closeKey(key);
  EXPECT_EQ(registry_.openKey(Hive::kLocalMachine, path + "\\k", &key), kFileNotFound);
}

TEST_F(WineRegistryTest, HiveIsReadOnFirstUseAndKept) {
  writeHive("system.reg", "[Software\\\\Late] 1\n");  // after construction, before use
  RegKey key = 0;
  EXPECT_EQ(registry_.openKey(Hive::kLocalMachine, "SOFTWARE\\late", &key), kOk);
  registry_.closeKey(key);
  writeHive("system.reg", "[Software\\\\Later] 1\n");
  EXPECT_EQ(registry_.openKey(Hive::kLocalMachine, "Software\\Later", &key), kFileNotFound);
  EXPECT_EQ(registry_.openKey(Hive::kLocalMachine, "Software\\Late", &key), kOk);
  registry_.closeKey(key);
}

TEST_F(WineRegistryTest, BufferSizeBoundaries) {
  const std::string fits(1023, 'a');
  const std::string tooLong(1024, 'b');
  std::string unterminatedHex;  // 512 characters of UTF-16LE text without a NUL
  for (int i = 0; i < 512; ++i) unterminatedHex += i == 0 ? "63,00" : ",63,00";
  writeHive("system.reg", "[K] 1\n\"Fits\"=\"" + fits + "\"\n\"TooLong\"=\"" + tooLong +
                              "\"\n\"Unterminated\"=hex(1):" + unterminatedHex + "\n");
  RegType type = 0;
  std::uint32_t size = 0;

  // 1023 characters and their NUL fill the buffer exactly.
  ASSERT_EQ(query(Hive::kLocalMachine, "K", "Fits", &type, &size), kOk);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, 1024u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer_.data())), fits);

  // 1024 characters need 1025 bytes.
  EXPECT_EQ(query(Hive::kLocalMachine, "K", "TooLong", &type, &size), kMoreData);
  EXPECT_EQ(size, 1025u);
  EXPECT_EQ(type, kRegSz);

  // A 512-character string stored without NUL is 512 UTF-8 bytes: room for
  // the NUL, which Windows writes without counting it.
  ASSERT_EQ(query(Hive::kLocalMachine, "K", "Unterminated", &type, &size), kOk);
  EXPECT_EQ(size, 512u);
  EXPECT_EQ(buffer_[511], 'c');
  EXPECT_EQ(buffer_[512], 0);
}

TEST_F(WineRegistryTest, ValueOfExactlyTheBufferSizeIsTakenWhole) {
  std::string hex;
  for (int i = 0; i < 1024; ++i) {
    if (i != 0) hex += ',';
    hex += i % 2 ? "7a" : "79";
  }
  writeHive("system.reg", "[K] 1\n\"Binary\"=hex:" + hex + "\n\"Text\"=hex(1):" + hex + "\n");
  RegType type = 0;
  std::uint32_t size = 0;
  ASSERT_EQ(query(Hive::kLocalMachine, "K", "Binary", &type, &size), kOk);
  EXPECT_EQ(type, kRegBinary);
  EXPECT_EQ(size, 1024u);
  EXPECT_EQ(buffer_[1023], 0x7a);
  // 512 units of U+7A79 are 1536 UTF-8 bytes: too large, with the size needed.
  EXPECT_EQ(query(Hive::kLocalMachine, "K", "Text", &type, &size), kMoreData);
  EXPECT_EQ(size, 1536u);
}

TEST_F(WineRegistryTest, TypesAndBytesAreKeptApart) {
  writeHive("user.reg",
            "[Software\\\\Harvel\\\\Harvel Rastella Dual\\\\User] 1\n"
            "\"Language\"=dword:12345678\n"
            "\"InkConfig\"=str(2):\"%HOME%\"\n"
            "\"Model\"=\"KM\"\n");
  const std::string key = "software\\HARVEL\\harvel rastella dual\\user";
  RegType type = 0;
  std::uint32_t size = 0;
  ASSERT_EQ(query(Hive::kCurrentUser, key, "LANGUAGE", &type, &size), kOk);
  EXPECT_EQ(type, kRegDword);
  ASSERT_EQ(size, 4u);
  EXPECT_EQ(buffer_[0], 0x78);  // little-endian
  EXPECT_EQ(buffer_[3], 0x12);
  ASSERT_EQ(query(Hive::kCurrentUser, key, "inkconfig", &type, &size), kOk);
  EXPECT_EQ(type, kRegExpandSz);  // never expanded
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer_.data())), "%HOME%");
  ASSERT_EQ(query(Hive::kCurrentUser, key, "Model", &type, &size), kOk);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(query(Hive::kCurrentUser, key, "Missing", &type, &size), kFileNotFound);
}

TEST_F(WineRegistryTest, SizeAndTypeOnlyQueriesAndHandles) {
  writeHive("system.reg", "[K] 1\n\"V\"=\"abc\"\n");
  RegKey key = 0;
  ASSERT_EQ(registry_.openKey(Hive::kLocalMachine, "k", &key), kOk);
  RegType type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(registry_.queryValue(key, "v", &type, nullptr, &size), kOk);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(registry_.queryValue(key, "v", nullptr, nullptr, nullptr), kOk);
  std::uint8_t small[2] = {};
  EXPECT_EQ(registry_.queryValue(key, "v", nullptr, small, nullptr), kInvalidParameter);
  size = sizeof small;
  EXPECT_EQ(registry_.queryValue(key, "v", nullptr, small, &size), kMoreData);
  EXPECT_EQ(size, 4u);
  registry_.closeKey(key);
  EXPECT_EQ(registry_.queryValue(key, "v", &type, nullptr, &size), kInvalidHandle);
}

}  // namespace
}  // namespace platform::posix
