#include "app/MessageLoop.h"

#include "app/frmMain.h"

namespace quorvel {

void DispatchOne(frmMain& main, MSG& msg) {
    if (main.PreTranslateMessage(msg))
        return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

int RunMessageLoop(frmMain& main) {
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchOne(main, msg);
    return static_cast<int>(msg.wParam);
}

} // namespace quorvel
