// Test set-up: runs a program to its end and captures what it writes.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct ProcessResult {
  int exitCode = -1;  // -1 when the program did not end on its own (a signal)
  std::string out;    // standard output, byte for byte
  std::string err;    // standard error, byte for byte
};

// Runs |program| (a path, or on POSIX a name looked up in PATH) with |args|
// and the environment of this process plus |env| (name, value; a name that
// is already set takes the new value). Standard input is empty. Strings are
// UTF-8. Throws std::runtime_error when the program cannot be started.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args = {},
                         const std::vector<std::pair<std::string, std::string>>& env = {});

// |arg| quoted for a Windows command line so that the C runtime's parser
// gives it back unchanged.
std::string quoteWindowsArgument(const std::string& arg);

}  // namespace testsupport
