#include "platform/paths.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

#ifdef _WIN32
constexpr bool kWindowsBuild = true;
#else
constexpr bool kWindowsBuild = false;
#endif

TEST(Paths, FormsAndWhichOfThemAreAbsoluteInThisBuild) {
  const struct {
    const char* path;
    bool driveAbsolute;
    bool unc;
    bool absoluteOnLinux;
    bool absoluteOnWindows;
  } cases[] = {
      {"C:\\Host\\", true, false, true, true},
      {"z:/host", true, false, true, true},
      {"C:", false, false, false, false},
      {"C:Host\\", false, false, false, false},
      {"\\Host\\", false, false, false, false},
      {"Host\\", false, false, false, false},
      {"", false, false, false, false},
      {"/opt/host/", false, false, false, false},
      {"\\\\server\\share\\Host\\", false, true, false, true},
      {"//server/share", false, true, false, true},
      {"\\\\server\\", false, false, false, false},
      {"\\\\\\share\\", false, false, false, false},
      {"\\\\.\\C:\\Host\\", false, false, false, false},
      {"\\\\?\\C:\\Host\\", false, false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(isDriveAbsolutePath(c.path), c.driveAbsolute);
    EXPECT_EQ(isUncPath(c.path), c.unc);
    EXPECT_EQ(isAbsolutePath(c.path), kWindowsBuild ? c.absoluteOnWindows : c.absoluteOnLinux);
  }
}

}  // namespace
}  // namespace platform
