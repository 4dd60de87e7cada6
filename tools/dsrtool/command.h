// The commands of dsrtool: each is a name, its synopsis and help text, and a
// function run with the command's own arguments.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "platform/env.h"

namespace dsrtool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUnreadable = 1;  // a document cannot be read or written
inline constexpr int kExitUsage = 2;

// One run of a command: its arguments (without the program and command
// names), where its results and errors go, and the environment.
struct Invocation {
  std::vector<std::string> args;
  std::ostream& out;
  std::ostream& err;
  platform::Env& env;
};

struct Command {
  const char* name;
  // One line for the overview, e.g. "info FILE".
  const char* synopsis;
  // What "dsrtool NAME --help" prints after the synopsis.
  const char* help;
  int (*run)(Invocation& call);
};

// Every command, in the order the overview lists them.
std::span<const Command* const> commands();

// Reports a usage error of |command| (empty for the tool itself) on |err|
// and returns kExitUsage.
int usageError(std::ostream& err, const std::string& command, const std::string& message);

}  // namespace dsrtool
