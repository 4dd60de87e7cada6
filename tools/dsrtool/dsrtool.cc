#include "tools/dsrtool/dsrtool.h"

#include <array>

#include "app/version.h"
#include "tools/dsrtool/command.h"

namespace dsrtool {

// Each command's definition lives beside its code.
extern const Command kInfoCommand;
extern const Command kRoundtripCommand;
extern const Command kCurveCommand;
extern const Command kMergeCommand;
extern const Command kMediaCommand;
extern const Command kDiffCommand;
extern const Command kCheckCommand;
extern const Command kPlotCommand;
extern const Command kVerifyCommand;

namespace {

// Pointers, so the table never depends on the order in which the files'
// constants are initialised.
const std::array kCommands{&kInfoCommand,  &kRoundtripCommand, &kCurveCommand,
                           &kMergeCommand, &kMediaCommand,     &kDiffCommand,
                           &kCheckCommand, &kPlotCommand,      &kVerifyCommand};

void printOverview(std::ostream& out) {
  out << "usage: dsrtool <command> [arguments]\n"
         "       dsrtool <command> --help\n"
         "       dsrtool --version\n"
         "\n"
         "Reads, lists, compares, checks, plots, round-trips and merges device-series\n"
         "files.\n"
         "\n"
         "commands:\n";
  for (const Command* command : kCommands) out << "  " << command->synopsis << "\n";
  out << "\n"
         "exit status: 0 success, 1 a document cannot be read or written, 2 usage error\n";
}

const Command* find(const std::string& name) {
  for (const Command* command : kCommands) {
    if (name == command->name) return command;
  }
  return nullptr;
}

// A result that did not reach standard output (a full disk, a closed pipe)
// is a failure whatever the command found.
int finish(int status, std::ostream& out, std::ostream& err) {
  out.flush();
  if (out) return status;
  err << "dsrtool: write error\n";
  return kExitUnreadable;
}

}  // namespace

std::span<const Command* const> commands() { return kCommands; }

int usageError(std::ostream& err, const std::string& command, const std::string& message) {
  err << "dsrtool: " << (command.empty() ? "" : command + ": ") << message << "\n"
      << "Try 'dsrtool " << (command.empty() ? "" : command + " ") << "--help'.\n";
  return kExitUsage;
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        platform::Env& env) {
  if (args.empty()) return usageError(err, "", "no command given");
  const std::string& name = args[0];
  if (name == "--help" || name == "-h" || name == "help") {
    printOverview(out);
    return finish(kExitOk, out, err);
  }
  if (name == "--version") {
    out << "dsrtool " << OKM_VERSION << "\n";
    return finish(kExitOk, out, err);
  }
  const Command* command = find(name);
  if (command == nullptr) return usageError(err, "", "unknown command '" + name + "'");
  if (args.size() == 2 && (args[1] == "--help" || args[1] == "-h")) {
    out << "usage: dsrtool " << command->synopsis << "\n\n" << command->help;
    return finish(kExitOk, out, err);
  }
  Invocation call{{args.begin() + 1, args.end()}, out, err, env};
  return finish(command->run(call), out, err);
}

}  // namespace dsrtool
