// Test set-up: a fresh folder under the system's temporary folder, removed
// with everything in it when the object goes away. Tests create their files
// here directly (set-up code, not the code under test).
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace platform::posix {

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "okm_platform_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

  // Writes |content| to |relative|, creating the folders on the way.
  std::string write(const std::string& relative, const std::string& content) const {
    const std::string full = *this / relative;
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream(full, std::ios::binary) << content;
    return full;
  }

  std::string mkdirs(const std::string& relative) const {
    const std::string full = *this / relative;
    std::filesystem::create_directories(full);
    return full;
  }

  static std::string read(const std::string& full) {
    std::ifstream in(full, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
  }

  static bool exists(const std::string& full) {
    struct stat info {};
    return ::lstat(full.c_str(), &info) == 0;
  }

  static void makeReadOnly(const std::string& full) { ::chmod(full.c_str(), 0444); }

 private:
  std::string path_;
};

}  // namespace platform::posix
