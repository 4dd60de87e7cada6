// The installer's second run killed (SIGKILL) just before each of its file
// operations in turn, N = 1, 2, ... until a run completes
// (crash_at_installer does the run). After each kill every device-series
// file is byte-identical to before or to the merged document of an
// uninterrupted run, and a clean rerun gives exactly the tree of an
// uninterrupted run, with no ".tmp" or ".out" left.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "testsupport/hosts/second_run_host.h"
#include "testsupport/process.h"
#include "testsupport/scratch_dir.h"

namespace {

using testsupport::Tree;

const std::string kProgram = OKM_CRASH_AT_INSTALLER;

int runKilledAt(const std::string& host, long n) {
  return testsupport::runProcess(kProgram, {host, std::to_string(n)}).exitCode;
}

// The device-series files of |now| that hold neither their bytes of
// |before| nor those of |reference|.
std::vector<std::string> brokenDeviceSeriesFiles(const Tree& before, const Tree& reference,
                                                 const Tree& now) {
  std::vector<std::string> broken;
  for (const std::string& name : testsupport::kDeviceSeriesFiles) {
    const std::string path = "Rastella/Device/" + name;
    const auto found = now.find(path);
    if (found == now.end() ||
        (found->second != before.at(path) && found->second != reference.at(path))) {
      broken.push_back(path);
    }
  }
  return broken;
}

TEST(CrashPoints, AKillAtAnyFileOperationLosesNoUserDataAndARerunConverges) {
  testsupport::preferMemoryBackedScratch();
  testsupport::ScratchDir scratch;
  const std::string host = scratch / "Host";
  testsupport::makeHostAfterFirstRun(host);
  const Tree before = testsupport::snapshot(host);
  ASSERT_EQ(runKilledAt(host, 0), 0);
  const Tree reference = testsupport::snapshot(host);
  ASSERT_EQ(testsupport::temporaryFiles(reference), std::vector<std::string>{});

  int kills = 0;
  for (long n = 1;; ++n) {
    SCOPED_TRACE("killed before file operation #" + std::to_string(n));
    testsupport::restore(host, before);
    const int exitCode = runKilledAt(host, n);
    if (exitCode == 0) {
      EXPECT_TRUE(testsupport::snapshot(host) == reference);
      break;
    }
    ASSERT_EQ(exitCode, -1) << "the run neither completed nor was killed";
    ++kills;
    EXPECT_EQ(brokenDeviceSeriesFiles(before, reference, testsupport::snapshot(host)),
              std::vector<std::string>{});

    ASSERT_EQ(runKilledAt(host, 0), 0);
    EXPECT_TRUE(testsupport::snapshot(host) == reference) << "the rerun did not converge";
    if (HasFailure()) break;
  }
  EXPECT_GT(kills, 100);
}

// The bytes of every backup of the device-series file |path| in |tree|.
std::vector<std::string> backups(const Tree& tree, const std::string& path) {
  std::vector<std::string> found;
  for (const auto& [name, bytes] : tree) {
    if (name.rfind(path + ".", 0) == 0 && name.size() >= 4 &&
        name.compare(name.size() - 4, 4, ".bak") == 0) {
      found.push_back(bytes);
    }
  }
  return found;
}

// |tree| without the backups: a rerun after a kill may keep a second one.
Tree withoutBackups(Tree tree) {
  std::erase_if(tree, [](const auto& entry) {
    return entry.first.size() >= 4 && entry.first.compare(entry.first.size() - 4, 4, ".bak") == 0;
  });
  return tree;
}

// The paths in which |a| and |b| differ, for failure messages.
std::string differences(const Tree& a, const Tree& b) {
  std::string paths;
  for (const auto& [name, bytes] : a) {
    const auto other = b.find(name);
    if (other == b.end() || other->second != bytes) paths += name + " ";
  }
  for (const auto& entry : b) {
    if (!a.contains(entry.first)) paths += entry.first + " ";
  }
  return paths;
}

// The same with an installed file that is not XML, which is kept as a backup
// and replaced: after any kill its bytes are still at its name or in a
// backup, and a rerun gives the uninterrupted run's tree, but for a backup
// that the interrupted run may already have made.
TEST(CrashPoints, AKillWhileAFileThatIsNotXmlIsReplacedLosesNothing) {
  testsupport::preferMemoryBackedScratch();
  testsupport::ScratchDir scratch;
  const std::string host = scratch / "Host";
  testsupport::makeHostAfterFirstRun(host);
  const std::string path = "Rastella/Device/" + testsupport::kDeviceSeriesFiles.back();
  const std::string garbage(2048, '#');
  testsupport::ScratchDir::overwrite(host + "/" + path, garbage);
  const Tree before = testsupport::snapshot(host);
  ASSERT_EQ(runKilledAt(host, 0), 0);
  const Tree reference = testsupport::snapshot(host);
  ASSERT_EQ(backups(reference, path), std::vector<std::string>{garbage});

  int kills = 0;
  for (long n = 1;; ++n) {
    SCOPED_TRACE("killed before file operation #" + std::to_string(n));
    testsupport::restore(host, before);
    const int exitCode = runKilledAt(host, n);
    if (exitCode == 0) break;
    ASSERT_EQ(exitCode, -1) << "the run neither completed nor was killed";
    ++kills;
    const Tree now = testsupport::snapshot(host);
    const std::vector<std::string> saved = backups(now, path);
    EXPECT_TRUE(now.at(path) == garbage ||
                (now.at(path) == reference.at(path) &&
                 std::find(saved.begin(), saved.end(), garbage) != saved.end()))
        << "the file is neither as it was nor replaced with its backup kept";

    ASSERT_EQ(runKilledAt(host, 0), 0);
    Tree rerun = withoutBackups(testsupport::snapshot(host));
    Tree expected = withoutBackups(reference);
    if (now.at(path) != garbage) {
      // Replaced before the kill: the rerun found a document and merged it.
      rerun.erase(path);
      expected.erase(path);
    }
    EXPECT_TRUE(rerun == expected)
        << "the rerun did not converge: " << differences(rerun, reference);
    // A kill while the backup is copied leaves that copy partial; the rerun
    // then keeps the file's bytes under the next free backup name.
    const std::vector<std::string> kept = backups(testsupport::snapshot(host), path);
    EXPECT_NE(std::find(kept.begin(), kept.end(), garbage), kept.end()) << "no whole backup";
    if (HasFailure()) break;
  }
  EXPECT_GT(kills, 10);
}

}  // namespace
