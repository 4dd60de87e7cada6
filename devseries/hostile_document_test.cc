// Whole documents a user's machine may hold that are unusual or hostile:
// legacy encodings, DTDs, and counts that would multiply memory.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "devseries/device_series_io.h"
#include "devseries/document_limits.h"
#include "testsupport/hosts/device_series_docs.h"

namespace devseries {
namespace {

using testsupport::DeviceSeriesIOTest;
using testsupport::documentText;
using testsupport::formatOneChildren;
using testsupport::kIn;
using testsupport::payloadText;
using testsupport::replaced;

// |count| copies of |item|.
std::string times(int count, std::string_view item) {
  std::string out;
  for (int i = 0; i < count; ++i) out += item;
  return out;
}

// |text| with |count| more copies of its first element |name| (which must
// not nest inside itself) right after it.
std::string withCopies(const std::string& text, std::string_view name, int count) {
  std::string open = "<";
  open += name;
  open += '>';
  std::string close = "</";
  close += name;
  close += '>';
  const std::size_t begin = text.find(open);
  const std::size_t end = text.find(close, begin) + close.size();
  std::string out = text;
  out.insert(end, times(count, text.substr(begin, end - begin)));
  return out;
}

// |text| with |inserted| right after the first |marker|.
std::string after(const std::string& text, std::string_view marker, std::string_view inserted) {
  return replaced(text, marker, std::string(marker) + std::string(inserted));
}

TEST_F(DeviceSeriesIOTest, LegacyEncodedDocumentReadsAsUtf8) {
  std::vector<std::string> children = formatOneChildren({"\x93\xfa\x96\x7b"});
  const std::string text = replaced(documentText(children), "<?xml version=\"1.0\"?>",
                                    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>");
  DeviceSeries record;
  ASSERT_TRUE(readText(text, record));
  EXPECT_EQ(record.commandSet.strInitialize, "\xe6\x97\xa5\xe6\x9c\xac");
}

// A document whose DTD may change what it says loads (it is XML), but is
// never read: the update then leaves it exactly as it is.
TEST_F(DeviceSeriesIOTest, DocumentDependingOnADtdLoadsButIsNotRead) {
  const std::string text = replaced(payloadText("ostrand_km.dsr"), "<DeviceSeries ",
                                    "<!DOCTYPE DeviceSeries [<!ENTITY e 'x'>]><DeviceSeries ");
  memory_.put(kIn, after(text, "<strMIBModelName>", "&e;"));
  DeviceSeriesIO2 io(kIn, env_);
  EXPECT_TRUE(io.loadDocument());
  DeviceSeries record;
  EXPECT_FALSE(io.read(record));
  EXPECT_EQ(io.lastError(), "the document depends on a DTD, which is never read");
}

// One separation with 10 000 input channels and 1 000 permission sets on
// it with the custom screen: a 1 MB document whose screen angles once grew
// to 10 million, written as a 419 MB file.
TEST_F(DeviceSeriesIOTest, DocumentThatWouldMultiplyScreenAnglesIsNotRead) {
  std::vector<std::string> children = formatOneChildren();
  std::string& separations = children[5];
  separations = "<aSeparationInfoList><SeparationInfo><nSeparationIndex>1</nSeparationIndex>";
  separations += "<anInputChannelInkIndexList>";
  separations += times(10000, "<nInkIndex>0</nInkIndex>");
  separations += "</anInputChannelInkIndexList></SeparationInfo></aSeparationInfoList>";
  std::string& media = children[9];
  media = "<aMediaInfoList><MediaInfo><strMediaName/><strBaseMediaName/><aPermissionSetList>";
  media += times(1000,
                 "<PermissionSet><n>0</n><a/><n>0</n><n>0</n><eScreen>8</eScreen>"
                 "<nSeparationIndex>1</nSeparationIndex></PermissionSet>");
  media += "</aPermissionSetList><aQualityInfoList/>";
  media += times(12, "<n>0</n>");
  media += "</MediaInfo></aMediaInfoList>";
  DeviceSeries record;
  std::string error;
  EXPECT_FALSE(readText(documentText(children), record, &error));
  EXPECT_EQ(error.rfind("more than 24 input channels in a separation", 0), 0u) << error;
}

struct Excess {
  const char* what;
  std::string text;
};

// Every bounded count, one beyond its bound, fails the read.
TEST_F(DeviceSeriesIOTest, CountsBeyondTheirBoundFailTheRead) {
  const std::string payload = payloadText("ostrand_km.dsr");
  const Excess kExcesses[] = {
      {"models", withCopies(payload, "ModelInfo", kMaxModels)},
      {"separations", withCopies(payload, "SeparationInfo", kMaxSeparations)},
      {"separation tables", withCopies(payload, "SeparationTable", kMaxChannels)},
      {"input channels", after(payload, "<anInputChannelInkIndexList>",
                               times(kMaxChannels + 1, "<nInkIndex>0</nInkIndex>"))},
      {"screen angles", after(payload, "<bVisiblePermission>",
                              std::string("true</bVisiblePermission><screenOption><flDegrees>") +
                                  times(kMaxChannels + 1, "<flDegree0>1</flDegree0>") +
                                  "</flDegrees></screenOption><bVisiblePermission>")},
      {"feed calibration values",
       after(payload, "<aflFeedCalibration>", times(kMaxModels + 1, "<value>1</value>"))},
  };
  for (const Excess& excess : kExcesses) {
    DeviceSeries record;
    std::string error;
    EXPECT_FALSE(readText(excess.text, record, &error)) << excess.what;
    EXPECT_NE(error.find("more than"), std::string::npos) << excess.what << ": " << error;
  }
}

}  // namespace
}  // namespace devseries
