// The catalogue of hostile registry files: a host's system.reg with broken
// quoting or binary junk, read by the built installer. Each case: the
// installer ends normally, and whatever it writes lies inside the host's
// folder (a broken record may stop it silently).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "testsupport/hosts/documents.h"
#include "testsupport/hosts/sandbox_host.h"
#include "testsupport/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ScratchDir;

const fs::path kInstaller = OKM_INSTALLER_PATH;

struct HostileRegistry {
  const char* name;
  std::string (*mangle)(const std::string& text);
};

void PrintTo(const HostileRegistry& hostile, std::ostream* out) { *out << hostile.name; }

// Deterministic junk: every byte value, NULs and line ends included.
std::string junk(std::size_t size) {
  std::string bytes;
  std::uint32_t state = 12345;
  for (std::size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    bytes += static_cast<char>(state >> 24);
  }
  return bytes;
}

const HostileRegistry kCases[] = {
    {"UnterminatedQuote",
     [](const std::string& text) {
       return testsupport::replaced(text, "Dual\\\\\"\n", "Dual\\\\\n");
     }},
    {"EscapedClosingQuote",
     [](const std::string& text) {
       return testsupport::replaced(text, "Dual\\\\\"\n", "Dual\\\\\\\"\n");
     }},
    {"UnterminatedValueName",
     [](const std::string& text) {
       return testsupport::replaced(text, "\"InstallPath\"", "\"InstallPath");
     }},
    {"Latin1ByteInAQuote",
     [](const std::string& text) {
       return testsupport::replaced(text, "Harvel\"", "Harv\xE9l\"");
     }},
    {"TruncatedHexEscape",
     [](const std::string& text) {
       return testsupport::replaced(text, "Dual\\\\\"", "Dual\\\\\\x\"");
     }},
    {"UnclosedSection",
     [](const std::string& text) {
       return testsupport::replaced(text, "Installer]", "Installer");
     }},
    {"NulBytesInLines",
     [](const std::string& text) {
       return testsupport::replaced(text, "InstallPath", std::string("Install\0Path", 12));
     }},
    {"JunkAfterRecords", [](const std::string& text) { return text + junk(1 << 16); }},
    {"JunkInsteadOfRecords",
     [](const std::string& text) { return text.substr(0, text.find('\n') + 1) + junk(1 << 16); }},
};

class HostileRegistryTest : public ::testing::TestWithParam<HostileRegistry> {};

// Every file below |root| with its bytes.
std::map<std::string, std::string> filesBelow(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files[entry.path().string()] = ScratchDir::read(entry.path());
  }
  return files;
}

TEST_P(HostileRegistryTest, WritesOnlyInsideTheHost) {
  testsupport::SandboxHost host;
  host.registerHost(testsupport::kInstallPath);
  testsupport::createHostFolders(host);
  const fs::path registry = host.prefix() / "system.reg";
  ScratchDir::overwrite(registry.string(), GetParam().mangle(ScratchDir::read(registry.string())));
  const auto before = filesBelow(host.prefix());

  const testsupport::RunResult run = testsupport::runInstaller(kInstaller, host);
  // A record that is broken is no host (1); one that still reads deploys
  // (0), or names a folder that is not there (2).
  const std::vector<std::string> lines = testsupport::progressLines(run.debugOutput);
  const bool allDeployed = std::all_of(lines.begin(), lines.end(), [](const std::string& line) {
    return line.ends_with("successfly updated!");
  });
  EXPECT_EQ(run.exitCode, lines.empty() ? 1 : allDeployed ? 0 : 2) << run.debugOutput;

  const std::string inside = host.native(testsupport::kInstallPath).string();
  for (const auto& [path, bytes] : filesBelow(host.prefix())) {
    const auto old = before.find(path);
    if (old != before.end() && old->second == bytes) continue;
    EXPECT_EQ(path.rfind(inside, 0), 0u) << "written outside the host: " << path;
  }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, HostileRegistryTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<HostileRegistry>& hostile) {
                           return std::string(hostile.param.name);
                         });

}  // namespace
