// dsrtool: reads, checks, round-trips and merges device-series files for the
// people who prepare and support device data.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/env.h"
#include "tools/dsrtool/command.h"

namespace dsrtool {

// Runs the tool with |args| (without the program name). Results go to |out|,
// errors to |err|; returns the exit code.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        platform::Env& env);

}  // namespace dsrtool
