// The platform environment: everything the system asks of the operating
// system, behind one object. Code above this layer reaches the registry,
// files, resources and the debugger channel only through an Env, so tests
// can substitute any part.
#pragma once

#include "platform/debug_output.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/resources.h"

namespace platform {

class Env {
 public:
  virtual ~Env() = default;

  virtual Registry& registry() = 0;
  virtual FileSystem& files() = 0;
  virtual DebugOutput& debugOutput() = 0;
  virtual Resources& resources() = 0;

  // The real environment of this process, built on first use and never
  // destroyed. Defined once per backend.
  static Env& Default();
};

}  // namespace platform
