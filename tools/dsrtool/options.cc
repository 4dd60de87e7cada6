#include "tools/dsrtool/options.h"

#include <algorithm>

#include "platform/error.h"

namespace dsrtool {

std::string Options::value(std::string_view name) const {
  const auto found = given.find(name);
  return found == given.end() ? std::string() : found->second;
}

bool parseOptions(const Invocation& call, const char* command,
                  std::initializer_list<OptionSpec> spec, std::size_t minOperands,
                  std::size_t maxOperands, Options& options, int& status) {
  auto fail = [&](const std::string& message) {
    status = usageError(call.err, command, message);
    return false;
  };
  bool optionsEnded = false;
  for (std::size_t i = 0; i < call.args.size(); ++i) {
    const std::string& arg = call.args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      options.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const auto known = std::find_if(spec.begin(), spec.end(),
                                    [&](const OptionSpec& option) { return option.name == arg; });
    if (known == spec.end()) return fail("unknown option '" + arg + "'");
    if (options.has(arg)) return fail("option '" + arg + "' given twice");
    std::string value;
    if (known->takesValue) {
      if (i + 1 == call.args.size()) return fail("option '" + arg + "' needs a value");
      value = call.args[++i];
    }
    options.given.emplace(arg, std::move(value));
  }
  if (options.operands.size() < minOperands || options.operands.size() > maxOperands) {
    return fail("wrong number of arguments");
  }
  return true;
}

void printJson(std::ostream& out, const Json& value) {
  out << value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

bool checkInputFile(platform::FileSystem& files, const std::string& path, std::ostream& err) {
  std::uint32_t attributes = 0;
  const platform::Error error = files.getAttributes(path, &attributes);
  std::string problem;
  if (error == platform::kFileNotFound || error == platform::kPathNotFound) {
    problem = "no such file";
  } else if (error != platform::kOk) {
    problem = platform::describeError(error);
  } else if ((attributes & platform::kAttrDirectory) != 0) {
    problem = "is a folder";
  } else if ((attributes & platform::kAttrDevice) != 0) {
    problem = "is not a regular file (a FIFO, device or socket)";
  } else {
    return true;
  }
  err << "dsrtool: " << path << ": " << problem << "\n";
  return false;
}

}  // namespace dsrtool
