// The committed ICC profiles, read back with LittleCMS the way a RIP reads
// them.
#include "tools/payloadgen/icc_profile.h"

#include <gtest/gtest.h>
#include <lcms2.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "testsupport/payload.h"
#include "tools/payloadgen/ink_model.h"
#include "tools/payloadgen/profile_list.h"

namespace payloadgen {

// Test names and messages show a profile by its name.
void PrintTo(const ProfileEntry& entry, std::ostream* out) { *out << entry.name; }

namespace {

struct ProfileCloser {
  void operator()(void* profile) const { cmsCloseProfile(profile); }
};
struct TransformDeleter {
  void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;
using Transform = std::unique_ptr<void, TransformDeleter>;

std::string committedProfile(const ProfileEntry& entry) {
  return testsupport::payloadText("profiles/" + entry.fileName);
}

std::string profileText(cmsHPROFILE profile, cmsInfoType info) {
  char text[256] = {};
  cmsGetProfileInfoASCII(profile, info, "en", "US", text, sizeof text);
  return text;
}

// Media-relative Lab of CMYK patches (0..100) through the profile's tables.
std::vector<cmsCIELab> labOf(cmsHPROFILE profile, const std::vector<Cmyk>& patches) {
  Profile lab(cmsCreateLab4Profile(nullptr));
  Transform toLab(cmsCreateTransform(profile, TYPE_CMYK_DBL, lab.get(), TYPE_Lab_DBL,
                                     INTENT_RELATIVE_COLORIMETRIC, 0));
  std::vector<cmsCIELab> result(patches.size());
  for (std::size_t i = 0; i < patches.size(); ++i) {
    double cmyk[4];
    for (int ink = 0; ink < 4; ++ink) cmyk[ink] = patches[i][ink] * 100.0;
    cmsDoTransform(toLab.get(), cmyk, &result[i], 1);
  }
  return result;
}

const std::vector<Cmyk> kPatches = {{0, 0, 0, 0},    {1, 0, 0, 0},         {0, 1, 0, 0},
                                    {0, 0, 1, 0},    {0, 0, 0, 1},         {0.5, 0.5, 0.5, 0},
                                    {0.25, 0, 0, 0}, {0.7, 0.2, 0.9, 0.3}, {0.4, 0.8, 0.1, 0}};

// A fixed set of colorant combinations away from the gamut's edges: every
// amount within 5..85 % and the total below |inkLimit|.
std::vector<Cmyk> interiorPatches(double inkLimit) {
  std::vector<Cmyk> patches;
  std::uint32_t state = 2016;
  while (patches.size() < 40) {
    Cmyk cmyk;
    for (double& amount : cmyk) {
      state = state * 1103515245u + 12345u;
      amount = 0.05 + 0.8 * ((state >> 16) % 1001) / 1000.0;
    }
    if (cmyk[0] + cmyk[1] + cmyk[2] + cmyk[3] <= inkLimit) patches.push_back(cmyk);
  }
  return patches;
}

class IccTest : public ::testing::TestWithParam<ProfileEntry> {
 protected:
  void SetUp() override {
    bytes_ = committedProfile(GetParam());
    ASSERT_FALSE(bytes_.empty()) << GetParam().fileName;
    profile_.reset(
        cmsOpenProfileFromMem(bytes_.data(), static_cast<cmsUInt32Number>(bytes_.size())));
    ASSERT_TRUE(profile_) << GetParam().fileName;
  }

  std::string bytes_;
  Profile profile_;
};

TEST_P(IccTest, IsV2CmykToLabOutput) {
  cmsHPROFILE profile = profile_.get();
  EXPECT_EQ(cmsGetDeviceClass(profile), cmsSigOutputClass);
  EXPECT_EQ(cmsGetColorSpace(profile), cmsSigCmykData);
  EXPECT_EQ(cmsGetPCS(profile), cmsSigLabData);
  EXPECT_EQ(cmsGetEncodedICCversion(profile), 0x02400000u);
  EXPECT_LT(bytes_.size(), 100u * 1024);
  // The size field of the header is the file size.
  const auto* header = reinterpret_cast<const unsigned char*>(bytes_.data());
  EXPECT_EQ(
      static_cast<std::size_t>(header[0] << 24 | header[1] << 16 | header[2] << 8 | header[3]),
      bytes_.size());
  for (cmsTagSignature tag : {cmsSigAToB0Tag, cmsSigBToA0Tag, cmsSigAToB1Tag, cmsSigBToA1Tag,
                              cmsSigAToB2Tag, cmsSigBToA2Tag, cmsSigMediaWhitePointTag}) {
    EXPECT_TRUE(cmsIsTag(profile, tag)) << std::hex << tag;
  }
}

TEST_P(IccTest, FixedTextsAndDate) {
  EXPECT_EQ(profileText(profile_.get(), cmsInfoDescription), GetParam().name);
  EXPECT_EQ(profileText(profile_.get(), cmsInfoCopyright), kProfileCopyright);
  struct tm created = {};
  ASSERT_TRUE(cmsGetHeaderCreationDateTime(profile_.get(), &created));
  EXPECT_EQ(created.tm_year + 1900, 2016);
  EXPECT_EQ(created.tm_mon + 1, 3);
  EXPECT_EQ(created.tm_mday, 1);
  EXPECT_EQ(created.tm_hour + created.tm_min + created.tm_sec, 0);
  // Version 2 has no profile ID: the field stays zero.
  EXPECT_EQ(bytes_.substr(84, 16), std::string(16, '\0'));
}

TEST_P(IccTest, MediumAndInkModel) {
  const InkModel model = inkModelFor(GetParam());
  const auto* white =
      static_cast<const cmsCIEXYZ*>(cmsReadTag(profile_.get(), cmsSigMediaWhitePointTag));
  ASSERT_NE(white, nullptr);
  EXPECT_NEAR(white->X, model.mediaWhite.X, 1e-4);
  EXPECT_NEAR(white->Y, model.mediaWhite.Y, 1e-4);
  EXPECT_NEAR(white->Z, model.mediaWhite.Z, 1e-4);

  const std::vector<cmsCIELab> lab = labOf(profile_.get(), kPatches);
  for (std::size_t i = 0; i < kPatches.size(); ++i) {
    const LabColour expected = relativeLab(model, kPatches[i]);
    EXPECT_LT(deltaE({lab[i].L, lab[i].a, lab[i].b}, expected), 1.0) << "patch " << i;
  }
}

TEST_P(IccTest, SrgbToLabRoundTrip) {
  Profile srgb(cmsCreate_sRGBProfile());
  Transform toPrinter(cmsCreateTransform(srgb.get(), TYPE_RGB_8, profile_.get(), TYPE_CMYK_8,
                                         INTENT_PERCEPTUAL, 0));
  ASSERT_TRUE(toPrinter);
  const unsigned char rgb[] = {255, 255, 255, 0, 0, 0, 255, 0, 0};
  unsigned char cmyk[12] = {};
  cmsDoTransform(toPrinter.get(), rgb, cmyk, 3);
  EXPECT_EQ(cmyk[0] + cmyk[1] + cmyk[2] + cmyk[3], 0);  // white paper stays blank
  EXPECT_GT(cmyk[7], 200);                              // black uses black ink
  EXPECT_GT(cmyk[9], 200);                              // red is magenta ...
  EXPECT_GT(cmyk[10], 150);                             // ... and yellow
  EXPECT_LT(cmyk[8], 40);                               // without cyan

  // Colours well inside what the medium prints survive Lab -> CMYK -> Lab
  // colorimetrically, up to the interpolation of the tables.
  Profile lab(cmsCreateLab4Profile(nullptr));
  Transform toCmyk(cmsCreateTransform(lab.get(), TYPE_Lab_DBL, profile_.get(), TYPE_CMYK_DBL,
                                      INTENT_RELATIVE_COLORIMETRIC, 0));
  ASSERT_TRUE(toCmyk);
  const std::vector<cmsCIELab> printable =
      labOf(profile_.get(), interiorPatches(inkModelFor(GetParam()).totalInkLimit - 0.3));
  double total = 0;
  double largest = 0;
  for (const cmsCIELab& colour : printable) {
    double separated[4];
    cmsDoTransform(toCmyk.get(), &colour, separated, 1);
    const cmsCIELab back = labOf(profile_.get(), {{separated[0] / 100, separated[1] / 100,
                                                   separated[2] / 100, separated[3] / 100}})[0];
    const double error = cmsDeltaE(&colour, &back);
    largest = std::max(largest, error);
    total += error;
  }
  EXPECT_LT(largest, 4.0);
  EXPECT_LT(total / printable.size(), 1.2);
}

TEST_P(IccTest, IntentTables) {
  Profile lab(cmsCreateLab4Profile(nullptr));
  auto printedLightness = [&](cmsUInt32Number intent, double L) {
    Transform toCmyk(
        cmsCreateTransform(lab.get(), TYPE_Lab_DBL, profile_.get(), TYPE_CMYK_DBL, intent, 0));
    const cmsCIELab grey{L, 0, 0};
    double cmyk[4];
    cmsDoTransform(toCmyk.get(), &grey, cmyk, 1);
    return labOf(profile_.get(), {{cmyk[0] / 100, cmyk[1] / 100, cmyk[2] / 100, cmyk[3] / 100}})[0]
        .L;
  };
  // A mid-dark grey every medium prints: colorimetric keeps it, perceptual
  // prints it lighter because the whole range 0..100 is compressed.
  EXPECT_NEAR(printedLightness(INTENT_RELATIVE_COLORIMETRIC, 40.0), 40.0, 1.0);
  EXPECT_GT(printedLightness(INTENT_PERCEPTUAL, 40.0), 41.5);
  EXPECT_NEAR(printedLightness(INTENT_PERCEPTUAL, 100.0), 100.0, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Committed, IccTest, ::testing::ValuesIn(profileEntries()),
                         [](const ::testing::TestParamInfo<ProfileEntry>& param) {
                           return param.param.name;
                         });

TEST(IccProfilesTest, EveryPrintingConditionHasItsOwnColour) {
  const std::vector<ProfileEntry>& entries = profileEntries();
  std::vector<std::vector<cmsCIELab>> colours;
  for (const ProfileEntry& entry : entries) {
    const std::string bytes = committedProfile(entry);
    Profile profile(
        cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size())));
    ASSERT_TRUE(profile) << entry.name;
    colours.push_back(labOf(profile.get(), kPatches));
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    for (std::size_t j = i + 1; j < entries.size(); ++j) {
      double largest = 0;
      for (std::size_t p = 0; p < kPatches.size(); ++p) {
        largest = std::max(largest, cmsDeltaE(&colours[i][p], &colours[j][p]));
      }
      EXPECT_GT(largest, 0.5) << entries[i].name << " vs " << entries[j].name;
    }
  }
}

TEST(IccProfilesTest, BuildingAProfileTwiceGivesTheCommittedBytes) {
  const ProfileEntry& entry = profileEntries()[7];
  const std::vector<std::uint8_t> first = buildOutputProfile(entry);
  EXPECT_EQ(first, buildOutputProfile(entry));
  EXPECT_EQ(std::string(first.begin(), first.end()), committedProfile(entry));
}

}  // namespace
}  // namespace payloadgen
