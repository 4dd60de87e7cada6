// The catalogue of hostile installed device-series documents: each case is
// a user's installed file turned hostile, and a second run of the installer
// over it. The run must end (no crash, no hang) and leave the user's file
// untouched, or correctly merged (the new media first, the user's own media
// kept), or, for a file that is not XML, replaced with its bytes kept as
// ".bak"; which of these each case may give is in the table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "devseries/device_series_io.h"
#include "testsupport/hosts/documents.h"
#include "testsupport/hosts/records.h"
#include "testsupport/hosts/second_run_host.h"
#include "testsupport/scratch_dir.h"
#include "testsupport/test_env.h"

namespace {

using testsupport::replaced;
using testsupport::ScratchDir;

enum Outcome : unsigned { kUntouched = 1, kMerged = 2, kBackedUp = 4 };

// Writes the hostile document to |path|, given the user's installed bytes
// and a scratch folder for any file the document names.
using Writer = std::function<void(const std::string& installed, const std::string& path,
                                  const std::string& scratch)>;

struct HostileDocument {
  const char* name;
  Writer write;
  unsigned allowed;     // the outcomes this case may give
  const char* blocked;  // when not null: the mend this case waits for
};

void PrintTo(const HostileDocument& document, std::ostream* out) { *out << document.name; }

const std::string kRootEnd = "</DeviceSeries>";
const std::string kSecret = "the user's private text";

// The document |installed| with a doctype after its declaration and the
// model's name made of the entity |entity|.
std::string withDoctype(const std::string& installed, const std::string& doctype,
                        const std::string& entity) {
  std::string text = replaced(installed, "?>", "?>\n" + doctype);
  const std::string model = "<strLongModelName>";
  return replaced(text, model, model + "&" + entity + ";");
}

void writeText(const std::string& path, const std::string& text) {
  ScratchDir::overwrite(path, text);
}

// Streams |installed| to |path| with |repeat| copies of |piece| (between
// |open| and |close|) as the root's last child, without holding it whole.
void writeLarge(const std::string& installed, const std::string& path, const std::string& open,
                const std::string& piece, std::size_t repeat, const std::string& close) {
  const std::size_t end = installed.rfind(kRootEnd);
  std::ofstream out(std::filesystem::path(std::u8string(path.begin(), path.end())),
                    std::ios::binary);
  out << installed.substr(0, end) << open;
  std::string chunk;
  const std::size_t perChunk = 1 << 16;
  for (std::size_t i = 0; i < perChunk && i < repeat; ++i) chunk += piece;
  for (std::size_t done = 0; done < repeat; done += perChunk) {
    out.write(chunk.data(),
              static_cast<std::streamsize>(piece.size() * std::min(perChunk, repeat - done)));
  }
  out << close << installed.substr(end);
}

std::string entityBomb() {
  std::string doctype = "<!DOCTYPE DeviceSeries [\n<!ENTITY lol0 \"lollollollol\">\n";
  for (int level = 1; level <= 9; ++level) {
    doctype += "<!ENTITY lol" + std::to_string(level) + " \"";
    for (int i = 0; i < 10; ++i) doctype += "&lol" + std::to_string(level - 1) + ";";
    doctype += "\">\n";
  }
  return doctype + "]>\n";
}

std::string manyAttributes(const std::string& installed) {
  std::string attributes;
  for (int i = 0; i < 200000; ++i) attributes += " a" + std::to_string(i) + "=\"" + "1\"";
  return replaced(installed, "<DeviceSeries ", "<DeviceSeries" + attributes + " ");
}

const HostileDocument kCases[] = {
    {"EntityBomb",
     [](const std::string& installed, const std::string& path, const std::string&) {
       writeText(path, withDoctype(installed, entityBomb(), "lol9"));
     },
     kUntouched, "the mend of DTDs and entities (hostile documents)"},
    {"ExternalEntityToLocalFile",
     [](const std::string& installed, const std::string& path, const std::string& scratch) {
       const std::string file = scratch + "/secret.txt";
       writeText(file, kSecret);
       writeText(path, withDoctype(installed,
                                   "<!DOCTYPE DeviceSeries [<!ENTITY secret SYSTEM \"file://" +
                                       file + "\">]>\n",
                                   "secret"));
     },
     kUntouched, "the mend of DTDs and entities (hostile documents)"},
    {"MillionDeepNesting",
     [](const std::string& installed, const std::string& path, const std::string&) {
       const std::size_t end = installed.rfind(kRootEnd);
       std::string deep = installed.substr(0, end);
       deep.reserve(deep.size() + 7000000 + installed.size());
       for (int i = 0; i < 1000000; ++i) deep += "<a>";
       for (int i = 0; i < 1000000; ++i) deep += "</a>";
       writeText(path, deep + installed.substr(end));
     },
     kUntouched | kMerged, nullptr},
    {"HundredMegabyteTextNode",
     [](const std::string& installed, const std::string& path, const std::string&) {
       writeLarge(installed, path, "<Notes>", "x", 100u << 20, "</Notes>");
     },
     kUntouched | kMerged, nullptr},
    {"InvalidUtf8",
     [](const std::string& installed, const std::string& path, const std::string&) {
       writeText(path, replaced(installed, "<strLongModelName>",
                                "<strLongModelName>\xC3\x28\xFF\xFE\xED\xA0\x80"));
     },
     kUntouched | kMerged | kBackedUp, nullptr},
    {"NulBytes",
     [](const std::string& installed, const std::string& path, const std::string&) {
       writeText(path, replaced(installed, "<strLongModelName>",
                                std::string("<strLongModelName>a\0b\0", 22)));
     },
     kUntouched | kMerged | kBackedUp, nullptr},
    {"ManyAttributes",
     [](const std::string& installed, const std::string& path, const std::string&) {
       writeText(path, manyAttributes(installed));
     },
     kUntouched | kMerged, nullptr},
    {"ShortTables",
     [](const std::string& installed, const std::string& path, const std::string&) {
       // An output table of type 1 whose Base64 holds 6 bytes, not 512.
       writeText(path, replaced(installed, "<aSeparationTableList />",
                                "<aSeparationTableList><SeparationTable>"
                                "<nInputChannelNum>0</nInputChannelNum>"
                                "<usOutputTable>AAECAwQF</usOutputTable>"
                                "<dStart>0.000</dStart><dPeak>0.000</dPeak><dMax>0.000</dMax>"
                                "<dEnd>0.000</dEnd><dEndMax>0.000</dEndMax><eType>1</eType>"
                                "<strInputChannel>0</strInputChannel><nInkIndex>4097</nInkIndex>"
                                "<nHeadCount>1</nHeadCount></SeparationTable>"
                                "</aSeparationTableList>"));
     },
     kUntouched | kMerged, nullptr},
    {"OutOfRangeNumbers",
     [](const std::string& installed, const std::string& path, const std::string&) {
       std::string text = replaced(installed, "<dMaxWidth>0.000", "<dMaxWidth>1e999999");
       text = replaced(text, "<nHeadNum>0", "<nHeadNum>-99999999999999999999999");
       writeText(path, replaced(text, "<nPreHeater>37", "<nPreHeater>4294967296000"));
     },
     kUntouched | kMerged, nullptr},
    {"MalformedEscapes",
     [](const std::string& installed, const std::string& path, const std::string&) {
       writeText(path, replaced(installed, "<strInitialize />",
                                "<strInitialize>ok\\x4"
                                "</strInitialize>"));
     },
     kUntouched, nullptr},
};

class HostileDocumentTest : public ::testing::TestWithParam<HostileDocument> {
 protected:
  static void SetUpTestSuite() { testsupport::preferMemoryBackedScratch(); }
};

// The English names of the media in the document at |path| (empty when it
// cannot be read).
std::vector<std::string> mediaNames(platform::Env& env, const std::string& path) {
  devseries::DeviceSeries record;
  devseries::DeviceSeriesIO2 io(path, env);
  std::vector<std::string> names;
  if (!io.read(record)) return names;
  for (const devseries::MediaInfo& media : record.aMediaInfoList) {
    names.push_back(media.strMediaName[0]);
  }
  return names;
}

TEST_P(HostileDocumentTest, UsersFileIsKept) {
  const HostileDocument& hostile = GetParam();
  ScratchDir scratch;
  const std::string host = scratch / "Host";
  testsupport::makeHostAfterFirstRun(host);
  const std::string file = host + "/Rastella/Device/" + testsupport::kDeviceSeriesFiles.back();
  const std::string installed = ScratchDir::read(file);
  hostile.write(installed, file, scratch.path());
  const std::string before = ScratchDir::read(file);

  testsupport::TestEnv env(host);
  testsupport::prepareEnv(env, host);
  testsupport::runInstaller(env);

  const std::string after = ScratchDir::read(file);
  unsigned outcome = 0;
  if (after == before) outcome |= kUntouched;
  const std::vector<std::string> merged = {"Generic Paper", "Generic PVC", "Generic Banner",
                                           testsupport::kUserMedia};
  if (after != before && mediaNames(env, file) == merged) outcome |= kMerged;
  if (after == env.fakeResources().blobText(130) && ScratchDir::read(file + ".bak") == before) {
    outcome |= kBackedUp;
  }
  const testsupport::Tree tree = testsupport::snapshot(host);
  std::vector<std::string> leaks;
  for (const auto& [path, bytes] : tree) {
    if (bytes.find(kSecret) != std::string::npos) leaks.push_back(path);
  }
  const bool kept = (outcome & hostile.allowed) != 0 && leaks.empty() &&
                    testsupport::temporaryFiles(tree).empty();
  if (!kept && hostile.blocked != nullptr) GTEST_SKIP() << "needs " << hostile.blocked;
  EXPECT_NE(outcome & hostile.allowed, 0u) << "outcome " << outcome;
  EXPECT_EQ(leaks, std::vector<std::string>{});
  EXPECT_EQ(testsupport::temporaryFiles(tree), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Catalogue, HostileDocumentTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<HostileDocument>& document) {
                           return std::string(document.param.name);
                         });

}  // namespace
