// End-to-end runs of the built installer against hostile hosts: a standard
// error without reader, install paths that point elsewhere, registry values
// that are not UTF-8.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "testsupport/hosts/sandbox_host.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using testsupport::Hive;
using testsupport::SandboxHost;

const fs::path kInstaller = OKM_INSTALLER_PATH;

// The files of the payload that a complete run deploys.
constexpr std::size_t kPayloadFiles = 63;

// Regular files anywhere below |folder|.
std::size_t filesBelow(const fs::path& folder) {
  std::size_t count = 0;
  if (!fs::is_directory(folder)) return 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    count += entry.is_regular_file() ? 1 : 0;
  }
  return count;
}

// Makes the host's own folders (device folder and "Profiles") at |root|.
void makeHostFolders(const fs::path& root) {
  fs::create_directories(root / "Rastella" / "Device");
  fs::create_directories(root / "Profiles");
}

// Runs the installer for |host| with standard error a pipe whose reader is
// already gone and SIGPIPE at its default action, as a shell pipeline whose
// reader ended leaves it. Returns the wait status.
int runWithBrokenStderr(const SandboxHost& host) {
  int ends[2];
  if (::pipe(ends) != 0) return -1;
  ::close(ends[0]);
  std::vector<std::string> entries = {"WINEPREFIX=" + host.prefix().string()};
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (std::string(*entry).rfind("WINEPREFIX=", 0) != 0) entries.emplace_back(*entry);
  }
  std::vector<char*> envp;
  envp.reserve(entries.size() + 1);
  for (std::string& entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::string program = kInstaller.string();
  char* argv[] = {program.data(), nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, ends[1], 2);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  const int error = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv, envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  ::close(ends[1]);
  if (error != 0) return -1;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

TEST(HostileHostEndToEnd, StderrWithoutReaderStillDeploysEveryFile) {
  SandboxHost host;
  host.registerHost(testsupport::kInstallPath);
  const fs::path root = host.native(testsupport::kInstallPath);
  makeHostFolders(root);

  const int status = runWithBrokenStderr(host);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(filesBelow(root), kPayloadFiles);
}

// Install paths as the registry may hold them, the folder below drive C:
// where the host's folders are made, and whether the installer deploys
// there. Nothing may land anywhere else in the prefix.
struct InstallPathCase {
  const char* installPath;
  const char* hostFolder;  // below drive_c
  bool installed;
};

TEST(HostileHostEndToEnd, InstallPathsDeployOnlyIntoTheHostFolder) {
  const InstallPathCase cases[] = {
      {"C:\\Program Files\\Harvel\\Rastella Dual\\", "Program Files/Harvel/Rastella Dual", true},
      {"C:\\Host\\.\\Sub\\..\\", "Host", true},
      // ".." stops at the drive root, as on Windows.
      {"C:\\..\\..\\..\\escape\\", "escape", true},
      // Not absolute: relative, root of the current drive, drive-relative.
      {"Host\\", "Host", false},
      {"\\Host\\", "Host", false},
      {"C:Host\\", "Host", false},
      // A network path has no place in the Linux build, nor has a POSIX
      // path: either would lead out of the prefix.
      {"\\\\server\\share\\", "server/share", false},
      {"{prefix}/rip/", "../rip", false},
  };
  for (const InstallPathCase& c : cases) {
    SCOPED_TRACE(c.installPath);
    SandboxHost host;
    std::string installPath = c.installPath;
    if (installPath.starts_with("{prefix}")) {
      installPath.replace(0, 8, host.prefix().string());
    }
    host.registerHost(installPath);
    makeHostFolders(host.prefix() / "drive_c" / c.hostFolder);

    const testsupport::RunResult run = testsupport::runInstaller(kInstaller, host);
    // A folder that is not absolute is no host.
    EXPECT_EQ(run.exitCode, c.installed ? 0 : 1);
    const std::size_t expected = c.installed ? kPayloadFiles : 0;
    EXPECT_EQ(testsupport::progressLines(run.debugOutput).size(), expected) << run.debugOutput;
    EXPECT_EQ(filesBelow(host.prefix() / "drive_c" / c.hostFolder), expected);
    // The registry files and the deployed files are all the prefix holds.
    EXPECT_EQ(filesBelow(host.prefix()), expected + 2);
  }
}

TEST(HostileHostEndToEnd, UserNameWithALatin1ByteStillFindsTheHost) {
  for (const char* userName : {"\"Jos\xe9\"", "\"Jo\\\xe9\""}) {
    SCOPED_TRACE(userName);
    SandboxHost host;
    const std::string base = "Software\\Harvel\\Harvel Rastella Dual";
    host.addKey(Hive::kLocalMachine, {base, {}});
    host.addKey(Hive::kLocalMachine, {base + "\\Installer",
                                      {{"CompanyName", "Harvel"},
                                       {"InstallPath", testsupport::kInstallPath},
                                       {"UserName", userName, true}}});
    host.addKey(Hive::kLocalMachine,
                {base + "\\User",
                 {{"InkConfig", "Ostrand CMYK"}, {"Language", "English"}, {"Model", "KM"}}});
    host.writeRegistry();
    const fs::path root = host.native(testsupport::kInstallPath);
    makeHostFolders(root);

    const testsupport::RunResult run = testsupport::runInstaller(kInstaller, host);
    EXPECT_EQ(testsupport::progressLines(run.debugOutput).size(), kPayloadFiles);
    EXPECT_EQ(filesBelow(root), kPayloadFiles);
  }
}

}  // namespace
