#include "platform/posix/stderr_debug_output.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "platform/testing/scratch_dir.h"

namespace platform::posix {
namespace {

using platform::testing::ScratchDir;

// Sends standard error to a file while the object lives.
class StderrToFile {
 public:
  explicit StderrToFile(const std::string& path) {
    saved_ = ::dup(STDERR_FILENO);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
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
  const std::string second("no newline, a NUL \0 and UTF-8 \xc3\xa9", 33);
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

}  // namespace
}  // namespace platform::posix
