#include "app/win_app.h"

namespace app {
namespace {

// Set during static initialisation by the global application object.
// Constant-initialised, so it is valid before any constructor runs.
CWinApp* registeredApp = nullptr;

}  // namespace

CWinApp::CWinApp() {
  if (registeredApp == nullptr) registeredApp = this;
}

CWinApp::~CWinApp() {
  if (registeredApp == this) registeredApp = nullptr;
}

int CWinApp::Run() {
  if (!started_) {
    started_ = true;
    // Without a main window the framework ends the process after the hook,
    // whatever it answered.
    InitInstance();
  }
  return ExitInstance();
}

CWinApp* CWinApp::GetApp() { return registeredApp; }

int RunRegisteredApp() {
  CWinApp* app = CWinApp::GetApp();
  return app == nullptr ? 1 : app->Run();
}

}  // namespace app
