// Preferences > Set TransParency Level: opens the transparency dialog over
// the main window's top-left corner.
#include "app/frmMain.h"

#include "appearance/frmTransP.h"

namespace quorvel {

void frmMain::mnuTransP_Click() {
    // One dialog at a time; the main window is disabled while it is open,
    // so this is only reached by a command sent to it directly.
    if (HWND open = transPWindow()) {
        ::SetWindowPos(open, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        ::SetForegroundWindow(open);
        return;
    }
    frmTransP* dialog =
        frmTransP::Load(instance_, frmTransP::Params{hwnd_, txtTransp_, args_.programFolder});
    if (!dialog)
        return;
    transPDlg_ = dialog->hwnd();
    RECT main{};
    ::GetWindowRect(hwnd_, &main);
    dialog->MoveTo(POINT{main.left, main.top});
    dialog->Show();
    dialog->SetSliderFromLevel();
}

} // namespace quorvel
