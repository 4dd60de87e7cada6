// The document holder and the versioned frame: load and reload rules, root
// finding, version recording and the version text of writers.
#include "xml/common_io.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "testsupport/file_calls.h"
#include "testsupport/hosts/documents.h"
#include "xml/app_title.h"
#include "xml/com_error.h"

namespace xml {
namespace {

using testsupport::comErrorOf;
using testsupport::parseDocument;

constexpr const char* kPath = "C:\\Rastella\\Device\\Ostrand KM.dsr";

// A document class of format 3.3.0.0 with the root "DeviceSeries".
class SeriesIO : public ICommonIO {
 public:
  using ICommonIO::ICommonIO;
  FormatVersion& getVersion(FormatVersion& out) const override {
    out = FormatVersion::parse("3.3.0.0");
    return out;
  }
  std::string getRootElementName() const override { return "DeviceSeries"; }
};

std::string seriesDocument(const std::string& version) {
  return "<?xml version=\"1.0\"?><!--c--><?p d?><DeviceSeries strVersion=\"" + version +
         "\"><a/></DeviceSeries>";
}

class CommonIOTest : public testsupport::XmlTest {
 protected:
  void setTitle(std::string_view title) {
    env_.fakeResources().setString(kApplicationTitleStringId, std::string(title));
  }

  int opensSinceLastCheck() {
    const int opens = testsupport::countCalls(files_.calls(), testsupport::FileOp::kOpen);
    files_.clearCalls();
    return opens;
  }

  // The exception message findRootElement raises for a document |text|.
  std::string rootError(const std::string& text) {
    SeriesIO io(kPath, env_);
    try {
      io.findRootElement(parseDocument(text));
    } catch (const std::exception& error) {
      return error.what();
    }
    return "no error";
  }
};

TEST_F(CommonIOTest, LoadedDocumentStaysLoadedWithoutTouchingTheFileAgain) {
  memory_.put(kPath, seriesDocument("6.6.13.0"));
  SeriesIO io(kPath, env_);
  ASSERT_TRUE(io.loadDocument());
  EXPECT_EQ(opensSinceLastCheck(), 1);
  ASSERT_EQ(memory_.deleteFile(kPath), platform::kOk);
  EXPECT_TRUE(io.loadDocument());
  EXPECT_EQ(opensSinceLastCheck(), 0);
  EXPECT_FALSE(io.findRootElement().isNull());
}

TEST_F(CommonIOTest, FailedLoadRebuildsTheCreatorAndTriesAgain) {
  SeriesIO io(kPath, env_);
  EXPECT_FALSE(io.loadDocument());
  EXPECT_TRUE(io.creator().loadFailed());
  EXPECT_TRUE(io.creator().getDocument().isNull());
  memory_.put(kPath, "<DeviceSeries");
  EXPECT_FALSE(io.loadDocument());
  memory_.put(kPath, "<Other/>");  // loads: recognising the root comes later
  EXPECT_TRUE(io.loadDocument());
  EXPECT_FALSE(io.creator().loadFailed());
}

TEST_F(CommonIOTest, CopiesAndObjectsBuiltOnACreatorShareTheDocument) {
  memory_.put(kPath, seriesDocument("6.6.13.0"));
  SeriesIO first(kPath, env_);
  ASSERT_TRUE(first.loadDocument());
  files_.clearCalls();
  SeriesIO copy(first);
  SeriesIO second(kPath, first.creator());
  EXPECT_TRUE(second.loadDocument());
  EXPECT_EQ(copy.creator().getDocument(), first.creator().getDocument());
  EXPECT_EQ(second.creator().getDocument(), first.creator().getDocument());
  EXPECT_EQ(opensSinceLastCheck(), 0);
}

TEST_F(CommonIOTest, RootIsFoundPastCommentsAndInstructionsAndItsVersionRecorded) {
  memory_.put(kPath, seriesDocument("6.6.13.0"));
  SeriesIO io(kPath, env_);
  ASSERT_TRUE(io.loadDocument());
  Node root = io.findRootElement();
  EXPECT_EQ(root.nodeName(), "DeviceSeries");
  EXPECT_EQ(root.firstChild().nodeName(), "a");
  EXPECT_EQ(io.getVersionCode(), 6061300);
  EXPECT_EQ(io.writerVersionText(), "6.6.13.0");
}

TEST_F(CommonIOTest, MissingRootOrVersionRaisesTheFrameErrors) {
  const std::string interpret =
      "XMLIO reader reports lexically conforming but invalid structured xml file";
  EXPECT_EQ(rootError("<Other strVersion='1.0.0.0'/>"), interpret);
  EXPECT_EQ(rootError("<deviceseries strVersion='1.0.0.0'/>"), interpret);
  EXPECT_EQ(rootError("<x><DeviceSeries strVersion='1.0.0.0'/></x>"), interpret);
  EXPECT_EQ(rootError("<DeviceSeries version='1.0.0.0'/>"),
            "DeviceSeriesIO: Lacking version attribute");
  EXPECT_THROW(SeriesIO(kPath, env_).findRootElement(parseDocument("<Other/>")),
               ICommonIO::InterpretException);
  EXPECT_EQ(comErrorOf([&] { SeriesIO(kPath, env_).findRootElement(); }), kEPointer);
}

TEST_F(CommonIOTest, WriterKeepsTheFoundVersionExactly) {
  struct Case {
    const char* found;
    int code;
    const char* written;
  } cases[] = {{"1.2.345.6", 1054506, "1.2.345.6"},  // components above 99 survive
               {"0.0.0.0", 0, "3.3.0.0"},            // no version: the class's own
               {"9.9.0.0", 9090000, "9.9.0.0"},
               {"6.6", 6060000, "6.6.0.0"}};
  for (const Case& c : cases) {
    SeriesIO io(kPath, env_);
    io.findRootElement(parseDocument(seriesDocument(c.found)));
    EXPECT_EQ(io.getVersionCode(), c.code) << c.found;
    EXPECT_EQ(io.writerVersionText(), c.written) << c.found;
  }
}

TEST_F(CommonIOTest, PeekVersionNeverThrowsAndFreshWriterUsesItsClassVersion) {
  SeriesIO io(kPath, env_);
  io.peekVersion();  // no file
  EXPECT_EQ(io.getVersionCode(), 0);
  EXPECT_EQ(io.writerVersionText(), "3.3.0.0");
  memory_.put(kPath, "<Other/>");
  io.peekVersion();
  EXPECT_EQ(io.writerVersionText(), "3.3.0.0");

  SeriesIO target(kPath + std::string(".out"), env_);
  memory_.put(target.fileName(), seriesDocument("6.6.13.0"));
  setTitle(kHostApplicationTitle);  // a mismatch is swallowed too
  target.peekVersion();
  EXPECT_EQ(target.writerVersionText(), "6.6.13.0");
}

TEST_F(CommonIOTest, CreateRootElementCarriesTheClassVersion) {
  Document document = Document::create();
  Node root = SeriesIO(kPath, env_).createRootElement(document);
  EXPECT_EQ(root.nodeName(), "DeviceSeries");
  EXPECT_EQ(root.attributes().getNamedItem("strVersion").nodeTypedValue(), "3.3.0.0");
  EXPECT_TRUE(document.firstChild().isNull());
}

TEST_F(CommonIOTest, OutsideTheHostAnyVersionIsAccepted) {
  EXPECT_EQ(applicationTitle(env_.resources()), "");  // no title in the string table
  EXPECT_FALSE(runsInsideHostApplication(env_.resources()));
  SeriesIO io(kPath, env_);
  EXPECT_NO_THROW(io.findRootElement(parseDocument(seriesDocument("9.9.0.0"))));
  EXPECT_EQ(io.getVersionCode(), 9090000);
  setTitle("Harvel Rastella");
  EXPECT_NO_THROW(io.findRootElement(parseDocument(seriesDocument("1.0.0.0"))));
}

TEST_F(CommonIOTest, InsideTheHostMajorOrMinorMismatchIsRejected) {
  setTitle(kHostApplicationTitle);
  ASSERT_TRUE(runsInsideHostApplication(env_.resources()));
  SeriesIO io(kPath, env_);
  EXPECT_NO_THROW(io.findRootElement(parseDocument(seriesDocument("3.3.7.1"))));
  struct Case {
    const char* found;
    bool newer;
  } cases[] = {{"4.0.0.0", false}, {"3.4.0.0", true}, {"9.9.0.0", true}, {"3.2.9.9", false}};
  for (const Case& c : cases) {
    try {
      io.findRootElement(parseDocument(seriesDocument(c.found)));
      ADD_FAILURE() << c.found << " accepted";
    } catch (const ICommonIO::VersionMismatchException& mismatch) {
      EXPECT_EQ(mismatch.found, FormatVersion::parse(c.found));
      EXPECT_EQ(mismatch.expected, FormatVersion::parse("3.3.0.0"));
      EXPECT_EQ(mismatch.isFileNewer(), c.newer) << c.found;
      EXPECT_EQ(io.getVersionCode(), FormatVersion::parse(c.found).code());  // recorded anyway
    }
  }
}

TEST(FormatVersionTest, ParsesAsScanfAndComparesOnMajorAndMinor) {
  EXPECT_EQ(FormatVersion::parse("3.3.0.0"), (FormatVersion{3, 3, 0, 0}));
  EXPECT_EQ(FormatVersion::parse(" 1. 2.-3.4x"), (FormatVersion{1, 2, -3, 4}));
  EXPECT_EQ(FormatVersion::parse("7.x.1.1"), (FormatVersion{7, 0, 0, 0}));
  EXPECT_EQ(FormatVersion::parse("7 .1"), (FormatVersion{7, 0, 0, 0}));
  EXPECT_EQ((FormatVersion{-1, 20, 3, 4}).toString(), "-1.20.3.4");
  EXPECT_EQ((FormatVersion{3, 3, 1, 0}).compare({3, 3, 0, 9}), 0);
  EXPECT_EQ((FormatVersion{4, 0, 0, 0}).compare({3, 3, 0, 0}), -1);  // not an order
  EXPECT_EQ((FormatVersion{3, 4, 0, 0}).compare({3, 3, 0, 0}), 1);
  EXPECT_EQ((FormatVersion{2, 9, 0, 0}).compare({3, 3, 0, 0}), -1);
  EXPECT_EQ((FormatVersion{3000, 0, 0, 0}).code(), -1294967296);  // wraps, no overflow
}

}  // namespace
}  // namespace xml
