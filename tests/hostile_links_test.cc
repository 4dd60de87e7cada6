// The catalogue of planted links: a symbolic link to a file outside the
// host stands at one of the names a second run writes (the update's ".tmp",
// ".out" and ".bak" beside an installed device-series file, an ordinary
// target, an installed device-series file itself). The run must end, the
// file the link points to must keep its bytes, and the user's device-series
// file must be untouched, merged, or replaced with its bytes kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "testsupport/hosts/second_run_host.h"
#include "testsupport/scratch_dir.h"
#include "testsupport/test_env.h"

namespace {

using testsupport::ScratchDir;

struct PlantedLink {
  const char* name;
  const char* at;        // below the device folder
  bool installedNotXml;  // the installed device-series file is junk, so ".bak" is made
};

void PrintTo(const PlantedLink& link, std::ostream* out) { *out << link.name; }

const PlantedLink kCases[] = {
    {"AtTheTemporaryCopy", "Ostrand KM.dsr.tmp", false},
    {"AtTheOutput", "Ostrand KM.dsr.out", false},
    {"AtTheBackup", "Ostrand KM.dsr.bak", true},
    {"AtAnOrdinaryTarget", "Ostrand KM.bmp", false},
    {"AtTheInstalledFile", "Ostrand KM.dsr", false},
};

class PlantedLinkTest : public ::testing::TestWithParam<PlantedLink> {
 protected:
  static void SetUpTestSuite() { testsupport::preferMemoryBackedScratch(); }
};

TEST_P(PlantedLinkTest, TheRunNeverWritesThroughIt) {
  const PlantedLink& link = GetParam();
  ScratchDir scratch;
  const std::string host = scratch / "Host";
  testsupport::makeHostAfterFirstRun(host);
  const std::string device = host + "/Rastella/Device/";
  const std::string installed = device + testsupport::kDeviceSeriesFiles.back();
  if (link.installedNotXml) ScratchDir::overwrite(installed, std::string(2048, '#'));
  const std::string userBytes = ScratchDir::read(installed);
  const std::string victim = scratch.write("Elsewhere/victim.dsr", userBytes);

  const std::string planted = device + link.at;
  std::filesystem::remove(std::filesystem::path(std::u8string(planted.begin(), planted.end())));
  if (!ScratchDir::makeSymlink(victim, planted)) {
    GTEST_SKIP() << "this system does not let us create symbolic links";
  }

  testsupport::TestEnv env(host);
  testsupport::prepareEnv(env, host);
  testsupport::runInstaller(env);

  const bool victimKept = ScratchDir::read(victim) == userBytes;
  EXPECT_TRUE(victimKept) << "written through the link at " << link.at;
  const std::string after = ScratchDir::read(installed);
  const bool backedUp = ScratchDir::read(installed + ".bak") == userBytes;
  EXPECT_TRUE(after == userBytes || after != env.fakeResources().blobText(130) || backedUp)
      << "the user's file was replaced and its bytes are gone";
}

INSTANTIATE_TEST_SUITE_P(Catalogue, PlantedLinkTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<PlantedLink>& link) {
                           return std::string(link.param.name);
                         });

}  // namespace
