// The merged document's file, kept open from its creation to its rename.
//
// The update writes the merged document through the document writer, which
// opens, writes, flushes and closes its file itself. KeptOutput hands the
// writer an environment whose file system is the update's own, except that
// the file the writer creates at one path stays open after the writer
// closes it, provided it was flushed first. moveOver() then renames that
// very file over the installed one (File::moveReplace), so what lands there
// is what this run wrote, never a file another program put at that name
// since.
#pragma once

#include <memory>
#include <string>

#include "platform/env.h"

namespace update {

class KeptOutput {
 public:
  // Keeps the file created exclusively for writing at |path| through env().
  KeptOutput(platform::Env& env, std::string path);
  ~KeptOutput();
  KeptOutput(const KeptOutput&) = delete;
  KeptOutput& operator=(const KeptOutput&) = delete;

  // The environment to write the document through.
  platform::Env& env();

  // Renames the kept file over |to| and closes it. kInvalidHandle when no
  // complete file was kept (the writer failed or never created it).
  platform::Error moveOver(const std::string& to);

  // Closes the kept file, if any, so that its name can be removed.
  void release();

 private:
  class Files;
  class KeptEnv;
  std::unique_ptr<Files> files_;
  std::unique_ptr<KeptEnv> env_;
};

}  // namespace update
