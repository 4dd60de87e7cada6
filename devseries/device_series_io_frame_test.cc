// Whole documents against the version frame and the file system: which
// versions a read accepts inside and outside the host application, and what
// a failing file operation leaves behind when a document is written.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "devseries/device_series_io.h"
#include "testsupport/file_calls.h"
#include "testsupport/hosts/device_series_docs.h"
#include "xml/app_title.h"

namespace devseries {
namespace {

using testsupport::documentText;
using testsupport::Fault;
using testsupport::FileOp;
using testsupport::formatOneChildren;
using testsupport::formatOneFromPayload;
using testsupport::kIn;
using testsupport::kOut;
using testsupport::payloadText;
using testsupport::replaced;

class DeviceSeriesIOFrameTest : public testsupport::DeviceSeriesIOTest {
 protected:
  // Gives the environment |title|; the host's own turns the version check on.
  void setTitle(std::string_view title = xml::kHostApplicationTitle) {
    env_.fakeResources().setString(xml::kApplicationTitleStringId, std::string(title));
  }

  // The payload document ostrand_km.dsr with another strVersion.
  std::string payloadWithVersion(std::string_view version) {
    return replaced(payloadText("ostrand_km.dsr"), "6.6.13.0", version);
  }

  // How often |path| was opened since the last clearCalls().
  int opensOf(const std::string& path) const {
    return testsupport::countCalls(files_.calls(), FileOp::kOpen, path);
  }
};

// ---------------------------------------------------------------------------
// Version rules

TEST_F(DeviceSeriesIOFrameTest, OutsideTheHostAnyVersionIsReadAndKept) {
  const std::string text = payloadWithVersion("9.9.0.0");
  memory_.put(kIn, text);
  DeviceSeriesIO2 reader(kIn, env_);
  DeviceSeries record;
  ASSERT_TRUE(reader.read(record)) << reader.lastError();
  EXPECT_EQ(reader.getVersionCode(), 9090000);
  EXPECT_EQ(record.aModeInfoList.size(), 11);

  memory_.put(kOut, text);
  DeviceSeriesIO2 writer(kOut, env_);
  ASSERT_TRUE(writer.write(record));
  EXPECT_EQ(memory_.content(kOut), text);
}

TEST_F(DeviceSeriesIOFrameTest, InsideTheHostANewerDocumentFails) {
  setTitle();
  for (const char* version : {"9.9.0.0", "3.4.0.0", "4.3.0.0"}) {
    SCOPED_TRACE(version);
    DeviceSeries record;
    std::string error;
    EXPECT_FALSE(readText(payloadWithVersion(version), record, &error));
    EXPECT_EQ(record, DeviceSeries());
    EXPECT_NE(error.find(version), std::string::npos) << error;
  }
}

TEST_F(DeviceSeriesIOFrameTest, InsideTheHostTheSameMajorAndMinorRead) {
  setTitle();
  DeviceSeries record;
  std::string error;
  ASSERT_TRUE(readText(payloadWithVersion("3.3.7.1"), record, &error)) << error;
  EXPECT_EQ(record.aVControlPointList.size(), 86);
}

TEST_F(DeviceSeriesIOFrameTest, InsideTheHostFormatOneUsesTheFormatOneReader) {
  const std::string text = formatOneFromPayload(payloadText("ostrand_km.dsr"));
  DeviceSeries outside;
  ASSERT_TRUE(readText(text, outside));

  setTitle();
  memory_.put(kIn, text);
  files_.clearCalls();
  DeviceSeriesIO2 io(kIn, env_);
  DeviceSeries record;
  ASSERT_TRUE(io.read(record)) << io.lastError();
  EXPECT_EQ(record, outside);
  // The format-1 reader works on the document already loaded.
  EXPECT_EQ(opensOf(kIn), 1);
}

TEST_F(DeviceSeriesIOFrameTest, InsideTheHostTheFormatOneReadersFailureIsReported) {
  std::string text = formatOneFromPayload(payloadText("ostrand_km.dsr"));
  const std::size_t second = text.find("\t\t<MediaInfo>", text.find("\t\t<MediaInfo>") + 1);
  text.insert(second, "\t\t<MediaInfo />\n");

  setTitle();
  DeviceSeries record;
  std::string error;
  EXPECT_FALSE(readText(text, record, &error));
  EXPECT_EQ(error, "a positional element is missing in /DeviceSeries/aMediaInfoList/MediaInfo[2]");
  // The format-1 reader filled the same record up to the failure.
  EXPECT_EQ(record.aMediaInfoList.size(), 1);
  EXPECT_EQ(record.aModeInfoList.size(), 11);
}

TEST_F(DeviceSeriesIOFrameTest, InsideTheHostAFormatBetweenOneAndThisFails) {
  // 3.0 is older than 3.3, so the format-1 reader decides; to it 3.0 is
  // newer than 1.0, so the read fails. 4.0 compares as older than 3.3 (its
  // minor is lower) and fails the same way.
  setTitle();
  for (const char* version : {"3.0.0.0", "3.2.9.9", "4.0.0.0", "2.5.0.0"}) {
    SCOPED_TRACE(version);
    DeviceSeries record;
    EXPECT_FALSE(readText(payloadWithVersion(version), record));
    EXPECT_EQ(record, DeviceSeries());
  }
}

TEST_F(DeviceSeriesIOFrameTest, InsideTheHostADocumentOlderThanFormatOneIsReadWhole) {
  // A success always means content: an older document is not accepted empty.
  DeviceSeries expected;
  ASSERT_TRUE(readText(payloadWithVersion("0.9.0.0"), expected));

  setTitle();
  DeviceSeries viaSecond;
  ASSERT_TRUE(readText(payloadWithVersion("0.9.0.0"), viaSecond));
  EXPECT_EQ(viaSecond, expected);

  DeviceSeriesIO first(kIn, env_);
  DeviceSeries viaFirst;
  ASSERT_TRUE(first.read(viaFirst)) << first.lastError();
  EXPECT_EQ(viaFirst, expected);

  memory_.put(kIn, payloadWithVersion("3.3.0.0"));
  DeviceSeriesIO firstOnNewer(kIn, env_);
  DeviceSeries untouched;
  EXPECT_FALSE(firstOnNewer.read(untouched));
  EXPECT_EQ(untouched, DeviceSeries());
}

TEST_F(DeviceSeriesIOFrameTest, TheCheckStaysOffForOtherTitles) {
  setTitle("Harvel Rastella");
  DeviceSeries record;
  EXPECT_TRUE(readText(payloadWithVersion("9.9.0.0"), record));
}

// ---------------------------------------------------------------------------
// Write failures

TEST_F(DeviceSeriesIOFrameTest, FailingOpenLeavesTheOldFileAsItWas) {
  DeviceSeries record;
  ASSERT_TRUE(readText(documentText(formatOneChildren()), record));
  const std::string old = payloadText("ostrand_km_300.dsr");
  memory_.put(kOut, old);
  files_.inject(Fault::failCall(FileOp::kOpen, platform::kAccessDenied, 0, "out.dsr"));
  DeviceSeriesIO2 io(kOut, env_);
  EXPECT_FALSE(io.write(record));
  EXPECT_EQ(memory_.content(kOut), old);
}

TEST_F(DeviceSeriesIOFrameTest, FailingWriteFlushOrCloseLeavesNoPartialFile) {
  DeviceSeries record;
  ASSERT_TRUE(readText(payloadText("ostrand_km.dsr"), record));
  // Each fault with the platform error the failed write tells.
  const std::vector<std::pair<Fault, platform::Error>> faults = {
      {Fault::failCall(FileOp::kOpen, platform::kAccessDenied, 0, "out.dsr"),
       platform::kAccessDenied},
      {Fault::diskFull(100, "out.dsr"), platform::kDiskFull},
      {Fault::shortWrite(100, "out.dsr"), platform::kWriteFault},
      {Fault::failCall(FileOp::kWrite, platform::kIoDevice, 0, "out.dsr"), platform::kIoDevice},
      {Fault::failCall(FileOp::kFlush, platform::kIoDevice, 0, "out.dsr"), platform::kIoDevice},
      {Fault::failCall(FileOp::kClose, platform::kIoDevice, 0, "out.dsr"), platform::kIoDevice},
  };
  for (const auto& [fault, error] : faults) {
    SCOPED_TRACE(testsupport::fileOpName(fault.op));
    memory_.put(kOut, payloadText("ostrand_km_300.dsr"));
    files_.clearFaults();
    files_.inject(fault);
    DeviceSeriesIO2 io(kOut, env_);
    EXPECT_FALSE(io.write(record));
    EXPECT_EQ(io.lastError(), platform::describeError(error));
    if (fault.op != FileOp::kOpen) {
      EXPECT_FALSE(memory_.exists(kOut));
    }
  }
}

TEST_F(DeviceSeriesIOFrameTest, TheDocumentIsFlushedBeforeItIsClosed) {
  DeviceSeries record;
  ASSERT_TRUE(readText(documentText(formatOneChildren()), record));
  files_.clearCalls();
  DeviceSeriesIO2 io(kOut, env_);
  ASSERT_TRUE(io.write(record));

  // The calls after the last open of the target: the save.
  std::vector<FileOp> save;
  for (const testsupport::FileCall& call : files_.calls()) {
    if (call.path != kOut) continue;
    if (call.op == FileOp::kOpen) save.clear();
    save.push_back(call.op);
  }
  EXPECT_EQ(save,
            (std::vector<FileOp>{FileOp::kOpen, FileOp::kWrite, FileOp::kFlush, FileOp::kClose}));
}

}  // namespace
}  // namespace devseries
