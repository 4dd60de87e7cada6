#include "tools/payloadgen/ink_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/payloadgen/profile_list.h"
#include "tools/payloadgen/separation.h"

namespace payloadgen {
namespace {

const ProfileEntry& entryNamed(const std::string& name) {
  for (const ProfileEntry& entry : profileEntries()) {
    if (entry.name == name) return entry;
  }
  throw std::runtime_error("no profile " + name);
}

// A fixed sequence of colorant combinations within an ink limit.
std::vector<Cmyk> samplePatches(double inkLimit, int count) {
  std::vector<Cmyk> patches;
  std::uint32_t state = 12345;
  while (static_cast<int>(patches.size()) < count) {
    Cmyk cmyk;
    for (double& amount : cmyk) {
      state = state * 1103515245u + 12345u;
      amount = (state >> 16) % 1001 / 1000.0;
    }
    if (cmyk[0] + cmyk[1] + cmyk[2] + cmyk[3] <= inkLimit) patches.push_back(cmyk);
  }
  return patches;
}

TEST(InkModelTest, BareMediumIsTheWhiteOfTheColourTables) {
  for (const ProfileEntry& entry : profileEntries()) {
    const LabColour white = relativeLab(inkModelFor(entry), {0, 0, 0, 0});
    EXPECT_NEAR(white.L, 100.0, 1e-9) << entry.name;
    EXPECT_NEAR(white.a, 0.0, 1e-9) << entry.name;
    EXPECT_NEAR(white.b, 0.0, 1e-9) << entry.name;
  }
}

TEST(InkModelTest, DotGainAddsAreaAtMidtonesButKeepsTheEnds) {
  EXPECT_DOUBLE_EQ(effectiveCoverage(0.0, 0.2), 0.0);
  EXPECT_DOUBLE_EQ(effectiveCoverage(1.0, 0.2), 1.0);
  EXPECT_DOUBLE_EQ(effectiveCoverage(0.5, 0.2), 0.7);
  EXPECT_DOUBLE_EQ(effectiveCoverage(1.5, 0.2), 1.0);  // amounts are clamped
}

TEST(InkModelTest, MoreOfAnyInkIsAlwaysDarker) {
  for (const ProfileEntry& entry : profileEntries()) {
    const InkModel model = inkModelFor(entry);
    for (int ink = 0; ink < 4; ++ink) {
      double previous = 101.0;
      for (int step = 0; step <= 20; ++step) {
        Cmyk cmyk = {0.2, 0.2, 0.2, 0.0};
        cmyk[ink] = step / 20.0;
        const double L = relativeLab(model, cmyk).L;
        EXPECT_LT(L, previous) << entry.name << " ink " << ink << " step " << step;
        previous = L;
      }
    }
  }
}

TEST(InkModelTest, SolidsReachTheirHuesAndBlackIsNeutralAndDark) {
  const InkModel model = inkModelFor(entryNamed("KMOS_GenericPVC_900x600"));
  const LabColour cyan = relativeLab(model, {1, 0, 0, 0});
  const LabColour magenta = relativeLab(model, {0, 1, 0, 0});
  const LabColour yellow = relativeLab(model, {0, 0, 1, 0});
  const LabColour black = relativeLab(model, {0, 0, 0, 1});
  EXPECT_LT(cyan.a, -15);
  EXPECT_LT(cyan.b, -15);
  EXPECT_GT(magenta.a, 50);
  EXPECT_GT(yellow.b, 60);
  EXPECT_LT(black.L, 30);
  EXPECT_LT(std::hypot(black.a, black.b), 5);
}

TEST(InkModelTest, MoreDotsPerInchPrintDarkerSolids) {
  for (const char* medium : {"GenericPVC", "GenericPaper", "GenericHeatTransferSheet"}) {
    const std::string stem = std::string("KMLX_") + medium + "_";
    const double low = relativeLab(inkModelFor(entryNamed(stem + "600x600")), {0, 0, 0, 1}).L;
    const double mid = relativeLab(inkModelFor(entryNamed(stem + "900x600")), {0, 0, 0, 1}).L;
    const double high = relativeLab(inkModelFor(entryNamed(stem + "900x900")), {0, 0, 0, 1}).L;
    EXPECT_GT(low, mid) << medium;
    EXPECT_GT(mid, high) << medium;
  }
}

TEST(SeparatorTest, PaperWhiteTakesNoInk) {
  for (const ProfileEntry& entry : profileEntries()) {
    for (Rendering rendering : {Rendering::kPerceptual, Rendering::kColorimetric}) {
      const Cmyk cmyk = Separator(inkModelFor(entry), rendering).separate({100, 0, 0});
      EXPECT_EQ(cmyk, (Cmyk{0, 0, 0, 0})) << entry.name;
    }
  }
}

TEST(SeparatorTest, AmountsStayInRangeAndWithinTheInkLimit) {
  const InkModel model = inkModelFor(entryNamed("KMOS_GenericPaper_900x900"));
  const Separator separator(model, Rendering::kPerceptual);
  for (double L = 0; L <= 100; L += 12.5) {
    for (double a = -128; a <= 127; a += 32) {
      for (double b = -128; b <= 127; b += 32) {
        const Cmyk cmyk = separator.separate({L, a, b});
        double total = 0;
        for (double amount : cmyk) {
          EXPECT_GE(amount, 0.0);
          EXPECT_LE(amount, 1.0);
          total += amount;
        }
        EXPECT_LE(total, model.totalInkLimit + 1e-9) << L << " " << a << " " << b;
      }
    }
  }
}

TEST(SeparatorTest, ColorimetricSeparationReproducesPrintableColours) {
  for (const char* name : {"KM2OS_GenericBacklit_900x900", "KMLX_GenericBanner_600x600"}) {
    const InkModel model = inkModelFor(entryNamed(name));
    const Separator separator(model, Rendering::kColorimetric);
    for (const Cmyk& patch : samplePatches(model.totalInkLimit - 0.3, 60)) {
      const LabColour target = relativeLab(model, patch);
      const LabColour printed = relativeLab(model, separator.separate(target));
      EXPECT_LT(deltaE(target, printed), 0.5)
          << name << " " << target.L << " " << target.a << " " << target.b;
    }
  }
}

TEST(SeparatorTest, PerceptualSeparationMapsTheLightnessRangeOntoTheMedium) {
  const InkModel model = inkModelFor(entryNamed("KMOS_GenericPaper_600x600"));
  const Separator separator(model, Rendering::kPerceptual);
  EXPECT_GT(separator.darkestL(), 5.0);
  EXPECT_DOUBLE_EQ(separator.mappedLightness(0.0), separator.darkestL());
  EXPECT_DOUBLE_EQ(separator.mappedLightness(100.0), 100.0);
  EXPECT_DOUBLE_EQ(separator.mappedLightness(-20.0), separator.darkestL());
  // Black of the source lands on the darkest neutral the medium prints.
  const LabColour printed = relativeLab(model, separator.separate({0, 0, 0}));
  EXPECT_LT(deltaE(printed, {separator.darkestL(), 0, 0}), 1.5);
  // Greys keep their order and take more black the darker they are.
  double previousL = -1;
  double previousBlack = 2;
  for (double L = 0; L <= 100; L += 5) {
    const Cmyk cmyk = separator.separate({L, 0, 0});
    const double printedL = relativeLab(model, cmyk).L;
    EXPECT_GT(printedL, previousL) << L;
    EXPECT_LE(cmyk[3], previousBlack + 1e-6) << L;
    previousL = printedL;
    previousBlack = cmyk[3];
  }
}

}  // namespace
}  // namespace payloadgen
