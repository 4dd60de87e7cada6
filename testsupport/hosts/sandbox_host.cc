#include "testsupport/hosts/sandbox_host.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "testsupport/process.h"

namespace testsupport {

namespace fs = std::filesystem;

namespace {

// Quotes |text| as a Wine registry string: backslashes and quotes escaped.
std::string regQuote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string regKeyName(const std::string& path) {
  std::string out;
  for (char c : path) {
    out += c;
    if (c == '\\') out += '\\';
  }
  return out;
}

}  // namespace

SandboxHost::SandboxHost() {
  fs::create_directories(prefix_ / "drive_c");
  fs::create_directories(prefix_ / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix_ / "dosdevices" / "c:");
}

void SandboxHost::registerHost(const std::string& installPath, Hive hive) {
  const std::string base = "Software\\Harvel\\Harvel Rastella Dual";
  addKey(hive, {base, {}});
  addKey(hive,
         {base + "\\Installer",
          {{"CompanyName", "Harvel"}, {"InstallPath", installPath}, {"UserName", "Test User"}}});
  addKey(hive, {base + "\\User",
                {{"InkConfig", "Ostrand CMYK"}, {"Language", "English"}, {"Model", "Ostrand KM"}}});
  writeRegistry();
}

void SandboxHost::addKey(Hive hive, RegKey key) { keys_[hive].push_back(std::move(key)); }

void SandboxHost::writeRegistry() const {
  for (Hive hive : {Hive::kLocalMachine, Hive::kCurrentUser}) {
    std::ostringstream out;
    out << "WINE REGISTRY Version 2\n";
    out << (hive == Hive::kLocalMachine
                ? ";; All keys relative to \\\\Machine\n"
                : ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n");
    out << "\n#arch=win64\n";
    auto it = keys_.find(hive);
    if (it != keys_.end()) {
      for (const RegKey& key : it->second) {
        out << "\n[" << regKeyName(key.path) << "] 1733650000\n#time=1db4a1b2c3d4e5f\n";
        for (const RegValue& value : key.values) {
          out << (value.name.empty() ? "@" : regQuote(value.name)) << "="
              << (value.raw ? value.text : regQuote(value.text)) << "\n";
        }
      }
    }
    scratch_.write(hive == Hive::kLocalMachine ? "system.reg" : "user.reg", out.str());
  }
}

fs::path SandboxHost::native(const std::string& windowsPath) const {
  std::string rest = windowsPath.substr(windowsPath.find(':') + 1);
  for (char& c : rest) {
    if (c == '\\') c = '/';
  }
  while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
  return prefix_ / "drive_c" / rest;
}

void createHostFolders(const SandboxHost& host, bool withProfiles) {
  const fs::path root = host.native(kInstallPath);
  fs::create_directories(root / "Rastella" / "Device");
  if (withProfiles) fs::create_directories(root / "Profiles");
}

RunResult runInstaller(const fs::path& executable, const SandboxHost& host,
                       std::vector<std::pair<std::string, std::string>> env) {
  env.emplace_back("WINEPREFIX", host.prefix().string());
  const testsupport::ProcessResult run = testsupport::runProcess(executable.string(), {}, env);
  return {run.exitCode, run.err};
}

Manifest readManifest(const fs::path& manifestFile) {
  std::ifstream in(manifestFile);
  if (!in) throw std::runtime_error("cannot read " + manifestFile.string());
  Manifest manifest;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> cols;
    std::string::size_type start = 0;
    for (int i = 0; i < 3; ++i) {
      auto tab = line.find('\t', start);
      if (tab == std::string::npos) break;
      cols.push_back(line.substr(start, tab - start));
      start = tab + 1;
    }
    cols.push_back(line.substr(start));
    if (cols.size() >= 4 && cols[0] == "blob") {
      int id = std::stoi(cols[1]);
      manifest.blobs[id] = manifestFile.parent_path() / cols[2];
      manifest.targetString[id] = std::stoi(cols[3]);
    } else if (cols.size() >= 3 && cols[0] == "string") {
      // The text runs to the end of the line and may itself hold tabs.
      auto first = line.find('\t');
      auto second = line.find('\t', first + 1);
      manifest.strings[std::stoi(cols[1])] = line.substr(second + 1);
    }
  }
  return manifest;
}

std::vector<std::string> progressLines(const std::string& output) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (start < output.size()) {
    auto end = output.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(output.substr(start));
      break;
    }
    lines.push_back(output.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace testsupport
