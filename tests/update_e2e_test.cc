// End-to-end: a second run of the installer over a host whose installed
// device-series files the user has changed keeps the user's work.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "devseries/device_series_io.h"
#include "testsupport/records.h"
#include "testsupport/sandbox_host.h"
#include "testsupport/scratch_dir.h"
#include "testsupport/test_env.h"

namespace {

namespace fs = std::filesystem;
using sandbox::SandboxHost;
using testsupport::ScratchDir;

const fs::path kInstaller = OKM_INSTALLER_PATH;

const std::vector<std::string> kDeviceSeriesFiles = {"Ostrand KM 300.dsr", "Ostrand KM LX.dsr",
                                                     "Ostrand KM 300 LX.dsr", "Ostrand KM.dsr"};

// The real file system, for reading and editing the host's files by their
// native paths (used as they stand, whatever the prefix).
platform::Env& nativeEnv() {
  static testsupport::TestEnv env("/");
  return env;
}

std::string devicePath(const std::string& name) {
  return std::string(sandbox::kInstallPath) + "Rastella\\Device\\" + name;
}

devseries::DeviceSeries readDocument(const fs::path& file) {
  devseries::DeviceSeries record;
  devseries::DeviceSeriesIO2 io(file.string(), nativeEnv());
  EXPECT_TRUE(io.read(record)) << file << ": " << io.lastError();
  return record;
}

// The user's changes (addUserMediaAndHidePreset) saved to |file|.
void changeAsTheUser(const fs::path& file) {
  devseries::DeviceSeries record = readDocument(file);
  testsupport::addUserMediaAndHidePreset(record);
  devseries::DeviceSeriesIO2 io(file.string(), nativeEnv());
  ASSERT_TRUE(io.write(record)) << file;
}

TEST(UpdateEndToEnd, SecondRunKeepsTheUsersMediaAndChoices) {
  SandboxHost host;
  host.registerHost(sandbox::kInstallPath);
  sandbox::createHostFolders(host);

  sandbox::RunResult first = sandbox::runInstaller(kInstaller, host);
  ASSERT_EQ(sandbox::progressLines(first.debugOutput).size(), 63u) << first.debugOutput;

  std::vector<int> presetCounts;
  for (const std::string& name : kDeviceSeriesFiles) {
    const fs::path file = host.native(devicePath(name));
    presetCounts.push_back(readDocument(file).aMediaInfoList.size());
    changeAsTheUser(file);
  }

  sandbox::RunResult second = sandbox::runInstaller(kInstaller, host);
  EXPECT_EQ(second.exitCode, 0);
  std::vector<std::string> lines = sandbox::progressLines(second.debugOutput);
  ASSERT_EQ(lines.size(), 63u) << second.debugOutput;
  for (std::size_t i = 0; i < kDeviceSeriesFiles.size(); ++i) {
    // One line per device-series file: the new payload written beside it.
    const std::string& line = lines[59 + i];
    EXPECT_NE(line.find(devicePath(kDeviceSeriesFiles[i]) + ".tmp ("), std::string::npos) << line;
    EXPECT_NE(line.find("successfly updated!"), std::string::npos) << line;
  }

  for (std::size_t i = 0; i < kDeviceSeriesFiles.size(); ++i) {
    const fs::path file = host.native(devicePath(kDeviceSeriesFiles[i]));
    EXPECT_FALSE(fs::exists(file.string() + ".tmp"));
    EXPECT_FALSE(fs::exists(file.string() + ".out"));
    EXPECT_FALSE(fs::exists(file.string() + ".bak"));

    devseries::DeviceSeriesIO2 io(file.string(), nativeEnv());
    devseries::DeviceSeries merged;
    ASSERT_TRUE(io.read(merged)) << file << ": " << io.lastError();
    EXPECT_EQ(io.foundVersion().toString(), "6.6.13.0");
    ASSERT_EQ(merged.aMediaInfoList.size(), presetCounts[i] + 1) << file;
    const devseries::MediaInfo& mine = merged.aMediaInfoList[presetCounts[i]];
    EXPECT_EQ(mine.strMediaName[0], testsupport::kUserMedia);
    EXPECT_EQ(mine.nPreHeater, 37);
    EXPECT_FALSE(merged.aMediaInfoList[1].bVisibleMedia);
    EXPECT_TRUE(merged.aMediaInfoList[0].bVisibleMedia);
  }
}

// Two installers started at once, as a double-click or a deployment tool
// starting it again would, over and over: each time every document keeps
// the user's media and choice, and no temporary stays.
TEST(UpdateEndToEnd, TwoRunsAtOnceKeepTheUsersMedia) {
  constexpr int kRounds = 8;
  SandboxHost host;
  host.registerHost(sandbox::kInstallPath);
  sandbox::createHostFolders(host);
  ASSERT_EQ(sandbox::progressLines(sandbox::runInstaller(kInstaller, host).debugOutput).size(),
            63u);
  std::vector<int> presetCounts;
  for (const std::string& name : kDeviceSeriesFiles) {
    const fs::path file = host.native(devicePath(name));
    presetCounts.push_back(readDocument(file).aMediaInfoList.size());
    changeAsTheUser(file);
  }
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    auto run = [&] { return sandbox::runInstaller(kInstaller, host); };
    std::future<sandbox::RunResult> first = std::async(std::launch::async, run);
    std::future<sandbox::RunResult> second = std::async(std::launch::async, run);
    for (const sandbox::RunResult& result : {first.get(), second.get()}) {
      EXPECT_EQ(sandbox::progressLines(result.debugOutput).size(), 63u) << result.debugOutput;
    }
    for (std::size_t i = 0; i < kDeviceSeriesFiles.size(); ++i) {
      const fs::path file = host.native(devicePath(kDeviceSeriesFiles[i]));
      ASSERT_FALSE(fs::exists(file.string() + ".tmp") || fs::exists(file.string() + ".out"));
      const devseries::DeviceSeries merged = readDocument(file);
      ASSERT_EQ(merged.aMediaInfoList.size(), presetCounts[i] + 1) << file;
      ASSERT_EQ(merged.aMediaInfoList[presetCounts[i]].strMediaName[0], testsupport::kUserMedia);
      ASSERT_FALSE(merged.aMediaInfoList[1].bVisibleMedia) << file;
    }
  }
}

TEST(UpdateEndToEnd, InstalledFileNamedInAnotherCaseIsMergedNotOverwritten) {
  SandboxHost host;
  host.registerHost(sandbox::kInstallPath);
  sandbox::createHostFolders(host);
  ASSERT_EQ(sandbox::progressLines(sandbox::runInstaller(kInstaller, host).debugOutput).size(),
            63u);
  const fs::path installed = host.native(devicePath("Ostrand KM.dsr"));
  const fs::path renamed = installed.parent_path() / "ostrand km.dsr";
  fs::rename(installed, renamed);
  changeAsTheUser(renamed);

  std::vector<std::string> lines =
      sandbox::progressLines(sandbox::runInstaller(kInstaller, host).debugOutput);
  ASSERT_EQ(lines.size(), 63u);
  EXPECT_NE(lines[62].find(devicePath("Ostrand KM.dsr") + ".tmp ("), std::string::npos)
      << lines[62];
  EXPECT_FALSE(fs::exists(installed));
  const devseries::DeviceSeries merged = readDocument(renamed);
  EXPECT_EQ(merged.aMediaInfoList[merged.aMediaInfoList.size() - 1].strMediaName[0],
            testsupport::kUserMedia);
}

TEST(UpdateEndToEnd, InstalledFileThatIsNotXmlIsReplacedAndKept) {
  SandboxHost host;
  host.registerHost(sandbox::kInstallPath);
  sandbox::createHostFolders(host);
  const fs::path file = host.native(devicePath("Ostrand KM.dsr"));
  const std::string broken(2048, '#');
  ScratchDir::overwrite(file.string(), broken);

  sandbox::RunResult run = sandbox::runInstaller(kInstaller, host);
  std::vector<std::string> lines = sandbox::progressLines(run.debugOutput);
  ASSERT_EQ(lines.size(), 63u);
  EXPECT_NE(lines[62].find(devicePath("Ostrand KM.dsr") + " ("), std::string::npos) << lines[62];
  EXPECT_EQ(ScratchDir::read(file.string() + ".bak"), broken);
  EXPECT_EQ(readDocument(file).aModelInfoList.size(), 1);
}

}  // namespace
