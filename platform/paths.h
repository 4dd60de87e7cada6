// The forms of the Windows paths the system meets, and which of them name a
// place of their own.
//
// The host's registry records give the installation folder as a Windows
// path; every target path is that folder with relative pieces appended. Only
// a path that depends on no current folder and no current drive names the
// host's folder; anything else would send the files wherever the program
// happens to run.
#pragma once

#include <string_view>

namespace platform {

// True for '\' and '/', which Windows both takes as separators.
bool isPathSeparator(char c);

// "X:\..." or "X:/...": a drive letter, a colon and a separator.
bool isDriveAbsolutePath(std::string_view path);

// A network path "\\server\share..." (either separator): two separators, a
// server name, a separator and a share name, none of them empty. The device
// namespaces "\\.\" and "\\?\" are no network paths.
bool isUncPath(std::string_view path);

// True when |path| is absolute in this build, so that it can be the host's
// installation folder:
//  - both builds: a drive-absolute path;
//  - the Windows build: a network path as well;
//  - the Linux build: nothing else: a native path ("/...") would lead out
//    of the Wine prefix, and a network path has no place there.
// Relative ("Host\"), drive-relative ("C:Host\") and root-relative ("\Host\")
// paths are never absolute. Defined once per backend.
bool isAbsolutePath(std::string_view path);

}  // namespace platform
