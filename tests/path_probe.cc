// A test program: tells whether each Windows path given names something,
// found through this build's file system as the installer finds its files.
//
//   path_probe PATH...
//
// Prints one line per path, in order: its number (from 1) and "found" or
// "missing". The Linux build maps the paths into the Wine prefix of
// $WINEPREFIX (or ~/.wine); the Windows build asks the system, so under
// Wine the two builds can be compared on the same names. Exit 2 without
// paths.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

#ifdef _WIN32
#include "platform/win32/wide.h"
#include "platform/win32/win32_file_system.h"
#else
#include "platform/posix/posix_file_system.h"
#include "platform/posix/wine_paths.h"
#endif

namespace {

int probe(platform::FileSystem& files, const std::vector<std::string>& paths) {
  if (paths.empty()) {
    std::fputs("usage: path_probe PATH...\n", stderr);
    return 2;
  }
  for (std::size_t i = 0; i < paths.size(); ++i) {
    std::uint32_t attributes = 0;
    const bool found = files.getAttributes(paths[i], &attributes) == platform::kOk;
    std::printf("%zu %s\n", i + 1, found ? "found" : "missing");
  }
  return 0;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) paths.push_back(platform::win32::fromWide(argv[i]));
  platform::win32::Win32FileSystem files;
  return probe(files, paths);
}
#else
int main(int argc, char** argv) {
  platform::posix::PosixFileSystem files(platform::posix::defaultWinePrefix());
  return probe(files, std::vector<std::string>(argv + 1, argv + argc));
}
#endif
