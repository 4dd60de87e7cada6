// platform::isAbsolutePath of the Windows build: drive-absolute and network
// paths name places of their own; Windows resolves "." and ".." in them
// itself and never above the drive root or the share.
#include "platform/paths.h"

namespace platform {

bool isAbsolutePath(std::string_view path) { return isDriveAbsolutePath(path) || isUncPath(path); }

}  // namespace platform
