#include "platform/posix/wine_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "testsupport/scratch_dir.h"

namespace platform::posix {
namespace {

using testsupport::ScratchDir;

class WinePathsTest : public ::testing::Test {
 protected:
  std::string drive(const std::string& rest) const { return scratch_ / ("dosdevices/c:" + rest); }

  ScratchDir scratch_;
};

TEST_F(WinePathsTest, DriveLetterMapsIntoThePrefix) {
  EXPECT_EQ(toNativePath(scratch_.path(), "C:\\Program Files\\Host\\a.txt"),
            drive("/Program Files/Host/a.txt"));
  EXPECT_EQ(toNativePath(scratch_.path() + "/", "d:\\x"), scratch_ / "dosdevices/d:/x");
  EXPECT_EQ(toNativePath(scratch_.path(), "C:"), drive(""));
  EXPECT_EQ(toNativePath(scratch_.path(), "C:\\Host\\"), drive("/Host/"));
  EXPECT_EQ(toNativePath(scratch_.path(), "\\Host\\b"), drive("/Host/b"));
}

TEST_F(WinePathsTest, ComponentsMatchExistingNamesWithoutRegardToCase) {
  scratch_.mkdirs("dosdevices/c:/Program Files/Harvel/Rastella/Device");
  scratch_.write("dosdevices/c:/Program Files/Harvel/Rastella/Device/Ostrand KM.dsr", "x");
  EXPECT_EQ(
      toNativePath(scratch_.path(), "C:\\PROGRAM FILES\\harvel\\RASTELLA\\device\\ostrand km.DSR"),
      drive("/Program Files/Harvel/Rastella/Device/Ostrand KM.dsr"));
  // A missing component is kept as written, and so is everything below it.
  EXPECT_EQ(toNativePath(scratch_.path(), "c:\\program files\\New Folder\\harvel"),
            drive("/Program Files/New Folder/harvel"));
}

// Every letter folds as Wine compares names, by its simple upper-case
// mapping where lower-casing gives the letter back: a name on disk, the
// spelling asked for, and whether they match.
TEST_F(WinePathsTest, LettersOfEveryScriptMatchWithoutRegardToCase) {
  const struct {
    const char* onDisk;
    const char* asked;
    bool matches;
  } cases[] = {
      {"HÄRVEL ü", "Härvel Ü", true},  // Latin-1
      {"ŁÓDŹ", "łódź", true},          // Latin Extended-A
      {"ΣΟΦΊΑ", "σοφία", true},        // Greek
      {"ΣΟΦΟΣ", "σοφοσ", true},
      {"ΣΟΦΟΣ", "σοφος", false},       // final sigma: Σ lower-cases to σ
      {"ДРУКАРКА", "друкарка", true},  // Cyrillic
      {"ＲＩＰ", "ｒｉｐ", true},      // full-width
      {"ŸES", "ÿes", true},
      {"STRASSE", "straße", false},     // ß has no single upper-case letter
      {"ẞ", "ß", false},                // and ẞ lower-cases to ß, not back
      {"ISTANBUL", "ıstanbul", false},  // nor is dotless ı an I
      {"İSTANBUL", "istanbul", false},  // or dotted İ
      {"ΜM", "µm", false},              // the micro sign is no Greek mu
      {"Ǆ", "ǆ", true},
      {"Ǆ", "ǅ", false},                                // title case
      {"\xF0\x90\x90\x80", "\xF0\x90\x90\xA8", false},  // beyond the BMP: left as is
  };
  int folder = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.asked);
    const std::string parent = std::to_string(++folder);  // one folder per case
    scratch_.mkdirs("dosdevices/c:/" + parent + "/" + c.onDisk);
    const std::string expected = c.matches ? c.onDisk : c.asked;
    EXPECT_EQ(toNativePath(scratch_.path(), "C:\\" + parent + "\\" + c.asked + "\\x"),
              drive("/" + parent + "/" + expected + "/x"));
  }
}

TEST_F(WinePathsTest, ExactNameWinsOverOtherCases) {
  scratch_.mkdirs("dosdevices/c:/dir/Name");
  scratch_.mkdirs("dosdevices/c:/dir/NAME");
  EXPECT_EQ(toNativePath(scratch_.path(), "C:\\dir\\NAME"), drive("/dir/NAME"));
  // Neither spelling is exact: the first in byte order is taken every time.
  EXPECT_EQ(toNativePath(scratch_.path(), "C:\\dir\\name"), drive("/dir/NAME"));
}

TEST_F(WinePathsTest, NativePathsStayAsTheyAreWithSlashes) {
  scratch_.mkdirs("Host/Rastella");
  const std::string native = scratch_.path() + "/host\\Rastella\\Device\\Ostrand KM.bmp";
  // No case matching for native paths: "host" stays lower case.
  EXPECT_EQ(toNativePath("/unused", native),
            scratch_.path() + "/host/Rastella/Device/Ostrand KM.bmp");
}

TEST_F(WinePathsTest, RelativePathsStayRelative) {
  EXPECT_EQ(toNativePath(scratch_.path(), "no such dir\\file.txt"), "no such dir/file.txt");
}

TEST_F(WinePathsTest, DotsStayBelowTheDriveRoot) {
  const struct {
    const char* windows;
    const char* inDrive;
  } cases[] = {
      {"C:\\..\\..\\..\\escape\\", "/escape/"},
      {"C:\\Host\\..\\..\\escape\\a.txt", "/escape/a.txt"},
      {"C:\\Host\\.\\Sub\\..\\a.txt", "/Host/a.txt"},
      {"C:/Host/./../..", ""},
      {"\\..\\Host\\", "/Host/"},
      {"C:..\\Host", "/Host"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(toNativePath(scratch_.path(), c.windows), drive(c.inDrive)) << c.windows;
  }
}

TEST_F(WinePathsTest, NetworkAndDevicePathsHaveNoPlace) {
  for (const char* path : {"\\\\server\\share\\Host\\", "//server/share/Host/", "\\/server\\share",
                           "\\\\?\\C:\\Host\\", "\\\\.\\C:\\Host\\", "\\\\"}) {
    EXPECT_EQ(toNativePath(scratch_.path(), path), "") << path;
  }
}

TEST(DefaultWinePrefix, ComesFromTheEnvironment) {
  const char* savedPrefix = std::getenv("WINEPREFIX");
  const char* savedHome = std::getenv("HOME");
  const std::optional<std::string> prefix =
      savedPrefix ? std::optional<std::string>(savedPrefix) : std::nullopt;
  const std::optional<std::string> home =
      savedHome ? std::optional<std::string>(savedHome) : std::nullopt;

  ::setenv("WINEPREFIX", "/opt/prefix", 1);
  EXPECT_EQ(defaultWinePrefix(), "/opt/prefix");
  ::unsetenv("WINEPREFIX");
  ::setenv("HOME", "/home/someone/", 1);
  EXPECT_EQ(defaultWinePrefix(), "/home/someone/.wine");
  ::setenv("WINEPREFIX", "", 1);
  EXPECT_EQ(defaultWinePrefix(), "/home/someone/.wine");

  prefix ? ::setenv("WINEPREFIX", prefix->c_str(), 1) : ::unsetenv("WINEPREFIX");
  home ? ::setenv("HOME", home->c_str(), 1) : ::unsetenv("HOME");
}

}  // namespace
}  // namespace platform::posix
