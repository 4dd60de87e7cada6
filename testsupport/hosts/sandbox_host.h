// A throw-away host installation for end-to-end runs of the installer.
//
// A SandboxHost is a Wine prefix in a fresh temporary folder: system.reg and
// user.reg written by the test, dosdevices/c: pointing at drive_c, and the
// host's folders below drive_c. Running the installer binary with WINEPREFIX
// set to it makes the installer find this host and nothing else.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "testsupport/scratch_dir.h"

namespace testsupport {

// One value of a registry key: a quoted string, or a raw right-hand side
// written as it stands (for example "dword:00000009" or "str(2):\"...\"").
struct RegValue {
  std::string name;
  std::string text;
  bool raw = false;
};

struct RegKey {
  std::string path;  // e.g. "Software\\Harvel\\Harvel Rastella Dual\\Installer"
  std::vector<RegValue> values;
};

enum class Hive { kLocalMachine, kCurrentUser };

class SandboxHost {
 public:
  SandboxHost();
  SandboxHost(const SandboxHost&) = delete;
  SandboxHost& operator=(const SandboxHost&) = delete;

  const std::filesystem::path& prefix() const { return prefix_; }

  // Registers a host whose InstallPath is |installPath| (a Windows path on
  // drive C:, as the registry holds it) in |hive|, with all three values of
  // both subkeys.
  void registerHost(const std::string& installPath, Hive hive = Hive::kLocalMachine);

  // Adds a key with values to a hive file; files are written by writeRegistry.
  void addKey(Hive hive, RegKey key);
  void writeRegistry() const;

  // The native path of Windows path |windowsPath| on drive C: (no case folding).
  std::filesystem::path native(const std::string& windowsPath) const;

 private:
  testsupport::ScratchDir scratch_;
  std::filesystem::path prefix_ = scratch_.path();
  std::map<Hive, std::vector<RegKey>> keys_;
};

// The host layout the tests use: C:\Program Files\Harvel\Rastella Dual\.
inline constexpr const char* kInstallPath = "C:\\Program Files\\Harvel\\Rastella Dual\\";

// Creates the host's own folders below the install folder: "Rastella\Device"
// and, when |withProfiles|, "Profiles".
void createHostFolders(const SandboxHost& host, bool withProfiles = true);

struct RunResult {
  int exitCode = -1;
  std::string debugOutput;  // everything the installer wrote to standard error
};

// Runs |executable| with WINEPREFIX set to |host|'s prefix, and |env| added
// to its environment, with no arguments.
RunResult runInstaller(const std::filesystem::path& executable, const SandboxHost& host,
                       std::vector<std::pair<std::string, std::string>> env = {});

// The payload manifest: blob id -> file (absolute), string id -> text.
struct Manifest {
  std::map<int, std::filesystem::path> blobs;
  std::map<int, int> targetString;
  std::map<int, std::string> strings;
};
Manifest readManifest(const std::filesystem::path& manifestFile);

// Splits the installer's output into its progress lines (each without CR LF).
std::vector<std::string> progressLines(const std::string& output);

}  // namespace testsupport
