#include "platform/win32/win32_registry.h"

#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/wide.h"

namespace platform::win32 {
namespace {

constexpr std::uint32_t kBuffer = 1024;
constexpr std::uint8_t kGuard = 0xA5;
const std::wstring kTestRoot = L"Software\\OkmTest";

// Writes the test's values below HKEY_CURRENT_USER\Software\OkmTest\<process
// id> (tests may run in parallel processes) and removes them afterwards.
class Win32RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, toWide(subkey_).c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &key_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    ::RegCloseKey(key_);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, toWide(subkey_).c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kTestRoot.c_str());  // only when no other test uses it
  }

  // Stores |utf8| as UTF-16, with its NUL or without. The registry counts
  // a NUL that follows the given bytes in (as Windows does), so an
  // unterminated text is stored from a buffer that goes on after it.
  void setText(const std::string& name, const std::string& utf8, DWORD type = REG_SZ,
               bool terminated = true) {
    const std::wstring text = toWide(utf8) + (terminated ? L"" : L"!");
    const auto units = terminated ? text.size() + 1 : text.size() - 1;
    setRaw(name, type, text.c_str(), static_cast<DWORD>(units * sizeof(wchar_t)));
  }
  void setRaw(const std::string& name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(
        ::RegSetValueExW(key_, toWide(name).c_str(), 0, type, static_cast<const BYTE*>(data), size),
        ERROR_SUCCESS);
  }

  // Queries |name| into a 1024-byte buffer followed by a guard byte and
  // checks the guard.
  Error query(const std::string& name, RegType* type, std::uint32_t* size) {
    RegKey key = 0;
    Error error = registry_.openKey(Hive::kCurrentUser, subkey_, &key);
    if (error != kOk) return error;
    buffer_.assign(kBuffer + 1, 0xEE);
    buffer_[kBuffer] = kGuard;
    *size = kBuffer;
    error = registry_.queryValue(key, name, type, buffer_.data(), size);
    registry_.closeKey(key);
    EXPECT_EQ(buffer_[kBuffer], kGuard) << "written past the buffer";
    return error;
  }
  std::string bufferText(std::uint32_t size) const {
    return std::string(reinterpret_cast<const char*>(buffer_.data()), size);
  }

  const std::string subkey_ =
      "Software\\OkmTest\\Härvel " + std::to_string(::GetCurrentProcessId());
  HKEY key_ = nullptr;
  Win32Registry registry_;
  std::vector<std::uint8_t> buffer_;
};

TEST_F(Win32RegistryTest, KeysOpenByAnyCaseAndIgnoreEmptyComponents) {
  const struct {
    Hive hive;
    std::string subkey;
    Error expected;
  } cases[] = {
      {Hive::kCurrentUser, subkey_, kOk},
      {Hive::kCurrentUser, "SOFTWARE\\okmtest", kOk},
      {Hive::kCurrentUser, "\\Software\\\\OkmTest\\", kOk},
      {Hive::kCurrentUser, "Software\\OkmTest\\Missing", kFileNotFound},
      {Hive::kCurrentUser, "", kOk},  // the hive's root
      {Hive::kLocalMachine, "Software", kOk},
      {Hive::kLocalMachine, "Software\\OkmTest\\Missing", kFileNotFound},
      {Hive::kClassesRoot, "", kOk},
  };
  for (const auto& c : cases) {
    RegKey key = 0;
    EXPECT_EQ(registry_.openKey(c.hive, c.subkey, &key), c.expected) << c.subkey;
    if (c.expected == kOk) {
      EXPECT_NE(key, 0u);
      registry_.closeKey(key);
    }
  }
}

TEST_F(Win32RegistryTest, BufferContractCountsUtf8Bytes) {
  setText("Fits", std::string(1023, 'a'));
  setText("TooLong", std::string(1024, 'b'));
  setText("Unterminated", std::string(512, 'c'), REG_SZ, false);
  std::string sun;  // U+65E5: 2 bytes in UTF-16, 3 in UTF-8
  for (int i = 0; i < 341; ++i) sun += "日";
  setText("SunFits", sun);
  setText("SunTooLong", sun + "日");
  std::vector<std::uint8_t> binary(1024, 0x7a);
  setRaw("Binary", REG_BINARY, binary.data(), 1024);
  std::string cjk;  // 512 units of U+7A79: 1024 bytes stored without NUL, 1536 in UTF-8
  for (int i = 0; i < 512; ++i) cjk += "\xe7\xa9\xb9";
  setText("Cjk", cjk, REG_SZ, false);

  const struct {
    const char* name;
    Error expected;
    RegType type;
    std::uint32_t size;
  } cases[] = {
      {"Fits", kOk, kRegSz, 1024},  // 1023 characters and their NUL fill it exactly
      {"TooLong", kMoreData, kRegSz, 1025},
      {"Unterminated", kOk, kRegSz, 512},     // the NUL is written after, not counted
      {"SunFits", kOk, kRegSz, 341 * 3 + 1},  // 684 bytes stored, 1024 as UTF-8
      {"SunTooLong", kMoreData, kRegSz, 342 * 3 + 1},
      {"Binary", kOk, kRegBinary, 1024},
      {"Cjk", kMoreData, kRegSz, 1536},  // 1024 bytes stored, too large as UTF-8
  };
  for (const auto& c : cases) {
    RegType type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(query(c.name, &type, &size), c.expected) << c.name;
    EXPECT_EQ(type, c.type) << c.name;
    EXPECT_EQ(size, c.size) << c.name;
  }
  std::uint32_t size = 0;
  ASSERT_EQ(query("Unterminated", nullptr, &size), kOk);
  EXPECT_EQ(bufferText(513), std::string(512, 'c') + '\0');
}

TEST_F(Win32RegistryTest, TextsAreUtf8AndOtherTypesRawBytes) {
  const std::uint32_t number = 0x12345678;
  setRaw("Language", REG_DWORD, &number, sizeof number);
  setText("InkConfig", "%HOME%", REG_EXPAND_SZ);
  setText("Model", "Härvel 日本 😀");
  setRaw("List", REG_MULTI_SZ, L"a\0\u00fc\0", 10);
  const struct {
    const char* name;
    RegType type;
    std::string bytes;
  } cases[] = {
      {"LANGUAGE", kRegDword, "\x78\x56\x34\x12"},  // names match without regard to case
      {"inkconfig", kRegExpandSz, std::string("%HOME%\0", 7)},  // never expanded
      {"Model", kRegSz, std::string("Härvel 日本 😀") + '\0'},
      {"List", kRegMultiSz, std::string("a\0\xc3\xbc\0\0", 6)},
  };
  for (const auto& c : cases) {
    RegType type = 0;
    std::uint32_t size = 0;
    ASSERT_EQ(query(c.name, &type, &size), kOk) << c.name;
    EXPECT_EQ(type, c.type) << c.name;
    EXPECT_EQ(bufferText(size), c.bytes) << c.name;
  }
  RegType type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(query("Missing", &type, &size), kFileNotFound);
}

TEST_F(Win32RegistryTest, SizeAndTypeOnlyQueriesAndHandles) {
  setText("V", "äbc");
  RegKey key = 0;
  ASSERT_EQ(registry_.openKey(Hive::kCurrentUser, subkey_, &key), kOk);
  RegType type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(registry_.queryValue(key, "v", &type, nullptr, &size), kOk);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(registry_.queryValue(key, "v", nullptr, nullptr, nullptr), kOk);
  std::uint8_t small[2] = {0xEE, 0xEE};
  EXPECT_EQ(registry_.queryValue(key, "v", nullptr, small, nullptr), kInvalidParameter);
  size = 1;
  EXPECT_EQ(registry_.queryValue(key, "v", nullptr, small, &size), kMoreData);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(small[1], 0xEE);  // nothing beyond the announced size
  registry_.closeKey(key);
  EXPECT_EQ(registry_.queryValue(key, "v", &type, nullptr, &size), kInvalidHandle);
}

}  // namespace
}  // namespace platform::win32
