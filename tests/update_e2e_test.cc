// End-to-end: a second run of the installer over a host whose installed
// device-series files the user has changed keeps the user's work.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <sstream>
#include <string>
#include <vector>

#include "devseries/device_series_io.h"
#include "testsupport/hosts/records.h"
#include "testsupport/hosts/sandbox_host.h"
#include "testsupport/process.h"
#include "testsupport/scratch_dir.h"
#include "testsupport/test_env.h"

namespace {

namespace fs = std::filesystem;
using testsupport::SandboxHost;
using testsupport::ScratchDir;

const fs::path kInstaller = OKM_INSTALLER_PATH;
const fs::path kDsrtool = OKM_DSRTOOL_PATH;

const std::vector<std::string> kDeviceSeriesFiles = {"Ostrand KM 300.dsr", "Ostrand KM LX.dsr",
                                                     "Ostrand KM 300 LX.dsr", "Ostrand KM.dsr"};

// The real file system, for reading and editing the host's files by their
// native paths (used as they stand, whatever the prefix).
platform::Env& nativeEnv() {
  static testsupport::TestEnv env("/");
  return env;
}

std::string devicePath(const std::string& name) {
  return std::string(testsupport::kInstallPath) + "Rastella\\Device\\" + name;
}

// dsrtool verify on the host it finds in |host|'s prefix, as the installer
// finds it.
testsupport::ProcessResult verifyHost(const SandboxHost& host) {
  return testsupport::runProcess(kDsrtool.string(), {"verify"},
                                 {{"WINEPREFIX", host.prefix().string()}});
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
  host.registerHost(testsupport::kInstallPath);
  testsupport::createHostFolders(host);

  testsupport::RunResult first = testsupport::runInstaller(kInstaller, host);
  ASSERT_EQ(testsupport::progressLines(first.debugOutput).size(), 63u) << first.debugOutput;

  std::vector<int> presetCounts;
  for (const std::string& name : kDeviceSeriesFiles) {
    const fs::path file = host.native(devicePath(name));
    presetCounts.push_back(readDocument(file).aMediaInfoList.size());
    changeAsTheUser(file);
  }

  testsupport::RunResult second = testsupport::runInstaller(kInstaller, host);
  EXPECT_EQ(second.exitCode, 0);
  std::vector<std::string> lines = testsupport::progressLines(second.debugOutput);
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

  // What the update left is what verify calls merged, the rest is intact.
  const testsupport::ProcessResult verify = verifyHost(host);
  EXPECT_EQ(verify.exitCode, 0) << verify.out << verify.err;
  for (const std::string& name : kDeviceSeriesFiles) {
    EXPECT_NE(verify.out.find("\nmerged      " + devicePath(name) + " (1 user media)\n"),
              std::string::npos)
        << name << "\n"
        << verify.out;
  }
  EXPECT_NE(verify.out.find("\n66 targets: 4 merged, 62 ok; 0 leftovers\n"), std::string::npos)
      << verify.out;
}

// Two installers started at once, as a double-click or a deployment tool
// starting it again would, over and over: each time every document keeps
// the user's media and choice, and no temporary stays.
TEST(UpdateEndToEnd, TwoRunsAtOnceKeepTheUsersMedia) {
  constexpr int kRounds = 8;
  SandboxHost host;
  host.registerHost(testsupport::kInstallPath);
  testsupport::createHostFolders(host);
  ASSERT_EQ(
      testsupport::progressLines(testsupport::runInstaller(kInstaller, host).debugOutput).size(),
      63u);
  std::vector<int> presetCounts;
  for (const std::string& name : kDeviceSeriesFiles) {
    const fs::path file = host.native(devicePath(name));
    presetCounts.push_back(readDocument(file).aMediaInfoList.size());
    changeAsTheUser(file);
  }
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    auto run = [&] { return testsupport::runInstaller(kInstaller, host); };
    std::future<testsupport::RunResult> first = std::async(std::launch::async, run);
    std::future<testsupport::RunResult> second = std::async(std::launch::async, run);
    for (const testsupport::RunResult& result : {first.get(), second.get()}) {
      EXPECT_EQ(testsupport::progressLines(result.debugOutput).size(), 63u) << result.debugOutput;
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
  host.registerHost(testsupport::kInstallPath);
  testsupport::createHostFolders(host);
  ASSERT_EQ(
      testsupport::progressLines(testsupport::runInstaller(kInstaller, host).debugOutput).size(),
      63u);
  const fs::path installed = host.native(devicePath("Ostrand KM.dsr"));
  const fs::path renamed = installed.parent_path() / "ostrand km.dsr";
  fs::rename(installed, renamed);
  changeAsTheUser(renamed);

  std::vector<std::string> lines =
      testsupport::progressLines(testsupport::runInstaller(kInstaller, host).debugOutput);
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
  host.registerHost(testsupport::kInstallPath);
  testsupport::createHostFolders(host);
  const fs::path file = host.native(devicePath("Ostrand KM.dsr"));
  const std::string broken(2048, '#');
  ScratchDir::overwrite(file.string(), broken);

  testsupport::RunResult run = testsupport::runInstaller(kInstaller, host);
  // Replaced after its backup: deployed.
  EXPECT_EQ(run.exitCode, 0);
  std::vector<std::string> lines = testsupport::progressLines(run.debugOutput);
  ASSERT_EQ(lines.size(), 63u);
  EXPECT_NE(lines[62].find(devicePath("Ostrand KM.dsr") + " ("), std::string::npos) << lines[62];
  EXPECT_EQ(ScratchDir::read(file.string() + ".bak"), broken);
  EXPECT_EQ(readDocument(file).aModelInfoList.size(), 1);
  const testsupport::ProcessResult verify = verifyHost(host);
  EXPECT_EQ(verify.exitCode, 0);
  EXPECT_NE(verify.out.find("\nleftover    " + devicePath("Ostrand KM.dsr") + ".bak\n"),
            std::string::npos)
      << verify.out;
}

// The real fsync and rename calls of one installer run on |host|, one
// {kind, first path, second path} each, from the preloaded logging shim.
std::vector<std::vector<std::string>> syncedRun(const SandboxHost& host) {
  const std::string log = (host.prefix() / "sync.log").string();
  // The shim loads before a sanitizer's runtime; that order is fine here.
  testsupport::runInstaller(kInstaller, host,
                            {{"LD_PRELOAD", OKM_SYNC_LOG_SHIM},
                             {"OKM_SYNC_LOG", log},
                             {"ASAN_OPTIONS", "verify_asan_link_order=0"}});
  std::vector<std::vector<std::string>> calls;
  std::istringstream lines(ScratchDir::read(log));
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string>& call = calls.emplace_back();
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) call.push_back(field);
  }
  fs::remove(log);
  return calls;
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Replacing a file is durable only once its folder is synced: after the
// backup of a file that is not XML is made and before that file is
// replaced, and after every rename over an installed document.
TEST(UpdateEndToEnd, DeviceFolderIsSyncedAroundEveryReplace) {
#if defined(__SANITIZE_ADDRESS__)
  // What this shows is which system calls a run makes, not how it uses
  // memory; a preloaded library and a sanitizer's runtime do not mix well.
  GTEST_SKIP() << "system calls are logged in builds without sanitizers";
#endif
  SandboxHost host;
  host.registerHost(testsupport::kInstallPath);
  testsupport::createHostFolders(host);
  const fs::path file = host.native(devicePath("Ostrand KM.dsr"));
  const std::string folder = fs::canonical(file.parent_path()).string();
  ScratchDir::overwrite(file.string(), std::string(2048, '#'));
  // The index of the first call from |from| on that matches.
  const auto find = [](const auto& calls, std::size_t from, const std::string& kind,
                       const std::string& tail) {
    for (std::size_t i = from; i < calls.size(); ++i) {
      if (calls[i][0] == kind && endsWith(calls[i].back(), tail)) return i;
    }
    return calls.size();
  };
  const auto folderSync = [&](const auto& calls, std::size_t from) {
    for (std::size_t i = from; i < calls.size(); ++i) {
      if (calls[i][0] == "fsync" && calls[i][1] == folder) return i;
    }
    return calls.size();
  };

  const auto first = syncedRun(host);
  const std::size_t backup = find(first, 0, "fsync", "/Ostrand KM.dsr.bak");
  const std::size_t replace = find(first, backup, "rename", "/Ostrand KM.dsr");
  ASSERT_LT(replace, first.size()) << "no backup flushed, then a replace";
  EXPECT_LT(folderSync(first, backup), replace) << "folder not synced between backup and replace";
  EXPECT_LT(folderSync(first, replace), first.size()) << "folder not synced after the replace";

  for (const std::string& name : kDeviceSeriesFiles) changeAsTheUser(host.native(devicePath(name)));
  const auto second = syncedRun(host);
  for (const std::string& name : kDeviceSeriesFiles) {
    SCOPED_TRACE(name);
    const std::size_t merged = find(second, 0, "rename", "/" + name);
    ASSERT_LT(merged, second.size()) << "no rename over the installed file";
    EXPECT_LT(folderSync(second, merged), second.size()) << "folder not synced after the rename";
  }
}

}  // namespace
