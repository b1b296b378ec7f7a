// The program's entry: the only place that reads the process's own folder,
// file name and command line.
#include "app/MessageLoop.h"
#include "app/frmMain.h"
#include "settings/SettingsFile.h"

#include <string>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    // The common controls and OLE are started by the dialogs that use
    // them, when they first open: the start of the program waits for
    // neither.
    quorvel::frmMain main;
    main.SetQuitOnDestroy(true);
    if (!main.Create(instance, quorvel::StartupArgsFromProcess(), showCommand)) {
        // Nothing to show a file in: say so rather than vanish.
        const std::wstring text = L"Quorvel could not open its window (error " +
                                  std::to_wstring(::GetLastError()) + L").";
        ::MessageBoxW(nullptr, text.c_str(), L"Error", MB_OK | MB_ICONERROR);
        return 1;
    }
    const int code = quorvel::RunMessageLoop(main);
    // A setting still waiting for another running copy to let go of the
    // settings file is stored before the program ends; a copy that holds it
    // for longer than this keeps it from being stored, never from being
    // written without the lock.
    quorvel::StoreWaitingSettings(10000);
    return code;
}
