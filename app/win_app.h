// A small application base class standing for the Windows application
// framework's CWinApp: the program defines one global application object,
// which registers itself during static initialisation, and the program
// entry runs it. The object's start-up hook InitInstance is called once;
// as there is no main window, the program ends right after it.
#pragma once

namespace app {

class CWinApp {
 public:
  // The first application object constructed becomes the registered one;
  // later ones (for example in tests) are not registered.
  CWinApp();
  virtual ~CWinApp();

  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // The start-up hook. Its result does not change the exit code.
  virtual bool InitInstance() { return true; }

  // The end hook, called after InitInstance as the program ends: its result
  // is the process exit code (0 here).
  virtual int ExitInstance() { return 0; }

  // Calls InitInstance, once per object (a second call does not call it
  // again), and returns ExitInstance's exit code.
  int Run();

  // The registered application object, or null.
  static CWinApp* GetApp();

 private:
  bool started_ = false;
};

// The program entry's body: runs the registered application object and
// returns the process exit code (1 when the program defines none).
int RunRegisteredApp();

}  // namespace app
