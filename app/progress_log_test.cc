#include "app/progress_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport/capturing_debug_output.h"

namespace app {
namespace {

using testsupport::CapturingDebugOutput;

TEST(ProgressLineFormat, EachOutcomeHasItsExactLine) {
  const std::string path = "C:\\Host\\Rastella\\Device\\Ostrand KM.bmp";
  EXPECT_EQ(formatProgressLine(1, ProgressOutcome::kResourceNotFound, path),
            "[01] C:\\Host\\Rastella\\Device\\Ostrand KM.bmp error: resource not found.\r\n");
  EXPECT_EQ(formatProgressLine(2, ProgressOutcome::kResourceDataNotLoaded, path),
            "[02] C:\\Host\\Rastella\\Device\\Ostrand KM.bmp error: resource data cannot "
            "loaded.\r\n");
  EXPECT_EQ(formatProgressLine(3, ProgressOutcome::kResourceSizeZero, path),
            "[03] C:\\Host\\Rastella\\Device\\Ostrand KM.bmp error: resource size is zero.\r\n");
  EXPECT_EQ(formatProgressLine(4, ProgressOutcome::kFileCannotOpen, path),
            "[04] C:\\Host\\Rastella\\Device\\Ostrand KM.bmp error: file cannot opened.\r\n");
  EXPECT_EQ(formatProgressLine(5, ProgressOutcome::kUpdated, path, 33976),
            "[05] C:\\Host\\Rastella\\Device\\Ostrand KM.bmp ( 33976 Bytes ) successfly "
            "updated!\r\n");
  EXPECT_EQ(formatProgressLine(6, ProgressOutcome::kFileIoFailed, path),
            "[06] error: C:\\Host\\Rastella\\Device\\Ostrand KM.bmp file io failed.\r\n");
}

TEST(ProgressLineFormat, NumberHasTwoDigitsAtLeast) {
  EXPECT_EQ(formatProgressLine(9, ProgressOutcome::kResourceNotFound, "p"),
            "[09] p error: resource not found.\r\n");
  EXPECT_EQ(formatProgressLine(10, ProgressOutcome::kResourceNotFound, "p"),
            "[10] p error: resource not found.\r\n");
  EXPECT_EQ(formatProgressLine(100, ProgressOutcome::kResourceNotFound, "p"),
            "[100] p error: resource not found.\r\n");
}

TEST(ProgressLineFormat, LongPathsAreNeitherCutNorReformatted) {
  const std::string path = "C:\\" + std::string(5000, 'x') + "\\100% %s %d.icc";
  const std::string line = formatProgressLine(7, ProgressOutcome::kUpdated, path, 1);
  EXPECT_EQ(line, "[07] " + path + " ( 1 Bytes ) successfly updated!\r\n");
}

TEST(ProgressLineFormat, SizeIsPlainDecimal) {
  EXPECT_EQ(formatProgressLine(1, ProgressOutcome::kUpdated, "p", 1234567),
            "[01] p ( 1234567 Bytes ) successfly updated!\r\n");
}

TEST(ProgressCounter, NumbersRunFromOneAcrossCallsAndOutcomes) {
  CapturingDebugOutput output;
  emitProgressLine(output, ProgressOutcome::kResourceNotFound, "a");
  emitProgressLine(output, ProgressOutcome::kUpdated, "b", 3);
  for (int i = 0; i < 98; ++i) emitProgressLine(output, ProgressOutcome::kFileCannotOpen, "c");
  const std::vector<std::string>& lines = output.texts();
  ASSERT_EQ(lines.size(), 100u);
  EXPECT_EQ(lines[0], "[01] a error: resource not found.\r\n");
  EXPECT_EQ(lines[1], "[02] b ( 3 Bytes ) successfly updated!\r\n");
  EXPECT_EQ(lines[8], "[09] c error: file cannot opened.\r\n");
  EXPECT_EQ(lines[9], "[10] c error: file cannot opened.\r\n");
  EXPECT_EQ(lines[99], "[100] c error: file cannot opened.\r\n");
}

TEST(ProgressCounter, EachChannelCountsItsOwnLines) {
  CapturingDebugOutput first;
  CapturingDebugOutput second;
  emitProgressLine(first, ProgressOutcome::kResourceNotFound, "x");
  emitProgressLine(second, ProgressOutcome::kResourceNotFound, "y");
  emitProgressLine(first, ProgressOutcome::kResourceNotFound, "z");
  EXPECT_EQ(second.texts(), std::vector<std::string>{"[01] y error: resource not found.\r\n"});
  EXPECT_EQ(first.texts().back(), "[02] z error: resource not found.\r\n");
}

}  // namespace
}  // namespace app
