#include "app/host_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport/fake_registry.h"

namespace app {
namespace {

using platform::Hive;
using testsupport::FakeRegistry;

constexpr char kProduct[] = "Software\\Harvel\\Harvel Rastella Dual";
constexpr char kInstaller[] = "Software\\Harvel\\Harvel Rastella Dual\\Installer";
constexpr char kUser[] = "Software\\Harvel\\Harvel Rastella Dual\\User";

void registerHost(FakeRegistry& registry, Hive hive, const std::string& tag) {
  registry.setString(hive, kInstaller, "CompanyName", "Company " + tag);
  registry.setString(hive, kInstaller, "InstallPath", "C:\\Host " + tag + "\\");
  registry.setString(hive, kInstaller, "UserName", "User " + tag);
  registry.setString(hive, kUser, "InkConfig", "CMYK " + tag);
  registry.setString(hive, kUser, "Language", "English " + tag);
  registry.setString(hive, kUser, "Model", "Model " + tag);
}

// Both reads, in the order the installer makes them.
struct Reads {
  bool settingsRead = false;
  bool installRead = false;
  bool installAttempted = false;
  HostUserSettings settings;
  HostInstallRecord record;
};

Reads readBoth(FakeRegistry& registry) {
  Reads r;
  r.settingsRead = readHostUserSettings(registry, &r.settings);
  if (r.settingsRead) {
    r.installAttempted = true;
    r.installRead = readHostInstallRecord(registry, &r.record);
  }
  return r;
}

// --- The hive probe -------------------------------------------------------

TEST(HostHiveProbe, PrefersLocalMachineAndClosesTheKey) {
  FakeRegistry registry;
  registry.addKey(Hive::kLocalMachine, kProduct);
  registry.addKey(Hive::kCurrentUser, kProduct);
  EXPECT_EQ(probeHostHive(registry), kHiveSelectorLocalMachine);
  ASSERT_EQ(registry.openCalls().size(), 1u);
  EXPECT_EQ(registry.openCalls()[0], (FakeRegistry::OpenCall{Hive::kLocalMachine, kProduct}));
  EXPECT_EQ(registry.openKeyCount(), 0);
}

TEST(HostHiveProbe, FallsBackToCurrentUserThenNone) {
  FakeRegistry registry;
  EXPECT_EQ(probeHostHive(registry), kHiveSelectorNone);
  EXPECT_EQ(registry.openCalls(),
            (std::vector<FakeRegistry::OpenCall>{{Hive::kLocalMachine, kProduct},
                                                 {Hive::kCurrentUser, kProduct}}));
  registry.addKey(Hive::kCurrentUser, kProduct);
  EXPECT_EQ(probeHostHive(registry), kHiveSelectorCurrentUser);
  EXPECT_EQ(registry.openKeyCount(), 0);
}

TEST(HostHiveProbe, ASubkeyAloneMakesTheBaseKeyExist) {
  FakeRegistry registry;
  registry.addKey(Hive::kCurrentUser, kInstaller);
  EXPECT_EQ(probeHostHive(registry), kHiveSelectorCurrentUser);
}

// --- Both reads -----------------------------------------------------------

TEST(HostRecords, BothHivesRegisteredReadsLocalMachineForBoth) {
  FakeRegistry registry;
  registerHost(registry, Hive::kLocalMachine, "LM");
  registerHost(registry, Hive::kCurrentUser, "CU");
  const Reads r = readBoth(registry);
  ASSERT_TRUE(r.settingsRead);
  ASSERT_TRUE(r.installRead);
  EXPECT_EQ(r.settings.hiveSelector, kHiveSelectorLocalMachine);
  EXPECT_EQ(r.settings.inkConfig, "CMYK LM");
  EXPECT_EQ(r.settings.language, "English LM");
  EXPECT_EQ(r.settings.model, "Model LM");
  EXPECT_EQ(r.record.hiveSelector, kHiveSelectorLocalMachine);
  EXPECT_EQ(r.record.companyName, "Company LM");
  EXPECT_EQ(r.record.installPath, "C:\\Host LM\\");
  EXPECT_EQ(r.record.userName, "User LM");
  EXPECT_EQ(registry.openKeyCount(), 0);
  EXPECT_EQ(registry.strayCloseCount(), 0);
}

TEST(HostRecords, OnlyCurrentUserRegisteredReadsCurrentUserForBoth) {
  FakeRegistry registry;
  registerHost(registry, Hive::kCurrentUser, "CU");
  const Reads r = readBoth(registry);
  ASSERT_TRUE(r.settingsRead);
  ASSERT_TRUE(r.installRead);
  EXPECT_EQ(r.settings.hiveSelector, kHiveSelectorCurrentUser);
  EXPECT_EQ(r.settings.model, "Model CU");
  EXPECT_EQ(r.record.hiveSelector, kHiveSelectorCurrentUser);
  EXPECT_EQ(r.record.installPath, "C:\\Host CU\\");
}

TEST(HostRecords, UnregisteredHostFailsSettingsAndNeverOpensTheInstaller) {
  FakeRegistry registry;
  const Reads r = readBoth(registry);
  EXPECT_FALSE(r.settingsRead);
  EXPECT_FALSE(r.installAttempted);
  EXPECT_EQ(r.settings.hiveSelector, kHiveSelectorNone);
  // Only the two probe opens; no subkey was tried with selector 0.
  EXPECT_EQ(registry.openCalls().size(), 2u);
}

TEST(HostRecords, ValuesAreReadInTheirFixedOrder) {
  FakeRegistry registry;
  registerHost(registry, Hive::kLocalMachine, "LM");
  readBoth(registry);
  EXPECT_EQ(registry.queriedValues(),
            (std::vector<std::string>{"InkConfig", "Language", "Model", "CompanyName",
                                      "InstallPath", "UserName"}));
}

TEST(HostRecords, InstallerSubkeyOnlyInCurrentUserIsNotFoundThroughLocalMachine) {
  FakeRegistry registry;
  registry.setString(Hive::kLocalMachine, kUser, "InkConfig", "a");
  registry.setString(Hive::kLocalMachine, kUser, "Language", "b");
  registry.setString(Hive::kLocalMachine, kUser, "Model", "c");
  registerHost(registry, Hive::kCurrentUser, "CU");
  const Reads r = readBoth(registry);
  EXPECT_TRUE(r.settingsRead);
  EXPECT_FALSE(r.installRead);
  EXPECT_EQ(r.record.hiveSelector, kHiveSelectorLocalMachine);
  EXPECT_TRUE(r.record.installPath.empty());
  EXPECT_EQ(registry.openKeyCount(), 0);
}

// --- The installation record ----------------------------------------------

class InstallRecordRead : public ::testing::Test {
 protected:
  void SetUp() override { registerHost(registry, Hive::kLocalMachine, "LM"); }
  bool read() { return readHostInstallRecord(registry, &record); }

  FakeRegistry registry;
  HostInstallRecord record;
};

TEST_F(InstallRecordRead, ExpandableInstallPathFailsAndIsNotExpanded) {
  registry.setString(Hive::kLocalMachine, kInstaller, "InstallPath", "%ProgramFiles%\\Host\\",
                     platform::kRegExpandSz);
  EXPECT_FALSE(read());
  EXPECT_EQ(record.companyName, "Company LM");
  EXPECT_TRUE(record.installPath.empty());
  EXPECT_EQ(registry.openKeyCount(), 0);
}

TEST_F(InstallRecordRead, OnlyAnAbsoluteInstallPathIsAHost) {
  const struct {
    const char* installPath;
    bool read;
  } cases[] = {
      {"C:\\Host\\", true},  {"d:/Host/", true}, {"C:\\..\\..\\Host\\", true}, {"Host\\", false},
      {"..\\Host\\", false}, {".\\", false},     {"\\Host\\", false},          {"C:Host\\", false},
      {"C:", false},         {"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.installPath);
    registry.setString(Hive::kLocalMachine, kInstaller, "InstallPath", c.installPath);
    record = HostInstallRecord();
    EXPECT_EQ(read(), c.read);
    EXPECT_EQ(record.installPath, c.installPath);
    EXPECT_EQ(registry.openKeyCount(), 0);
  }
}

TEST_F(InstallRecordRead, DwordCompanyNameFails) {
  registry.setDword(Hive::kLocalMachine, kInstaller, "CompanyName", 0x41424344);
  EXPECT_FALSE(read());
}

TEST(InstallRecordReadPartial, MissingUserNameFailsWithTwoFieldsFilled) {
  FakeRegistry registry;
  registry.setString(Hive::kLocalMachine, kInstaller, "CompanyName", "Harvel");
  registry.setString(Hive::kLocalMachine, kInstaller, "InstallPath", "C:\\Host\\");
  HostInstallRecord record;
  EXPECT_FALSE(readHostInstallRecord(registry, &record));
  EXPECT_EQ(record.hiveSelector, kHiveSelectorLocalMachine);
  EXPECT_EQ(record.companyName, "Harvel");
  EXPECT_EQ(record.installPath, "C:\\Host\\");
  EXPECT_TRUE(record.userName.empty());
  EXPECT_EQ(registry.openKeyCount(), 0);
}

TEST_F(InstallRecordRead, UnreadableValueFailsAndClosesTheKey) {
  registry.failValue(Hive::kLocalMachine, kInstaller, "InstallPath", platform::kAccessDenied);
  EXPECT_FALSE(read());
  EXPECT_EQ(registry.openKeyCount(), 0);
  EXPECT_EQ(registry.strayCloseCount(), 0);
}

TEST_F(InstallRecordRead, ValueOverTheBufferFails) {
  registry.setString(Hive::kLocalMachine, kInstaller, "InstallPath", std::string(1024, 'p'));
  EXPECT_FALSE(read());
  EXPECT_EQ(registry.openKeyCount(), 0);
}

TEST_F(InstallRecordRead, ValueFillingTheBufferWithItsNulIsTakenWhole) {
  const std::string path = "C:\\" + std::string(1020, 'p');  // 1023 chars + NUL
  registry.setString(Hive::kLocalMachine, kInstaller, "InstallPath", path);
  ASSERT_TRUE(read());
  EXPECT_EQ(record.installPath, path);
}

TEST_F(InstallRecordRead, ValueFillingTheBufferWithoutNulIsTakenWholeAndEndsThere) {
  const std::string path = "C:\\" + std::string(1021, 'q');  // 1024 chars, no NUL
  registry.setValue(Hive::kLocalMachine, kInstaller, "InstallPath", platform::kRegSz,
                    std::vector<std::uint8_t>(path.begin(), path.end()));
  ASSERT_TRUE(read());
  EXPECT_EQ(record.installPath, path);
  EXPECT_EQ(record.installPath.size(), 1024u);
}

TEST_F(InstallRecordRead, TextEndsAtTheFirstNulAndIsKeptAsStored) {
  const std::string stored("  Harvel GmbH \0trailing", 23);
  registry.setValue(Hive::kLocalMachine, kInstaller, "CompanyName", platform::kRegSz,
                    std::vector<std::uint8_t>(stored.begin(), stored.end()));
  ASSERT_TRUE(read());
  EXPECT_EQ(record.companyName, "  Harvel GmbH ");
}

TEST_F(InstallRecordRead, EmptyValueWithoutAnyBytesGivesEmptyText) {
  registry.setValue(Hive::kLocalMachine, kInstaller, "UserName", platform::kRegSz, {});
  ASSERT_TRUE(read());
  EXPECT_EQ(record.userName, "");
}

// --- The user settings ----------------------------------------------------

class UserSettingsRead : public ::testing::Test {
 protected:
  void SetUp() override { registerHost(registry, Hive::kCurrentUser, "CU"); }
  bool read() { return readHostUserSettings(registry, &settings); }

  FakeRegistry registry;
  HostUserSettings settings;
};

TEST_F(UserSettingsRead, NumericLanguageIsTakenAsItsRawBytes) {
  registry.setDword(Hive::kCurrentUser, kUser, "Language", 0x00000409);
  ASSERT_TRUE(read());
  EXPECT_EQ(settings.language, std::string("\x09\x04"));
}

TEST_F(UserSettingsRead, AnyTypeIsAccepted) {
  registry.setString(Hive::kCurrentUser, kUser, "Model", "Ostrand", platform::kRegExpandSz);
  registry.setValue(Hive::kCurrentUser, kUser, "InkConfig", platform::kRegBinary,
                    {'K', 'C', 'M', 'Y'});
  ASSERT_TRUE(read());
  EXPECT_EQ(settings.model, "Ostrand");
  EXPECT_EQ(settings.inkConfig, "KCMY");
}

TEST_F(UserSettingsRead, EachMissingValueFails) {
  for (const char* name : {"InkConfig", "Language", "Model"}) {
    FakeRegistry partial;
    for (const char* other : {"InkConfig", "Language", "Model"}) {
      if (std::string(other) != name) partial.setString(Hive::kCurrentUser, kUser, other, "x");
    }
    HostUserSettings s;
    EXPECT_FALSE(readHostUserSettings(partial, &s)) << name;
    EXPECT_EQ(partial.openKeyCount(), 0) << name;
  }
}

TEST_F(UserSettingsRead, OversizedBinaryValueFails) {
  registry.setValue(Hive::kCurrentUser, kUser, "Model", platform::kRegBinary,
                    std::vector<std::uint8_t>(1025, 'm'));
  EXPECT_FALSE(read());
  EXPECT_EQ(registry.openKeyCount(), 0);
}

TEST_F(UserSettingsRead, MissingUserSubkeyFails) {
  FakeRegistry installerOnly;
  installerOnly.setString(Hive::kLocalMachine, kInstaller, "CompanyName", "c");
  HostUserSettings s;
  EXPECT_FALSE(readHostUserSettings(installerOnly, &s));
  EXPECT_EQ(s.hiveSelector, kHiveSelectorLocalMachine);
}

}  // namespace
}  // namespace app
