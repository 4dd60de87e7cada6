// Shared set-up of the whole-document tests: the payload documents, small
// hand-made documents, text edits on saved documents, and a fixture that
// reads and writes through an in-memory file system that can be made to
// fail.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "devseries/device_series_io.h"
#include "testsupport/hosts/documents.h"
#include "testsupport/payload.h"

namespace testsupport {

inline constexpr const char* kIn = "C:\\Rastella\\in.dsr";
inline constexpr const char* kOut = "C:\\Rastella\\out.dsr";

// The whole line-indented element |name| (one tab) of a saved document,
// from its start tag to its end tag and line feed.
inline std::string rootChildBlock(const std::string& text, std::string_view name) {
  const std::string open = "\t<" + std::string(name) + ">";
  const std::string close = "\t</" + std::string(name) + ">\n";
  const std::size_t begin = text.find(open);
  const std::size_t end = text.find(close, begin);
  EXPECT_NE(end, std::string::npos) << name;
  return text.substr(begin, end + close.size() - begin);
}

// A document with the given root children and strVersion.
inline std::string documentText(const std::vector<std::string>& children,
                                std::string_view version = "1.0.0.0") {
  std::string text =
      "<?xml version=\"1.0\"?>\n<DeviceSeries strVersion=\"" + std::string(version) + "\">";
  for (const std::string& child : children) text += child;
  return text + "</DeviceSeries>";
}

// The ten root children of a format 1.0.0.0 document with empty lists and
// the command strings given (empty ones by default).
inline std::vector<std::string> formatOneChildren(std::vector<std::string> commands = {}) {
  commands.resize(9);
  std::string commandSet = "<commandSet>";
  const char* names[] = {"strInitialize", "strPrintHeader", "strPrintTailer",
                         "strCutHeader",  "strCutTailer",   "strPageFeed",
                         "strPageRewind", "strSheetCut",    "strCancel"};
  for (int i = 0; i < 9; ++i) {
    commandSet += std::string("<") + names[i] + ">" + commands[static_cast<std::size_t>(i)] + "</" +
                  names[i] + ">";
  }
  commandSet += "</commandSet>";
  return {"<aModelInfoList/>",      "<aInkInfoList/>",     "<aInkConfigInfoList/>",
          "<aResolutionInfoList/>", "<aModeInfoList/>",    "<aSeparationInfoList/>",
          "<aVControlPointList/>",  "<aPatternInfoList/>", commandSet,
          "<aMediaInfoList/>"};
}

// The payload document cut back to the ten children of format 1.0.0.0.
inline std::string formatOneFromPayload(const std::string& payload) {
  const std::size_t cut = payload.find("\t<aPrintChartFileInfoSetList>");
  return replaced(payload.substr(0, cut) + "</DeviceSeries>\n", "6.6.13.0", "1.0.0.0");
}

// Documents live in memory under Windows paths; files_ records every call
// and takes injected faults.
class DeviceSeriesIOTest : public XmlTest {
 protected:
  // Reads |text|, stored at kIn, through a fresh devseries::DeviceSeriesIO2.
  bool readText(const std::string& text, devseries::DeviceSeries& record,
                std::string* error = nullptr) {
    memory_.put(kIn, text);
    devseries::DeviceSeriesIO2 io(kIn, env_);
    const bool ok = io.read(record);
    if (error != nullptr) *error = io.lastError();
    return ok;
  }

  devseries::DeviceSeries readPayload(std::string_view name) {
    devseries::DeviceSeries record;
    const std::string text = payloadText(std::string(name));
    EXPECT_FALSE(text.empty()) << name;
    EXPECT_TRUE(readText(text, record)) << name;
    return record;
  }

  // The document devseries::DeviceSeriesIO2 writes for |record| at kOut (fresh unless
  // the test put a document there).
  std::string writtenText(devseries::DeviceSeries& record) {
    devseries::DeviceSeriesIO2 io(kOut, env_);
    EXPECT_TRUE(io.write(record));
    return memory_.content(kOut);
  }

  // |record| written and read back.
  devseries::DeviceSeries reread(devseries::DeviceSeries& record) {
    devseries::DeviceSeries again;
    EXPECT_TRUE(readText(writtenText(record), again));
    return again;
  }
};

}  // namespace testsupport
