#include "testsupport/process.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace testsupport {
namespace {

TEST(ProcessTest, QuotesWindowsArgumentsForTheCRuntime) {
  const struct {
    const char* arg;
    const char* quoted;
  } cases[] = {
      {"plain", "plain"},
      {"", "\"\""},
      {"two words", "\"two words\""},
      {"tab\there", "\"tab\there\""},
      {"C:\\Program Files\\x", "\"C:\\Program Files\\x\""},
      {"C:\\dir\\", "C:\\dir\\"},
      {"a dir\\", "\"a dir\\\\\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"back\\\"quote", "\"back\\\\\\\"quote\""},
  };
  for (const auto& c : cases) EXPECT_EQ(quoteWindowsArgument(c.arg), c.quoted) << c.arg;
}

TEST(ProcessTest, CapturesBothStreamsTheExitCodeAndPassesTheEnvironment) {
#ifdef _WIN32
  const ProcessResult result =
      runProcess("cmd.exe", {"/c", "echo %OKM_PROCESS_TEST%& echo err>&2& exit /b 3"},
                 {{"OKM_PROCESS_TEST", "out"}});
  const std::string newline = "\r\n";
#else
  const ProcessResult result =
      runProcess("sh", {"-c", "echo \"$OKM_PROCESS_TEST\"; echo err >&2; exit 3"},
                 {{"OKM_PROCESS_TEST", "out"}});
  const std::string newline = "\n";
#endif
  EXPECT_EQ(result.out, "out" + newline);
  EXPECT_EQ(result.err, "err" + newline);
  EXPECT_EQ(result.exitCode, 3);
}

TEST(ProcessTest, MissingProgramThrows) {
  EXPECT_THROW(runProcess("okm-no-such-program"), std::runtime_error);
}

}  // namespace
}  // namespace testsupport
