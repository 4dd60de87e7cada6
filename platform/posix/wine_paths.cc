#include "platform/posix/wine_paths.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

namespace platform::posix {
namespace {

bool sameIgnoringAsciiCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// The entry of |folder| whose name equals |name| without regard to case, or
// an empty string. When several match (possible on Linux only), the first in
// byte order wins, so the choice never depends on the folder's entry order.
std::string findIgnoringCase(const std::string& folder, const std::string& name) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return {};
  std::string best;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string candidate = entry->d_name;
    if (sameIgnoringAsciiCase(candidate, name) && (best.empty() || candidate < best)) {
      best = candidate;
    }
  }
  ::closedir(dir);
  return best;
}

std::vector<std::string> splitComponents(const std::string& path) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

// Appends |relative| to |base| component by component, matching each
// component's case against what exists on disk.
std::string resolveComponents(std::string base, const std::string& relative) {
  bool matching = true;
  for (const std::string& part : splitComponents(relative)) {
    std::string next = part;
    if (matching && part != "." && part != "..") {
      const std::string exact = base.empty() ? part : base + "/" + part;
      if (!exists(exact)) {
        const std::string found = findIgnoringCase(base, part);
        if (found.empty()) {
          matching = false;  // nothing below a missing folder can exist
        } else {
          next = found;
        }
      }
    }
    base = base.empty() ? next : base + "/" + next;
  }
  const bool trailingSeparator =
      !relative.empty() && (relative.back() == '\\' || relative.back() == '/');
  if (trailingSeparator && !base.empty() && base.back() != '/') base += '/';
  return base;
}

std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

std::string toNativePath(const std::string& prefix, const std::string& windowsPath) {
  if (!windowsPath.empty() && windowsPath.front() == '/') {
    std::string native = windowsPath;
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
  }
  const std::string drives = withoutTrailingSlashes(prefix) + "/dosdevices/";
  const bool hasDrive = windowsPath.size() >= 2 && windowsPath[1] == ':' &&
                        std::isalpha(static_cast<unsigned char>(windowsPath[0]));
  if (hasDrive) {
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])));
    const std::string root = drives + letter + ":";
    const std::string rest = windowsPath.substr(2);
    if (rest.empty()) return root;
    return resolveComponents(root, rest);
  }
  if (!windowsPath.empty() && windowsPath.front() == '\\') {
    return resolveComponents(drives + "c:", windowsPath);
  }
  return resolveComponents({}, windowsPath);
}

std::string defaultWinePrefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return prefix;
  const char* home = std::getenv("HOME");
  std::string homeFolder = home != nullptr ? home : "";
  if (homeFolder.empty()) {
    if (const passwd* user = ::getpwuid(::getuid())) homeFolder = user->pw_dir;
  }
  return withoutTrailingSlashes(homeFolder) + "/.wine";
}

}  // namespace platform::posix
