// Test set-up: a fresh folder under the system's temporary folder, removed
// with everything in it when the object goes away. Tests create and inspect
// their files here directly (set-up code, not the code under test).
//
// Paths are UTF-8 strings in the system's own form: the folder comes from
// the system (on Windows with '\' separators and a drive letter), and the
// parts a test appends are joined with '/', which Windows accepts as well.
#pragma once

#include <string>

namespace testsupport {

class ScratchDir {
 public:
  // Throws std::runtime_error when no folder can be made.
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

  // Writes |bytes| to |relative|, creating the folders on the way; returns
  // the full path.
  std::string write(const std::string& relative, const std::string& bytes) const;

  // Creates |relative| and the folders above it; returns the full path.
  std::string mkdirs(const std::string& relative) const;

  // Writes |bytes| to the file |full|, whose folder must exist, replacing
  // whatever file stands there.
  static void overwrite(const std::string& full, const std::string& bytes);

  // The whole file, or "" when it cannot be read.
  static std::string read(const std::string& full);

  // True when anything stands at |full|, a dangling link included.
  static bool exists(const std::string& full);

  // True when |full| is a symbolic link.
  static bool isLink(const std::string& full);

  // Makes the file at |full| read-only for everyone.
  static void makeReadOnly(const std::string& full);

  // Creates a symbolic link at |link| to the file |target| (which need not
  // exist). False when the system refuses, as Windows may without the
  // privilege or developer mode.
  [[nodiscard]] static bool makeSymlink(const std::string& target, const std::string& link);

 private:
  std::string path_;
};

}  // namespace testsupport
