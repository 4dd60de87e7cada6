// A platform environment for tests: a fake registry, fake resources and a
// capturing debugger channel, combined with a file system of the test's
// choice: by default the real one, or any other (for example the real one
// wrapped in platform::FaultFileSystem).
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/env.h"
#include "platform/testing/capturing_debug_output.h"
#include "platform/testing/fake_registry.h"
#include "platform/testing/fake_resources.h"

namespace platform::testing {

class TestEnv : public Env {
 public:
  // Uses the real file system of this build. On POSIX, Windows drive paths
  // map below |root| (a Wine prefix) and native absolute paths are used as
  // they stand; on Windows every path is the system's own and |root| is
  // unused.
  explicit TestEnv(const std::string& root);

  // Uses |files|, which must outlive the environment.
  explicit TestEnv(FileSystem& files) : files_(&files) {}

  // Owns |files|.
  explicit TestEnv(std::unique_ptr<FileSystem> files)
      : ownedFiles_(std::move(files)), files_(ownedFiles_.get()) {}

  // Env
  Registry& registry() override { return registry_; }
  FileSystem& files() override { return *files_; }
  DebugOutput& debugOutput() override { return output_; }
  Resources& resources() override { return resources_; }

  // The fakes with their test-side operations.
  FakeRegistry& fakeRegistry() { return registry_; }
  FakeResources& fakeResources() { return resources_; }
  CapturingDebugOutput& output() { return output_; }

  // Switches to another file system, for example a fault-injecting wrapper
  // around the current one. |files| must outlive the environment.
  void useFiles(FileSystem& files) { files_ = &files; }

 private:
  FakeRegistry registry_;
  FakeResources resources_;
  CapturingDebugOutput output_;
  std::unique_ptr<FileSystem> ownedFiles_;
  FileSystem* files_;
};

}  // namespace platform::testing
