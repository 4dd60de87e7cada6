// The command-line conventions every dsrtool command shares: options taken
// out of its arguments, JSON output, and the checks of an input path.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/file_system.h"
#include "tools/dsrtool/command.h"

namespace dsrtool {

// One option a command accepts: "--json" alone, or "--against DOC" /
// "-o OUT" followed by its value.
struct OptionSpec {
  std::string_view name;
  bool takesValue = false;
};

// A command's arguments split into its options and its operands.
struct Options {
  std::vector<std::string> operands;
  std::map<std::string, std::string, std::less<>> given;  // option name -> value ("" for a flag)

  bool has(std::string_view name) const { return given.find(name) != given.end(); }
  // The option's value; empty when it was not given.
  std::string value(std::string_view name) const;
};

// Splits |call|'s arguments by |spec|: options may stand anywhere, "--"
// ends them, and a lone "-" is an operand. An unknown option, an option
// given twice, a missing value or an operand count outside
// [minOperands, maxOperands] is a usage error of |command|: it is reported,
// |status| becomes kExitUsage and the result is false.
bool parseOptions(const Invocation& call, const char* command,
                  std::initializer_list<OptionSpec> spec, std::size_t minOperands,
                  std::size_t maxOperands, Options& options, int& status);

// The JSON form of every command's output: an object whose keys keep the
// order in which they were set, printed with two-space indentation and a
// final line feed. Text that is not UTF-8 is replaced, never rejected.
using Json = nlohmann::ordered_json;
void printJson(std::ostream& out, const Json& value);

// Checks that |path| is a regular file before a command reads it. A missing
// file, a folder, and a FIFO, device or socket each get their own message
// ("dsrtool: PATH: no such file", "...: is a folder", "...: is not a regular
// file (a FIFO, device or socket)"); false after such a report.
bool checkInputFile(platform::FileSystem& files, const std::string& path, std::ostream& err);

}  // namespace dsrtool
