// platform::Env::Default() of the Windows build: the real registry, the wide
// file API, OutputDebugStringA, and the executable's own resources, which
// are the payload (the build compiles them from the manifest into the .exe),
// so this layer needs to know no product data.
#include "platform/env.h"
#include "platform/win32/module_resources.h"
#include "platform/win32/win32_debug_output.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"

namespace platform {
namespace {

class Win32Env : public Env {
 public:
  Registry& registry() override { return registry_; }
  FileSystem& files() override { return files_; }
  DebugOutput& debugOutput() override { return debugOutput_; }
  Resources& resources() override { return resources_; }

 private:
  win32::Win32Registry registry_;
  win32::Win32FileSystem files_;
  win32::Win32DebugOutput debugOutput_;
  win32::ModuleResources resources_;  // of the executable
};

}  // namespace

Env& Env::Default() {
  // Never destroyed: code running during exit may still log.
  static Env* const env = new Win32Env();
  return *env;
}

}  // namespace platform
