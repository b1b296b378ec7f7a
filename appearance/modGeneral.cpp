#include "appearance/modGeneral.h"

namespace quorvel {

void SetTopMost(HWND form, bool topMost) {
    ::SetWindowPos(form, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE);
}

} // namespace quorvel
