// Two updates of one installed file at the same time. Two runs (the test's
// thread and a worker) share one in-memory file system and take turns, one
// at a time, so every interleaving is tried deterministically: the first
// run goes up to its k-th file operation, the second then goes j operations
// (or until it waits for the folder's lock), the first runs to its end,
// then the second.
#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "testsupport/hosts/updater_fixture.h"
#include "testsupport/memory_file_system.h"

namespace update {
namespace {

using namespace testsupport;

// Hands the turn between two runs; only the run holding it goes on.
class Turns {
 public:
  // Run |me| gives the turn to the other one and waits to get it back. Once
  // the other run has ended, there is nobody to wait for.
  void yield(int me) {
    std::unique_lock<std::mutex> hold(mutex_);
    if (ended_[1 - me]) return;
    turn_ = 1 - me;
    changed_.notify_all();
    changed_.wait(hold, [&] { return turn_ == me; });
  }
  void waitFor(int me) {
    std::unique_lock<std::mutex> hold(mutex_);
    changed_.wait(hold, [&] { return turn_ == me; });
  }
  bool ended(int run) {
    std::lock_guard<std::mutex> hold(mutex_);
    return ended_[run];
  }
  void end(int me) {
    std::lock_guard<std::mutex> hold(mutex_);
    ended_[me] = true;
    turn_ = 1 - me;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int turn_ = 0;
  bool ended_[2] = {false, false};
};

thread_local int currentRun = -1;

// One thread running the jobs handed to it, one at a time, for the whole
// test: a thread started per interleaving would cost more than the updates
// (under Wine some fifty times more).
class Worker {
 public:
  Worker() : thread_([this] { loop(); }) {}
  ~Worker() {
    {
      std::lock_guard<std::mutex> hold(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  void start(std::function<void()> job) {
    std::lock_guard<std::mutex> hold(mutex_);
    job_ = std::move(job);
    changed_.notify_all();
  }
  // Returns once the job last started has ended.
  void wait() {
    std::unique_lock<std::mutex> hold(mutex_);
    changed_.wait(hold, [&] { return !job_; });
  }

 private:
  void loop() {
    std::unique_lock<std::mutex> hold(mutex_);
    for (;;) {
      changed_.wait(hold, [&] { return stop_ || job_; });
      if (!job_) return;
      hold.unlock();
      job_();
      hold.lock();
      job_ = nullptr;
      changed_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> job_;
  bool stop_ = false;
  std::thread thread_;
};

class UpdaterRaceTest : public DeviceSeriesUpdaterTest {
 protected:
  // One installer run: the update of P with |payload|, through its own view
  // of the shared files, giving the turn away after its |switchAt|-th call.
  struct Run {
    Run(MemoryFileSystem& memory, std::string bytes) : view(memory), payload(std::move(bytes)) {}
    testsupport::FaultFileSystem view;
    TestEnv env{view};
    std::string payload;
    int calls = 0;
  };

  static BlobWriter writerOf(Run& run) {
    return [&run](const std::string& file, const std::string&, int) {
      std::unique_ptr<platform::File> out;
      platform::OpenOptions options;
      options.access = platform::Access::kWrite;
      options.disposition = platform::Disposition::kCreateNew;
      options.followLinks = false;
      if (run.view.open(file, options, &out) != platform::kOk) return false;
      std::uint32_t written = 0;
      return out->write(run.payload.data(), static_cast<std::uint32_t>(run.payload.size()),
                        &written) == platform::kOk &&
             written == run.payload.size() && out->flush() == platform::kOk &&
             out->close() == platform::kOk;
    };
  }

  // The calls of one update running alone.
  int callsAlone(const std::string& payload) {
    MemoryFileSystem memory;
    memory.put(p_, installedBytes_);
    Run run(memory, payload);
    DeviceSeriesUpdater(run.env, writerOf(run), p_, kBlobId);
    return static_cast<int>(run.view.calls().size());
  }

  // Runs the two updates in turns as the file comment says and returns the
  // files they leave.
  MemoryFileSystem& race(const std::string& first, const std::string& second, int k, int j) {
    memory_ = std::make_unique<MemoryFileSystem>();
    secondSwitched_ = false;
    memory_->put(p_, installedBytes_);
    Turns turns;
    memory_->whileLocked([&] { turns.yield(currentRun); });
    Run runs[2] = {{*memory_, first}, {*memory_, second}};
    const int switchAt[2] = {k, j};
    auto body = [&](int me) {
      currentRun = me;
      turns.waitFor(me);
      runs[me].view.observe([&, me](const testsupport::FileCall&) {
        if (++runs[me].calls != switchAt[me]) return;
        if (me == 1 && !turns.ended(0)) secondSwitched_ = true;
        turns.yield(me);
      });
      DeviceSeriesUpdater(runs[me].env, writerOf(runs[me]), p_, kBlobId);
      turns.end(me);
    };
    worker_.start([&] { body(1); });
    body(0);
    worker_.wait();
    return *memory_;
  }

  std::unique_ptr<MemoryFileSystem> memory_;
  // Whether the second run of the last race gave the turn back at its j-th
  // call; when it waited for the lock or ended first, a larger j gives the
  // same interleaving.
  bool secondSwitched_ = false;
  Worker worker_;
};

TEST_F(UpdaterRaceTest, TwoRunsAtOnceAlwaysLeaveTheUsersMediaAndNoTemporaries) {
  useTypicalFiles();
  const std::string older = payload_;
  const std::string newer = documentBytes(
      series({media("Glossy", true, 12), media("Canvas", true, 32), media("Satin", true, 42)}),
      "6.6.14.0");
  struct Order {
    const char* name;
    const std::string& first;
    const std::string& second;
  };
  const Order orders[] = {{"older payload first", older, newer},
                          {"newer payload first", newer, older}};
  for (const Order& order : orders) {
    const int firstCalls = callsAlone(order.first);
    const int secondCalls = callsAlone(order.second);
    for (int k = 1; k <= firstCalls; ++k) {
      for (int j = 1; j <= secondCalls; ++j) {
        SCOPED_TRACE(std::string(order.name) + ", switch at call " + std::to_string(k) +
                     " of the first run and " + std::to_string(j) + " of the second");
        MemoryFileSystem& files = race(order.first, order.second, k, j);
        EXPECT_EQ(files.paths(), std::vector<std::string>{p_});
        const std::string bytes = files.content(p_);
        ASSERT_TRUE(bytes != older && bytes != newer) << "P is a bare payload";
        DeviceSeries merged;
        TestEnv reader(files);
        devseries::DeviceSeriesIO2 io(p_, reader);
        ASSERT_TRUE(io.read(merged)) << io.lastError();
        const std::vector<std::string> names = englishNames(merged);
        ASSERT_EQ(std::count(names.begin(), names.end(), "My Banner"), 1);
        ASSERT_EQ(names.front(), "Glossy");
        ASSERT_FALSE(merged.aMediaInfoList[0].bVisibleMedia) << "the user's choice is lost";
        if (!secondSwitched_) break;
      }
    }
  }
}

}  // namespace
}  // namespace update
