// dsrtool verify: an installation checked against the payload the tool
// carries, target by target in the installer's order, as `rpm -V` does for
// a package.
#pragma once

#include <string>
#include <vector>

#include "app/payload_table.h"
#include "platform/env.h"
#include "tools/dsrtool/command.h"

namespace dsrtool {

extern const Command kVerifyCommand;

// What one target of the payload table holds.
enum class TargetState {
  kOk,          // the bytes equal the payload (a folder: a folder is there)
  kMissing,     // nothing at the path
  kModified,    // other bytes, something that cannot be read, or no folder
  kMerged,      // a device-series document the update would leave as it is
  kOutOfDate,   // a device-series document of another version, or one the
                // update would change
  kUnreadable,  // not readable as a device-series document
};

// The state's name as verify prints it ("out of date").
const char* stateName(TargetState state);

struct TargetCheck {
  int step = 0;
  app::PayloadKind kind = app::PayloadKind::kFolder;
  std::string path;  // as the installer builds it
  TargetState state = TargetState::kMissing;
  // Media of a readable device-series document that no media of the
  // payload document matches by the update's rule; -1 when not counted.
  int userMedia = -1;
  // Why a file is modified or unreadable; with |line| > 0 the place in
  // |path| where the document broke.
  std::string reason;
  int line = 0;
  int column = 0;
};

struct InstallationCheck {
  std::vector<TargetCheck> targets;  // in the payload table's order
  // Files an update leaves beside the targets when it is interrupted or
  // replaces a file: "<target>.tmp" and "<target>.out" of every payload
  // file, and the backups "<target>.bak", "<target>.N.bak" of the
  // device-series documents.
  std::vector<std::string> leftovers;

  // True when every target is ok or merged.
  bool intact() const;
};

// Checks the installation below |installFolder| (ending in a separator)
// against the payload of |env|'s resources. Only reads: every file is
// opened for reading, nothing is written, created, moved or deleted.
InstallationCheck checkInstallation(platform::Env& env, const std::string& installFolder);

}  // namespace dsrtool
