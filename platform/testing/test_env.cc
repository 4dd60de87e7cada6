#include "platform/testing/test_env.h"

#include "platform/posix/posix_file_system.h"

namespace platform::testing {

TestEnv::TestEnv(const std::string& root)
    : TestEnv(std::make_unique<posix::PosixFileSystem>(root)) {}

}  // namespace platform::testing
