// The program's entry: the only place that reads the process's own folder,
// file name and command line.
#include "app/MessageLoop.h"
#include "app/frmMain.h"

#include <commctrl.h>
#include <ole2.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    // The file dialogs use the shell, which wants COM on this thread.
    const HRESULT ole = ::OleInitialize(nullptr);

    int exitCode = 1;
    {
        quorvel::frmMain main;
        main.SetQuitOnDestroy(true);
        if (main.Create(instance, quorvel::StartupArgsFromProcess(), showCommand))
            exitCode = quorvel::RunMessageLoop(main);
    }
    if (SUCCEEDED(ole))
        ::OleUninitialize();
    return exitCode;
}
