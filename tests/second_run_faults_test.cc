// A second run of the installer over a host whose device-series files carry
// a user's media, with the Nth file operation of one kind failing, for every
// N the run reaches and every kind of failure, one failure per run.
//
// After each run: every device-series file is byte-identical to before or to
// the merged document of an uninterrupted run; every other file is as before
// or as after an uninterrupted run, or absent (never partly written); no
// ".tmp" or ".out" file is left (but one whose own deletion failed); the
// run went on to the last file; and a clean rerun gives exactly the tree of
// an uninterrupted second run.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "testsupport/fault_file_system.h"
#include "testsupport/file_calls.h"
#include "testsupport/hosts/second_run_host.h"
#include "testsupport/scratch_dir.h"
#include "testsupport/test_env.h"

namespace {

using testsupport::Fault;
using testsupport::FileOp;
using testsupport::Tree;

struct FaultKind {
  const char* name;
  FileOp op;
  // Builds the fault that hits the |nth| call of |op|.
  Fault (*make)(int nth);
};

void PrintTo(const FaultKind& kind, std::ostream* out) { *out << kind.name; }

Fault failing(FileOp op, platform::Error error, int nth) { return Fault::failCall(op, error, nth); }

template <FileOp op, platform::Error error>
Fault failNth(int nth) {
  return failing(op, error, nth);
}

Fault diskFullNth(int nth) {
  Fault fault = Fault::diskFull(7);
  fault.nth = nth;
  return fault;
}

Fault shortWriteNth(int nth) {
  Fault fault = Fault::shortWrite(7);
  fault.nth = nth;
  return fault;
}

const FaultKind kKinds[] = {
    {"open", FileOp::kOpen, failNth<FileOp::kOpen, platform::kAccessDenied>},
    {"read", FileOp::kRead, failNth<FileOp::kRead, platform::kIoDevice>},
    {"write", FileOp::kWrite, failNth<FileOp::kWrite, platform::kIoDevice>},
    {"diskFull", FileOp::kWrite, diskFullNth},
    {"shortWrite", FileOp::kWrite, shortWriteNth},
    {"flush", FileOp::kFlush, failNth<FileOp::kFlush, platform::kIoDevice>},
    {"close", FileOp::kClose, failNth<FileOp::kClose, platform::kIoDevice>},
    {"copy", FileOp::kCopyFile, failNth<FileOp::kCopyFile, platform::kDiskFull>},
    {"move", FileOp::kMoveFileReplace, failNth<FileOp::kMoveFileReplace, platform::kAccessDenied>},
    {"delete", FileOp::kDeleteFile, failNth<FileOp::kDeleteFile, platform::kAccessDenied>},
    {"createFolder", FileOp::kCreateDirectory,
     failNth<FileOp::kCreateDirectory, platform::kAccessDenied>},
    {"attributes", FileOp::kGetAttributes, failNth<FileOp::kGetAttributes, platform::kIoDevice>},
    {"search", FileOp::kFindExactName, failNth<FileOp::kFindExactName, platform::kIoDevice>},
    {"syncFolder", FileOp::kSyncParentDirectory,
     failNth<FileOp::kSyncParentDirectory, platform::kIoDevice>},
};

// What each file may hold after an interrupted run: its bytes before the
// run, or after an uninterrupted one; nothing else, and no file that
// neither had.
std::vector<std::string> unexpectedFiles(const Tree& before, const Tree& reference,
                                         const Tree& now) {
  std::vector<std::string> wrong;
  for (const auto& [path, bytes] : now) {
    const auto old = before.find(path);
    const auto done = reference.find(path);
    const bool asBefore = old != before.end() && old->second == bytes;
    const bool asDone = done != reference.end() && done->second == bytes;
    if (!asBefore && !asDone) wrong.push_back(path);
  }
  for (const std::string& name : testsupport::kDeviceSeriesFiles) {
    const std::string path = "Rastella/Device/" + name;
    if (now.count(path) == 0) wrong.push_back(path + " (missing)");
  }
  return wrong;
}

class SecondRunFaultTest : public ::testing::TestWithParam<FaultKind> {
 protected:
  static void SetUpTestSuite() {
    testsupport::preferMemoryBackedScratch();
    scratch_ = new testsupport::ScratchDir;
    host_ = new std::string(*scratch_ / "Host");
    testsupport::makeHostAfterFirstRun(*host_);
    before_ = new Tree(testsupport::snapshot(*host_));
    testsupport::TestEnv env(*host_);
    testsupport::prepareEnv(env, *host_);
    testsupport::FaultFileSystem counting(env.files());
    env.useFiles(counting);
    testsupport::runInstaller(env);
    reference_ = new Tree(testsupport::snapshot(*host_));
    calls_ = new std::vector<testsupport::FileCall>(counting.calls());
  }

  static void TearDownTestSuite() {
    delete calls_;
    delete reference_;
    delete before_;
    delete host_;
    delete scratch_;
  }

  static int callsOf(FileOp op) { return testsupport::countCalls(*calls_, op); }

  static testsupport::ScratchDir* scratch_;
  static std::string* host_;
  static Tree* before_;
  static Tree* reference_;
  static std::vector<testsupport::FileCall>* calls_;
};

testsupport::ScratchDir* SecondRunFaultTest::scratch_ = nullptr;
std::string* SecondRunFaultTest::host_ = nullptr;
Tree* SecondRunFaultTest::before_ = nullptr;
Tree* SecondRunFaultTest::reference_ = nullptr;
std::vector<testsupport::FileCall>* SecondRunFaultTest::calls_ = nullptr;

// The call that the |nth| fault of |kind| hit.
testsupport::FileCall failedCall(const std::vector<testsupport::FileCall>& calls, FileOp op,
                                 int nth) {
  for (const testsupport::FileCall& call : calls) {
    if (call.op == op && --nth == 0) return call;
  }
  return {};
}

// |path| (as the installer wrote it, below |root|) relative to |root|, with
// '/' separators, as a Tree names it.
std::string relativeTo(const std::string& root, const std::string& path) {
  std::string relative = path.substr(std::min(path.size(), root.size() + 1));
  for (char& c : relative) {
    if (c == '\\') c = '/';
  }
  return relative;
}

std::string joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) {
    text += ' ';
    text += item;
  }
  return text;
}

TEST_P(SecondRunFaultTest, UserFilesStayWhole) {
  const FaultKind& kind = GetParam();
  const int count = callsOf(kind.op);
  const std::string& lastFile = testsupport::kDeviceSeriesFiles.back();
  std::vector<std::string> failures;
  for (int nth = 1; nth <= count; ++nth) {
    testsupport::restore(*host_, *before_);

    testsupport::TestEnv env(*host_);
    testsupport::prepareEnv(env, *host_);
    testsupport::FaultFileSystem faults(env.files());
    faults.inject(kind.make(nth));
    env.useFiles(faults);
    testsupport::runInstaller(env);

    const Tree after = testsupport::snapshot(*host_);
    std::vector<std::string> problems;
    // A file whose deletion failed is still there; the rerun must remove it.
    const testsupport::FileCall failed = failedCall(faults.calls(), kind.op, nth);
    Tree judged = after;
    if (failed.op == FileOp::kDeleteFile) {
      judged.erase(relativeTo(testsupport::windowsPathOf(*host_), failed.path));
    }
    const std::vector<std::string> wrong = unexpectedFiles(*before_, *reference_, judged);
    if (!wrong.empty()) problems.push_back("unexpected content:" + joined(wrong));
    const std::vector<std::string> temporary = testsupport::temporaryFiles(judged);
    if (!temporary.empty()) problems.push_back("left:" + joined(temporary));
    if (faults.calls().back().path.find(lastFile) == std::string::npos) {
      problems.push_back("the run stopped before the last file");
    }

    testsupport::TestEnv clean(*host_);
    testsupport::prepareEnv(clean, *host_);
    testsupport::runInstaller(clean);
    if (testsupport::snapshot(*host_) != *reference_) problems.push_back("the rerun differs");

    if (problems.empty()) continue;
    failures.push_back(std::string(kind.name) + " #" + std::to_string(nth) + " (" +
                       testsupport::fileOpName(failed.op) + " " + failed.path +
                       "):" + joined(problems));
  }
  for (const std::string& failure : failures) ADD_FAILURE() << failure;
}

INSTANTIATE_TEST_SUITE_P(EveryKind, SecondRunFaultTest, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<FaultKind>& kind) {
                           return std::string(kind.param.name);
                         });

}  // namespace
