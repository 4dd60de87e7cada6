#include "app/ostrand_km_app.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/host_records.h"
#include "app/progress_log.h"
#include "testsupport/fault_file_system.h"
#include "testsupport/hosts/app_host.h"
#include "testsupport/scratch_dir.h"
#include "testsupport/test_env.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace app {
namespace {

namespace fs = std::filesystem;
using testsupport::ScratchDir;
using testsupport::TestEnv;

std::string numbered(int number, const std::string& rest) {
  char tag[16];
  std::snprintf(tag, sizeof tag, "[%02d] ", number);
  return tag + rest;
}

std::string updatedLine(int number, const std::string& path, int blobId) {
  return numbered(number, path + " ( " + std::to_string(("blob " + std::to_string(blobId)).size()) +
                              " Bytes ) successfly updated!\r\n");
}

class InitInstanceTest : public ::testing::Test {
 protected:
  InitInstanceTest() : env(scratch.path()) {}

  void SetUp() override {
    scratch.mkdirs("Host/Rastella/Device");
    scratch.mkdirs("Host/Profiles");
    testsupport::addPayloadStrings(env.fakeResources());
    testsupport::addSmallBlobs(env.fakeResources());
  }

  // The install folder as the registry holds it: the Windows path of the
  // native folder, Windows separator at the end.
  std::string installPath() const { return testsupport::windowsPathOf(host) + "\\"; }
  void registerHost() { testsupport::registerHost(env.fakeRegistry(), installPath()); }

  // Runs the start-up hook with an updater that records its calls, marks
  // them among the progress lines and answers |updaterDeploys|; returns the
  // exit code the run ends with.
  int run() {
    COstrandKMApp app(env, [this](platform::Env& e, const std::string& path, int blobId) {
      updates.push_back({path, blobId});
      e.debugOutput().write("update " + path + " " + std::to_string(blobId));
      return updaterDeploys;
    });
    EXPECT_TRUE(app.InitInstance());
    return app.ExitInstance();
  }

  std::string devicePath(const std::string& name) const {
    return installPath() + "Rastella\\Device\\" + name;
  }
  // The full path of |relative| in the host folder, and a file written there.
  std::string at(const std::string& relative) const { return host + "/" + relative; }
  std::string deviceFile(const std::string& name) const { return at("Rastella/Device/" + name); }
  void writeAt(const std::string& relative, const std::string& bytes) {
    scratch.write("Host/" + relative, bytes);
  }

  // The target paths of steps 1 to 9 and 13 to 62 with their blob ids.
  std::vector<std::pair<std::string, int>> writtenTargets() {
    std::vector<std::pair<std::string, int>> targets;
    const char* device[] = {"Ostrand KM.bmp",     "Ostrand KM.rmt",        "Ostrand KM 300.rmt",
                            "Ostrand KM LX.rmt",  "Ostrand KM 300 LX.rmt", "Ostrand KM.pmp",
                            "Ostrand KM 300.pmp", "Ostrand KM LX.pmp",     "Ostrand KM 300 LX.pmp"};
    const int deviceBlobs[] = {138, 139, 141, 142, 143, 134, 135, 136, 137};
    targets.reserve(9 + 50);
    for (int i = 0; i < 9; ++i) targets.push_back({devicePath(device[i]), deviceBlobs[i]});
    for (int entry = 101; entry <= 150; ++entry) {
      std::string relative;
      env.fakeResources().loadString(entry, &relative);
      targets.push_back({installPath() + relative, entry + 43});
    }
    return targets;
  }

  const std::vector<std::string>& lines() { return env.output().texts(); }

  struct Update {
    std::string path;
    int blobId;
    bool operator==(const Update&) const = default;
  };

  ScratchDir scratch;
  std::string host = scratch / "Host";
  TestEnv env;
  std::vector<Update> updates;
  bool updaterDeploys = true;
};

constexpr int kDeployed = static_cast<int>(InstallOutcome::kDeployed);
constexpr int kNoHost = static_cast<int>(InstallOutcome::kNoHost);
constexpr int kNotAllDeployed = static_cast<int>(InstallOutcome::kNotAllDeployed);

TEST_F(InitInstanceTest, UnregisteredHostStopsSilently) {
  EXPECT_EQ(run(), kNoHost);
  EXPECT_TRUE(lines().empty());
  EXPECT_TRUE(fs::is_empty(at("Rastella/Device")));
  EXPECT_TRUE(fs::is_empty(at("Profiles")));
}

TEST_F(InitInstanceTest, MissingInstallationRecordStopsSilently) {
  registerHost();
  env.fakeRegistry().failValue(platform::Hive::kLocalMachine,
                               "Software\\Harvel\\Harvel Rastella Dual\\Installer", "UserName",
                               platform::kFileNotFound);
  EXPECT_EQ(run(), kNoHost);
  EXPECT_TRUE(lines().empty());
  EXPECT_TRUE(fs::is_empty(at("Rastella/Device")));
}

TEST_F(InitInstanceTest, MissingUserSettingsStopBeforeTheInstallationRecordIsRead) {
  registerHost();
  env.fakeRegistry().failValue(platform::Hive::kLocalMachine,
                               "Software\\Harvel\\Harvel Rastella Dual\\User", "Model",
                               platform::kFileNotFound);
  EXPECT_EQ(run(), kNoHost);
  EXPECT_TRUE(lines().empty());
  for (const std::string& name : env.fakeRegistry().queriedValues()) {
    EXPECT_NE(name, "InstallPath");
  }
}

TEST_F(InitInstanceTest, EmptyInstallPathStopsSilently) {
  testsupport::registerHost(env.fakeRegistry(), "");
  EXPECT_EQ(run(), kNoHost);
  EXPECT_TRUE(lines().empty());
}

TEST_F(InitInstanceTest, FreshHostGetsEveryFileInTableOrder) {
  registerHost();
  EXPECT_EQ(run(), kDeployed);

  std::vector<std::string> expected;
  int number = 1;
  for (const auto& [path, blobId] : writtenTargets()) {
    expected.push_back(updatedLine(number++, path, blobId));
  }
  const char* series[] = {"Ostrand KM 300.dsr", "Ostrand KM LX.dsr", "Ostrand KM 300 LX.dsr",
                          "Ostrand KM.dsr"};
  const int seriesBlobs[] = {131, 132, 133, 130};
  for (int i = 0; i < 4; ++i) {
    expected.push_back(updatedLine(number++, devicePath(series[i]), seriesBlobs[i]));
  }
  EXPECT_EQ(lines(), expected);
  EXPECT_TRUE(updates.empty());

  EXPECT_EQ(ScratchDir::read(deviceFile("Ostrand KM.bmp")), "blob 138");
  EXPECT_EQ(ScratchDir::read(deviceFile("Ostrand KM 300 LX.pmp")), "blob 137");
  EXPECT_EQ(ScratchDir::read(deviceFile("Ostrand KM.dsr")), "blob 130");
  EXPECT_EQ(
      ScratchDir::read(at("Profiles/Ostrand KM/Ostrand Tessel CMYK/KMLX_GenericPaper_900x900.icc")),
      "blob 193");
  EXPECT_TRUE(fs::is_directory(at("Profiles/Ostrand KM/Ostrand CMYK")));
  EXPECT_TRUE(fs::is_directory(at("Profiles/Ostrand KM/Ostrand Tessel CMYK")));
}

TEST_F(InitInstanceTest, HostWithoutProfilesFolderReportsEveryProfile) {
  fs::remove(at("Profiles"));
  registerHost();
  EXPECT_EQ(run(), kNotAllDeployed);
  ASSERT_EQ(lines().size(), 63u);
  const auto targets = writtenTargets();
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(lines()[i], updatedLine(i + 1, targets[i].first, targets[i].second));
  for (int i = 9; i < 59; ++i) {
    EXPECT_EQ(lines()[i], numbered(i + 1, targets[i].first + " error: file cannot opened.\r\n"));
  }
  EXPECT_FALSE(fs::exists(at("Profiles")));
  EXPECT_EQ(lines()[62], updatedLine(63, devicePath("Ostrand KM.dsr"), 130));
}

TEST_F(InitInstanceTest, SomethingAtAFolderPathIsNotReplacedByAFolder) {
  fs::create_directories(at("Profiles/Ostrand KM"));
  writeAt("Profiles/Ostrand KM/Ostrand CMYK", "a file, not a folder");
  registerHost();
  EXPECT_EQ(run(), kNotAllDeployed);
  EXPECT_EQ(ScratchDir::read(at("Profiles/Ostrand KM/Ostrand CMYK")), "a file, not a folder");
  // The 25 profiles of ink-set folder 1 cannot be written; folder 2 can.
  const auto targets = writtenTargets();
  EXPECT_EQ(lines()[9], numbered(10, targets[9].first + " error: file cannot opened.\r\n"));
  EXPECT_EQ(lines()[33], numbered(34, targets[33].first + " error: file cannot opened.\r\n"));
  EXPECT_EQ(lines()[34], updatedLine(35, targets[34].first, targets[34].second));
}

TEST_F(InitInstanceTest, ShortInstalledSeriesFileIsOverwritten) {
  writeAt("Rastella/Device/Ostrand KM 300.dsr", std::string(1023, 'u'));
  registerHost();
  EXPECT_EQ(run(), kDeployed);
  EXPECT_TRUE(updates.empty());
  EXPECT_EQ(ScratchDir::read(deviceFile("Ostrand KM 300.dsr")), "blob 131");
  EXPECT_EQ(lines()[59], updatedLine(60, devicePath("Ostrand KM 300.dsr"), 131));
}

TEST_F(InitInstanceTest, InstalledSeriesFileOf1024BytesGoesToTheMerge) {
  const std::string installed(1024, 'u');
  writeAt("Rastella/Device/Ostrand KM LX.dsr", installed);
  writeAt("Rastella/Device/Ostrand KM.dsr", std::string(5000, 'v'));
  registerHost();
  EXPECT_EQ(run(), kDeployed);
  EXPECT_EQ(updates, (std::vector<Update>{{devicePath("Ostrand KM LX.dsr"), 132},
                                          {devicePath("Ostrand KM.dsr"), 130}}));
  EXPECT_EQ(ScratchDir::read(deviceFile("Ostrand KM LX.dsr")), installed);
  ASSERT_EQ(lines().size(), 63u);
  EXPECT_EQ(lines()[59], updatedLine(60, devicePath("Ostrand KM 300.dsr"), 131));
  EXPECT_EQ(lines()[60], "update " + devicePath("Ostrand KM LX.dsr") + " 132");
  EXPECT_EQ(lines()[61], updatedLine(61, devicePath("Ostrand KM 300 LX.dsr"), 133));
  EXPECT_EQ(lines()[62], "update " + devicePath("Ostrand KM.dsr") + " 130");

  // A merge that leaves a file as it was is a file not deployed.
  updaterDeploys = false;
  EXPECT_EQ(run(), kNotAllDeployed);
}

TEST_F(InitInstanceTest, InstalledSeriesFileThatCannotBeExaminedIsLeftAlone) {
  // A file that is there but cannot be opened or read (no read permission,
  // locked, an I/O error) may hold the user's media: it keeps them, and its
  // line is the one a refused write gives. A folder is reported the same way.
  const std::vector<testsupport::Fault> faults = {
      testsupport::Fault::failCall(testsupport::FileOp::kRead, platform::kReadFault, 0,
                                   "Ostrand KM.dsr"),
      testsupport::Fault::failCall(testsupport::FileOp::kOpen, platform::kAccessDenied, 0,
                                   "Ostrand KM.dsr"),
      testsupport::Fault::failCall(testsupport::FileOp::kOpen, platform::kSharingViolation, 0,
                                   "Ostrand KM.dsr"),
  };
  const std::string installed(2000, 'v');
  fs::create_directory(deviceFile("Ostrand KM LX.dsr"));
  registerHost();
  platform::FileSystem& real = env.files();
  for (const testsupport::Fault& fault : faults) {
    SCOPED_TRACE(testsupport::fileOpName(fault.op));
    env.output().clear();
    writeAt("Rastella/Device/Ostrand KM.dsr", installed);
    testsupport::FaultFileSystem faulty(real);
    faulty.inject(fault);
    env.useFiles(faulty);
    EXPECT_EQ(run(), kNotAllDeployed);
    env.useFiles(real);
    EXPECT_TRUE(updates.empty());
    EXPECT_EQ(ScratchDir::read(deviceFile("Ostrand KM.dsr")), installed);
    ASSERT_EQ(lines().size(), 63u);
    EXPECT_EQ(lines()[60],
              numbered(61, devicePath("Ostrand KM LX.dsr") + " error: file cannot opened.\r\n"));
    EXPECT_EQ(lines()[62],
              numbered(63, devicePath("Ostrand KM.dsr") + " error: file cannot opened.\r\n"));
  }
}

TEST_F(InitInstanceTest, FifosAndDevicesAtTargetNamesAreLeftAloneWithoutWaiting) {
#ifdef _WIN32
  GTEST_SKIP() << "no FIFOs or device links in a Windows folder";
#else
  // A FIFO would block the open forever; /dev/zero would be read without end.
  ASSERT_EQ(::mkfifo(deviceFile("Ostrand KM.bmp").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo(deviceFile("Ostrand KM.dsr").c_str(), 0644), 0);
  fs::create_symlink("/dev/zero", deviceFile("Ostrand KM LX.dsr"));
  registerHost();
  EXPECT_EQ(run(), kNotAllDeployed);
  EXPECT_TRUE(updates.empty());
  ASSERT_EQ(lines().size(), 63u);
  EXPECT_EQ(lines()[0],
            numbered(1, devicePath("Ostrand KM.bmp") + " error: file cannot opened.\r\n"));
  EXPECT_EQ(lines()[60],
            numbered(61, devicePath("Ostrand KM LX.dsr") + " error: file cannot opened.\r\n"));
  EXPECT_EQ(lines()[62],
            numbered(63, devicePath("Ostrand KM.dsr") + " error: file cannot opened.\r\n"));
  EXPECT_TRUE(fs::is_fifo(deviceFile("Ostrand KM.bmp")));
  EXPECT_TRUE(fs::is_fifo(deviceFile("Ostrand KM.dsr")));
  EXPECT_TRUE(fs::is_symlink(deviceFile("Ostrand KM LX.dsr")));
#endif
}

TEST_F(InitInstanceTest, InstallPathWithoutSeparatorStaysInsideTheHostFolder) {
  testsupport::registerHost(env.fakeRegistry(), testsupport::windowsPathOf(host));
  EXPECT_EQ(run(), kDeployed);
  EXPECT_EQ(ScratchDir::read(deviceFile("Ostrand KM.bmp")), "blob 138");
  EXPECT_FALSE(ScratchDir::exists(scratch / "HostRastella"));
  EXPECT_FALSE(ScratchDir::exists(scratch / "HostProfiles"));
  EXPECT_EQ(lines().at(0), updatedLine(1, installPath() + "Rastella\\Device\\Ostrand KM.bmp", 138));
}

TEST_F(InitInstanceTest, StepWithoutItsNameIsSkipped) {
  env.fakeResources().removeString(239);
  registerHost();
  EXPECT_EQ(run(), kNotAllDeployed);
  ASSERT_EQ(lines().size(), 62u);
  EXPECT_EQ(lines()[1], updatedLine(2, devicePath("Ostrand KM 300.rmt"), 141));
  EXPECT_FALSE(fs::exists(deviceFile("Ostrand KM.rmt")));
  const auto entries = fs::directory_iterator(at("Rastella/Device"));
  EXPECT_EQ(std::distance(fs::begin(entries), fs::end(entries)), 12);
}

TEST(InstallFolder, GetsABackslashOnlyWhenItEndsInNoSeparator) {
  EXPECT_EQ(installFolderOf("C:\\Host"), "C:\\Host\\");
  EXPECT_EQ(installFolderOf("C:\\Host\\"), "C:\\Host\\");
  EXPECT_EQ(installFolderOf("/opt/host/"), "/opt/host/");
  EXPECT_EQ(installFolderOf("C:\\Host\\\\"), "C:\\Host\\\\");
}

TEST(ApplicationObject, TheGlobalObjectIsRegistered) {
  CWinApp* registered = CWinApp::GetApp();
  ASSERT_NE(registered, nullptr);
  EXPECT_EQ(registered, &theApp);
  EXPECT_NE(dynamic_cast<COstrandKMApp*>(registered), nullptr);
}

}  // namespace
}  // namespace app
