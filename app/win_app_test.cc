#include "app/win_app.h"

#include <gtest/gtest.h>

namespace app {
namespace {

class CountingApp : public CWinApp {
 public:
  bool InitInstance() override {
    ++calls;
    return answer;
  }
  int calls = 0;
  bool answer = true;
};

// Tells its outcome through the end hook.
class OutcomeApp : public CountingApp {
 public:
  int ExitInstance() override { return 40 + calls; }
};

TEST(WinApp, RunCallsTheHookOnceAndExitsWithZero) {
  CountingApp app;
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(app.calls, 1);
}

TEST(WinApp, HookAnsweringFalseStillExitsWithZero) {
  CountingApp app;
  app.answer = false;
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(app.calls, 1);
}

TEST(WinApp, ExitCodeIsTheEndHooksAfterTheStartUpHook) {
  OutcomeApp app;
  app.answer = false;
  EXPECT_EQ(app.Run(), 41);
}

TEST(WinApp, LaterObjectsDoNotReplaceTheRegisteredOne) {
  CWinApp* registered = CWinApp::GetApp();
  {
    CountingApp other;
    EXPECT_EQ(CWinApp::GetApp(), registered);
  }
  EXPECT_EQ(CWinApp::GetApp(), registered);
}

}  // namespace
}  // namespace app
