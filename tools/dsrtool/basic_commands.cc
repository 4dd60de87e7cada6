// The commands that read, copy and merge whole documents: info, roundtrip,
// curve and merge.
#include <charconv>
#include <string_view>

#include "devseries/device_series_io.h"
#include "tools/dsrtool/command.h"
#include "tools/dsrtool/documents.h"
#include "tools/dsrtool/options.h"
#include "update/media_merge.h"

namespace dsrtool {

namespace {

bool parseIndex(std::string_view text, int& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value >= 0;
}

int info(const std::string& path, bool json, std::ostream& out, std::ostream& err,
         platform::Env& env) {
  devseries::DeviceSeries record;
  std::string version;
  if (!readDocument(path, record, err, env, &version)) return kExitUnreadable;
  Json lists = Json::object();
  for (const auto& field : devseries::deviceSeriesForm().fields) {
    if (field.count != nullptr) lists[std::string(field.name)] = field.count(record);
  }
  if (json) {
    printJson(out, Json{{"strVersion", version}, {"lists", lists}});
    return kExitOk;
  }
  out << "strVersion: " << version << "\n";
  for (const auto& [name, count] : lists.items()) out << name << ": " << count << "\n";
  return kExitOk;
}

int roundtrip(const std::string& in, const std::string& out, std::ostream& err,
              platform::Env& env) {
  devseries::DeviceSeries record;
  if (!readDocument(in, record, err, env)) return kExitUnreadable;
  return copyThenWrite(in, out, record, err, env);
}

int curve(const std::string& path, std::string_view s, std::string_view t, std::ostream& out,
          std::ostream& err, platform::Env& env) {
  int separation = 0;
  int table = 0;
  if (!parseIndex(s, separation) || !parseIndex(t, table)) {
    return usageError(err, "curve", "S and T must be whole numbers from 0");
  }
  devseries::DeviceSeries record;
  if (!readDocument(path, record, err, env)) return kExitUnreadable;
  if (separation >= record.aSeparationInfoList.size()) {
    return usageError(
        err, "curve",
        "the document has " + std::to_string(record.aSeparationInfoList.size()) + " separations");
  }
  const auto& tables = record.aSeparationInfoList[separation].aSeparationTableList;
  if (table >= tables.size()) {
    return usageError(err, "curve",
                      "separation " + std::to_string(separation) + " has " +
                          std::to_string(tables.size()) + " tables");
  }
  std::string text;
  text.reserve(devseries::kOutputTableSize * 5);
  for (std::uint16_t entry : tables[table].usOutputTable) {
    text += std::to_string(entry);
    text += '\n';
  }
  out << text;
  return kExitOk;
}

int merge(const std::string& installedPath, const std::string& newPath, const std::string& outPath,
          std::ostream& out, std::ostream& err, platform::Env& env) {
  devseries::DeviceSeries installed;
  devseries::DeviceSeries updated;
  if (!readDocument(installedPath, installed, err, env)) return kExitUnreadable;
  if (!readDocument(newPath, updated, err, env)) return kExitUnreadable;
  const std::vector<update::CarriedMedia> outcomes = update::mergeRecords(installed, updated);
  const int written = copyThenWrite(newPath, outPath, updated, err, env);
  if (written != kExitOk) return written;
  for (const update::CarriedMedia& outcome : outcomes) {
    const auto& name = installed.aMediaInfoList[outcome.installedIndex].strMediaName[0];
    out << "media " << outcome.installedIndex << " \"" << name << "\": "
        << (outcome.matched
                ? "matched new media " + std::to_string(outcome.newIndex) + ", visibility copied"
                : "appended as media " + std::to_string(outcome.newIndex))
        << "\n";
  }
  return kExitOk;
}

int runInfo(Invocation& call) {
  Options options;
  int status = kExitUsage;
  if (!parseOptions(call, "info", {{"--json"}}, 1, 1, options, status)) return status;
  return info(options.operands[0], options.has("--json"), call.out, call.err, call.env);
}

int runRoundtrip(Invocation& call) {
  Options options;
  int status = kExitUsage;
  if (!parseOptions(call, "roundtrip", {}, 2, 2, options, status)) return status;
  return roundtrip(options.operands[0], options.operands[1], call.err, call.env);
}

int runCurve(Invocation& call) {
  Options options;
  int status = kExitUsage;
  if (!parseOptions(call, "curve", {}, 3, 3, options, status)) return status;
  const std::vector<std::string>& args = options.operands;
  return curve(args[0], args[1], args[2], call.out, call.err, call.env);
}

int runMerge(Invocation& call) {
  Options options;
  int status = kExitUsage;
  if (!parseOptions(call, "merge", {}, 3, 3, options, status)) return status;
  const std::vector<std::string>& args = options.operands;
  // OUT is replaced: it must not be an input, under any spelling.
  if (sameFile(call.env.files(), args[2], args[0]) ||
      sameFile(call.env.files(), args[2], args[1])) {
    return usageError(call.err, "merge", "OUT must differ from INSTALLED and NEW");
  }
  return merge(args[0], args[1], args[2], call.out, call.err, call.env);
}

}  // namespace

extern const Command kInfoCommand{"info", "info [--json] FILE",
                                  "The version and the entry count of every list of FILE.\n"
                                  "--json: {\"strVersion\": TEXT, \"lists\": {LIST: COUNT, ...}}\n",
                                  runInfo};
extern const Command kRoundtripCommand{
    "roundtrip", "roundtrip IN OUT",
    "Copies IN to OUT, then reads IN and writes it over OUT, keeping IN's version,\n"
    "as an update does. The result is made at OUT.tmp and renamed over OUT only\n"
    "when complete.\n",
    runRoundtrip};
extern const Command kCurveCommand{
    "curve", "curve FILE S T",
    "The 4096 output-table entries of table T of separation S (positions from 0),\n"
    "one per line.\n",
    runCurve};
extern const Command kMergeCommand{
    "merge", "merge INSTALLED NEW OUT",
    "Carries the media and visibility choices of INSTALLED into NEW and writes the\n"
    "result to OUT with NEW's version. OUT must be neither input.\n",
    runMerge};

}  // namespace dsrtool
