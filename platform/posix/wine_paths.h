// Windows paths inside a Wine prefix.
//
// The system builds Windows paths such as
// "C:\Program Files\Host\Rastella\Device\Ostrand KM.dsr". On Linux the host lives in a Wine prefix,
// where drive C: is <prefix>/dosdevices/c:. toNativePath turns a Windows path into the native path
// Wine would open:
//  - "X:\a\b" becomes <prefix>/dosdevices/x:/a/b (drive letter lower-cased,
//    each backslash a slash); "\a\b" (the root of the current drive) is taken
//    on drive C:. In both, "." and ".." are applied first, as Windows does:
//    ".." never climbs above the drive root ("C:\..\x" is "C:\x"), so such a
//    path stays inside the prefix;
//  - a network or device path (two separators at the front, "\\server\share")
//    has no place in the prefix: the result is empty, which no file
//    operation finds;
//  - a path that starts with "/" is already native and is used as it stands,
//    except that backslashes become slashes (the layers above append pieces
//    such as "Rastella\Device\Ostrand KM.bmp" to a folder from the registry);
//  - a relative path stays relative (to the working folder), its ".." kept.
// For drive and relative paths, each component that does not exist with
// exactly that name is matched without regard to case against the entries
// of its folder, as Wine does: every letter upper-cased by its simple
// Unicode mapping where that mapping goes both ways (glibc's C.UTF-8; ASCII
// letters only where the system lacks that locale); a component that
// matches nothing is kept as written, and so are all components after it.
//
// platform::isAbsolutePath (platform/paths.h) of this build is defined with
// this mapping: drive-absolute paths only. A native path maps as it stands,
// outside the prefix, and a network path nowhere, so neither can name a
// host's folder.
#pragma once

#include <string>

namespace platform::posix {

std::string toNativePath(const std::string& prefix, const std::string& windowsPath);

// The prefix of this process: $WINEPREFIX, or $HOME/.wine when it is unset
// or empty (the home folder of the user database when HOME is unset too).
std::string defaultWinePrefix();

}  // namespace platform::posix
