// dsrtool: reads, checks, round-trips and merges device-series files for the
// people who prepare and support device data.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/env.h"

namespace dsrtool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUnreadable = 1;  // a document cannot be read or written
inline constexpr int kExitUsage = 2;

// Runs the tool with |args| (without the program name). Results go to |out|,
// errors to |err|; returns the exit code.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        platform::Env& env);

}  // namespace dsrtool
