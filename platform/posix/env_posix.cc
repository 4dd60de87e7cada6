// platform::Env::Default() of the POSIX build: the Wine prefix of
// $WINEPREFIX (or ~/.wine) for the registry and for Windows paths, standard
// error as the debugger channel, and the table of resources that the program
// links (platform::embeddedPayload()), as a Windows program carries its own.
#include "platform/embedded_table.h"
#include "platform/env.h"
#include "platform/posix/embedded_resources.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/stderr_debug_output.h"
#include "platform/posix/wine_paths.h"
#include "platform/posix/wine_registry.h"

namespace platform {
namespace {

class PosixEnv : public Env {
 public:
  explicit PosixEnv(const std::string& prefix)
      : registry_(prefix), files_(prefix), resources_(embeddedPayload()) {}

  Registry& registry() override { return registry_; }
  FileSystem& files() override { return files_; }
  DebugOutput& debugOutput() override { return debugOutput_; }
  Resources& resources() override { return resources_; }

 private:
  posix::WineRegistry registry_;
  posix::PosixFileSystem files_;
  posix::StderrDebugOutput debugOutput_;
  posix::EmbeddedResources resources_;
};

}  // namespace

Env& Env::Default() {
  // Never destroyed: code running during exit may still log.
  static Env* const env = new PosixEnv(posix::defaultWinePrefix());
  return *env;
}

}  // namespace platform
