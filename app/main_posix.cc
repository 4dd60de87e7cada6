// Program entry of the Linux build: runs the application object that
// registered itself during static initialisation. The program takes no
// arguments and reads no environment of its own.
#include "app/win_app.h"

int main() { return app::RunRegisteredApp(); }
