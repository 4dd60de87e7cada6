// End-to-end runs of the built installer against sandbox hosts.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "testsupport/hosts/sandbox_host.h"
#include "testsupport/payload.h"
#include "testsupport/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::Hive;
using testsupport::SandboxHost;
using testsupport::ScratchDir;

const fs::path kInstaller = OKM_INSTALLER_PATH;
const fs::path kManifest = testsupport::payloadDir() / "manifest.tsv";

// The payload in the order the installer deploys it: blob id and its target
// below the install folder.
struct Target {
  int blob;
  std::string relative;
};

class InstallerEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override { manifest_ = testsupport::readManifest(kManifest); }

  std::string deviceName(int blob) { return manifest_.strings.at(manifest_.targetString.at(blob)); }

  std::vector<Target> ordinaryTargets() {
    std::vector<Target> targets;
    const std::string device = manifest_.strings.at(200);
    for (int blob : {138, 139, 141, 142, 143, 134, 135, 136, 137}) {
      targets.push_back({blob, device + deviceName(blob)});
    }
    for (int entry = 101; entry <= 150; ++entry) {
      targets.push_back({entry + 43, manifest_.strings.at(entry)});
    }
    return targets;
  }

  std::vector<Target> deviceSeriesTargets() {
    std::vector<Target> targets;
    for (int blob : {131, 132, 133, 130}) {
      targets.push_back({blob, manifest_.strings.at(200) + deviceName(blob)});
    }
    return targets;
  }

  std::string blob(int id) { return ScratchDir::read(manifest_.blobs.at(id).string()); }

  static std::string successLine(int number, const std::string& path, std::size_t size) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "[%02d] ", number);
    return prefix + path + " ( " + std::to_string(size) + " Bytes ) successfly updated!";
  }

  testsupport::Manifest manifest_;
};

TEST_F(InstallerEndToEnd, FreshHostGetsTheWholePayloadInTableOrder) {
  SandboxHost host;
  host.registerHost(testsupport::kInstallPath);
  testsupport::createHostFolders(host);

  testsupport::RunResult run = testsupport::runInstaller(kInstaller, host);
  EXPECT_EQ(run.exitCode, 0);

  std::vector<Target> targets = ordinaryTargets();
  for (const Target& t : deviceSeriesTargets()) targets.push_back(t);
  std::vector<std::string> lines = testsupport::progressLines(run.debugOutput);
  ASSERT_EQ(lines.size(), 63u) << run.debugOutput;
  ASSERT_EQ(run.debugOutput.substr(run.debugOutput.size() - 2), "\r\n");

  for (std::size_t i = 0; i < targets.size(); ++i) {
    const std::string windowsPath = testsupport::kInstallPath + targets[i].relative;
    const std::string expected = blob(targets[i].blob);
    EXPECT_EQ(lines[i], successLine(static_cast<int>(i + 1), windowsPath, expected.size()));
    const fs::path deployed = host.native(windowsPath);
    ASSERT_TRUE(fs::exists(deployed)) << deployed;
    EXPECT_TRUE(ScratchDir::read(deployed.string()) == expected)
        << deployed << " differs from its blob";
  }
  for (const char* folder :
       {"Profiles\\Ostrand KM\\Ostrand CMYK", "Profiles\\Ostrand KM\\Ostrand Tessel CMYK"}) {
    EXPECT_TRUE(fs::is_directory(host.native(testsupport::kInstallPath + std::string(folder))));
  }
}

TEST_F(InstallerEndToEnd, UnregisteredHostGetsNothing) {
  SandboxHost host;
  host.writeRegistry();
  testsupport::createHostFolders(host);

  testsupport::RunResult run = testsupport::runInstaller(kInstaller, host);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.debugOutput, "");
  const fs::path root = host.native(testsupport::kInstallPath);
  EXPECT_TRUE(fs::is_empty(root / "Rastella" / "Device"));
  EXPECT_TRUE(fs::is_empty(root / "Profiles"));
}

TEST_F(InstallerEndToEnd, IncompleteHostRecordDeploysNothing) {
  SandboxHost host;
  const std::string base = "Software\\Harvel\\Harvel Rastella Dual";
  host.addKey(Hive::kLocalMachine, {base, {}});
  host.addKey(
      Hive::kLocalMachine,
      {base + "\\Installer",
       {{"CompanyName", "Harvel"},
        {"InstallPath", "str(2):\"C:\\\\Program Files\\\\Harvel\\\\Rastella Dual\\\\\"", true},
        {"UserName", "Test User"}}});
  host.addKey(Hive::kLocalMachine,
              {base + "\\User",
               {{"InkConfig", "0"}, {"Language", "dword:00000009", true}, {"Model", "KM"}}});
  host.writeRegistry();
  testsupport::createHostFolders(host);

  // An InstallPath stored as an expandable string is not accepted.
  testsupport::RunResult run = testsupport::runInstaller(kInstaller, host);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.debugOutput, "");
  EXPECT_TRUE(fs::is_empty(host.native(testsupport::kInstallPath) / "Rastella" / "Device"));
}

TEST_F(InstallerEndToEnd, HostRegisteredForTheCurrentUserOnly) {
  SandboxHost host;
  host.registerHost(testsupport::kInstallPath, Hive::kCurrentUser);
  testsupport::createHostFolders(host);

  testsupport::RunResult run = testsupport::runInstaller(kInstaller, host);
  EXPECT_EQ(testsupport::progressLines(run.debugOutput).size(), 63u);
  EXPECT_TRUE(fs::exists(
      host.native(std::string(testsupport::kInstallPath) + "Rastella\\Device\\Ostrand KM.dsr")));
}

TEST_F(InstallerEndToEnd, HostWithoutProfilesFolderReportsEveryProfile) {
  SandboxHost host;
  host.registerHost(testsupport::kInstallPath);
  testsupport::createHostFolders(host, /*withProfiles=*/false);

  testsupport::RunResult run = testsupport::runInstaller(kInstaller, host);
  EXPECT_EQ(run.exitCode, 2);
  std::vector<std::string> lines = testsupport::progressLines(run.debugOutput);
  ASSERT_EQ(lines.size(), 63u) << run.debugOutput;
  std::vector<Target> targets = ordinaryTargets();
  for (std::size_t i = 9; i < 59; ++i) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "[%02zu] ", i + 1);
    EXPECT_EQ(lines[i], prefix + (testsupport::kInstallPath + targets[i].relative) +
                            " error: file cannot opened.");
  }
  EXPECT_FALSE(fs::exists(host.native(testsupport::kInstallPath) / "Profiles"));
  EXPECT_NE(lines[62].find("successfly updated!"), std::string::npos);
}

TEST_F(InstallerEndToEnd, InstalledDeviceSeriesFileSizeDecidesBetweenWriteAndUpdate) {
  SandboxHost host;
  host.registerHost(testsupport::kInstallPath);
  testsupport::createHostFolders(host);
  std::vector<Target> dsr = deviceSeriesTargets();
  const fs::path shortFile = host.native(testsupport::kInstallPath + dsr[0].relative);
  const fs::path fullFile = host.native(testsupport::kInstallPath + dsr[1].relative);
  ScratchDir::overwrite(shortFile.string(), std::string(1023, 'x'));
  const std::string installed = "<?xml version=\"1.0\"?>\n<DeviceSeries strVersion=\"6.6.13.0\">" +
                                std::string(1024, ' ') + "</DeviceSeries>\n";
  ScratchDir::overwrite(fullFile.string(), installed);

  testsupport::RunResult run = testsupport::runInstaller(kInstaller, host);
  // The update leaves the document that does not read as it is: a file not
  // deployed.
  EXPECT_EQ(run.exitCode, 2);
  std::vector<std::string> lines = testsupport::progressLines(run.debugOutput);
  // The 1023-byte file is overwritten by its blob; the other one is handed to
  // the device-series update, which reports nothing of its own here.
  ASSERT_GE(lines.size(), 60u) << run.debugOutput;
  EXPECT_EQ(lines[59],
            successLine(60, testsupport::kInstallPath + dsr[0].relative, blob(dsr[0].blob).size()));
  EXPECT_TRUE(ScratchDir::read(shortFile.string()) == blob(dsr[0].blob));
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find(dsr[1].relative + " ("), std::string::npos) << line;
  }
}

TEST_F(InstallerEndToEnd, InstallFolderThatDoesNotExistReportsEveryFile) {
  SandboxHost host;
  host.registerHost("D:\\Nowhere\\");

  // The records are usable, so every file is tried and reported; none lands.
  testsupport::RunResult run = testsupport::runInstaller(kInstaller, host);
  EXPECT_EQ(run.exitCode, 2);
  const std::vector<std::string> lines = testsupport::progressLines(run.debugOutput);
  ASSERT_EQ(lines.size(), 63u) << run.debugOutput;
  for (const std::string& line : lines) {
    EXPECT_TRUE(line.ends_with(" error: file cannot opened.")) << line;
  }
}

TEST_F(InstallerEndToEnd, InstallPathWithoutTrailingSeparatorStillLandsInTheHost) {
  SandboxHost host;
  std::string path = testsupport::kInstallPath;
  path.pop_back();
  host.registerHost(path);
  testsupport::createHostFolders(host);

  testsupport::RunResult run = testsupport::runInstaller(kInstaller, host);
  EXPECT_EQ(testsupport::progressLines(run.debugOutput).size(), 63u);
  const fs::path root = host.native(testsupport::kInstallPath);
  EXPECT_TRUE(fs::exists(root / "Rastella" / "Device" / "Ostrand KM.bmp"));
  EXPECT_FALSE(fs::exists(root.parent_path().string() + "Rastella"));
}

}  // namespace
