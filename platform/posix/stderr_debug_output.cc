#include "platform/posix/stderr_debug_output.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace platform::posix {
namespace {

// How long a full non-blocking standard error is waited for, per wait.
constexpr int kFullPipeWaitMs = 1000;

// Blocks SIGPIPE on this thread while it lives, so that a write to a pipe
// without reader fails with EPIPE instead of ending the process. A SIGPIPE
// raised by our own write is taken off the thread again before the old mask
// comes back; one that was already pending stays pending. The process's
// signal dispositions are never changed.
class SigpipeBlocked {
 public:
  SigpipeBlocked() {
    sigemptyset(&pipeOnly_);
    sigaddset(&pipeOnly_, SIGPIPE);
    sigset_t pending;
    sigemptyset(&pending);
    wasPending_ = ::sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
    blocked_ = ::pthread_sigmask(SIG_BLOCK, &pipeOnly_, &saved_) == 0;
  }
  ~SigpipeBlocked() {
    if (!blocked_) return;
    if (raised_ && !wasPending_) {
      const timespec now{0, 0};
      while (::sigtimedwait(&pipeOnly_, nullptr, &now) < 0 && errno == EINTR) {
      }
    }
    ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
  }
  SigpipeBlocked(const SigpipeBlocked&) = delete;
  SigpipeBlocked& operator=(const SigpipeBlocked&) = delete;

  void noteBrokenPipe() { raised_ = true; }

 private:
  sigset_t pipeOnly_;
  sigset_t saved_;
  bool wasPending_ = false;
  bool blocked_ = false;
  bool raised_ = false;
};

// Waits until standard error takes more bytes; false when it does not
// within kFullPipeWaitMs or cannot be waited for.
bool waitWritable() {
  pollfd target{STDERR_FILENO, POLLOUT, 0};
  for (;;) {
    const int ready = ::poll(&target, 1, kFullPipeWaitMs);
    if (ready < 0 && errno == EINTR) continue;
    return ready > 0 && (target.revents & POLLOUT) != 0;
  }
}

}  // namespace

void StderrDebugOutput::write(std::string_view text) {
  if (text.empty()) return;
  const int savedErrno = errno;
  SigpipeBlocked noSigpipe;
  const char* data = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t written = ::write(STDERR_FILENO, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waitWritable()) continue;
    if (written < 0 && errno == EPIPE) noSigpipe.noteBrokenPipe();
    if (written <= 0) break;  // standard error is closed, broken or stuck: drop the text
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  errno = savedErrno;
}

}  // namespace platform::posix
