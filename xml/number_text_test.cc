// Number texts against printf and the values C atoi and atof give in the
// "C" locale, and under a locale whose decimal separator is a comma.
#include "xml/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <locale>
#include <stdexcept>
#include <string>

#include "testsupport/process.h"

namespace xml {
namespace {

std::string printfReal(double value, int decimals) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

TEST(NumberTextTest, RealTextEqualsPrintfInTheCLocale) {
  for (double value : {0.0,
                       -0.0,
                       0.125,
                       0.375,
                       2.5,
                       1346.2,
                       -1346.2,
                       1e-7,
                       0.0005,
                       0.0015,
                       2.675,
                       1.005,
                       0.0625,
                       -0.0004,
                       99.9996,
                       1e12 + 0.5,
                       1099511627775.6,
                       123456789.987654321,
                       1.7976931348623157e308,
                       4.9e-324,
                       1.0 / 3}) {
    for (int decimals : {0, 1, 2, 3, 6, 15, 17, -1}) {
      EXPECT_EQ(formatReal(value, decimals), printfReal(value, decimals))
          << value << " " << decimals;
    }
  }
  EXPECT_EQ(formatReal(HUGE_VAL, 3), printfReal(HUGE_VAL, 3));
  EXPECT_EQ(formatReal(-HUGE_VAL, 3), printfReal(-HUGE_VAL, 3));
}

TEST(NumberTextTest, ParsingFollowsAtoiAndAtofInTheCLocale) {
  const struct {
    const char* text;
    int value;
  } ints[] = {{"0", 0},
              {"42", 42},
              {" \t\n\v\f\r-17x", -17},
              {"+8", 8},
              {"007", 7},
              {"2147483647", INT_MAX},
              {"-2147483648", INT_MIN},
              {"", 0},
              {"x1", 0},
              {"+", 0},
              {"12e3", 12}};
  for (const auto& [text, value] : ints) EXPECT_EQ(parseInt(text), value) << text;

  constexpr double kInf = HUGE_VAL;
  const struct {
    const char* text;
    double value;
  } reals[] = {{"1e3", 1000},
               {"1E-2", 0.01},
               {"-.5e+1", -5},
               {"5.", 5},
               {"1346.200", 1346.2},
               {"  7.25abc", 7.25},
               {"0x1.8p1", 3},
               {"0X10", 16},
               {"0x", 0},
               {"0x.8", 0.5},
               {"0x1p+-3", 1},
               {"0x1.8p", 1.5},
               {"0x1p-2", 0.25},
               {"inf", kInf},
               {"-Infinity", -kInf},
               {"1e", 1},
               {"1e+", 1},
               {".", 0},
               {"e5", 0},
               {"", 0},
               {"1e308", 1e308},
               {"2e-308", 2e-308},
               {"4e-320", 4e-320},
               {"1e999", kInf},
               {"-1e-400", -0.0},
               {"0.0000000000000000000000001", 1e-25},
               {"1.7976931348623157e308", DBL_MAX},
               {"1.7976931348623159e308", kInf}};
  for (const auto& [text, value] : reals) EXPECT_EQ(parseReal(text), value) << text;
  EXPECT_TRUE(std::isnan(parseReal(" nan(abc)")));
}

// Loads a locale with a decimal comma for LC_ALL; on POSIX builds one with
// localedef when none is installed. False when that is impossible here.
bool useDecimalCommaLocale() {
#ifdef _WIN32
  for (const char* name : {"German_Germany.1252", "de-DE", "de_DE"}) {
    if (std::setlocale(LC_ALL, name) != nullptr) return true;
  }
  return false;
#else
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"}) {
    if (std::setlocale(LC_ALL, name) != nullptr) return true;
  }
  const std::string dir = (std::filesystem::temp_directory_path() / "okm_xml_locales").string();
  std::error_code ignored;
  std::filesystem::create_directories(dir, ignored);
  if (!std::filesystem::exists(dir + "/de_DE.UTF-8")) {
    try {
      testsupport::runProcess("localedef", {"-i", "de_DE", "-f", "UTF-8", dir + "/de_DE.UTF-8"});
    } catch (const std::runtime_error&) {
      return false;
    }
  }
  ::setenv("LOCPATH", dir.c_str(), 1);
  return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
#endif
}

struct GroupingPunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(NumberTextTest, NumbersReadAndWriteTheSameUnderADecimalCommaLocale) {
  struct Restore {
    std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new GroupingPunct));
    ~Restore() {
      std::locale::global(previous);
      std::setlocale(LC_ALL, "C");
    }
  };
  if (!useDecimalCommaLocale()) GTEST_SKIP() << "no locale with a decimal comma available";
  Restore restore;
  ASSERT_EQ(printfReal(1346.2, 3), "1346,200");  // the locale is really in effect
  EXPECT_EQ(formatReal(1346.2, 3), "1346.200");
  EXPECT_EQ(parseReal("1346.200"), 1346.2);
  EXPECT_EQ(parseReal("1e3"), 1000.0);
  EXPECT_EQ(formatInt(1234567), "1234567");
  EXPECT_EQ(formatInt(-1000), "-1000");
}

}  // namespace
}  // namespace xml
