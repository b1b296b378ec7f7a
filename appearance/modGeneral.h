#pragma once
#include <windows.h>

namespace quorvel {

// Puts the window into the topmost band, or takes it out again. Also
// activates it and brings it to the top of its band.
void SetTopMost(HWND form, bool topMost);

} // namespace quorvel
