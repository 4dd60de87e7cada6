#include "platform/posix/stderr_debug_output.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "testsupport/scratch_dir.h"

namespace platform::posix {
namespace {

using testsupport::ScratchDir;

// Sends standard error to a file while the object lives.
class StderrToFile {
 public:
  explicit StderrToFile(const std::string& path)
      : StderrToFile(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600)) {}
  // Takes |fd| as standard error (and closes |fd| itself).
  explicit StderrToFile(int fd) {
    saved_ = ::dup(STDERR_FILENO);
    ::dup2(fd, STDERR_FILENO);
    ::close(fd);
  }
  ~StderrToFile() {
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
  }

 private:
  int saved_ = -1;
};

TEST(StderrDebugOutput, WritesEachTextByteForByte) {
  ScratchDir scratch;
  const std::string path = scratch / "stderr.txt";
  const std::string first =
      "[01] C:\\Host\\Rastella\\Device\\Ostrand KM.bmp ( 33976 Bytes ) successfly updated!\r\n";
  const std::string second("no newline, a NUL \0 and UTF-8 \xc3\xa9", 32);
  const std::string large(1 << 20, 'x');
  {
    StderrToFile redirect(path);
    StderrDebugOutput output;
    output.write(first);
    output.write("");
    output.write(second);
    output.write(large);
  }
  EXPECT_EQ(ScratchDir::read(path), first + second + large);
}

TEST(StderrDebugOutputDeathTest, PipeWithoutReaderLeavesNoSignal) {
  EXPECT_EXIT(
      {
        ::signal(SIGPIPE, SIG_DFL);
        int ends[2];
        if (::pipe(ends) != 0) std::_Exit(2);
        ::close(ends[0]);
        StderrToFile redirect(ends[1]);
        StderrDebugOutput output;
        output.write("[01] lost\r\n");
        output.write("[02] lost too\r\n");
        sigset_t pending;
        ::sigpending(&pending);
        std::_Exit(sigismember(&pending, SIGPIPE) == 1 ? 3 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(StderrDebugOutput, FullNonBlockingPipeIsWaitedFor) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ::fcntl(ends[1], F_SETFL, O_NONBLOCK);
  const std::string line(3 * ::fcntl(ends[1], F_GETPIPE_SZ), 'x');
  std::string received;
  std::thread reader([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(ends[0], buffer, sizeof buffer)) > 0) received.append(buffer, got);
  });
  {
    StderrToFile redirect(ends[1]);
    StderrDebugOutput output;
    output.write(line);
  }
  reader.join();
  ::close(ends[0]);
  EXPECT_EQ(received.size(), line.size());
}

}  // namespace
}  // namespace platform::posix
