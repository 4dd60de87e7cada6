#include "testsupport/test_env.h"

#ifdef _WIN32
#include "platform/win32/win32_file_system.h"
#else
#include "platform/posix/posix_file_system.h"
#endif

namespace testsupport {

#ifdef _WIN32
// Windows paths are the system's own: nothing to map, |root| is not needed.
TestEnv::TestEnv(const std::string& /*root*/)
    : TestEnv(std::make_unique<platform::win32::Win32FileSystem>()) {}
#else
TestEnv::TestEnv(const std::string& root)
    : TestEnv(std::make_unique<platform::posix::PosixFileSystem>(root)) {}
#endif

}  // namespace testsupport
