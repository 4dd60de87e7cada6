#include "tools/dsrtool/dsrtool.h"

#include <charconv>
#include <string_view>

#include "devseries/device_series_io.h"
#include "update/media_merge.h"

namespace dsrtool {

namespace {

constexpr const char* kUsage =
    "usage: dsrtool <command> [arguments]\n"
    "\n"
    "Reads, checks, round-trips and merges device-series files.\n"
    "\n"
    "commands:\n"
    "  info FILE                   the version and the entry count of every list\n"
    "  roundtrip IN OUT            copy IN to OUT, then read IN and write it over OUT,\n"
    "                              keeping IN's version, as an update does\n"
    "  curve FILE S T              the 4096 output-table entries of table T of\n"
    "                              separation S (positions from 0), one per line\n"
    "  merge INSTALLED NEW OUT     carry the media and visibility choices of INSTALLED\n"
    "                              into NEW and write the result to OUT with NEW's version\n"
    "  --help                      this text\n"
    "\n"
    "exit status: 0 success, 1 a document cannot be read or written, 2 usage error\n";

int usageError(std::ostream& err, const std::string& message) {
  err << "dsrtool: " << message << "\n"
      << "Try 'dsrtool --help'.\n";
  return kExitUsage;
}

// Reads |path| into |record| through a DeviceSeriesIO2; on failure reports
// why on |err|.
bool readDocument(const std::string& path, devseries::DeviceSeries& record, std::ostream& err,
                  platform::Env& env, std::string* version = nullptr) {
  std::uint32_t attributes = 0;
  if (env.files().getAttributes(path, &attributes) != platform::kOk) {
    err << "dsrtool: " << path << ": no such file\n";
    return false;
  }
  devseries::DeviceSeriesIO2 io(path, env);
  if (!io.read(record)) {
    // A document that breaks at a known place is reported as compilers do:
    // "FILE:LINE:COLUMN: reason".
    const xml::LoadError& load = io.loadError();
    if (load.line > 0) {
      err << "dsrtool: " << path << ":" << load.line << ":" << load.column << ": " << load.reason
          << "\n";
    } else {
      err << "dsrtool: " << path << ": " << io.lastError() << "\n";
    }
    return false;
  }
  if (version != nullptr) *version = io.foundVersion().toString();
  return true;
}

bool parseIndex(std::string_view text, int& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value >= 0;
}

int info(const std::string& path, std::ostream& out, std::ostream& err, platform::Env& env) {
  devseries::DeviceSeries record;
  std::string version;
  if (!readDocument(path, record, err, env, &version)) return kExitUnreadable;
  out << "strVersion: " << version << "\n"
      << "aModelInfoList: " << record.aModelInfoList.size() << "\n"
      << "aInkInfoList: " << record.aInkInfoList.size() << "\n"
      << "aInkConfigInfoList: " << record.aInkConfigInfoList.size() << "\n"
      << "aResolutionInfoList: " << record.aResolutionInfoList.size() << "\n"
      << "aModeInfoList: " << record.aModeInfoList.size() << "\n"
      << "aSeparationInfoList: " << record.aSeparationInfoList.size() << "\n"
      << "aVControlPointList: " << record.aVControlPointList.size() << "\n"
      << "aPatternInfoList: " << record.aPatternInfoList.size() << "\n"
      << "aMediaInfoList: " << record.aMediaInfoList.size() << "\n"
      << "aPrintChartFileInfoSetList: " << record.aPrintChartFileInfoSetList.size() << "\n"
      << "aInkVolumeInfoList: " << record.aInkVolumeInfoList.size() << "\n";
  return kExitOk;
}

// Writes |record| to |path| with the version of the document at
// |versionSource|, its feed calibration lists fitted to the model count as
// an update writes them. The result is made at "<path>.tmp", created exclusively,
// and moved over |path| only once it is complete, so a failure leaves an
// existing |path| as it was and nothing new behind.
int copyThenWrite(const std::string& versionSource, const std::string& path,
                  devseries::DeviceSeries& record, std::ostream& err, platform::Env& env) {
  devseries::fitFeedCalibrationLists(record);
  platform::FileSystem& files = env.files();
  const std::string temporary = path + ".tmp";
  // The copy carries the version; it is created exclusively, never over a
  // file of someone else's.
  const platform::Error copied = files.copyFile(versionSource, temporary, true);
  if (copied != platform::kOk) {
    err << "dsrtool: " << temporary << ": cannot be written: " << platform::describeError(copied)
        << "\n";
    return kExitUnreadable;
  }
  bool written = false;
  std::string reason;
  {
    devseries::DeviceSeriesIO2 io(temporary, env);
    // The version is read from the copy, which is then made anew for the
    // document, never written through whatever may have replaced it.
    io.peekVersion();
    const platform::Error deleted = files.deleteFile(temporary);
    if (deleted != platform::kOk) {
      reason = platform::describeError(deleted);
    } else {
      written = io.write(record, platform::Disposition::kCreateNew);
      if (!written) reason = io.lastError();
    }
  }
  const platform::Error moved = written ? files.moveFileReplace(temporary, path) : platform::kOk;
  if (!written || moved != platform::kOk) {
    files.deleteFile(temporary);
    if (moved != platform::kOk) reason = platform::describeError(moved);
    err << "dsrtool: " << path << ": cannot be written: " << reason << "\n";
    return kExitUnreadable;
  }
  return kExitOk;
}

// True when |out| names the same file as |input|, however either is spelt.
bool sameFile(platform::FileSystem& files, const std::string& out, const std::string& input) {
  if (out == input) return true;
  platform::FileIdentity outId;
  platform::FileIdentity inputId;
  return files.identity(out, &outId) == platform::kOk &&
         files.identity(input, &inputId) == platform::kOk && outId == inputId;
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
    return usageError(err, "curve: S and T must be whole numbers from 0");
  }
  devseries::DeviceSeries record;
  if (!readDocument(path, record, err, env)) return kExitUnreadable;
  if (separation >= record.aSeparationInfoList.size()) {
    return usageError(err, "curve: the document has " +
                               std::to_string(record.aSeparationInfoList.size()) + " separations");
  }
  const auto& tables = record.aSeparationInfoList[separation].aSeparationTableList;
  if (table >= tables.size()) {
    return usageError(err, "curve: separation " + std::to_string(separation) + " has " +
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
  const std::vector<update::CarriedMedia> outcomes = update::carryMedia(installed, updated);
  update::trimCalibrationLists(updated);
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

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        platform::Env& env) {
  if (args.empty()) return usageError(err, "no command given");
  const std::string& command = args[0];
  const std::size_t operands = args.size() - 1;
  if (command == "--help" || command == "-h" || command == "help") {
    out << kUsage;
    return kExitOk;
  }
  if (command == "info" && operands == 1) return info(args[1], out, err, env);
  if (command == "roundtrip" && operands == 2) return roundtrip(args[1], args[2], err, env);
  if (command == "curve" && operands == 3) return curve(args[1], args[2], args[3], out, err, env);
  if (command == "merge" && operands == 3) {
    // OUT is replaced: it must not be an input, under any spelling.
    if (sameFile(env.files(), args[3], args[1]) || sameFile(env.files(), args[3], args[2])) {
      return usageError(err, "merge: OUT must differ from INSTALLED and NEW");
    }
    return merge(args[1], args[2], args[3], out, err, env);
  }
  if (command == "info" || command == "roundtrip" || command == "curve" || command == "merge") {
    return usageError(err, command + ": wrong number of arguments");
  }
  return usageError(err, "unknown command '" + command + "'");
}

}  // namespace dsrtool
