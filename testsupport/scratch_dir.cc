#include "testsupport/scratch_dir.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace testsupport {

namespace fs = std::filesystem;

namespace {

// Our strings hold UTF-8; std::filesystem would read a narrow string in the
// ANSI code page on Windows.
fs::path native(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

#ifdef _WIN32
// Windows refuses to delete read-only files; the tests make some.
void clearReadOnly(const fs::path& folder) {
  std::error_code ignored;
  for (fs::recursive_directory_iterator it(folder, ignored), end; it != end;
       it.increment(ignored)) {
    const DWORD attributes = GetFileAttributesW(it->path().c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      SetFileAttributesW(it->path().c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    }
  }
}
#endif

}  // namespace

ScratchDir::ScratchDir() {
  // mkdtemp is POSIX only: try random names until one is new.
  const fs::path base = fs::temp_directory_path();
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = base / ("okm_" + std::to_string(random()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      path_ = utf8(candidate);
      return;
    }
    if (error) break;
  }
  throw std::runtime_error("no scratch folder can be made in " + utf8(base));
}

ScratchDir::~ScratchDir() {
#ifdef _WIN32
  clearReadOnly(native(path_));
#endif
  std::error_code ignored;
  fs::remove_all(native(path_), ignored);
}

std::string ScratchDir::write(const std::string& relative, const std::string& bytes) const {
  std::string full = *this / relative;
  fs::create_directories(native(full).parent_path());
  overwrite(full, bytes);
  return full;
}

void ScratchDir::overwrite(const std::string& full, const std::string& bytes) {
  std::ofstream out(native(full), std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out.flush()) throw std::runtime_error("cannot write " + full);
}

std::string ScratchDir::mkdirs(const std::string& relative) const {
  std::string full = *this / relative;
  fs::create_directories(native(full));
  return full;
}

std::string ScratchDir::read(const std::string& full) {
  std::ifstream in(native(full), std::ios::binary);
  std::ostringstream bytes;
  if (in) bytes << in.rdbuf();
  return bytes.str();
}

bool ScratchDir::exists(const std::string& full) {
#ifdef _WIN32
  // The attributes of a link itself; std::filesystem follows links here.
  return GetFileAttributesW(native(full).c_str()) != INVALID_FILE_ATTRIBUTES;
#else
  std::error_code ignored;
  return fs::exists(fs::symlink_status(native(full), ignored));
#endif
}

bool ScratchDir::isLink(const std::string& full) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(native(full).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
#else
  std::error_code ignored;
  return fs::is_symlink(fs::symlink_status(native(full), ignored));
#endif
}

void ScratchDir::makeReadOnly(const std::string& full) {
  // POSIX: mode 0444. Windows: the read-only attribute, which is what the
  // C runtime's chmod, and so this call, sets when no write bit is given.
  fs::permissions(native(full),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

bool ScratchDir::makeSymlink(const std::string& target, const std::string& link) {
#ifdef _WIN32
  const fs::path to = native(target).make_preferred();
  const fs::path at = native(link).make_preferred();
  if (!CreateSymbolicLinkW(at.c_str(), to.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
      !CreateSymbolicLinkW(at.c_str(), to.c_str(), 0)) {
    return false;
  }
  // Some systems report success without making a link.
  return isLink(link);
#else
  std::error_code error;
  fs::create_symlink(native(target), native(link), error);
  return !error;
#endif
}

}  // namespace testsupport
