// A preloaded library that logs, for the end-to-end tests, every fsync with
// the path of the descriptor it syncs and every rename, one line each, to
// the file named by OKM_SYNC_LOG: only the real system calls show that a
// folder is synced, where a test file system can show only that it was asked.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Appends |line| to the log with one write, so lines never interleave.
void logLine(const char* kind, const char* first, const char* second) {
  const char* log = std::getenv("OKM_SYNC_LOG");
  if (log == nullptr) return;
  char line[8192];
  const int length = std::snprintf(line, sizeof line, "%s\t%s%s%s\n", kind, first,
                                   second != nullptr ? "\t" : "", second != nullptr ? second : "");
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof line) return;
  const int fd = ::open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  if (::write(fd, line, static_cast<std::size_t>(length)) < 0) {
    // Nothing to report to: the test sees the missing line.
  }
  ::close(fd);
}

template <typename Function>
Function next(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int fsync(int fd) {
  static const auto real = next<int (*)(int)>("fsync");
  char link[64];
  char path[4096] = "?";
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t length = ::readlink(link, path, sizeof path - 1);
  if (length >= 0) path[length] = '\0';
  const int result = real(fd);
  logLine("fsync", path, nullptr);
  return result;
}

extern "C" int rename(const char* from, const char* to) {
  static const auto real = next<int (*)(const char*, const char*)>("rename");
  const int result = real(from, to);
  if (result == 0) logLine("rename", from, to);
  return result;
}
