#pragma once
#include <windows.h>

namespace quorvel {

class frmMain;

// Runs the program's message loop until WM_QUIT; returns its exit code.
int RunMessageLoop(frmMain& main);

// Handles one message the way the program's loop does; for tests that pump
// messages themselves.
void DispatchOne(frmMain& main, MSG& msg);

} // namespace quorvel
