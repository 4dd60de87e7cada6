#include "platform/posix/stderr_debug_output.h"

#include <unistd.h>

#include <cerrno>

namespace platform::posix {

void StderrDebugOutput::write(std::string_view text) {
  const char* data = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t written = ::write(STDERR_FILENO, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // standard error is closed or broken: drop the text
    data += written;
    left -= static_cast<std::size_t>(written);
  }
}

}  // namespace platform::posix
