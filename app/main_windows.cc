// Program entry of the Windows build: a GUI-subsystem program that opens no
// window. It runs the application object that registered itself during
// static initialisation, as the application framework does, and ignores its
// command line.
#include <windows.h>

#include "app/win_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return app::RunRegisteredApp(); }
