#include "testsupport/test_env.h"

#include <algorithm>
#include <stdexcept>

#ifdef _WIN32
#include "platform/win32/win32_file_system.h"
#else
#include "platform/posix/posix_file_system.h"
#endif

namespace testsupport {

#ifdef _WIN32
// Windows paths are the system's own: nothing to map, |root| is not needed.
TestEnv::TestEnv(const std::string& /*root*/)
    : TestEnv(std::make_unique<platform::win32::Win32FileSystem>()) {}

std::string windowsPathOf(const std::string& path) { return path; }
#else
namespace {

// A prefix whose drive Z: is "/" and whose other drives are those of |root|.
std::unique_ptr<ScratchDir> prefixFor(const std::string& root) {
  auto prefix = std::make_unique<ScratchDir>();
  prefix->mkdirs("dosdevices");
  bool linked = ScratchDir::makeSymlink("/", *prefix / "dosdevices/z:");
  for (char letter = 'a'; letter < 'z'; ++letter) {
    const std::string drive = std::string(1, letter) + ":";
    linked =
        ScratchDir::makeSymlink(root + "/dosdevices/" + drive, *prefix / ("dosdevices/" + drive)) &&
        linked;
  }
  if (!linked) throw std::runtime_error("cannot link the drives of " + prefix->path());
  return prefix;
}

}  // namespace

TestEnv::TestEnv(const std::string& root)
    : prefix_(prefixFor(root)),
      ownedFiles_(std::make_unique<platform::posix::PosixFileSystem>(prefix_->path())),
      files_(ownedFiles_.get()) {}

std::string windowsPathOf(const std::string& path) {
  std::string windows = "Z:" + path;
  std::replace(windows.begin(), windows.end(), '/', '\\');
  return windows;
}
#endif

}  // namespace testsupport
