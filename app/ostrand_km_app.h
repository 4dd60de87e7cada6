// The installer's application object and its start-up hook, which is the
// program's whole visible behaviour: find the host, deploy the payload table
// in its fixed order, end.
#pragma once

#include <functional>
#include <string>

#include "app/win_app.h"
#include "platform/env.h"

namespace app {

// How a run ended, as the process exit status tells it to whoever started
// the installer (a script, a deployment tool). The progress lines stay as
// they are; this is the only other trace of a run.
enum class InstallOutcome : int {
  // The host was found and every payload file deployed: written, or for a
  // device-series file written, merged, or replaced after its backup.
  kDeployed = 0,
  // The host's records were not found or not usable; nothing was touched.
  kNoHost = 1,
  // The host was found, but at least one payload file was not deployed
  // (a "file cannot opened" or other error line, or an installed
  // device-series file left as it was).
  kNotAllDeployed = 2,
};

class COstrandKMApp : public CWinApp {
 public:
  // Hands an installed device-series file and the blob id of its new payload
  // to the device-series merge. True when the file afterwards holds the new
  // payload or its merge with the installed document.
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
  // failures are reported by their progress lines and in outcome(), and
  // never stop the run. Returns true.
  bool InitInstance() override;

  // The outcome of the last InitInstance as the process exit code.
  int ExitInstance() override { return static_cast<int>(outcome_); }

  // The outcome of the last InitInstance (kNoHost before the first).
  InstallOutcome outcome() const { return outcome_; }

  // The real merge, writing its blobs with ResourceDeployer.
  static bool runDeviceSeriesUpdater(platform::Env& env, const std::string& installedPath,
                                     int blobId);

 private:
  platform::Env* env_ = nullptr;
  Updater updater_;
  InstallOutcome outcome_ = InstallOutcome::kNoHost;
};

// The program's single application object, registered during static
// initialisation.
extern COstrandKMApp theApp;

}  // namespace app
