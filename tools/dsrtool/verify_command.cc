// The verify command: its options, and the check's report as text or JSON.
#include <iomanip>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "app/host_records.h"
#include "tools/dsrtool/verify.h"

namespace dsrtool {
namespace {

const char* kindName(app::PayloadKind kind) {
  switch (kind) {
    case app::PayloadKind::kDevicePicture:
      return "device picture";
    case app::PayloadKind::kMediaFile:
      return "media file";
    case app::PayloadKind::kPassMaskTable:
      return "pass-mask table";
    case app::PayloadKind::kFolder:
      return "folder";
    case app::PayloadKind::kIccProfile:
      return "ICC profile";
    case app::PayloadKind::kDeviceSeries:
      return "device series";
  }
  return "?";
}

void printText(std::ostream& out, const std::string& installFolder,
               const InstallationCheck& check) {
  out << "host: " << installFolder << "\n";
  std::map<std::string, int> counts;
  for (const TargetCheck& target : check.targets) {
    const std::string state = stateName(target.state);
    ++counts[state];
    out << std::left << std::setw(12) << state << target.path;
    if (target.line > 0) out << ":" << target.line << ":" << target.column;
    if (!target.reason.empty()) out << ": " << target.reason;
    if (target.userMedia >= 0) out << " (" << target.userMedia << " user media)";
    out << "\n";
  }
  for (const std::string& leftover : check.leftovers) {
    out << std::left << std::setw(12) << "leftover" << leftover << "\n";
  }
  out << check.targets.size() << " targets:";
  const char* separator = " ";
  for (const auto& [state, count] : counts) {
    out << separator << count << " " << state;
    separator = ", ";
  }
  out << "; " << check.leftovers.size() << " leftover" << (check.leftovers.size() == 1 ? "" : "s")
      << "\n";
}

void printJson(std::ostream& out, const std::string& installFolder,
               const InstallationCheck& check) {
  nlohmann::ordered_json targets = nlohmann::ordered_json::array();
  for (const TargetCheck& target : check.targets) {
    nlohmann::ordered_json entry = {{"step", target.step},
                                    {"kind", kindName(target.kind)},
                                    {"path", target.path},
                                    {"state", stateName(target.state)}};
    if (target.userMedia >= 0) entry["userMedia"] = target.userMedia;
    if (!target.reason.empty()) entry["reason"] = target.reason;
    if (target.line > 0) {
      entry["line"] = target.line;
      entry["column"] = target.column;
    }
    targets.push_back(std::move(entry));
  }
  const nlohmann::ordered_json report = {{"host", installFolder},
                                         {"intact", check.intact()},
                                         {"targets", std::move(targets)},
                                         {"leftovers", check.leftovers}};
  // Bytes that are not UTF-8 (a legacy file name) are replaced rather than
  // ending the output.
  out << report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
}

int runVerify(Invocation& call) {
  bool json = false;
  std::string hostFolder;
  bool hostGiven = false;
  for (std::size_t i = 0; i < call.args.size(); ++i) {
    const std::string& arg = call.args[i];
    if (arg == "--json") {
      json = true;
    } else if (arg == "--host" && i + 1 < call.args.size() && !hostGiven) {
      hostFolder = call.args[++i];
      hostGiven = true;
    } else if (arg == "--host") {
      return usageError(call.err, "verify", "--host needs one FOLDER");
    } else {
      return usageError(call.err, "verify", "unexpected argument '" + arg + "'");
    }
  }
  std::string installFolder;
  if (hostGiven) {
    if (hostFolder.empty()) return usageError(call.err, "verify", "--host needs one FOLDER");
    installFolder = app::installFolderOf(hostFolder);
  } else if (!app::findHostInstallFolder(call.env.registry(), &installFolder)) {
    call.err << "dsrtool: verify: no host found: its records (Software\\Harvel\\Harvel Rastella "
                "Dual) are missing or not usable\n";
    return kExitUnreadable;
  }
  const InstallationCheck check = checkInstallation(call.env, installFolder);
  if (json) {
    printJson(call.out, installFolder, check);
  } else {
    printText(call.out, installFolder, check);
  }
  return check.intact() ? kExitOk : kExitUnreadable;
}

}  // namespace

extern const Command kVerifyCommand{
    "verify", "verify [--json] [--host FOLDER]",
    "Checks an installation against the payload this tool carries. Without\n"
    "--host the host is found as the installer finds it; --host names its\n"
    "installation folder. Every target of the installer's payload table, in its\n"
    "order, gets one state: ok (the payload's bytes), missing, modified; a\n"
    "device-series document instead ok, merged (what the update leaves),\n"
    "out of date or unreadable, with the number of the user's own media. Files\n"
    "an update leaves behind (.tmp, .out, backups) are listed as leftovers.\n"
    "Only reads. Exit status: 0 every target ok or merged, 1 otherwise or no\n"
    "host found, 2 usage error.\n",
    runVerify};

}  // namespace dsrtool
