// A platform environment for tests: a fake registry, fake resources and a
// capturing debugger channel, combined with a file system of the test's
// choice: by default the real one, or any other (for example the real one
// wrapped in testsupport::FaultFileSystem).
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/env.h"
#include "testsupport/capturing_debug_output.h"
#include "testsupport/fake_registry.h"
#include "testsupport/fake_resources.h"
#include "testsupport/scratch_dir.h"

namespace testsupport {

class TestEnv : public platform::Env {
 public:
  // Uses the real file system of this build. On POSIX, Windows drive paths
  // map below |root| (a Wine prefix), except that drive Z: is the root of
  // the file system, as in Wine's default prefix (see windowsPathOf), and
  // native absolute paths are used as they stand; on Windows every path is
  // the system's own and |root| is unused.
  explicit TestEnv(const std::string& root);

  // Uses |files|, which must outlive the environment.
  explicit TestEnv(platform::FileSystem& files) : files_(&files) {}

  // Owns |files|.
  explicit TestEnv(std::unique_ptr<platform::FileSystem> files)
      : ownedFiles_(std::move(files)), files_(ownedFiles_.get()) {}

  // Env
  platform::Registry& registry() override { return registry_; }
  platform::FileSystem& files() override { return *files_; }
  platform::DebugOutput& debugOutput() override { return output_; }
  platform::Resources& resources() override { return resources_; }

  // The fakes with their test-side operations.
  FakeRegistry& fakeRegistry() { return registry_; }
  FakeResources& fakeResources() { return resources_; }
  CapturingDebugOutput& output() { return output_; }

  // Switches to another file system, for example a fault-injecting wrapper
  // around the current one. |files| must outlive the environment.
  void useFiles(platform::FileSystem& files) { files_ = &files; }

 private:
  FakeRegistry registry_;
  FakeResources resources_;
  CapturingDebugOutput output_;
  std::unique_ptr<ScratchDir> prefix_;  // POSIX: the drives of TestEnv(root)
  std::unique_ptr<platform::FileSystem> ownedFiles_;
  platform::FileSystem* files_;
};

// The Windows path by which a TestEnv(root) reaches the native folder or
// file |path|, as an install folder in the registry names it: on POSIX
// "Z:" and |path| with backslashes (only a drive path is an install
// folder there); on Windows |path| itself.
std::string windowsPathOf(const std::string& path);

}  // namespace testsupport
