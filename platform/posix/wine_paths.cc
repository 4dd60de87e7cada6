#include "platform/posix/wine_paths.h"

#include <dirent.h>
#include <locale.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wctype.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

#include "platform/paths.h"
#include "platform/unicode.h"

namespace platform::posix {
namespace {

// The locale whose case mappings fold names: C.UTF-8 maps every letter of
// Unicode. Null when the system lacks it; names then fold in ASCII only, so
// at worst a name is not found, never a wrong one taken.
locale_t foldingLocale() {
  static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  return locale;
}

// |c| upper-cased as Wine's case table does it: by its simple mapping, but
// only where lower-casing the result gives |c| back. So final sigma,
// dotless i, the micro sign, long s and the title-case digraphs stay as
// they are (Wine, as Windows, matches none of them with Σ, I, Μ, S or the
// capital digraph), while every other letter folds.
char32_t upperAsWine(char32_t c, locale_t locale) {
  const auto upper = static_cast<char32_t>(::towupper_l(static_cast<wint_t>(c), locale));
  return static_cast<char32_t>(::towlower_l(static_cast<wint_t>(upper), locale)) == c ? upper : c;
}

// |name| as Wine compares file names: each character upper-cased as
// upperAsWine says. Characters beyond the BMP are UTF-16 surrogate pairs
// to Wine, which it leaves as they are.
std::u32string folded(const std::string& name) {
  const locale_t locale = foldingLocale();
  std::u32string result;
  for (std::size_t pos = 0; pos < name.size();) {
    char32_t c = decodeUtf8(name, &pos);
    if (c < 0x80) {
      c = static_cast<char32_t>(std::toupper(static_cast<int>(c)));
    } else if (c <= 0xFFFF && locale != locale_t{}) {
      c = upperAsWine(c, locale);
    }
    result.push_back(c);
  }
  return result;
}

bool exists(const std::string& path) {
  struct stat info = {};
  return ::lstat(path.c_str(), &info) == 0;
}

// The entry of |folder| whose name equals |name| without regard to case, or
// an empty string. When several match (possible on Linux only), the first in
// byte order wins, so the choice never depends on the folder's entry order.
std::string findIgnoringCase(const std::string& folder, const std::string& name) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return {};
  const std::u32string wanted = folded(name);
  std::string best;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string candidate = entry->d_name;
    if (folded(candidate) == wanted && (best.empty() || candidate < best)) {
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

// Applies "." and ".." to the components of a path below a root, as
// Windows does before it opens anything: "." is dropped, ".." drops the
// component before it and stays at the root when there is none, so the
// path never leaves its drive.
std::vector<std::string> collapseDots(const std::vector<std::string>& parts) {
  std::vector<std::string> kept;
  for (const std::string& part : parts) {
    if (part == ".") continue;
    if (part == "..") {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    kept.push_back(part);
  }
  return kept;
}

// Appends |parts| to |base| one by one, matching each one's case against
// what exists on disk; |trailingSeparator| keeps a final slash.
std::string resolveComponents(std::string base, const std::vector<std::string>& parts,
                              bool trailingSeparator) {
  bool matching = true;
  for (const std::string& part : parts) {
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
  if (trailingSeparator && !base.empty() && base.back() != '/') base += '/';
  return base;
}

std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

std::string toNativePath(const std::string& prefix, const std::string& windowsPath) {
  if (windowsPath.size() >= 2 && isPathSeparator(windowsPath[0]) &&
      isPathSeparator(windowsPath[1])) {
    return {};  // network ("\\server\share") and device paths have no place here
  }
  if (!windowsPath.empty() && windowsPath.front() == '/') {
    std::string native = windowsPath;
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
  }
  const bool trailingSeparator = !windowsPath.empty() && isPathSeparator(windowsPath.back());
  const std::string drives = withoutTrailingSlashes(prefix) + "/dosdevices/";
  const bool hasDrive = windowsPath.size() >= 2 && windowsPath[1] == ':' &&
                        std::isalpha(static_cast<unsigned char>(windowsPath[0]));
  if (hasDrive) {
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])));
    std::string root = drives + letter + ":";
    const std::string rest = windowsPath.substr(2);
    if (rest.empty()) return root;
    return resolveComponents(root, collapseDots(splitComponents(rest)), trailingSeparator);
  }
  if (!windowsPath.empty() && windowsPath.front() == '\\') {
    return resolveComponents(drives + "c:", collapseDots(splitComponents(windowsPath)),
                             trailingSeparator);
  }
  return resolveComponents({}, splitComponents(windowsPath), trailingSeparator);
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

namespace platform {

bool isAbsolutePath(std::string_view path) { return isDriveAbsolutePath(path); }

}  // namespace platform
