// The installer's application object and its start-up hook, which is the
// program's whole visible behaviour: find the host, deploy the payload table
// in its fixed order, end.
#pragma once

#include <functional>
#include <string>

#include "app/win_app.h"
#include "platform/env.h"

namespace app {

class COstrandKMApp : public CWinApp {
 public:
  // Hands an installed device-series file and the blob id of its new payload
  // to the device-series merge. The result is ignored.
  using Updater =
      std::function<bool(platform::Env& env, const std::string& installedPath, int blobId)>;

  // The program's object: uses platform::Env::Default(), taken only when
  // InitInstance runs (never during static initialisation), and the real
  // merge.
  COstrandKMApp();

  // Uses |env|, which must outlive the object, and |updater| (the real merge
  // when empty).
  explicit COstrandKMApp(platform::Env& env, Updater updater = {});

  // Reads the host's user settings, then its installation record; stops
  // silently when either read fails or the installation folder is empty.
  // Otherwise runs every step of the payload table in order: writes the
  // ordinary files, creates the three profile folders when nothing exists at
  // their paths, and for each device-series file either hands an installed
  // copy of at least 1024 bytes to the merge or writes the blob. Single
  // failures are reported by their progress lines only. Returns true.
  bool InitInstance() override;

  // The real merge, writing its blobs with ResourceDeployer.
  static bool RunDeviceSeriesUpdater(platform::Env& env, const std::string& installedPath,
                                     int blobId);

 private:
  platform::Env* env_ = nullptr;
  Updater updater_;
};

// The program's single application object, registered during static
// initialisation.
extern COstrandKMApp theApp;

// The installation folder with a path separator at its end: "\" is added
// when it ends in neither "\" nor "/", so the relative pieces appended to it
// land inside the host's folder rather than beside it.
std::string installFolderOf(const std::string& installPath);

}  // namespace app
